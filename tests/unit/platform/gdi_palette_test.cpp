// Logical palettes: entries kept as created, read back, selected into a DC,
// refused deletion while selected.
#include "platform/gdi_fixture.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A palette block of n entries laid out as callers lay them: the header and
// then the entries.
struct Block {
  WORD version = 0x300;
  WORD count = 0;
  PALETTEENTRY entries[8];
};

HPALETTE make(Block& block) { return CreatePalette(reinterpret_cast<const LOGPALETTE*>(&block)); }

}  // namespace

TEST_F(GdiTest, PaletteKeepsItsEntries) {
  Block block;
  block.count = 3;
  block.entries[0] = {5, 0, 0, PC_EXPLICIT};
  block.entries[1] = {0xFF, 0x7F, 0x7F, PC_NOCOLLAPSE};
  block.entries[2] = {1, 2, 3, PC_NOCOLLAPSE};
  HPALETTE palette = make(block);
  ASSERT_NE(palette, nullptr);
  EXPECT_EQ(GetObjectType(palette), DWORD(OBJ_PAL));
  const std::vector<PALETTEENTRY> entries = plTestPaletteEntries(palette);
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[1].peRed, 0xFF);
  EXPECT_EQ(entries[1].peGreen, 0x7F);
  EXPECT_EQ(entries[2].peBlue, 3);
  EXPECT_EQ(entries[0].peFlags, PC_EXPLICIT);

  PALETTEENTRY out[4] = {};
  EXPECT_EQ(GetPaletteEntries(palette, 0, 0, nullptr), 3u);
  EXPECT_EQ(GetPaletteEntries(palette, 1, 4, out), 2u);
  EXPECT_EQ(out[1].peGreen, 2);
  EXPECT_EQ(GetPaletteEntries(palette, 3, 1, out), 0u);
}

TEST_F(GdiTest, PaletteCreationChecksTheBlock) {
  Block block;
  block.count = 0;
  HPALETTE empty = make(block);
  ASSERT_NE(empty, nullptr);
  EXPECT_TRUE(plTestPaletteEntries(empty).empty());
  block.version = 0x200;
  EXPECT_EQ(make(block), nullptr);
  EXPECT_EQ(CreatePalette(nullptr), nullptr);
  EXPECT_TRUE(plTestPaletteEntries(reinterpret_cast<HPALETTE>(GetStockObject(WHITE_BRUSH))).empty());
}

TEST_F(GdiTest, SelectedPaletteIsNotDeleted) {
  Block block;
  block.count = 1;
  HPALETTE palette = make(block);
  HPALETTE previous = SelectPalette(dc, palette, FALSE);
  EXPECT_EQ(previous, GetStockObject(DEFAULT_PALETTE));
  EXPECT_EQ(RealizePalette(dc), 0u);
  EXPECT_EQ(DeleteObject(palette), FALSE);
  EXPECT_EQ(SelectPalette(dc, previous, FALSE), palette);
  EXPECT_EQ(DeleteObject(palette), TRUE);
  EXPECT_TRUE(plTestPaletteEntries(palette).empty());
  EXPECT_EQ(SelectPalette(dc, palette, FALSE), nullptr);
}
