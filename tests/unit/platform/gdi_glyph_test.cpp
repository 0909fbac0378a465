// Text with glyphs: metrics and extents against FreeType's own figures for
// the face the platform resolves, where alignment, background, clipping and
// colour put the ink, DrawTextA's layout, and a picture of the stock fonts.
#include "platform/fixture.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);

class Glyphs : public PlatformTest {
 protected:
  void SetUp() override {
    PlatformTest::SetUp();
    dc = CreateCompatibleDC(nullptr);
    bitmap = makeBitmap(kWidth, kHeight);
    SelectObject(dc, bitmap);
    clear();
  }
  void TearDown() override {
    if (dc) {
      SelectObject(dc, GetStockObject(SYSTEM_FONT));
      DeleteDC(dc);
    }
    for (HFONT f : fonts) DeleteObject(f);
    if (bitmap) DeleteObject(bitmap);
    PlatformTest::TearDown();
  }

  static HBITMAP makeBitmap(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  }

  HFONT font(LONG height, const char* face, LONG weight = FW_NORMAL, BYTE italic = 0) {
    LOGFONTA lf{};
    lf.lfHeight = height;
    lf.lfWeight = weight;
    lf.lfItalic = italic;
    std::strcpy(lf.lfFaceName, face);
    HFONT f = CreateFontIndirectA(&lf);
    fonts.push_back(f);
    return f;
  }

  void clear() {
    RECT all{0, 0, kWidth, kHeight};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  }
  COLORREF at(int x, int y) const { return plTestBitmapPixel(bitmap, x, y); }

  // The bounding box of the pixels that are not white (empty when none).
  RECT ink() const {
    RECT box{kWidth, kHeight, 0, 0};
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x)
        if (at(x, y) != kWhite) {
          box.left = std::min<LONG>(box.left, x);
          box.top = std::min<LONG>(box.top, y);
          box.right = std::max<LONG>(box.right, x + 1);
          box.bottom = std::max<LONG>(box.bottom, y + 1);
        }
    return box;
  }
  static bool empty(const RECT& r) { return r.right <= r.left; }
  static bool within(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
  }

  TEXTMETRICA metrics() {
    TEXTMETRICA tm{};
    EXPECT_TRUE(GetTextMetricsA(dc, &tm));
    return tm;
  }
  SIZE extent(const char* text) {
    SIZE s{};
    EXPECT_TRUE(GetTextExtentPoint32A(dc, text, static_cast<int>(std::strlen(text)), &s));
    return s;
  }

  static constexpr int kWidth = 240;
  static constexpr int kHeight = 80;
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  std::vector<HFONT> fonts;
};

// FreeType's view of a font file at an em size.
struct FreeTypeFace {
  FreeTypeFace(const std::string& file, int index, int pixels) {
    ok = FT_Init_FreeType(&lib) == 0 && FT_New_Face(lib, file.c_str(), index, &face) == 0 &&
         FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixels)) == 0;
  }
  ~FreeTypeFace() {
    if (face) FT_Done_Face(face);
    if (lib) FT_Done_FreeType(lib);
  }
  long width(const char* text) const {
    long sum = 0;
    for (const char* p = text; *p; ++p) {
      EXPECT_EQ(FT_Load_Char(face, static_cast<unsigned char>(*p), FT_LOAD_DEFAULT), 0);
      sum += (face->glyph->advance.x + 32) >> 6;
    }
    return sum;
  }
  FT_Library lib = nullptr;
  FT_Face face = nullptr;
  bool ok = false;
};

constexpr const char* kSample = "Hello, plumet 0123";

TEST_F(Glyphs, MetricsAndExtentsAreFreeTypesForTheResolvedFace) {
  struct Case {
    const char* name;
    HFONT font;
    LONG lfHeight;       // 0 for the stock fonts (cells of 16)
    const char* file;    // a part of the file name fontconfig should choose
  };
  const Case cases[] = {
      {"ANSI_VAR_FONT", static_cast<HFONT>(GetStockObject(ANSI_VAR_FONT)), 16, "DejaVuSans.ttf"},
      {"ANSI_FIXED_FONT", static_cast<HFONT>(GetStockObject(ANSI_FIXED_FONT)), 16, "DejaVuSansMono.ttf"},
      {"SYSTEM_FONT", static_cast<HFONT>(GetStockObject(SYSTEM_FONT)), 16, "DejaVuSans-Bold.ttf"},
      {"DejaVu Serif -20", font(-20, "DejaVu Serif"), -20, "DejaVuSerif.ttf"},
      {"Arial 24 bold", font(24, "Arial", FW_BOLD), 24, "LiberationSans-Bold"},
      {"Times New Roman italic", font(-13, "Times New Roman", FW_NORMAL, 1), -13, "LiberationSerif-Italic"},
      {"Courier New 0", font(0, "Courier New"), 16, "LiberationMono-Regular"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SelectObject(dc, c.font);
    std::string file;
    int index = -1, em = 0;
    ASSERT_TRUE(plTestFontFile(c.font, &file, &index, &em));
    EXPECT_NE(file.find(c.file), std::string::npos) << file;
    const TEXTMETRICA tm = metrics();
    EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, em);
    if (c.lfHeight < 0) EXPECT_EQ(em, -c.lfHeight);
    else {
      // A cell height: the largest em whose cell fits.
      EXPECT_LE(tm.tmHeight, c.lfHeight);
      EXPECT_GE(tm.tmHeight, c.lfHeight - 2);
    }

    FreeTypeFace ft(file, index, em);
    ASSERT_TRUE(ft.ok);
    EXPECT_EQ(tm.tmAscent, ft.face->size->metrics.ascender >> 6);
    EXPECT_EQ(tm.tmDescent, -ft.face->size->metrics.descender >> 6);
    EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
    EXPECT_EQ((tm.tmPitchAndFamily & TMPF_FIXED_PITCH) == 0, FT_IS_FIXED_WIDTH(ft.face) != 0);
    EXPECT_EQ(tm.tmAveCharWidth, ft.width("x"));
    // The extent is the sum of the rounded advances, in any piece.
    EXPECT_EQ(extent(kSample).cx, ft.width(kSample));
    EXPECT_EQ(extent(kSample).cy, tm.tmHeight);
    EXPECT_EQ(extent("Hello,").cx + extent(" plumet 0123").cx, extent(kSample).cx);
  }
  SIZE none{5, 5};
  EXPECT_TRUE(GetTextExtentPoint32A(dc, "", 0, &none));
  EXPECT_EQ(none.cx, 0);
  EXPECT_FALSE(GetTextExtentPoint32A(dc, nullptr, 2, &none));
  EXPECT_FALSE(plTestFontFile(nullptr, nullptr, nullptr, nullptr));
}

TEST_F(Glyphs, AlignmentPlacesTheTextAroundTheReferencePoint) {
  SelectObject(dc, font(-20, "DejaVu Sans"));
  SetBkMode(dc, TRANSPARENT);
  const TEXTMETRICA tm = metrics();
  const LONG w = extent("HH").cx;
  const int x = 120, y = 40;
  struct Case {
    UINT align;
    LONG left, top;  // where the cell of "HH" lies for the reference point (x, y)
  };
  const Case cases[] = {
      {TA_TOP | TA_LEFT, x, y},
      {TA_TOP | TA_CENTER, x - w / 2, y},
      {TA_TOP | TA_RIGHT, x - w, y},
      {TA_BASELINE | TA_LEFT, x, y - tm.tmAscent},
      {TA_BOTTOM | TA_RIGHT, x - w, y - tm.tmHeight},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.align);
    clear();
    SetTextAlign(dc, c.align);
    ASSERT_TRUE(TextOutA(dc, x, y, "HH", 2));
    const RECT box = ink();
    ASSERT_FALSE(empty(box));
    EXPECT_TRUE(within(box, RECT{c.left, c.top, c.left + w, c.top + tm.tmHeight}));
    // "H" stands on the baseline.
    EXPECT_EQ(box.bottom, c.top + tm.tmAscent);
    EXPECT_GT(box.right - box.left, w / 2);
  }

  // TA_UPDATECP: the text starts at the current position and moves it on
  // (to the left for right-aligned text); centred text leaves it.
  struct Move {
    UINT align;
    LONG after;
  };
  const Move moves[] = {{TA_UPDATECP, 30 + w}, {TA_UPDATECP | TA_RIGHT, 30 - w}, {TA_UPDATECP | TA_CENTER, 30}};
  for (const Move& m : moves) {
    clear();
    SetTextAlign(dc, m.align);
    MoveToEx(dc, 30, 10, nullptr);
    ASSERT_TRUE(TextOutA(dc, 200, 200, "HH", 2));
    POINT cp{};
    GetCurrentPositionEx(dc, &cp);
    EXPECT_EQ(cp.x, m.after) << m.align;
    EXPECT_EQ(cp.y, 10) << m.align;
    const RECT box = ink();
    ASSERT_FALSE(empty(box)) << m.align;
    EXPECT_LT(box.top, 10 + tm.tmHeight) << m.align;  // drawn at the current position, not at (200, 200)
  }
}

TEST_F(Glyphs, BackgroundModeColourAndRop2) {
  SelectObject(dc, font(-24, "DejaVu Sans"));
  const TEXTMETRICA tm = metrics();
  const LONG w = extent("Hi").cx;
  SetTextColor(dc, RGB(255, 0, 0));
  SetBkColor(dc, RGB(0, 0, 255));
  SetROP2(dc, R2_XORPEN);  // text ignores it
  struct Case {
    int mode;
    COLORREF cellCorner;  // what the top-left pixel of the cell becomes
  };
  const Case cases[] = {{OPAQUE, RGB(0, 0, 255)}, {TRANSPARENT, kWhite}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    clear();
    SetBkMode(dc, c.mode);
    ASSERT_TRUE(TextOutA(dc, 10, 10, "Hi", 2));
    EXPECT_EQ(at(10, 10), c.cellCorner);
    EXPECT_EQ(at(10 + w - 1, 10 + tm.tmHeight - 1), c.cellCorner);
    EXPECT_TRUE(within(ink(), RECT{10, 10, 10 + w, 10 + tm.tmHeight}));
    // The stem of the H is fully covered: exactly the text colour; edges blend.
    int red = 0, blended = 0;
    for (int y = 10; y < 10 + tm.tmHeight; ++y)
      for (int x = 10; x < 10 + w; ++x) {
        const COLORREF p = at(x, y);
        red += p == RGB(255, 0, 0);
        blended += p != RGB(255, 0, 0) && p != c.cellCorner;
      }
    EXPECT_GT(red, 20);
    EXPECT_GT(blended, 0);
  }
}

TEST_F(Glyphs, ClipRegionAndExtTextOutRectangleCutTheGlyphs) {
  SelectObject(dc, font(-24, "DejaVu Sans"));
  SetBkMode(dc, TRANSPARENT);
  const LONG w = extent("MMMM").cx;
  const LONG cut = 10 + w / 2;

  // Clipped, the text is the unclipped text left of the edge and nothing
  // right of it.
  ASSERT_TRUE(TextOutA(dc, 10, 10, "MMMM", 4));
  std::vector<COLORREF> whole;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) whole.push_back(at(x, y));
  clear();
  HRGN region = CreateRectRgn(0, 0, cut, kHeight);
  SelectClipRgn(dc, region);
  ASSERT_TRUE(TextOutA(dc, 10, 10, "MMMM", 4));
  int differing = 0, cutAway = 0;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      const COLORREF expected = x < cut ? whole[static_cast<size_t>(y) * kWidth + x] : kWhite;
      differing += at(x, y) != expected;
      cutAway += x >= cut && whole[static_cast<size_t>(y) * kWidth + x] != kWhite;
    }
  EXPECT_EQ(differing, 0);
  EXPECT_GT(cutAway, 0);
  RECT box = ink();
  SelectClipRgn(dc, nullptr);
  DeleteObject(region);

  // ETO_CLIPPED keeps the text in the rectangle; ETO_OPAQUE fills it.
  struct Case {
    UINT options;
    bool filled;
    bool cut;
  };
  const Case cases[] = {{ETO_CLIPPED, false, true}, {ETO_OPAQUE, true, false}, {ETO_OPAQUE | ETO_CLIPPED, true, true}};
  const RECT r{5, 5, cut, 60};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.options);
    clear();
    SetBkColor(dc, RGB(0, 255, 0));
    ASSERT_TRUE(ExtTextOutA(dc, 10, 10, c.options, &r, "MMMM", 4, nullptr));
    EXPECT_EQ(at(5, 59) == RGB(0, 255, 0), c.filled);
    box = ink();
    if (c.cut) EXPECT_TRUE(within(box, r));
    else EXPECT_GT(box.right, cut);
  }
  // lpDx spreads the characters.
  clear();
  const INT dx[] = {40, 40};
  ASSERT_TRUE(ExtTextOutA(dc, 10, 10, 0, nullptr, "ii", 2, dx));
  box = ink();
  EXPECT_GT(box.right, 50);
  EXPECT_FALSE(ExtTextOutA(nullptr, 0, 0, 0, nullptr, "a", 1, nullptr));
}

TEST_F(Glyphs, DrawTextLaysOutLines) {
  SelectObject(dc, font(-16, "DejaVu Sans"));
  const TEXTMETRICA tm = metrics();
  const char* words = "one two three four five six seven";
  const LONG width = extent("three four").cx;

  // DT_CALCRECT with DT_WORDBREAK: lines no wider than the rectangle, as
  // many as the words need; without it, one line as wide as the text.
  RECT r{0, 0, width, 0};
  const int height = DrawTextA(dc, words, -1, &r, DT_CALCRECT | DT_WORDBREAK);
  EXPECT_LE(r.right, width);
  EXPECT_GT(r.right, width / 2);
  EXPECT_EQ(r.bottom, height);
  EXPECT_EQ(height % tm.tmHeight, 0);
  const int lines = height / tm.tmHeight;
  EXPECT_GE(lines, 3);
  EXPECT_LE(lines, 5);
  EXPECT_EQ(ink().right, 0);  // measuring draws nothing
  RECT one{0, 0, width, 0};
  EXPECT_EQ(DrawTextA(dc, words, -1, &one, DT_CALCRECT | DT_SINGLELINE), tm.tmHeight);
  EXPECT_EQ(one.right, extent(words).cx);
  RECT two{0, 0, 0, 0};
  EXPECT_EQ(DrawTextA(dc, "a\r\nb", -1, &two, DT_CALCRECT), 2 * tm.tmHeight);
  RECT led{0, 0, 0, 0};
  EXPECT_EQ(DrawTextA(dc, "a\nb", -1, &led, DT_CALCRECT | DT_EXTERNALLEADING),
            2 * (tm.tmHeight + tm.tmExternalLeading));

  // Prefixes: "&x" is x, "&&" an ampersand; DT_NOPREFIX keeps them.
  struct Prefix {
    const char* text;
    UINT format;
    const char* shown;
  };
  const Prefix prefixes[] = {{"&x", 0, "x"}, {"a&&b", 0, "a&b"}, {"&x", DT_NOPREFIX, "&x"}};
  for (const Prefix& p : prefixes) {
    RECT m{0, 0, 0, 0};
    DrawTextA(dc, p.text, -1, &m, DT_CALCRECT | DT_SINGLELINE | p.format);
    EXPECT_EQ(m.right, extent(p.shown).cx) << p.text;
  }

  // The wrapped text drawn: ink inside the rectangle, on every line.
  SetBkMode(dc, TRANSPARENT);
  RECT box{10, 5, 10 + width, 5 + height};
  EXPECT_EQ(DrawTextA(dc, words, -1, &box, DT_WORDBREAK), height);
  const RECT drawn = ink();
  EXPECT_TRUE(within(drawn, box));
  EXPECT_GT(drawn.bottom, 5 + height - tm.tmHeight);
  EXPECT_EQ(DrawTextA(nullptr, "a", 1, &box, 0), 0);
  EXPECT_EQ(DrawTextA(dc, "a", 1, nullptr, 0), 0);
}

TEST_F(Glyphs, DrawTextPlacesAndUnderlines) {
  SelectObject(dc, font(-16, "DejaVu Sans"));
  SetBkMode(dc, TRANSPARENT);
  const TEXTMETRICA tm = metrics();
  const LONG w = extent("HH").cx;
  const RECT r{20, 10, 220, 70};
  struct Case {
    UINT format;
    LONG left, top;  // of the cell
  };
  const Case cases[] = {
      {DT_SINGLELINE, 20, 10},
      {DT_SINGLELINE | DT_RIGHT, 220 - w, 10},
      {DT_SINGLELINE | DT_CENTER | DT_VCENTER, 20 + (200 - w) / 2, 10 + (60 - tm.tmHeight) / 2},
      {DT_SINGLELINE | DT_BOTTOM, 20, 70 - tm.tmHeight},
  };
  for (const Case& c : cases) {
    clear();
    RECT rr = r;
    DrawTextA(dc, "HH", 2, &rr, c.format);
    const RECT box = ink();
    EXPECT_TRUE(within(box, RECT{c.left, c.top, c.left + w, c.top + tm.tmHeight})) << c.format;
    EXPECT_EQ(box.bottom, c.top + tm.tmAscent) << c.format;
  }

  // "&H" underlines the H below the baseline; DT_NOPREFIX prints the "&"
  // and underlines nothing.
  struct Under {
    const char* text;
    UINT format;
    bool underline;
  };
  const Under unders[] = {{"&HH", 0, true}, {"HH", 0, false}, {"&HH", DT_NOPREFIX, false}};
  for (const Under& u : unders) {
    clear();
    RECT rr = r;
    DrawTextA(dc, u.text, -1, &rr, DT_SINGLELINE | u.format);
    const RECT box = ink();
    EXPECT_EQ(box.bottom > 10 + tm.tmAscent, u.underline) << u.text << " " << u.format;
    if (u.underline) {
      // Only the first H is underlined.
      bool under = false, pastIt = false;
      for (int y = 10 + tm.tmAscent; y < 10 + tm.tmHeight; ++y) {
        under |= at(22, y) != kWhite;
        pastIt |= at(20 + w - 2, y) != kWhite;
      }
      EXPECT_TRUE(under);
      EXPECT_FALSE(pastIt);
    }
  }
  clear();
  RECT rr = r;
  DrawTextA(dc, "&HH", -1, &rr, DT_SINGLELINE | DT_NOPREFIX);
  EXPECT_GT(ink().right, 20 + w);  // the ampersand takes room too
}

// Draws the sample in three stock fonts and a 24-pixel bold face, writes the
// picture to text_glyphs.png in the working directory, and checks that each
// string's ink lies in its extent.
TEST_F(Glyphs, PictureOfTheStockFontsAndABoldFace) {
  constexpr int width = 320, height = 120;
  HBITMAP picture = makeBitmap(width, height);
  HGDIOBJ old = SelectObject(dc, picture);
  RECT all{0, 0, width, height};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SetBkMode(dc, TRANSPARENT);
  const HFONT faces[] = {static_cast<HFONT>(GetStockObject(SYSTEM_FONT)),
                         static_cast<HFONT>(GetStockObject(ANSI_VAR_FONT)),
                         static_cast<HFONT>(GetStockObject(ANSI_FIXED_FONT)), font(-24, "DejaVu Sans", FW_BOLD)};
  std::vector<RECT> extents;
  int y = 4;
  for (HFONT f : faces) {
    SelectObject(dc, f);
    SIZE s{};
    ASSERT_TRUE(GetTextExtentPoint32A(dc, kSample, static_cast<int>(std::strlen(kSample)), &s));
    ASSERT_TRUE(TextOutA(dc, 8, y, kSample, static_cast<int>(std::strlen(kSample))));
    extents.push_back(RECT{8, y, 8 + s.cx, y + s.cy});
    y += s.cy + 6;
  }
  ASSERT_LE(y, height);
  std::vector<COLORREF> pixels(static_cast<size_t>(width) * height);
  for (int py = 0; py < height; ++py)
    for (int px = 0; px < width; ++px) pixels[static_cast<size_t>(py) * width + px] = plTestBitmapPixel(picture, px, py);
  EXPECT_TRUE(plTestWritePng("text_glyphs.png", width, height, pixels));

  std::vector<int> inkIn(extents.size(), 0);
  for (int py = 0; py < height; ++py)
    for (int px = 0; px < width; ++px) {
      if (pixels[static_cast<size_t>(py) * width + px] == kWhite) continue;
      bool inside = false;
      for (size_t i = 0; i < extents.size(); ++i) {
        const RECT& e = extents[i];
        if (px >= e.left && px < e.right && py >= e.top && py < e.bottom) {
          ++inkIn[i];
          inside = true;
        }
      }
      EXPECT_TRUE(inside) << px << "," << py;
    }
  for (size_t i = 0; i < extents.size(); ++i) EXPECT_GT(inkIn[i], 200) << "font " << i;
  SelectObject(dc, old);
  DeleteObject(picture);
}

}  // namespace
