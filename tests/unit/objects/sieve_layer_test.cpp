// The sieve with a layer table: the extent leaves out the layer
// "construction", and an object entered on a layer that has no record goes
// to the work layer.
#include "layer_fixture.h"

namespace {

using SieveLayers = layerfx::LayerTest;

TEST_F(SieveLayers, ExtentLeavesOutTheConstructionLayer) {
  gobjRec* drawn = put(number("Layer1"), 5);
  put(number("construction"), 400);
  int16_t out[6];
  EXPECT_EQ(sieveExtent(doc.sieve, out, 0), 0);
  EXPECT_EQ(std::vector<int16_t>(out, out + 6), std::vector<int16_t>(drawn->box, drawn->box + 6));
}

TEST_F(SieveLayers, InsertMovesObjectsOfMissingLayersToTheWorkLayer) {
  doc.workLayer = uint8_t(number("construction"));
  gobjRec* stray = put(77);
  EXPECT_EQ(stray->layer, doc.workLayer);
  gobjRec* placed = put(number("Layer1"));
  EXPECT_EQ(placed->layer, number("Layer1"));
}

}  // namespace
