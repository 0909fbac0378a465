// Layers in drawing files: the layer segment's bytes, the mapping of stored
// layer numbers on reading, and the layer "unassigned" for numbers that map
// to no layer.
#include "layer_fixture.h"

#include "objects/objrecord.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace {

using gobjfx::state;

class LayerIo : public layerfx::LayerTest {
protected:
  void SetUp() override {
    LayerTest::SetUp();
    dir = std::filesystem::temp_directory_path() /
          ("layerio-" + std::to_string(std::random_device{}()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir);
  }
  void TearDown() override {
    for (gobjRec* o : read) objRelease(&o);
    read.clear();
    std::filesystem::remove_all(dir);
    LayerTest::TearDown();
  }

  std::string path() const { return (dir / "plan.qdw").string(); }

  // Writes the objects (each on its layer byte as it stands).
  int save(const std::vector<gobjRec*>& objects, uint32_t flags = 0) {
    ioRecovery recovery;
    try {
      ioCtx* ctx = nullptr;
      const std::string name = path();
      if (int answer = ioOpen(&ctx, name.c_str(), int(name.size()), ioFlagWrite | flags, 4, &recovery)) return answer;
      for (gobjRec* o : objects) objWrite(o, ctx);
      return ioClose(ctx);
    } catch (const ioFailure& failure) {
      return failure.code;
    }
  }
  // Reads every object into read (held by the fixture).
  int load(uint32_t flags = 0) {
    ioRecovery recovery;
    try {
      ioCtx* ctx = nullptr;
      const std::string name = path();
      if (int answer = ioOpen(&ctx, name.c_str(), int(name.size()), ioFlagRead | flags, 0, &recovery)) return answer;
      for (;;) {
        int status = 0;
        gobjRec* object = nullptr;
        objRead(ctx, &status, &object);
        if (status < 0) break;
        if (!object) continue;
        objRetain(object);
        read.push_back(object);
      }
      return ioClose(ctx);
    } catch (const ioFailure& failure) {
      return failure.code;
    }
  }
  std::string bytes() const {
    std::ifstream in(path(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }
  // The bytes of the layer segment (header word 4) up to the next segment.
  std::string layerSegment() const {
    const std::string file = bytes();
    auto word = [&](int i) {
      uint32_t w = 0;
      for (int k = 0; k < 4; ++k) w = w << 8 | uint8_t(file[size_t(4 * i + k)]);
      return w;
    };
    const uint32_t start = word(ioWordLayers);
    uint32_t end = uint32_t(file.size());
    for (int i = ioWordTypes; i <= ioWordViewDirs; ++i)
      if (word(i) > start && word(i) < end) end = word(i);
    return start ? file.substr(start, end - start) : std::string();
  }
  // A fresh table of the given layer names made the document's.
  numTbl* table(std::initializer_list<const char*> names) {
    tblFree(&doc.layers);
    doc.layers = layerTblNew(0);
    for (const char* name : names) tblFind(doc.layers, name, uint32_t(std::strlen(name)), 1, nullptr);
    return doc.layers;
  }
  gobjRec* object(int layer) {
    gobjRec* o = &heldBox(0, 0, 0, 1, 1, 0)->head;
    o->layer = uint8_t(layer);
    return o;
  }

  std::filesystem::path dir;
  std::vector<gobjRec*> read;
};

TEST_F(LayerIo, SegmentBytesAndHiddenObjectsReadBack) {
  table({"A"});
  layerRec* a = layerEntry(0);
  a->flags = layerHidden;
  a->color = 5;
  a->pen = 2;
  a->font = 3;
  ASSERT_EQ(save({object(0), object(0)}), 0);
  // Count 1, then "A", the attribute word flags | colour << 8 | pen << 16 |
  // font << 24, and the 2 objects written on it.
  EXPECT_EQ(layerSegment(), std::string("\x01\x02\x41\x63\x02\x05\x01\x02", 8));
  ASSERT_EQ(load(), 0);
  ASSERT_EQ(read.size(), 2u);
  for (gobjRec* o : read) {
    EXPECT_EQ(o->layer, 0);
    EXPECT_TRUE(o->flags & gobjHidden);
  }
}

TEST_F(LayerIo, KnownNamesKeepTheirAttributesNewNamesTakeTheFiles) {
  define("Walls");
  define("Roof");
  rec("Walls")->color = 7;
  rec("Roof")->color = 8;
  rec("Roof")->font = 4;
  ASSERT_EQ(save({object(2), object(3), object(4)}), 0);
  // The receiving table has "Walls" elsewhere, with other attributes, and no "Roof".
  table({"Layer1", "Doors", "Walls", "construction"});
  rec("Walls")->color = 1;
  ASSERT_EQ(load(ioFlagMerge), 0);
  ASSERT_EQ(read.size(), 3u);
  EXPECT_EQ(read[0]->layer, number("construction"));
  EXPECT_EQ(read[1]->layer, number("Walls"));
  EXPECT_EQ(read[2]->layer, number("Roof"));
  EXPECT_EQ(rec("Walls")->color, 1);
  EXPECT_EQ(rec("Roof")->color, 8);
  EXPECT_EQ(rec("Roof")->font, 4);
  // The file's ".temp" is new to the receiver too.
  EXPECT_STREQ(tblNames(doc.layers), "Layer1;Doors;Walls;construction;;Roof");
}

TEST_F(LayerIo, ReadingADrawingReplacesTheDocumentsTable) {
  define("Walls");
  ASSERT_EQ(save({object(3)}), 0);
  table({"Other"});
  ASSERT_EQ(load(), 0);
  EXPECT_STREQ(tblNames(doc.layers), "Layer1;;construction;Walls");
  ASSERT_EQ(read.size(), 1u);
  EXPECT_EQ(read[0]->layer, 3);
}

TEST_F(LayerIo, NumbersBeyondTheSegmentGoToUnassignedMadeOnce) {
  table({"Layer1"});
  state().log.clear();
  ASSERT_EQ(save({object(5), object(0), object(6)}), 0);
  EXPECT_NE(state().log.find("Bad layer in saved data\n"), std::string::npos);
  state().log.clear();
  ASSERT_EQ(load(), 0);
  ASSERT_EQ(read.size(), 3u);
  const int zombie = number("unassigned");
  ASSERT_GE(zombie, 0);
  EXPECT_EQ(read[0]->layer, zombie);
  EXPECT_EQ(read[1]->layer, 0);
  EXPECT_EQ(read[2]->layer, zombie);
  EXPECT_EQ(tblCount(doc.layers), 2u);
  const std::string& log = state().log;
  const auto once = [&](const char* line) {
    const size_t at = log.find(line);
    return at != std::string::npos && log.find(line, at + 1) == std::string::npos;
  };
  EXPECT_TRUE(once("[layer.c:MakeZombieLayer] Creating layer ZOMBIE_LAYER\n")) << log;
  EXPECT_TRUE(once("Bad layer in file[at draft.dir:layer.c\n")) << log;
}

TEST_F(LayerIo, AnEntryNamingNoLayerNeverBecomesLayer255) {
  // The writer has a freed slot (layer 1) that still holds an object.
  table({"A", "B"});
  tblRename(doc.layers, 1, "", 0, nullptr, nullptr);
  ASSERT_EQ(save({object(1)}), 0);
  // The receiver has all 256 layers, "unassigned" among them.
  tblFree(&doc.layers);
  doc.layers = layerTblNew(0);
  for (int i = 0; i < 256; ++i) {
    const std::string name = i == 3 ? "unassigned" : "L" + std::to_string(i);
    tblFind(doc.layers, name.data(), uint32_t(name.size()), 1, nullptr);
  }
  ASSERT_EQ(load(ioFlagMerge), 0);
  ASSERT_EQ(read.size(), 1u);
  EXPECT_EQ(read[0]->layer, 3);
}

TEST_F(LayerIo, LayersToZeroAndRawFiles) {
  define("Walls");
  ASSERT_EQ(save({object(3), object(2)}), 0);
  doc.workLayer = 2;
  ASSERT_EQ(load(ioFlagLayersToZero), 0);
  ASSERT_EQ(read.size(), 2u);
  EXPECT_EQ(read[0]->layer, 2);
  EXPECT_EQ(read[1]->layer, 2);
  // Raw files keep the numbers as they are.
  ASSERT_EQ(save({object(40)}, ioFlagRaw), 0);
  for (gobjRec* o : read) objRelease(&o);
  read.clear();
  ASSERT_EQ(load(ioFlagRaw), 0);
  ASSERT_EQ(read.size(), 1u);
  EXPECT_EQ(read[0]->layer, 40);
}

}  // namespace
