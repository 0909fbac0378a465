// What the runs started from native code answer when the text raises
// errors: an error that a stopped of the text catches is no failure of the
// run; one that nothing caught is answered (and reported by the runs that go
// through errorcheck), whichever runner started it.
#include "exec_fixture.h"
#include "fe/file.h"
#include "fe/script.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>

namespace {

using namespace execfx;
namespace fs = std::filesystem;

// The file operators (run among them) in a dictionary of their own, so that
// systemdict keeps only what the interpreter's start registers.
const feObject* fileOps() {
  static feObject dict = [] {
    feObject d;
    feMakeDict(&d, 20);
    feFileInstallOps(&d);
    return d;
  }();
  return &dict;
}

class RunResult : public ::testing::Test {
 public:
  // A file of the test's folder holding text; its path.
  std::string file(const std::string& text) {
    const fs::path at = dir_ / ("script" + std::to_string(++files_) + ".fe");
    std::ofstream(at, std::ios::binary) << text;
    return at.string();
  }

 protected:
  void SetUp() override {
    start();
    ASSERT_EQ(feDictBegin(fileOps()), feOk);
    std::random_device random;
    dir_ = fs::temp_directory_path() / ("plumet-run-result-" + std::to_string(random()) + std::to_string(random()));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    stop();
    feDictStackInit(feSystemDict(), feUserDict());
    // The record of the last error holds copies of the stacks, and so of a
    // file being run: dropped, so that no stream stays open past the test.
    feObject null;
    feMakeNull(&null);
    for (const char* part : {"command", "ostack", "dstack", "estack"})
      feDictDefName(feErrorRecordDict(), part, &null);
    feDictDefName(feErrorRecordDict(), "newerror", feFalse());
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  fs::path dir_;
  int files_ = 0;
};

struct Runner {
  const char* name;
  bool reports;   // errors go through errorcheck and handleerror
  std::function<int(RunResult*, const std::string&)> run;
};

const Runner kRunners[] = {
    {"feExecString", false, [](RunResult*, const std::string& text) { return feExecString(text.c_str()); }},
    {"feRunString", true, [](RunResult*, const std::string& text) { return feRunString(text.c_str()); }},
    {"feExecf", true, [](RunResult*, const std::string& text) { return feExecf("%s", text); }},
    {"feExecObject", false,
     [](RunResult*, const std::string& text) {
       feObject source = execString(text.c_str());
       const int rc = feExecObject(&source);
       feFree(&source);
       return rc;
     }},
    {"feRunFile", true,
     [](RunResult* test, const std::string& text) {
       const std::string path = test->file(text);
       return feRunFile(path.c_str(), path.size());
     }},
    // run inside a text: the answer of the run that ran the file.
    {"run", false,
     [](RunResult* test, const std::string& text) {
       const std::string path = test->file(text);
       return feExecString(("(" + path + ") run").c_str());
     }},
};

TEST_F(RunResult, OnlyAnErrorNoStoppedCaughtFailsTheRun) {
  const struct {
    const char* text;
    int result;
    const char* operands;
  } cases[] = {
      {"{ 1 (a) add } stopped pop clear 5", feOk, "5"},
      {"1 (a) add", feErrTypeCheck, nullptr},
      // Nested: the inner stopped catches the first error, the outer one the
      // second, and an error in the branch that handles a caught one is
      // caught by the stopped around it.
      {"{ { 1 (a) add } stopped pop xtNoSuchName } stopped pop clear 5", feOk, "5"},
      {"{ { 1 (a) add } stopped { xtNoSuchName } if } stopped pop clear 5", feOk, "5"},
      // A caught error does not excuse a later one that nothing catches.
      {"{ 1 (a) add } stopped pop xtNoSuchName 5", feErrUndefined, nullptr},
      // Nor does an uncaught error go away because a later stop is caught.
      {"{ stop } stopped pop 1 (a) add", feErrTypeCheck, nullptr},
      // A stop that is no error, and exit from stopped, fail nothing.
      {"{ 5 exit } stopped pop", feOk, "5"},
      // A stopped in a text run by suspend catches on the suspended run's
      // behalf; a nested run's error is its own answer, not its caller's.
      {"({ 1 (a) add } stopped pop clear 5) suspend", feOk, "5"},
      {"(1 (a) add) xtNest 5", feOk, nullptr},
  };
  for (const Runner& runner : kRunners) {
    for (const auto& c : cases) {
      feStackClear(*feOperandStack());
      output().clear();
      const int rc = runner.run(this, c.text);
      EXPECT_EQ(rc, c.result) << runner.name << ": " << c.text;
      if (c.operands) {
        EXPECT_EQ(operands(), c.operands) << runner.name << ": " << c.text;
      }
      // Only an uncaught error is reported, and only by the runs that go
      // through errorcheck.
      const bool reported = output().find("Error: ") != std::string::npos;
      EXPECT_EQ(reported, runner.reports && c.result != feOk) << runner.name << ": " << c.text << "\n" << output();
    }
  }
}

TEST_F(RunResult, AnUncaughtErrorIsReportedAsBefore) {
  EXPECT_EQ(feRunString("{ 1 (a) add } stopped pop xtNoSuchName"), feErrUndefined);
  EXPECT_EQ(output(), "%%[ Error: undefined; OffendingCommand: xtNoSuchName ]%%\r");
}

TEST_F(RunResult, AFileThatCannotBeOpenedFailsWithRunsError) {
  const std::string missing = (dir_ / "missing.fe").string();
  const int rc = feRunFile(missing.c_str(), missing.size());
  EXPECT_TRUE(rc == feErrInvalidFileName || rc == feErrInvalidFileAccess) << rc;
}

}  // namespace
