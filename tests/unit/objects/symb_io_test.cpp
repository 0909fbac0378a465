#include "symb_fixture.h"

#include "objects/iofile.h"
#include "objects/objrecord.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

namespace {

using symbfx::SymbTest;

class SymbIOTest : public SymbTest, public ::testing::WithParamInterface<int> {
protected:
  void SetUp() override {
    SymbTest::SetUp();
    dir = std::filesystem::temp_directory_path() / ("plumet-symb-" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(dir);
    file = (dir / "symbols.qdw").string();
  }
  void TearDown() override {
    std::filesystem::remove_all(dir);
    SymbTest::TearDown();
  }

  // Writes the objects as the file's records (the whole document's masters
  // with all set).
  void write(std::vector<gobjRec*> list, bool all, int version = 4) {
    ioCtx* ctx = nullptr;
    ASSERT_EQ(ioOpen(&ctx, file.c_str(), int(file.size()), ioFlagWrite, version, nullptr), 0);
    if (all) symbWriteAll(ctx);
    for (gobjRec* object : list) objWrite(object, ctx);
    ASSERT_EQ(ioClose(ctx), 0);
  }
  // Reads the records into the document "other", made current.
  std::vector<gobjRec*> read() {
    open(other);
    std::vector<gobjRec*> list;
    ioCtx* ctx = nullptr;
    EXPECT_EQ(ioOpen(&ctx, file.c_str(), int(file.size()), ioFlagRead, 0, nullptr), 0);
    if (!ctx) return list;
    for (;;) {
      int status = 0;
      gobjRec* object = nullptr;
      objRead(ctx, &status, &object);
      if (status == -1 || !object) break;
      list.push_back(hold(object));
    }
    EXPECT_EQ(ioClose(ctx), 0);
    return list;
  }

  std::filesystem::path dir;
  std::string file;
};

TEST_P(SymbIOTest, AMasterPlacingAnotherRoundTrips) {
  symbRec* a = define("A", {curve({1, 0, 0}, {2, 0, 0})});
  a->id = 5;
  symbRec* b = define("B", {curve({0, 0, 0}, {0, 3, 0}), &place(a, {{"width", 2}})->head});
  const double moved[16] = {1, 0, 0, 10, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  instRec* placed = place(b, {}, moved);
  feObject text;
  feMakeString(&text, "7", 1);
  set(&placed->head, "itemno", text);
  double before[6];
  instEnvelope(&placed->head, before);
  write({&placed->head}, true, GetParam());

  std::vector<gobjRec*> got = read();
  ASSERT_EQ(got.size(), 1u);
  ASSERT_TRUE(instIs(got[0]));
  auto* back = reinterpret_cast<instRec*>(got[0]);
  symbRec* b2 = symbFind("B", 1, 0);
  symbRec* a2 = symbFind("A", 1, 0);
  ASSERT_NE(b2, nullptr);
  ASSERT_NE(a2, nullptr);
  EXPECT_EQ(back->symbol, b2);
  EXPECT_EQ(back->placement[3], 10);
  EXPECT_EQ(back->head.color, 254);
  if (GetParam() >= 1) {
    EXPECT_EQ(a2->id, 5);
  }
  std::string item;
  get(&back->head, "itemno", &item);
  EXPECT_EQ(item, GetParam() >= 1 ? "(7)" : "()");
  EXPECT_EQ(members(b2), 2);
  // B's instance of A came back with its parameter, resolved again.
  instRec* inner = nullptr;
  grpForEach(b2->members, [](gobjRec* m, void* c) {
    if (instIs(m)) *static_cast<instRec**>(c) = reinterpret_cast<instRec*>(m);
    return 0;
  }, &inner);
  ASSERT_NE(inner, nullptr);
  EXPECT_EQ(inner->symbol->master, a2);
  ASSERT_EQ(inner->symbol->paramCount, 1);
  EXPECT_STREQ(inner->symbol->params[0].name, "width");
  EXPECT_EQ(inner->symbol->params[0].value, 2);
  double after[6];
  instEnvelope(&back->head, after);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(after[i], before[i]) << i;
}

INSTANTIATE_TEST_SUITE_P(Versions, SymbIOTest, ::testing::Values(0, 1, 4));

TEST_F(SymbIOTest, AWholeDocumentKeepsMastersNoInstancePlaces) {
  define("unplaced", {curve({0, 0, 0}, {1, 1, 0})});
  instRec* placed = place(define("placed", {curve({0, 0, 0}, {1, 0, 0})}));
  write({&placed->head}, true);
  read();
  EXPECT_EQ(names(other), (std::vector<std::string>{"placed", "unplaced"}));
  symbRec* kept = symbFind("unplaced", 8, 0);
  ASSERT_NE(kept, nullptr);
  EXPECT_EQ(members(kept), 1);
  close(other);

  // A file of some objects only takes the masters they place. It is
  // written from the first document, as the whole one was.
  dbSetCurrentDoc(&doc);
  write({&placed->head}, false);
  read();
  EXPECT_EQ(names(other), (std::vector<std::string>{"placed"}));
}

TEST_F(SymbIOTest, DamagedCountsFailTheReadInsteadOfAllocating) {
  instRec* placed = place(define("door", {curve({0, 0, 0}, {1, 0, 0})}), {{"width", 2}});
  write({&placed->head}, true);
  // The symbol segment's count is its first byte (one master: 01); make it
  // a large compact integer.
  std::string bytes;
  {
    std::FILE* f = std::fopen(file.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
    std::fclose(f);
  }
  ASSERT_GE(bytes.size(), 64u);
  const auto word = [&](int i) {
    return uint32_t(uint8_t(bytes[4 * i])) << 24 | uint32_t(uint8_t(bytes[4 * i + 1])) << 16 |
           uint32_t(uint8_t(bytes[4 * i + 2])) << 8 | uint32_t(uint8_t(bytes[4 * i + 3]));
  };
  const uint32_t at = word(ioWordSymbols);
  ASSERT_GT(at, 64u);
  ASSERT_EQ(bytes[at], 1);
  // 0x70 7F FF FF FF would need five bytes; a two-byte 40 7F (127) fits in
  // place of the count and the first name byte.
  bytes[at] = char(0x40);
  bytes[at + 1] = char(0x7F);
  {
    std::FILE* f = std::fopen(file.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  open(other);
  ioCtx* ctx = nullptr;
  EXPECT_NE(ioOpen(&ctx, file.c_str(), int(file.size()), ioFlagRead, 0, nullptr), 0);
  EXPECT_EQ(other.symbols, nullptr);
}

}  // namespace
