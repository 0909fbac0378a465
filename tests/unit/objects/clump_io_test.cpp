// A clump's record: written and read back through a drawing file with its
// members (nested clumps included), the colour of clumps from older files,
// and damaged records refused without harm.
#include "clump_fixture.h"

#include "objects/clump_internal.h"
#include "objects/io_detached.h"
#include "objects/iofile.h"
#include "objects/objrecord.h"

#include <filesystem>
#include <random>

namespace {

using namespace clumpfx;

class ClumpFile : public ClumpTest {
protected:
  void SetUp() override {
    ClumpTest::SetUp();
    ioDetachModules();
    file = (std::filesystem::temp_directory_path() / ("clump" + std::to_string(std::random_device{}()) + ".qdw"))
               .string();
  }
  void TearDown() override {
    std::filesystem::remove(file);
    ClumpTest::TearDown();
  }

  using Writer = void (*)(ioCtx* ctx, const std::vector<gobjRec*>& objects);
  static void writeAll(ioCtx* ctx, const std::vector<gobjRec*>& objects) {
    for (gobjRec* o : objects) objWrite(o, ctx);
  }

  // Writes the objects into a file of the version and reads every object
  // back, each held by the fixture.
  std::vector<gobjRec*> roundTrip(const std::vector<gobjRec*>& objects, int version = 4, Writer writer = writeAll) {
    ioRecovery recovery;
    ioCtx* ctx = nullptr;
    EXPECT_EQ(0, ioOpen(&ctx, file.c_str(), int(file.size()), ioFlagWrite, version, &recovery));
    writer(ctx, objects);
    EXPECT_EQ(0, ioClose(ctx));
    std::vector<gobjRec*> back;
    EXPECT_EQ(0, ioOpen(&ctx, file.c_str(), int(file.size()), ioFlagRead, 0, &recovery));
    for (;;) {
      int status = 0;
      gobjRec* object = nullptr;
      objRead(ctx, &status, &object);
      if (status == -1) break;
      if (!object) continue;
      objRetain(object);
      held.push_back(object);
      back.push_back(object);
    }
    ioClose(ctx);
    return back;
  }
  static clumpRec* asClump(gobjRec* o) { return clumpIsClump(o) ? reinterpret_cast<clumpRec*>(o) : nullptr; }

  std::string file;
};

TEST_F(ClumpFile, NestedClumpsComeBackWithTheirMembers) {
  clumpRec* inner = clump({stick(1, 0, 2, 0, 1), stick(3, 0, 4, 0, 1)});
  clumpRec* outer = clump({stick(5, 0, 6, 0, 2), &inner->head});
  outer->head.color = 7;
  const std::vector<gobjRec*> back = roundTrip({&outer->head});
  ASSERT_EQ(1u, back.size());
  clumpRec* read = asClump(back[0]);
  ASSERT_NE(nullptr, read);
  EXPECT_EQ("5 C(1 3)", shape(read));
  EXPECT_EQ(7, read->head.color);
  for (gobjRec* m : members(read)) EXPECT_EQ(1, m->refCount);
  clumpRec* nested = asClump(members(read)[1]);
  ASSERT_NE(nullptr, nested);
  EXPECT_EQ(1, nested->head.color);
  EXPECT_EQ(1, members(nested)[0]->color);
}

TEST_F(ClumpFile, ClumpsOfOlderFilesDrawTheirMembersInTheirOwnColours) {
  for (int version : {2, 3}) {
    clumpRec* k = clump({stick(1, 0, 2, 0, 3)});
    ASSERT_EQ(3, k->head.color);
    const std::vector<gobjRec*> back = roundTrip({&k->head}, version);
    ASSERT_EQ(1u, back.size());
    EXPECT_EQ(version <= 2 ? 254 : 3, back[0]->color) << "version " << version;
    EXPECT_EQ("1", shape(asClump(back[0])));
  }
}

// A clump record whose member count runs past the record: only that record
// is lost, and the objects after it are read.
TEST_F(ClumpFile, AMemberCountBeyondTheRecordFailsOnlyThatRecord) {
  clumpRec* sound = clump({stick(7, 0, 8, 0)});
  const std::vector<gobjRec*> back = roundTrip({&sound->head, &sound->head}, 4, [](ioCtx* ctx, const std::vector<gobjRec*>& objects) {
    // The first record: the head, then a count of a million members.
    ioRecordBegin(ctx, ioTypeIndex(ctx, clumpClassId(), true));
    ioTypeMap(ctx, clumpClassId(), 3);
    objMeth(gobjClassId(), msgIO, objects[0], reinterpret_cast<intptr_t>(ctx));
    int32_t count = 1000000;
    ioFormat(ctx, "i", &count);
    ioRecordEnd(ctx, 1);
    objWrite(objects[1], ctx);
  });
  ASSERT_EQ(1u, back.size());
  EXPECT_EQ("7", shape(asClump(back[0])));
}

// Every level of nesting is a level of recursion while reading: a file
// nested deeper than the reader takes keeps what lies within the limit.
TEST_F(ClumpFile, NestingBeyondTheLimitIsCutOff) {
  clumpRec* deepest = clump({stick(1, 0, 2, 0)});
  clumpRec* top = deepest;
  for (int level = 1; level < 300; ++level) {
    auto* wrapper = reinterpret_cast<clumpRec*>(objNew(clumpClassId()));
    clumpint::append(wrapper, &top->head);
    top = hold(wrapper);
  }
  const std::vector<gobjRec*> back = roundTrip({&top->head});
  ASSERT_EQ(1u, back.size());
  int depth = 0;
  for (clumpRec* k = asClump(back[0]); k; k = asClump(clumpFirst(k))) ++depth;
  EXPECT_GT(depth, 200);
  EXPECT_LT(depth, 300);
}

}  // namespace
