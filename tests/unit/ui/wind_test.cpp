#include "core/classes.h"
#include "core/ini.h"
#include "ui/app.h"
#include "ui/wind.h"

#include <platform_test.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

// A program object that attaches to windows and answers message 220 with a
// fixed value (or runs an action first).
struct testUser {
  uint16_t classId;
  uint8_t refCount;
  int id;
  int answer;
  std::function<void()> action;
};

struct seen {
  int user;
  intptr_t msg, wParam, lParam;
};

std::vector<seen>& offers() {
  static std::vector<seen> log;
  return log;
}

int userHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t c) {
  auto* u = static_cast<testUser*>(object);
  if (message != windMsgMessage) return objMeth(objSuperClass(u->classId), message, object, a, b, c);
  offers().push_back({u->id, a, b, c});
  if (u->action && static_cast<UINT>(a) == WM_USER + 1) u->action();
  return u->answer;
}

// A class without its own handler: message 220 climbs to the root (-303).
uint16_t silentClass() { return objClassRegister("wtsilent", 0, nullptr); }
uint16_t userClass() { return objClassRegister("wtuser", 0, userHandler); }

std::vector<UINT> offeredMessages(int user) {
  std::vector<UINT> out;
  for (const seen& s : offers())
    if (s.user == user) out.push_back(static_cast<UINT>(s.msg));
  return out;
}

bool contains(const std::vector<UINT>& list, UINT msg) {
  for (UINT m : list)
    if (m == msg) return true;
  return false;
}

class Wind : public ::testing::Test {
protected:
  void SetUp() override {
    plTestReset();
    plTestClearMessageBoxes();
    offers().clear();
    dir = std::filesystem::temp_directory_path() / ("plumet_ui_wind_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    std::string ini = (dir / "TEST.INI").string();
    std::ofstream(ini) << "[Memory]\nReserve=1000\n";
    frame = appInit("", SW_SHOW, appFrameHookNone, nullptr, ini.c_str());
    ASSERT_NE(frame, nullptr);
    windClassInit();
  }
  void TearDown() override {
    windUiTerm();
    appTerm();
    iniShutdown();
    plTestReset();
    std::filesystem::remove_all(dir);
  }
  windRecord* makeDoc(const char* title = "doc") {
    RECT box{10, 20, 210, 170};
    windRecord* rec = nullptr;
    EXPECT_EQ(windCreate(&box, title, windKindDoc, &rec, 1, 0), 0);
    return rec;
  }
  testUser user(int id, int answer, uint16_t cls = 0) {
    return testUser{cls != 0 ? cls : userClass(), 1, id, answer, {}};
  }
  std::filesystem::path dir;
  HWND frame = nullptr;
};

TEST_F(Wind, DocumentWindowIsAnMdiChildOfClassQxwdocWithItsRecord) {
  windRecord* rec = makeDoc("first");
  ASSERT_NE(rec, nullptr);
  EXPECT_EQ(windCheck(rec), 0);
  EXPECT_EQ(rec->classId, windClassId());
  EXPECT_EQ(objClassByName("window"), windClassId());
  EXPECT_EQ(rec->refCount, 1);
  EXPECT_EQ(rec->kind, windKindDoc);
  EXPECT_TRUE(rec->flags & windActive);
  EXPECT_FALSE(rec->flags & windHidden);

  HWND native = nullptr;
  windGetHwnd(rec, &native);
  ASSERT_NE(native, nullptr);
  EXPECT_EQ(GetParent(native), uiGetFrameWindow(1));
  char name[32] = {};
  EXPECT_GT(GetClassNameA(native, name, sizeof name), 0);
  EXPECT_STREQ(name, "qxwdoc");
  char title[32] = {};
  GetWindowTextA(native, title, sizeof title);
  EXPECT_STREQ(title, "first");
  EXPECT_TRUE(IsWindowVisible(native));
  EXPECT_EQ(windIsVisible(rec), 1);

  windRecord* found = nullptr;
  windFromHwnd(native, &found);
  EXPECT_EQ(found, rec);
  EXPECT_EQ(windFirst(), rec);
  EXPECT_EQ(windCurrentDoc(), rec);
  EXPECT_EQ(GetFocus(), native);
}

TEST_F(Wind, LookupAnswersNoRecordForOtherWindowsAndObjects) {
  windRecord* found = reinterpret_cast<windRecord*>(1);
  windFromHwnd(frame, &found);
  EXPECT_EQ(found, nullptr);
  windFromHwnd(nullptr, &found);
  EXPECT_EQ(found, nullptr);
  testUser u = user(1, 0);
  EXPECT_EQ(windCheck(&u), windNotWindow);
  EXPECT_EQ(windCheck(nullptr), windNotWindow);
}

TEST_F(Wind, MessageIsOfferedToUsersInSlotOrderUntilOneAnswers) {
  windRecord* rec = makeDoc();
  testUser silent = user(1, 0, silentClass());
  testUser declines = user(2, 0);
  testUser answers = user(3, 7);
  testUser never = user(4, 9);
  for (testUser* u : {&silent, &declines, &answers, &never}) windAddUser(rec, u);
  EXPECT_EQ(rec->refCount, 5);
  offers().clear();

  EXPECT_EQ(SendMessageA(rec->native, WM_USER + 5, 11, 22), 7);
  // The silent class does not know message 220: its -303 is no answer.
  ASSERT_EQ(offers().size(), 2u);
  EXPECT_EQ(offers()[0].user, 2);
  EXPECT_EQ(offers()[0].msg, WM_USER + 5);
  EXPECT_EQ(offers()[0].wParam, 11);
  EXPECT_EQ(offers()[0].lParam, 22);
  EXPECT_EQ(offers()[1].user, 3);
  EXPECT_EQ(rec->refCount, 5);  // the call's own reference is gone again
  for (testUser* u : {&silent, &declines, &answers, &never}) windRemoveUser(rec, u);
}

TEST_F(Wind, UnansweredMessageGetsTheDefaultProcessing) {
  windRecord* rec = makeDoc("abcd");
  testUser declines = user(1, 0);
  windAddUser(rec, &declines);
  EXPECT_EQ(SendMessageA(rec->native, WM_GETTEXTLENGTH, 0, 0), 4);
  EXPECT_TRUE(contains(offeredMessages(1), WM_GETTEXTLENGTH));
  // An answering user takes the message from the default processing.
  declines.answer = 42;
  EXPECT_EQ(SendMessageA(rec->native, WM_GETTEXTLENGTH, 0, 0), 42);
  windRemoveUser(rec, &declines);
}

TEST_F(Wind, UsersFillEmptySlotsAndAreRemovedFromEverySlot) {
  windRecord* rec = makeDoc();
  testUser a = user(1, 0), b = user(2, 0);
  windAddUser(rec, nullptr);
  EXPECT_EQ(rec->userCount, 0u);
  windAddUser(rec, &a);
  windAddUser(rec, &b);
  windAddUser(rec, &a);
  EXPECT_EQ(rec->userCount, 3u);
  EXPECT_EQ(rec->refCount, 4);
  windRemoveUser(rec, &a);
  EXPECT_EQ(rec->refCount, 2);
  EXPECT_EQ(rec->users[0], nullptr);
  EXPECT_EQ(rec->users[1], &b);
  EXPECT_EQ(rec->users[2], nullptr);
  windAddUser(rec, &a);  // the first empty slot again
  EXPECT_EQ(rec->users[0], &a);
  EXPECT_EQ(rec->userCount, 3u);
  windRemoveUser(rec, &a);
  windRemoveUser(rec, &b);
  EXPECT_EQ(rec->refCount, 1);
}

TEST_F(Wind, LastReleaseDestroysTheWindowAndFreesTheRecord) {
  windRecord* first = makeDoc("one");
  windRecord* second = makeDoc("two");
  EXPECT_EQ(windCurrentDoc(), second);
  testUser u = user(1, 0);
  windAddUser(second, &u);
  HWND native = second->native;

  EXPECT_EQ(windRelease(second), 0);  // the user still holds it
  EXPECT_TRUE(IsWindow(native));
  EXPECT_EQ(windFirst(), second);
  offers().clear();
  windRemoveUser(second, &u);  // the last reference
  EXPECT_FALSE(IsWindow(native));
  EXPECT_EQ(windFirst(), first);
  EXPECT_EQ(first->next, nullptr);
  EXPECT_EQ(windCurrentDoc(), first);
  windRecord* found = reinterpret_cast<windRecord*>(1);
  windFromHwnd(native, &found);
  EXPECT_EQ(found, nullptr);

  windRelease(first);
  EXPECT_EQ(windFirst(), nullptr);
  EXPECT_EQ(windCurrentDoc(), nullptr);
}

TEST_F(Wind, DestroyedNativeWindowLeavesAGoneRecordUntilReleased) {
  windRecord* rec = makeDoc();
  testUser u = user(1, 0);
  windAddUser(rec, &u);
  HWND native = rec->native;
  appDestroyChild(native);
  EXPECT_FALSE(IsWindow(native));
  EXPECT_TRUE(contains(offeredMessages(1), WM_DESTROY));
  EXPECT_TRUE(rec->flags & windGone);
  EXPECT_EQ(rec->native, nullptr);
  EXPECT_EQ(windFirst(), rec);
  EXPECT_EQ(windIsVisible(rec), 0);
  windRelease(rec);
  EXPECT_EQ(windFirst(), rec);  // the user keeps it
  windRemoveUser(rec, &u);
  EXPECT_EQ(windFirst(), nullptr);
}

TEST_F(Wind, ClosingFromInsideTheOfferFreesOnlyWhenTheCallReturns) {
  windRecord* rec = makeDoc();
  HWND native = rec->native;
  testUser closer = user(1, 5);
  bool aliveInside = false;
  closer.action = [&] {
    windRemoveUser(rec, &closer);
    windRelease(rec);  // the creator lets go too
    aliveInside = windFirst() == rec && IsWindow(native);
  };
  windAddUser(rec, &closer);
  EXPECT_EQ(SendMessageA(native, WM_USER + 1, 0, 0), 5);
  EXPECT_TRUE(aliveInside);
  EXPECT_FALSE(IsWindow(native));
  EXPECT_EQ(windFirst(), nullptr);
}

TEST_F(Wind, PaintIsBracketedAndUsersSeeTheUpdateArea) {
  windRecord* rec = makeDoc();
  testUser painter = user(1, 1);
  RECT during{}, clipped{};
  int paintingDuring = 0;
  painter.action = nullptr;
  windAddUser(rec, &painter);
  // The check runs from the handler through a second class-less probe: the
  // user answers WM_PAINT and we look at the record while it is painting.
  struct probe {
    static int handler(void* object, int message, intptr_t a, intptr_t, intptr_t) {
      auto* self = static_cast<testUser*>(object);
      if (message == windMsgMessage && static_cast<UINT>(a) == WM_PAINT && self->action) self->action();
      return 0;
    }
  };
  testUser watcher{objClassRegister("wtprobe", 0, probe::handler), 1, 2, 0, {}};
  watcher.action = [&] {
    during = rec->update;
    paintingDuring = rec->painting;
    RECT wide{0, 0, 1000, 1000};
    windXformRect(rec, &wide, &clipped);
  };
  windRemoveUser(rec, &painter);
  windAddUser(rec, &watcher);
  windAddUser(rec, &painter);

  ValidateRect(rec->native, nullptr);
  RECT part{5, 6, 40, 30};
  InvalidateRect(rec->native, &part, FALSE);
  SendMessageA(rec->native, WM_PAINT, 0, 0);
  EXPECT_EQ(paintingDuring, 1);
  EXPECT_EQ(during.left, 5);
  EXPECT_EQ(during.top, 6);
  EXPECT_EQ(during.right, 40);
  EXPECT_EQ(during.bottom, 30);
  EXPECT_EQ(clipped.right, 40);
  EXPECT_EQ(rec->painting, 0);
  RECT left{};
  EXPECT_FALSE(GetUpdateRect(rec->native, &left, FALSE));  // BeginPaint validated it
  RECT wide{0, 0, 1000, 1000}, same{};
  windXformRect(rec, &wide, &same);
  EXPECT_EQ(same.right, 1000);
  // A paint with nothing left to update covers the whole client area.
  SendMessageA(rec->native, WM_PAINT, 0, 0);
  RECT client{};
  GetClientRect(rec->native, &client);
  EXPECT_EQ(during.right, client.right);
  EXPECT_EQ(during.bottom, client.bottom);
  windRemoveUser(rec, &watcher);
  windRemoveUser(rec, &painter);
}

// What the paint hook saw at each call.
struct paintHookCall {
  HWND target;         // the window painting (the one whose record is current)
  bool updatePending;  // BeginPaint has not run yet
  uint8_t painting;
  size_t offersBefore;  // users offered WM_PAINT before the hook ran
};
std::vector<paintHookCall> paintHookCalls;
windRecord* paintHookRec;

void recordPaintHook() {
  RECT update{};
  HWND target = paintHookRec != nullptr ? paintHookRec->native : nullptr;
  paintHookCalls.push_back({target, target != nullptr && GetUpdateRect(target, &update, FALSE) != 0,
                            paintHookRec != nullptr ? paintHookRec->painting : uint8_t{9}, offers().size()});
}

TEST_F(Wind, DocumentPaintCallsThePaintHookBeforePaintingBegins) {
  paintHookCalls.clear();
  windRecord* doc = makeDoc();
  // A tool palette (its class is not registered by this layer yet).
  WNDCLASSA wc{};
  wc.lpfnWndProc = windDocProc;
  wc.cbWndExtra = sizeof(LONG_PTR);
  wc.hInstance = appInstance();
  wc.lpszClassName = windClassOf(windKindPalette)->className;
  ASSERT_NE(appRegisterClass(&wc, static_cast<int>(windClassOf(windKindPalette)->creation)), 0);
  RECT box{30, 30, 130, 100};
  windRecord* palette = nullptr;
  ASSERT_EQ(windCreate(&box, "tools", windKindPalette, &palette, 1, 0), 0);
  testUser painter = user(1, 1);
  windAddUser(doc, &painter);
  windAddUser(palette, &painter);
  EXPECT_EQ(windSetPaintHook(recordPaintHook), nullptr);

  paintHookRec = doc;
  RECT part{5, 6, 40, 30};
  ValidateRect(doc->native, nullptr);
  InvalidateRect(doc->native, &part, FALSE);
  offers().clear();
  SendMessageA(doc->native, WM_PAINT, 0, 0);
  ASSERT_EQ(paintHookCalls.size(), 1u);
  EXPECT_EQ(paintHookCalls[0].target, doc->native);
  EXPECT_TRUE(paintHookCalls[0].updatePending);  // not yet clipped to the update area
  EXPECT_EQ(paintHookCalls[0].painting, 0);
  EXPECT_EQ(paintHookCalls[0].offersBefore, 0u);
  EXPECT_TRUE(contains(offeredMessages(1), WM_PAINT));

  // Other kinds of window paint without it; a null hook calls nothing.
  paintHookRec = palette;
  SendMessageA(palette->native, WM_PAINT, 0, 0);
  EXPECT_EQ(paintHookCalls.size(), 1u);
  EXPECT_EQ(windSetPaintHook(nullptr), recordPaintHook);
  paintHookRec = doc;
  SendMessageA(doc->native, WM_PAINT, 0, 0);
  EXPECT_EQ(paintHookCalls.size(), 1u);

  windRemoveUser(doc, &painter);
  windRemoveUser(palette, &painter);
  windRelease(palette);
}

TEST_F(Wind, MdiActivationMovesTheActiveFlagAndFocus) {
  windRecord* first = makeDoc("one");
  windRecord* second = makeDoc("two");
  EXPECT_TRUE(second->flags & windActive);
  EXPECT_FALSE(first->flags & windActive);
  testUser u = user(1, 0);
  windAddUser(first, &u);
  windActivate(first, 0);  // does nothing
  EXPECT_TRUE(second->flags & windActive);
  windActivate(first, 1);
  EXPECT_TRUE(first->flags & windActive);
  EXPECT_FALSE(second->flags & windActive);
  EXPECT_EQ(GetFocus(), first->native);
  EXPECT_TRUE(contains(offeredMessages(1), WM_MDIACTIVATE));
  EXPECT_EQ(SendMessageA(uiGetFrameWindow(1), WM_MDIGETACTIVE, 0, 0), reinterpret_cast<LRESULT>(first->native));
  windRemoveUser(first, &u);
}

TEST_F(Wind, HidingTheActiveDocumentPassesActivationOn) {
  windRecord* first = makeDoc("one");
  windRecord* second = makeDoc("two");
  windShow(second->native, 0);
  EXPECT_TRUE(first->flags & windActive);
  EXPECT_TRUE(second->flags & windHidden);
  EXPECT_FALSE(second->flags & windActive);
  EXPECT_FALSE(IsWindowVisible(second->native));
  EXPECT_EQ(windIsVisible(second), 0);
  windShow(second->native, 1);
  EXPECT_FALSE(second->flags & windHidden);
  EXPECT_TRUE(IsWindowVisible(second->native));
}

TEST_F(Wind, HiddenCreationAndTitle) {
  RECT box{0, 0, 100, 100};
  windRecord* rec = nullptr;
  ASSERT_EQ(windCreate(&box, "t", windKindDoc, &rec, 0, 0), 0);
  windSetTitle(rec, "renamed");
  char title[32] = {};
  GetWindowTextA(rec->native, title, sizeof title);
  EXPECT_STREQ(title, "renamed");
  windSetTitle(rec, nullptr);
  GetWindowTextA(rec->native, title, sizeof title);
  EXPECT_STREQ(title, "");
}

TEST_F(Wind, KindWithoutClassGivesTheAlertAndARecordToRelease) {
  RECT box{0, 0, 100, 100};
  windRecord* rec = nullptr;
  EXPECT_EQ(windCreate(&box, "dlg", windKindDialog, &rec, 1, 0), windNoWindow);
  ASSERT_NE(rec, nullptr);
  EXPECT_EQ(rec->native, nullptr);
  ASSERT_FALSE(plTestMessageBoxes().empty());
  EXPECT_NE(plTestMessageBoxes().back().text.find("Unable to create new window"), std::string::npos);
  windRelease(rec);
  EXPECT_EQ(windFirst(), nullptr);

  EXPECT_EQ(windCreate(&box, "bad", 0, &rec, 1, 0), windNoWindow);
  EXPECT_EQ(rec, nullptr);
  EXPECT_EQ(windCreate(&box, "bad", 13, &rec, 1, 0), windNoWindow);
  EXPECT_EQ(windFirst(), nullptr);
}

TEST_F(Wind, ViewRectangleAndSurfaceRecords) {
  RECT page{10, 20, 110, 70};
  windRecord* surface = windNewOffscreen(reinterpret_cast<HANDLE>(0x1234), &page);
  EXPECT_EQ(surface->kind, windKindSurface);
  EXPECT_TRUE(surface->flags & windHidden);
  RECT client{};
  windGetClientRect(surface, &client);
  EXPECT_EQ(client.right, 100);
  EXPECT_EQ(client.bottom, 50);
  RECT view{};
  EXPECT_EQ(windGetViewRect(surface, &view), 0);
  EXPECT_EQ(view.right, 100);
  surface->offsets[0] = 1;
  surface->offsets[1] = 2;
  surface->offsets[2] = 3;
  surface->offsets[3] = 4;
  EXPECT_EQ(windGetViewRect(surface, &view), -1);
  EXPECT_EQ(view.left, 1);
  EXPECT_EQ(view.top, 2);
  EXPECT_EQ(view.right, 97);
  EXPECT_EQ(view.bottom, 46);
  EXPECT_EQ(windPointInView(surface, POINT{1, 2}), 1);
  EXPECT_EQ(windPointInView(surface, POINT{97, 10}), 0);
  EXPECT_EQ(windIsVisible(surface), 0);
  windRelease(surface);  // no window calls with the surface handle
  EXPECT_EQ(windFirst(), nullptr);

  RECT max{};
  windMaxRect(nullptr, &max);
  EXPECT_EQ(max.right, 16384);
}

TEST_F(Wind, ClassMessage100ReleasesTheRecord) {
  windRecord* rec = makeDoc();
  HWND native = rec->native;
  EXPECT_EQ(objMeth(windClassId(), windMsgFree, rec), 0);
  EXPECT_FALSE(IsWindow(native));
  EXPECT_EQ(windFirst(), nullptr);
}

}  // namespace
