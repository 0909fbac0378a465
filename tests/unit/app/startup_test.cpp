#include "app/draft.h"
#include "app/plumet.h"
#include "core/startstate.h"
#include "fe/quit.h"

#include <gtest/gtest.h>
#include <platform_test.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

uint32_t bits(const char* letters) {
  uint32_t word = 0;
  for (const char* p = letters; *p; ++p) word |= appSwitchBit(*p);
  return word;
}

TEST(StartupSwitches, ParseTable) {
  struct Case {
    const char* line;
    const char* switches;
    bool mFlag;
    const char* iniName;  // null: no switch i
    const char* rest;
  };
  const Case cases[] = {
      {"", "", false, nullptr, ""},
      {"-f /m", "fm", true, nullptr, ""},
      {"/d", "db", false, nullptr, ""},
      {"-F /N", "fn", false, nullptr, ""},
      {"/f/b drawing.drw", "fb", false, nullptr, "drawing.drw"},
      {"drawing.drw /f", "", false, nullptr, "drawing.drw /f"},
      {"\"/b drawing.drw\"", "b", false, nullptr, "drawing.drw"},
      {"\"/b x", "b", false, nullptr, "x"},  // unclosed quote: no other character lost
      {"\"", "", false, nullptr, ""},
      {"/i = my file.ini", "i", false, "my file.ini", ""},
      {"-i:x.ini", "i", false, "x.ini", ""},
      {"/f /i *.ini", "fi", false, "*.ini", ""},
      {"/7 x", "", false, nullptr, "x"},
      {"/", "", false, nullptr, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    appCommandLine parsed = appParseCommandLine(c.line);
    EXPECT_EQ(parsed.switches, bits(c.switches));
    EXPECT_EQ(parsed.mFlag, c.mFlag);
    EXPECT_EQ(parsed.iniGiven, c.iniName != nullptr);
    if (c.iniName) {
      EXPECT_EQ(parsed.iniName, c.iniName);
    }
    EXPECT_EQ(parsed.rest, c.rest);
  }
}

TEST(StartupSwitches, IniNameTakenWholeWhateverItsLength) {
  for (size_t length : {259u, 300u, 5000u}) {
    const std::string name = "/" + std::string(length - 1, 'a');
    const std::string line = "-f -i " + name;
    EXPECT_EQ(appParseCommandLine(line.c_str()).iniName, name) << length;
  }
}

TEST(StartupSwitches, IniNameAcceptedOnlyForAnExistingFileCaseAside) {
  std::filesystem::path dir = std::filesystem::temp_directory_path() / "plumet_startup_ini";
  std::filesystem::create_directories(dir);
  std::FILE* f = std::fopen((dir / "Setup.INI").c_str(), "w");
  ASSERT_NE(f, nullptr);
  std::fclose(f);

  std::string full;
  EXPECT_TRUE(appAcceptIniName((dir / "setup.ini").string(), &full));
  EXPECT_EQ(full, (dir / "Setup.INI").string());
  EXPECT_FALSE(appAcceptIniName((dir / "missing.ini").string(), &full));
  EXPECT_FALSE(appAcceptIniName((dir / "*.INI").string(), &full));
  EXPECT_FALSE(appAcceptIniName((dir / "Setup.IN?").string(), &full));
  std::filesystem::remove_all(dir);
}

TEST(StartupImagePath, ExeEndingReplacedOtherwiseAppended) {
  const std::pair<const char*, const char*> cases[] = {
      {"/opt/x/PLUMET.EXE", "/opt/x/PLUMET.FEB"},
      {"/opt/x/plumet.Exe", "/opt/x/plumet.FEB"},
      {"/opt/x/plumet", "/opt/x/plumet.FEB"},
      {"/opt/x.exe/plumet", "/opt/x.exe/plumet.FEB"},
      {"/opt/x/plumet.exe.bak", "/opt/x/plumet.exe.bak.FEB"},
      {".exe", ".FEB"},
  };
  for (const auto& [module, image] : cases) EXPECT_EQ(appImagePathFor(module), image) << module;
}

TEST(StartupModules, FixedOrderInPollGroups) {
  const std::vector<std::vector<std::string>> groups = {
      {"feutilInit", "transInit"},
      {"progInfoInit", "errNamesInit", "hitRadInit"},
      {"objOpsInit"},
      {"attrNamesInit", "cTabInit", "layerInit", "gobjInit", "vertexInit"},
      {"gridInit", "csysInit", "penLoadDefaults", "sieveInit", "trkInit", "vwInit", "nearInit"},
      {"vcRegisterOps", "selInit", "unitsInit", "chamferInit", "filletInit", "trimInit"},
      {"arrowInit", "expEvalInit", "ptSelInit", "undoInit", "docVarInit", "traceInit", "polySelInit"},
      {"ieToolInit", "subdivInit", "arcTrackInit"},
      {"areaInit", "hatchInit", "fillInit", "daInit"},
      {"pictInit", "gdtInit", "lnEditPicInit", "volumeInit"},
      {"resolveInit"},
      {"lnfontInit"},
  };
  size_t count = 0;
  const draftModule* modules = draftModules(&count);
  size_t at = 0;
  for (size_t g = 0; g < groups.size(); ++g) {
    for (const std::string& name : groups[g]) {
      ASSERT_LT(at, count);
      EXPECT_EQ(modules[at].name, name);
      EXPECT_EQ(modules[at].group, static_cast<int>(g + 1)) << name;
      ++at;
    }
  }
  EXPECT_EQ(at, count);
  // The set-ups that exist are called.
  EXPECT_NE(modules[0].init, nullptr);
  EXPECT_NE(modules[1].init, nullptr);
}

TEST(StartupControlWord, UnderflowMaskedOnceAndMFlagBlocksApplying) {
  appResetStartState();
  EXPECT_EQ(appControlWord(), 0x80016u);
  appSigFpe(8, appFpUnderflowCode);
  appSigFpe(8, appFpUnderflowCode);  // a second underflow changes nothing more
  EXPECT_EQ(appControlWord(), 0x80016u);
  EXPECT_EQ(appAppliedControlWord(), 0x80016u);

  appSetControlWord(0xFFFFFFFFu);
  appApplyControlWord();
  EXPECT_EQ(appAppliedControlWord(), appFpMask);  // inexact never applied

  appSetMFlag(true);
  appSetControlWord(0);
  appApplyControlWord();
  EXPECT_EQ(appAppliedControlWord(), appFpMask);
  appResetStartState();
}

TEST(StartupFiles, ScriptNamesFoundWithoutRegardToCase) {
  std::filesystem::path dir = std::filesystem::temp_directory_path() / "plumet_startup_case";
  std::filesystem::create_directories(dir);
  std::fclose(std::fopen((dir / "Draft.FE").c_str(), "w"));
  std::fclose(std::fopen((dir / "lang.fe").c_str(), "w"));
  std::string d = dir.string() + "/";
  EXPECT_EQ(draftFindNoCase(d, "draft.fe"), "Draft.FE");
  EXPECT_EQ(draftFindNoCase(d, "lang.fe"), "lang.fe");
  EXPECT_EQ(draftFindNoCase(d, "none.fe"), "none.fe");
  std::filesystem::remove_all(dir);
}

std::vector<int> quitOrder;

TEST(StartupQuit, AtQuitRoutinesRunLastFirstThenQuitPostedWithZero) {
  quitOrder.clear();
  plTestClearQuit();
  feAtQuit([] { quitOrder.push_back(1); });
  feAtQuit([] { quitOrder.push_back(2); });
  feAtQuit([] { quitOrder.push_back(3); });
  feQuitRun();
  EXPECT_EQ(quitOrder, (std::vector<int>{3, 2, 1}));
  int code = -1;
  EXPECT_TRUE(plTestQuitPosted(&code));
  EXPECT_EQ(code, 0);
  plTestClearQuit();
}

}  // namespace
