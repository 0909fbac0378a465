// The configuration file named with switch i: a long name is taken whole,
// and a name that is not used comes with a reason the user can read.
#include "app/plumet.h"

#include "deep_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

TEST(IniName, LongNameOfAnExistingFileIsTakenWhole) {
  const DeepDir deep(300);
  const std::string ini = deep.write("Setup.INI", "[Defaults]\n");
  ASSERT_GT(ini.size(), 300u);
  for (const std::string& given : {ini, deep.file("setup.ini")}) {
    const appCommandLine parsed = appParseCommandLine(("-f -i " + given).c_str());
    ASSERT_EQ(parsed.iniName, given);
    std::string full, reason;
    EXPECT_TRUE(appAcceptIniName(parsed.iniName, &full, &reason)) << reason;
    EXPECT_EQ(full, ini);
  }
}

TEST(IniName, RefusedNamesSayWhy) {
  const DeepDir deep(300);
  const struct {
    std::string name;
    const char* reason;
  } cases[] = {
      {"", "no file name follows the switch"},
      {deep.file("*.ini"), "the name holds \"*\" or \"?\""},
      {deep.file("missing.ini"), "no such file"},
      {deep.path(), "not a file"},
      {"/" + std::string(4999, 'x'), "the name is too long for the file system"},
      {deep.file(std::string(300, 'c') + ".ini"), "the name is too long for the file system"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name.substr(0, 80));
    std::string full = "unchanged", reason;
    EXPECT_FALSE(appAcceptIniName(c.name, &full, &reason));
    EXPECT_EQ(reason, c.reason);
    EXPECT_EQ(full, "unchanged");
  }
}

TEST(IniName, RefusalTextFitsAnAlertAndShowsBothEnds) {
  EXPECT_EQ(appIniRefusalText("/etc/x.ini", "no such file"), "no such file: /etc/x.ini");
  const std::string name = "/start" + std::string(5000, 'm') + "/the-end.ini";
  const std::string text = appIniRefusalText(name, "no such file");
  EXPECT_LE(text.size(), 160u);
  EXPECT_EQ(text.rfind("no such file: /start", 0), 0u) << text;
  EXPECT_NE(text.find("..."), std::string::npos) << text;
  EXPECT_EQ(text.substr(text.size() - 12), "/the-end.ini") << text;
}

}  // namespace
