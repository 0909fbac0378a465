// Shared by the view drawing tests: "tline", a drawing class that draws
// the segment between its two points through the world move and draw calls
// and counts its draws, document windows in a real frame, objects entered
// in a model, and pixel reads of a window.
#ifndef PLUMET_TESTS_VIEWS_VIEW_FIXTURE_H
#define PLUMET_TESTS_VIEWS_VIEW_FIXTURE_H

#include "sheet_fixture.h"

#include "draw/gdi.h"
#include "draw/gx.h"
#include "draw/xforms.h"
#include "objects/sieve.h"
#include "ui/wind.h"
#include "views/current.h"
#include "views/view.h"

#include <algorithm>
#include <string>
#include <vector>

namespace viewfx {

struct tlineRec {
  gobjRec head;
  double p0[3], p1[3];
};

struct LineState {
  uint16_t tline = 0;
  std::vector<const gobjRec*> drawn;  // in drawing order
  std::vector<viewRec*> drawnIn;      // the current view at each draw
  std::vector<int32_t> drawModes;     // the draw mode at each draw
  DWORD advance = 0;                  // milliseconds the test clock moves per draw
};
inline LineState& lines() {
  static LineState s;
  return s;
}

inline int tlineHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t c) {
  auto* line = static_cast<tlineRec*>(object);
  switch (message) {
    case msgNew: return gobjNewAs(lines().tline, sizeof(tlineRec), a);
    case msgExtents: {
      auto* corners = reinterpret_cast<double*>(a);
      for (int i = 0; i < 3; ++i) {
        corners[i] = std::min(line->p0[i], line->p1[i]);
        corners[3 + i] = std::max(line->p0[i], line->p1[i]);
      }
      return 0;
    }
    case msgDraw: {
      const int answer = objMeth(objSuperClass(lines().tline), message, object, a, b, c);
      lines().drawn.push_back(&line->head);
      lines().drawnIn.push_back(vwCurView());
      int32_t mode = -1;
      gxGetAttr(2, &mode);
      lines().drawModes.push_back(mode);
      if (lines().advance) plTestAdvanceClock(lines().advance);
      vwMoveToW(line->p0);
      vwLineToW(line->p1);
      return answer;
    }
    default: return objMeth(objSuperClass(lines().tline), message, object, a, b, c);
  }
}

// A view fixture with the "tline" class and, on demand, real document
// windows.
class ViewDrawTest : public sheetfx::SheetTest {
protected:
  void SetUp() override {
    SheetTest::SetUp();
    if (!lines().tline) lines().tline = objClassRegister("tline", gobjClassId(), tlineHandler);
    LineState& s = lines();
    s.drawn.clear();
    s.drawnIn.clear();
    s.drawModes.clear();
    s.advance = 0;
  }
  void TearDown() override {
    plTestUseSystemClock();
    sheetSetEventDispatch(nullptr);
    docResetAll();  // the sheets let their windows go first
    gxSetWindow(nullptr);
    if (framed) frame.stop();
    framed = false;
    gxTerm();
    gdiTerm();
    SheetTest::TearDown();
  }

  // A new document whose first model gets a sheet in a 400 x 300 document
  // window: the fields below (draft is the sheet's active view).
  void openDrawing() {
    doc = newDoc();
    model = doc->firstModel;
    window = newWindow(RECT{0, 0, 400, 300});
    sheet = sheetCreate(doc, model, window);
    ASSERT_NE(sheet, nullptr);
    draft = sheet->activeView;
  }
  docRec* doc = nullptr;
  modelRec* model = nullptr;
  windRecord* window = nullptr;
  sheetRec* sheet = nullptr;
  viewRec* draft = nullptr;

  // A document window (the frame is started first).
  windRecord* newWindow(const RECT& box) {
    if (!framed) {
      framed = frame.start("plumet_view_draw");
      EXPECT_TRUE(framed);
    }
    windRecord* window = nullptr;
    EXPECT_EQ(windCreate(&box, "w", windKindDoc, &window, 1, 0), 0);
    return window;
  }
  static HWND native(const windRecord* window) {
    HWND h = nullptr;
    windGetHwnd(window, &h);
    return h;
  }

  // A line from p0 to p1 entered in the model, bound to the view number
  // owner (0: to none); the model's sieve holds it.
  static gobjRec* addLine(modelRec* model, std::initializer_list<double> p0, std::initializer_list<double> p1,
                          uint8_t owner = 0, uint8_t color = 1) {
    auto* line = reinterpret_cast<tlineRec*>(objNew(lines().tline));
    std::copy(p0.begin(), p0.end(), line->p0);
    std::copy(p1.begin(), p1.end(), line->p1);
    line->head.owner = owner;
    line->head.color = color;
    EXPECT_EQ(sieveInsert(model->sieve, &line->head), 0);
    return &line->head;
  }
  static bool wasDrawn(const gobjRec* object) {
    const auto& d = lines().drawn;
    return std::find(d.begin(), d.end(), object) != d.end();
  }

  // Pixels of a window differ from its background (read at the corner of
  // the client area, which nothing draws on in these tests).
  static COLORREF pixel(HWND window, int x, int y) { return plTestWindowPixel(window, x, y) & 0x00FFFFFF; }
  static bool inked(HWND window, int x, int y) { return pixel(window, x, y) != pixel(window, 0, 0); }
  // The x coordinates of the inked pixels of row y from x0 to x1.
  static std::vector<int> row(HWND window, int y, int x0, int x1) {
    std::vector<int> xs;
    for (int x = x0; x <= x1; ++x)
      if (inked(window, x, y)) xs.push_back(x);
    return xs;
  }
  // Repaints the whole window through its messages.
  static void paint(HWND window) {
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
  }

  vwfx::FrameWindow frame;
  bool framed = false;
};

}  // namespace viewfx

#endif
