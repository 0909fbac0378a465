// The pen table: widths of objects' pen indexes, the nearest pen, device
// widths for the screen and for printing, the operators aListPenSizes and
// aDefPenSizes, the image block "penwidth", the configuration's variable
// widths, and the document's pen weights.
#include "docvar_fixture.h"

#include "core/alloc.h"
#include "core/errors.h"
#include "core/ini.h"
#include "core/units.h"
#include "draw/gx.h"
#include "fe/newbio.h"
#include "objects/objops.h"
#include "objects/pen.h"

#include <filesystem>
#include <fstream>

namespace {

const double kBuiltIn[penCount] = {0.002, 0.005, 0.010, 0.016, 0.020, 0.032, 0.040, 0.050};

int printing() { return 1; }

class Pen : public docvarfx::DocVarTest {
protected:
  void SetUp() override {
    DocVarTest::SetUp();
    if (!execfx::defined("aDefPenSizes")) objOpsInit();
    penSetOutputModeSource(nullptr);
    penSetVarWidths(false);
    penSetTable(kBuiltIn);
    gxInit();
    unitClearTable();
    unitDefine("inch", -1, 1.0, 25.4);
    unitDefine("mm", -1, 1 / 25.4, 1.0);
  }
  void TearDown() override {
    while (gxWindowDepth()) gxWindowPop();
    if (dc) DeleteDC(dc);
    gxTerm();
    penSetOutputModeSource(nullptr);
    penSetVarWidths(false);
    penSetTable(kBuiltIn);
    unitClearTable();
    DocVarTest::TearDown();
  }
  // A memory device of the given resolution made the current window.
  void device(double dpi) {
    if (!dc) dc = CreateCompatibleDC(nullptr);
    const double res[2] = {dpi, dpi};
    const RECT rect{0, 0, 64, 64};
    gxWindowPush(dc, res, &rect);
  }
  static std::string stack() {
    std::string text = execfx::operands();
    feStackClear(*feOperandStack());
    return text;
  }
  static std::vector<double> table() {
    std::vector<double> t(penCount);
    penGetTable(t.data());
    return t;
  }
  // A block as an image hands it over (the taker frees it).
  static void putBlock(const void* data, uint32_t size) {
    void* copy = uAlloc(nullptr, nullptr, 1, size);
    std::memcpy(copy, data, size);
    feSetBlock("penwidth", copy, size);
  }
  HDC dc = nullptr;
};

TEST_F(Pen, WidthsOfPenIndexesAndTheNearestPen) {
  gobjRec* object = keep(objNew(tpoint()));
  object->style = 0x60 | 5;
  double width = 0;
  ASSERT_EQ(penGetWidth(object, &width), 0);
  EXPECT_DOUBLE_EQ(width, 0.016) << "style 0x60 is pen 3";

  struct Case {
    double width;
    int pen;
  } cases[] = {{0.0185, 4}, {0.0, 0}, {1.0, 7}, {0.0175, 3}, {0.016, 3}, {-5.0, 0}};
  for (const Case& c : cases) {
    object->style = 0xE0 | 5;
    penSetWidth(object, c.width);
    EXPECT_EQ(gobjPen(object), c.pen) << c.width;
    EXPECT_EQ(gobjLineFont(object), 5) << "the line font is kept";
  }
  // Two pens equally near: the first wins.
  const double ties[penCount] = {0.25, 0.75, 0.75, 1, 2, 3, 4, 5};
  penSetTable(ties);
  penSetWidth(object, 0.5);
  EXPECT_EQ(gobjPen(object), 0);
  penSetWidth(object, 0.75);
  EXPECT_EQ(gobjPen(object), 1);

  EXPECT_DOUBLE_EQ(penWidthAt(7), 5);
  EXPECT_EQ(penWidthAt(8), 0.0);
  EXPECT_EQ(penWidthAt(-1), 0.0);
}

TEST_F(Pen, ScreenWidthsAreNegativeSixteenthsThatIgnoreTheViewScale) {
  device(96);
  // ceil(w x 96 x 16), negated: 0.002 -> 4, 0.010 -> 16, 0.050 -> 77.
  EXPECT_EQ(penDeviceWidth(0), -4);
  EXPECT_EQ(penDeviceWidth(2), -16);
  EXPECT_EQ(penDeviceWidth(7), -77);

  // The selection hands the width to the drawing layer, which rounds the
  // sixteenths half away from zero (and draws -5 as a 5-pixel pen).
  ASSERT_EQ(penSelect(7 << 5), 0);
  int32_t width = 0;
  gxGetAttr(3, &width);
  EXPECT_EQ(width, -5);
  penSelect(2 << 5 | 31);
  gxGetAttr(3, &width);
  EXPECT_EQ(width, -1);

  // Another device resolution makes new widths.
  device(300);
  EXPECT_EQ(penDeviceWidth(2), -48);
}

TEST_F(Pen, ZeroWidthsBecomeOneAndHugeWidthsAreClamped) {
  const double widths[penCount] = {0.0, -0.0, 1e-9, 100.0, -100.0, 0.01, 0.01, 0.01};
  penSetTable(widths);
  device(96);
  EXPECT_EQ(penDeviceWidth(0), 1);
  EXPECT_EQ(penDeviceWidth(1), 1);
  EXPECT_EQ(penDeviceWidth(2), -1);
  EXPECT_EQ(penDeviceWidth(3), -32768) << "100 inches would wrap a 16-bit width";
  EXPECT_EQ(penDeviceWidth(4), 32767);

  // Variable widths follow the view scale (1 without a view) and are
  // positive; large ones are clamped too.
  penSetVarWidths(true);
  EXPECT_EQ(penDeviceWidth(5), 16);
  EXPECT_EQ(penDeviceWidth(3), 32767);
}

TEST_F(Pen, PrintingRoundsAtTheDeviceResolution) {
  device(600);
  penSetOutputModeSource(printing);
  // round(w x 600 x 16): 0.002 -> 19.2 -> 19, 0.005 -> 48.
  EXPECT_EQ(penDeviceWidth(0), 19);
  EXPECT_EQ(penDeviceWidth(1), 48);
  penSetOutputModeSource(nullptr);
  EXPECT_EQ(penDeviceWidth(0), -20) << "back on the screen the widths are remade";
}

TEST_F(Pen, DefPenSizesReplacesTheTableAndAnswersItsFaults) {
  // Nine numbers: -1, and the first eight are kept.
  EXPECT_EQ(feExecString("[0.1 0.2 0.3 0.4 0.5 0.6 0.7 0.8 0.9] aDefPenSizes"), -1);
  EXPECT_EQ(table(), (std::vector<double>{0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8}));
  EXPECT_DOUBLE_EQ(penLargestWidth(), 0.8);
  feStackClear(*feOperandStack());

  // A non-number stops the reading; what was read stays.
  EXPECT_EQ(feExecString("[0.01 0.02 (x) 0.04] aDefPenSizes"), feErrTypeCheck);
  EXPECT_EQ(table(), (std::vector<double>{0.01, 0.02, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8}));
  EXPECT_DOUBLE_EQ(penLargestWidth(), 0.8) << "the largest width never shrinks here";
  feStackClear(*feOperandStack());

  EXPECT_EQ(feExecString("5 aDefPenSizes"), feErrTypeCheck);
  feStackClear(*feOperandStack());

  // Fewer numbers: the rest of the table stays, and the current document
  // takes the widths read.
  dbDocRec*& slot = newDoc();
  activate(slot);
  EXPECT_EQ(feExecString("[0.003 1] aDefPenSizes"), 0);
  EXPECT_EQ(table()[0], 0.003);
  EXPECT_EQ(table()[2], 0.3);
  EXPECT_EQ(slot->penWeights[0], 0.003);
  EXPECT_EQ(slot->penWeights[1], 1.0);
  EXPECT_DOUBLE_EQ(penLargestWidth(), 1.0);
}

TEST_F(Pen, ListPenSizesPushesEightStringsAndRebuildsTheCachedList) {
  ASSERT_EQ(feExecString("false aListPenSizes"), 0);
  EXPECT_EQ(stack(), "(.002inch) (.005) (.010) (.016) (.020) (.032) (.040) (.050)");
  EXPECT_STREQ(penGetList(), ".002inch;.005;.010;.016;.020;.032;.040;.050");

  // aDefPenSizes leaves the cached list as it was; the next list remakes it.
  ASSERT_EQ(feExecString("[0.25] aDefPenSizes"), 0);
  EXPECT_STREQ(penGetList(), ".002inch;.005;.010;.016;.020;.032;.040;.050");
  ASSERT_EQ(feExecString("true aListPenSizes"), 0);
  EXPECT_EQ(stack(), "(6.35mm) (0.13) (0.25) (0.41) (0.51) (0.81) (1.02) (1.27)");
  EXPECT_STREQ(penGetList(), "6.35mm;0.13;0.25;0.41;0.51;0.81;1.02;1.27");
}

TEST_F(Pen, TheImageBlockOverridesTheBuiltInWidthsAndIsHandedBack) {
  const double stored[penCount] = {1, 2, 3, 4, 5, 6, 7, 8};
  putBlock(stored, sizeof stored);
  penLoadDefaults();
  EXPECT_EQ(table(), (std::vector<double>{1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(penLargestWidth(), 8.0);
  void* block = nullptr;
  uint32_t length = 0;
  ASSERT_EQ(feGetBlock("penwidth", &block, &length), 0);
  EXPECT_EQ(length, 64u);
  EXPECT_EQ(static_cast<const double*>(block)[7], 8.0);

  // Without a block: the built-in widths.
  penLoadDefaults();
  feGetBlock("penwidth", &block, &length);
  penLoadDefaults();
  EXPECT_EQ(table(), std::vector<double>(kBuiltIn, kBuiltIn + penCount));

  // A block too short for eight widths is not read past its end.
  const double shortBlock[2] = {9, 9};
  putBlock(shortBlock, sizeof shortBlock);
  penLoadDefaults();
  EXPECT_EQ(table()[0], 0.002);
}

TEST_F(Pen, VariableWidthsFromTheConfiguration) {
  const std::filesystem::path ini = dir / "PLUMET.INI";
  struct Case {
    const char* value;
    bool on;
  } cases[] = {{"ON", true}, {"yes", true}, {"TRUE", true}, {"OFF", false}, {"off", false},
               {"0", false}, {"no", false}, {"false", false}};
  for (const Case& c : cases) {
    std::ofstream(ini) << "[Defaults]\nVarWidths=" << c.value << "\n";
    uiIniSetup(ini.string().c_str(), -1);
    penLoadDefaults();
    EXPECT_EQ(penVarWidths(), c.on) << c.value;
  }
  std::ofstream(ini) << "[Defaults]\n";
  uiIniSetup(ini.string().c_str(), -1);
  penLoadDefaults();
  EXPECT_FALSE(penVarWidths()) << "absent: OFF";
  iniShutdown();
}

TEST_F(Pen, DocumentsCarryTheirWeightsToThePenTable) {
  // A first document takes the table's widths; switching to a document
  // applies its weights, and event 8 applies them again.
  dbDocRec*& first = newDoc();
  EXPECT_EQ(std::vector<double>(first->penWeights, first->penWeights + penCount), table());
  activate(first);
  for (int i = 0; i < penCount; ++i) first->penWeights[i] = 0.1 * (i + 1);
  dbDocRec*& second = newDoc();
  EXPECT_EQ(second->penWeights[0], 0.1) << "a new document copies the current one";
  second->penWeights[0] = 0.7;
  activate(second);
  EXPECT_EQ(table()[0], 0.7);
  penSetTable(kBuiltIn);
  evtSignal(docEvtFamily | docEvtReapply, 0);
  EXPECT_EQ(table()[0], 0.7);
  activate(first);
  EXPECT_EQ(table()[0], 0.1);
}

TEST_F(Pen, PenWeightsReadFromAFileFeedTheTable) {
  dbDocRec*& slot = newDoc();
  activate(slot);
  for (int i = 0; i < penCount; ++i) slot->penWeights[i] = 0.25 + i;
  ASSERT_EQ(save(path()), 0);
  penSetTable(kBuiltIn);
  for (double& w : slot->penWeights) w = 0;
  ASSERT_EQ(load(path()), 0);
  EXPECT_EQ(table()[0], 0.25);
  EXPECT_EQ(table()[7], 7.25);
}

}  // namespace
