#include "fe/file.h"

#include "core/alloc.h"
#include "exec_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace {

using namespace execfx;
namespace fs = std::filesystem;

// The file operators in a dictionary of their own, made once: the tests put
// it on the dictionary stack, so that systemdict keeps only what the
// interpreter's start registers (other suites check its order).
const feObject* fileOps() {
  static feObject dict = [] {
    feObject d;
    feMakeDict(&d, 20);
    feFileInstallOps(&d);
    return d;
  }();
  return &dict;
}

// A fresh interpreter with the file operators, a dictionary for the test's
// definitions, and a directory of its own for the files a test writes.
class FileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    start();
    ASSERT_EQ(feDictBegin(fileOps()), feOk);
    // The test's own definitions go into a dictionary of their own, which
    // the reset of the dictionary stack frees, closing the files they hold.
    feObject locals;
    ASSERT_EQ(feMakeDict(&locals, 40), feOk);
    ASSERT_EQ(feDictBegin(&locals), feOk);
    feFree(&locals);
    std::random_device random;
    dir_ = fs::temp_directory_path() / ("plumet-file-test-" + std::to_string(random()) + std::to_string(random()));
    fs::create_directories(dir_);
    openBefore_ = feFileOpenCount();
  }
  void TearDown() override {
    stop();
    feDictStackInit(feSystemDict(), feUserDict());
    // The record of the last error keeps copies of the stacks (and so of
    // the test's files) until the next error: dropped here, so that every
    // test starts with only the streams of earlier tests that are still
    // meant to be open.
    feObject null;
    feMakeNull(&null);
    for (const char* part : {"command", "ostack", "dstack", "estack"})
      feDictDefName(feErrorRecordDict(), part, &null);
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  std::string path(const std::string& name) const { return (dir_ / name).string(); }

  std::string put(const std::string& name, const std::string& bytes) const {
    std::ofstream(path(name), std::ios::binary) << bytes;
    return path(name);
  }

  std::string contents(const std::string& name) const {
    std::ifstream in(path(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  // Runs text with every "@name" replaced by the string literal of the
  // test's file of that name ("@" followed by letters, digits, "." and "/").
  int run(const std::string& text) const {
    std::string expanded;
    for (size_t i = 0; i < text.size(); ++i) {
      if (text[i] != '@') {
        expanded += text[i];
        continue;
      }
      size_t end = i + 1;
      while (end < text.size() && (std::isalnum(static_cast<unsigned char>(text[end])) || text[end] == '.' || text[end] == '/'))
        ++end;
      expanded += "(" + path(text.substr(i + 1, end - i - 1)) + ")";
      i = end - 1;
    }
    return feExecString(expanded.c_str());
  }

  // The operands as == prints them, then cleared.
  std::string take() const {
    const std::string text = operands();
    feStackClear(*feOperandStack());
    return text;
  }

  // A file value opened natively (count 1).
  feObject open(const std::string& name, const char* mode) const {
    feObject file{};
    EXPECT_EQ(feFileMake(&file, path(name).c_str(), path(name).size(), mode, std::strlen(mode)), feOk) << name;
    return file;
  }

  // Runs text under stopped: the operands it leaves, then the name of the
  // error it raised (or /none).
  std::string fails(const std::string& text) const {
    run("{ " + text + " } stopped { $error /errorname get } { /none } ifelse");
    return take();
  }

  fs::path dir_;
  int32_t openBefore_ = 0;
};

using FileOpen = FileTest;
using FileRead = FileTest;
using FileWrite = FileTest;
using FileChars = FileTest;
using FileValues = FileTest;
using FileRun = FileTest;
using FileToken = FileTest;

TEST_F(FileOpen, ModesAndFailedOpens) {
  put("there", "x");
  fs::create_directories(dir_ / "sub");
  const struct {
    const char* text;
    int expected;
  } cases[] = {
      {"@there (rw) file", feErrInvalidFileAccess},
      {"@there () file", feErrInvalidFileAccess},
      {"@there (a) file", feErrInvalidFileAccess},
      {"@there (R) file", feErrInvalidFileAccess},
      {"@missing (r) file", feErrInvalidFileName},
      {"@nodir/x (w) file", feErrInvalidFileName},
      {"@sub (w) file", feErrInvalidFileAccess},   // a directory cannot be written
      {"1 (r) file", feErrTypeCheck},
  };
  for (const auto& c : cases) {
    feStackClear(*feOperandStack());
    EXPECT_EQ(run(c.text), c.expected) << c.text;
  }
  EXPECT_EQ(feFileOpenCount(), openBefore_);

  // Both separators work; the file opened with "\" is the one named with "/".
  put("sub/inner", "ok");
  std::string backslashed = path("sub/inner");
  for (char& ch : backslashed)
    if (ch == '/') ch = '\\';
  feObject file{};
  ASSERT_EQ(feFileMake(&file, backslashed.c_str(), backslashed.size(), "r", 1), feOk);
  int ch = 0;
  EXPECT_EQ(feFileReadChar(&file, &ch), feOk);
  EXPECT_EQ(ch, 'o');
  feFree(&file);
  EXPECT_EQ(feFileOpenCount(), openBefore_);
}

TEST_F(FileOpen, AFailedOpenLeavesItsOperands) {
  EXPECT_EQ(fails("@missing (r) file"), "(" + path("missing") + ") (r) /invalidfilename");
  EXPECT_EQ(fails("@missing run"), "(" + path("missing") + ") /invalidfilename");
}

TEST_F(FileRead, ReadLineEndsAtCarriageReturnOrLineFeed) {
  put("lines", "a\r\nb\r\nlast");
  ASSERT_EQ(run("/f @lines (r) file def "
                "7 { f 10 string readline } repeat f status"),
            feOk);
  // A CR LF pair is two line ends; the last line has none and answers false.
  EXPECT_EQ(take(), "(a) true () true (b) true () true (last) false () false () false false");
}

TEST_F(FileRead, ReadLineRangeChecks) {
  put("long", "abcdef\n");
  ASSERT_EQ(run("/f @long (r) file def"), feOk);
  // A string of length 0 reads nothing; a line longer than the string fails.
  EXPECT_EQ(fails("f 0 string readline"), "-filestream- () /rangecheck");
  EXPECT_EQ(fails("f 3 string readline"), "-filestream- (abc) /rangecheck");
  EXPECT_EQ(run("f status"), feOk);
  EXPECT_EQ(take(), "true");
}

TEST_F(FileRead, ReadHexStringTakesDigitsOfEitherCase) {
  put("hex", "4a 4B");
  put("odd", "4a\n4");
  put("lower", "0f\nFf");
  ASSERT_EQ(run("@hex (r) file 2 string readhexstring "
                "@odd (r) file dup 2 string readhexstring 3 -1 roll status "
                "@lower (r) file 2 string readhexstring"),
            feOk);
  // An odd digit at the end is dropped; a string that could not be filled
  // answers false and the file is closed.
  EXPECT_EQ(take(), "(JK) true (J) false false (\\17\\377) true");
}

TEST_F(FileRead, ReadStringAnswersWhatWasRead) {
  put("short", "abc");
  ASSERT_EQ(run("/f @short (r) file def "
                "f 2 string readstring f 5 string readstring f 5 string readstring f status"),
            feOk);
  EXPECT_EQ(take(), "(ab) true (c) true () false false");

  // A string of length 0 would read nothing and close the file: a rangecheck.
  ASSERT_EQ(run("/f @short (r) file def"), feOk);
  EXPECT_EQ(fails("f () readstring"), "-filestream- () /rangecheck");
  EXPECT_EQ(run("f status"), feOk);
  EXPECT_EQ(take(), "true");
}

TEST_F(FileRead, ReadGivesCodesThenFalse) {
  put("two", "A\xff");
  ASSERT_EQ(run("/f @two (r) file def f read f read f read f status f read"), feOk);
  EXPECT_EQ(take(), "65 true 255 true false false false");
}

TEST_F(FileRead, BytesAvailableIsTheWholeLength) {
  put("ten", "0123456789");
  ASSERT_EQ(run("/f @ten (r) file def f bytesavailable f read pop pop f 4 string readstring pop pop "
                "f bytesavailable f read pop"),
            feOk);
  // Seeking for the length leaves the read position alone.
  EXPECT_EQ(take(), "10 10 53");
  ASSERT_EQ(run("f closefile"), feOk);
  EXPECT_EQ(fails("f bytesavailable"), "-filestream- /eof");
}

TEST_F(FileRead, FlushFileReadsToTheEndAndCloses) {
  put("rest", "abc");
  ASSERT_EQ(run("/f @rest (r) file def f read pop pop f flushfile f status f read f flushfile"), feOk);
  EXPECT_EQ(take(), "false false");
}

TEST_F(FileWrite, WriteStringTurnsEachLineEndIntoOneLineFeed) {
  ASSERT_EQ(run("/f @out (w) file def f (a\\r\\nb\\rc\\n) writestring"), feOk);
  // writestring flushes: the text is there before the file is closed.
  EXPECT_EQ(contents("out"), "a\n\nb\nc\n");
  ASSERT_EQ(run("f 321 write f <00ff7f> writehexstring f closefile"), feOk);
  EXPECT_EQ(contents("out"), "a\n\nb\nc\nA00ff7f");
  EXPECT_EQ(feFileOpenCount(), openBefore_);
}

TEST_F(FileWrite, TheLongestStringIsWrittenWhole) {
  feObject file = open("big", "w");
  feObject big;
  ASSERT_EQ(feMakeString(&big, nullptr, feStringMaxLength), feOk);
  uint8_t* bytes = nullptr;
  uint16_t n = 0;
  feStringData(&big, &bytes, &n);
  std::memset(bytes, 'x', n);
  bytes[n - 1] = '\r';
  feArg in[2];
  in[0].value = &file;
  in[1].value = &big;
  feArgs args{in, 2, nullptr, 0, 0};
  EXPECT_EQ(feOpWriteString(&args), feOk);
  feFree(&big);
  feFree(&file);
  const std::string written = contents("big");
  ASSERT_EQ(written.size(), size_t(feStringMaxLength));
  EXPECT_EQ(written.back(), '\n');
}

TEST_F(FileWrite, FlushFileFlushesAWriteFile) {
  ASSERT_EQ(run("/f @flushed (w) file def f 66 write f flushfile"), feOk);
  EXPECT_EQ(contents("flushed"), "B");
  ASSERT_EQ(run("f closefile f closefile f flushfile"), feOk);   // closing twice is harmless
}

TEST_F(FileWrite, ModeAndTypeErrorsLeaveTheOperands) {
  put("in", "x");
  ASSERT_EQ(run("/r @in (r) file def /w @out (w) file def /c @out2 (w) file def c closefile"), feOk);
  const struct {
    const char* text;
    const char* left;
  } cases[] = {
      {"r 65 write", "-filestream- 65 /invalidfileaccess"},
      {"r (x) writestring", "-filestream- (x) /invalidfileaccess"},
      {"w read", "-filestream- /invalidfileaccess"},
      {"c 65 write", "-filestream- 65 /ioerror"},
      {"c <00> writehexstring", "-filestream- (\\0) /ioerror"},
      {"w 5 writestring", "-filestream- 5 /typecheck"},
      {"(x) 65 write", "(x) 65 /typecheck"},
      {"1 closefile", "1 /typecheck"},
      {"null resetfile", "-null- /typecheck"},
      {"w 1 readline", "-filestream- 1 /typecheck"},
      {"5 status", "5 /typecheck"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(fails(c.text), c.left) << c.text;
  }
  // Misuse leaves the files as they were.
  ASSERT_EQ(run("r status w status r resetfile r read"), feOk);
  EXPECT_EQ(take(), "true true 120 true");
}

TEST_F(FileChars, FourCharactersMayBeGivenBack) {
  put("abc", "abc");
  feObject file = open("abc", "r");
  int ch = 0;
  ASSERT_EQ(feFileReadChar(&file, &ch), feOk);
  for (int c : {'1', '2', '3', '4'}) EXPECT_EQ(feFileUnreadChar(&file, c), feOk);
  EXPECT_EQ(feFileUnreadChar(&file, '5'), feErrIo);
  std::string read;
  while (feFileReadChar(&file, &ch) == feOk) read += char(ch);
  EXPECT_EQ(read, "4321bc");
  EXPECT_FALSE(feFileIsOpen(&file));

  // After reaching the end a character may still be given back (the scanner
  // looks one past the last); after closefile it may not.
  EXPECT_EQ(feFileUnreadChar(&file, 'z'), feOk);
  EXPECT_EQ(feFileReadChar(&file, &ch), feOk);
  EXPECT_EQ(ch, 'z');
  EXPECT_EQ(feFileReadChar(&file, &ch), feErrEof);
  feFileClose(&file);
  EXPECT_EQ(feFileUnreadChar(&file, 'z'), feErrEof);
  feFree(&file);
}

TEST_F(FileChars, GenericCharacterReadingServesFiles) {
  put("g", "q");
  feObject file = open("g", "r");
  int ch = 0;
  EXPECT_EQ(feReadChar(&file, &ch), feOk);
  EXPECT_EQ(ch, 'q');
  EXPECT_EQ(feUnreadChar(&file, 'p'), feOk);
  EXPECT_EQ(feReadChar(&file, &ch), feOk);
  EXPECT_EQ(ch, 'p');
  EXPECT_EQ(feReadChar(&file, &ch), feErrEof);
  feFree(&file);
}

TEST_F(FileValues, CopiesShareTheBodyAndTheLastReleaseCloses) {
  put("v", "v");
  feObject a = open("v", "r");
  feObject b = open("v", "r");
  feObject copy;
  feCopyValue(&copy, &a);
  EXPECT_EQ(feEq(&a, &copy), feOk);
  EXPECT_EQ(feEq(&a, &b), feNotEqual);   // the same name opened twice: two files
  const feObject one = integer(1);
  EXPECT_EQ(feEq(&a, &one), feNotEqual);
  EXPECT_EQ(feHash(&a), feHash(&copy));
  EXPECT_NE(feHash(&a), feHash(&b));
  EXPECT_EQ(feHash(&a), a.w0.file->serial);

  const int32_t open = feFileOpenCount();
  feFree(&copy);
  EXPECT_TRUE(feFileIsOpen(&a));
  EXPECT_EQ(feFileOpenCount(), open);
  feFree(&a);
  EXPECT_EQ(feFileOpenCount(), open - 1);
  feFree(&b);
  EXPECT_EQ(feFileOpenCount(), openBefore_);
}

TEST_F(FileValues, PrintedFormsTypeAndCvs) {
  put("p", "");
  ASSERT_EQ(run("/f @p (r) file def f == f = f print f type f 20 string cvs"), feOk);
  // (The output may begin with a wrap left over from earlier output.)
  EXPECT_NE(output().find("-filestream-\r--nostringvalue--\r--nostringvalue--"), std::string::npos) << output();
  EXPECT_EQ(take(), "filetype (--nostringval--)");
}

TEST_F(FileValues, CurrentFileIsTheTopmostFileOperand) {
  put("c1", "1");
  put("c2", "2");
  ASSERT_EQ(run("/a @c1 (r) file def /b @c2 (r) file def a b 7 currentfile b eq"), feOk);
  EXPECT_EQ(take(), "-filestream- -filestream- 7 true");
  // Without one: a new read-mode file with no stream.
  ASSERT_EQ(run("5 currentfile dup status exch read"), feOk);
  EXPECT_EQ(take(), "5 false false");
}

TEST_F(FileRun, RunDefinesNamesAndClosesAtTheEnd) {
  put("defs.fe", "/fileA 41 def\n/fileB { fileA 1 add } def\r\n% a comment\nfileB");
  ASSERT_EQ(run("@defs.fe run fileA"), feOk);
  EXPECT_EQ(take(), "42 41");
  EXPECT_EQ(feFileOpenCount(), openBefore_);
  // The same file runs the same way again.
  ASSERT_EQ(run("@defs.fe run"), feOk);
  EXPECT_EQ(take(), "42");
}

TEST_F(FileRun, AnErrorInsideARunFileIsReportedWithTheFileClosed) {
  put("bad.fe", "1 2 fileNoSuchName 3\n");
  output().clear();
  EXPECT_EQ(feRunString(("(" + path("bad.fe") + ") run").c_str()), feErrUndefined);
  EXPECT_NE(output().find("%%[ Error: undefined; OffendingCommand: fileNoSuchName ]%%"), std::string::npos)
      << output();
  EXPECT_EQ(take(), "1 2");
  EXPECT_EQ(feFileOpenCount(), openBefore_);

  // A stop inside the file unwinds past it and closes it too, as does an
  // exit from a loop around the run.
  put("stops.fe", "1 stop 2");
  put("exits.fe", "1 exit 2");
  ASSERT_EQ(run("{ @stops.fe run } stopped { @exits.fe run } loop"), feOk);
  EXPECT_EQ(take(), "1 true 1");
  EXPECT_EQ(feFileOpenCount(), openBefore_);
}

TEST_F(FileRun, DiscardingARunFileClosesItWhileOthersStillHoldIt) {
  put("held", "1 2 3");
  feObject held = open("held", "r");
  feObject entry;
  feCopyValue(&entry, &held);
  entry.flags |= feFlagExec | feFlagTokenSource;
  ASSERT_EQ(fePush(feExecStack(), &entry), feOk);
  feExecDiscard(1);
  EXPECT_FALSE(feFileIsOpen(&held));
  EXPECT_EQ(held.w0.file->refs, 1u);
  feFree(&held);

  // Without the run mark a discarded file is only released.
  feObject other = open("held", "r");
  feCopyValue(&entry, &other);
  entry.flags |= feFlagExec;
  ASSERT_EQ(fePush(feExecStack(), &entry), feOk);
  feExecDiscard(1);
  EXPECT_TRUE(feFileIsOpen(&other));
  feFree(&other);
}

TEST_F(FileRun, AnExecutableFileRunsWithExec) {
  put("ex.fe", "2 3 add");
  ASSERT_EQ(run("@ex.fe (r) file cvx exec"), feOk);
  EXPECT_EQ(take(), "5");
}

TEST_F(FileRun, MemberSyntaxAtTheVeryEndOfAFile) {
  // The scanner gives LOAD back after the file has reached its end.
  put("member.fe", "/fileD << /k 5 >> def fileD:k");
  ASSERT_EQ(run("@member.fe run"), feOk);
  EXPECT_EQ(take(), "5");
}

TEST_F(FileRun, AFileLongerThanAStringRunsWhole) {
  std::string text = "/fileN 0 def\n";
  while (text.size() <= feStringMaxLength) text += "/fileN fileN 1 add def % one more line\n";
  const size_t lines = std::count(text.begin(), text.end(), '\n') - 1;
  text += "fileN";
  put("long.fe", text);
  const std::string name = path("long.fe");
  EXPECT_EQ(feRunFile(name.c_str(), name.size()), feOk);
  EXPECT_EQ(take(), std::to_string(lines));
}

TEST_F(FileRun, FeRunFileReportsAFileThatCannotBeOpened) {
  output().clear();
  const std::string missing = path("missing.fe");
  EXPECT_EQ(feRunFile(missing.c_str(), missing.size()), feErrInvalidFileName);
  EXPECT_NE(output().find("%%[ Error: invalidfilename; OffendingCommand: run ]%%"), std::string::npos) << output();
  EXPECT_EQ(take(), "(" + missing + ")");   // as run leaves its operand
  put("fine.fe", "6 7");
  const std::string fine = path("fine.fe");
  EXPECT_EQ(feRunFile(fine.c_str(), fine.size()), feOk);
  EXPECT_EQ(take(), "6 7");
}

std::string le32(uint32_t v) {
  std::string s;
  for (int k = 0; k < 4; ++k) s += char((v >> (8 * k)) & 0xFF);
  return s;
}

std::string le64real(double d) {
  uint64_t bits = 0;
  std::memcpy(&bits, &d, sizeof bits);
  std::string s;
  for (int k = 0; k < 8; ++k) s += char((bits >> (8 * k)) & 0xFF);
  return s;
}

TEST_F(FileToken, BinaryTokensFromAFile) {
  put("bin.fe", "\x84" + le32(0x12345678) + " \xa0" + le64real(-2.5) + " \x8e\x02hi \x86\xfe\xff");
  ASSERT_EQ(run("@bin.fe run"), feOk);
  EXPECT_EQ(take(), "305419896 -2.5 (hi) -2");

  // A short read is an ioerror; the file is closed.
  put("short.fe", std::string("\x84\x01\x02", 3));
  put("shortreal.fe", std::string("\xa0\x01\x02\x03\x04\x05\x06\x07", 8));
  for (const char* name : {"short.fe", "shortreal.fe"}) {
    EXPECT_EQ(fails("@" + std::string(name) + " run"), "/ioerror") << name;
  }
  EXPECT_EQ(feFileOpenCount(), openBefore_);
}

TEST_F(FileToken, TokenReadsOneTokenAtATime) {
  put("toks", "12 (s) /n {1 x} ex");
  ASSERT_EQ(run("/f @toks (r) file def 6 { f token } repeat f status"), feOk);
  EXPECT_EQ(take(), "12 true (s) true /n true {1 x } true ex true false false");
  // Strings still go to the scanner's token.
  ASSERT_EQ(run("(7 rest) token"), feOk);
  EXPECT_EQ(take(), "(rest) 7 true");
  // A syntax error in a file is raised, with the file put back.
  put("bad", "} x");
  ASSERT_EQ(run("/f @bad (r) file def"), feOk);
  EXPECT_EQ(fails("f token"), "-filestream- /syntaxerror");
}

TEST(FileStrDup, CopiesAndTerminates) {
  char* copy = nullptr;
  ASSERT_EQ(feStrDup(&copy, "abcdef", 3), feOk);
  EXPECT_STREQ(copy, "abc");
  uFree(&copy);
  ASSERT_EQ(feStrDup(&copy, nullptr, 0), feOk);
  EXPECT_STREQ(copy, "");
  uFree(&copy);
  EXPECT_EQ(feStrDup(&copy, "x", -1), feErrRangeCheck);
  EXPECT_EQ(feStrDup(nullptr, "x", 1), feErrRangeCheck);
}

TEST_F(FileOpen, RegistrationsAreKnownByName) {
  for (const char* name : {"closefile", "currentfile", "resetfile", "flushfile", "bytesavailable", "status", "write",
                           "writestring", "writehexstring", "readstring", "readhexstring", "readline", "file", "read",
                           "run", "token"}) {
    const feOpSpec* spec = feFileOpSpec(name);
    ASSERT_NE(spec, nullptr) << name;
    EXPECT_STREQ(spec->name, name);
  }
  EXPECT_EQ(feFileOpSpec("print"), nullptr);
  EXPECT_STREQ(feFileOpSpec("readline")->signature, "OO#OB");
  EXPECT_STREQ(feFileOpSpec("file")->signature, "SS#O");
}

}  // namespace
