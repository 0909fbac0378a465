#include "core/xlate_fixture.h"
#include "fe/exec_fixture.h"
#include "fe/newbio.h"
#include "fe/quit.h"
#include "fe/xlate_ops.h"

namespace {

using xlatefx::logText;
namespace fs = std::filesystem;

// A fresh interpreter with the translation operators over the table
// fixture.
class XlateOpsTest : public xlatefx::XlateTest {
protected:
  void SetUp() override {
    execfx::start();
    if (!execfx::defined("aTranslateLoad")) transInit();
    xlatefx::XlateTest::SetUp();
  }
  void TearDown() override {
    xlatefx::XlateTest::TearDown();
    execfx::stop();
  }
  static int run(const std::string& text) {
    feStackClear(*feOperandStack());
    return feExecString(text.c_str());
  }
};

using XlateFile = XlateOpsTest;
using XlateTemplate = XlateOpsTest;
using XlateOps = XlateOpsTest;
using XlateImage = XlateOpsTest;

TEST_F(XlateFile, PairsAreLoadedOtherLinesRunAndErrorsReportedPerLine) {
  write("lang.txt",
        "% a comment\n"                      // 1
        "[\n"                                // 2
        "(Open) (Ouvrir)\n"                  // 3
        "  (a (nested))\t(b)\r\n"            // 4
        "(one) (two) (three)\n"              // 5
        "(tab\\tescape) (x\\051y)\n"         // 6
        "(alone)\n"                          // 7
        "(p) q\n"                            // 8
        "(open (unclosed) (x)\n"             // 9
        "\n"                                 // 10
        "/xlateRunDefined 1 def\n"           // 11
        "]\n"                                // 12
        "(Last) (Dernier)");                 // 13, no line end
  EXPECT_EQ(xlateRunFile(path("lang.txt").c_str()), 0);
  EXPECT_EQ(xlatePairCount(), 4);
  EXPECT_EQ(ask(0, "Open"), "Ouvrir");
  EXPECT_EQ(ask(0, "a (nested)"), "b");
  EXPECT_EQ(ask(0, "tab\tescape"), "x)y");
  EXPECT_EQ(ask(1, "Dernier"), "Last");
  EXPECT_TRUE(execfx::defined("xlateRunDefined"));

  EXPECT_EQ(logText(),
            "line 5: syntax error\n"
            "line 7: syntax error\n"
            "line 8: expected '('\n"
            "line 9: syntax error\n"
            "exec: /xlateRunDefined 1 def\n");
  for (const char* line : {"5", "7", "8", "9"})
    EXPECT_TRUE(boxShown(std::string("Line ") + line + ": syntax error in translation table")) << line;
  EXPECT_EQ(plTestMessageBoxes().size(), 4u);
}

TEST_F(XlateFile, AFileThatCannotBeOpenedChangesNothing) {
  EXPECT_EQ(xlateRunFile(path("none.txt").c_str()), -1);
  EXPECT_EQ(xlatePairCount(), 0);
  // Still no table: untranslated texts are not collected.
  EXPECT_EQ(ask(0, "Open"), "Open");
  EXPECT_EQ(xlateMissingCount(), 0);
  EXPECT_EQ(run("(" + path("none.txt") + ") aTransRun"), -1);
}

TEST_F(XlateFile, BackslashesSeparateDirectoriesInTheName) {
  fs::create_directory(dir_ / "sub");
  write("sub/lang.txt", "(Open) (Ouvrir)\n");
  EXPECT_EQ(xlateRunFile((dir_.string() + "\\sub\\lang.txt").c_str()), 0);
  EXPECT_EQ(ask(0, "Open"), "Ouvrir");
}

// The writer that aTranslateOpen registers runs at quit and writes the
// missing texts and the language script; the script reads back as the same
// table.
TEST_F(XlateTemplate, WrittenAtQuitAndReadBackAsTheSameTable) {
  load({{"Open", "Ouvrir"},
        {"Close", "Fermer"},
        {"Save", "Sauver"},
        {"C:\\dir (x", "D:\\rep (y"},
        {"Print", "Imprimer"}});
  EXPECT_EQ(ask(0, "Open"), "Ouvrir");
  EXPECT_EQ(ask(1, "Imprimer"), "Print");
  ask(0, "New\r\nline");
  ask(0, "draft.fe");
  ask(0, "Unbalanced (");
  ask(0, "Unbalanced (");

  EXPECT_EQ(xlateOpenTemplate(path("absent.txt").c_str()), -1);  // must exist
  write("french.txt", "old\n");
  EXPECT_EQ(xlateOpenTemplate(path("french.txt").c_str()), 0);
  feQuitRun();
  plTestClearQuit();

  EXPECT_FALSE(fs::exists(path("absent.txt")));
  EXPECT_EQ(read("french.txt"), "New\\r\\nline\ndraft.fe\nUnbalanced (\n");
  // Pairs chain by chain in the hash order of their sources: Print (5),
  // Open (34); then C:\dir (x (24), Save (49), Close (60).
  EXPECT_EQ(read("french.txt.fe"),
            "/aLanguage (XXX) def\n"
            "/aHelpFont (Monaco.9) def\n"
            "[\n"
            "\t%\t(New\\r\\nline)\t(XXX)\n"
            "\t%\t(Unbalanced \\()\t(XXX)\n"
            "\t(Print)\t(Imprimer)\n"
            "\t(Open)\t(Ouvrir)\n"
            "\n"
            "\t%%%% Unused %%%%%\n"
            "\n"
            "\t(C:\\\\dir \\(x)\t(D:\\\\rep \\(y)\n"
            "\t(Save)\t(Sauver)\n"
            "\t(Close)\t(Fermer)\n"
            "] aTranslateLoad\n");

  xlateResetForTest();
  EXPECT_EQ(xlateRunFile(path("french.txt.fe").c_str()), 0);
  EXPECT_EQ(plTestMessageBoxes().size(), 0u);
  EXPECT_EQ(xlatePairCount(), 5);
  EXPECT_EQ(ask(0, "C:\\dir (x"), "D:\\rep (y");
  EXPECT_EQ(ask(0, "Save"), "Sauver");
  EXPECT_EQ(ask(1, "Imprimer"), "Print");
  EXPECT_TRUE(execfx::defined("aLanguage"));
}

TEST_F(XlateTemplate, NothingIsWrittenWithoutATemplateFile) {
  load({{"Open", "Ouvrir"}});
  write("french.txt", "old\n");
  EXPECT_EQ(xlateOpenTemplate(path("french.txt").c_str()), 0);
  EXPECT_EQ(xlateOpenTemplate(path("gone.txt").c_str()), -1);  // drops the name
  ask(0, "Missing");
  feQuitRun();
  plTestClearQuit();
  EXPECT_EQ(read("french.txt"), "old\n");
  EXPECT_FALSE(fs::exists(path("french.txt.fe")));
  EXPECT_FALSE(fs::exists(path("gone.txt")));
}

TEST_F(XlateOps, LoadCopyFlagAndDump) {
  struct Case {
    const char* text;
    int result;
    const char* stack;  // null: not checked
  } cases[] = {
      {"[(Open) (Ouvrir) (Quit) (Quitter)] aTranslateLoad", feOk, ""},
      {"[(a) (b) (c)] aTranslateLoad", feErrTypeCheck, nullptr},
      {"[(a) 1] aTranslateLoad", feErrTypeCheck, nullptr},
      {"(a) aTranslateLoad", feErrTypeCheck, nullptr},
      {"[(a\\000) (b)] aTranslateLoad", feErrRangeCheck, nullptr},
      {"[] aTranslateLoad", feOk, ""},
      {"/(Quit) aXTranslate", feOk, "(Quit)"},   // a copy, not translated
      {"/(Quitter) aRTranslate", feOk, "(Quitter)"},
      {"() aXTranslate", feOk, "()"},
      {"true aFETranslate", feOk, "false"},
      {"false aFETranslate", feOk, "true"},
      {"false aFETranslate", feOk, "false"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(run(c.text), c.result) << c.text;
    if (c.stack) {
      EXPECT_EQ(execfx::operands(), c.stack) << c.text;
    }
  }
  EXPECT_EQ(xlatePairCount(), 2);
  EXPECT_EQ(ask(1, "Quitter"), "Quit");
  // Literal strings go through the table as they are read.
  EXPECT_EQ(run("(Open)"), feOk);
  EXPECT_EQ(execfx::operands(), "(Ouvrir)");

  xlateResetForTest();
  load({{"Open", "Ouvrir"}});
  ask(0, "First missing");
  ask(0, "Second missing");
  logText().clear();
  EXPECT_EQ(run("aTranslateDump"), feOk);
  EXPECT_EQ(logText(), "*** translation table ***\nFirst missing\nSecond missing\n*** translation table end ***\n");

  write("t.txt", "");
  EXPECT_EQ(run("(" + path("t.txt") + ") aTranslateOpen"), feOk);
  EXPECT_EQ(run("(" + path("none.txt") + ") aTranslateOpen"), -1);
}

TEST_F(XlateOps, TheLookupGivesEveryRegistration) {
  struct Case {
    const char* name;
    const char* signature;
  } cases[] = {
      {"aTranslateLoad", "O"},       {"aTransRun", "S"},      {"aXTranslate", "!i<0>S#S"},
      {"aRTranslate", "!i<1>S#S"},   {"aTranslateOpen", "S"}, {"aTranslateDump", ""},
      {"aFETranslate", "!B#B"},
  };
  for (const Case& c : cases) {
    const feOpSpec* spec = xlateOpSpec(c.name);
    ASSERT_NE(spec, nullptr) << c.name;
    EXPECT_STREQ(spec->signature, c.signature) << c.name;
    EXPECT_TRUE(execfx::defined(c.name)) << c.name;
  }
  EXPECT_EQ(xlateOpSpec("aOther"), nullptr);
  EXPECT_EQ(xlateOpSpec("aXTranslate")->handler, xlateOpSpec("aRTranslate")->handler);
}

TEST_F(XlateImage, TheBlocksHoldThePoolAndThePairs) {
  load({{"Open", "Ouvrir"}, {"Quit", "Quitter"}});
  ask(0, "Quit");
  void* data = nullptr;
  uint32_t length = 0;
  ASSERT_EQ(feGetBlock("xlate-str", &data, &length), 0);
  EXPECT_EQ(std::string(static_cast<const char*>(data), length), std::string("Open\0Ouvrir\0Quit\0Quitter\0", 25));
  ASSERT_EQ(feGetBlock("xlate-buf", &data, &length), 0);
  ASSERT_EQ(length, 40u);
  const auto* pairs = static_cast<const xlatePair*>(data);
  EXPECT_EQ(pairs[0].source, 0u);
  EXPECT_EQ(pairs[0].translation, 5u);
  EXPECT_EQ(pairs[0].used, 0u);
  EXPECT_EQ(pairs[1].source, 12u);
  EXPECT_EQ(pairs[1].translation, 17u);
  EXPECT_EQ(pairs[1].used, 1u);
}

// Through a real image: written by aBOut, read back into the block table,
// restored as the module's set-up does.
TEST_F(XlateImage, TheTableSurvivesAnImage) {
  load({{"Open", "Ouvrir"}, {"Quit", "Quitter"}});
  ask(0, "Open");
  const std::string image = path("plumet.FEB");
  ASSERT_EQ(feBOut(image.c_str()), feOk);

  xlateResetForTest();
  EXPECT_EQ(ask(0, "Open"), "Open");
  feImage* read = nullptr;
  ASSERT_EQ(feImageRead(image.c_str(), &read), feOk);
  feImageUseBlocks(read);
  feImageFree(read);
  xlateRestoreFromImage();
  EXPECT_EQ(xlatePairCount(), 2);
  EXPECT_EQ(xlatePairTable()[0].used, 1u);
  EXPECT_EQ(xlatePairTable()[1].used, 0u);
  EXPECT_EQ(ask(0, "Open"), "Ouvrir");
  EXPECT_EQ(ask(1, "Quitter"), "Quit");
}

// Blocks as an image hands them over (allocator blocks the module takes and
// frees): pairs whose offsets fall outside the pool are dropped, links are
// rebuilt, and a pool without its final terminator is not used at all.
TEST_F(XlateImage, RestoredBlocksAreCheckedAndLinkedAgain) {
  const std::string pool("Open\0Ouvrir\0Quit\0Quitter\0", 25);
  const xlatePair stored[] = {
      {0, 5, 12345, 777, 1},
      {12, 17, 0, 0, 0},
      {0, 25, 0, 0, 0},   // translation past the pool
      {4000, 5, 0, 0, 0}, // source past the pool
  };
  struct Case {
    const char* what;
    std::string pool;
    uint32_t pairBytes;
    int32_t pairs;
    const char* quit;
  } cases[] = {
      {"sound blocks", pool, sizeof stored, 2, "Quitter"},
      {"pool without terminator", pool.substr(0, 24), sizeof stored, 0, "Quit"},
      {"pair block not whole pairs", pool, sizeof stored - 3, 0, "Quit"},
  };
  for (const Case& c : cases) {
    xlateResetForTest();
    char* text = static_cast<char*>(uAlloc(nullptr, nullptr, uint32_t(c.pool.size()), 1));
    std::memcpy(text, c.pool.data(), c.pool.size());
    auto* pairs = static_cast<char*>(uAlloc(nullptr, nullptr, c.pairBytes, 1));
    std::memcpy(pairs, stored, c.pairBytes);
    feSetBlock("xlate-str", text, uint32_t(c.pool.size()));
    feSetBlock("xlate-buf", pairs, c.pairBytes);
    xlateRestoreFromImage();
    EXPECT_EQ(xlatePairCount(), c.pairs) << c.what;
    EXPECT_EQ(ask(0, "Quit"), c.quit) << c.what;
    if (c.pairs) {
      EXPECT_EQ(ask(1, "Ouvrir"), "Open") << c.what;
      EXPECT_EQ(xlatePairTable()[0].used, 1u) << c.what;
    }
  }
}

}  // namespace
