// Sheets in document windows: attaching, what the window tells the sheet,
// the window's messages reaching the sheet, and moving a window between
// sheets.
#include "sheet_fixture.h"

#include "core/ini.h"
#include "ui/app.h"
#include "ui/wind.h"
#include "views/vwboxes.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

using sheetfx::SheetTest;

class SheetWindow : public SheetTest {
protected:
  void SetUp() override {
    SheetTest::SetUp();
    ASSERT_TRUE(frame.start("plumet_sheet_window"));
  }
  void TearDown() override {
    docResetAll();  // the sheets let their windows go first
    gxSetWindow(nullptr);
    frame.stop();
    SheetTest::TearDown();
  }
  windRecord* newWindow(const RECT& box) {
    windRecord* window = nullptr;
    EXPECT_EQ(windCreate(&box, "w", windKindDoc, &window, 1, 0), 0);
    return window;
  }
  static HWND native(const windRecord* window) {
    HWND h = nullptr;
    windGetHwnd(window, &h);
    return h;
  }
  vwfx::FrameWindow frame;
};

vwEventRec lastEvent;
sheetRec* lastSheet = nullptr;
int record(sheetRec* sheet, const vwEventRec* event) {
  lastEvent = *event;
  lastSheet = sheet;
  return 1;
}

TEST_F(SheetWindow, AnAttachedWindowGivesTheSheetItsBoxesAndCentre) {
  docRec* doc = newDoc();
  windRecord* window = newWindow(RECT{10, 10, 410, 310});
  sheetRec* sheet = sheetCreate(doc, doc->firstModel, window);
  ASSERT_NE(sheet, nullptr);
  EXPECT_EQ(sheet->window, window);
  RECT client{};
  windGetClientRect(window, &client);
  ASSERT_GT(client.right, 0);
  EXPECT_EQ(sheet->graphicsBox[2], client.right);
  EXPECT_EQ(sheet->graphicsBox[3], client.bottom);
  EXPECT_EQ(sheet->zoom[0].screen[0], client.right / 2);
  EXPECT_EQ(sheet->zoom[0].screen[1], client.bottom / 2);
  EXPECT_EQ(sheet->zoomCount, 1);
  RECT outer{};
  GetWindowRect(native(window), &outer);
  EXPECT_EQ(sheet->windowBox[0], outer.left);
  EXPECT_EQ(sheet->windowBox[3], outer.bottom);
  // The draft view covers the window's view rectangle.
  RECT rect{};
  windGetViewRect(window, &rect);
  EXPECT_EQ(sheet->activeView->screenBox[0], rect.left);
  EXPECT_EQ(sheet->activeView->screenBox[2], rect.right);
  std::string open;
  EXPECT_EQ(get(sheet, "open", &open), 0);
  EXPECT_EQ(open, "true");
  // The window's messages reach the sheet as view-layer events.
  sheetSetEventDispatch(record);
  SendMessageA(native(window), WM_RBUTTONDOWN, 0, LPARAM(7 | (9 << 16)));
  sheetSetEventDispatch(nullptr);
  EXPECT_EQ(lastSheet, sheet);
  EXPECT_EQ(lastEvent.kind, vwEvkRightDown);
  EXPECT_EQ(lastEvent.where.x, 7);
  EXPECT_EQ(lastEvent.where.y, 9);
}

TEST_F(SheetWindow, AWindowSetOnAnotherSheetLeavesTheFirst) {
  docRec* doc = newDoc();
  windRecord* window = newWindow(RECT{0, 0, 300, 200});
  sheetRec* first = sheetCreate(doc, doc->firstModel, window);
  sheetRec* second = newSheet(doc);
  sheetSetCurrent(first);
  ASSERT_EQ(vwCurSheet(), first);
  feObject value;
  feMakeObjRef(&value, window);
  EXPECT_EQ(set(second, "window", value), 0);
  EXPECT_EQ(first->window, nullptr);
  EXPECT_EQ(second->window, window);
  // The window is the front one: the second sheet's draft view is current and active.
  EXPECT_EQ(vwCurSheet(), second);
  EXPECT_EQ(vwCurView(), second->activeView);
  EXPECT_EQ(vwActiveView(), second->activeView);
  int users = 0;
  for (uint32_t i = 0; i < window->userCount; ++i) {
    users += window->users[i] == second;
    EXPECT_NE(window->users[i], first);
  }
  EXPECT_EQ(users, 1);
  sheetRec* notAWindow = looseSheet();
  notAWindow->head.object.refCount = 1;  // the fixture's, so that the value's release keeps it
  feMakeObjRef(&value, notAWindow);
  EXPECT_EQ(set(second, "window", value), windNotWindow);
  EXPECT_EQ(second->window, window);
}

// A script keeps a window whose native window is then destroyed: neither a
// sheet nor a new document takes it.
TEST_F(SheetWindow, AWindowWhoseNativeWindowIsGoneIsRefused) {
  docRec* doc = newDoc();
  sheetRec* sheet = newSheet(doc);
  windRecord* window = newWindow(RECT{0, 0, 300, 200});
  DestroyWindow(native(window));
  ASSERT_TRUE(window->flags & windGone);
  feObject value;
  feMakeObjRef(&value, window);
  feObject pushed = value;
  feDup(&pushed);
  EXPECT_EQ(set(sheet, "window", value), vwErrBadObject);
  EXPECT_EQ(sheet->window, nullptr);
  const docRec* current = vwCurDoc();
  ASSERT_EQ(fePush(feOperandStack(), &pushed), 0);
  EXPECT_EQ(eval("aNewDoc"), std::to_string(vwErrBadObject));
  EXPECT_EQ(vwCurDoc(), current) << "no document was made";
  // The error's copy of the operands held the window too.
  EXPECT_EQ(eval("{ nosuch } stopped"), "true");
  windRelease(window);  // the creation's reference
}

TEST_F(SheetWindow, ViewAllFitsTheOtherViewsIntoTheWindowLessTheInset) {
  docRec* doc = newDoc();
  windRecord* window = newWindow(RECT{0, 0, 500, 400});
  sheetRec* sheet = sheetCreate(doc, doc->firstModel, window);
  const double box[4] = {0, 0, 2, 1};
  vwCreate(sheet, doc->firstModel, box, 0);
  sheetSetCurrent(sheet);
  RECT rect{};
  windGetViewRect(window, &rect);
  ASSERT_EQ(call(vwOpViewAllSheet, {argInt(10)}), 0);
  const double across = (rect.right - rect.left - 20) / (2 * 96.0), down = (rect.bottom - rect.top - 20) / 96.0;
  EXPECT_DOUBLE_EQ(sheet->zoom[0].pageScale, std::min(across, down) * 0.984375);
  EXPECT_DOUBLE_EQ(sheet->zoom[0].centre[0], 1);
  EXPECT_DOUBLE_EQ(sheet->zoom[0].centre[1], 0.5);
  EXPECT_EQ(sheet->zoom[0].screen[0], (rect.left + rect.right) / 2);
  EXPECT_EQ(sheet->zoomCount, 2);
}

TEST_F(SheetWindow, TheScrollHookHearsOfANewScrollArea) {
  docRec* doc = newDoc();
  windRecord* window = newWindow(RECT{0, 0, 300, 200});
  sheetRec* sheet = sheetCreate(doc, doc->firstModel, window);
  ASSERT_EQ(feExecString("/scrollSeen 0 def /aSetScrollHook { /scrollSeen scrollSeen 1 add def } def"), 0);
  sheetScrollBars(sheet);  // the area has not changed since the window came
  EXPECT_EQ(valueOf("scrollSeen"), "0");
  ASSERT_EQ(set(sheet, "scale", real(2)), 0);
  EXPECT_EQ(valueOf("scrollSeen"), "1");
  double visible[4];
  vwScreenBoxToSheet(sheet->graphicsBox, sheet->zoom[0].sheetToWorld, visible);
  for (int k = 0; k < 4; ++k) EXPECT_DOUBLE_EQ(sheet->scrollArea[k], visible[k]) << k;  // an empty model
}

}  // namespace
