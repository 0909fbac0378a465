// The fatal out-of-memory alert reaches the message box while every request
// is refused: the program's allocator refuses everything and so does the
// standard library's operator new (replaced for this executable, and
// refusing only while a test arms it). The box itself belongs to the
// platform layer and may allocate: the refusal is lifted while the document
// windows are told that a box is open, and put back when it has closed.
#include "core/abort.h"
#include "core/alloc.h"
#include "core/alloc_test.h"
#include "core/debug.h"
#include "core/xlate.h"
#include "core/xlate_test.h"

#include "refusing_new.h"

#include <platform_test.h>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <new>
#include <string>

namespace {

void* refuseAll(void*, size_t) { return nullptr; }

// What the hooks saw.
struct Seen {
  int refusedBeforeBox = -1;  // operator new refusals when the box opened
  int boxes = 0;
  int quits = 0;
  bool quitAbandoned = false;
};
Seen seen;

void alertActive(int flag) {
  if (flag) {
    seen.refusedBeforeBox = refusingnew::state.refused;
    ++seen.boxes;
    refusingnew::state.armed = false;
  } else {
    refusingnew::state.armed = refusingnew::state.refuseAll = true;
  }
}

// The at-quit routines, which need memory like any script: they are
// abandoned, and the quit is asked for all the same.
void quitNeedingMemory() {
  ++seen.quits;
  try {
    char* block = nullptr;
    uAlloc(&block, nullptr, 64, 1);
  } catch (const uAbortSignal&) {
    seen.quitAbandoned = true;
    throw;
  }
}

class OutOfMemoryAlert : public ::testing::Test {
protected:
  void SetUp() override {
    uReserveTestReset();
    xlateResetForTest();
    plTestClearMessageBoxes();
    plTestClearQuit();
    seen = Seen{};
    dbgHooks hooks{};
    hooks.setAlertActive = alertActive;
    hooks.quit = quitNeedingMemory;
    dbgSetHooks(hooks);
  }
  void TearDown() override {
    refusingnew::state = refusingnew::State{};
    uSetSystemRealloc(nullptr);
    dbgSetHooks(dbgHooks{});
    xlateResetForTest();
    uReserveTestReset();
    plTestClearMessageBoxes();
    plTestClearQuit();
  }
};

TEST_F(OutOfMemoryAlert, FatalAlertIsShownWhileEveryAllocationIsRefused) {
  // A translation table is loaded: a text it does not know would be
  // recorded as missing, which takes memory.
  const char source[] = "Save";
  const char translation[] = "Sichern";
  ASSERT_EQ(xlateAddPair(source, 4, translation, 7), 0);
  xlateLoaded();

  uSetSystemRealloc(refuseAll);
  refusingnew::state.armed = refusingnew::state.refuseAll = true;
  char* block = nullptr;
  uint32_t count = 0;
  bool aborted = false;
  try {
    uAlloc(&block, &count, 16, 8);
  } catch (const uAbortSignal& abortSignal) {
    aborted = true;
    EXPECT_EQ(abortSignal.signal, SIGABRT);
  }
  refusingnew::state.armed = false;
  uSetSystemRealloc(nullptr);

  EXPECT_TRUE(aborted);
  EXPECT_EQ(block, nullptr);
  // Nothing on the way to the box asked for memory, and the box came once.
  EXPECT_EQ(seen.refusedBeforeBox, 0);
  EXPECT_EQ(seen.boxes, 1);
  ASSERT_EQ(plTestMessageBoxes().size(), 1u);
  EXPECT_EQ(plTestMessageBoxes()[0].text, "Out of memory.");
  EXPECT_EQ(plTestMessageBoxes()[0].type, UINT(MB_OK | MB_ICONSTOP));
  // The at-quit routines ran out in turn without a second alert; the
  // program is asked to quit with a failure code.
  EXPECT_EQ(seen.quits, 1);
  EXPECT_TRUE(seen.quitAbandoned);
  int code = 0;
  EXPECT_TRUE(plTestQuitPosted(&code));
  EXPECT_EQ(code, -1);
}

TEST_F(OutOfMemoryAlert, AlertsWithSubstitutionAllocateNothing) {
  // Substitution, "^^" and cutting to 255 characters happen in place.
  const std::string longText = "I" + std::string(300, 'z');
  refusingnew::state.armed = refusingnew::state.refuseAll = true;
  uAlert(0, "WFile ^0 is locked (^^1)", "a.qdw");
  uAlert(0, longText.c_str(), nullptr);
  refusingnew::state.armed = false;
  EXPECT_EQ(seen.refusedBeforeBox, 0);
  ASSERT_EQ(plTestMessageBoxes().size(), 2u);
  EXPECT_EQ(plTestMessageBoxes()[0].text, "File a.qdw is locked (^1)");
  EXPECT_EQ(plTestMessageBoxes()[1].text, std::string(255, 'z'));
}

}  // namespace
