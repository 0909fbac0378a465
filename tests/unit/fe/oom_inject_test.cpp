// Memory refused at every point of a representative script: the script
// writes and reads back a file, builds dictionaries and arrays, works on
// strings and writes a compiled image. It runs once to count its
// allocations, then once for each N (a spread of them when there are many)
// with exactly the N-th allocation refused. Every run must end cleanly (the
// abort caught here, or success), leave the interpreter usable for the next
// run and leave no body behind; LeakSanitizer checks the rest at exit.
//
// Two kinds of refusal: the program's allocator (uAlloc's system call,
// which takes the out-of-memory path with or without the reserve), and the
// standard library's operator new (std::bad_alloc, which the execution loop
// turns into the same path). The replacement operator new counts and
// refuses only while a test arms it.
#include "exec_fixture.h"
#include "scratch_dir.h"
#include "refusing_new.h"

#include "core/abort.h"
#include "core/alloc.h"
#include "core/alloc_test.h"
#include "fe/release.h"

#include <platform_test.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <new>
#include <string>
#include <vector>

namespace {

// The allocator injection: every call of the system's resize call is
// counted; the refuseAt-th (0: none) is refused.
size_t reallocCount;
size_t reallocRefuseAt;

void* countingRealloc(void* block, size_t size) {
  if (++reallocCount == reallocRefuseAt) return nullptr;
  return std::realloc(block, size);
}

// The save offer's runner: runs a little script text, as the program's
// runner would run the save offer, on top of the run that ran out.
int saveOffers;
int runSaveOffer(const char*) {
  ++saveOffers;
  return feRunString("3 array 5 dict pop pop");
}

enum class Outcome { Success, Error, Aborted };

class OomInjection : public ScratchDirTest {
protected:
  OomInjection() : ScratchDirTest("plumet-oom-") {}

  void SetUp() override {
    ScratchDirTest::SetUp();
    execfx::start();
    plTestSetMessageBoxEcho(false);
    plTestClearMessageBoxes();
    plTestClearQuit();
    uReserveTestReset();
    uSetLowMemoryRunner(runSaveOffer);
    script_ = buildScript();
  }

  void TearDown() override {
    uSetSystemRealloc(nullptr);
    refusingnew::state = refusingnew::State{};
    uSetLowMemoryRunner(nullptr);
    uReserveTestReset();
    plTestClearMessageBoxes();
    plTestClearQuit();
    plTestSetMessageBoxEcho(true);
    execfx::stop();
    ScratchDirTest::TearDown();
  }

  std::string buildScript() const {
    const std::string data = path("data.txt");
    const std::string image = path("image.feb");
    return "40 dict begin\n"
           // A file written and read back.
           "/w (" + data + ") (w) file def\n"
           "0 1 20 { 10 string cvs w exch writestring w (\\n) writestring } for\n"
           "w closefile\n"
           "/r (" + data + ") (r) file def\n"
           "/lines 0 def\n"
           "{ r 40 string readline { pop /lines lines 1 add def } { pop exit } ifelse } loop\n"
           "r closefile\n"
           "lines 21 ne { (file lines) fail } if\n"
           // Dictionaries and arrays, grown past their first capacity.
           "/d 2 dict def\n"
           "0 1 60 { dup 12 string cvs cvn exch d 3 1 roll put } for\n"
           "/a [ 0 1 80 { dup mul } for ] def\n"
           "/nested [ a d [ 1 2 3 ] 5 dict ] def\n"
           "d length 61 ne { (dict length) fail } if\n"
           // Strings: search, intervals, conversions.
           "/s (the quick brown fox jumps over the lazy dog) def\n"
           "s (fox) search { pop pop pop } { (search) fail } ifelse\n"
           "/t s 4 11 getinterval 20 string copy def\n"
           "/u 30 string def 12345 u cvs pop\n"
           "a { 20 string cvs pop } forall\n"
           // The image writer.
           "(" + image + ") aBOut\n"
           "end\n";
  }

  // Runs the script as the program runs a text (errors reported); an abort
  // that reaches this point counts as a clean end.
  Outcome run() {
    const uint32_t reportsBefore = feErrorReportCount();
    try {
      feRunString(script_.c_str());
    } catch (const uAbortSignal&) {
      return Outcome::Aborted;
    }
    return feErrorReportCount() == reportsBefore ? Outcome::Success : Outcome::Error;
  }

  // What an abandoned run may leave at the recovery point: operands and
  // dictionaries it had begun.
  static void resetAfterRun() {
    feStackClear(*feOperandStack());
    feDictStackInit(feSystemDict(), feUserDict());
  }

  // The Ns to try: all of 1..count when few, else a spread of about 200
  // that keeps the first and the last.
  static std::vector<size_t> pointsUpTo(size_t count) {
    std::vector<size_t> points;
    const size_t step = count <= 400 ? 1 : count / 200;
    for (size_t n = 1; n <= count; n += step) points.push_back(n);
    if (points.empty() || points.back() != count) points.push_back(count);
    return points;
  }

  struct Live {
    int32_t arrays, dicts, execDepth, frameDepth;
    bool operator==(const Live&) const = default;
  };
  static Live live() {
    return {feArrayBodiesLive(), feDictBodiesLive(), feStackCount(*feExecStack()), feStackCount(*feFrameStack())};
  }

  // Files in the scratch folder other than the script's own two: an
  // abandoned image write must not leave its temporary file behind.
  std::vector<std::string> strayFiles() const {
    std::vector<std::string> stray;
    for (const auto& entry : std::filesystem::directory_iterator(dir_)) {
      const std::string name = entry.path().filename().string();
      if (name != "data.txt" && name != "image.feb") stray.push_back(name);
    }
    return stray;
  }

  // After a run and its reset: no stray file, and the bodies and stacks
  // as they were before the runs.
  void expectNothingLeft(const Live& before) const {
    ASSERT_EQ(strayFiles(), std::vector<std::string>{});
    ASSERT_TRUE(live() == before) << "arrays " << feArrayBodiesLive() - before.arrays << ", dicts "
                                  << feDictBodiesLive() - before.dicts << ", exec " << feStackCount(*feExecStack())
                                  << ", frames " << feStackCount(*feFrameStack());
  }

  std::string script_;
};

std::string describe(const char* kind, size_t n) { return std::string(kind) + " refused at " + std::to_string(n); }

TEST_F(OomInjection, EveryRefusedAllocatorRequestEndsCleanly) {
  // Two warm-up runs: the name table and the stacks reach their size, and
  // the second shows the state a run leaves.
  ASSERT_EQ(run(), Outcome::Success) << execfx::output();
  resetAfterRun();
  reallocCount = 0;
  reallocRefuseAt = 0;
  uSetSystemRealloc(countingRealloc);
  ASSERT_EQ(run(), Outcome::Success) << execfx::output();
  uSetSystemRealloc(nullptr);
  resetAfterRun();
  const size_t count = reallocCount;
  ASSERT_GT(count, 50u);
  const Live before = live();

  size_t aborted = 0;
  for (const size_t n : pointsUpTo(count)) {
    SCOPED_TRACE(describe("allocator request", n));
    // Odd Ns run with the reserve held (given back, the save offer runs),
    // even ones without it (the fatal alert, which asks to quit).
    const bool withReserve = n % 2 == 1;
    if (withReserve) uReserveRenew();
    saveOffers = 0;
    plTestClearMessageBoxes();
    reallocCount = 0;
    reallocRefuseAt = n;
    uSetSystemRealloc(countingRealloc);
    const Outcome outcome = run();
    uSetSystemRealloc(nullptr);
    resetAfterRun();

    ASSERT_NE(outcome, Outcome::Error) << execfx::output();
    if (outcome == Outcome::Aborted) {
      ++aborted;
      ASSERT_EQ(plTestMessageBoxes().size(), 1u);
      int code = 0;
      if (withReserve) {
        EXPECT_NE(plTestMessageBoxes()[0].text.find("Critically low on memory."), std::string::npos);
        EXPECT_EQ(saveOffers, 2);
        EXPECT_FALSE(plTestQuitPosted(&code));
      } else {
        EXPECT_EQ(plTestMessageBoxes()[0].text, "Out of memory.");
        EXPECT_EQ(saveOffers, 0);
        EXPECT_TRUE(plTestQuitPosted(&code));
        EXPECT_EQ(code, -1);
      }
    }
    plTestClearQuit();
    uReserveTestReset();
    ASSERT_NO_FATAL_FAILURE(expectNothingLeft(before));

    // The interpreter is usable afterwards: the whole script runs again.
    ASSERT_EQ(run(), Outcome::Success) << execfx::output();
    resetAfterRun();
    ASSERT_TRUE(live() == before);
  }
  // Most requests are inside the run: refusing them abandons it.
  EXPECT_GT(aborted, 0u);
}

TEST_F(OomInjection, EveryRefusedStandardLibraryAllocationEndsCleanly) {
  ASSERT_EQ(run(), Outcome::Success) << execfx::output();
  resetAfterRun();
  refusingnew::state = refusingnew::State{};
  refusingnew::state.armed = true;
  ASSERT_EQ(run(), Outcome::Success) << execfx::output();
  refusingnew::state.armed = false;
  resetAfterRun();
  const size_t count = refusingnew::state.count;
  ASSERT_GT(count, 0u);
  const Live before = live();

  size_t aborted = 0;
  for (const size_t n : pointsUpTo(count)) {
    SCOPED_TRACE(describe("operator new", n));
    plTestClearMessageBoxes();
    refusingnew::state = refusingnew::State{};
    refusingnew::state.armed = true;
    refusingnew::state.refuseAt = n;
    const Outcome outcome = run();
    refusingnew::state.armed = false;
    resetAfterRun();

    // A refusal the code takes as a failed step (the image reader's, say)
    // may end as a reported error; anything else is the out-of-memory path.
    if (outcome == Outcome::Aborted) {
      ++aborted;
      ASSERT_EQ(plTestMessageBoxes().size(), 1u);
      EXPECT_EQ(plTestMessageBoxes()[0].text, "Out of memory.");
    }
    plTestClearQuit();
    ASSERT_NO_FATAL_FAILURE(expectNothingLeft(before));
    ASSERT_EQ(run(), Outcome::Success) << execfx::output();
    resetAfterRun();
  }
  EXPECT_GT(aborted, 0u);
}

}  // namespace
