// The line-font table: the built-in fonts, definitions by number and name,
// the image block "linefont", the operators, and the object keys
// "linefont"/"pattern" and "lineweight".
#include "gobject_fixture.h"

#include "core/alloc.h"
#include "core/errors.h"
#include "fe/newbio.h"
#include "fe/stack.h"
#include "objects/lnfont.h"
#include "objects/lnfont_internal.h"
#include "objects/numtbl.h"
#include "objects/pen.h"

#include <cstring>
#include <vector>

namespace {

const double kPens[penCount] = {0.002, 0.005, 0.010, 0.016, 0.020, 0.032, 0.040, 0.050};

feObject str(const char* text) {
  feObject v;
  feMakeString(&v, text, std::strlen(text));
  return v;
}

class LnFont : public gobjfx::GobjTest {
protected:
  void SetUp() override {
    GobjTest::SetUp();
    freshTable();
    if (!execfx::defined("aDefLineFont")) lnfontInit();
    penSetTable(kPens);
  }
  void TearDown() override {
    freshTable();
    GobjTest::TearDown();
  }
  // The table as at start, with no image block.
  static void freshTable() {
    lnfontTerm();
    void* block = nullptr;
    uint32_t length = 0;
    feGetBlock("linefont", &block, &length);
    lnfontTable();
  }
  // A block as an image hands it over (the taker frees it).
  static void putBlock(const std::vector<uint8_t>& bytes, uint32_t size) {
    void* copy = uAlloc(nullptr, nullptr, 1, size);
    std::memcpy(copy, bytes.data(), size);
    feSetBlock("linefont", copy, size);
  }
  // The block the module saved (its own memory), copied.
  static std::vector<uint8_t> savedBlock() {
    void* block = nullptr;
    uint32_t length = 0;
    if (feGetBlock("linefont", &block, &length) != 0 || !block) return {};
    return std::vector<uint8_t>(static_cast<uint8_t*>(block), static_cast<uint8_t*>(block) + length);
  }
  static std::string run(const char* text) {
    const int rc = feExecString(text);
    std::string result = rc ? std::to_string(rc) : execfx::operands();
    feStackClear(*feOperandStack());
    return result;
  }
  static int define(int32_t n, const char* name, std::vector<double> lengths, int32_t* number = nullptr) {
    return lnfontDefine(n, name, uint32_t(std::strlen(name)), uint32_t(lengths.size()), lengths.data(), number);
  }
  static std::vector<float> dashes(int32_t n) {
    lnfontRec* p = nullptr;
    lnfontPattern(n, &p);
    if (!p) return {};
    return std::vector<float>(p->dashes, p->dashes + p->ndash);
  }
  static std::string nameOf(int32_t n) {
    const char* text;
    uint32_t length;
    if (tblName(lnfontTable(), n, &text, &length) != 0) return "?";
    return std::string(text, length);
  }
};

TEST_F(LnFont, FourBuiltInFontsTwoOfThemHidden) {
  EXPECT_EQ(tblCount(lnfontTable()), 4u);
  EXPECT_EQ(run("aListLineFonts"), "(Solid) (Dotted)");
  EXPECT_EQ(run("1 aLnFontNumberToName"), "(Dotted)");
  EXPECT_EQ(run("(solid) aLnFontNameToNumber"), "0");
  EXPECT_EQ(run("(.reserve2) aLnFontNameToNumber2"), "3");
  EXPECT_EQ(run("(Nosuch) aLnFontNameToNumber2"), "-1");
  EXPECT_EQ(run("(Nosuch) aLnFontNameToNumber"), std::to_string(tblErrNotFound));
  EXPECT_EQ(dashes(0), std::vector<float>{});
}

TEST_F(LnFont, PatternsAreStoredWithAnEvenCount) {
  ASSERT_EQ(define(4, "Three", {0.5, 0.25, 0.125}), 0);
  EXPECT_EQ(dashes(4), (std::vector<float>{0.5f, 0.25f, 0.125f, 0.0f}));
  lnfontRec* p = nullptr;
  lnfontPattern(4, &p);
  EXPECT_FLOAT_EQ(p->length, 0.875f);
  EXPECT_EQ(run("(Three) aGetLineFont"), "[0.5 0.25 0.125 0 ]");
}

TEST_F(LnFont, DefiningByNumberAndByName) {
  // Past the count: records 4 and 5 come as free slots, so 6 keeps its number.
  ASSERT_EQ(define(6, "Six", {1, 1}), 0);
  EXPECT_EQ(tblCount(lnfontTable()), 7u);
  EXPECT_EQ(nameOf(5), "");
  EXPECT_EQ(define(5, "SIX", {1, 1}), tblErrNameExists);
  EXPECT_EQ(define(32, "Far", {1, 1}), tblErrTableFull);

  // Below 4 the name is found or created (in a free slot).
  int32_t number = -1;
  ASSERT_EQ(define(0, "Center", {2, 1}, &number), 0);
  EXPECT_EQ(number, 5);
  ASSERT_EQ(define(1, "center", {3, 1}, &number), 0);
  EXPECT_EQ(number, 5);
  EXPECT_EQ(dashes(5), (std::vector<float>{3, 1}));

  // A count of 0 only names the record; its pattern stays.
  ASSERT_EQ(define(6, "Renamed", {}), 0);
  EXPECT_EQ(nameOf(6), "Renamed");
  EXPECT_EQ(dashes(6), (std::vector<float>{1, 1}));
}

TEST_F(LnFont, DefLineFontChecksItsDashes) {
  EXPECT_EQ(run("4 (Dash) [0.25 0.125] aDefLineFont"), "");
  EXPECT_EQ(run("(Dash) aGetLineFont"), "[0.25 0.125 ]");
  EXPECT_EQ(run("4 (Dash) [0.25 -0.125] aDefLineFont"), std::to_string(feErrRangeCheck) + "");
  EXPECT_EQ(run("(Dash) aGetLineFont"), "[0.25 0.125 ]") << "a refused definition changes nothing";
  EXPECT_EQ(run("4 (Dash) [0.25 (x)] aDefLineFont"), std::to_string(feErrTypeCheck));
  EXPECT_EQ(run("4 (Dash) 7 aDefLineFont"), std::to_string(feErrTypeCheck));
  EXPECT_EQ(run("4 (Dash) [1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1] aDefLineFont"), "-1");
  EXPECT_EQ(run("(Solid) aGetLineFont"), std::to_string(feErrUndefined)) << "no pattern";
}

TEST_F(LnFont, TheImageBlockKeepsNamesAndDashesApart) {
  ASSERT_EQ(define(4, "Dash", {0.25, 0.125}), 0);
  ASSERT_EQ(define(6, "Long", {1, 0.5, 0.25}), 0);
  lnfontSave();
  const std::vector<uint8_t> bytes = savedBlock();
  ASSERT_FALSE(bytes.empty());
  auto word = [&](size_t at) {
    uint32_t v;
    std::memcpy(&v, &bytes[at], 4);
    return v;
  };
  // Three fonts (5 free): names at 16 + 24 = 40, "DashLong*" up to 49, the
  // dashes at 56: 2 + 0 + 4 doubles.
  EXPECT_EQ(word(0), 3u);
  EXPECT_EQ(word(4), 40u);
  EXPECT_EQ(word(8), 56u);
  EXPECT_EQ(word(12), 56u + 6 * 8);
  EXPECT_EQ(std::string(bytes.begin() + 40, bytes.begin() + 49), "DashLong*");
  double first;
  std::memcpy(&first, &bytes[56], 8);
  EXPECT_EQ(first, 0.25);

  // Read back into a fresh table: the fonts keep their numbers.
  lnfontTerm();
  putBlock(bytes, uint32_t(bytes.size()));
  lnfontLoadBlock();
  EXPECT_EQ(nameOf(4), "Dash");
  EXPECT_EQ(nameOf(5), "");
  EXPECT_EQ(nameOf(6), "Long");
  EXPECT_EQ(dashes(4), (std::vector<float>{0.25f, 0.125f}));
  EXPECT_EQ(dashes(6), (std::vector<float>{1, 0.5f, 0.25f, 0}));
}

TEST_F(LnFont, ABlockThatDoesNotHoldTogetherIsLeftUnused) {
  ASSERT_EQ(define(4, "Dash", {0.25, 0.125}), 0);
  lnfontSave();
  const std::vector<uint8_t> good = savedBlock();
  ASSERT_FALSE(good.empty());
  struct Case {
    size_t at;
    uint32_t value;
  } cases[] = {{0, 200}, {4, 0}, {16, 1000}, {20, 1u << 30}};
  for (const Case& c : cases) {
    std::vector<uint8_t> bad = good;
    std::memcpy(&bad[c.at], &c.value, 4);
    lnfontTerm();
    putBlock(bad, uint32_t(bad.size()));
    lnfontLoadBlock();
    EXPECT_EQ(tblCount(lnfontTable()), 4u) << c.at;
  }
  lnfontTerm();
  putBlock(good, 10);
  lnfontLoadBlock();
  EXPECT_EQ(tblCount(lnfontTable()), 4u) << "cut short";
}

TEST_F(LnFont, NamePlaceholdersAndBlankNames) {
  EXPECT_EQ(run("aLnfontFull"), "1");
  ASSERT_EQ(define(4, "New...", {}), 0);
  EXPECT_EQ(run("aLnfontFull"), "0");
  EXPECT_EQ(run("(Chain) aMakeNewLnFont aLnfontFull"), "1");
  EXPECT_EQ(nameOf(4), "Chain");
  for (auto [text, blank] : {std::pair{"()", 1}, {"(   )", 1}, {"( \t)", 1}, {"( a )", 0}, {"(Solid)", 0}})
    EXPECT_EQ(run((std::string(text) + " aIsBlankLnFontName").c_str()), std::to_string(blank)) << text;
}

TEST_F(LnFont, BuildingUnusedFontsStopsWhenFullOrWhenNothingIsAdded) {
  ASSERT_EQ(run("/aBuildLnFontNoUse { 0 (Gen ^0) aLnfontGenName [] aDefLineFont } def"), "");
  EXPECT_EQ(run("aBuildLnFontNoUseAll"), "");
  EXPECT_EQ(tblCount(lnfontTable()), 32u);
  EXPECT_EQ(nameOf(31), "Gen 28");

  freshTable();
  ASSERT_EQ(run("/aBuildLnFontNoUse { } def"), "");
  EXPECT_EQ(run("aBuildLnFontNoUseAll"), "") << "a procedure that adds nothing ends the loop";
  EXPECT_EQ(tblCount(lnfontTable()), 4u);
  run("userdict /aBuildLnFontNoUse undef");
}

TEST_F(LnFont, ObjectKeysLineFontAndLineWeight) {
  ASSERT_EQ(define(4, "Dash", {0.25, 0.125}), 0);
  gobjRec* object = keep(objNew(tpoint()));
  object->style = 3 << 5 | 1;
  std::string text;
  EXPECT_EQ(get(object, "linefont", &text), 0);
  EXPECT_EQ(text, "(Dotted)");
  EXPECT_EQ(get(object, "lineweight", &text), 0);
  EXPECT_EQ(text, "0.016");

  EXPECT_EQ(set(object, "pattern", str("dash")), 0);
  EXPECT_EQ(gobjLineFont(object), 4);
  EXPECT_EQ(gobjPen(object), 3);
  EXPECT_EQ(set(object, "linefont", str("Nosuch")), tblErrNotFound);
  EXPECT_EQ(gobjLineFont(object), 4);

  EXPECT_EQ(set(object, "lineweight", execfx::real(0.0185)), 0);
  EXPECT_EQ(gobjPen(object), 4);
  EXPECT_EQ(gobjLineFont(object), 4);
}

}  // namespace
