// Colour names and colour slots: the current table as a numbered name
// table, the colour lists, aColorFind and colorent, the slot names, the
// select-colour operators and "$COLORTBL".
#include "ctab_fixture.h"
#include "docvar_fixture.h"

#include "core/xlate.h"
#include "objects/defobj.h"
#include "objects/numtbl.h"

#include <string>

namespace {

using ctabfx::CTabTest;

TEST_F(CTabTest, NameTableFindsNamesAndIds) {
  makeCurrent();
  numTbl* names = colorNameTable();
  int32_t id = 0;
  EXPECT_EQ(tblFind(names, "Red", 3, 0, &id), 0);
  EXPECT_EQ(id, 1);
  EXPECT_EQ(tblFind(names, "red", 3, 0, &id), -1);  // exact characters
  EXPECT_EQ(id, -1);
  EXPECT_EQ(tblFind(names, "User <65>", 9, 0, &id), -1);  // not in use
  const char* text = nullptr;
  uint32_t length = 0;
  EXPECT_EQ(tblName(names, 5, &text, &length), 0);
  EXPECT_EQ(std::string(text, length), "Blue");
  EXPECT_EQ(tblName(names, 64, &text, &length), -1);
  const std::string all = tblNames(names);
  EXPECT_EQ(all.rfind("Black;Red;Yellow;", 0), 0u);
  EXPECT_EQ(all.back(), ';');
  EXPECT_EQ(std::count(all.begin(), all.end(), ';'), 64);
}

TEST_F(CTabTest, ColourNamesAreTranslatedAndTriedAgain) {
  makeCurrent();
  ASSERT_EQ(xlateAddPair("Rouge", 5, "Red", 3), 0);
  xlateLoaded();
  int32_t id = -1;
  EXPECT_EQ(colorFindName("Rouge", 5, &id), -1);
  EXPECT_EQ(colorFindNameTranslated("Rouge", 5, &id), 0);
  EXPECT_EQ(id, 1);
  EXPECT_EQ(colorFindNameTranslated("Vert", 4, &id), -1);
}

TEST_F(CTabTest, ColourListsPushTheInUseNames) {
  cTab* table = makeCurrent();
  table->entries[1].flags = 0;
  ASSERT_EQ(run("aListColors count"), 0);
  EXPECT_EQ(stack().substr(0, 17), "(Black) (Yellow) ");
  EXPECT_EQ(stack().substr(stack().rfind(' ') + 1), "63");
  ASSERT_EQ(run("aListAllColors count"), 0);
  EXPECT_EQ(stack().substr(stack().rfind(' ') + 1), "63");
  ASSERT_EQ(run("aListColorsForMask"), 0);
  EXPECT_EQ(stack().substr(stack().rfind(' ') + 1), "(COLOR_NONE)");
}

TEST_F(CTabTest, ColorFindMakesAColorent) {
  makeCurrent();
  struct {
    const char* text;
    int result;
    const char* stack;
  } cases[] = {
      {"[/name (Red)] aColorFind", 0, "-colorent- true"},
      {"[/name (Nothing)] aColorFind", 0, "false"},
      {"[/number 3] aColorFind", 0, "-colorent- true"},
      {"[] aColorFind null aColorFind", 0, "false false"},
      {"[/name] aColorFind", feErrLengthCheck, "[/name ]"},
      {"(Red) aColorFind", feErrTypeCheck, "(Red)"},
      {"[/rgb [1 2 3]] aColorFind", feErrUnknownKey, "[/rgb [1 2 3 ] ]"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(run(c.text), c.result) << c.text;
    EXPECT_EQ(stack(), c.stack) << c.text;
  }
  // The entry of a colour found by name holds its id and reads the slot of
  // that number.
  ASSERT_EQ(run("[/name (Red)] aColorFind pop"), 0);
  void* entry = topRecord();
  ASSERT_NE(entry, nullptr);
  std::string text;
  EXPECT_EQ(get(entry, "number", &text), 0);
  EXPECT_EQ(text, "1");
  EXPECT_EQ(get(entry, "name", &text), 0);
  EXPECT_EQ(text, "(red)");
  EXPECT_EQ(set(entry, "rgb", "[1 2 3]"), 0);
  EXPECT_EQ(get(entry, "rgb", &text), 0);
  EXPECT_EQ(text, "[1 2 3 ]");
  EXPECT_EQ(get(entry, "color", &text), feErrUnknownKey);
  EXPECT_EQ(set(entry, "number", "4"), feErrUnknownKey);
  clearStack();  // the value held the entry's only reference
}

TEST_F(CTabTest, SlotNamesAreUniqueAndBounded) {
  ASSERT_STREQ(colorSlotName(7), ".white");
  ASSERT_STREQ(colorSlotName(8), "");
  ASSERT_STREQ(colorSlotName(15), "Background");
  EXPECT_EQ(colorSlotName(16), nullptr);
  EXPECT_EQ(colorSlotsChanged(), 0);
  // Each entry stays on the operand stack, which holds its reference.
  auto entry = [](int number) {
    const std::string text = "[/number " + std::to_string(number) + "] aColorFind pop";
    EXPECT_EQ(feExecString(text.c_str()), 0);
    return topRecord();
  };
  std::string text;
  void* selection = entry(13);
  // The comparison ignores case.
  EXPECT_EQ(set(selection, "name", "(GRID)"), colorErrDuplicate);
  EXPECT_EQ(set(selection, "name", "(Picked)"), 0);
  EXPECT_EQ(get(selection, "name", &text), 0);
  EXPECT_EQ(text, "(Picked)");
  // Empty slots are no duplicates, and a slot may be emptied.
  void* spare = entry(9);
  EXPECT_EQ(set(spare, "name", "(Accent)"), 0);
  EXPECT_EQ(set(spare, "name", "()"), 0);
  EXPECT_EQ(get(spare, "name", &text), 0);
  EXPECT_EQ(text, "()");
  // Numbers past the slots are refused both ways, and nothing is written.
  void* past = entry(16);
  EXPECT_EQ(get(past, "name", &text), -1);
  EXPECT_EQ(set(past, "name", "(Sixteen)"), -1);
  EXPECT_EQ(set(entry(200), "rgb", "[1 2 3]"), -1);
  EXPECT_STREQ(colorSlotName(13), "Picked");
  EXPECT_STREQ(colorSlotName(14), "Grid");
  EXPECT_STREQ(colorSlotName(0), "black");
  EXPECT_EQ(colorSlotsChanged(), 1);
  clearStack();
}

class ColourDocTest : public docvarfx::DocVarTest {
protected:
  void SetUp() override {
    DocVarTest::SetUp();
    cTabSetUp();
    colortblSetUp();
    if (!execfx::defined("aSetSelectColor")) gobjOpsInit();
    ctabfx::quietLocalization();
  }
  void TearDown() override {
    DocVarTest::TearDown();
    cTabReset();
    gdiSetColorHooks(nullptr);
  }
  // The "$COLORTBL" count of a saved file: the body's first byte after
  // the name (a compact integer below 64 is one byte).
  uint8_t slotCount(const std::string& file) {
    const std::vector<uint8_t> data = bytes(file);
    const std::string text(data.begin(), data.end());
    const size_t at = text.find("$COLORTBL");
    return at == std::string::npos ? 0xEE : data[at + 9];
  }
};

TEST_F(ColourDocTest, DocumentsOwnTheirColourTables) {
  dbDocRec*& first = newDoc();
  ASSERT_NE(first->colorState, nullptr);
  EXPECT_EQ(first->colorState->refCount, 1);
  EXPECT_EQ(cTabAvailCount(first->colorState), 64);
  EXPECT_EQ(cTabCurrent(), nullptr);  // made current with its document
  activate(first);
  EXPECT_EQ(cTabCurrent(), first->colorState);
  dbDocRec*& second = newDoc();
  activate(second);
  EXPECT_EQ(cTabCurrent(), second->colorState);
  EXPECT_EQ(cTabLiveCount(), 2);
  evtSignal(docEvtFamily | docEvtFreed, reinterpret_cast<intptr_t>(&second));
  EXPECT_EQ(cTabCurrent(), nullptr);
  EXPECT_EQ(cTabLiveCount(), 1);
}

TEST_F(ColourDocTest, SelectColourByName) {
  feStackPopN(*feOperandStack(), feStackCount(*feOperandStack()));
  EXPECT_EQ(run("(Blue) aSetSelectColor"), layerErrNoDoc);
  feStackPopN(*feOperandStack(), feStackCount(*feOperandStack()));
  dbDocRec*& doc = newDoc();
  activate(doc);
  ASSERT_EQ(run("aGetSelectColor (Blue) aSetSelectColor aGetSelectColor"), 0);
  EXPECT_EQ(execfx::operands(), "(Red) (Blue)");
  EXPECT_EQ(doc->selectColor, 5);
  EXPECT_EQ(run("(Nothing) aSetSelectColor"), tblErrNotFound);
  EXPECT_EQ(doc->selectColor, 5);
}

TEST_F(ColourDocTest, SlotsAreStoredOnlyWhenChangedAndGlobal) {
  dbDocRec*& doc = newDoc();
  activate(doc);
  ASSERT_EQ(save(path(), ioFlagWriteGlobals), 0);
  EXPECT_EQ(slotCount(path()), 0);  // nothing changed
  ASSERT_EQ(colorSlotRename(13, "Picked", 6), 0);
  const uint16_t rgb[3] = {1, 2, 3};
  colorSlotSetRGB(13, rgb);
  ASSERT_EQ(save(path("local.qdw")), 0);
  EXPECT_EQ(slotCount(path("local.qdw")), 0);  // not a global file
  ASSERT_EQ(save(path(), ioFlagWriteGlobals), 0);
  EXPECT_EQ(slotCount(path()), 11);  // every named slot

  colortblSetUp();  // slots back to their start
  ASSERT_STREQ(colorSlotName(13), "Selection");
  ASSERT_EQ(load(path()), 0);
  EXPECT_STREQ(colorSlotName(13), "Selection");  // read without the global flag
  ASSERT_EQ(load(path(), ioFlagReadGlobals), 0);
  EXPECT_STREQ(colorSlotName(13), "Picked");
  uint16_t back[3];
  colorSlotGetRGB(13, back);
  EXPECT_EQ(back[2], 3);
  EXPECT_EQ(colorSlotsChanged(), 1);
}

TEST_F(ColourDocTest, InvertSettingTravelsWithGlobalStreams) {
  dbDocRec*& doc = newDoc();
  activate(doc);
  colorSetInvert(1);
  ASSERT_EQ(save(path(), ioFlagReadGlobals), 0);
  colorSetInvert(0);
  ASSERT_EQ(load(path()), 0);
  EXPECT_EQ(colorGetInvert(), 0);
  ASSERT_EQ(load(path(), ioFlagReadGlobals), 0);
  EXPECT_EQ(colorGetInvert(), 1);
}

}  // namespace
