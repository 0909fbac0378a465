#include "fe/include.h"

#include "exec_fixture.h"
#include "fe/macro.h"
#include "fe/scanner.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <random>

namespace {

namespace fs = std::filesystem;

// The value of a macro, or "<none>".
std::string macro(const std::string& name) {
  const char* text = nullptr;
  size_t length = 0;
  if (!feMacroFind(name.data(), name.size(), &text, &length)) return "<none>";
  return std::string(text, length);
}

// Macro names are never removed, so every test makes names of its own; the
// random part keeps the folders of tests running at the same time apart.
std::string unique(const char* stem) {
  static const unsigned run = std::random_device{}();
  static std::atomic<int> counter{0};
  return std::string(stem) + "_" + std::to_string(run) + "_" + std::to_string(++counter);
}

// The debug log, captured while a test runs.
std::string& logText() {
  static std::string text;
  return text;
}
void captureLog(void*, const char* text, size_t length) { logText().append(text, length); }

class IncludeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    execfx::start();
    dir_ = fs::temp_directory_path() / unique("fe-include");
    fs::create_directories(dir_);
    logText().clear();
    dbgSetLogHook(captureLog, nullptr);
    if (!execfx::defined("aInclude")) {
      const feOpSpec* spec = feIncludeOpSpec("aInclude");
      ASSERT_NE(spec, nullptr);
      feRegisterOp(spec->name, spec->handler, spec->signature, 0, 0);
    }
  }
  void TearDown() override {
    dbgSetLogHook(nullptr, nullptr);
    execfx::stop();
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  // Writes a header file (bytes as given) and answers its path.
  std::string header(const std::string& name, const std::string& bytes) {
    const fs::path path = dir_ / name;
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
  }

  int include(const std::string& path) { return feIncludeFile(path.data(), path.size()); }

  fs::path dir_;
};

TEST_F(IncludeTest, RecordsDefineLinesAndIgnoresEverythingElse) {
  const std::string w = unique("W"), t = unique("T"), c = unique("C"), e = unique("E"), ind = unique("IND"),
                    other = unique("OTHER"), cr = unique("CR");
  const std::string text = "// a header\n"
                           "#ifndef GUARD\n"
                           "#define " + w + " 40\n"
                           "#define\t" + t + "\t\t  some text  \n"
                           "#define " + c + " 12 /* width */\n"
                           "#define " + e + "\n"
                           "  #define " + ind + " 1\n"
                           "#undef " + other + "\n"
                           "#include <" + other + ".h>\n"
                           "#define " + cr + " 7\r\n"
                           "#endif";
  ASSERT_EQ(include(header("a.h", text)), feOk);
  struct Case {
    std::string name;
    const char* value;
  };
  const Case cases[] = {
      {w, "40"},
      {t, "some text  "},          // trailing blanks kept
      {c, "12 /* width */"},       // the whole rest of the line
      {e, ""},
      {ind, "<none>"},             // leading blanks: not a definition
      {other, "<none>"},
      {cr, "7"},                   // a CR LF line end is no part of the value
  };
  for (const Case& k : cases) EXPECT_EQ(macro(k.name), k.value) << k.name;
  EXPECT_EQ(logText(), "");
}

TEST_F(IncludeTest, LineEndsOfEveryKindReadAlike) {
  const std::string a = unique("A"), b = unique("B"), c = unique("C");
  for (const char* end : {"\n", "\r\n", "\r"}) {
    const std::string text = "#define " + a + " 1" + end + "#define " + b + " 2" + end + "#define " + c + " 3";
    ASSERT_EQ(include(header("ends.h", text)), feOk) << int(end[0]);
    EXPECT_EQ(macro(a) + macro(b) + macro(c), "123") << int(end[0]);
  }
}

TEST_F(IncludeTest, LaterDefinitionWins) {
  const std::string n = unique("N");
  ASSERT_EQ(include(header("one.h", "#define " + n + " 1\n")), feOk);
  ASSERT_EQ(include(header("two.h", "#define " + n + " 2\n#define " + n + " 3\n")), feOk);
  EXPECT_EQ(macro(n), "3");
  // A name that another one begins with is a different name.
  EXPECT_EQ(macro(n.substr(0, n.size() - 1)), "<none>");
}

TEST_F(IncludeTest, OverlongNamesAndValuesAreSkippedWithALogLine) {
  const std::string keep = unique("KEEP"), after = unique("AFTER");
  const std::string longName = unique("L") + std::string(256, 'n');
  const std::string edgeName = unique("E");
  const std::string edgeValue(255, 'v');
  const std::string path = header("long.h", "#define " + longName + " 1\n"
                                            "#define " + keep + " " + std::string(256, 'x') + "\n"
                                            "#define " + edgeName + " " + edgeValue + "\n"
                                            "#define " + after + " 5\n");
  ASSERT_EQ(include(path), feOk);
  EXPECT_EQ(macro(longName), "<none>");
  EXPECT_EQ(macro(keep), "<none>");
  EXPECT_EQ(macro(edgeName), edgeValue);
  EXPECT_EQ(macro(after), "5");
  EXPECT_EQ(logText(), "file " + path + ", line 1: error 270\n"
                       "file " + path + ", line 2: error 270\n");
}

// A line longer than a read piece stays one line: its rest is not read as a
// line of its own, and the lines after it keep their numbers.
TEST_F(IncludeTest, LongLinesStayWhole) {
  const std::string hidden = unique("HIDDEN"), next = unique("NEXT");
  const std::string longLine = "// " + std::string(509, '-') + "#define " + hidden + " 1";
  const std::string path = header("wide.h", longLine + "\n#define " + next + " " + std::string(300, 'y') + "\n");
  ASSERT_EQ(include(path), feOk);
  EXPECT_EQ(macro(hidden), "<none>");
  EXPECT_EQ(logText(), "file " + path + ", line 2: error 270\n");
}

TEST_F(IncludeTest, MissingOrUnreadableFileRecordsNothing) {
  EXPECT_EQ(include((dir_ / "no-such.h").string()), feErrInvalidFileName);
  EXPECT_EQ(include(dir_.string()), feErrInvalidFileName);   // a directory
  EXPECT_EQ(feIncludeFile("", 0), feErrInvalidFileName);
  EXPECT_EQ(logText(), "");
}

TEST_F(IncludeTest, BackslashSeparatesDirectories) {
  const std::string n = unique("SUB");
  header("sub/dir/x.h", "#define " + n + " 9\n");
  std::string name = (dir_ / "sub").string() + "\\dir\\x.h";
  ASSERT_EQ(include(name), feOk);
  EXPECT_EQ(macro(n), "9");
}

TEST_F(IncludeTest, MacroTableLimits) {
  const std::string n = unique("M");
  const std::string max(feMacroMaxLength, 'z');
  EXPECT_EQ(feMacroDefine(n.data(), n.size(), max.data(), max.size()), feOk);
  EXPECT_EQ(macro(n), max);
  EXPECT_EQ(feMacroDefine(n.data(), n.size(), (max + "z").data(), max.size() + 1), feErrLimitCheck);
  EXPECT_EQ(macro(n), max);
  EXPECT_EQ(feMacroDefine("", 0, "1", 1), feErrSyntax);
  EXPECT_EQ(macro(""), "<none>");
}

// Through the operator and the scanner: a "#" word read after the include
// is replaced by the macro's text and read as a number or a name.
TEST_F(IncludeTest, ScriptWordsTakeMacroValues) {
  const std::string w = unique("WIDTH"), n = unique("NAME"), r = unique("R"), c = unique("CMT");
  const std::string path = header("script.h", "#define " + w + " 40\n#define " + n + " aCat\n#define " + r +
                                                  " 2.5\n#define " + c + " 3 // three\n");
  struct Case {
    std::string text;
    int result;
    const char* stack;
  };
  const Case cases[] = {
      {"(" + path + ") aInclude #" + w + " dup type", feOk, "40 integertype"},
      {"#" + r + " #" + w + " add", feOk, "42.5"},
      {"{#" + n + "} 0 get dup xcheck exch type", feOk, "true nametype"},
      {"/#" + w + " type", feOk, "integertype"},
      // A trailing comment keeps the value from being a number.
      {"{#" + c + "} 0 get type", feOk, "nametype"},
      // A word whose macro is not defined stays a name.
      {"{#" + unique("UNDEF") + "} 0 get type", feOk, "nametype"},
      {"#" + unique("UNDEF"), feErrUndefined, nullptr},
  };
  for (const Case& k : cases) {
    feStackClear(*feOperandStack());
    EXPECT_EQ(feExecString(k.text.c_str()), k.result) << k.text;
    if (k.stack) {
      EXPECT_EQ(execfx::operands(), k.stack) << k.text;
    }
  }
}

TEST_F(IncludeTest, OperatorReportsMissingFileAndKeepsItsOperand) {
  const std::string missing = (dir_ / "missing.h").string();
  EXPECT_EQ(feExecString(("(" + missing + ") aInclude").c_str()), feErrInvalidFileName);
  EXPECT_EQ(execfx::operands(), "(" + missing + ")");
  feStackClear(*feOperandStack());
  EXPECT_EQ(feExecString("42 aInclude"), feErrTypeCheck);
}

}  // namespace
