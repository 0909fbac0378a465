// Fonts keep their LOGFONTA, the stock fonts' cells, TextOutA's background
// cell by mode, and the font families enumerated (installed, or the list a
// test sets). Glyphs, metrics and layout: gdi_glyph_test.cpp.
#include "platform/gdi_fixture.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

using GdiText = GdiTest;

HFONT makeFont(LONG height, LONG width = 0, const char* face = "Arial") {
  LOGFONTA lf{};
  lf.lfHeight = height;
  lf.lfWidth = width;
  lf.lfWeight = FW_NORMAL;
  std::strcpy(lf.lfFaceName, face);
  return CreateFontIndirectA(&lf);
}

TEST_F(GdiText, FontKeepsItsLogFont) {
  LOGFONTA lf{};
  lf.lfHeight = 23;
  lf.lfWeight = FW_BOLD;
  lf.lfItalic = 1;
  lf.lfCharSet = 0x80;  // SHIFTJIS_CHARSET
  lf.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
  std::memset(lf.lfFaceName, 'x', LF_FACESIZE);  // no terminator: 32 characters at most
  HFONT font = CreateFontIndirectA(&lf);
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(GetObjectType(font), static_cast<DWORD>(OBJ_FONT));
  EXPECT_EQ(GetObjectA(font, 0, nullptr), static_cast<int>(sizeof(LOGFONTA)));
  LOGFONTA back{};
  ASSERT_EQ(GetObjectA(font, sizeof back, &back), static_cast<int>(sizeof(LOGFONTA)));
  EXPECT_EQ(back.lfHeight, 23);
  EXPECT_EQ(back.lfWeight, FW_BOLD);
  EXPECT_EQ(back.lfItalic, 1);
  EXPECT_EQ(back.lfCharSet, SHIFTJIS_CHARSET);
  EXPECT_EQ(back.lfPitchAndFamily, FIXED_PITCH | FF_MODERN);
  EXPECT_EQ(std::string(back.lfFaceName), std::string(LF_FACESIZE - 1, 'x'));
  EXPECT_EQ(GetObjectA(font, sizeof back - 1, &back), 0);  // too small
  EXPECT_EQ(CreateFontIndirectA(nullptr), nullptr);
  EXPECT_TRUE(DeleteObject(font));
}

TEST_F(GdiText, StockFontsFitTheirCells) {
  for (int index : {ANSI_FIXED_FONT, ANSI_VAR_FONT, SYSTEM_FONT, SYSTEM_FIXED_FONT, DEFAULT_GUI_FONT}) {
    SelectObject(dc, GetStockObject(index));
    TEXTMETRICA tm{};
    ASSERT_TRUE(GetTextMetricsA(dc, &tm));
    EXPECT_LE(tm.tmHeight, 16) << index;  // cells of 16 pixels at most
    EXPECT_GE(tm.tmHeight, 14) << index;
    EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent) << index;
    // The TMPF_FIXED_PITCH bit is set for variable-pitch fonts.
    const bool fixed = index == ANSI_FIXED_FONT || index == SYSTEM_FIXED_FONT;
    EXPECT_EQ((tm.tmPitchAndFamily & TMPF_FIXED_PITCH) == 0, fixed) << index;
    SIZE i{}, m{};
    GetTextExtentPoint32A(dc, "i", 1, &i);
    GetTextExtentPoint32A(dc, "m", 1, &m);
    EXPECT_EQ(i.cx == m.cx, fixed) << index;
    LOGFONTA lf{};
    EXPECT_EQ(GetObjectA(GetStockObject(index), sizeof lf, &lf), static_cast<int>(sizeof lf));
    EXPECT_EQ(lf.lfHeight, 16);
  }
  // A new DC's font is the system font.
  SelectObject(dc, GetStockObject(SYSTEM_FONT));
  TEXTMETRICA system{};
  GetTextMetricsA(dc, &system);
  HDC fresh = CreateCompatibleDC(nullptr);
  TEXTMETRICA tm{};
  ASSERT_TRUE(GetTextMetricsA(fresh, &tm));
  EXPECT_EQ(tm.tmHeight, system.tmHeight);
  EXPECT_EQ(tm.tmWeight, system.tmWeight);
  DeleteDC(fresh);
  EXPECT_FALSE(GetTextMetricsA(dc, nullptr));
  EXPECT_FALSE(GetTextMetricsA(nullptr, &tm));
}

// The cell of the text is filled in OPAQUE mode only; the numbers come from
// the font's metrics.
TEST_F(GdiText, TextOutFillsTheCellBackgroundOnlyWhenOpaque) {
  HFONT font = makeFont(-8, 0, "DejaVu Sans");
  SelectObject(dc, font);
  TEXTMETRICA tm{};
  ASSERT_TRUE(GetTextMetricsA(dc, &tm));
  SIZE ab{};
  ASSERT_TRUE(GetTextExtentPoint32A(dc, "ab", 2, &ab));
  ASSERT_LE(ab.cx + 1, kSize);
  SetBkColor(dc, RGB(0, 0, 0));
  SetTextColor(dc, RGB(0, 0, 0));
  SetROP2(dc, R2_XORPEN);  // text ignores it
  ASSERT_TRUE(TextOutA(dc, 1, 1, "ab", 2));
  EXPECT_EQ(inked(), ab.cx * tm.tmHeight);
  EXPECT_EQ(at(1, 1), RGB(0, 0, 0));
  EXPECT_EQ(at(ab.cx, tm.tmHeight), RGB(0, 0, 0));
  EXPECT_EQ(at(ab.cx + 1, 1), RGB(255, 255, 255));

  RECT all{0, 0, kSize, kSize};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SetBkMode(dc, TRANSPARENT);
  ASSERT_TRUE(TextOutA(dc, 1, 1, "ab", 2));
  EXPECT_GT(inked(), 0);
  EXPECT_LT(inked(), ab.cx * tm.tmHeight);
  EXPECT_EQ(at(1, 1), RGB(255, 255, 255));

  EXPECT_FALSE(TextOutA(nullptr, 0, 0, "a", 1));
  EXPECT_FALSE(TextOutA(dc, 0, 0, nullptr, 1));
  EXPECT_EQ(plTestGdiCallCount("TextOutA"), 2);
  SelectObject(dc, GetStockObject(SYSTEM_FONT));
  DeleteObject(font);
}

struct Seen {
  std::string face;
  std::string fullName;
  std::string style;
  BYTE pitchAndFamily;
  BYTE charSet;
  LONG height;
  DWORD ntmFlags;
  UINT cellHeight;
  DWORD type;
};

struct Collector {
  std::vector<Seen> seen;
  int stopAfter = -1;  // answer 0 after this many calls
};

int CALLBACK collect(const LOGFONTA* lf, const TEXTMETRICA* tm, DWORD type, LPARAM data) {
  auto* c = reinterpret_cast<Collector*>(data);
  const auto* elf = reinterpret_cast<const ENUMLOGFONTA*>(lf);
  const auto* ntm = reinterpret_cast<const NEWTEXTMETRICA*>(tm);
  c->seen.push_back(Seen{lf->lfFaceName, reinterpret_cast<const char*>(elf->elfFullName),
                         reinterpret_cast<const char*>(elf->elfStyle), lf->lfPitchAndFamily, lf->lfCharSet,
                         tm->tmHeight, ntm->ntmFlags, ntm->ntmCellHeight, type});
  return static_cast<int>(c->seen.size()) == c->stopAfter ? 0 : 7;
}

TEST_F(GdiText, EnumFontFamiliesReportsEachFamilyOfTheList) {
  Collector byDefault;
  EnumFontFamiliesA(dc, nullptr, collect, reinterpret_cast<LPARAM>(&byDefault));
  // By default the installed families, the stock fonts' among them.
  bool sans = false, mono = false;
  for (const Seen& s : byDefault.seen) {
    sans |= s.face == "DejaVu Sans" && (s.pitchAndFamily & 3) == VARIABLE_PITCH;
    mono |= s.face == "DejaVu Sans Mono" && (s.pitchAndFamily & 3) == FIXED_PITCH;
  }
  EXPECT_TRUE(sans);
  EXPECT_TRUE(mono);

  plTestSetFontFamilies({{"Plain Sans", false, ANSI_CHARSET}, {"Mono", true, SHIFTJIS_CHARSET}, {"Third"}});
  Collector all;
  EXPECT_EQ(EnumFontFamiliesA(dc, nullptr, collect, reinterpret_cast<LPARAM>(&all)), 7);
  ASSERT_EQ(all.seen.size(), 3u);
  EXPECT_EQ(all.seen[0].face, "Plain Sans");
  EXPECT_EQ(all.seen[0].fullName, "Plain Sans");
  EXPECT_EQ(all.seen[0].style, "Regular");
  EXPECT_EQ(all.seen[0].pitchAndFamily & 3, VARIABLE_PITCH);
  EXPECT_EQ(all.seen[1].face, "Mono");
  EXPECT_EQ(all.seen[1].pitchAndFamily & 3, FIXED_PITCH);
  EXPECT_EQ(all.seen[1].charSet, SHIFTJIS_CHARSET);
  EXPECT_EQ(all.seen[2].face, "Third");
  for (const Seen& s : all.seen) {
    EXPECT_EQ(s.type, static_cast<DWORD>(TRUETYPE_FONTTYPE));
    EXPECT_EQ(s.ntmFlags, static_cast<DWORD>(NTM_REGULAR));
    EXPECT_GT(s.height, 0);
    EXPECT_EQ(s.cellHeight, static_cast<UINT>(s.height));
  }

  // Answering 0 stops the enumeration, and is what it answers.
  Collector first;
  first.stopAfter = 1;
  EXPECT_EQ(EnumFontFamiliesA(dc, nullptr, collect, reinterpret_cast<LPARAM>(&first)), 0);
  EXPECT_EQ(first.seen.size(), 1u);

  // A family name picks that family alone, without regard to case.
  Collector named;
  EnumFontFamiliesA(dc, "mono", collect, reinterpret_cast<LPARAM>(&named));
  ASSERT_EQ(named.seen.size(), 1u);
  EXPECT_EQ(named.seen[0].face, "Mono");
  Collector none;
  EXPECT_EQ(EnumFontFamiliesA(dc, "Arial", collect, reinterpret_cast<LPARAM>(&none)), 1);
  EXPECT_TRUE(none.seen.empty());

  // The reset brings the default list back.
  plTestReset();
  HDC fresh = CreateCompatibleDC(nullptr);
  Collector again;
  EnumFontFamiliesA(fresh, nullptr, collect, reinterpret_cast<LPARAM>(&again));
  EXPECT_EQ(again.seen.size(), byDefault.seen.size());
  DeleteDC(fresh);
  dc = nullptr;  // gone with the reset
}

}  // namespace
