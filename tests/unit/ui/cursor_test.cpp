// The cursor table and the class "cursor": what each entry shows, cursors
// made by scripts, their attributes, their release, and their record in
// compiled images.
#include "ui/cursor.h"

#include "core/classes.h"
#include "core/errors.h"
#include "fe/dict.h"
#include "fe/error.h"
#include "fe/exec_fixture.h"
#include "fe/generic.h"
#include "fe/newbio.h"
#include "fe/stack.h"
#include "ui/attn.h"

#include <platform_test.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// 32 bytes of "data": rows 0-15, two bytes a row.
const char kData32[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdef";

HCURSOR sys(LPCSTR id) { return LoadCursorA(nullptr, id); }

PlCursorInfo shown() {
  PlCursorInfo info;
  plTestShownCursor(&info);
  return info;
}

class Cursor : public ::testing::Test {
protected:
  void SetUp() override {
    execfx::start();
    plTestReset();
    if (!execfx::defined("aCursor")) {
      feRegisterOp("aUseCursor", aUseCursor, "!IQ", 0, 0);
      feRegisterOp("aCursor", aCursor, "O#Q", 0, 0);
    }
    ASSERT_EQ(cursorClassInit(), -1);
  }
  void TearDown() override {
    while (uiBusyCount() > 0) uiBusyEnd();
    feStackClear(*feOperandStack());
    // Scripts' cursors go first, while the table still knows them.
    ASSERT_EQ(feExecString("/c null def /d null def"), feOk);
    cursorTerm();
    EXPECT_EQ(plTestLiveCursors(), 0u);
    execfx::stop();
    plTestReset();
  }

  int run(const std::string& text) { return feExecString(text.c_str()); }

  // The record of the cursor a script defined under name.
  cursorRec* record(const char* name) {
    feObject v;
    if (feDictGetName(feUserDict(), name, &v) != feOk) return nullptr;
    auto* c = feType(&v) == feTObject ? static_cast<cursorRec*>(v.w0.obj) : nullptr;
    feFree(&v);
    return c;
  }

  // aUseCursor called as the operator's handler is, with its answer.
  static int useCursor(int32_t index, void* object) {
    feArg in[2];
    in[0].i = index;
    in[1].record = object;
    feArgs args{in, 2, nullptr, 0, 0};
    return aUseCursor(&args);
  }
};

TEST_F(Cursor, StartTableShowsSystemCursorsAndEntryTwoShowsTheArrow) {
  EXPECT_EQ(cursorTableSize(), 14u);
  EXPECT_EQ(cursorCurrent(), 0);
  EXPECT_EQ(plTestCurrentCursor(), sys(IDC_ARROW));
  const struct {
    uint32_t index;
    LPCSTR shape;
    uint32_t current;
  } cases[] = {{1, IDC_IBEAM, 1},      {2, IDC_ARROW, 0},     {4, IDC_ARROW, 4},      {6, IDC_SIZE, 6},
               {7, IDC_ICON, 7},       {8, IDC_SIZEWE, 8},    {9, IDC_SIZENS, 9},     {10, IDC_SIZENWSE, 10},
               {11, IDC_SIZENESW, 11}, {12, IDC_WAIT, 12},    {13, IDC_CROSS, 13}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.index);
    cursorSet(1);  // something else first
    EXPECT_EQ(cursorSet(c.index), c.current);
    EXPECT_EQ(cursorCurrent(), int32_t(c.current));
    EXPECT_EQ(plTestCurrentCursor(), sys(c.shape));
  }
  // Beyond the table: the current entry again.
  cursorSet(9);
  SetCursor(nullptr);
  EXPECT_EQ(cursorSet(uint32_t(-1)), 9u);
  EXPECT_EQ(plTestCurrentCursor(), sys(IDC_SIZENS));
}

TEST_F(Cursor, ScriptCursorInEntryTwentyGrowsTheTableAndShowsItsImage) {
  ASSERT_EQ(run(std::string("/c [/data (") + kData32 + ") /x 3 /y 4] aCursor def 20 c aUseCursor"), feOk);
  EXPECT_EQ(cursorTableSize(), 21u);
  EXPECT_EQ(cursorEntryAt(20)->object, record("c"));
  for (uint32_t empty = 14; empty < 20; ++empty) {
    SCOPED_TRACE(empty);
    EXPECT_EQ(cursorSet(empty), 0u);
    EXPECT_EQ(plTestCurrentCursor(), sys(IDC_ARROW));
  }
  EXPECT_EQ(cursorSet(20), 20u);
  const PlCursorInfo info = shown();
  EXPECT_FALSE(info.system);
  EXPECT_EQ(info.hotX, 3);
  EXPECT_EQ(info.hotY, 4);
  ASSERT_EQ(info.width, 32);
  ASSERT_EQ(info.height, 32);
  ASSERT_EQ(info.xorMask.size(), 128u);
  for (int row = 0; row < 32; ++row) {
    SCOPED_TRACE(row);
    const bool given = row < 16;
    EXPECT_EQ(info.xorMask[row * 4], given ? uint8_t(kData32[row * 2]) : 0);
    EXPECT_EQ(info.xorMask[row * 4 + 1], given ? uint8_t(kData32[row * 2 + 1]) : 0);
    EXPECT_EQ(info.xorMask[row * 4 + 2], 0);
    EXPECT_EQ(info.xorMask[row * 4 + 3], 0);
  }
  EXPECT_EQ(info.andMask, std::vector<uint8_t>(128, 0xFF));
  EXPECT_EQ(plTestLiveCursors(), 1u);
}

TEST_F(Cursor, DataOfAnotherLengthLeavesTheImageEmpty) {
  for (const std::string& data : {std::string(kData32, 31), std::string(kData32) + "g", std::string()}) {
    SCOPED_TRACE(data.size());
    ASSERT_EQ(run("/c [/data (" + data + ") /mask (ignored) /x 1] aCursor def"), feOk);
    const cursorRec* c = record("c");
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->width, 0);
    EXPECT_EQ(c->hotX, 1);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(c->image), 128), std::string(128, '\0'));
  }
  ASSERT_EQ(run(std::string("/c [/data (") + kData32 + ")] aCursor def"), feOk);
  EXPECT_EQ(record("c")->width, 32);
}

TEST_F(Cursor, ChangingTheHotSpotOfACursorInUseRemakesTheShownCursor) {
  ASSERT_EQ(run("/c [/x 3 /y 4] aCursor def 7 c aUseCursor 9 c aUseCursor"), feOk);
  cursorSet(7);
  EXPECT_EQ(shown().hotX, 3);
  ASSERT_EQ(run("c /x 10 put c /y 11 put"), feOk);
  EXPECT_EQ(shown().hotX, 10);
  EXPECT_EQ(shown().hotY, 11);
  cursorSet(9);  // the other entry holding it was made anew too
  EXPECT_EQ(shown().hotX, 10);
  EXPECT_EQ(plTestLiveCursors(), 2u);  // the old handles were destroyed
  ASSERT_EQ(run("c /x get c /y get"), feOk);
  EXPECT_EQ(execfx::operands(), "10 11");
  feStackClear(*feOperandStack());

  // Keys the class does not take: data and mask are known but cannot be read
  // or set; others are unknown.
  const struct {
    const char* text;
    int answer;
  } refused[] = {{"c /data get", feErrTypeCheck}, {"c /mask (x) put", feErrTypeCheck},
                 {"c /z get", feErrUndefined},    {"c /z 1 put", feErrUndefined},
                 {"c /x (a) put", feErrTypeCheck}};
  for (const auto& r : refused) {
    SCOPED_TRACE(r.text);
    EXPECT_EQ(run(r.text), r.answer);
    feStackClear(*feOperandStack());
  }
  EXPECT_EQ(record("c")->hotX, 10);
}

TEST_F(Cursor, MakingRefusesWhatIsNotAPairListOfKnownKeys) {
  const struct {
    const char* text;
    int answer;
  } cases[] = {{"5 aCursor", feErrTypeCheck},
               {"[/x 1 /size 2] aCursor", feErrUndefined},
               {"[/x (one)] aCursor", feErrTypeCheck},
               {"[/x 1 /y] aCursor", feErrRangeCheck}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(run(c.text), c.answer);
    feStackClear(*feOperandStack());
  }
}

TEST_F(Cursor, UseRefusesIndicesOutsideTheTableRangeAndOtherObjects) {
  ASSERT_EQ(run("/c [/x 1] aCursor def"), feOk);
  cursorRec* c = record("c");
  EXPECT_EQ(useCursor(-1, c), feErrRangeCheck);
  EXPECT_EQ(useCursor(4096, c), feErrRangeCheck);
  EXPECT_EQ(useCursor(int32_t(0x80000000u), c), feErrRangeCheck);
  EXPECT_EQ(cursorTableSize(), 14u);

  struct Other {
    uint16_t classId;
    uint8_t refCount, flags;
  } other{objClassRegister("curstst", 0, nullptr), 1, 0};
  EXPECT_EQ(useCursor(3, &other), feErrTypeCheck);
  EXPECT_EQ(cursorEntryAt(3)->object, nullptr);
  EXPECT_EQ(cursorEntryAt(3)->native, sys(IDC_ARROW));

  EXPECT_EQ(useCursor(4095, c), 0);
  EXPECT_EQ(cursorTableSize(), 4096u);
  // The operator ignores its handler's answer: a script's bad index changes
  // nothing and raises nothing.
  EXPECT_EQ(run("-1 c aUseCursor 4096 c aUseCursor"), feOk);
  EXPECT_EQ(cursorTableSize(), 4096u);
}

TEST_F(Cursor, FreedCursorLeavesEveryEntryAndNoNativeCursorBehind) {
  ASSERT_EQ(run("/c [/x 2] aCursor def 3 c aUseCursor 5 c aUseCursor"), feOk);
  cursorSet(5);
  EXPECT_EQ(plTestLiveCursors(), 2u);
  ASSERT_EQ(run("/c null def"), feOk);  // the last reference
  for (uint32_t i : {3u, 5u}) {
    SCOPED_TRACE(i);
    EXPECT_EQ(cursorEntryAt(i)->object, nullptr);
    EXPECT_EQ(cursorSet(i), 0u);
  }
  EXPECT_EQ(plTestLiveCursors(), 0u);
  EXPECT_EQ(plTestCurrentCursor(), sys(IDC_ARROW));
}

TEST_F(Cursor, ReplacingAnEntrysCursorDestroysTheOneMadeBefore) {
  ASSERT_EQ(run("/c [/x 1] aCursor def /d [/x 2] aCursor def 3 c aUseCursor 3 d aUseCursor"), feOk);
  EXPECT_EQ(plTestLiveCursors(), 1u);
  // Cleared first (the made cursor stays shown), then set again.
  ASSERT_EQ(run("3 null aUseCursor"), feOk);
  EXPECT_EQ(cursorEntryAt(3)->object, nullptr);
  cursorSet(3);
  EXPECT_EQ(shown().hotX, 2);
  ASSERT_EQ(run("3 c aUseCursor"), feOk);
  EXPECT_EQ(plTestLiveCursors(), 1u);
  EXPECT_EQ(shown().hotX, 1);  // entry 3 is current: shown at once
  cursorSetSystem(3, sys(IDC_CROSS));
  EXPECT_EQ(plTestLiveCursors(), 0u);
  EXPECT_EQ(plTestCurrentCursor(), sys(IDC_CROSS));
}

TEST_F(Cursor, BusyEndShowsTheCurrentEntry) {
  cursorSet(13);
  uiBusyBegin();
  uiBusyBegin();
  evProgressTick(40);  // shows the wait cursor while busy
  EXPECT_EQ(plTestCurrentCursor(), sys(IDC_WAIT));
  uiBusyEnd();
  EXPECT_EQ(plTestCurrentCursor(), sys(IDC_WAIT));
  uiBusyEnd();
  EXPECT_EQ(plTestCurrentCursor(), sys(IDC_CROSS));
  EXPECT_EQ(cursorCurrent(), 13);
}

// The record the class writes for a compiled image.
std::vector<uint8_t> written(cursorRec* c) {
  std::vector<uint8_t> bytes;
  uArrayFile file = uArrayToMemory(&bytes);
  EXPECT_EQ(objMeth(c->classId, feMsgImage, c, 0, 1, intptr_t(&file)), 0);
  return bytes;
}

TEST_F(Cursor, WritesTwoCountedRecordsLittleEndian) {
  ASSERT_EQ(run(std::string("/c [/data (") + kData32 + ") /x 258 /y 3] aCursor def"), feOk);
  cursorRec* c = record("c");
  const uint16_t id = cursorClassId();
  std::vector<uint8_t> expected = {0x0B, 0, 1, 0, 0, 0, 0x8A, 0, 0, 0, 0x0C, 0, 1, 0, 0, 0};
  const uint8_t head[] = {uint8_t(id), uint8_t(id >> 8), c->refCount, 0, 32, 0, 2, 1, 3, 0};
  expected.insert(expected.end(), head, head + sizeof head);
  for (int row = 0; row < 32; ++row) {
    const bool given = row < 16;
    const uint8_t bytes[] = {given ? uint8_t(kData32[row * 2]) : uint8_t(0),
                             given ? uint8_t(kData32[row * 2 + 1]) : uint8_t(0), 0, 0};
    expected.insert(expected.end(), bytes, bytes + 4);
  }
  EXPECT_EQ(written(c), expected);
  // Any other form than writing (1) or reading (0) does nothing.
  EXPECT_EQ(objMeth(c->classId, feMsgImage, c, 0, 7, 0), 0);
}

TEST_F(Cursor, ACursorKeptInACompiledImageComesBack) {
  ASSERT_EQ(run(std::string("/c [/data (") + kData32 + ") /x 5 /y 6] aCursor def"), feOk);
  const cursorRec* original = record("c");
  feObject root;
  feMakeDict(&root, 4);
  feObject value;
  ASSERT_EQ(feDictGetName(feUserDict(), "c", &value), feOk);
  feDictDefName(&root, "kept", &value);
  feFree(&value);

  const std::string path = testing::TempDir() + "cursor_image.bin";
  ASSERT_EQ(feImageWrite(path.c_str(), &root, nullptr), feOk);
  feImage* image = nullptr;
  ASSERT_EQ(feImageRead(path.c_str(), &image), feOk);
  feObject got;
  ASSERT_EQ(feDictGetName(feImageSystemDict(image), "kept", &got), feOk);
  ASSERT_EQ(feType(&got), feTObject);
  auto* copy = static_cast<cursorRec*>(got.w0.obj);
  EXPECT_NE(copy, original);
  EXPECT_EQ(copy->classId, cursorClassId());
  EXPECT_EQ(copy->hotX, 5);
  EXPECT_EQ(copy->hotY, 6);
  EXPECT_EQ(copy->width, 32);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(copy->image), 128),
            std::string(reinterpret_cast<const char*>(original->image), 128));

  // It works as a cursor: into an entry, shown, and gone from the table when
  // the image and this copy let it go.
  cursorSetEntry(15, copy);
  cursorSet(15);
  EXPECT_EQ(shown().hotX, 5);
  feFree(&got);
  feImageFree(image);
  EXPECT_EQ(cursorEntryAt(15)->object, nullptr);
  EXPECT_EQ(plTestLiveCursors(), 0u);
  feFree(&root);
  std::remove(path.c_str());
}

}  // namespace
