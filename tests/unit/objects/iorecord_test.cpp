// Record framing: nesting levels, records that outgrow their buffer and
// become segments, and the byte source's limits.
#include "objects/iofile.h"
#include "objects/ioformat.h"

#include <platform_test.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

class IoRecord : public ::testing::Test {
protected:
  void SetUp() override {
    plTestReset();
    plTestSetMessageBoxEcho(false);
    ctx.mode = 'w';
    ctx.writeEnable = 1;
    ctx.stream = std::tmpfile();
    ctx.readLimit = -1;
    ctx.version = 1;
  }
  void TearDown() override {
    ioRecordFree(&ctx);
    std::fclose(ctx.stream);
    plTestReset();
  }

  std::vector<uint8_t> written() {
    std::fflush(ctx.stream);
    long end = std::ftell(ctx.stream);
    std::vector<uint8_t> bytes(size_t(end > 0 ? end : 0));
    ioSeek(&ctx, 0);
    if (!bytes.empty()) {
      EXPECT_EQ(bytes.size(), std::fread(bytes.data(), 1, bytes.size(), ctx.stream));
    }
    return bytes;
  }

  ioCtx ctx{};
};

TEST_F(IoRecord, SmallRecordIsFramedByTagAndLength) {
  ioRecordBegin(&ctx, 3);
  int32_t value = 100;
  ioFormat(&ctx, "i", &value);
  EXPECT_EQ(4, ioRecordEnd(&ctx, 1));  // 03 02, then 40 64
  EXPECT_EQ((std::vector<uint8_t>{0x03, 0x02, 0x40, 0x64}), written());
  EXPECT_EQ(0u, ctx.depth);
}

TEST_F(IoRecord, NestedRecordIsFramedInsideTheOuterOne) {
  ioRecordBegin(&ctx, 1);
  ioPutByte(&ctx, 0xAA);
  ioRecordBegin(&ctx, 2);
  ioPutByte(&ctx, 0xBB);
  EXPECT_EQ(3, ioRecordEnd(&ctx, 1));
  EXPECT_EQ(6, ioRecordEnd(&ctx, 1));
  EXPECT_EQ((std::vector<uint8_t>{0x01, 0x04, 0xAA, 0x02, 0x01, 0xBB}), written());
}

TEST_F(IoRecord, LargeRecordBecomesASegmentAndRaisesTheVersion) {
  // 40,000 bytes: the header names segment 1, whose length the table holds,
  // and every byte follows in order.
  std::vector<uint8_t> data(40000);
  for (size_t i = 0; i < data.size(); ++i) data[i] = uint8_t(i * 7);
  ioRecordBegin(&ctx, 5);
  ioPutBytes(&ctx, data.data(), data.size());
  ioRecordEnd(&ctx, 1);

  ASSERT_EQ(2u, ctx.segCount);
  EXPECT_EQ(40000u, ctx.segLengths[1]);
  EXPECT_EQ(2u, ctx.version);
  ASSERT_EQ(1u, plTestMessageBoxes().size());
  EXPECT_NE(std::string::npos, plTestMessageBoxes()[0].text.find("too big for version 1.0 format"));

  std::vector<uint8_t> bytes = written();
  // 05, then 0x100001 as a compact integer (60 10 00 01).
  ASSERT_EQ(5u + data.size(), bytes.size());
  EXPECT_EQ((std::vector<uint8_t>{0x05, 0x60, 0x10, 0x00, 0x01}), std::vector<uint8_t>(bytes.begin(), bytes.begin() + 5));
  EXPECT_TRUE(std::equal(data.begin(), data.end(), bytes.begin() + 5));
  EXPECT_EQ(40000u, ioSegLength(&ctx, 0x100001));
}

TEST_F(IoRecord, SegmentTotalCountsNestedHeaders) {
  // An outer record of many small inner records: its segment length is
  // every byte it holds, the inner headers included.
  ioRecordBegin(&ctx, 1);
  uint32_t inner = 0;
  for (int i = 0; i < 5000; ++i) {
    ioRecordBegin(&ctx, 2);
    for (int k = 0; k < 10; ++k) ioPutByte(&ctx, uint8_t(k));
    inner += uint32_t(ioRecordEnd(&ctx, 1));
  }
  ioRecordEnd(&ctx, 1);
  ASSERT_EQ(2u, ctx.segCount);
  EXPECT_EQ(inner, ctx.segLengths[1]);
  EXPECT_EQ(5000u * 12, inner);
}

TEST_F(IoRecord, NothingIsWrittenWhileWritingIsDisabled) {
  ctx.writeEnable = 0;
  ioPutByte(&ctx, 1);
  int32_t value = 1000;
  EXPECT_EQ(2, ioFormat(&ctx, "i", &value));
  EXPECT_TRUE(written().empty());
}

TEST_F(IoRecord, ReadingStopsAtTheLimit) {
  const uint8_t bytes[] = {1, 2, 3, 4};
  ioPutBytes(&ctx, bytes, sizeof bytes);
  ioSeek(&ctx, 0);
  ctx.mode = 'r';
  ctx.readLimit = 2;
  uint8_t b = 0;
  EXPECT_EQ(2, ioBytesLeft(&ctx));
  EXPECT_TRUE(ioGetByte(&ctx, &b));
  EXPECT_TRUE(ioGetByte(&ctx, &b));
  EXPECT_EQ(2, b);
  EXPECT_FALSE(ioGetByte(&ctx, &b));
  EXPECT_EQ(0, ioBytesLeft(&ctx));
  ctx.readLimit = -1;
  EXPECT_EQ(2, ioBytesLeft(&ctx));

  // The reader counts its own offset: seeks back and forth, a byte past the
  // end of the file and a new limit must all leave the count true.
  ctx.readLimit = 3;
  ASSERT_EQ(0, ioSeek(&ctx, 1));
  EXPECT_EQ(1, ioTell(&ctx));
  EXPECT_TRUE(ioGetByte(&ctx, &b));
  EXPECT_EQ(2, b);
  EXPECT_TRUE(ioGetByte(&ctx, &b));
  EXPECT_EQ(3, b);
  EXPECT_FALSE(ioGetByte(&ctx, &b)) << "the limit holds after a seek back";
  ctx.readLimit = -1;
  EXPECT_TRUE(ioGetByte(&ctx, &b));
  EXPECT_EQ(4, b);
  EXPECT_FALSE(ioGetByte(&ctx, &b)) << "the end of the file";
  EXPECT_EQ(4, ioTell(&ctx));
  ctx.readLimit = 4;
  ASSERT_EQ(0, ioSeek(&ctx, 3));
  EXPECT_EQ(1, ioBytesLeft(&ctx));
  EXPECT_TRUE(ioGetByte(&ctx, &b));
  EXPECT_FALSE(ioGetByte(&ctx, &b));
  EXPECT_EQ(std::ftell(ctx.stream), ioTell(&ctx));
}

TEST_F(IoRecord, UnknownSegmentNumberIsBadData) {
  EXPECT_EQ(0u, ioSegLength(&ctx, 0x100003));
  EXPECT_EQ(123u, ioSegLength(&ctx, 123));
}

}  // namespace
