// The variable section of drawing files: the value coding, round trips of
// settings and saved variables, records this program does not know or
// whose length is wrong, and the faults of stored counts and sizes.
#include "docvar_fixture.h"

#include "objects/docvar_value.h"

#include "fe/stack.h"

#include <algorithm>
#include <cstring>

namespace {

using docvarfx::DocVarTest;

class DocVarIO : public DocVarTest {
protected:
  // The bytes feWrite gives for the value of FE text.
  std::vector<uint8_t> coded(const char* text) {
    EXPECT_EQ(run(text), 0);
    feObject value;
    fePop(*feOperandStack(), &value);
    const std::string name = path("value.qdw");
    ioCtx* ctx = nullptr;
    EXPECT_EQ(ioOpen(&ctx, name.c_str(), int(name.size()), ioFlagWrite | ioFlagRaw, 4, nullptr), 0);
    EXPECT_EQ(feWrite(ctx, &value), 0);
    const long end = std::ftell(ctx->stream);
    ioClose(ctx);
    feFree(&value);
    const std::vector<uint8_t> all = bytes(name);
    return std::vector<uint8_t>(all.begin() + ioHeaderSize, all.begin() + end);
  }

  // Writers that stand in for routines of other programs or damaged files:
  // registered under a name only while a file is written.
  static int writeInts(const char*, dbDocRec*, ioCtx* ctx) {
    int32_t a = 1, b = 2, c = 3;
    return ioFormat(ctx, "iii", &a, &b, &c) < 0 ? -1 : 0;
  }
  static int readOneInt(const char*, dbDocRec*, ioCtx* ctx) {
    int32_t a = 0;
    if (ctx->mode == 'r') ioFormat(ctx, "i", &a);
    else writeInts(nullptr, nullptr, ctx);
    return 0;
  }
  static int tenWeights(const char*, dbDocRec*, ioCtx* ctx) {
    int32_t n = 10;
    double w[10];
    for (int i = 0; i < 10; ++i) w[i] = 0.25 * (i + 1);
    return ioFormat(ctx, "i*R", &n, 10, w) < 0 ? -1 : 0;
  }
  static int longDir(const char*, dbDocRec*, ioCtx* ctx) {
    int32_t n = docDefaultDirStored;
    std::vector<uint8_t> stored(n, 'b');
    return ioFormat(ctx, "i*b", &n, n, stored.data()) < 0 ? -1 : 0;
  }

  std::string log() const { return gobjfx::state().log; }
};

TEST_F(DocVarIO, ValueCodingIsByteExact) {
  EXPECT_EQ(coded("[1 (a) 2.5 true null]"),
            (std::vector<uint8_t>{0x06, 0x05, 0x02, 0x01, 0x05, 0x01, 0x01, 0x61, 0x03, 0x18, 0x40, 0x01, 0x01, 0x00}));
  EXPECT_EQ(coded("/nm"), (std::vector<uint8_t>{0x04, 0x02, 0x02, 'n', 'm'}));
}

TEST_F(DocVarIO, SettingsAndSavedVariablesRoundTrip) {
  varSaveAdd("abc", 3, 0);
  dbDocRec*& doc = newDoc();
  activate(doc);
  ASSERT_EQ(run("/abc [1 (x) /nm 2.5 false null 3 dict dup /k [7] put] def"), 0);
  doc->selectColor = 5;
  doc->workLayer = uint8_t(layerNumber("construction", 12));
  for (uint32_t i = 0; i < docPenWeightCount; ++i) doc->penWeights[i] = 0.1 * i;
  std::memset(doc->visual, 7, sizeof doc->visual);
  ASSERT_EQ(save(path()), 0);

  ASSERT_EQ(run("/abc 0 store"), 0);
  doc->selectColor = 1;
  doc->workLayer = 0;
  std::memset(doc->penWeights, 0, sizeof doc->penWeights);
  std::memset(doc->visual, 0, sizeof doc->visual);
  ASSERT_EQ(load(path()), 0);
  ASSERT_EQ(run("/head abc 0 6 getinterval def /inner abc 6 get /k get def"), 0);
  EXPECT_EQ(valueOf("head"), "[1 (x) /nm 2.5 false -null- ]");
  EXPECT_EQ(valueOf("inner"), "[7 ]");
  EXPECT_EQ(doc->selectColor, 5);
  EXPECT_EQ(doc->workLayer, layerNumber("construction", 12));
  EXPECT_DOUBLE_EQ(doc->penWeights[7], 0.7);
  EXPECT_EQ(doc->visual[15], 7);
  EXPECT_EQ(log().find("cannot find"), std::string::npos);
}

TEST_F(DocVarIO, UnknownAndMissizedRecordsAreSkipped) {
  varRegister(writeInts, "$FOO", nullptr);
  varRegister(readOneInt, "$SHORT", nullptr);
  dbDocRec*& doc = newDoc();
  activate(doc);
  doc->selectColor = 4;
  ASSERT_EQ(save(path()), 0);

  // Reading knows "$SHORT" (it reads less than was stored) but not "$FOO";
  // "$SELCOLOR" behind them still reads.
  docVarReset();
  varRegister(readOneInt, "$SHORT", nullptr);
  docVarSettingsRegister();
  doc->selectColor = 1;
  EXPECT_EQ(load(path()), 0);
  EXPECT_NE(log().find("var '$FOO': cannot find\n"), std::string::npos);
  EXPECT_NE(log().find("[ERR docVarIO] $SHORT: io: adjust"), std::string::npos);
  EXPECT_NE(log().find("[docVarIO] reset to offset:"), std::string::npos);
  EXPECT_EQ(doc->selectColor, 4);
}

TEST_F(DocVarIO, PenWeightsReadAtMostEight) {
  docVarReset();
  varRegister(tenWeights, "$PENWEIGHTS", nullptr);
  varRegister(writeInts, "$AFTER", nullptr);
  dbDocRec*& doc = newDoc();
  activate(doc);
  ASSERT_EQ(save(path()), 0);
  docVarReset();
  docVarSettingsRegister();
  varRegister(writeInts, "$AFTER", nullptr);
  EXPECT_EQ(load(path()), 0);
  EXPECT_DOUBLE_EQ(doc->penWeights[0], 0.25);
  EXPECT_DOUBLE_EQ(doc->penWeights[7], 2.0);
  EXPECT_EQ(log().find("$AFTER: io"), std::string::npos);  // its record began where it should
}

TEST_F(DocVarIO, DefaultDirOnlyInThePreferencesFile) {
  dbDocRec*& doc = newDoc();
  activate(doc);
  std::strcpy(docDefaultDir(), "C:\\plans");
  ASSERT_EQ(save(path("PREFS.QDW")), 0);
  ASSERT_EQ(save(path("plan.qdw")), 0);
  // The preferences file carries the 2120 stored bytes.
  EXPECT_GE(bytes(path("PREFS.QDW")).size(), bytes(path("plan.qdw")).size() + docDefaultDirStored);

  std::strcpy(docDefaultDir(), "other");
  ASSERT_EQ(load(path("plan.qdw")), 0);
  EXPECT_STREQ(docDefaultDir(), "other");
  ASSERT_EQ(load(path("PREFS.QDW")), 0);
  EXPECT_STREQ(docDefaultDir(), "C:\\plans");
}

TEST_F(DocVarIO, StoredDefaultDirIsCutToItsSlot) {
  docVarReset();
  varRegister(longDir, "$DEFAULTDIR", nullptr);
  dbDocRec*& doc = newDoc();
  activate(doc);
  ASSERT_EQ(save(path("PREFS.QDW")), 0);
  docVarReset();
  docVarSettingsRegister();
  ASSERT_EQ(load(path("PREFS.QDW")), 0);
  EXPECT_EQ(std::strlen(docDefaultDir()), docDefaultDirSize - 1);
  EXPECT_EQ(docDefaultDir()[0], 'b');
}

TEST_F(DocVarIO, ValueThatContainsItselfIsNotWritten) {
  varSaveAdd("loop", 4, 0);
  varSaveAdd("ok", 2, 0);
  dbDocRec*& doc = newDoc();
  activate(doc);
  ASSERT_EQ(run("/loop [1 2] def loop 1 loop put /ok 3 def"), 0);
  dbgSetFlags(1);  // trace alerts are shown
  ASSERT_EQ(save(path()), 0);
  dbgSetFlags(0);
  EXPECT_NE(gobjfx::boxes().find("feWrite failed [loop]"), std::string::npos);
  ASSERT_EQ(run("/ok 0 store"), 0);
  ASSERT_EQ(load(path()), 0);
  EXPECT_EQ(valueOf("ok"), "3");
  ASSERT_EQ(run("loop 1 null put"), 0);  // the cycle would keep the array alive
}

TEST_F(DocVarIO, CountsBeyondTheRecordFailOnlyTheirValue) {
  varSaveAdd("big", 3, 0);
  varSaveAdd("ok", 2, 0);
  dbDocRec*& doc = newDoc();
  activate(doc);
  ASSERT_EQ(run("/big [1 2 3] def /ok 3 def"), 0);
  ASSERT_EQ(save(path()), 0);
  // The array's count 3 becomes 100: more elements than the record holds.
  std::vector<uint8_t> file = bytes(path());
  const uint8_t pattern[] = {'b', 'i', 'g', 0x06, 0x03};
  auto at = std::search(file.begin(), file.end(), std::begin(pattern), std::end(pattern));
  ASSERT_NE(at, file.end());
  at[4] = 100;
  std::ofstream(path(), std::ios::binary).write(reinterpret_cast<const char*>(file.data()), long(file.size()));

  EXPECT_EQ(run("/big 0 store /ok 0 store"), 0);
  EXPECT_EQ(load(path()), 0);
  EXPECT_NE(log().find("[docVarIO] big: value not read"), std::string::npos);
  EXPECT_EQ(valueOf("ok"), "3");
}

TEST_F(DocVarIO, NoCurrentDocumentAndCorruptHeaders) {
  const std::string name = path();
  ioCtx* ctx = nullptr;
  ASSERT_EQ(ioOpen(&ctx, name.c_str(), int(name.size()), ioFlagWrite | ioFlagRaw, 4, nullptr), 0);
  EXPECT_EQ(docVarIO(ctx, ioEvWriteSegment), -4146);
  // A record whose kind word is not 0.
  dbDocRec*& doc = newDoc();
  activate(doc);
  int32_t kind = 3, length = 1;
  ioFormat(ctx, "il", &kind, &length);
  ioClose(ctx);
  ctx = nullptr;
  ASSERT_EQ(ioOpen(&ctx, name.c_str(), int(name.size()), ioFlagRead | ioFlagRaw, 0, nullptr), 0);
  ioSeek(ctx, ioHeaderSize);
  ctx->flags = ioFlagRead;
  dbgSetFlags(1);
  EXPECT_EQ(docVarIO(ctx, ioEvReadSegment), -4139);
  dbgSetFlags(0);
  EXPECT_NE(gobjfx::boxes().find("file corrupted in var section"), std::string::npos);
  ioClose(ctx);
}

}  // namespace
