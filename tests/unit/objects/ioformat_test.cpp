#include "objects/ioformat.h"

#include "core/alloc.h"
#include "core/debug.h"
#include "objects/iocodec.h"
#include "objects/iofile.h"
#include "scratch_dir.h"
#include "objects/io_detached.h"

#include <platform_test.h>

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

std::string logText;
void captureLog(void*, const char* text, size_t length) { logText.append(text, length); }

std::string hexOf(const std::string& bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string text;
  for (unsigned char c : bytes) {
    if (!text.empty()) text += ' ';
    text += digits[c >> 4];
    text += digits[c & 15];
  }
  return text;
}

std::string bytesOf(const std::string& hex) {
  std::string bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 3)
    bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  return bytes;
}

uint64_t bitsOf(double value) { return std::bit_cast<uint64_t>(value); }

std::string alertTexts() {
  std::string text;
  for (const auto& box : plTestMessageBoxes()) text += box.text + "|";
  return text;
}

// A context over a temporary file, made by hand: mode 'w' to write, then
// load() puts given bytes in the file and turns it to reading.
class IoFormatTest : public ::testing::Test {
protected:
  void SetUp() override {
    ioDetachModules();
    plTestReset();
    plTestSetMessageBoxEcho(false);
    logText.clear();
    dbgSetLogHook(captureLog, nullptr);
    ctx = fresh();
  }
  void TearDown() override {
    if (ctx.stream) std::fclose(ctx.stream);
    dbgSetLogHook(nullptr, nullptr);
    plTestReset();
  }

  static ioCtx fresh() {
    ioCtx made{};
    made.mode = 'w';
    made.writeEnable = 1;
    made.stream = std::tmpfile();
    made.readLimit = -1;
    return made;
  }

  // Everything written so far, as hex.
  std::string written() {
    std::fflush(ctx.stream);
    const long end = std::ftell(ctx.stream);
    ioSeek(&ctx, 0);
    std::string bytes(static_cast<size_t>(end), '\0');
    const size_t got = std::fread(bytes.data(), 1, bytes.size(), ctx.stream);
    bytes.resize(got);
    ioSeek(&ctx, end);
    return hexOf(bytes);
  }

  // Replaces the file with bytes (hex) and reads from its start.
  void load(const std::string& hex) {
    std::fclose(ctx.stream);
    ctx = fresh();
    const std::string bytes = bytesOf(hex);
    std::fwrite(bytes.data(), 1, bytes.size(), ctx.stream);
    ioSeek(&ctx, 0);
    ctx.mode = 'r';
  }

  // Turns what was written into the input.
  void readBack() { load(written()); }

  // Writes value with the letter write, checks the bytes (hex) and that the
  // answer is their count, then reads the value back with the letter read.
  template <class T>
  T writeAndReadBack(const char* write, const char* read, T value, const char* bytes) {
    load("");
    ctx.mode = 'w';
    const int n = ioFormat(&ctx, write, &value);
    EXPECT_EQ(written(), bytes);
    EXPECT_EQ(n, static_cast<int>((std::strlen(bytes) + 1) / 3));
    readBack();
    T back{};
    EXPECT_EQ(ioFormat(&ctx, read, &back), n);
    return back;
  }

  ioCtx ctx;
};

// --- Compact integers -----------------------------------------------------

TEST_F(IoFormatTest, IntegersTakeTheirDocumentedBytesAndReadBack) {
  const struct {
    int32_t value;
    const char* bytes;
  } cases[] = {
      {0, "00"},
      {5, "05"},
      {-3, "FD"},
      {63, "3F"},
      {-64, "C0"},
      {64, "40 40"},
      {-65, "BF BF"},
      {100, "40 64"},
      {-100, "BF 9C"},
      {4095, "4F FF"},
      {4096, "50 10 00"},
      {-4097, "AF EF FF"},
      {1048575, "5F FF FF"},
      {0x100000, "60 10 00 00"},
      {-0x100001, "9F EF FF FF"},
      {0x10000000, "70 10 00 00 00"},
      {2147483647, "70 7F FF FF FF"},
      {-2147483648, "8F 80 00 00 00"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(writeAndReadBack("l", "i", c.value, c.bytes), c.value);
  }
}

TEST_F(IoFormatTest, PutlongAnswersTheLengthOfTheCoding) {
  const int32_t values[] = {63, 64, 4096, 0x100000, INT32_MIN};
  const int lengths[] = {1, 2, 3, 4, 5};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(putlong(values[i], &ctx), lengths[i]);
  EXPECT_EQ(written(), "3F 40 40 50 10 00 60 10 00 00 8F 80 00 00 00");
}

TEST_F(IoFormatTest, BytesAndShortsAreSignedOnTheWayOutAndCutOnTheWayIn) {
  uint8_t bytes[2] = {200, 100};
  int16_t shorts[2] = {-1, 32767};
  EXPECT_EQ(ioFormat(&ctx, "2b2s", bytes, shorts), 7);
  EXPECT_EQ(written(), "C8 40 64 FF 50 7F FF");

  // Reading keeps the low 8 or 16 bits of whatever the file holds.
  load("40 C8 70 00 01 00 05 60 01 80 00");
  uint8_t b[2] = {9, 9};
  int16_t s = 9;
  EXPECT_EQ(ioFormat(&ctx, "2bs", b, &s), 11);
  EXPECT_EQ(b[0], 200);
  EXPECT_EQ(b[1], 5);
  EXPECT_EQ(s, INT16_MIN);
}

// --- Compact doubles ------------------------------------------------------

TEST_F(IoFormatTest, DoublesTakeTheirDocumentedBytesAndReadBack) {
  const struct {
    double value;
    const char* bytes;
  } cases[] = {
      {0.0, "00"},
      {1.0, "01"},
      {2.0, "02"},
      {0.25, "05"},
      {0.5, "06"},
      {-1.0, "09"},
      {-2.0, "0A"},
      {-0.5, "0E"},
      {3.0, "18 80"},
      {-3.0, "98 80"},
      {1.5, "17 80"},
      {100.0, "1D 90"},
      {0.75, "16 80"},  // stands in the table, but not as a one-byte value
      {-0.75, "96 80"},
      {0.375, "15 80"},
      {384.0, "1F 80"},  // e = 8, the last two-byte exponent
      {768.0, "28 88 00"},
      {1.0 + std::ldexp(1.0, -20), "37 F0 00 01"},
      {1.0 + std::ldexp(1.0, -28), "47 F0 00 00 01"},
      {0.1, "77 B9 99 99 99 99 99 9A"},
      {std::ldexp(1.5, -126), "20 18 00"},
      {std::ldexp(1.0, -127), "80 38 00 00 00 00 00 00 00"},
      {std::ldexp(1.0, 127), "80 47 E0 00 00 00 00 00 00"},
      {1e100, "80 54 B2 49 AD 25 94 C3 7D"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(bitsOf(writeAndReadBack("d", "R", c.value, c.bytes)), bitsOf(c.value));
  }
  EXPECT_EQ(logText, "");
}

TEST_F(IoFormatTest, OneByteDoublesReadFromTheWholeTable) {
  load("07 08 0F 03 04 0B 0C 0D");
  double values[8];
  EXPECT_EQ(ioFormat(&ctx, "8d", values), 8);
  EXPECT_EQ(values[0], 0.75);
  EXPECT_EQ(bitsOf(values[1]), bitsOf(-0.0));
  EXPECT_EQ(values[2], -0.75);
  for (int i = 3; i < 7; ++i) EXPECT_EQ(bitsOf(values[i]), 0u) << i;
  EXPECT_EQ(values[7], -0.25);
}

TEST_F(IoFormatTest, NegativeZeroIsWrittenAsZero) {
  double values[2] = {-0.0, 0.0};
  EXPECT_EQ(ioFormat(&ctx, "2d", values), 2);
  EXPECT_EQ(written(), "00 00");
  EXPECT_EQ(logText, "");
}

TEST_F(IoFormatTest, FloatsAndUnalignedDoublesUseTheSameCoding) {
  float f = 1.5f;
  uint8_t unaligned[1 + 8];
  const double d = 0.1;
  std::memcpy(unaligned + 1, &d, 8);
  EXPECT_EQ(ioFormat(&ctx, "fE", &f, unaligned + 1), 10);
  EXPECT_EQ(written(), "17 80 77 B9 99 99 99 99 99 9A");

  // A value beyond the range of a float is held at the float's limit.
  load("17 80 77 B9 99 99 99 99 99 9A 80 54 B2 49 AD 25 94 C3 7D");
  float g[2] = {0, 0};
  uint8_t back[1 + 8] = {};
  EXPECT_EQ(ioFormat(&ctx, "fx", &g[0], back + 1), 10);
  EXPECT_EQ(ioFormat(&ctx, "f", &g[1]), 9);
  double d2;
  std::memcpy(&d2, back + 1, 8);
  EXPECT_EQ(g[0], 1.5f);
  EXPECT_EQ(d2, 0.1);
  EXPECT_EQ(g[1], std::numeric_limits<float>::max());
}

TEST_F(IoFormatTest, LargeValuesAreClampedWithALogLine) {
  double values[2] = {1e300, -1e300};
  EXPECT_EQ(ioFormat(&ctx, "2d", values), 18);
  EXPECT_EQ(written(), "80 5A 4F FF FF FF FF FF FF 80 DA 4F FF FF FF FF FF FF");
  EXPECT_EQ(logText, "Invalid LARGE float found on I/O - set to MAX_DOUBLE!\n"
                     "Invalid LARGE float found on I/O - set to MAX_DOUBLE!\n");
  EXPECT_EQ(alertTexts(), "");  // merely large: no alert

  // A nine-byte value that was never cleaned is cleaned on reading.
  logText.clear();
  load("80 7E 37 E4 3C 88 00 75 9C");
  double back = 0;
  EXPECT_EQ(ioFormat(&ctx, "d", &back), 9);
  EXPECT_EQ(bitsOf(back), 0x5A4FFFFFFFFFFFFFull);
  EXPECT_NEAR(back, 1.083e127, 1e124);
  EXPECT_EQ(logText, "Invalid LARGE float found on I/O - set to MAX_DOUBLE!\n");
}

TEST_F(IoFormatTest, TheLargestKeptExponentIsNotClamped) {
  const double kept = std::bit_cast<double>(0x5A4FFFFFFFFFFFFFull);
  const double next = std::bit_cast<double>(0x5A50000000000000ull);
  EXPECT_EQ(ioCleanDouble(kept), kept);
  EXPECT_EQ(logText, "");
  EXPECT_EQ(ioCleanDouble(next), kept);
  EXPECT_EQ(ioCleanDouble(-next), -kept);
}

TEST_F(IoFormatTest, NanAndInfinityRaiseAlertsAndAreClamped) {
  double values[2] = {std::numeric_limits<double>::quiet_NaN(), -std::numeric_limits<double>::infinity()};
  EXPECT_EQ(ioFormat(&ctx, "2d", values), 18);
  EXPECT_EQ(written(), "80 5A 4F FF FF FF FF FF FF 80 DA 4F FF FF FF FF FF FF");
  EXPECT_EQ(alertTexts(), "Floating Point ERROR - NAN found in I/O|Floating Point ERROR - INFinity found in I/O|");
  EXPECT_EQ(logText, "Invalid LARGE float found on I/O - set to MAX_DOUBLE!\n"
                     "Invalid LARGE float found on I/O - set to MAX_DOUBLE!\n");
}

TEST_F(IoFormatTest, DenormalsBecomeZeroOnBothWays) {
  double tiny = std::numeric_limits<double>::denorm_min();
  EXPECT_EQ(ioFormat(&ctx, "d", &tiny), 1);
  EXPECT_EQ(written(), "00");
  EXPECT_EQ(logText, "Invalid SMALL float found on I/O - set to 0.0!\n");

  logText.clear();
  load("80 80 00 00 00 00 00 00 01");
  double back = 5;
  EXPECT_EQ(ioFormat(&ctx, "d", &back), 9);
  EXPECT_EQ(bitsOf(back), 0u);
  EXPECT_EQ(logText, "Invalid SMALL float found on I/O - set to 0.0!\n");
}

TEST_F(IoFormatTest, RandomIntegersAndDoublesSurviveARoundTrip) {
  std::mt19937_64 random(20240611);
  std::vector<int32_t> ints(500);
  std::vector<double> doubles(500);
  for (size_t i = 0; i < ints.size(); ++i) {
    // Every length of coding: values of 1 to 32 significant bits.
    const int bits = 1 + static_cast<int>(i % 32);
    ints[i] = static_cast<int32_t>(static_cast<int64_t>(random() >> (64 - bits)) - (int64_t{1} << (bits - 1)));
    // Random bit patterns, and rounder values that take the short forms.
    uint64_t pattern = random();
    if (i % 3 == 1) pattern &= 0xFFFFFF0000000000ull;
    if (i % 3 == 2) pattern = (pattern & 0x800FF00000000000ull) | (uint64_t(1016 + i % 20) << 52);
    doubles[i] = std::bit_cast<double>(pattern);
  }
  const int n = ioFormat(&ctx, "*l*d", ints.size(), ints.data(), doubles.size(), doubles.data());
  ASSERT_GT(n, 0);
  readBack();
  std::vector<int32_t> intsBack(ints.size());
  std::vector<double> doublesBack(doubles.size());
  EXPECT_EQ(ioFormat(&ctx, "*l*d", ints.size(), intsBack.data(), doubles.size(), doublesBack.data()), n);
  EXPECT_EQ(intsBack, ints);
  for (size_t i = 0; i < doubles.size(); ++i)
    EXPECT_EQ(bitsOf(doublesBack[i]), bitsOf(ioCleanDouble(doubles[i]))) << i;
}

TEST_F(IoFormatTest, OlderDoubleLayoutIsConvertedOnReadingOnly) {
  // Top word 0x3FFF: the converted high word is 0x3FF00000 plus the top
  // bits of the low word.
  EXPECT_EQ(ioOldDouble(std::bit_cast<double>(0x3FFF000000000000ull)), 1.0);
  EXPECT_EQ(bitsOf(ioOldDouble(std::bit_cast<double>(0x3FFF000012345678ull))), 0x3FF1234567800000ull);
  EXPECT_EQ(bitsOf(ioOldDouble(std::bit_cast<double>(0x3C00FFFFFFFFFFFFull))), 0u);

  load("17 F0 00");  // the stored double 1.9375 (top word 0x3FFF), then 0.0
  double values[2] = {7, 7};
  EXPECT_EQ(ioFormat(&ctx, "2D", values), 3);
  EXPECT_EQ(values[0], 1.0);
  EXPECT_EQ(bitsOf(values[1]), 0u);

  load("");
  ctx.mode = 'w';
  EXPECT_EQ(ioFormat(&ctx, "2D", values), 0);
  EXPECT_EQ(written(), "");
}

// --- Texts ----------------------------------------------------------------

TEST_F(IoFormatTest, StringsAreCountedWithTheirSpecialCharacters) {
  const struct {
    const char* text;
    const char* bytes;
  } cases[] = {
      {nullptr, "00"},
      {"", "01"},
      {"a", "02 61"},
      {"\xB0", "03 FF 02"},
      {"\xFF\xB1\xD8\xAD~\x7F\xE9", "0C FF 01 FF 03 FF 04 FF 05 7E 7F E9"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes);
    char* back = writeAndReadBack("S", "S", const_cast<char*>(c.text), c.bytes);
    if (!c.text) EXPECT_EQ(back, nullptr);
    else EXPECT_STREQ(back, c.text);
    uFreeIfSet(&back);
  }
}

TEST_F(IoFormatTest, EscapeCodesBeyondTheTableReadAsLettersOrUnknown) {
  // Codes 6 and 25 are "G" and "Z"; 26 and 0 are unknown; a final 0xFF
  // whose code lies beyond the count is unknown too.
  load("0A FF 06 FF 19 FF 1A FF 00 FF 05");
  char* text = static_cast<char*>(uAlloc(nullptr, nullptr, 4, 1));  // freed by the read
  EXPECT_EQ(ioFormat(&ctx, "S", &text), 10);
  EXPECT_STREQ(text, "GZ\xA5\xA5\xA5");
  uFreeIfSet(&text);
  int32_t next = 0;
  EXPECT_EQ(ioFormat(&ctx, "l", &next), 1);
  EXPECT_EQ(next, 5);

  EXPECT_EQ(ioSpecialChar(1), 0xFF);
  EXPECT_EQ(ioSpecialCode(0xB0), 2);
  EXPECT_EQ(ioSpecialCode(0xE9), 0);
  const uint8_t sample[] = {'x', 0xB0, 0xFF, 0xAD};
  EXPECT_EQ(ioSpecialCount(sample, 4), 3);
}

TEST_F(IoFormatTest, CountedTextsKeepWhatFitsAndConsumeTheRest) {
  uint16_t length = 3;
  char text[] = "a\xB0z";
  int32_t after = 77;
  EXPECT_EQ(ioFormat(&ctx, "Cl", &length, text, &after), 7);
  EXPECT_EQ(written(), "04 61 FF 02 7A 40 4D");

  const struct {
    uint16_t capacity;
    uint16_t kept;
    const char* buffer;  // the first capacity bytes afterwards
  } cases[] = {
      {2, 2, "a\xB0"},     // cut, no room for a terminator
      {3, 3, "a\xB0z"},    // exact fit, unterminated
      {4, 3, "a\xB0z\0"},  // terminated
      {0, 0, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.capacity);
    load("04 61 FF 02 7A 40 4D");
    char buffer[8];
    std::memset(buffer, '#', sizeof buffer);
    uint16_t count = c.capacity;
    int32_t next = 0;
    EXPECT_EQ(ioFormat(&ctx, "Cl", &count, buffer, &next), 7);
    EXPECT_EQ(count, c.kept);
    EXPECT_EQ(std::string(buffer, c.capacity), std::string(c.buffer, c.capacity));
    EXPECT_EQ(buffer[c.capacity], '#');
    EXPECT_EQ(next, 77);
  }
}

// --- Format strings -------------------------------------------------------

TEST_F(IoFormatTest, RepeatCountsBlanksAndCounters) {
  double d[3] = {1.0, 3.0, 0.1};
  int32_t skipped = 99;
  int16_t s[12];
  for (int i = 0; i < 12; ++i) s[i] = static_cast<int16_t>(i);
  uint8_t raw[3] = {'x', 0, 0xFF};
  const int n = ioFormat(&ctx, " 3d *l 12s\t3c b", d, 0, &skipped, s, raw, &raw[2]);
  EXPECT_EQ(n, 1 + 2 + 8 + 12 + 3 + 1);
  EXPECT_EQ(ctx.fileBytes, static_cast<uint32_t>(n));
  EXPECT_EQ(ctx.memBytes, 3u * 8 + 12 * 2 + 3 + 1);

  readBack();
  double d2[3] = {};
  int16_t s2[12] = {};
  uint8_t raw2[3] = {};
  uint8_t last = 0;
  EXPECT_EQ(ioFormat(&ctx, "3d*l12s3cb", d2, 0, &skipped, s2, raw2, &last), n);
  EXPECT_EQ(d2[2], 0.1);
  EXPECT_EQ(s2[11], 11);
  EXPECT_EQ(std::memcmp(raw, raw2, 3), 0);
  EXPECT_EQ(last, 0xFF);
  EXPECT_EQ(skipped, 99);
}

TEST_F(IoFormatTest, FlagsCarryOneBitOfAWord) {
  uint8_t b = 0x04;
  uint16_t s = 0x0100;
  uint32_t l = 0;
  EXPECT_EQ(ioFormat(&ctx, ".b.s.i.l", 0x06, &b, 0x0100, &s, 0x80000000u, &l, 0x3, &l), 4);
  EXPECT_EQ(written(), "01 01 00 00");

  // Reading sets or clears every bit of the mask, the others stay.
  load("01 00 01 00");
  b = 0x10;
  s = 0xFFFF;
  l = 0x11;
  uint32_t i = 0;
  EXPECT_EQ(ioFormat(&ctx, ".b.s.i.l", 0x06, &b, 0x0F00, &s, 0x80000001u, &i, 0x1, &l), 4);
  EXPECT_EQ(b, 0x16);
  EXPECT_EQ(s, 0xF0FF);
  EXPECT_EQ(i, 0x80000001u);
  EXPECT_EQ(l, 0x10u);
}

TEST_F(IoFormatTest, BadLettersPanicAndAreSkipped) {
  int32_t a = 5, b = 6;
  uint8_t flag = 1;
  EXPECT_EQ(ioFormat(&ctx, "lQl.q", &a, &b, 1, &flag), 3);
  EXPECT_EQ(written(), "05 06 01");
  EXPECT_NE(logText.find("Q: bad format char\n"), std::string::npos);
  EXPECT_NE(logText.find("unknown code following '.' in ioFormat"), std::string::npos);

  EXPECT_EQ(ioFormat(static_cast<ioCtx*>(nullptr), "l", &a), -1);
  ioCtx closed{};
  closed.mode = 'w';
  EXPECT_EQ(ioFormat(&closed, "l", &a), -1);
  EXPECT_NE(logText.find("bad io_buf in ioFormat"), std::string::npos);
}

TEST_F(IoFormatTest, MissingArgumentsEndTheCall) {
  int32_t a = 5;
  EXPECT_EQ(ioFormat(&ctx, "ll", &a), -1);
  EXPECT_EQ(written(), "05");
  EXPECT_NE(logText.find("missing argument"), std::string::npos);
}

TEST_F(IoFormatTest, MeasuringWritesNothing) {
  ctx.writeEnable = 0;
  int32_t big = 100000;
  char* text = const_cast<char*>("abc");
  EXPECT_EQ(ioFormat(&ctx, "lS", &big, &text), 3 + 4);
  EXPECT_EQ(written(), "");
}

TEST_F(IoFormatTest, LayerNumbersWithoutACoderAreShortIntegers) {
  uint8_t layers[2] = {7, 200};
  EXPECT_EQ(ioFormat(&ctx, "LL", &layers[0], &layers[1]), 3);
  EXPECT_EQ(written(), "07 40 C8");
  load("60 01 00 05");
  uint8_t layer = 0;
  EXPECT_EQ(ioFormat(&ctx, "L", &layer), 4);
  EXPECT_EQ(layer, 5);
}

// The layer module's coder: layers are stored 100 higher.
int shiftedLayer(ioCtx* ctx, uint8_t* layer) {
  int16_t stored = static_cast<int16_t>(*layer + 100);
  const int n = ioFormat(ctx, "s", &stored);
  if (ctx->mode == 'r') *layer = static_cast<uint8_t>(stored - 100);
  return n;
}

TEST_F(IoFormatTest, LayerNumbersGoThroughTheLayerCoder) {
  ioSetLayerCoder(shiftedLayer);
  uint8_t layer = 3;
  int32_t after = 1;
  EXPECT_EQ(ioFormat(&ctx, "Ll", &layer, &after), 3);
  EXPECT_EQ(ctx.fileBytes, 3u);  // the coder's own ioFormat is not counted twice
  readBack();
  layer = 0;
  after = 0;
  EXPECT_EQ(ioFormat(&ctx, "Ll", &layer, &after), 3);
  ioSetLayerCoder(nullptr);
  EXPECT_EQ(layer, 3);
  EXPECT_EQ(after, 1);
}

// --- Letters of other modules ---------------------------------------------

// 'K': a count-prefixed pair list; takes a pointer to int32_t[2 * repeat]
// and codes each pair with a nested ioFormat, the count with putlong/getlong.
int pairHandler(ioCtx* ctx, int repeat, const ioArg** cursor) {
  int32_t* pairs = reinterpret_cast<int32_t*>(*(*cursor)++);
  int bytes = 0;
  if (ctx->mode == 'w') {
    bytes += putlong(repeat, ctx);
  } else {
    int32_t stored;
    bytes += getlong(&stored);
    if (stored != repeat) return -1;
  }
  for (int i = 0; i < repeat; ++i) {
    const int n = ioFormat(ctx, "2l", pairs + 2 * i);
    if (n < 0) return -1;
    bytes += n;
  }
  return bytes;
}

// 'J': reads a long from a second file between two reads of its own file.
ioCtx* otherFile = nullptr;
int interleavedHandler(ioCtx* ctx, int, const ioArg** cursor) {
  int32_t* out = reinterpret_cast<int32_t*>(*(*cursor)++);
  int bytes = getlong(&out[0]);
  ioFormat(otherFile, "l", &out[1]);  // bytes of another file: not counted here
  double d;
  bytes += ioGetDouble(&d);
  out[2] = static_cast<int32_t>(d);
  return ctx == otherFile ? -1 : bytes;
}

class IoFormatLetterTest : public IoFormatTest {
protected:
  void TearDown() override {
    ioDefFormat('K', nullptr);
    ioDefFormat('J', nullptr);
    IoFormatTest::TearDown();
  }
};

TEST_F(IoFormatLetterTest, DefinedLettersNestAndCountTheirBytesOnce) {
  ioDefFormat('K', pairHandler);
  int32_t pairs[4] = {1, 2, 300, -300};
  int32_t tail = -1;
  EXPECT_EQ(ioFormat(&ctx, "2Kl", pairs, &tail), 1 + 2 + 4 + 1);
  EXPECT_EQ(written(), "02 01 02 41 2C BE D4 FF");
  EXPECT_EQ(ctx.fileBytes, 8u);
  EXPECT_EQ(ctx.memBytes, 4u * 4 + 4);

  readBack();
  int32_t back[4] = {};
  tail = 0;
  EXPECT_EQ(ioFormat(&ctx, "2Kl", back, &tail), 8);
  EXPECT_EQ(std::vector<int32_t>(back, back + 4), std::vector<int32_t>(pairs, pairs + 4));
  EXPECT_EQ(tail, -1);
}

TEST_F(IoFormatLetterTest, HelpersReadFromTheInnermostCallsFile) {
  ioDefFormat('J', interleavedHandler);
  ioCtx other = fresh();
  std::fputc(0x2A, other.stream);
  ioSeek(&other, 0);
  other.mode = 'r';
  otherFile = &other;

  load("05 18 80 06");
  int32_t out[3] = {};
  int32_t last = 0;
  EXPECT_EQ(ioFormat(&ctx, "Jl", out, &last), 4);
  EXPECT_EQ(out[0], 5);
  EXPECT_EQ(out[1], 42);
  EXPECT_EQ(out[2], 3);
  EXPECT_EQ(last, 6);
  std::fclose(other.stream);
  otherFile = nullptr;

  int32_t none = 9;
  EXPECT_EQ(getlong(&none), 0);  // no call in progress
  EXPECT_EQ(none, 0);
}

TEST_F(IoFormatLetterTest, RedefiningALetterLogsAndReplaces) {
  ioDefFormat('K', interleavedHandler);
  EXPECT_EQ(logText, "");
  ioDefFormat('K', pairHandler);
  EXPECT_EQ(logText, "[ioDefFormat] redefined format char 'K'\n");
  int32_t pair[2] = {4, 5};
  EXPECT_EQ(ioFormat(&ctx, "K", pair), 3);
  EXPECT_EQ(written(), "01 04 05");
}

// --- Unsafe input ---------------------------------------------------------

TEST_F(IoFormatTest, ATruncatedValueFailsTheCallAndLeavesZeros) {
  const struct {
    const char* format;
    const char* bytes;
  } cases[] = {
      {"ll", "05 70 7F FF"},         // integer cut in its bytes
      {"ll", "05"},                  // nothing left for the second
      {"ld", "05 77 B9 99"},         // general double cut
      {"ld", "05 80 00"},            // nine-byte double cut
      {"lc", "05"},                  // raw byte past the end
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.format) + " / " + c.bytes);
    load(c.bytes);
    int32_t first = 0;
    alignas(8) uint8_t second[8];
    std::memset(second, 0x5A, sizeof second);
    EXPECT_EQ(ioFormat(&ctx, c.format, &first, second), -1);
    EXPECT_EQ(ctx.readFailures, 1u);
    EXPECT_EQ(first, 5);
    const size_t size = c.format[1] == 'c' ? 1 : c.format[1] == 'd' ? 8 : 4;
    EXPECT_EQ(std::string(reinterpret_cast<char*>(second), size), std::string(size, '\0'));
  }
}

TEST_F(IoFormatTest, CountsFromTheFileAreHeldAgainstTheBytesLeft) {
  // A string that claims 2^31 - 1 bytes: nothing is allocated, the slot is
  // freed and stays null, and later fields of the call are zeroed.
  load("70 7F FF FF FF 61 62 05");
  char* text = static_cast<char*>(uAlloc(nullptr, nullptr, 8, 1));
  int32_t after = 9;
  EXPECT_EQ(ioFormat(&ctx, "Sl", &text, &after), -1);
  EXPECT_EQ(text, nullptr);
  EXPECT_EQ(after, 0);

  // A counted text past the end keeps nothing.
  load("0A 61 62");
  char buffer[8];
  std::memset(buffer, '#', sizeof buffer);
  uint16_t length = 8;
  EXPECT_EQ(ioFormat(&ctx, "C", &length, buffer), -1);
  EXPECT_EQ(length, 0);
  EXPECT_EQ(buffer[0], 0);

  // Negative counts cannot be written; reading one is a failure.
  load("FF 61");
  length = 8;
  EXPECT_EQ(ioFormat(&ctx, "C", &length, buffer), -1);
  load("FF 61");
  EXPECT_EQ(ioFormat(&ctx, "S", &text), -1);
  EXPECT_EQ(text, nullptr);

  // A repeat count beyond the bytes left is refused before looping.
  load("01 02 03");
  std::vector<int32_t> values(1000, 7);
  EXPECT_EQ(ioFormat(&ctx, "*l", values.size(), values.data()), -1);
  EXPECT_EQ(values, std::vector<int32_t>(1000, 0));
  EXPECT_EQ(std::ftell(ctx.stream), 0);
}

TEST_F(IoFormatTest, TheRecordLimitEndsReadingLikeTheEndOfTheFile) {
  load("05 40 64 07");
  ctx.readLimit = 2;
  int32_t values[2] = {};
  EXPECT_EQ(ioFormat(&ctx, "2l", values), -1);
  EXPECT_EQ(values[0], 5);
  EXPECT_EQ(values[1], 0);

  // The next record can be read once the limit moves on.
  ioSeek(&ctx, 3);
  ctx.readLimit = 4;
  EXPECT_EQ(ioFormat(&ctx, "l", values), 1);
  EXPECT_EQ(values[0], 7);
}

TEST_F(IoFormatLetterTest, AFailedNestedReadFailsTheEnclosingCall) {
  ioDefFormat('K', pairHandler);
  load("02 01 02 41");
  int32_t pairs[4] = {9, 9, 9, 9};
  int32_t tail = 9;
  EXPECT_EQ(ioFormat(&ctx, "2Kl", pairs, &tail), -1);
  EXPECT_EQ(ctx.readFailures, 1u);  // counted once, where it happened
  EXPECT_EQ(pairs[0], 1);
  EXPECT_EQ(pairs[2], 0);
  EXPECT_EQ(pairs[3], 0);
  EXPECT_EQ(tail, 0);
}

// A failing read in a file opened with a recovery point leaves through it,
// from inside a defined letter's nested call, and leaves no call behind.
class IoFormatRecoveryTest : public ScratchDirTest {
protected:
  IoFormatRecoveryTest() : ScratchDirTest("ioformat-") {}
  void SetUp() override {
    ScratchDirTest::SetUp();
    ioDetachModules();
    plTestReset();
    plTestSetMessageBoxEcho(false);
  }
  void TearDown() override {
    ioDefFormat('K', nullptr);
    plTestReset();
    ScratchDirTest::TearDown();
  }
};

TEST_F(IoFormatRecoveryTest, AReadPastTheRecordLeavesThroughTheRecoveryPoint) {
  const std::string name = path("plan.abc");
  ioCtx* ctx = nullptr;
  ASSERT_EQ(ioOpen(&ctx, name.c_str(), int(name.size()), ioFlagWrite | ioFlagRaw, 4, nullptr), 0);
  ioDefFormat('K', pairHandler);
  int32_t five = 5;
  int32_t pairs[4] = {1, 2, 300, -300};
  EXPECT_EQ(ioFormat(ctx, "l2K", &five, pairs), 8);
  ASSERT_EQ(ioClose(ctx), 0);

  ioRecovery point;
  ASSERT_EQ(ioOpen(&ctx, name.c_str(), int(name.size()), ioFlagRead, 4, &point), 0);
  ctx->readLimit = ioHeaderSize + 1 + 1 + 2 + 1;  // the end of the record falls inside 300
  int32_t back[4] = {};
  int32_t first = 0;
  bool left = false;
  try {
    ioFormat(ctx, "l2K", &first, back);
  } catch (const ioFailure& failure) {
    left = true;
    EXPECT_EQ(failure.point, &point);
    EXPECT_EQ(failure.code, -4139);
  }
  EXPECT_TRUE(left);
  EXPECT_EQ(first, 5);
  EXPECT_EQ(back[0], 1);
  int32_t none = 9;
  EXPECT_EQ(getlong(&none), 0);
  EXPECT_EQ(none, 0);
}

}  // namespace

namespace {

// A text read before the failure is the caller's to free only when the call
// comes back: leaving through the recovery point, the call frees it itself.
TEST_F(IoFormatRecoveryTest, ATextReadBeforeAFailureThatLeavesIsFreed) {
  const std::string name = path("plan.abc");
  ioCtx* ctx = nullptr;
  ASSERT_EQ(ioOpen(&ctx, name.c_str(), int(name.size()), ioFlagWrite | ioFlagRaw, 4, nullptr), 0);
  char layer[] = "Walls";
  char* text = layer;
  const int written = ioFormat(ctx, "S", &text);
  ASSERT_GT(written, 0);
  ASSERT_EQ(ioClose(ctx), 0);

  ioRecovery point;
  ASSERT_EQ(ioOpen(&ctx, name.c_str(), int(name.size()), ioFlagRead, 4, &point), 0);
  ctx->readLimit = ioHeaderSize + written;  // the long that would follow the text is missing
  char* back = nullptr;
  int32_t word = 7;
  bool left = false;
  try {
    ioFormat(ctx, "Sl", &back, &word);
  } catch (const ioFailure&) {
    left = true;
  }
  EXPECT_TRUE(left);
  EXPECT_EQ(back, nullptr);  // freed (the leak check of the run finds it otherwise)
}

}  // namespace
