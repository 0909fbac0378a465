// The runtime and the interpreter reach the layers above them only through
// the hooks that start-up sets: with them set, alerts, panics, the
// out-of-memory path and the interrupt poll behave as one program.
#include "app/hooks.h"

#include "core/abort.h"
#include "core/alloc.h"
#include "core/alloc_test.h"
#include "core/debug.h"
#include "core/errors.h"
#include "fe/dict.h"
#include "fe/error.h"
#include "fe/exec.h"
#include "fe/generic.h"
#include "fe/init.h"
#include "fe/quit.h"
#include "fe/stack.h"
#include "fe/strings.h"
#include "ui/attn.h"
#include "ui/gdihook.h"

#include <platform_test.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

class Hooks : public ::testing::Test {
protected:
  void SetUp() override {
    plTestReset();
    plTestSetMessageBoxEcho(false);
    appInstallHooks();
    ASSERT_EQ(feInitFresh(), feOk);
  }
  void TearDown() override {
    gdiSetHook(nullptr);
    evAttnReset();
    uSetSystemRealloc(nullptr);
    uReserveTestReset();
    feStackClear(*feOperandStack());
    plTestReset();
  }

  static std::string userString(const char* name) {
    feObject value;
    if (feDictGetName(feUserDict(), name, &value) != 0) return "<undefined>";
    uint8_t* text = nullptr;
    uint16_t length = 0;
    std::string out = "<not a string>";
    if (feType(&value) == feTString) {
      feStringData(&value, &text, &length);
      out.assign(reinterpret_cast<char*>(text), length);
    }
    feFree(&value);
    return out;
  }
};

std::string quitOrder;

TEST_F(Hooks, FatalAlertRunsTheInterpretersAtQuitRoutines) {
  quitOrder.clear();
  feAtQuit([] { quitOrder += '1'; });
  feAtQuit([] { quitOrder += '2'; });
  uAlert(0, "FCannot go on", nullptr);
  EXPECT_EQ(quitOrder, "21");
  int code = 0;
  ASSERT_TRUE(plTestQuitPosted(&code));
  EXPECT_EQ(code, -1);
}

intptr_t pluginAnswer;
std::string pluginSaw;
intptr_t pluginHook(intptr_t kind, intptr_t a, intptr_t, intptr_t) {
  if (kind == gdiHookPanic) pluginSaw = reinterpret_cast<const char*>(a);
  return pluginAnswer;
}

TEST_F(Hooks, PanicsAreOfferedToThePluginHook) {
  gdiSetHook(pluginHook);
  pluginAnswer = 1;
  pluginSaw.clear();
  dbgPanic("lost %s", "block");
  EXPECT_EQ(pluginSaw, "lost block");
  EXPECT_TRUE(plTestMessageBoxes().empty());
  pluginAnswer = 0;
  dbgPanic("again");
  EXPECT_EQ(pluginSaw, "again");
  EXPECT_EQ(plTestMessageBoxes().size(), 1u);
}

// The scripts' save offer runs in the interpreter; the allocator refuses
// only the one large request.
TEST_F(Hooks, OutOfMemoryRunsTheScriptsSaveOffer) {
  ASSERT_EQ(feRunString("/aAlert {/alertText exch def} def /aSaveAsInNoMemory {/saveOffered (yes) def} def"), 0);
  uReserveRenew();
  ASSERT_TRUE(uReserveHeld());
  uSetSystemRealloc([](void* old, size_t bytes) { return bytes >= (1u << 24) ? nullptr : std::realloc(old, bytes); });
  char* p = nullptr;
  uint32_t count = 0;
  EXPECT_THROW(uAlloc(&p, &count, 1u << 22, 8), uAbortSignal);
  EXPECT_EQ(userString("alertText"), "Please save current document in temporary file.");
  EXPECT_EQ(userString("saveOffered"), "yes");
}

// An Escape waiting in the queue stops an operator that polls.
TEST_F(Hooks, EscapeInterruptsAPollingOperator) {
  plTestQueueKey(VK_ESCAPE, true);
  EXPECT_EQ(feExecString("[1 2] [3 4] add"), feErrInterrupt);
  evAttnReset();
  feStackClear(*feOperandStack());
  EXPECT_EQ(feExecString("[1 2] [3 4] add"), feOk);
}

}  // namespace
