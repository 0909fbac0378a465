// The runner's input operators: what a script queues reaches the front
// document window through the main loop, at the client pixel it named and
// 100 ms apart, and tPump comes back to the script.
#include "app/ferun/standins.h"

#include "core/classes.h"
#include "core/errors.h"
#include "fe/exec.h"
#include "fe/init.h"
#include "fe/stack.h"
#include "ui/app.h"
#include "ui/wind.h"

#include <platform_test.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

// An object attached to document windows that logs the messages offered to
// it (message 220) and answers none of them.
struct recorder {
  uint16_t classId;
  uint8_t refCount;
  int id;
};

struct offered {
  int window;
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
  DWORD time;
};
std::vector<offered> log;
int quitOnKeyDown;  // non-zero: a key-down asks for quit with this code

int recorderHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t c) {
  auto* r = static_cast<recorder*>(object);
  if (message != windMsgMessage) return objMeth(objSuperClass(r->classId), message, object, a, b, c);
  const auto msg = static_cast<UINT>(a);
  if (msg == WM_MOUSEMOVE || (msg >= WM_KEYFIRST && msg <= WM_KEYLAST) || msg == WM_LBUTTONDOWN ||
      msg == WM_LBUTTONUP) {
    log.push_back({r->id, msg, static_cast<WPARAM>(b), static_cast<LPARAM>(c), GetTickCount()});
    if (msg == WM_KEYDOWN && quitOnKeyDown) PostQuitMessage(quitOnKeyDown);
  }
  return 0;
}

class FerunInput : public ::testing::Test {
protected:
  void SetUp() override {
    plTestReset();
    plTestSetMessageBoxEcho(false);
    log.clear();
    quitOnKeyDown = 0;
    ASSERT_NE(appInit("", SW_SHOW, appFrameHookNone, nullptr, nullptr), nullptr);
    windClassInit();
    ASSERT_EQ(feInitFresh(), feOk);
    standinsInputInit();
    plTestSetTickCount(5000);
    cls = objClassRegister("ferunrecorder", 0, recorderHandler);
  }
  void TearDown() override {
    feStackClear(*feOperandStack());
    windUiTerm();
    appTerm();
    plTestReset();
  }
  windRecord* makeDoc(int id, RECT box) {
    windRecord* rec = nullptr;
    EXPECT_EQ(windCreate(&box, "doc", windKindDoc, &rec, 1, 0), 0);
    recorders.push_back(new recorder{cls, 1, id});
    windAddUser(rec, recorders.back());
    return rec;
  }
  void dropDocs() {
    for (windRecord* r = windFirst(); r != nullptr; r = windFirst()) windRelease(r);
    for (recorder* r : recorders) delete r;
    recorders.clear();
  }
  std::vector<UINT> messages() const {
    std::vector<UINT> out;
    for (const offered& o : log) out.push_back(o.msg);
    return out;
  }
  uint16_t cls = 0;
  std::vector<recorder*> recorders;
};

TEST_F(FerunInput, MouseAndKeysReachTheFrontDocumentAtItsClientPixel) {
  makeDoc(1, RECT{0, 0, 300, 200});
  makeDoc(2, RECT{40, 30, 340, 230});  // made last: the active one, over the first
  ASSERT_EQ(feExecString("30 40 tMouseMove 65 tKey 30 40 tMouseDown 35 44 tMouseUp tPump /after true def"), 0);
  ASSERT_EQ(messages(), (std::vector<UINT>{WM_MOUSEMOVE, WM_KEYDOWN, WM_CHAR, WM_KEYUP, WM_LBUTTONDOWN, WM_LBUTTONUP}));
  for (const offered& o : log) EXPECT_EQ(o.window, 2) << o.msg;
  EXPECT_EQ(log[0].lParam, MAKELONG(30, 40));
  EXPECT_EQ(log[1].wParam, static_cast<WPARAM>('A'));
  EXPECT_EQ(log[2].wParam, static_cast<WPARAM>('a'));
  EXPECT_EQ(log[4].wParam, static_cast<WPARAM>(MK_LBUTTON));
  EXPECT_EQ(log[5].lParam, MAKELONG(35, 44));
  // Each item 100 ms after the one before, the first 100 ms after the start.
  EXPECT_EQ(log[0].time, 5100u);
  EXPECT_EQ(log[1].time, 5200u);
  EXPECT_EQ(log[2].time, 5200u);  // the character comes with its key-down
  EXPECT_EQ(log[3].time, 5300u);
  EXPECT_EQ(log[5].time, 5500u);
  // The pump came back to the script and left no quit behind.
  EXPECT_EQ(feExecString("after"), 0);
  EXPECT_EQ(plTestQueuedInputCount(), 0u);
  MSG m;
  EXPECT_FALSE(PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
  dropDocs();
}

TEST_F(FerunInput, TypedTextUsesKeysWithShiftAndWaitSetsTheNextGap) {
  makeDoc(1, RECT{0, 0, 300, 200});
  ASSERT_EQ(feExecString("0 tWait (bE.) tType tPump"), 0);
  std::vector<WPARAM> keys, chars;
  for (const offered& o : log) {
    if (o.msg == WM_KEYDOWN) keys.push_back(o.wParam);
    if (o.msg == WM_CHAR) chars.push_back(o.wParam);
  }
  EXPECT_EQ(keys, (std::vector<WPARAM>{'B', VK_SHIFT, 'E', 0xBE}));
  EXPECT_EQ(chars, (std::vector<WPARAM>{'b', 'E', '.'}));
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log[0].time, 5000u);  // due at once; the rest 100 ms apart
  EXPECT_EQ(log.back().time, 5000u + 100u * 7);  // the last of eight items
  dropDocs();
}

TEST_F(FerunInput, AQuitAskedForDuringThePumpStillEndsTheRunner) {
  makeDoc(1, RECT{0, 0, 300, 200});
  quitOnKeyDown = 4;
  ASSERT_EQ(feExecString("65 tKey 66 tKey tPump"), 0);
  MSG m;
  ASSERT_TRUE(PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
  EXPECT_EQ(m.wParam, 4u);
  // A quit already waiting: the pump leaves it and the input alone.
  const size_t before = log.size();
  ASSERT_EQ(feExecString("67 tKey tPump"), 0);
  EXPECT_EQ(log.size(), before);
  EXPECT_TRUE(PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
  dropDocs();
}

TEST_F(FerunInput, ArgumentsOutsideTheirRangeAndNoDocumentAreRangeChecks) {
  const char* texts[] = {"1 2 tMouseMove", "1 2 tMouseDown", "1 2 tMouseUp", "0 tKey", "256 tKey", "-1 tWait"};
  for (const char* text : texts) {
    SCOPED_TRACE(text);
    feStackClear(*feOperandStack());
    EXPECT_EQ(feExecString(text), feErrRangeCheck);
  }
  EXPECT_EQ(plTestQueuedInputCount(), 0u);
}

}  // namespace
