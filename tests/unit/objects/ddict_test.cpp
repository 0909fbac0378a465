// Packed attribute dictionaries: the limits, entries that keep their places,
// flags, copies, the record (byte-exact, and damaged records refused), and
// the class "docdict" as scripts use it.
#include "objects/ddict.h"

#include "core/alloc.h"
#include "core/classes.h"
#include "core/errors.h"
#include "fe/exec_fixture.h"
#include "fe/generic.h"
#include "fe/stack.h"
#include "memfile_fixture.h"
#include "objects/doclive.h"
#include "objects/docstate.h"
#include "objects/docvar.h"
#include "objects/iofile.h"
#include "objects/ioformat.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

int set(ddBlock** slot, const std::string& key, const std::string& value) {
  return ddSet(slot, key.data(), uint32_t(key.size()), value.data(), uint32_t(value.size()));
}

// "key=value" per entry in index order, separated by blanks.
std::string entries(const ddBlock* block) {
  std::string text;
  for (uint32_t i = 0; i < ddCount(block); ++i) {
    const char *key, *value;
    uint32_t kl, vl;
    EXPECT_EQ(ddGetEntry(block, i, &key, &kl, &value, &vl), 0);
    text += (i ? " " : "") + std::string(key, kl) + "=" + std::string(value, vl);
  }
  return text;
}

class DdBlock : public ::testing::Test {
protected:
  void TearDown() override {
    ddFree(&block);
    ddFree(&other);
  }
  ddBlock* block = nullptr;
  ddBlock* other = nullptr;
};

TEST_F(DdBlock, KeysBelow32AndValuesBelow65536Bytes) {
  EXPECT_EQ(set(&block, std::string(31, 'k'), "v"), 0);
  EXPECT_EQ(set(&block, std::string(32, 'k'), "v"), feErrLengthCheck);
  EXPECT_EQ(ddSet(&block, "a", 1, nullptr, 65536), feErrLengthCheck);
  EXPECT_EQ(ddDelete(&block, std::string(32, 'k').data(), 32), feErrLengthCheck);
  EXPECT_EQ(ddCount(block), 1u);
}

TEST_F(DdBlock, ABlockOf32768BytesIsRefusedAndTheOldOneKept) {
  // One entry: 8 bytes of head, an index of 2 entries, data rounded to 8.
  const std::string fits(32743, 'v'), tooBig(32751, 'v');
  ASSERT_EQ(set(&block, "k", fits), 0);
  EXPECT_EQ(ddSize(block), 32760u);
  EXPECT_EQ(set(&block, "k", tooBig), feErrLimitCheck);
  EXPECT_EQ(set(&block, "j", ""), feErrLimitCheck);
  EXPECT_EQ(ddCount(block), 1u);
  const char* value;
  uint32_t length;
  int found;
  EXPECT_EQ(ddLookup(&block, "k", 1, &value, &length, &found), 0);
  EXPECT_EQ(std::string(value, length), fits);
}

TEST_F(DdBlock, AChangedValueKeepsItsPlaceAndTheDataBehindItMoves) {
  set(&block, "A", "x");
  set(&block, "Bc", "yz");
  set(&block, "D", "q");
  EXPECT_EQ(set(&block, "A", "longer value"), 0);
  EXPECT_EQ(entries(block), "A=longer value Bc=yz D=q");
  EXPECT_EQ(set(&block, "Bc", ""), 0);
  EXPECT_EQ(entries(block), "A=longer value Bc= D=q");
  EXPECT_EQ(set(&block, "a", "case counts"), 0);
  EXPECT_EQ(entries(block), "A=longer value Bc= D=q a=case counts");
}

TEST_F(DdBlock, DeletingMovesTheRestDownAndLeavesAnEmptyBlock) {
  EXPECT_EQ(ddDelete(&block, "A", 1), ddErrNoBlock);
  set(&block, "A", "x");
  set(&block, "Bc", "yz");
  EXPECT_EQ(ddDelete(&block, "Q", 1), ddErrAbsent);
  EXPECT_EQ(ddDelete(&block, "A", 1), 0);
  EXPECT_EQ(entries(block), "Bc=yz");
  EXPECT_EQ(ddDelete(&block, "Bc", 2), 0);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(block->count, 0);
  EXPECT_EQ(block->dataUsed, 0);
}

TEST_F(DdBlock, AbsentEntriesAnswerNotFound) {
  const char* value = "stale";
  uint32_t length = 9;
  int found = 9;
  EXPECT_EQ(ddLookup(&block, "A", 1, &value, &length, &found), ddErrNotFound);
  EXPECT_EQ(value, nullptr);
  EXPECT_EQ(length, 0u);
  EXPECT_EQ(found, 0);
  set(&block, "A", "x");
  EXPECT_EQ(ddGetEntry(block, 1, nullptr, nullptr, nullptr, nullptr), ddErrNotFound);
  EXPECT_EQ(ddGetEntry(nullptr, 0, nullptr, nullptr, nullptr, nullptr), ddErrNotFound);
}

TEST_F(DdBlock, FlagsBelongToTheirEntryAndANewEntryHasNone) {
  set(&block, "A", "x");
  set(&block, "B", "y");
  EXPECT_EQ(ddSetFlags(&block, "B", 1, ddReadOnly | 0x80, true), 0);
  EXPECT_EQ(ddSetFlags(&block, "B", 1, 0x80, false), 0);
  int on = -1;
  EXPECT_EQ(ddGetFlags(&block, "B", 1, ddReadOnly, &on), 0);
  EXPECT_EQ(on, 1);
  EXPECT_EQ(ddGetFlags(&block, "B", 1, 0x80, &on), 0);
  EXPECT_EQ(on, 0);
  EXPECT_EQ(ddGetFlags(&block, "Z", 1, 1, &on), ddErrAbsent);
  // The freed index slot still holds B's flags; the entry appended there
  // must not inherit them.
  ddDelete(&block, "B", 1);
  set(&block, "C", "z");
  EXPECT_EQ(ddGetFlags(&block, "C", 1, 0xFF, &on), 0);
  EXPECT_EQ(on, 0);
}

TEST_F(DdBlock, ACopyIsItsOwnBlock) {
  set(&block, "A", "x");
  set(&block, "Bc", "yz");
  set(&other, "old", std::string(100, 'o'));
  EXPECT_EQ(ddCopy(block, &other), 0);
  EXPECT_NE(other, block);
  EXPECT_EQ(entries(other), "A=x Bc=yz");
  set(&other, "A", "changed");
  EXPECT_EQ(entries(block), "A=x Bc=yz");
  EXPECT_EQ(ddCopy(nullptr, &other), 0);
  EXPECT_EQ(other, nullptr);
}

// The record through a temporary file.
class DdRecord : public DdBlock {
protected:
  void SetUp() override { memfile::open(ctx, 4); }
  void TearDown() override {
    std::fclose(ctx.stream);
    DdBlock::TearDown();
  }
  std::string written() { return memfile::written(ctx); }
  ioCtx ctx{};
};

TEST_F(DdRecord, WritesCountsThenCountedKeysAndValuesAndReadsThemBack) {
  set(&block, "A", "x");
  set(&block, "Bc", "yz");
  EXPECT_EQ(ddIO(&block, &ctx), 14);
  EXPECT_EQ(written(), "00 00 02 06 01 41 01 78 02 42 63 02 79 7A");
  memfile::readFromStart(ctx);
  set(&other, "gone", "on reading");
  EXPECT_EQ(ddIO(&other, &ctx), 14);
  EXPECT_EQ(entries(other), "A=x Bc=yz");
}

TEST_F(DdRecord, AnEmptyDictionaryIsFourZeros) {
  EXPECT_EQ(ddIO(&block, &ctx), 4);
  EXPECT_EQ(written(), "00 00 00 00");
  memfile::readFromStart(ctx);
  set(&other, "gone", "on reading");
  EXPECT_EQ(ddIO(&other, &ctx), 4);
  EXPECT_EQ(other, nullptr);
}

TEST_F(DdRecord, CountsThatDoNotFitTheBlockOrTheRecordAreBadData) {
  const std::string key32(32, 'k');
  const struct {
    const char* what;
    int32_t first, count, bytes;
    std::string entries;  // counted key and value bytes
    size_t padding;       // zero bytes after them
  } cases[] = {
      {"first word not 0", 1, 1, 2, "\x01" "A" "\x01" "x", 0},
      {"more entries than the record holds", 0, 127, 2, "\x01" "A" "\x01" "x", 0},
      {"more bytes than the record holds", 0, 1, 80, "\x01" "A" "\x01" "x", 0},
      {"a block of 32768 bytes or more", 0, 2, 32753, "", 32800},
      {"a value past the stated bytes", 0, 1, 2, "\x01" "A" "\x03" "xyz", 0},
      {"a key of 32 bytes", 0, 1, 33, "\x20" + key32 + "\x01" "v", 0},
  };
  for (const auto& c : cases) {
    std::fclose(ctx.stream);
    ctx.stream = std::tmpfile();
    ctx.mode = 'w';
    int32_t zero = 0;
    int16_t count = int16_t(c.count), bytes = int16_t(c.bytes);
    ASSERT_GT(ioFormat(&ctx, "iiss", &c.first, &zero, &count, &bytes), 0);
    std::fputs(c.entries.c_str(), ctx.stream);
    for (size_t i = 0; i < c.padding; ++i) std::fputc(0, ctx.stream);
    ioSeek(&ctx, 0);
    ctx.mode = 'r';
    set(&block, "old", "x");
    EXPECT_EQ(ddIO(&block, &ctx), ioErrBadData) << c.what;
    EXPECT_EQ(block, nullptr) << c.what;
  }
}

TEST_F(DdRecord, ARecordCutShortFails) {
  memfile::load(ctx, {0x00, 0x00, 0x02, 0x06, 0x01, 0x41, 0x01});
  ctx.readLimit = 7;
  EXPECT_LT(ddIO(&block, &ctx), 0);
  EXPECT_EQ(block, nullptr);
}

// The class "docdict": "dd" in userdict is an object for the test document,
// whose record is registered as the document events register theirs.
class DocDict : public ::testing::Test {
protected:
  void SetUp() override {
    execfx::start();
    docLiveAdd(&doc);
    ASSERT_EQ(docdictNew(&doc, &object), 0);
    feObject value;
    feMakeObjRef(&value, object);
    execfx::defineUser("dd", value);
  }
  void TearDown() override {
    feObject none;
    feMakeNull(&none);
    execfx::defineUser("dd", none);
    execfx::stop();
    docLiveRemove(&doc);
    ddFree(&doc.attrs);
  }
  // The operands a script text leaves, or its error code.
  std::string run(const char* text) {
    const int rc = feExecString(text);
    std::string result = rc ? std::to_string(rc) : execfx::operands();
    feStackClear(*feOperandStack());
    return result;
  }
  // Messages 107 and 108 with string keys and values (a null text: the
  // integer 5 instead); get answers the value as "==" prints it, or the
  // error code.
  static feObject text(const char* t) {
    feObject v;
    if (t) feMakeString(&v, t, std::strlen(t));
    else feMakeInt(&v, 5);
    return v;
  }
  std::string get(const char* key) {
    feObject k = text(key), v;
    feMakeNull(&v);
    const int rc = objMeth(docdictClassId(), 107, object, reinterpret_cast<intptr_t>(&k),
                           reinterpret_cast<intptr_t>(&v));
    execfx::output().clear();
    fePrint(&v, 1);
    std::string result = rc ? std::to_string(rc) : execfx::output();
    execfx::output().clear();
    feFree(&k);
    feFree(&v);
    return result;
  }
  int put(const char* key, const char* value) {
    feObject k = text(key), v = text(value);
    const int rc = objMeth(docdictClassId(), 108, object, reinterpret_cast<intptr_t>(&k),
                           reinterpret_cast<intptr_t>(&v));
    feFree(&k);
    feFree(&v);
    return rc;
  }
  dbDocRec doc{};
  void* object = nullptr;
};

TEST_F(DocDict, GetsAndSetsStringsOfTheDocumentsDictionary) {
  EXPECT_EQ(put("A", "x"), 0);
  EXPECT_EQ(put("Bc", "yz"), 0);
  EXPECT_EQ(get("A"), "(x)");
  EXPECT_EQ(entries(doc.attrs), "A=x Bc=yz");
  EXPECT_EQ(get("none"), std::to_string(feErrUndefined));
  EXPECT_EQ(get(nullptr), std::to_string(feErrTypeCheck));
  EXPECT_EQ(put("A", nullptr), feErrTypeCheck);
  EXPECT_EQ(put(nullptr, "x"), feErrTypeCheck);
  EXPECT_EQ(put(std::string(32, 'k').c_str(), "x"), feErrLengthCheck);
}

TEST_F(DocDict, ForallRunsTheProcedureWithEachKeyAndValue) {
  put("A", "x");
  put("Bc", "yz");
  EXPECT_EQ(run("dd {} forall"), "(A) (x) (Bc) (yz)");
  EXPECT_EQ(run("0 dd {pop pop 1 add exit} forall"), "1");
  EXPECT_EQ(run("dd 5 forall"), std::to_string(feErrTypeCheck));
}

TEST_F(DocDict, WithoutADocumentEveryMessageButFreeAnswersNoDoc) {
  void* orphan = nullptr;
  docdictNew(nullptr, &orphan);
  std::swap(object, orphan);
  EXPECT_EQ(get("A"), std::to_string(docErrNoDoc));
  EXPECT_EQ(put("A", "x"), docErrNoDoc);
  std::swap(object, orphan);
  EXPECT_EQ(objMeth(docdictClassId(), 100, orphan), 0);
  // A message to the class itself (the image writer sends 500 to every
  // class) has no object to refuse it for.
  EXPECT_EQ(objMeth(docdictClassId(), 500, nullptr), objNotHandled);
}

// A script keeps the object and the document goes: no message but 100 reads
// the record any more (the sanitizers see to that); the object itself stays
// a value the script can compare, and letting it go frees it.
TEST_F(DocDict, OnceTheDocumentIsGoneEveryMessageButFreeAnswersNoDoc) {
  put("A", "x");
  docLiveRemove(&doc);
  EXPECT_EQ(get("A"), std::to_string(docErrNoDoc));
  EXPECT_EQ(put("A", "y"), docErrNoDoc);
  EXPECT_EQ(entries(doc.attrs), "A=x") << "nothing was set";
  int32_t length = 0;
  for (int message : {112, 119, 406, 103, 999})
    EXPECT_EQ(objMeth(docdictClassId(), message, object, reinterpret_cast<intptr_t>(&length)), docErrNoDoc)
        << message;
  EXPECT_EQ(run("{} dd exch forall"), std::to_string(docErrNoDoc));
  EXPECT_EQ(run("dd dd eq"), "true");
  // A record registered again is another document: a new number.
  docLiveAdd(&doc);
  EXPECT_EQ(get("A"), std::to_string(docErrNoDoc));
}

}  // namespace
