// Fonts and text without glyphs: fonts keep their LOGFONTA, cell metrics and
// extents, TextOutA's background cell by mode and alignment, and the font
// families enumerated from the list a test sets.
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

TEST_F(GdiText, MetricsComeFromTheCellHeight) {
  struct Case {
    LONG height, width;
    LONG cell, ascent, descent, charWidth;
  };
  const Case cases[] = {
      {20, 0, 20, 16, 4, 10},
      {-30, 0, 30, 24, 6, 15},  // a character height counts as the cell here
      {0, 0, 16, 12, 4, 8},     // the default size
      {12, 5, 12, 9, 3, 5},     // an explicit width
      {1, 0, 1, 0, 1, 1},       // never narrower than one pixel
  };
  for (const Case& c : cases) {
    HFONT font = makeFont(c.height, c.width);
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICA tm{};
    ASSERT_TRUE(GetTextMetricsA(dc, &tm));
    EXPECT_EQ(tm.tmHeight, c.cell) << "lfHeight " << c.height;
    EXPECT_EQ(tm.tmAscent, c.ascent) << "lfHeight " << c.height;
    EXPECT_EQ(tm.tmDescent, c.descent) << "lfHeight " << c.height;
    EXPECT_EQ(tm.tmAveCharWidth, c.charWidth) << "lfHeight " << c.height;
    EXPECT_EQ(tm.tmWeight, FW_NORMAL);
    SIZE size{};
    ASSERT_TRUE(GetTextExtentPoint32A(dc, "abcdefg", 3, &size));
    EXPECT_EQ(size.cx, 3 * c.charWidth);
    EXPECT_EQ(size.cy, c.cell);
    SelectObject(dc, old);
    DeleteObject(font);
  }
  SIZE size{1, 1};
  EXPECT_TRUE(GetTextExtentPoint32A(dc, "", 0, &size));
  EXPECT_EQ(size.cx, 0);
  EXPECT_FALSE(GetTextExtentPoint32A(nullptr, "a", 1, &size));
  EXPECT_FALSE(GetTextMetricsA(dc, nullptr));
}

TEST_F(GdiText, StockFontsHaveFixedMetrics) {
  for (int index : {ANSI_FIXED_FONT, ANSI_VAR_FONT, SYSTEM_FONT, SYSTEM_FIXED_FONT}) {
    SelectObject(dc, GetStockObject(index));
    TEXTMETRICA tm{};
    ASSERT_TRUE(GetTextMetricsA(dc, &tm));
    EXPECT_EQ(tm.tmHeight, 16) << index;
    EXPECT_EQ(tm.tmAscent, 12) << index;
    EXPECT_EQ(tm.tmDescent, 4) << index;
    EXPECT_EQ(tm.tmAveCharWidth, 8) << index;
    // The TMPF_FIXED_PITCH bit is set for variable-pitch fonts.
    const bool fixed = index == ANSI_FIXED_FONT || index == SYSTEM_FIXED_FONT;
    EXPECT_EQ((tm.tmPitchAndFamily & TMPF_FIXED_PITCH) == 0, fixed) << index;
    LOGFONTA lf{};
    EXPECT_EQ(GetObjectA(GetStockObject(index), sizeof lf, &lf), static_cast<int>(sizeof lf));
    EXPECT_EQ(lf.lfHeight, 16);
  }
  // A new DC's font is the system font.
  HDC fresh = CreateCompatibleDC(nullptr);
  TEXTMETRICA tm{};
  ASSERT_TRUE(GetTextMetricsA(fresh, &tm));
  EXPECT_EQ(tm.tmHeight, 16);
  DeleteDC(fresh);
}

TEST_F(GdiText, TextOutFillsTheCellBackgroundOnlyWhenOpaque) {
  HFONT font = makeFont(4);  // cells of 2 x 4, ascent 3
  SelectObject(dc, font);
  SetBkColor(dc, RGB(0, 0, 0));
  SetTextColor(dc, RGB(255, 0, 0));
  SetROP2(dc, R2_XORPEN);  // text ignores it
  ASSERT_TRUE(TextOutA(dc, 1, 1, "ab", 2));
  EXPECT_EQ(picture(0, 0, 6, 6), "......\n.####.\n.####.\n.####.\n.####.\n......\n");

  SetBkMode(dc, TRANSPARENT);
  ASSERT_TRUE(TextOutA(dc, 10, 10, "abc", 3));
  EXPECT_EQ(inked(), 16);

  EXPECT_FALSE(TextOutA(nullptr, 0, 0, "a", 1));
  EXPECT_FALSE(TextOutA(dc, 0, 0, nullptr, 1));
  EXPECT_EQ(plTestGdiCallCount("TextOutA"), 2);
  SelectObject(dc, GetStockObject(SYSTEM_FONT));
  DeleteObject(font);
}

TEST_F(GdiText, AlignmentPlacesTheCellAroundTheReferencePoint) {
  HFONT font = makeFont(5);  // cells of 2 x 5, ascent 4
  SelectObject(dc, font);
  SetBkColor(dc, RGB(0, 0, 0));
  struct Case {
    UINT align;
    RECT cell;  // for "ab" at (10, 10)
  };
  const Case cases[] = {
      {TA_TOP | TA_LEFT, {10, 10, 14, 15}},
      {TA_BASELINE | TA_LEFT, {10, 6, 14, 11}},
      {TA_BOTTOM | TA_RIGHT, {6, 5, 10, 10}},
      {TA_TOP | TA_CENTER, {8, 10, 12, 15}},
  };
  for (const Case& c : cases) {
    RECT all{0, 0, kSize, kSize};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetTextAlign(dc, c.align);
    EXPECT_EQ(GetTextAlign(dc), c.align);
    ASSERT_TRUE(TextOutA(dc, 10, 10, "ab", 2));
    const int area = (c.cell.right - c.cell.left) * (c.cell.bottom - c.cell.top);
    EXPECT_EQ(inked(), area) << "align " << c.align;
    EXPECT_EQ(at(c.cell.left, c.cell.top), RGB(0, 0, 0)) << "align " << c.align;
    EXPECT_EQ(at(c.cell.right - 1, c.cell.bottom - 1), RGB(0, 0, 0)) << "align " << c.align;
  }

  // With TA_UPDATECP the text starts at the current position and moves it on.
  SetTextAlign(dc, TA_UPDATECP);
  MoveToEx(dc, 3, 2, nullptr);
  ASSERT_TRUE(TextOutA(dc, 100, 100, "abc", 3));
  POINT cp{};
  GetCurrentPositionEx(dc, &cp);
  EXPECT_EQ(cp.x, 9);
  EXPECT_EQ(cp.y, 2);
  EXPECT_EQ(at(3, 2), RGB(0, 0, 0));
  EXPECT_EQ(at(8, 6), RGB(0, 0, 0));
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
  bool arial = false;
  for (const Seen& s : byDefault.seen) arial |= s.face == "Arial";
  EXPECT_TRUE(arial);

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
