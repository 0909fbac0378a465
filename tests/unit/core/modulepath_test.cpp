// The program module's path answered whole, and the configuration file found
// beside a program installed under a path longer than the Windows limit.
#include "core/modulepath.h"

#include "core/ini.h"
#include "deep_dir.h"

#include <platform_test.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

class ModulePath : public ::testing::Test {
 protected:
  void TearDown() override { plTestSetModuleFileName(""); }
};

TEST_F(ModulePath, LongPathsComeWhole) {
  for (size_t length : {259u, 260u, 300u, 5000u}) {
    SCOPED_TRACE(length);
    const std::string dir = "/" + std::string(length - 8, 'd') + "/";
    const std::string path = dir + "plumet";  // length characters in all
    ASSERT_EQ(path.size(), length);
    plTestSetModuleFileName(path);
    EXPECT_EQ(uModulePath(), path);
    EXPECT_EQ(uModuleDirectory(), dir);
  }
}

TEST_F(ModulePath, DirectoryKeepsEitherSeparator) {
  const struct {
    const char* path;
    const char* dir;
  } cases[] = {
      {"C:\\work\\bin\\PLUMET.EXE", "C:\\work\\bin\\"},
      {"/opt/p/plumet", "/opt/p/"},
      {"plumet", ""},
  };
  for (const auto& c : cases) {
    plTestSetModuleFileName(c.path);
    EXPECT_EQ(uModuleDirectory(), c.dir) << c.path;
  }
}

TEST_F(ModulePath, RealExecutableIsAnswered) {
  EXPECT_EQ(uModulePath(), std::filesystem::read_symlink("/proc/self/exe").string());
}

TEST_F(ModulePath, ConfigurationFileBesideADeeplyInstalledProgram) {
  const DeepDir install(300);
  const std::string ini = install.write("Plumet.ini", "[Defaults]\n");
  plTestSetModuleFileName(install.file("plumet"));
  EXPECT_EQ(iniPathFor("PLUMET.INI"), ini);
  EXPECT_EQ(iniPathFor("plumet.cfg"), ini) << "the extension becomes .ini";
}

}  // namespace
