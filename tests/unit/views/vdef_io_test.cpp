// View directions in the drawing file: titles by document version, the
// stored record, the list with its refusals, and the container segment
// read back into another document.
#include "views/vdef.h"
#include "views/vwtitle_io.h"

#include <initializer_list>  // for objects/io_detached.h

#include "core/alloc.h"
#include "core/text.h"
#include "objects/io_detached.h"
#include "objects/iofile.h"
#include "objects/ioformat.h"
#include "objects/memfile_fixture.h"
#include "views/doc.h"
#include "vw_fixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using Vec = std::vector<double>;

Vec vec(const double* v) { return Vec(v, v + 3); }

std::vector<std::string> titles(const docRec* doc) {
  std::vector<std::string> list;
  for (const vdefRec* r = doc->firstVdir; r; r = r->next) list.push_back(r->title);
  return list;
}

class VdefIoTest : public vwfx::VwTest {
protected:
  void SetUp() override {
    VwTest::SetUp();
    ioDetachModules();
    ioSetSegmentHook(ioWordViewDirs, vdefSegmentHook);
    live = vwLive().vdirs;
    source = newDoc();
    target = newDoc();
    memfile::open(ctx, 4);
    dir = std::filesystem::temp_directory_path() / ("plumet-vdef-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
  }
  void TearDown() override {
    ioRecordFree(&ctx);
    if (ctx.stream) std::fclose(ctx.stream);
    uFreeIfSet(&ctx.types);
    std::filesystem::remove_all(dir);
    VwTest::TearDown();
    EXPECT_EQ(vwLive().vdirs, live) << "view directions left alive";
  }

  static docRec* newDoc() {
    docRec* doc = nullptr;
    docCreate(&doc);
    docAddOpen(doc);
    return doc;
  }
  static vdefRec* add(docRec* doc, const char* title, const Vec& eye, const Vec& centre, const Vec& up) {
    EXPECT_EQ(vdefMake(doc, eye.data(), centre.data(), up.data(), title), 0);
    return vdefFind(doc, title, uint32_t(std::strlen(title)));
  }
  // The memory context's document version.
  void setVersion(int version) { ioTypeMap(&ctx, fileClassId(), version); }

  // Writes the current document's directions into a container file whose
  // type table gives the document version; then reads it with the target
  // current. Answers the read's code.
  int throughFile(int version, uint32_t readFlags = 0) {
    const std::string name = (dir / "dirs.pdw").string();
    docSetCurrent(source);
    ioCtx* out = nullptr;
    if (const int answer = ioOpen(&out, name.c_str(), int(name.size()), ioFlagWrite, 4, nullptr)) return answer;
    ioTypeMap(out, fileClassId(), version);
    if (const int answer = ioClose(out)) return answer;
    docSetCurrent(target);
    ioCtx* in = nullptr;
    if (const int answer = ioOpen(&in, name.c_str(), int(name.size()), ioFlagRead | readFlags, 0, nullptr))
      return answer;
    return ioClose(in);
  }

  int32_t live = 0;
  docRec* source = nullptr;
  docRec* target = nullptr;
  ioCtx ctx{};
  std::filesystem::path dir;
};

TEST_F(VdefIoTest, TitlesAreCountedFromVersionTenAndSixtyFourBytesBelow) {
  const std::string exact(64, 'x'), longer = std::string(64, 'y') + "tail";
  const struct {
    int version;
    std::string title, back;
    long bytes;
  } cases[] = {
      {10, "Plan", "Plan", -1},
      {13, "", "", -1},
      {13, longer, longer, -1},
      {9, "Plan", "Plan", 64},
      {0, "", "", 64},
      {9, exact, exact, 64},    // no terminating zero in the file
      {9, longer, longer.substr(0, 64), 64},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.version);
    SCOPED_TRACE(c.title);
    if (ctx.stream) std::fclose(ctx.stream);
    memfile::open(ctx, 4);
    char* title = uStrDup(c.title.data(), uint32_t(c.title.size()), nullptr);
    ASSERT_EQ(vwTitleIO(&ctx, &title, c.version, 1), 0);
    std::fflush(ctx.stream);
    const long written = std::ftell(ctx.stream);
    if (c.bytes > 0) {
      EXPECT_EQ(written, c.bytes);
    }
    memfile::readFromStart(ctx);
    char* back = uStrDup("old", 3, nullptr);
    EXPECT_EQ(vwTitleIO(&ctx, &back, c.version, 0), 0);
    EXPECT_EQ(std::string(back), c.back);
    EXPECT_EQ(std::ftell(ctx.stream), written) << "everything written is read";
    EXPECT_EQ(vwTitleIO(&ctx, &back, c.version, 1), -1) << "the direction must match the context's";
    uFree(&back);
    uFree(&title);
  }
}

TEST_F(VdefIoTest, TheDocumentVersionIsTheStoredLevelOfClassFile) {
  EXPECT_EQ(vwFileDocVersion(&ctx), 0) << "no entry";
  EXPECT_EQ(ctx.typeCount, 0u) << "looking does not add the class";
  setVersion(13);
  EXPECT_EQ(vwFileDocVersion(&ctx), 13);
  ctx.version = 0;
  EXPECT_EQ(vwFileDocVersion(&ctx), 0) << "a container that stores no levels";
}

TEST_F(VdefIoTest, TheStoredRecordIsTitleFlagsCentreEyeAndUp) {
  setVersion(13);
  vdefRec* r = add(source, "Plan", {1, 2, 6}, {1, 2, 3}, {0, 1, 0});
  r->flags = vdefLocked;
  ASSERT_EQ(vdefRecordIO(&ctx, &r, 1), 0);
  memfile::readFromStart(ctx);
  char* title = nullptr;
  int32_t flags = 0;
  double centre[3], eye[3], up[3];
  ASSERT_GT(ioFormat(&ctx, "Si3d3d3d", &title, &flags, centre, eye, up), 0);
  EXPECT_STREQ(title, "Plan");
  uFreeIfSet(&title);
  EXPECT_EQ(flags, 1);
  EXPECT_EQ(vec(centre), (Vec{1, 2, 3}));
  EXPECT_EQ(vec(eye), (Vec{1, 2, 4}));
  EXPECT_EQ(vec(up), (Vec{0, 1, 0}));

  // Read back: a new record, not added to any document.
  ioSeek(&ctx, 0);
  vdefRec* back = nullptr;
  ASSERT_EQ(vdefRecordIO(&ctx, &back, 0), 0);
  ASSERT_TRUE(vdefIs(back));
  EXPECT_STREQ(back->title, "Plan");
  EXPECT_EQ(back->flags, uint32_t(vdefLocked));
  EXPECT_EQ(vec(back->eye), (Vec{1, 2, 4}));
  EXPECT_EQ(back->owner, nullptr);
  vdefFree(back);
}

TEST_F(VdefIoTest, ReadingAListAddsOnlyWhatIsNew) {
  setVersion(9);
  add(source, "Plan", {0, 0, 1}, {0, 0, 0}, {0, 1, 0});
  add(source, "Side", {1, 0, 0}, {0, 0, 0}, {0, 0, 1});
  add(source, "Back", {0, 1, 0}, {0, 0, 0}, {0, 0, 1});
  ASSERT_EQ(vdefListIO(&ctx, source, 1, 0), 0);
  add(target, "side", {0, -1, 0}, {0, 0, 0}, {0, 0, 1});

  memfile::readFromStart(ctx);
  ASSERT_EQ(vdefListIO(&ctx, target, 0, 1), 0);
  EXPECT_EQ(titles(target), (std::vector<std::string>{"side"})) << "an import adds nothing";

  ioSeek(&ctx, 0);
  ASSERT_EQ(vdefListIO(&ctx, target, 0, 0), 0);
  EXPECT_EQ(titles(target), (std::vector<std::string>{"side", "Plan", "Back"}));
  EXPECT_EQ(vec(vdefFind(target, "side", 4)->eye), (Vec{0, -1, 0})) << "the document's own is kept";
}

TEST_F(VdefIoTest, AStoredDirectionWithoutOneIsDropped) {
  setVersion(13);
  // Two records: the first with its eye on its centre.
  char* flat = uStrDup("Flat", 4, nullptr);
  char* good = uStrDup("Good", 4, nullptr);
  int32_t count = 2, flags = 0;
  const double zero[3] = {0, 0, 0}, z[3] = {0, 0, 1}, y[3] = {0, 1, 0};
  ASSERT_GT(ioFormat(&ctx, "iSi3d3d3dSi3d3d3d", &count, &flat, &flags, zero, zero, y, &good, &flags, zero, z, y), 0);
  uFree(&flat);
  uFree(&good);
  memfile::readFromStart(ctx);
  ASSERT_EQ(vdefListIO(&ctx, target, 0, 0), 0);
  EXPECT_EQ(titles(target), (std::vector<std::string>{"Good"}));
}

TEST_F(VdefIoTest, ACountBeyondTheBytesLeftIsBadData) {
  setVersion(13);
  int32_t count = 1000;
  ASSERT_GT(ioFormat(&ctx, "i", &count), 0);
  memfile::readFromStart(ctx);
  EXPECT_EQ(vdefListIO(&ctx, target, 0, 0), ioErrBadData);
  EXPECT_EQ(target->firstVdir, nullptr);
  EXPECT_EQ(gobjfx::boxes(), "Bad data in file|");
}

TEST_F(VdefIoTest, TheSegmentCarriesTheCurrentDocumentsDirections) {
  for (int version : {13, 9}) {
    SCOPED_TRACE(version);
    docRemoveVdefs(source);
    docRemoveVdefs(target);
    vdefStandardSet(source);
    const std::string longTitle(70, 'L');
    add(source, longTitle.c_str(), {3, 0, 1}, {3, 0, 0}, {1, 0, 0});
    add(target, "top", {0, 0, -1}, {0, 0, 0}, {0, 1, 0});

    ASSERT_EQ(throughFile(version), 0);
    const std::string stored = version >= 10 ? longTitle : longTitle.substr(0, 64);
    EXPECT_EQ(titles(target), (std::vector<std::string>{"top", "Isometric", "Right", "Front", stored}));
    for (const char* title : {"Isometric", "Right", "Front"}) {
      SCOPED_TRACE(title);
      const vdefRec* from = vdefFind(source, title, uint32_t(std::strlen(title)));
      const vdefRec* to = vdefFind(target, title, uint32_t(std::strlen(title)));
      EXPECT_EQ(to->flags, uint32_t(vdefLocked));
      EXPECT_EQ(vec(to->eye), vec(from->eye));
      EXPECT_EQ(vec(to->up), vec(from->up));
      EXPECT_EQ(to->owner, target);
    }
    EXPECT_EQ(vdefFind(target, "top", 3)->eye[2], -1) << "not replaced by the stored one";
    EXPECT_EQ(titles(source).size(), 5u) << "the written document is left alone";

    // Opened for an import, the file adds nothing.
    docRemoveVdefs(target);
    ASSERT_EQ(throughFile(version, ioFlagMerge), 0);
    EXPECT_EQ(target->firstVdir, nullptr);
  }
}

}  // namespace
