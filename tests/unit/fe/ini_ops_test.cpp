#include "core/ini_fixture.h"
#include "fe/exec_fixture.h"
#include "fe/ini_ops.h"

namespace {

using inifx::IniTest;
namespace fs = std::filesystem;

// The configuration object and the two operators, through the interpreter.
class IniOps : public IniTest {
protected:
  void SetUp() override {
    IniTest::SetUp();
    execfx::start();
    if (!execfx::defined("aGetIniString")) iniRegisterOps();
    plTestSetModuleFileName(path("plumet"));
  }
  void TearDown() override {
    execfx::stop();
    IniTest::TearDown();
  }
  static int run(const char* text) {
    feStackClear(*feOperandStack());
    return feExecString(text);
  }
};

TEST_F(IniOps, SetupFindsTheFileAndTheOperatorsReadAndWriteIt) {
  write("plumet.ini", "[ Memory ]\nreserve = 500000 ; big\n[Next]\n");
  uiIniSetup("PLUMET.INI and more", 10);
  EXPECT_STREQ(uiIniName(), "PLUMET.INI");
  ASSERT_NE(iniCurrent(), nullptr);
  EXPECT_EQ(iniCurrent()->path, path("plumet.ini"));

  struct Case {
    const char* text;
    const char* stack;
  } cases[] = {
      {"(/MEMORY/Reserve) (128000) aGetIniString", "(500000 ; big)"},
      {"(/Memory/Missing) (128000) aGetIniString", "(128000)"},
      {"(/Defaults) (dflt) aGetIniString", "(dflt)"},
      {"(/Nowhere/Reserve) () aGetIniString", "()"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(run(c.text), feOk) << c.text;
    EXPECT_EQ(execfx::operands(), c.stack) << c.text;
  }

  EXPECT_EQ(run("(/Memory/Reserve) (300000) aPutIniString (/New/A/B) (v) aPutIniString"), feOk);
  EXPECT_EQ(execfx::operands(), "");
  EXPECT_EQ(read("plumet.ini"), "[ Memory ]\nreserve = 300000\n[Next]\n[New]\nA/B=v\n");
  EXPECT_EQ(run("(/New/A/B) () aGetIniString"), feOk);
  EXPECT_EQ(execfx::operands(), "(v)");

  // Fewer than two fields, or a value that cannot be written: ioerror.
  EXPECT_EQ(run("(/Defaults) (v) aPutIniString"), feErrIo);
  EXPECT_EQ(run("(/Memory/Reserve) ([x]) aPutIniString"), feErrIo);
  EXPECT_EQ(read("plumet.ini"), "[ Memory ]\nreserve = 300000\n[Next]\n[New]\nA/B=v\n");

  // A second set-up replaces the object.
  uiIniSetup("other", -1);
  EXPECT_EQ(iniCurrent()->path, path("other.ini"));
  EXPECT_EQ(run("(/Memory/Reserve) (128000) aGetIniString"), feOk);
  EXPECT_EQ(execfx::operands(), "(128000)");
}

TEST_F(IniOps, WithoutAConfigurationObjectReadsAnswerTheDefaultAndWritesFail) {
  iniShutdown();
  ASSERT_EQ(iniCurrent(), nullptr);
  EXPECT_EQ(run("(/Memory/Reserve) (128000) aGetIniString"), feOk);
  EXPECT_EQ(execfx::operands(), "(128000)");
  EXPECT_EQ(run("(/Memory/Reserve) (1) aPutIniString"), feErrIo);
  EXPECT_FALSE(fs::exists(path("plumet.ini")));
}

TEST_F(IniOps, TheLookupGivesTheRegistrations) {
  for (const char* name : {"aGetIniString", "aPutIniString"}) {
    const feOpSpec* spec = iniOpSpec(name);
    ASSERT_NE(spec, nullptr) << name;
    EXPECT_STREQ(spec->name, name);
  }
  EXPECT_STREQ(iniOpSpec("aGetIniString")->signature, "CC#C");
  EXPECT_STREQ(iniOpSpec("aPutIniString")->signature, "CC");
  EXPECT_EQ(iniOpSpec("aOther"), nullptr);
}

}  // namespace
