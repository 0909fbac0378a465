#include "attn_stub.h"
#include "core/errors.h"
#include "fe/names.h"
#include "fe/output.h"
#include "fe/strings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// Collects the interpreter output while alive.
struct OutCapture {
  std::string text;
  OutCapture() { feSetOutHook(&OutCapture::append, this); }
  ~OutCapture() { feSetOutHook(nullptr, nullptr); }
  static void append(void* context, const char* t, size_t n) { static_cast<OutCapture*>(context)->text.append(t, n); }
};

feObject str(const std::string& text) {
  feObject v;
  EXPECT_EQ(feMakeString(&v, text.data(), text.size()), feOk);
  return v;
}

feObject num(int32_t i) {
  feObject v;
  feMakeInt(&v, i);
  return v;
}

std::string textOf(const feObject& v) {
  uint8_t* data = nullptr;
  uint16_t length = 0;
  feStringData(&v, &data, &length);
  return std::string(reinterpret_cast<const char*>(data), length);
}

std::string printed(const feObject& v, int mode) {
  OutCapture out;
  EXPECT_EQ(feStringPrint(&v, mode), feOk);
  return out.text;
}

}  // namespace

TEST(StringsMake, CopiesOrZeroesTheBytesIntoAFreshBody) {
  feObject a = str("abc");
  EXPECT_EQ(feType(&a), feTString);
  EXPECT_EQ(a.flags, feTString);  // literal, not simple
  EXPECT_EQ(a.offset, 0);
  EXPECT_EQ(a.length, 3);
  EXPECT_EQ(a.w0.str->refs, 1u);
  EXPECT_EQ(a.w0.str->length, 3);
  EXPECT_EQ(textOf(a), "abc");

  feObject zeros;
  ASSERT_EQ(feMakeString(&zeros, nullptr, 3), feOk);
  EXPECT_EQ(textOf(zeros), std::string(3, '\0'));

  // Each body takes the next serial, and the serial is the hash.
  EXPECT_NE(a.w0.str->serial, zeros.w0.str->serial);
  EXPECT_EQ(feStringHash(&a), a.w0.str->serial);

  feObject empty;
  ASSERT_EQ(feMakeString(&empty, "", 0), feOk);
  EXPECT_EQ(empty.length, 0);
  feStringRelease(&a);
  feStringRelease(&zeros);
  feStringRelease(&empty);
}

TEST(StringsMake, LengthPast65535IsLimitcheckAndMakesNothing) {
  feObject slot;
  std::memset(&slot, 0xA5, sizeof slot);
  const feObject before = slot;
  EXPECT_EQ(feMakeString(&slot, nullptr, 65536), feErrLimitCheck);
  EXPECT_EQ(std::memcmp(&slot, &before, sizeof slot), 0);

  std::string big(65535, 'x');
  ASSERT_EQ(feMakeString(&slot, big.data(), big.size()), feOk);
  EXPECT_EQ(slot.length, 65535);
  EXPECT_EQ(textOf(slot), big);
  feStringRelease(&slot);
}

TEST(StringsShare, GetintervalSharesTheBodyBothWays) {
  feObject abc = str("abc");
  feObject start = num(1), count = num(1), sub;
  ASSERT_EQ(feStringGetInterval(&abc, &start, &count, &sub), feOk);
  EXPECT_EQ(textOf(sub), "b");
  EXPECT_EQ(sub.w0.str, abc.w0.str);
  EXPECT_EQ(abc.w0.str->refs, 2u);

  feObject zero = num(0), z = num('z');
  ASSERT_EQ(feStringPut(&sub, &zero, &z), feOk);
  EXPECT_EQ(textOf(abc), "azc");

  feObject two = num(2), q = num('q');
  ASSERT_EQ(feStringPut(&abc, &two, &q), feOk);
  feObject whole;
  feObject three = num(3);
  ASSERT_EQ(feStringGetInterval(&abc, &zero, &three, &whole), feOk);
  EXPECT_EQ(textOf(whole), "azq");
  EXPECT_EQ(abc.w0.str->refs, 3u);

  feStringRelease(&whole);
  feStringRelease(&sub);
  EXPECT_EQ(abc.w0.str->refs, 1u);
  feStringRelease(&abc);
}

TEST(StringsAccess, GetAndPutCheckTypesAndRange) {
  feObject s = str("abcd");
  feObject real;
  feMakeReal(&real, 1.0);
  struct Row {
    feObject index;
    int code;
    int byte;
  };
  const Row gets[] = {
      {num(0), feOk, 'a'}, {num(3), feOk, 'd'}, {num(-1), feErrRangeCheck, 0},
      {num(4), feErrRangeCheck, 0}, {real, feErrTypeCheck, 0}, {s, feErrTypeCheck, 0},
  };
  for (const Row& row : gets) {
    feObject out;
    feMakeNull(&out);
    EXPECT_EQ(feStringGet(&s, &row.index, &out), row.code) << row.index.w0.i;
    if (row.code == feOk) {
      EXPECT_EQ(feType(&out), feTInt);
      EXPECT_EQ(out.w0.i, row.byte);
    }
  }

  struct PutRow {
    feObject index;
    feObject value;
    int code;
    const char* after;
  };
  const PutRow puts[] = {
      {num(4), num('x'), feErrRangeCheck, "abcd"},
      {num(-1), num('x'), feErrRangeCheck, "abcd"},
      {real, num('x'), feErrTypeCheck, "abcd"},
      {num(0), real, feErrTypeCheck, "abcd"},
      {num(0), num(256 + 'A'), feOk, "Abcd"},  // the low 8 bits are stored
      {num(3), num(-1), feOk, "Abc\xff"},
  };
  for (const PutRow& row : puts) {
    EXPECT_EQ(feStringPut(&s, &row.index, &row.value), row.code);
    EXPECT_EQ(textOf(s), row.after);
  }
  feStringRelease(&s);
}

TEST(StringsAccess, IntervalErrorsLeaveTheStringAlone) {
  feObject s = str("abcd");
  feObject real;
  feMakeReal(&real, 0.0);
  struct Row {
    feObject start;
    feObject count;
    int code;
    const char* result;
  };
  const Row rows[] = {
      {num(0), num(4), feOk, "abcd"},   {num(4), num(0), feOk, ""},
      {num(1), num(2), feOk, "bc"},     {num(-1), num(1), feErrRangeCheck, nullptr},
      {num(1), num(-1), feErrRangeCheck, nullptr}, {num(2), num(3), feErrRangeCheck, nullptr},
      {num(5), num(0), feErrRangeCheck, nullptr}, {real, num(1), feErrTypeCheck, nullptr},
      {num(0), real, feErrTypeCheck, nullptr},
  };
  for (const Row& row : rows) {
    feObject out;
    feMakeNull(&out);
    EXPECT_EQ(feStringGetInterval(&s, &row.start, &row.count, &out), row.code);
    if (row.result) {
      EXPECT_EQ(textOf(out), row.result);
      feStringRelease(&out);
    }
  }
  EXPECT_EQ(s.w0.str->refs, 1u);

  feObject xy = str("xy");
  struct PutRow {
    feObject start;
    feObject source;
    int code;
    const char* after;
  };
  const PutRow puts[] = {
      {num(3), xy, feErrRangeCheck, "abcd"}, {num(-1), xy, feErrRangeCheck, "abcd"},
      {num(0), num(1), feErrTypeCheck, "abcd"}, {real, xy, feErrTypeCheck, "abcd"},
      {num(2), xy, feOk, "abxy"},            {num(0), xy, feOk, "xyxy"},
  };
  for (const PutRow& row : puts) {
    EXPECT_EQ(feStringPutInterval(&s, &row.start, &row.source), row.code);
    EXPECT_EQ(textOf(s), row.after);
  }
  feStringRelease(&xy);
  feStringRelease(&s);
}

TEST(StringsAccess, PutintervalWithinOneBodyHandlesOverlap) {
  feObject s = str("abcdef");
  feObject zero = num(0), one = num(1), five = num(5), head, tail;
  ASSERT_EQ(feStringGetInterval(&s, &zero, &five, &head), feOk);  // "abcde"
  ASSERT_EQ(feStringPutInterval(&s, &one, &head), feOk);
  EXPECT_EQ(textOf(s), "aabcde");
  ASSERT_EQ(feStringGetInterval(&s, &one, &five, &tail), feOk);   // "abcde"
  ASSERT_EQ(feStringPutInterval(&s, &zero, &tail), feOk);
  EXPECT_EQ(textOf(s), "abcdee");
  feStringRelease(&head);
  feStringRelease(&tail);
  feStringRelease(&s);
}

TEST(StringsAccess, CopyFillsTheFrontAndAnswersASharedPrefix) {
  feObject src = str("ab");
  feObject dst = str("wxyz");
  feObject out;
  ASSERT_EQ(feStringCopy(&src, &dst, &out), feOk);
  EXPECT_EQ(textOf(dst), "abyz");
  EXPECT_EQ(textOf(out), "ab");
  EXPECT_EQ(out.w0.str, dst.w0.str);
  EXPECT_EQ(dst.w0.str->refs, 2u);
  feStringRelease(&out);

  feObject shorter = str("a");
  feObject notString = num(1);
  feMakeNull(&out);
  EXPECT_EQ(feStringCopy(&src, &shorter, &out), feErrRangeCheck);
  EXPECT_EQ(textOf(shorter), "a");
  EXPECT_EQ(feStringCopy(&src, &notString, &out), feErrTypeCheck);
  EXPECT_EQ(feType(&out), feTNull);
  feStringRelease(&shorter);
  feStringRelease(&src);
  feStringRelease(&dst);
}

TEST(StringsRead, ReadAndUnreadStopAtTheEnds) {
  feObject s = str("ab");
  feObject cursor = s;  // a moving view of the same body
  int ch = -1;
  EXPECT_EQ(feStringUnreadChar(&cursor, 'q'), feErrEof);  // offset 0
  ASSERT_EQ(feStringReadChar(&cursor, &ch), feOk);
  EXPECT_EQ(ch, 'a');
  EXPECT_EQ(cursor.offset, 1);
  EXPECT_EQ(cursor.length, 1);
  ASSERT_EQ(feStringReadChar(&cursor, &ch), feOk);
  EXPECT_EQ(ch, 'b');
  EXPECT_EQ(feStringReadChar(&cursor, &ch), feErrEof);
  EXPECT_EQ(cursor.length, 0);

  ASSERT_EQ(feStringUnreadChar(&cursor, 'z'), feOk);
  EXPECT_EQ(cursor.offset, 1);
  EXPECT_EQ(cursor.length, 1);
  EXPECT_EQ(textOf(s), "az");  // the given byte is stored at the new front
  ASSERT_EQ(feStringReadChar(&cursor, &ch), feOk);
  EXPECT_EQ(ch, 'z');

  // Bytes from 128 up read as 128..255, never negative.
  feObject high = str("\xc8");
  ASSERT_EQ(feStringReadChar(&high, &ch), feOk);
  EXPECT_EQ(ch, 200);
  feStringRelease(&high);
  feStringRelease(&s);
}

TEST(StringsEq, SameBytesOrTheCharactersOfAName) {
  feObject abc = str("abc"), abc2 = str("abc"), abd = str("abd"), ab = str("ab");
  feObject e1 = str(""), e2 = str("");
  feObject nameAbc, nameAbd, one = num(1);
  ASSERT_EQ(feMakeName(&nameAbc, "abc", 3), feOk);
  ASSERT_EQ(feMakeName(&nameAbd, "abd", 3), feOk);
  struct Row {
    const feObject* a;
    const feObject* b;
    int code;
  };
  const Row rows[] = {
      {&abc, &abc2, feOk}, {&abc, &abd, feNotEqual}, {&abc, &ab, feNotEqual},
      {&ab, &abc, feNotEqual}, {&e1, &e2, feOk}, {&abc, &nameAbc, feOk},
      {&abc, &nameAbd, feNotEqual}, {&abc, &one, feNotEqual},
  };
  for (const Row& row : rows) EXPECT_EQ(feStringEq(row.a, row.b), row.code) << textOf(*row.a);
  for (feObject* v : {&abc, &abc2, &abd, &ab, &e1, &e2}) feStringRelease(v);
}

TEST(StringsPrint, EscapesBytesWithoutAPrintableForm) {
  struct Row {
    std::string bytes;
    std::string mode1;
  };
  const Row rows[] = {
      {"abc", "(abc)"},
      {"", "()"},
      {std::string("\x08\x09\x0a\x0c\x0d", 5), "(\\b\\t\\n\\f\\r)"},
      {std::string("\x0b\x0c\xc8", 3), "(\\13\\f\\310)"},
      {std::string("a\0b", 3), "(a\\0b)"},
      {std::string("\x1f\x7f\xff", 3), "(\\37\\177\\377)"},
      {" ~", "( ~)"},
      // Parentheses and backslashes are printable and written as they are.
      {"(a)\\", "((a)\\)"},
  };
  for (const Row& row : rows) {
    feObject s = str(row.bytes);
    EXPECT_EQ(printed(s, 1), row.mode1);
    EXPECT_EQ(printed(s, 0), row.bytes);  // the form of "=": the bytes as they are
    EXPECT_EQ(printed(s, 2), "");
    feStringRelease(&s);
  }

  // A sub-string prints its own range only.
  feObject s = str("xy\tz");
  feObject one = num(1), two = num(2), sub;
  ASSERT_EQ(feStringGetInterval(&s, &one, &two, &sub), feOk);
  EXPECT_EQ(printed(sub, 1), "(y\\t)");
  feStringRelease(&sub);
  feStringRelease(&s);
}

TEST(StringsPrint, InterruptStopsBeforeTheNextEscapedByte) {
  feObject special = str("ab\ncd");
  feObject plain = str("abc");
  attnstub::setAttn(1);
  {
    OutCapture out;
    EXPECT_EQ(feStringPrint(&special, 1), feErrInterrupt);
    EXPECT_EQ(out.text, "(ab");
  }
  // Only escaped bytes poll: a plain string and the form of "=" print whole.
  EXPECT_EQ(printed(plain, 1), "(abc)");
  EXPECT_EQ(printed(special, 0), "ab\ncd");
  attnstub::setAttn(0);
  EXPECT_EQ(printed(special, 1), "(ab\\ncd)");
  feStringRelease(&special);
  feStringRelease(&plain);
}
