// Older document versions, written by hand: which blocks each version
// carries and how titles are coded.
#include "docfile_fixture.h"

namespace {

using docfilefx::DocFileTest;

class DocFileVersions : public DocFileTest {};

TEST_F(DocFileVersions, AFileWithoutVersionEntryReadsAsVersionZero) {
  // 64-byte titles, no box, print setup, old planes or flags; the models,
  // without settings or planes; no sheet.
  ASSERT_EQ(writeStream(-1, [](ioCtx* ctx) {
    title64(ctx, "Old plan");
    i(ctx, 1);
    title64(ctx, "Base");
    i(ctx, 2);
    marksIO(ctx, {4, 5});
    i(ctx, 0);
  }), 0);
  docRec* back = nullptr;
  ASSERT_EQ(read(&back), 0);
  EXPECT_STREQ(back->title, "Old plan");
  const std::vector<modelRec*> list = models(back);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_STREQ(list[0]->title, "Base");
  EXPECT_EQ(values(list[0]), (std::vector<double>{4, 5}));
  // Without a sheet in the file the model gets one, shown in a filling view.
  ASSERT_EQ(sheets(back).size(), 1u);
  ASSERT_NE(back->firstSheet->activeView, nullptr);
  EXPECT_EQ(back->firstSheet->activeView->model, list[0]);
  // The standard view directions are made for a file without any.
  EXPECT_EQ(ownedCount(back->firstVdir), 4u);
}

TEST_F(DocFileVersions, VersionNineKeepsAWholeSixtyFourByteTitleAndDropsOldPlanes) {
  const std::string longTitle(64, 'T');
  ASSERT_EQ(writeStream(9, [&](ioCtx* ctx) {
    title64(ctx, longTitle);
    int32_t box[4] = {10, 50, 410, 350};
    ioFormat(ctx, "4l", box);
    uint8_t setup[3] = {1, 2, 3};
    i(ctx, 3);
    ioFormat(ctx, "3c", setup);
    // One old plane entry: read and let go.
    i(ctx, 1);
    title64(ctx, "Old slope");
    int16_t flags = 0;
    ioFormat(ctx, "s", &flags);
    d(ctx, {0, 0, 1, 0, 0, 0, 0, 0, 1, 0});
    i(ctx, 1);
    title64(ctx, "Base");
    i(ctx, 0);
    i(ctx, 1);
    marksIO(ctx, {7});
    i(ctx, 0);
  }), 0);
  docRec* back = nullptr;
  ASSERT_EQ(read(&back), 0);
  EXPECT_EQ(std::string(back->title), longTitle);
  ASSERT_EQ(back->printSetupLength, 3u);
  EXPECT_EQ(back->printSetup[2], 3);
  const std::vector<modelRec*> list = models(back);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(values(list[0]), (std::vector<double>{7}));
  EXPECT_EQ(ownedCount(list[0]->firstPlane), 1u) << "only the model's own World plane";
}

TEST_F(DocFileVersions, VersionEightCarriesTheOldViewDirectionList) {
  ASSERT_EQ(writeStream(8, [](ioCtx* ctx) {
    title64(ctx, "Plan");
    int32_t box[4] = {10, 50, 410, 350};
    ioFormat(ctx, "4l", box);
    i(ctx, 0);
    i(ctx, 0);
    i(ctx, 1);
    title64(ctx, "Aside");
    i(ctx, 0);
    d(ctx, {0, 0, 0, 1, 0, 0, 0, 0, 1});
    i(ctx, 1);
    title64(ctx, "Base");
    i(ctx, 0);
    i(ctx, 0);
    i(ctx, 0);
  }), 0);
  docRec* back = nullptr;
  ASSERT_EQ(read(&back), 0);
  EXPECT_NE(vdefFind(back, "Aside", 5), nullptr);
  EXPECT_EQ(ownedCount(back->firstVdir), 1u) << "a file with directions gets no standard ones";
}

}  // namespace
