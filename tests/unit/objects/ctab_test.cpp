// Colour tables: the default contents, the translations, the map with its
// monochrome collapse, the palette and the general table, the invert swap,
// the localisation of the default names, the attribute keys, copy and
// record I/O.
#include "ctab_fixture.h"

#include "core/alloc.h"
#include "memfile_fixture.h"
#include "objects/ioformat.h"

#include <platform_test.h>

#include <cstring>
#include <vector>

namespace {

using ctabfx::CTabTest;

uint32_t highBytes(const PALETTEENTRY& e) { return uint32_t(e.peRed) << 16 | uint32_t(e.peGreen) << 8 | e.peBlue; }

TEST_F(CTabTest, NewTableHasTheDefaultColours) {
  const cTab* table = makeCurrent();
  ASSERT_NE(table, nullptr);
  ASSERT_EQ(table->count, 256);
  for (int i = 0; i < 256; ++i) {
    EXPECT_EQ(cTabIndexInUse(table, i), i < 64) << i;
    EXPECT_EQ(table->entries[i].id, i) << i;
  }
  EXPECT_EQ(name(table, 0), "Black");
  EXPECT_EQ(name(table, 6), "Magenta");
  EXPECT_EQ(name(table, 63), "Vivid Tangerine");
  EXPECT_EQ(name(table, 64), "User <65>");
  EXPECT_EQ(name(table, 255), "User <256>");
  // Components are the list's fractions of 65535, truncated; unnamed entries
  // are mid grey.
  EXPECT_EQ(table->entries[6].rgb[0], 65535);
  EXPECT_EQ(table->entries[6].rgb[2], uint16_t(0.61 * 65535.0));
  EXPECT_EQ(table->entries[64].rgb[1], 32767);
  ASSERT_EQ(run("aAvailColorCount 1 aColorTranslateIDToName 300 aColorTranslateIDToName "
                "64 aColorTranslateIndexToName 3 aColorTranslateAIndexToName"),
            0);
  EXPECT_EQ(stack(), "64 (Red) (?\?\?) (?\?\?) (Green)");
  EXPECT_EQ(cTabLiveCount(), 1);
}

TEST_F(CTabTest, TranslationsBetweenIdsIndexesAndInUsePositions) {
  cTab* table = makeCurrent();
  // Entry 2 ("Yellow") is taken out of use: positions after it close up.
  table->entries[2].flags = 0;
  struct {
    const char* text;
    const char* stack;
  } cases[] = {
      {"-2 aColorTranslateIDToIndex -1 aColorTranslateIDToIndex -5 aColorTranslateIDToIndex", "-2 -1 -3"},
      {"255 aColorTranslateIDToIndex 256 aColorTranslateIDToIndex", "255 -1"},
      {"3 aColorTranslateIDToAIndex 2 aColorTranslateIDToAIndex 70 aColorTranslateIDToAIndex", "2 -1 -1"},
      {"2 aColorTranslateAIndexToID 62 aColorTranslateAIndexToID 63 aColorTranslateAIndexToID", "3 63 -1"},
      {"2 aColorTranslateIndexToID 64 aColorTranslateIndexToID 7 aColorTranslateIndexToID", "-1 -1 7"},
      {"2 aColorTranslateIDToName", "(?\?\?)"},
      // The palette entry of an id is an integer (its in-use position + 11).
      {"3 aColorTranslateIDToSysEntry dup type", "13 integertype"},
      {"(Wild Strawberry Red) aColorTruncateName (Red) aColorTruncateName", "(Wild Strawberry) (Red)"},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(run(c.text), 0) << c.text;
    EXPECT_EQ(stack(), c.stack) << c.text;
  }
}

TEST_F(CTabTest, WithoutATableTranslationsAnswerNone) {
  ASSERT_EQ(run("aColorTableGet 5 aColorTranslateIDToIndex 1 aColorTranslateIDToName aAvailColorCount"), 0);
  EXPECT_EQ(stack(), "-null- -1 (?\?\?) 0");
  colorEntryData data;
  ASSERT_TRUE(colorGetEntryData(5, &data));
  EXPECT_EQ(data.rgb[0], 0);  // black without a table
}

TEST_F(CTabTest, EntryDataForDrawing) {
  cTab* table = makeCurrent();
  table->entries[9].flags = 0;
  colorEntryData data;
  struct {
    int32_t id;
    uint16_t red, green, blue;
    const char* name;
  } cases[] = {
      {0, 0, 0, 0, ""},
      {7, 65535, 65535, 65535, ""},
      {-7, 65535, 65535, 65535, ""},
      {1, 65535, 0, 0, "Red"},
      {9, 65535, 32767, 32767, ""},           // not in use
      {-1, 65535, 0, 0, "Selection Color"},  // a negative index
      {300, 65535, 0, 0, "Selection Color"}, // beyond the table: no index
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(colorGetEntryData(c.id, &data)) << c.id;
    EXPECT_EQ(data.rgb[0], c.red) << c.id;
    EXPECT_EQ(data.rgb[1], c.green) << c.id;
    EXPECT_EQ(data.rgb[2], c.blue) << c.id;
    EXPECT_STREQ(data.name, c.name) << c.id;
  }
  uint16_t r, g, b;
  EXPECT_EQ(colorGetRGB(9, &r, &g, &b), 0);
  EXPECT_EQ(g, 32767);
  EXPECT_EQ(colorGetRGB(4, &r, &g, &b), 1);
  EXPECT_EQ(r, 0);
  EXPECT_EQ(b, 65535);
}

TEST_F(CTabTest, InvertSwapsBlackAndWhiteOnly) {
  makeCurrent();
  ASSERT_EQ(run("true aColorSetInvert aInvertGetState"), 0);
  EXPECT_EQ(stack(), "true");
  colorEntryData data;
  colorGetEntryData(0, &data);
  EXPECT_EQ(data.rgb[0], 65535);
  colorGetEntryData(7, &data);
  EXPECT_EQ(data.rgb[1], 0);
  colorGetEntryData(1, &data);
  EXPECT_EQ(data.rgb[0], 65535);
  EXPECT_EQ(gdiColorInverted(), 1);
  // The drawing layer's colour index is a colour id.
  EXPECT_EQ(gdiColorRGB(nullptr, 0) & 0xFFFFFF, RGB(255, 255, 255));
  EXPECT_EQ(gdiColorRGB(nullptr, 4) & 0xFFFFFF, RGB(0, 255, 255));
  ASSERT_EQ(run("false aColorSetInvert"), 0);
  EXPECT_EQ(gdiColorRGB(nullptr, 0) & 0xFFFFFF, RGB(0, 0, 0));
}

TEST_F(CTabTest, MonochromeMapsEveryIdButWhiteToBlack) {
  cTab* table = makeCurrent();
  // Black is made to live at index 5 so that the collapse is visible.
  std::swap(table->entries[0], table->entries[5]);
  cTabRebuild(table);
  ASSERT_EQ(cTabIdToIndex(table, 0), 5);
  gdiSetDeviceKind(CreateCompatibleDC(nullptr));  // a 1-bit device: monochrome
  for (int32_t id = 0; id < 256; ++id)
    if (id != colorIdWhite) {
      EXPECT_EQ(cTabIdToIndex(table, id), 5) << id;
    }
  EXPECT_EQ(cTabIdToIndex(table, colorIdWhite), 7);
  EXPECT_EQ(cTabState().monochrome, 0);  // the flag was set for that rebuild only
  cTabRebuildCurrent(0);
  EXPECT_EQ(cTabIdToIndex(table, 1), 1);
  EXPECT_EQ(cTabIdToIndex(table, 5), 0);
}

TEST_F(CTabTest, PaletteHasSystemSpecialInUseEntriesAndACube) {
  cTab* table = makeCurrent();
  const cTabPaletteBlock& block = *table->palette;
  ASSERT_EQ(run("aCTabGetLastCubeBase aCTabGetLastCubeSize"), 0);
  EXPECT_EQ(stack(), "76 5");
  ASSERT_EQ(block.count, 76 + 125);
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(block.entries[i].peRed, i);
    EXPECT_EQ(block.entries[i].peFlags, PC_EXPLICIT);
  }
  EXPECT_EQ(highBytes(block.entries[10]), 0xFF7F7Fu);  // not in use
  EXPECT_EQ(highBytes(block.entries[11]), 0xFF0000u);  // selection
  EXPECT_EQ(highBytes(block.entries[12]), 0x000000u);  // black
  EXPECT_EQ(highBytes(block.entries[13]), 0xFF0000u);  // red
  EXPECT_EQ(block.entries[12].peFlags, PC_NOCOLLAPSE);
  // Blue innermost, red outermost.
  const uint8_t levels[5] = {0x00, 0x3F, 0x7F, 0xBF, 0xFF};
  for (int k = 0; k < 5; ++k) {
    EXPECT_EQ(block.entries[76 + k].peBlue, levels[k]);
    EXPECT_EQ(block.entries[76 + 5 * k].peGreen, levels[k]);
    EXPECT_EQ(block.entries[76 + 25 * k].peRed, levels[k]);
  }
  // The handle follows the block when remade.
  ASSERT_EQ(run("aCTabRemakePalette"), 0);
  const std::vector<PALETTEENTRY> entries = plTestPaletteEntries(cTabGetPalette());
  ASSERT_EQ(entries.size(), 201u);
  EXPECT_EQ(highBytes(entries[200]), 0xFFFFFFu);
  ASSERT_EQ(run("aCTabColorCubeOff aCTabRemakePalette aCTabGetLastCubeBase aCTabGetLastCubeSize"), 0);
  EXPECT_EQ(stack(), "false 0 0");
  EXPECT_EQ(table->palette->count, 76);
}

TEST_F(CTabTest, GeneralTableIsASixCube) {
  HPALETTE palette = cTabGetPalette2();
  ASSERT_NE(palette, nullptr);
  const cTab* general = cTabGeneral();
  EXPECT_EQ(cTabGetPalette2(), palette);  // built once
  EXPECT_EQ(cTabAvailCount(general), 216);
  const uint8_t levels[6] = {0x00, 0x33, 0x66, 0x99, 0xCC, 0xFF};
  for (int k = 0; k < 6; ++k) {
    EXPECT_EQ(general->entries[k].rgb[2] >> 8, levels[k]);
    EXPECT_EQ(general->entries[36 * k].rgb[0] >> 8, levels[k]);
  }
  EXPECT_EQ(name(general, 0), "General <1>");
  EXPECT_EQ(name(general, 255), "General <256>");
  EXPECT_FALSE(cTabIndexInUse(general, 216));
}

TEST_F(CTabTest, MenuSizeAcceptsOneTo253) {
  ASSERT_EQ(run("0 aCTabSetMaxMenuSize aCTabGetMaxMenuSize 254 aCTabSetMaxMenuSize aCTabGetMaxMenuSize "
                "253 aCTabSetMaxMenuSize aCTabGetMaxMenuSize aCTabGetMoreString"),
            0);
  EXPECT_EQ(stack(), "7 7 253 (More...)");
}

TEST_F(CTabTest, LocalisedNamesMoveToTheFrontWithTheirIds) {
  // Same (empty) tongue: the list keeps its order and the rename script is
  // not run.
  ASSERT_EQ(run("/aLocalizeTongueReq {pop} def /aLocalizeColorName {(Red) (Rot) aCTabRenameColor} def"), 0);
  cTab* first = makeCurrent();
  EXPECT_EQ(name(first, 0), "Black");
  EXPECT_EQ(name(first, 1), "Red");
  cTabFree(first);

  ASSERT_EQ(run("/aLocalizeTongueReq {pop (de) aCTabGetCurrentTongue} def "
                "/aLocalizeColorName {(Red) (Rot) aCTabRenameColor (Black) (Schwarz) aCTabRenameColor "
                "(More...) (Mehr...) aCTabRenameColor (Nothing) (Nichts) aCTabRenameColor} def"),
            0);
  execfx::output().clear();
  cTab* table = makeCurrent();
  EXPECT_EQ(name(table, 0), "Rot");
  EXPECT_EQ(table->entries[0].id, 1);
  EXPECT_EQ(name(table, 1), "Schwarz");
  EXPECT_EQ(table->entries[1].id, 0);
  EXPECT_EQ(name(table, 2), "Yellow");
  EXPECT_EQ(table->entries[2].id, 2);
  EXPECT_EQ(cTabIdToIndex(table, 1), 0);
  EXPECT_NE(execfx::output().find("(New Tongue:de)"), std::string::npos);
  ASSERT_EQ(run("aCTabGetMoreString"), 0);
  EXPECT_EQ(stack(), "(Mehr...)");
  // Outside the rename script nothing is renamed.
  ASSERT_EQ(run("(Green) (Gruen) aCTabRenameColor"), 0);
  cTabFree(table);
  table = makeCurrent();
  EXPECT_EQ(name(table, 3), "Green");
}

TEST_F(CTabTest, TableAttributes) {
  cTab* table = makeCurrent();
  // A step is a get (value null) or a set (value given), with the answer
  // and, for gets, the value printed.
  struct {
    const char* key;
    const char* value;
    int answer;
    const char* printed;
  } steps[] = {
      {"num", nullptr, 0, "256"},
      {"select", nullptr, 0, "true"},
      {"1", nullptr, 0, "[65535 0 0 ]"},
      {"256", nullptr, -1, ""},
      {"nosuchkey", nullptr, -1, ""},
      {"nosuchkey", "1", -1, ""},
      {"name-itr", nullptr, objNotHandled, ""},  // in the list, passed on
      // Entry data goes through the iterator, which "cur" or "id" makes.
      {"name", nullptr, objNotHandled, ""},
      {"rgb", "[1 2 3 ]", objNotHandled, ""},
      {"id", "7", 0, ""},
      {"name", nullptr, 0, "(White)"},
      {"cur", nullptr, 0, "7"},
      {"rgb", "[1 2 3 ]", 0, ""},
      {"7", nullptr, 0, "[1 2 3 ]"},
      {"flag", "257", 0, ""},
      {"flag", nullptr, 0, "1"},
      {"name", "(A very long colour name)", 0, ""},
      {"name", nullptr, 0, "(A very long col)"},
      {"name", "5", feErrTypeCheck, ""},
      {"8", "[4 5 6]", 0, ""},
      {"8", nullptr, 0, "[4 5 6 ]"},
      {"300", "[4 5 6]", -1, ""},
      {"cur", "300", 0, ""},
      {"id", nullptr, -1, ""},
      // The count never passes the 256 entries, and the map follows it.
      {"num", "1000", 0, ""},
      {"num", nullptr, 0, "256"},
      {"num", "10", 0, ""},
      {"20", nullptr, -1, ""},
  };
  for (const auto& step : steps) {
    std::string printed;
    const int answer = step.value ? set(table, step.key, step.value) : get(table, step.key, &printed);
    EXPECT_EQ(answer, step.answer) << step.key << " " << (step.value ? step.value : "get");
    if (!step.value) {
      EXPECT_EQ(printed, step.printed) << step.key;
    }
  }
  EXPECT_EQ(cTabIdToIndex(nullptr, 12), -1);
  EXPECT_EQ(cTabIdToIndex(nullptr, 9), 9);
  std::string palette;
  ASSERT_EQ(get(table, "palette", &palette), 0);
  EXPECT_NE(palette, "0");
  cTab* other = cTabMakeDefault();
  EXPECT_EQ(get(other, "palette", &palette), 0);
  EXPECT_EQ(palette, "0");
  EXPECT_EQ(get(other, "select", &palette), 0);
  EXPECT_EQ(palette, "false");
  cTabFree(other);
}

TEST_F(CTabTest, ReleaseFreesAtZeroAndClearsTheCurrentTable) {
  cTab* table = cTabMakeDefault();
  cTabSetCurrent(table);
  feObject value;
  feMakeObjRef(&value, table);
  EXPECT_EQ(table->refCount, 2);
  cTabRelease(table);
  EXPECT_EQ(cTabLiveCount(), 1);
  feFree(&value);  // the last reference
  EXPECT_EQ(cTabLiveCount(), 0);
  EXPECT_EQ(cTabCurrent(), nullptr);
}

// A table made by a script stays while it is current, whether or not the
// script keeps it, and goes when the next one is made: making tables over
// and over keeps one alive, not one per call.
TEST_F(CTabTest, ScriptTablesDoNotPileUp) {
  ASSERT_EQ(run("aColorTableMake /kept exch def"), 0);
  EXPECT_EQ(cTabLiveCount(), 1);
  ASSERT_EQ(run("0 1 9 { pop aColorTableMake pop } for"), 0);
  // The kept one and the current one.
  EXPECT_EQ(cTabLiveCount(), 2);
  ASSERT_EQ(run("aColorTableGet aAvailColorCount 1 aColorTranslateIDToName"), 0);
  EXPECT_EQ(stack(), "-colorTab- 64 (Red)");
  ASSERT_EQ(run("/kept null def aColorTableMake pop"), 0);
  EXPECT_EQ(cTabLiveCount(), 1);
  cTabReset();
  EXPECT_EQ(cTabLiveCount(), 0);
}

TEST_F(CTabTest, CopyTakesTheEntriesAndRebuilds) {
  cTab* from = cTabMakeDefault();
  std::strcpy(from->entries[3].name, "Leaf");
  from->entries[3].id = 4;
  from->entries[4].id = 3;
  cTab* to = nullptr;
  ASSERT_EQ(objMeth(cTabClassId(), msgCopy, from, reinterpret_cast<intptr_t>(&to)), 0);
  ASSERT_NE(to, nullptr);
  EXPECT_EQ(name(to, 3), "Leaf");
  EXPECT_EQ(cTabIdToIndex(to, 4), 3);
  EXPECT_EQ(cTabIdToIndex(to, 3), 4);
  cTabFree(from);
  cTabFree(to);
}

TEST_F(CTabTest, RecordsRoundTripAndExtraRecordsAreDropped) {
  cTab* from = cTabMakeDefault();
  ioCtx ctx;
  memfile::open(ctx, 4);
  ASSERT_EQ(cTabIO(&ctx, from), 0);
  // The count, then entry 0 (in use, id 0, black, "Black"): 1 0 0 0 0 and the
  // 16 name bytes; a component of 65535 is the compact -1.
  const std::string hex = memfile::written(ctx);
  EXPECT_EQ(hex.substr(0, 3 * 22 - 1),
            "41 00 01 00 00 00 00 42 6C 61 63 6B 00 00 00 00 00 00 00 00 00 00");
  EXPECT_NE(hex.find("01 01 FF 00 00 52 65 64 00"), std::string::npos);  // red
  memfile::readFromStart(ctx);
  cTab* back = cTabNew();
  ASSERT_EQ(cTabIO(&ctx, back), 0);
  EXPECT_EQ(back->count, 256);
  EXPECT_EQ(0, std::memcmp(back->entries, from->entries, 256 * sizeof(cTabEntry)));
  EXPECT_EQ(back->entries[1].rgb[0], 65535);
  std::fclose(ctx.stream);

  // A stream of 300 records (written from a table of 300 entries made by
  // hand) reads into 256 entries; the rest are read and dropped.
  cTab big = *from;
  big.entries = nullptr;
  uint32_t n = 0;
  uAlloc(&big.entries, &n, 300, sizeof(cTabEntry));
  big.count = 300;
  for (int i = 0; i < 300; ++i) big.entries[i].id = 299 - i;
  memfile::open(ctx, 4);
  ASSERT_EQ(cTabIO(&ctx, &big), 0);
  int32_t after = 77;
  ioFormat(&ctx, "l", &after);
  memfile::readFromStart(ctx);
  ASSERT_EQ(cTabIO(&ctx, back), 0);
  EXPECT_EQ(back->count, 256);
  EXPECT_EQ(back->entries[255].id, 44);
  int32_t next = 0;
  ioFormat(&ctx, "l", &next);
  EXPECT_EQ(next, 77);  // the stream stays in step
  std::fclose(ctx.stream);
  uFree(&big.entries);
  cTabFree(back);
  cTabFree(from);
}

}  // namespace
