// Shared by the style tests: the graphic-object fixture with styles set up,
// a font service double (names to ids, with the uses of each id counted),
// FE text run with the operand stack read back, and drawing files on a
// temporary directory written and read by the test's own routines.
#ifndef PLUMET_TESTS_OBJECTS_STYLE_FIXTURE_H
#define PLUMET_TESTS_OBJECTS_STYLE_FIXTURE_H

#include "gobject_fixture.h"
#include "io_detached.h"
#include "objects/iofile.h"
#include "objects/style.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace stylefx {

// The font double: "Helv" and "Helvetica" are both font 3, "Times" font 7;
// uses[id] counts references taken minus those given back.
inline std::map<std::string, uint32_t>& fonts() {
  static std::map<std::string, uint32_t> table = {{"Helv", 3}, {"Helvetica", 3}, {"Times", 7}};
  return table;
}
inline std::map<uint16_t, int>& uses() {
  static std::map<uint16_t, int> counts;
  return counts;
}
inline void fontFind(const char* name, uint32_t length, uint32_t* id) {
  auto found = fonts().find(std::string(name, length));
  *id = found == fonts().end() ? 0xFFFFFFFFu : found->second;
}
inline void fontRef(uint16_t id) { ++uses()[id]; }
inline void fontUnref(uint16_t id) { --uses()[id]; }
inline const styleFontHooks kFontDouble = {fontFind, fontRef, fontUnref};

class StyleTest : public gobjfx::GobjTest {
protected:
  void SetUp() override {
    GobjTest::SetUp();
    styleInit();
    uses().clear();
    styleSetFontHooks(&kFontDouble);
    ioDetachModules();
    dir = std::filesystem::temp_directory_path() /
          ("style-" + std::to_string(std::random_device{}()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir);
  }
  void TearDown() override {
    for (styleRec* s : held) styleUnref(s);
    held.clear();
    styleSetFontHooks(nullptr);
    std::filesystem::remove_all(dir);
    GobjTest::TearDown();
  }

  // A style held until the end of the test.
  styleRec* hold(styleRec* s) {
    styleRef(s);
    held.push_back(s);
    return s;
  }
  styleRec* charStyle(float size, const char* font) {
    styleRec* s = styleNew(styleKindChar);
    s->chr.size = size;
    if (font) {
      feObject key = gobjfx::name("fontName"), value;
      feMakeString(&value, font, std::strlen(font));
      EXPECT_EQ(objMeth(s->classId, msgSetAttr, s, reinterpret_cast<intptr_t>(&key),
                        reinterpret_cast<intptr_t>(&value)),
                0);
      feFree(&value);
    }
    return s;
  }

  // Runs FE text: the operand stack as "==" prints it, or the error code;
  // the stack is emptied.
  static std::string run(const char* text) {
    const int rc = feExecString(text);
    std::string result = rc ? std::to_string(rc) : execfx::operands();
    feStackClear(*feOperandStack());
    return result;
  }

  std::string path() const { return (dir / "plan.qdw").string(); }

  // Writes a drawing of the given format version whose record stream is
  // what body writes, inside one style bracket.
  int save(const std::function<void(ioCtx*)>& body, int version = 4) { return bracket(ioFlagWrite, version, body); }
  int load(const std::function<void(ioCtx*)>& body) { return bracket(ioFlagRead, 0, body); }
  // Opens the file in mode, runs body inside one style bracket and closes
  // it; a failure that leaves through the recovery point answers its code.
  int bracket(uint32_t mode, int version, const std::function<void(ioCtx*)>& body) {
    ioRecovery recovery;
    try {
      ioCtx* ctx = nullptr;
      const std::string name = path();
      if (int answer = ioOpen(&ctx, name.c_str(), int(name.size()), mode, version, &recovery)) return answer;
      styleIOBegin(ctx);
      body(ctx);
      styleIOEnd(ctx);
      return ioClose(ctx);
    } catch (const ioFailure& failure) {
      return failure.code;
    }
  }
  // The record stream: from offset 64 to the first segment.
  std::vector<uint8_t> stream() const {
    std::ifstream in(path(), std::ios::binary);
    std::vector<uint8_t> file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    size_t end = file.size();
    for (int word = ioWordTypes; word <= ioWordViewDirs; ++word) {
      const uint8_t* p = file.data() + 4 * word;
      const size_t offset = size_t(p[0]) << 24 | size_t(p[1]) << 16 | size_t(p[2]) << 8 | p[3];
      if (offset >= 64 && offset < end) end = offset;
    }
    return {file.begin() + 64, file.begin() + long(end)};
  }

  std::vector<styleRec*> held;
  std::filesystem::path dir;
};

}  // namespace stylefx

#endif
