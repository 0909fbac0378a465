// The head's record (message 312 of "gobject"): its bytes at each level,
// what reading takes from each, the refused levels and the attribute
// dictionary behind a level-3 head (written, read back, refused when
// damaged).
#include "gobject_fixture.h"
#include "memfile_fixture.h"

#include "core/alloc.h"
#include "objects/iofile.h"
#include "objects/ioformat.h"
#include "objects/io_detached.h"

#include <cstdio>
#include <string>

namespace {

using namespace gobjfx;

class GobjectIo : public GobjTest {
protected:
  void SetUp() override {
    GobjTest::SetUp();
    ioDetachModules();
    open(4);
  }
  void TearDown() override {
    close();
    GobjTest::TearDown();
  }

  void open(uint32_t version) { memfile::open(ctx, version); }
  void close() {
    uFreeIfSet(&ctx.types);
    if (ctx.stream) std::fclose(ctx.stream);
    ctx.stream = nullptr;
  }

  // Stores the level of "gobject" in the type table ahead of its use.
  void storeLevel(int level) {
    const int index = ioTypeIndex(&ctx, gobjClassId(), true);
    ctx.types[index].level = uint16_t(level);
  }

  std::string written() { return memfile::written(ctx); }
  // The type table stays as it is.
  void readFromStart() { memfile::readFromStart(ctx); }
  void load(const std::vector<uint8_t>& bytes) { memfile::load(ctx, bytes); }

  int io(gobjRec* object) {
    gobjRec* slot = object;
    return objSerialize(object, &ctx, &slot);
  }

  // The object of the record example: line font 3, pen 2, colour 200,
  // locked, control points shown, selected, layer 2, owner 1, id 300.
  tptRec* example() {
    tptRec* p = newPoint();
    p->head.style = uint8_t(2 << 5 | 3);
    p->head.color = 200;
    p->head.flags = gobjLocked | gobjControlPts | gobjSelected;
    p->head.layer = 2;
    p->head.owner = 1;
    p->head.id = 300;
    return p;
  }

  ioCtx ctx{};
};

TEST_F(GobjectIo, EachLevelWritesItsFieldsAndReadsBackWhatItHolds) {
  const struct {
    uint32_t version;
    int storedLevel;  // -1: none stored yet
    int level;        // the level written
    const char* bytes;
  } cases[] = {
      {4, -1, 3, "03 02 C8 0D 02 01 41 2C 00 00 00 00"},
      {3, -1, 3, "03 02 C8 0D 02 01 41 2C 00 00 00 00"},
      {2, -1, 2, "03 02 C8 0D 02 01"},
      {2, 1, 1, "03 02 C8 0D 02"},
      {0, -1, 0, "03 02"},
  };
  for (const auto& c : cases) {
    close();
    open(c.version);
    if (c.storedLevel >= 0) storeLevel(c.storedLevel);
    EXPECT_EQ(io(&example()->head), 0);
    EXPECT_EQ(written(), c.bytes) << "version " << c.version;

    // Read into an object made from a default with colour 7, layer 5 and
    // control points shown.
    dbDocRec doc{};
    doc.defaultObject.color = 7;
    doc.defaultObject.layer = 5;
    doc.defaultObject.flags = gobjControlPts;
    dbSetCurrentDoc(&doc);
    tptRec* back = newPoint();
    dbSetCurrentDoc(nullptr);
    back->head.id = 0x09000000;
    readFromStart();
    EXPECT_EQ(io(&back->head), 0);
    const int level = c.level;
    EXPECT_EQ(back->head.style, uint8_t(2 << 5 | 3));
    if (level == 0) {
      // A level-0 head keeps colour, layer and flags from the default.
      EXPECT_EQ(back->head.color, 7);
      EXPECT_EQ(back->head.layer, 5);
      EXPECT_EQ(back->head.flags, gobjControlPts | gobjChanged);
    } else {
      EXPECT_EQ(back->head.color, 200);
      EXPECT_EQ(back->head.layer, 2);
      EXPECT_EQ(back->head.flags, gobjLocked | gobjControlPts | gobjSelected | gobjChanged);
    }
    EXPECT_EQ(back->head.owner, level >= 2 ? 1 : 0) << "version " << c.version;
    EXPECT_EQ(back->head.id, level >= 3 ? 0x0900012Cu : 0x09000000u) << "version " << c.version;
    EXPECT_EQ(std::ftell(ctx.stream), long((std::string(c.bytes).size() + 1) / 3));
  }
}

TEST_F(GobjectIo, ReadingReplacesTheFileFlagsOnly) {
  // Flag byte 0: lock, control points and selection go; other flags stay,
  // but the hidden flag follows the layer read (layer 0, shown).
  load({0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00});
  storeLevel(3);
  tptRec* p = newPoint();
  p->head.flags = gobjLocked | gobjControlPts | gobjSelected | gobjPointSel | gobjHidden;
  EXPECT_EQ(io(&p->head), 0);
  EXPECT_EQ(p->head.flags, gobjPointSel);
  EXPECT_EQ(p->head.color, 1);
}

TEST_F(GobjectIo, HigherLevelsAreRefusedWithOneAlertPerRun) {
  for (int level : {4, 5}) {
    load({0x03, 0x02});
    storeLevel(level);
    EXPECT_EQ(io(&newPoint()->head), -1) << level;
  }
  EXPECT_EQ(boxes(), "ERROR - Unrecognized Plumet File (Japanese?)|");
}

TEST_F(GobjectIo, TheDictionaryFollowsALevel3HeadAndIsReadBack) {
  tptRec* p = example();
  feObject key = name("@note"), value;
  feMakeString(&value, "abc", 3);
  ASSERT_EQ(objMeth(p->head.classId, msgSetAttr, p, reinterpret_cast<intptr_t>(&key),
                    reinterpret_cast<intptr_t>(&value)),
            0);
  feFree(&value);
  storeLevel(3);
  EXPECT_EQ(io(&p->head), 0);
  EXPECT_EQ(written(), "03 02 C8 0D 02 01 41 2C 00 00 01 08 05 40 6E 6F 74 65 03 61 62 63");
  readFromStart();
  tptRec* back = newPoint();
  EXPECT_EQ(io(&back->head), 0);
  std::string text;
  EXPECT_EQ(get(&back->head, "@note", &text), 0);
  EXPECT_EQ(text, "(abc)");
}

TEST_F(GobjectIo, ADamagedDictionaryFailsTheHead) {
  // Head, then a dictionary that claims 5 bytes but holds a 3-byte value
  // behind a 1-byte key; then one byte of whatever follows.
  load({0x03, 0x02, 0xC8, 0x00, 0x02, 0x01, 0x41, 0x2C, 0x00, 0x00, 0x01, 0x03, 0x01, 'a', 0x03, 'x', 'y', 'z',
        0x2A});
  storeLevel(3);
  tptRec* p = newPoint();
  EXPECT_EQ(io(&p->head), -1);
  EXPECT_EQ(p->head.attrs, nullptr);
}

TEST_F(GobjectIo, ATruncatedHeadFails) {
  load({0x03, 0x02, 0xC8});
  storeLevel(3);
  EXPECT_EQ(io(&newPoint()->head), -1);
}

}  // namespace
