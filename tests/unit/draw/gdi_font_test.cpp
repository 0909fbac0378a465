// Font faces, the font cache and the text form of font descriptions.
#include "gx_state_fixture.h"

#include <cstring>

TEST_F(GxStateTest, FaceNamesStartWithTheBuiltInOnes) {
  EXPECT_EQ(gdiFontFaceAdd("Courier", 7), 3);
  EXPECT_EQ(gdiFontFaceAdd("COURIER", 7), 3);
  EXPECT_EQ(gdiFontFaceAdd("Courier New", 7), 3);  // only the length given counts
  EXPECT_EQ(gdiFontFaceAdd("Courier New", 11), 4);
  EXPECT_EQ(gdiFontFaceAdd("Fixed", 5), 2);
  EXPECT_STREQ(gdiFontFaceName(0), "system");
  EXPECT_STREQ(gdiFontFaceName(1), "application");
  EXPECT_STREQ(gdiFontFaceName(2), "fixed");
  EXPECT_STREQ(gdiFontFaceName(4), "Courier New");
  EXPECT_STREQ(gdiFontFaceName(99), "???");
  EXPECT_STREQ(gdiFontFaceName(-1), "???");
  for (int i = 0; i < 20; i++) {  // the table grows past its first blocks
    const std::string name = "Face" + std::to_string(i);
    EXPECT_EQ(gdiFontFaceAdd(name.c_str(), static_cast<int>(name.size())), 5 + i);
  }
  EXPECT_STREQ(gdiFontFaceName(24), "Face19");
}

TEST_F(GxStateTest, FontSpecParse) {
  plTestSetFontFamilies({{"Helvetica"}, {"Arial"}, {"Courier New", true}});
  struct {
    const char* text;
    gxFontSpec start;
    int answer;
    const char* face;  // null: the face index stays as it started
    uint16_t size;
    uint8_t style;
  } cases[] = {
      {"Arial.12.b", {0, 0, 0}, 0, "Arial", 12, 1},
      {"12.n", {0, 10, 1}, 0, nullptr, 12, 0},
      {"12", {0, 10, 1}, 0, nullptr, 12, 1},
      {"Courier New.9.i", {0, 0, 0}, 0, "Courier New", 9, 0},
      {"12.Nosuch", {0, 10, 0}, -1, nullptr, 12, 0},
      {"Nosuch.12.b", {0, 10, 0}, -1, nullptr, 10, 0},
      {"arial.12", {0, 10, 0}, -1, nullptr, 10, 0},  // families compare exactly
      {"b..14", {0, 10, 0}, 0, nullptr, 14, 1},
      {"99999999", {0, 10, 0}, 0, nullptr, 0xFFFF, 0},
      {"", {1, 10, 1}, 0, nullptr, 10, 1},
  };
  for (const auto& c : cases) {
    gxFontSpec spec = c.start;
    EXPECT_EQ(gxFontSpecParse(c.text, static_cast<int>(std::strlen(c.text)), &spec), c.answer) << c.text;
    if (c.face)
      EXPECT_STREQ(gdiFontFaceName(spec.face), c.face) << c.text;
    else
      EXPECT_EQ(spec.face, c.start.face) << c.text;
    EXPECT_EQ(spec.size, c.size) << c.text;
    EXPECT_EQ(spec.style, c.style) << c.text;
  }
}

// With a fresh face table the first family parsed is face 3.
TEST_F(GxStateTest, FontSpecParseStoresTheFaceIndex) {
  plTestSetFontFamilies({{"Arial"}});  // the installed families vary by machine
  gxFontSpec spec{0, 0, 0};
  EXPECT_EQ(gxFontSpecParse("Arial.12.b", 10, &spec), 0);
  EXPECT_EQ(spec.face, 3);
  EXPECT_EQ(spec.size, 12);
  EXPECT_EQ(spec.style, 1);
  gxFontSpec other{0, 0, 0};
  EXPECT_EQ(gxFontSpecParse("12.Nosuch", 9, &other), -1);
  EXPECT_EQ(other.size, 12);
}

TEST_F(GxStateTest, FontSpecName) {
  const int arial = gdiFontFaceAdd("Arial", 5);
  struct {
    gxFontSpec spec;
    int bufferSize;
    const char* text;
  } cases[] = {
      {{static_cast<uint16_t>(arial), 12, 1}, 32, "Arial.12"},
      {{static_cast<uint16_t>(arial), 0, 0}, 32, "Arial"},
      {{99, 8, 0}, 32, "???.8"},
      {{static_cast<uint16_t>(arial), 12, 0}, 7, "Arial."},
      {{static_cast<uint16_t>(arial), 12, 0}, 4, "Ari"},
      {{static_cast<uint16_t>(arial), 65535, 0}, 32, "Arial.65535"},
  };
  for (const auto& c : cases) {
    char buffer[32];
    std::memset(buffer, 'x', sizeof(buffer));
    const int n = gxFontSpecName(&c.spec, buffer, c.bufferSize);
    EXPECT_STREQ(buffer, c.text);
    EXPECT_EQ(n, static_cast<int>(std::strlen(c.text)));
  }
  char one[1] = {'x'};
  gxFontSpec spec{static_cast<uint16_t>(arial), 12, 0};
  EXPECT_EQ(gxFontSpecName(&spec, one, 1), 0);
  EXPECT_EQ(one[0], 0);
}

// Heights at the screen's 96 dpi: (96 x points + 36) / 72 + 1.
TEST_F(GxStateTest, FontHeightsFollowThePoints) {
  const int face = gdiFontFaceAdd("Arial", 5);
  struct {
    int points, height;
  } cases[] = {{10, 14}, {9, 13}, {12, 17}, {0, 1}};
  for (const auto& c : cases) {
    HFONT font = gdiFontGet(face, c.points, 0);
    ASSERT_NE(font, nullptr);
    LOGFONTA lf{};
    ASSERT_NE(GetObjectA(font, sizeof(lf), &lf), 0);
    EXPECT_EQ(lf.lfHeight, c.height) << c.points;
    EXPECT_EQ(lf.lfWeight, FW_NORMAL);
    EXPECT_EQ(lf.lfCharSet & 0x80, 0x80);
    EXPECT_STREQ(lf.lfFaceName, "Arial");
  }
  HFONT bold = gdiFontGet(face, 10, gxFontBold);
  LOGFONTA lf{};
  GetObjectA(bold, sizeof(lf), &lf);
  EXPECT_EQ(lf.lfWeight, FW_BOLD);
  EXPECT_EQ(gdiFontGet(face, 10, gxFontBold), bold);  // cached
  EXPECT_EQ(gdiFontCacheCount(), 5u);
  HFONT unknown = gdiFontGet(77, 10, 0);  // a face beyond the table
  GetObjectA(unknown, sizeof(lf), &lf);
  EXPECT_STREQ(lf.lfFaceName, "???");
}

TEST_F(GxStateTest, BuiltInFacesUseStockFonts) {
  EXPECT_EQ(gdiFontGet(gdiFaceSystem, 10, 0), GetStockObject(SYSTEM_FONT));
  EXPECT_EQ(gdiFontGet(gdiFaceApplication, 10, 0), GetStockObject(ANSI_VAR_FONT));
  EXPECT_EQ(gdiFontGet(gdiFaceFixed, 10, 0), GetStockObject(ANSI_FIXED_FONT));
  HFONT bold = gdiFontGet(gdiFaceFixed, 10, gxFontBold);
  ASSERT_NE(bold, nullptr);
  EXPECT_NE(bold, GetStockObject(ANSI_FIXED_FONT));
  LOGFONTA stock{}, lf{};
  GetObjectA(GetStockObject(ANSI_FIXED_FONT), sizeof(stock), &stock);
  GetObjectA(bold, sizeof(lf), &lf);
  EXPECT_EQ(lf.lfWeight, FW_BOLD);
  EXPECT_EQ(lf.lfHeight, stock.lfHeight);
  EXPECT_STREQ(lf.lfFaceName, stock.lfFaceName);
  gdiFontCacheFree();  // the stock fonts survive
  EXPECT_EQ(gdiFontCacheCount(), 0u);
  EXPECT_NE(GetObjectA(GetStockObject(ANSI_FIXED_FONT), sizeof(stock), &stock), 0);
  EXPECT_EQ(GetObjectA(bold, sizeof(lf), &lf), 0);
}

TEST_F(GxStateTest, SetFontSelectsIntoTheDevice) {
  HDC dc = pushDevice(4, 4, nullptr);
  gxFontSpec spec{static_cast<uint16_t>(gdiFontFaceAdd("Arial", 5)), 12, 1};
  gxFontSpec previous{9, 9, 9};
  gxSetFont(&spec, &previous);
  EXPECT_EQ(previous.face, 0);
  EXPECT_EQ(previous.size, 0);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), gdiFontGet(spec.face, 12, 1));
  gxSetFont(nullptr, &previous);
  EXPECT_EQ(previous.face, spec.face);
  EXPECT_EQ(previous.size, 12);
  EXPECT_EQ(previous.style, 1);
}
