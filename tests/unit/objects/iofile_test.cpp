// The drawing file container: the header, the segment hooks, the type and
// segment-length tables, the safe save through a temporary file, damaged
// files, and leaving through the recovery point.
#include "objects/iofile.h"

#include "core/alloc.h"
#include "core/classes.h"
#include "core/debug.h"
#include "objects/gobject.h"
#include "objects/ioformat.h"
#include "objects/objmsg.h"
#include "ui/filesys.h"
#include "scratch_dir.h"
#include "objects/io_detached.h"

#include <platform_test.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace {

std::string logText;
void captureLog(void*, const char* text, size_t length) { logText.append(text, length); }

// "iotest": a record with a number and a real; it writes "id" and keeps
// the record level that the file answered for it.
struct ioTestRec {
  gobjRec head;
  int32_t value;
  double real;
  int level;
};

uint16_t testClass;

int testHandler(void* object, int message, intptr_t a, intptr_t, intptr_t) {
  auto* rec = static_cast<ioTestRec*>(object);
  switch (message) {
    case msgNew: {
      auto** slot = reinterpret_cast<gobjRec**>(a);
      if (!*slot) *slot = static_cast<gobjRec*>(uAlloc(nullptr, nullptr, 1, sizeof(ioTestRec)));
      (*slot)->classId = testClass;
      return 0;
    }
    case msgFree: {
      void* block = rec;
      uFree(&block);
      return 0;
    }
    case msgIO: {
      auto* ctx = reinterpret_cast<ioCtx*>(a);
      rec->level = ioTypeMap(ctx, testClass, 3);
      return ioFormat(ctx, "id", &rec->value, &rec->real) < 0 ? -1 : 0;
    }
    default:
      return objNotHandled;
  }
}

// A class that makes no objects.
int barrenHandler(void*, int, intptr_t, intptr_t, intptr_t) { return -1; }

uint16_t classNamed(const char* name, objHandler handler) {
  const uint16_t id = objClassByName(name);
  return id ? id : objClassRegister(name, 0, handler);
}

// Hooks for the header words 4, 5, 6 and 8 that note every event and write
// (and read back) one byte, their word, as their segment.
std::vector<std::pair<int, int>> events;
template <int word>
int notingHook(ioCtx* ctx, int event) {
  events.push_back({word, event});
  uint8_t byte = word;
  if (event == ioEvWriteSegment) ioFormat(ctx, "b", &byte);
  if (event == ioEvReadSegment) {
    if (ioFormat(ctx, "b", &byte) < 0) return -1;
    EXPECT_EQ(word, byte);
  }
  return 0;
}
void setNotingHooks(bool on) {
  ioSetSegmentHook(ioWordLayers, on ? notingHook<4> : nullptr);
  ioSetSegmentHook(ioWordSymbols, on ? notingHook<5> : nullptr);
  ioSetSegmentHook(ioWordVariables, on ? notingHook<6> : nullptr);
  ioSetSegmentHook(ioWordViewDirs, on ? notingHook<8> : nullptr);
}

int metricUnits() { return 1; }

// The header of a hand-made file: words 0-15.
typedef std::array<uint32_t, 16> headerWords;
headerWords plainHeader() {
  headerWords words{};
  words[ioWordMagic] = ioMagic;
  words[ioWordVersion] = 4;
  words[ioWordStream] = ioHeaderSize;
  return words;
}
std::string headerBytes(const headerWords& words) {
  std::string bytes;
  for (uint32_t w : words)
    for (int shift = 24; shift >= 0; shift -= 8) bytes += char(w >> shift);
  return bytes;
}
uint32_t wordOf(const std::string& file, int word) {
  uint32_t w = 0;
  for (int i = 0; i < 4; ++i) w = w << 8 | uint8_t(file.at(size_t(4 * word + i)));
  return w;
}

// The end mark alone, the record stream of a file without objects.
const std::string kEndMark = "\xff\xff";

class IoFile : public ScratchDirTest {
protected:
  IoFile() : ScratchDirTest("plumet-iofile-") {}

  void SetUp() override {
    ScratchDirTest::SetUp();
    ioDetachModules();
    plTestReset();
    plTestSetMessageBoxEcho(false);
    logText.clear();
    dbgSetLogHook(captureLog, nullptr);
    events.clear();
    testClass = classNamed("iotest", testHandler);
  }
  void TearDown() override {
    setNotingHooks(false);
    ioSetUnitsFlagSource(nullptr);
    dbgSetLogHook(nullptr, nullptr);
    plTestReset();
    ScratchDirTest::TearDown();
  }

  int open(const std::string& name, uint32_t flags, int version, ioCtx** ctx,
           ioRecovery* recovery = nullptr) {
    const std::string p = path(name);
    return ioOpen(ctx, p.c_str(), int(p.size()), flags, version, recovery);
  }
  // Writes a file without objects.
  int writeEmpty(const std::string& name, int version, uint32_t flags = 0) {
    ioCtx* ctx = nullptr;
    const int answer = open(name, ioFlagWrite | flags, version, &ctx);
    return answer ? answer : ioClose(ctx);
  }
  // Opens for reading and closes again; answers the open's code.
  int openAndClose(const std::string& name, ioCtx** kept = nullptr) {
    ioCtx* ctx = nullptr;
    const int answer = open(name, ioFlagRead, 0, &ctx);
    if (answer == 0 && !kept) {
      EXPECT_EQ(0, ioClose(ctx));
    }
    if (kept) *kept = ctx;
    return answer;
  }
  // A hand-made file: the header, the end mark at 64, and a type table
  // behind it (word 3) when types is given.
  void writeFile(const std::string& name, headerWords words, const std::string& types,
                 const std::string& tail = "") {
    if (!types.empty()) words[ioWordTypes] = ioHeaderSize + uint32_t(kEndMark.size());
    write(name, headerBytes(words) + kEndMark + types + tail);
  }

  bool exists(const std::string& name) const { return std::filesystem::exists(dir_ / name); }
  std::vector<std::string> entries() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir_)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  std::string boxes() const {
    std::string text;
    for (const auto& box : plTestMessageBoxes()) text += box.text + "|";
    return text;
  }
};

TEST_F(IoFile, EmptyFileIsHeaderEndMarkAndTables) {
  const uint32_t before = uiTimeNow();
  ASSERT_EQ(0, writeEmpty("plan.abc", 4));
  const uint32_t after = uiTimeNow();
  const std::string file = read("plan.abc");
  // 64-byte header, the end mark FF FF, the segment-length table (ii 0 0)
  // at 66 and the type table (i 0) at 68.
  ASSERT_EQ(69u, file.size());
  EXPECT_EQ(0xABCDE0u, wordOf(file, 0));
  EXPECT_EQ(4u, wordOf(file, 1));
  EXPECT_EQ(64u, wordOf(file, 2));
  EXPECT_EQ(68u, wordOf(file, ioWordTypes));
  EXPECT_EQ(66u, wordOf(file, ioWordSegLengths));
  for (int word : {4, 5, 6, 8, 9, 10, 11, 12, 13, 14}) EXPECT_EQ(0u, wordOf(file, word)) << word;
  EXPECT_GE(wordOf(file, 15), before);
  EXPECT_LE(wordOf(file, 15), after);
  EXPECT_EQ(kEndMark + std::string("\0\0\0", 3), file.substr(64));
  EXPECT_EQ((std::vector<std::string>{"plan.abc"}), entries());  // no temporary file left
}

TEST_F(IoFile, MagicCarriesTheUnitsFlagFromVersion3) {
  struct {
    int version;
    bool metric;
    uint32_t magic;
    uint32_t stored;
  } cases[] = {
      {4, false, 0xABCDE0, 4}, {4, true, 0xABCDE1, 4}, {3, true, 0xABCDE1, 3},
      {2, true, 0xABCDEF, 2},  {0, false, 0xABCDEF, 0}, {9, false, 0xABCDE0, 4},
      {-1, true, 0xABCDE1, 4},
  };
  for (const auto& c : cases) {
    ioSetUnitsFlagSource(c.metric ? metricUnits : nullptr);
    ASSERT_EQ(0, writeEmpty("plan.abc", c.version)) << c.version;
    const std::string file = read("plan.abc");
    EXPECT_EQ(c.magic, wordOf(file, 0)) << c.version;
    EXPECT_EQ(c.stored, wordOf(file, 1)) << c.version;
  }
}

TEST_F(IoFile, ReadingKeepsTheUnitsFlagAndChecksTheMagic) {
  struct {
    uint32_t magic;
    uint32_t flags;
    int answer;
    int unitsFlag;
  } cases[] = {
      {0xABCDEF, 0, 0, 15},  // files of version 0-2
      {0xABCDE1, 0, 0, 1},
      {0x123456, 0, ioErrBadMagic, 0},
      {0x123456, ioFlagRaw, 0, 6},  // any magic in raw mode
  };
  for (const auto& c : cases) {
    headerWords words = plainHeader();
    words[ioWordMagic] = c.magic;
    words[ioWordVersion] = 2;
    writeFile("plan.abc", words, std::string("\0", 1));
    ioCtx* ctx = nullptr;
    EXPECT_EQ(c.answer, open("plan.abc", ioFlagRead | c.flags, 0, &ctx)) << std::hex << c.magic;
    if (!ctx) continue;
    EXPECT_EQ(c.unitsFlag, ctx->unitsFlag);
    EXPECT_EQ(2u, ctx->version);
    EXPECT_EQ(0, ioClose(ctx));
  }
}

TEST_F(IoFile, RecordsAndTypesComeBack) {
  ioCtx* ctx = nullptr;
  ASSERT_EQ(0, open("plan.abc", ioFlagWrite, 4, &ctx));
  // Two records written by hand the way an object is written.
  const std::pair<int32_t, double> written[] = {{7, 3.5}, {-100000, 0.1}};
  for (const auto& [value, real] : written) {
    const int index = ioTypeIndex(ctx, testClass, true);
    EXPECT_EQ(0, index);
    ioRecordBegin(ctx, index);
    EXPECT_EQ(3, ioTypeMap(ctx, testClass, 3));
    int32_t v = value;
    double r = real;
    ioFormat(ctx, "id", &v, &r);
    ioRecordEnd(ctx, 1);
  }
  ASSERT_EQ(0, ioClose(ctx));

  ASSERT_EQ(0, open("plan.abc", ioFlagRead, 0, &ctx));
  ASSERT_EQ(1u, ctx->typeCount);
  EXPECT_EQ(testClass, ctx->types[0].classId);
  EXPECT_EQ(3, ctx->types[0].level);
  for (const auto& [value, real] : written) {
    int32_t type = -1, length = 0;
    ASSERT_GT(ioFormat(ctx, "il", &type, &length), 0);
    ASSERT_EQ(0, type);
    auto* rec = static_cast<ioTestRec*>(ioNewType(ctx, type));
    ASSERT_NE(nullptr, rec);
    gobjRec* slot = &rec->head;
    EXPECT_EQ(0, objMeth(testClass, msgIO, rec, reinterpret_cast<intptr_t>(ctx), reinterpret_cast<intptr_t>(&slot)));
    EXPECT_EQ(value, rec->value);
    EXPECT_EQ(real, rec->real);
    EXPECT_EQ(3, rec->level);
    objMeth(testClass, msgFree, rec);
  }
  int32_t end[2] = {0, 0};
  EXPECT_EQ(2, ioFormat(ctx, "ii", &end[0], &end[1]));
  EXPECT_EQ(-1, end[0]);
  EXPECT_EQ(-1, end[1]);
  EXPECT_EQ(0, ioClose(ctx));
}

// A record too big for one buffer raises a version-0 file to version 2. The
// classes registered before stored level 0, which is what they wrote, and
// the segment-length table comes back with the record's total.
TEST_F(IoFile, RaisedVersionKeepsTruthfulLevelsAndSegmentLengths) {
  const uint16_t other = classNamed("iotest2", testHandler);
  ioCtx* ctx = nullptr;
  ASSERT_EQ(0, open("plan.abc", ioFlagWrite, 0, &ctx));
  EXPECT_EQ(0, ioTypeMap(ctx, testClass, 3));
  ioRecordBegin(ctx, ioTypeIndex(ctx, testClass, true));
  const std::vector<uint8_t> bulk(40000, 0x5A);
  ioPutBytes(ctx, bulk.data(), bulk.size());
  ioRecordEnd(ctx, 1);
  EXPECT_EQ(2u, ctx->version);
  EXPECT_EQ(5, ioTypeMap(ctx, other, 5));
  ASSERT_EQ(0, ioClose(ctx));
  EXPECT_EQ(0xABCDEFu, wordOf(read("plan.abc"), 0));

  ASSERT_EQ(0, open("plan.abc", ioFlagRead, 0, &ctx));
  EXPECT_EQ(2u, ctx->version);
  ASSERT_EQ(2u, ctx->typeCount);
  EXPECT_EQ(0, ctx->types[0].level);
  EXPECT_EQ(5, ctx->types[1].level);
  EXPECT_EQ(0, ioTypeMap(ctx, testClass, 3));
  EXPECT_EQ(5, ioTypeMap(ctx, other, 9));  // reading answers what the file holds
  ASSERT_EQ(2u, ctx->segCount);
  EXPECT_EQ(40000u, ctx->segLengths[1]);
  int32_t type = -1, length = 0;
  ioFormat(ctx, "il", &type, &length);
  EXPECT_EQ(int32_t(ioSegmentFlag + 1), length);
  EXPECT_EQ(40000u, ioSegLength(ctx, uint32_t(length)));
  EXPECT_EQ(0, ioClose(ctx));
}

TEST_F(IoFile, Version0FileAnswersLevel0) {
  ioCtx* ctx = nullptr;
  ASSERT_EQ(0, open("plan.abc", ioFlagWrite, 0, &ctx));
  EXPECT_EQ(0, ioTypeMap(ctx, testClass, 3));
  ASSERT_EQ(0, ioClose(ctx));
  ASSERT_EQ(0, open("plan.abc", ioFlagRead, 0, &ctx));
  ASSERT_EQ(1u, ctx->typeCount);
  EXPECT_EQ(testClass, ctx->types[0].classId);
  EXPECT_EQ(0, ioTypeMap(ctx, testClass, 3));
  EXPECT_EQ(0, ioClose(ctx));
}

TEST_F(IoFile, HooksGetEventsInTableOrderAndReadLastToFirst) {
  setNotingHooks(true);
  ASSERT_EQ(0, writeEmpty("plan.abc", 4));
  const std::vector<std::pair<int, int>> writing = {
      {8, 14}, {6, 14}, {5, 14}, {4, 14}, {8, 12}, {6, 12}, {5, 12}, {4, 12},
      {8, 16}, {6, 16}, {5, 16}, {4, 16}};
  EXPECT_EQ(writing, events);
  // The segments follow the end mark in table order: view directions,
  // variables, symbols, layers, segment lengths, types.
  const std::string file = read("plan.abc");
  EXPECT_EQ(66u, wordOf(file, ioWordViewDirs));
  EXPECT_EQ(67u, wordOf(file, ioWordVariables));
  EXPECT_EQ(68u, wordOf(file, ioWordSymbols));
  EXPECT_EQ(69u, wordOf(file, ioWordLayers));
  EXPECT_EQ(70u, wordOf(file, ioWordSegLengths));
  EXPECT_EQ(72u, wordOf(file, ioWordTypes));

  events.clear();
  ASSERT_EQ(0, openAndClose("plan.abc"));
  const std::vector<std::pair<int, int>> reading = {
      {8, 13}, {6, 13}, {5, 13}, {4, 13}, {4, 11}, {5, 11}, {6, 11}, {8, 11},
      {8, 15}, {6, 15}, {5, 15}, {4, 15}};
  EXPECT_EQ(reading, events);
}

TEST_F(IoFile, BadVersionIsRefusedBeforeAnySegment) {
  setNotingHooks(true);
  headerWords words = plainHeader();
  words[ioWordVersion] = 5;
  words[ioWordLayers] = 66;
  writeFile("plan.abc", words, std::string("\0", 1));
  ioCtx* ctx = reinterpret_cast<ioCtx*>(1);
  EXPECT_EQ(ioErrBadVersion, open("plan.abc", ioFlagRead, 0, &ctx));
  EXPECT_EQ(nullptr, ctx);
  EXPECT_TRUE(events.empty());
}

TEST_F(IoFile, SegmentBeyondTheEndRefusesTheFile) {
  setNotingHooks(true);
  const std::string types("\0", 1);
  headerWords words = plainHeader();
  const uint32_t size = ioHeaderSize + uint32_t(kEndMark.size() + types.size()) + 1;
  // Offset 0 skips a segment; the symbols are the file's last byte.
  words[ioWordSymbols] = size - 1;
  writeFile("plan.abc", words, types, "\x05");
  ASSERT_EQ(0, openAndClose("plan.abc"));
  auto segmentsRead = [] {
    std::vector<int> words;
    for (const auto& e : events)
      if (e.second == ioEvReadSegment) words.push_back(e.first);
    return words;
  };
  EXPECT_EQ(std::vector<int>{5}, segmentsRead());

  words[ioWordVariables] = size + 1;
  writeFile("plan.abc", words, types, "\x05");
  events.clear();
  EXPECT_EQ(ioErrTruncated, openAndClose("plan.abc"));
  EXPECT_NE(std::string::npos, boxes().find("File appears to have been truncated")) << boxes();
  EXPECT_TRUE(segmentsRead().empty());
}

TEST_F(IoFile, StreamOffsetBeyondTheEndIsAReadError) {
  headerWords words = plainHeader();
  words[ioWordStream] = 1000;
  writeFile("plan.abc", words, std::string("\0", 1));
  EXPECT_EQ(ioErrCannotRead, openAndClose("plan.abc"));
}

TEST_F(IoFile, ShortOrMissingFileCannotBeRead) {
  write("short", std::string("\x00\xAB\xCD\xE0", 4));
  EXPECT_EQ(ioErrCannotRead, openAndClose("short"));
  EXPECT_EQ(ioErrCannotOpen, openAndClose("missing"));
}

TEST_F(IoFile, BadArgumentsAreRefused) {
  ioCtx* ctx = nullptr;
  EXPECT_EQ(ioErrBadArg, ioOpen(&ctx, nullptr, 3, ioFlagRead, 0, nullptr));
  EXPECT_EQ(ioErrBadArg, ioOpen(&ctx, "abc", 0, ioFlagRead, 0, nullptr));
  EXPECT_EQ(ioErrBadArg, ioOpen(&ctx, "abc", 3, ioFlagRead | ioFlagWrite, 0, nullptr));
  EXPECT_EQ(ioErrBadArg, ioOpen(&ctx, "abc", 3, 0, 0, nullptr));
  EXPECT_EQ(nullptr, ctx);
  EXPECT_EQ(ioErrBadArg, ioClose(nullptr));
}

// Damaged tables end the open with -4139 and the alert, whatever the count
// claims; nothing is read or allocated beyond the file.
TEST_F(IoFile, DamagedTablesAreRefused) {
  std::string full;  // 2049 entries "iotest", level 0
  for (int i = 0; i < 2049; ++i) full += std::string("\x06iotest\x00", 8);
  const std::string entry = std::string("\x06iotest\x00", 8);
  struct {
    const char* what;
    int word;
    std::string table;
  } cases[] = {
      {"2049 types", ioWordTypes, "\x48\x01" + full},
      {"3 types, 1 present", ioWordTypes, "\x03" + entry},
      {"1000 types, 1 present", ioWordTypes, "\x43\xe8" + entry},
      {"negative count", ioWordTypes, "\xff" + entry},
      {"name past the end", ioWordTypes, "\x01\x40\xc8iotest"},
      {"no count", ioWordTypes, ""},
      {"1000 lengths", ioWordSegLengths, std::string("\x00\x43\xe8\x05\x05", 5)},
  };
  for (const auto& c : cases) {
    headerWords words = plainHeader();
    words[c.word] = ioHeaderSize + uint32_t(kEndMark.size());
    write("plan.abc", headerBytes(words) + kEndMark + c.table);
    plTestClearMessageBoxes();
    EXPECT_EQ(ioErrBadData, openAndClose("plan.abc")) << c.what;
    EXPECT_NE(std::string::npos, boxes().find("File has been corrupted. Cannot read.")) << c.what;
  }

  // The most a table may hold.
  writeFile("plan.abc", plainHeader(), std::string("\x48\x00", 2) + full.substr(8));
  ioCtx* ctx = nullptr;
  ASSERT_EQ(0, openAndClose("plan.abc", &ctx));
  EXPECT_EQ(2048u, ctx->typeCount);
  EXPECT_EQ(0, ioClose(ctx));
}

TEST_F(IoFile, UnknownClassesReadAsClass0) {
  const uint16_t balloon = classNamed("balloon", nullptr);
  writeFile("plan.abc", plainHeader(), std::string("\x03\x06nosuch\x00\x06" "ballon\x00\x06iotest\x01", 25));
  ioCtx* ctx = nullptr;
  ASSERT_EQ(0, openAndClose("plan.abc", &ctx));
  ASSERT_EQ(3u, ctx->typeCount);
  EXPECT_EQ(0, ctx->types[0].classId);
  EXPECT_EQ(balloon, ctx->types[1].classId);
  EXPECT_EQ(testClass, ctx->types[2].classId);
  EXPECT_EQ(1, ctx->types[2].level);
  EXPECT_EQ("File contains object(s) of type 'nosuch' that cannot be read|", boxes());
  EXPECT_EQ("[ioTypeTbl] 'nosuch': unknown Class\n", logText);

  logText.clear();
  EXPECT_EQ(nullptr, ioNewType(ctx, 0));
  EXPECT_EQ(nullptr, ioNewType(ctx, 3));
  EXPECT_EQ(nullptr, ioNewType(ctx, -1));
  EXPECT_EQ("bad Class in ioNewType\n[ioNewType] bad type: 3\n[ioNewType] bad type: -1\n", logText);
  EXPECT_EQ(0, ioClose(ctx));
}

TEST_F(IoFile, NewTypeReportsAClassThatMakesNothing) {
  const uint16_t barren = classNamed("iobarren", barrenHandler);
  ioCtx* ctx = nullptr;
  ASSERT_EQ(0, open("plan.abc", ioFlagWrite, 4, &ctx));
  const int index = ioTypeIndex(ctx, barren, true);
  EXPECT_EQ(-1, ioTypeIndex(ctx, testClass, false));
  EXPECT_EQ(nullptr, ioNewType(ctx, index));
  EXPECT_EQ("[ioNewType] Type 'iobarren' [0], new failed\n", logText);
  EXPECT_EQ(0, ioClose(ctx));
}

TEST_F(IoFile, TemporaryNamesTakeTheFirstFreeOfSix) {
  write("plan.abc", "old");
  const char* names[] = {"plan.ab$", "plan.ab#", "plan.ab%", "plan.ab_", "plan.ab@", "plan.ab"};
  // Each open keeps its temporary file, which blocks that name for the next.
  std::vector<ioCtx*> open6;
  for (const char* name : names) {
    ioCtx* ctx = nullptr;
    ASSERT_EQ(0, open("plan.abc", ioFlagWrite, 4, &ctx));
    EXPECT_EQ(path(name), ctx->tempName);
    EXPECT_TRUE(exists(name));
    open6.push_back(ctx);
  }
  ioCtx* ctx = nullptr;
  EXPECT_EQ(ioErrCannotCreateTemp, open("plan.abc", ioFlagWrite, 4, &ctx));
  EXPECT_EQ("old", read("plan.abc"));
  for (ioCtx* c : open6) EXPECT_EQ(0, ioClose(c));
  EXPECT_EQ((std::vector<std::string>{"plan.abc"}), entries());
  EXPECT_EQ(0xABCDE0u, wordOf(read("plan.abc"), 0));
}

TEST_F(IoFile, UnrelatedFileUnderTheSixthNameIsLeftAlone) {
  for (const char* name : {"plan.ab$", "plan.ab#", "plan.ab%", "plan.ab_", "plan.ab@"}) write(name, "");
  write("plan.ab", "user data");
  EXPECT_EQ(ioErrCannotCreateTemp, writeEmpty("plan.abc", 4));
  EXPECT_EQ("user data", read("plan.ab"));
  EXPECT_FALSE(exists("plan.abc"));
  // A temporary file that cannot be made for another reason answers that.
  EXPECT_EQ(uiFileCannotCreate, writeEmpty("nodir/plan.abc", 4));
}

TEST_F(IoFile, SaveReplacesTheTargetOnlyWhenAllWentWell) {
  write("plan.abc", "old");
  ASSERT_EQ(0, writeEmpty("plan.abc", 4));
  EXPECT_EQ(69u, read("plan.abc").size());
  EXPECT_EQ((std::vector<std::string>{"plan.abc"}), entries());

  // A failure reported while writing: the close answers it and the target
  // keeps its contents.
  write("plan.abc", "old");
  ioCtx* ctx = nullptr;
  ASSERT_EQ(0, open("plan.abc", ioFlagWrite, 4, &ctx));
  ioFail(ctx, ioErrCannotWrite, nullptr, nullptr);
  EXPECT_EQ(ioErrCannotWrite, ioClose(ctx));
  EXPECT_EQ("old", read("plan.abc"));
  EXPECT_EQ((std::vector<std::string>{"plan.abc"}), entries());
}

TEST_F(IoFile, FailedRenameKeepsTheOriginal) {
  // The target cannot be replaced: a folder with a file in it.
  std::filesystem::create_directory(dir_ / "plan.abc");
  write("plan.abc/keep", "kept");
  ioCtx* ctx = nullptr;
  ASSERT_EQ(0, open("plan.abc", ioFlagWrite, 4, &ctx));
  EXPECT_TRUE(exists("plan.ab$"));
  const int answer = ioClose(ctx);
  EXPECT_NE(0, answer);
  EXPECT_EQ("kept", read("plan.abc/keep"));
  EXPECT_EQ((std::vector<std::string>{"plan.abc"}), entries());

  // The temporary file vanished under the save: the target was never
  // deleted ahead of the rename, so it is still there.
  std::filesystem::remove_all(dir_ / "plan.abc");
  write("plan.abc", "old");
  ASSERT_EQ(0, open("plan.abc", ioFlagWrite, 4, &ctx));
  std::filesystem::remove(dir_ / "plan.ab$");
  EXPECT_EQ(uiFileNotFound, ioClose(ctx));
  EXPECT_EQ("old", read("plan.abc"));
  EXPECT_EQ((std::vector<std::string>{"plan.abc"}), entries());
}

TEST_F(IoFile, RawWriteGoesToTheNamedFile) {
  write("plan.abc", "old contents, longer than the new file will be ...................");
  ioCtx* ctx = nullptr;
  ASSERT_EQ(0, open("plan.abc", ioFlagWrite | ioFlagRaw, 4, &ctx));
  EXPECT_EQ(nullptr, ctx->tempName);
  EXPECT_EQ(0, ioClose(ctx));
  EXPECT_EQ(69u, read("plan.abc").size());
  EXPECT_EQ((std::vector<std::string>{"plan.abc"}), entries());
}

// A device that is always full refuses the header as soon as it is flushed:
// the write must fail, at the open or at the latest at the close.
TEST_F(IoFile, FullDiskIsNeverReportedAsSuccess) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  const std::string full = "/dev/full";
  ioCtx* ctx = nullptr;
  int code = ioOpen(&ctx, full.c_str(), int(full.size()), ioFlagWrite | ioFlagRaw, 4, nullptr);
  if (code == 0) code = ioClose(ctx);
  EXPECT_EQ(ioErrCannotWrite, code);
}

TEST_F(IoFile, FailureLeavesThroughTheRecoveryPoint) {
  ioRecovery point;
  ioCtx* ctx = reinterpret_cast<ioCtx*>(1);
  try {
    open("missing", ioFlagRead, 0, &ctx, &point);
    ADD_FAILURE() << "no failure";
  } catch (const ioFailure& failure) {
    EXPECT_EQ(&point, failure.point);
    EXPECT_EQ(ioErrCannotOpen, failure.code);
  }
  EXPECT_EQ(ioErrCannotOpen, point.code);
  EXPECT_EQ(nullptr, ctx);

  // In the middle of a save: the temporary file goes, the target stays.
  setNotingHooks(true);
  write("plan.abc", "old");
  ASSERT_EQ(0, open("plan.abc", ioFlagWrite, 4, &ctx, &point));
  events.clear();
  try {
    ioFail(ctx, ioErrCannotWrite, "WDisk trouble", nullptr);
    ADD_FAILURE() << "no failure";
  } catch (const ioFailure& failure) {
    EXPECT_EQ(ioErrCannotWrite, failure.code);
  }
  EXPECT_EQ("Disk trouble|", boxes());
  EXPECT_EQ("old", read("plan.abc"));
  EXPECT_EQ((std::vector<std::string>{"plan.abc"}), entries());
  // The hooks were told that writing ended.
  EXPECT_EQ((std::vector<std::pair<int, int>>{{8, 16}, {6, 16}, {5, 16}, {4, 16}}), events);

  // A damaged table: one alert on the way out.
  setNotingHooks(false);
  writeFile("plan.abc", plainHeader(), "\x03" + std::string("\x06iotest\x00", 8));
  plTestClearMessageBoxes();
  try {
    open("plan.abc", ioFlagRead, 0, &ctx, &point);
    ADD_FAILURE() << "no failure";
  } catch (const ioFailure& failure) {
    EXPECT_EQ(ioErrBadData, failure.code);
  }
  EXPECT_EQ("File has been corrupted. Cannot read.|", boxes());
}

TEST_F(IoFile, FailureWithoutRecoveryPointReturns) {
  ioCtx* ctx = nullptr;
  ASSERT_EQ(0, open("plan.abc", ioFlagWrite | ioFlagRaw, 4, &ctx));
  ioFail(ctx, ioErrBadData, "WBad thing ^0", "here");
  EXPECT_EQ("Bad thing here|", boxes());
  EXPECT_EQ(ioErrBadData, ctx->pendingError);
  EXPECT_EQ(ioErrBadData, ioClose(ctx));
}

}  // namespace
