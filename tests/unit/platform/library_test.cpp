// Libraries loaded at run time: how LoadLibraryA finds a library by name,
// the load count FreeLibrary follows, and GetProcAddress by name and by
// ordinal. The libraries are tinylib (a named function tinyAnswer, ordinals
// 1 and 5) and tinylib_bare (the same without ordinals), built beside the
// tests.
#include "fixture.h"
#include "scratch_dir.h"

#include <ordinals.h>
#include <unistd.h>

#include <filesystem>

#include <string>

namespace {

const std::string libDir = PLUMET_TEST_LIB_DIR;

INT_PTR call(FARPROC f) { return f ? f() : -999; }

int callAnswer(HMODULE library) {
  FARPROC f = GetProcAddress(library, "tinyAnswer");
  return f ? plFunctionCast<int (*)(void)>(f)() : -999;
}

class Library : public ScratchDirTest {
 protected:
  Library() : ScratchDirTest("plumet-library-") {}
  void SetUp() override {
    ScratchDirTest::SetUp();
    plTestReset();
    // The program's directory is where the test libraries are.
    plTestSetModuleFileName(libDir + "/program");
  }
  void TearDown() override {
    plTestReset();
    ScratchDirTest::TearDown();
  }
};

}  // namespace

TEST_F(Library, NamesFoundBesideTheProgramAsSoWithoutCaseAndWithEitherSeparator) {
  HMODULE direct = LoadLibraryA((libDir + "/tinylib.so").c_str());
  ASSERT_NE(direct, nullptr);
  const std::string names[] = {"tinylib.dll", "TINYLIB.DLL", "tinylib", "tinylib.so",
                               libDir + "/tinylib.dll", libDir + "\\TinyLib.Dll"};
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    HMODULE library = LoadLibraryA(name.c_str());
    EXPECT_EQ(library, direct);
    EXPECT_EQ(callAnswer(library), 42);
    EXPECT_TRUE(FreeLibrary(library));
  }
  EXPECT_TRUE(FreeLibrary(direct));
}

TEST_F(Library, MissingNamesAndFilesThatAreNoLibraryAreRefused) {
  write("notalib.dll", "this is text, not a library\n");
  struct Case {
    std::string name;
    DWORD error;
  } cases[] = {
      {"no-such-library.dll", ERROR_MOD_NOT_FOUND},
      {libDir + "/no-such-dir/tinylib.dll", ERROR_MOD_NOT_FOUND},
      {"tinylib.", ERROR_MOD_NOT_FOUND},  // the trailing dot: no extension is added
      {path("notalib.dll"), ERROR_BAD_EXE_FORMAT},
      {"", ERROR_INVALID_PARAMETER},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetLastError(0);
    EXPECT_EQ(LoadLibraryA(c.name.c_str()), nullptr);
    EXPECT_EQ(GetLastError(), c.error);
  }
  EXPECT_EQ(LoadLibraryA(nullptr), nullptr);
}

TEST_F(Library, ProgramDirectoryComesBeforeTheWorkingDirectory) {
  const std::string previous = std::filesystem::current_path().string();
  ASSERT_EQ(chdir(libDir.c_str()), 0);
  // With the program elsewhere, the working directory supplies the library.
  plTestSetModuleFileName(path("program"));
  HMODULE library = LoadLibraryA("tinylib.dll");
  EXPECT_EQ(callAnswer(library), 42);
  if (library) {
    EXPECT_TRUE(FreeLibrary(library));
  }
  // A file of that name beside the program is the one taken, even when it
  // is no library.
  write("tinylib.so", "not a library\n");
  SetLastError(0);
  EXPECT_EQ(LoadLibraryA("tinylib.dll"), nullptr);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_BAD_EXE_FORMAT));
  ASSERT_EQ(chdir(previous.c_str()), 0);
}

TEST_F(Library, EachLoadCountsAndTheLastFreeEndsTheHandle) {
  HMODULE first = LoadLibraryA("tinylib.dll");
  HMODULE second = LoadLibraryA("tinylib.dll");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first, second);
  EXPECT_TRUE(FreeLibrary(first));
  EXPECT_EQ(callAnswer(second), 42);  // still loaded once
  EXPECT_TRUE(FreeLibrary(second));
  // The handle is no longer the layer's: refused, not passed to the loader.
  SetLastError(0);
  EXPECT_FALSE(FreeLibrary(second));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
  EXPECT_EQ(GetProcAddress(second, "tinyAnswer"), nullptr);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
  int local = 0;
  EXPECT_FALSE(FreeLibrary(nullptr));
  EXPECT_FALSE(FreeLibrary(reinterpret_cast<HMODULE>(&local)));
}

TEST_F(Library, ProcsByNameAreTheLibrarysOwnOnly) {
  HMODULE library = LoadLibraryA("tinylib.dll");
  ASSERT_NE(library, nullptr);
  EXPECT_EQ(callAnswer(library), 42);
  // The loader would also find names of the libraries it depends on.
  for (const char* name : {"malloc", "printf", "noSuchName"}) {
    SCOPED_TRACE(name);
    SetLastError(0);
    EXPECT_EQ(GetProcAddress(library, name), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PROC_NOT_FOUND));
  }
  EXPECT_TRUE(FreeLibrary(library));
}

TEST_F(Library, ProcsByOrdinalComeFromTheLibrarysTable) {
  HMODULE library = LoadLibraryA("tinylib.dll");
  HMODULE bare = LoadLibraryA("tinylib_bare.dll");
  ASSERT_NE(library, nullptr);
  ASSERT_NE(bare, nullptr);
  EXPECT_EQ(call(GetProcAddress(library, MAKEINTRESOURCEA(1))), 1);
  EXPECT_EQ(call(GetProcAddress(library, MAKEINTRESOURCEA(5))), 5);
  // Entry 0, a gap, past the end, and a library without a table.
  const struct {
    HMODULE module;
    WORD ordinal;
  } absent[] = {{library, 0}, {library, 2}, {library, 6}, {library, 0xFFFF}, {bare, 1}};
  for (const auto& c : absent) {
    SCOPED_TRACE(c.ordinal);
    SetLastError(0);
    EXPECT_EQ(GetProcAddress(c.module, MAKEINTRESOURCEA(c.ordinal)), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PROC_NOT_FOUND));
  }
  EXPECT_EQ(callAnswer(bare), 42);
  EXPECT_TRUE(FreeLibrary(bare));
  EXPECT_TRUE(FreeLibrary(library));
}

TEST_F(Library, TheProgramExportsNoNamesAndHereNoTable) {
  // These tests link no export table; the program's names are never offered.
  for (HMODULE program : {HMODULE(nullptr), GetModuleHandleA(nullptr)}) {
    SetLastError(0);
    EXPECT_EQ(GetProcAddress(program, "malloc"), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PROC_NOT_FOUND));
    EXPECT_EQ(GetProcAddress(program, MAKEINTRESOURCEA(82)), nullptr);
  }
}
