#include "fe/signature.h"

#include "core/abort.h"
#include "core/alloc.h"
#include "core/classes.h"
#include "core/debug.h"
#include "core/errors.h"
#include "fe/arrays.h"
#include "fe/generic.h"
#include "fe/names.h"
#include "fe/stack.h"
#include "fe/strings.h"

#include <platform_test.h>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define SIG_TEST_ASAN 1
#endif

namespace {

// ---------------------------------------------------------------------------
// Values and their text.

feObject I(int32_t v) {
  feObject o;
  feMakeInt(&o, v);
  return o;
}
feObject R(double v) {
  feObject o;
  feMakeReal(&o, v);
  return o;
}
feObject B(bool v) {
  feObject o;
  feMakeBool(&o, v);
  return o;
}
feObject Null() {
  feObject o;
  feMakeNull(&o);
  return o;
}
feObject S(const std::string& text) {
  feObject o;
  EXPECT_EQ(feMakeString(&o, text.data(), text.size()), feOk);
  return o;
}
feObject N(const char* text) {
  feObject o;
  EXPECT_EQ(feMakeName(&o, text, std::strlen(text)), feOk);
  return o;
}
feObject A(std::vector<feObject> elements) {
  feObject o;
  EXPECT_EQ(feMakeArray(&o, elements.data(), uint32_t(elements.size())), feOk);
  return o;
}

std::string real(double d) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%g", d);
  std::string s = buffer;
  if (s.find_first_of(".en") == std::string::npos) s += ".";
  return s;
}

std::string describe(const feObject& v) {
  switch (feType(&v)) {
    case feTInt: return std::to_string(v.w0.i);
    case feTReal: return real(v.w0.d);
    case feTBool: return v.w0.i ? "true" : "false";
    case feTNull: return "null";
    case feTString: {
      uint8_t* data;
      uint16_t length;
      feStringData(&v, &data, &length);
      return "(" + std::string(reinterpret_cast<char*>(data), length) + ")";
    }
    case feTName: {
      const char* text;
      size_t length;
      feNameText(&v, &text, &length);
      return (feIsExec(&v) ? "" : "/") + std::string(text, length);
    }
    case feTArray: {
      std::string s = "[";
      for (int32_t k = 0; k < feArrayLength(&v); ++k) s += (k ? " " : "") + describe(*feArrayElem(&v, k));
      return s + "]";
    }
    case feTObject: {
      char name[9];
      return "obj:" + std::string(objClassName(v.w0.obj, sizeof name, name));
    }
    default: return "?" + std::to_string(feType(&v));
  }
}

feStack** ops() { return feOperandStack(); }

// The operand stack, bottom first.
std::string stack() {
  std::string s;
  for (int32_t d = feStackCount(*ops()) - 1; d >= 0; --d) s += (s.empty() ? "" : " ") + describe(*feStackIndex(*ops(), d));
  return s;
}

void push(std::vector<feObject> values) {
  for (feObject& v : values) ASSERT_EQ(fePush(ops(), &v), feOk);
}

// ---------------------------------------------------------------------------
// What the handler saw, read through a small view language, one word per
// argument: i int, d double, w parameter word, o value, s text, c terminated
// text, q record (its class), "g:<letters>" a group block read with natural
// alignment (letters i d w o s), "l:i", "l:d", "l:s" lists.

template <class T>
T at(const uint8_t* block, size_t* offset) {
  *offset = (*offset + alignof(T) - 1) / alignof(T) * alignof(T);
  T v;
  std::memcpy(&v, block + *offset, sizeof v);
  *offset += sizeof v;
  return v;
}

std::string one(char letter, const feArg& a) {
  switch (letter) {
    case 'i': return std::to_string(a.i);
    case 'd': return real(a.d);
    case 'w': return std::to_string(a.word);
    case 'o': return describe(*a.value);
    case 's': return std::string(a.text.text, size_t(a.text.length));
    case 'c': return a.cstr;
    case 'q': {
      if (!a.record) return "null";
      char name[9];
      return objClassName(a.record, sizeof name, name);
    }
    default: return "??";
  }
}

std::string view(const feArgs* args, const std::string& spec) {
  std::string out;
  int k = 0;
  size_t pos = 0;
  while (pos < spec.size()) {
    size_t end = spec.find(' ', pos);
    if (end == std::string::npos) end = spec.size();
    const std::string word = spec.substr(pos, end - pos);
    pos = end + 1;
    if (word.empty()) continue;
    const feArg& a = args->in[k++];
    std::string text;
    if (word.rfind("g:", 0) == 0) {
      const auto* block = static_cast<const uint8_t*>(a.block);
      size_t offset = 0;
      for (size_t j = 2; j < word.size(); ++j) {
        text += j > 2 ? "," : "<";
        switch (word[j]) {
          case 'i': text += std::to_string(at<int32_t>(block, &offset)); break;
          case 'd': text += real(at<double>(block, &offset)); break;
          case 'w': text += std::to_string(at<uintptr_t>(block, &offset)); break;
          case 'o': text += describe(*at<const feObject*>(block, &offset)); break;
          case 's': {
            const feArgText t = at<feArgText>(block, &offset);
            text += std::string(t.text, size_t(t.length));
            break;
          }
        }
      }
      text += word.size() > 2 ? ">" : "<>";
    } else if (word.rfind("l:", 0) == 0) {
      text = std::to_string(a.list.count) + ":";
      for (int32_t j = 0; j < a.list.count; ++j) {
        if (j) text += ",";
        if (word[2] == 'i') text += std::to_string(static_cast<const int32_t*>(a.list.items)[j]);
        if (word[2] == 'd') text += real(static_cast<const double*>(a.list.items)[j]);
        if (word[2] == 's') {
          const feArgText& t = static_cast<const feArgText*>(a.list.items)[j];
          text += std::string(t.text, size_t(t.length));
        }
      }
    } else {
      text = one(word[0], a);
    }
    out += (out.empty() ? "" : " ") + text;
  }
  return out;
}

// ---------------------------------------------------------------------------
// The handler the machine calls; each test sets what it does.

std::function<int(feArgs*)> probe;
int callProbe(feArgs* args) { return probe ? probe(args) : 0; }

// Compiles sig and runs one call through the argument machine with the
// probe as the handler.
int run(const char* sig, uintptr_t parameter = 0, uintptr_t context = 0) {
  const uint16_t* codes = nullptr;
  int32_t length = 0;
  const int rc = feCompileSig(sig, &codes, &length, parameter);
  EXPECT_EQ(rc, feOk) << sig;
  if (rc) return -99999;
  // The compiler's buffer is reused by the next compilation (a nested call
  // compiles too): run from a copy.
  std::vector<uint16_t> copy(codes, codes + length / 2);
  return argexec(callProbe, context, copy.data(), length);
}

// ---------------------------------------------------------------------------
// Program objects for Q.

struct Record {
  feObjRecord head;
  int freed;
};

int recordHandler(void* object, int message, intptr_t, intptr_t, intptr_t) {
  if (message == 100) {
    ++static_cast<Record*>(object)->freed;
    return 0;
  }
  return objNotHandled;
}

Record makeRecord(const char* className, uint8_t count = 10) {
  const uint16_t id = objClassRegister(className, 0, recordHandler);
  return Record{feObjRecord{id, count}, 0};
}

feObject Q(Record& r) {
  feObject o;
  feMakeObjRef(&o, &r);
  return o;
}

struct Sig : ::testing::Test {
  void SetUp() override {
    plTestReset();
    plTestSetMessageBoxEcho(false);
    feStackClear(*ops());
    probe = nullptr;
  }
  void TearDown() override {
    feStackClear(*ops());
    probe = nullptr;
    feSetPointConverter(nullptr);
    plTestReset();
  }
  static bool panicked(const std::string& text) {
    for (const auto& box : plTestMessageBoxes())
      if (box.text.find(text) != std::string::npos) return true;
    return false;
  }
};

int fillTrue(feArgs* a) {
  *static_cast<int32_t*>(a->out[0]) = 1;
  return 0;
}
int fill42AndFail(feArgs* a) {
  *static_cast<int32_t*>(a->out[0]) = 42;
  return -1;
}
int answer5(feArgs*) { return 5; }

}  // namespace

// ---------------------------------------------------------------------------

TEST_F(Sig, CompilerAcceptsTheLanguageAndRejectsMalformedText) {
  const struct {
    const char* sig;
    int rc;
  } cases[] = {
      {"", feOk},
      {"!", feOk},
      {"I<1>OO#B", feOk},
      {"!Q[group]A{DD}RI<0>#B/group point hitrad # bool/", feOk},
      {"! AP{3D} AR AR O#Q", feOk},
      {"!i<3>A{3D}A{16D}#A{3D}", feOk},
      {"!A{II}#A{DDDD}B", feOk},
      {"!#A{RRR}A{RRR}A{RRR}", feOk},
      {"!I<1>I#D", feOk},  // D as an outermost result
      {"CC#C", feOk},
      {"!S<*>", feOk},
      {"Q(x:group)", feOk},
      {"A{A{A{A{D}}}}", feOk},  // four nested groups
      {"3n", feOk},
      {"nD", feOk},          // an element under n places nothing
      {"nA{D", feErrSyntax}, // but is read whole
      {"nX", feErrSyntax},   // n alone, then no letter
      {"D", feErrSyntax},    // D only inside a group
      {"16D", feErrSyntax},
      {"0D", feErrSyntax},
      {"00I", feErrSyntax},
      {"X", feErrSyntax},
      {"AX", feErrSyntax},
      {"A", feErrSyntax},    // A needs a group
      {"A{DD", feErrSyntax},
      {"A{D#}", feErrSyntax},
      {"A{A{A{A{A{D}}}}}", feErrSyntax},  // five nested groups
      {"AP{DD}", feErrSyntax},            // a point is three doubles
      {"AV{3D}", feOk},
      {"S<abc", feErrSyntax},
      {"S<ab\\", feErrSyntax},
      {"Q[group", feErrSyntax},
      {"I/doc", feErrSyntax},
      {"I#I/doc/ x", feErrSyntax},
      {"I#I#I", feErrSyntax},
      {"#P", feErrSyntax},
      {"#AI", feErrSyntax},
      {"#AS", feErrSyntax},
      {"99999D", feErrSyntax},
      {"4096A{4096D}", feErrSyntax},  // too large to compile
      {"I D", feErrSyntax},
  };
  for (const auto& c : cases) {
    const uint16_t* codes = nullptr;
    int32_t length = -1;
    EXPECT_EQ(feCompileSig(c.sig, &codes, &length, 0), c.rc) << c.sig;
    if (c.rc == feOk) {
      EXPECT_NE(codes, nullptr) << c.sig;
      EXPECT_GT(length, 0) << c.sig;
      EXPECT_LE(length, 32767) << c.sig;
    }
  }
}

TEST_F(Sig, HandlerSeesConvertedOperandsAndTheStackFollows) {
  std::vector<feObject> sixteen;
  std::string sixteenSeen = "<";
  for (int k = 0; k < 16; ++k) {
    sixteen.push_back(k % 2 ? R(k + 0.5) : I(k));
    sixteenSeen += (k ? "," : "") + real(k % 2 ? k + 0.5 : k);
  }
  sixteenSeen += ">";
  const std::string sixteenView = "g:" + std::string(16, 'd');

  struct Case {
    const char* sig;
    std::vector<feObject> operands;  // deepest first
    int rc;
    std::string seen;  // through view; "-" when the handler must not run
    std::string view;
    const char* after;
    int (*fill)(feArgs*);
    uintptr_t parameter;
  };
  std::vector<Case> cases;
  auto add = [&](Case c) { cases.push_back(std::move(c)); };
  // Constants, operands deepest first, a result.
  add({"I<1>OO#B", {I(5), S("x")}, 0, "1 5 (x)", "i o o", "true", fillTrue, 0});
  add({"OOI<2>", {I(7), I(8)}, 0, "7 8 2", "o o i", "", nullptr, 0});
  add({"O", {I(1), I(2)}, 0, "2", "o", "1", nullptr, 0});
  add({"II", {I(1)}, feErrStackUnderflow, "-", "", "1", nullptr, 0});
  // Groups: exact length, element types, constants inside.
  add({"A{DDD}", {A({I(1), R(2.5), I(3)})}, 0, "<1.,2.5,3.>", "g:ddd", "", nullptr, 0});
  add({"A{DDD}", {A({I(1), I(2)})}, feErrLengthCheck, "-", "", "[1 2]", nullptr, 0});
  add({"A{DDD}", {A({I(1), I(2), I(3), I(4)})}, feErrLengthCheck, "-", "", "[1 2 3 4]", nullptr, 0});
  add({"A{DDD}", {A({I(1), S("s"), I(3)})}, feErrTypeCheck, "-", "", "[1 (s) 3]", nullptr, 0});
  add({"A{DDD}", {I(1)}, feErrTypeCheck, "-", "", "1", nullptr, 0});
  add({"A{16D}", {A(sixteen)}, 0, sixteenSeen, sixteenView, "", nullptr, 0});
  add({"A{DI<9>D}", {A({I(1), I(2)})}, 0, "<1.,9,2.>", "g:did", "", nullptr, 0});
  add({"A{IOSP}", {A({I(1), N("n"), S("t")})}, 0, "<1,/n,t,6>", "g:iosw", "", nullptr, 6});
  add({"A{}", {A({})}, 0, "<>", "g:", "", nullptr, 0});
  add({"A{}", {A({I(1)})}, feErrLengthCheck, "-", "", "[1]", nullptr, 0});
  // The "!" flag: the answer is ignored and the results pushed.
  add({"!I#I", {I(5)}, 0, "5", "i", "42", fill42AndFail, 0});
  add({"I#I", {I(5)}, -1, "5", "i", "5", fill42AndFail, 0});
  // Results the handler never fills, with "!": zeros, nulls, empty strings.
  add({"!#OISCRBQA{DI}", {}, 0, "", "", "null 0 () () 0. false null [0. 0]", answer5, 0});
  // Counts and n.
  add({"3n", {I(1)}, 0, "", "", "1", nullptr, 0});
  add({"I 3nD nA{DD} I", {I(1), I(2)}, 0, "1 2", "i i", "", nullptr, 0});
  add({"2I", {I(1), I(2), I(3)}, 0, "2 3", "i i", "1", nullptr, 0});
  // Letters and their checks.
  add({"S", {N("abc")}, 0, "abc", "s", "", nullptr, 0});
  add({"S", {S("ab")}, 0, "ab", "s", "", nullptr, 0});
  add({"S", {I(5)}, feErrTypeCheck, "-", "", "5", nullptr, 0});
  add({"C", {N("nm")}, 0, "nm", "c", "", nullptr, 0});
  add({"C", {S("st")}, 0, "st", "c", "", nullptr, 0});
  add({"C", {Null()}, feErrTypeCheck, "-", "", "null", nullptr, 0});
  add({"B", {B(true)}, 0, "1", "i", "", nullptr, 0});
  add({"B", {I(1)}, feErrTypeCheck, "-", "", "1", nullptr, 0});
  add({"I", {R(2.5)}, feErrTypeCheck, "-", "", "2.5", nullptr, 0});
  add({"R", {I(2)}, 0, "2.", "d", "", nullptr, 0});
  add({"L l i", {I(1), I(2), I(3)}, 0, "1 2 3", "i i i", "", nullptr, 0});
  add({"P", {I(1)}, 0, "77", "w", "1", nullptr, 77});
  add({"Q", {Null()}, 0, "null", "q", "", nullptr, 0});
  add({"Q", {I(1)}, feErrTypeCheck, "-", "", "1", nullptr, 0});
  // Lists.
  add({"AI", {A({I(1), I(2), I(3)})}, 0, "3:1,2,3", "l:i", "", nullptr, 0});
  add({"AL", {A({I(1), R(2.5)})}, feErrTypeCheck, "-", "", "[1 2.5]", nullptr, 0});
  add({"AR", {A({I(1), R(2.5)})}, 0, "2:1.,2.5", "l:d", "", nullptr, 0});
  add({"AD", {A({I(1), S("x")})}, feErrTypeCheck, "-", "", "[1 (x)]", nullptr, 0});
  add({"AS", {A({S("a"), N("bc")})}, 0, "2:a,bc", "l:s", "", nullptr, 0});
  add({"AI", {A({})}, 0, "0:", "l:i", "", nullptr, 0});
  add({"Ai", {S("x")}, feErrTypeCheck, "-", "", "(x)", nullptr, 0});
  // Constants: numbers truncate toward zero; B agrees with "true" over its
  // own length; texts keep their escapes; a text that is no number leaves an
  // ordinary operand.
  add({"I<2.7> I<-2.7> R<1.5> R<3> B<t> B<false> B<> S<a\\tb> C<z\\101>", {}, 0, "2 -2 1.5 3. 1 0 1 a\tb zA",
       "i i d d i i i s c", "", nullptr, 0});
  add({"i<16#ff> I<  7 8>", {}, 0, "255 7", "i i", "", nullptr, 0});
  add({"I<abc>", {I(4)}, 0, "4", "i", "", nullptr, 0});
  add({"I<>", {I(4)}, 0, "4", "i", "", nullptr, 0});
  add({"O<1>", {I(4)}, 0, "4", "o", "", nullptr, 0});  // ignored elsewhere

  for (Case& c : cases) {
    SCOPED_TRACE(c.sig);
    push(std::move(c.operands));
    bool called = false;
    std::string seen;
    probe = [&](feArgs* a) {
      called = true;
      seen = view(a, c.view);
      return c.fill ? c.fill(a) : 0;
    };
    EXPECT_EQ(run(c.sig, c.parameter), c.rc);
    if (c.seen == "-") {
      EXPECT_FALSE(called);
    } else {
      EXPECT_TRUE(called);
      EXPECT_EQ(seen, c.seen);
    }
    EXPECT_EQ(stack(), c.after);
    feStackClear(*ops());
  }
}

TEST_F(Sig, ArgumentBlockCountsAndContext) {
  push({I(1), I(2)});
  probe = [](feArgs* a) {
    EXPECT_EQ(a->inCount, 3);
    EXPECT_EQ(a->outCount, 3);
    EXPECT_EQ(a->context, uintptr_t(0xC0FFEE));
    // Distinct result slots, starting zeroed; a value slot starts as null.
    EXPECT_NE(a->out[0], a->out[1]);
    EXPECT_EQ(*static_cast<int32_t*>(a->out[0]), 0);
    EXPECT_EQ(*static_cast<double*>(a->out[1]), 0.0);
    EXPECT_EQ(static_cast<feObject*>(a->out[2])->flags, uint16_t(feTNull) | feFlagSimple);
    *static_cast<int32_t*>(a->out[0]) = a->in[0].i + a->in[1].i;
    *static_cast<double*>(a->out[1]) = double(a->in[2].word);
    return 0;
  };
  EXPECT_EQ(run("IIP#IRO", 9, 0xC0FFEE), feOk);
  EXPECT_EQ(stack(), "3 9. null");
}

TEST_F(Sig, ClassTextChecksTheFirstFetchOnly) {
  Record group = makeRecord("group");
  Record other = makeRecord("sgOther");
  const char* pointCheck = "!Q[group]A{DD}RI<0>#B/group point hitrad # bool/";

  // Not a group: the class check's code, the operands back, no call.
  push({Q(other), A({I(1), I(2)}), R(0.5)});
  bool called = false;
  probe = [&](feArgs* a) {
    called = true;
    EXPECT_EQ(view(a, "q g:dd d i"), "group <1.,2.> 0.5 0");
    *static_cast<int32_t*>(a->out[0]) = 1;
    return 0;
  };
  EXPECT_EQ(run(pointCheck), feErrTypeCheck);
  EXPECT_FALSE(called);
  EXPECT_EQ(stack(), "obj:sgOther [1 2] 0.5");
  feStackClear(*ops());

  push({Q(group), A({I(1), I(2)}), R(0.5)});
  EXPECT_EQ(run(pointCheck), feOk);
  EXPECT_TRUE(called);
  EXPECT_EQ(stack(), "true");
  feStackClear(*ops());

  // With a count, only the first copy is checked; the part after a colon
  // names the class.
  probe = nullptr;
  push({Q(group), Q(other)});
  EXPECT_EQ(run("2Q(x:group)"), feOk);
  push({Q(other), Q(group)});
  EXPECT_EQ(run("2Q(x:group)"), feErrTypeCheck);
  EXPECT_EQ(stack(), "obj:sgOther obj:group");
  feStackClear(*ops());
  EXPECT_EQ(group.head.refCount, 10);  // every reference taken was given back
  EXPECT_EQ(other.head.refCount, 10);
}

TEST_F(Sig, PointGroupsGoThroughTheConverter) {
  static std::vector<int> flags;
  flags.clear();
  // A fake work plane: world = plane + (10, 20, 30).
  feSetPointConverter([](double* p, int flag) {
    flags.push_back(flag);
    const double sign = flag >= 257 ? -1 : 1;
    p[0] += sign * 10;
    if (flag == 1 || flag == 257) {  // points move, directions do not
      p[1] += sign * 20;
      p[2] += sign * 30;
    }
  });
  probe = [](feArgs* a) {
    auto* p = static_cast<double*>(a->out[0]);
    p[0] = 11;
    p[1] = 22;
    p[2] = 33;
    *static_cast<int32_t*>(a->out[1]) = 1;
    return 0;
  };
  EXPECT_EQ(run("#AP{3D} B"), feOk);
  EXPECT_EQ(stack(), "[1. 2. 3.] true");
  EXPECT_EQ(flags, std::vector<int>{257});
  feStackClear(*ops());

  flags.clear();
  push({A({I(1), I(2), I(3)}), A({I(1), I(2), I(3)})});
  std::string seen;
  probe = [&](feArgs* a) {
    seen = view(a, "g:ddd g:ddd");
    return 0;
  };
  EXPECT_EQ(run("AP{3D} AV{3D}"), feOk);
  EXPECT_EQ(seen, "<11.,22.,33.> <11.,2.,3.>");
  EXPECT_EQ(flags, (std::vector<int>{1, 2}));

  // Without a converter the points pass unchanged.
  feSetPointConverter(nullptr);
  push({A({I(1), I(2), I(3)})});
  probe = [&](feArgs* a) {
    seen = view(a, "g:ddd");
    return 0;
  };
  EXPECT_EQ(run("AV{3D}"), feOk);
  EXPECT_EQ(seen, "<1.,2.,3.>");
}

TEST_F(Sig, NestedGroupsGetTheirOwnBlocks) {
  push({A({I(1), A({I(2), R(3.5)}), S("o")})});
  probe = [](feArgs* a) {
    const auto* outer = static_cast<const uint8_t*>(a->in[0].block);
    size_t offset = 0;
    EXPECT_EQ(at<int32_t>(outer, &offset), 1);
    const auto* inner = at<const uint8_t*>(outer, &offset);
    EXPECT_EQ(describe(*at<const feObject*>(outer, &offset)), "(o)");
    offset = 0;
    EXPECT_EQ(at<double>(inner, &offset), 2.0);
    EXPECT_EQ(at<double>(inner, &offset), 3.5);
    // The result: an array holding an array, each member made by its
    // letter; the inner group's slot points to its own block.
    auto* out = static_cast<uint8_t*>(a->out[0]);
    const int32_t seven = 7;
    std::memcpy(out, &seven, sizeof seven);
    uint8_t* resultInner;
    std::memcpy(&resultInner, out + 8, sizeof resultInner);
    const double half = 0.5;
    std::memcpy(resultInner, &half, sizeof half);
    return 0;
  };
  EXPECT_EQ(run("A{IA{DD}O}#A{IA{DD}}"), feOk);
  EXPECT_EQ(stack(), "[7 [0.5 0.]]");
}

TEST_F(Sig, HeapTextResultsAreMadeIntoStringsAndFreed) {
  static char* sText;
  static char* cText;
  probe = [](feArgs* a) {
    sText = static_cast<char*>(uAlloc(nullptr, nullptr, 3, 1));
    std::memcpy(sText, "abc", 3);  // not terminated: the length says
    *static_cast<feArgText*>(a->out[0]) = feArgText{sText, 3};
    cText = static_cast<char*>(uAlloc(nullptr, nullptr, 4, 1));
    std::memcpy(cText, "xyz", 4);
    *static_cast<char**>(a->out[1]) = cText;
    return 0;
  };
  EXPECT_EQ(run("#SC"), feOk);
  EXPECT_EQ(stack(), "(abc) (xyz)");
#ifdef SIG_TEST_ASAN
  EXPECT_TRUE(__asan_address_is_poisoned(sText));
  EXPECT_TRUE(__asan_address_is_poisoned(cText));
#endif
  feStackClear(*ops());

  // A text too long for a string fails the call: 270, operand back, and the
  // handler's texts are still freed (a leak would be reported at exit).
  push({I(1)});
  probe = [](feArgs* a) {
    const uint32_t n = 70000;
    auto* text = static_cast<char*>(uAlloc(nullptr, nullptr, n, 1));
    std::memset(text, 'x', n);
    *static_cast<feArgText*>(a->out[0]) = feArgText{text, int32_t(n)};
    cText = static_cast<char*>(uAlloc(nullptr, nullptr, 2, 1));
    cText[0] = 'c';
    *static_cast<char**>(a->out[1]) = cText;
    return 0;
  };
  EXPECT_EQ(run("I#SC"), feErrLimitCheck);
  EXPECT_EQ(stack(), "1");
}

TEST_F(Sig, ObjectResultsPassTheirReferenceAndFailedCallsReleaseThem) {
  feObject text = S("shared");
  push({text});  // the stack holds the only reference
  probe = [](feArgs* a) {
    feCopyValue(static_cast<feObject*>(a->out[0]), a->in[0].value);
    return 0;
  };
  EXPECT_EQ(run("O#O"), feOk);
  EXPECT_EQ(stack(), "(shared)");
  EXPECT_EQ(text.w0.str->refs, 1u);  // the operand's reference went, the copy's stayed

  // The handler fails after storing a value: it is released, not pushed.
  probe = [](feArgs* a) {
    feCopyValue(static_cast<feObject*>(a->out[0]), a->in[0].value);
    return feErrRangeCheck;
  };
  EXPECT_EQ(run("O#O"), feErrRangeCheck);
  EXPECT_EQ(stack(), "(shared)");
  EXPECT_EQ(text.w0.str->refs, 1u);

  // A record result raises the record's count.
  Record r = makeRecord("sgQres", 1);
  static Record* record;
  record = &r;
  probe = [](feArgs* a) {
    *static_cast<void**>(a->out[0]) = record;
    return 0;
  };
  EXPECT_EQ(run("#Q"), feOk);
  EXPECT_EQ(r.head.refCount, 2);
  feStackClear(*ops());
  EXPECT_EQ(r.head.refCount, 1);
}

TEST_F(Sig, TerminatedCopiesLiveForTheCallOnly) {
  static const char* seen;
  push({S("copy me")});
  probe = [](feArgs* a) {
    seen = a->in[0].cstr;
    EXPECT_STREQ(seen, "copy me");
    return 0;
  };
  EXPECT_EQ(run("C"), feOk);
#ifdef SIG_TEST_ASAN
  EXPECT_TRUE(__asan_address_is_poisoned(seen));
#endif
}

TEST_F(Sig, AtMostTwentyTemporariesACall) {
  const struct {
    const char* sig;
    int strings;  // string operands, then one array of integers
    bool array;
    int rc;
  } cases[] = {
      {"20C", 20, false, feOk},
      {"21C", 21, false, feErrTypeCheck},
      {"19C AI", 19, true, feOk},
      {"20C AI", 20, true, feErrTypeCheck},
      {"20C 5S", 25, false, feOk},  // S needs no copy of a string
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sig);
    std::string expected;
    for (int k = 0; k < c.strings; ++k) {
      push({S("t" + std::to_string(k))});
      expected += (k ? " (t" : "(t") + std::to_string(k) + ")";
    }
    if (c.array) {
      push({A({I(1)})});
      expected += " [1]";
    }
    int calls = 0;
    probe = [&](feArgs*) {
      ++calls;
      return 0;
    };
    EXPECT_EQ(run(c.sig), c.rc);
    EXPECT_EQ(calls, c.rc == feOk ? 1 : 0);
    EXPECT_EQ(stack(), c.rc == feOk ? "" : expected);
    feStackClear(*ops());
  }
}

TEST_F(Sig, NestedCallsKeepTheOuterCallsArgumentsAndSlots) {
  int depth = 0;
  std::vector<std::string> log;
  probe = [&](feArgs* a) {
    if (depth == 0) {
      ++depth;
      const char* text = a->in[0].cstr;
      void* slot = a->out[0];
      // The handler runs other operators: the same signature again.
      push({S("inner"), I(9)});
      EXPECT_EQ(run("CI#I"), feOk);
      --depth;
      EXPECT_EQ(a->in[0].cstr, text);
      EXPECT_STREQ(a->in[0].cstr, "outer");  // the outer copy was not freed
      EXPECT_EQ(a->in[1].i, 7);
      EXPECT_EQ(a->out[0], slot);
      EXPECT_EQ(*static_cast<int32_t*>(a->out[0]), 0);
      *static_cast<int32_t*>(a->out[0]) = a->in[1].i + 1;
      log.push_back("outer");
      return 0;
    }
    EXPECT_STREQ(a->in[0].cstr, "inner");
    *static_cast<int32_t*>(a->out[0]) = 99;
    log.push_back("inner");
    return 0;
  };
  push({S("outer"), I(7)});
  EXPECT_EQ(run("CI#I"), feOk);
  EXPECT_EQ(log, (std::vector<std::string>{"inner", "outer"}));
  EXPECT_EQ(stack(), "99 8");
}

TEST_F(Sig, AbandonedCallsPutTheOperandsBack) {
  // The handler's operation is abandoned (out of memory deep inside it):
  // the operands are back, its texts and copies freed.
  push({I(0), S("keep"), I(3)});
  probe = [](feArgs* a) -> int {
    char* text = static_cast<char*>(uAlloc(nullptr, nullptr, 2, 1));
    *static_cast<char**>(a->out[0]) = text;
    throw uAbortSignal(SIGABRT);
  };
  EXPECT_THROW(run("CI#C"), uAbortSignal);
  EXPECT_EQ(stack(), "0 (keep) 3");
}

TEST_F(Sig, FullStackFailsTheResultsAndKeepsTheStack) {
  feObject v = I(0);
  int32_t held = 0;
  while (fePush(ops(), &v) == feOk) ++held;
  ASSERT_EQ(feStackCount(*ops()), held);
  probe = [](feArgs* a) {
    *static_cast<int32_t*>(a->out[0]) = 1;
    *static_cast<int32_t*>(a->out[1]) = 2;
    return 0;
  };
  feStackIndex(*ops(), 0)->w0.i = 5;
  EXPECT_EQ(run("I#II"), feErrLimitCheck);
  EXPECT_EQ(feStackCount(*ops()), held);
  EXPECT_EQ(feStackIndex(*ops(), 0)->w0.i, 5);
  EXPECT_EQ(feStackIndex(*ops(), 1)->w0.i, 0);
  // One result in place of one operand fits.
  probe = [](feArgs* a) {
    *static_cast<int32_t*>(a->out[0]) = 1;
    return 0;
  };
  EXPECT_EQ(run("I#I"), feOk);
  EXPECT_EQ(feStackIndex(*ops(), 0)->w0.i, 1);
}

TEST_F(Sig, MalformedProgramsPanicAndChangeNothing) {
  const uint16_t* codes;
  int32_t length;
  ASSERT_EQ(feCompileSig("I#I", &codes, &length, 0), feOk);
  std::vector<uint16_t> good(codes, codes + length / 2);
  std::vector<uint16_t> junk(good.size(), 0x1234);
  push({I(4)});
  bool called = false;
  probe = [&](feArgs*) {
    called = true;
    return 0;
  };
  const struct {
    const uint16_t* codes;
    int32_t length;
  } cases[] = {
      {junk.data(), int32_t(junk.size() * 2)},
      {good.data(), 8},             // cut inside the header
      {good.data(), length - 4},    // cut inside the program
  };
  for (const auto& c : cases) {
    plTestClearMessageBoxes();
    EXPECT_EQ(argexec(callProbe, 0, c.codes, c.length), feErrUnimplemented);
    EXPECT_TRUE(panicked("unknown code in argexec"));
    EXPECT_FALSE(called);
    EXPECT_EQ(stack(), "4");
  }
  EXPECT_EQ(argexec(nullptr, 0, good.data(), length), feErrUnimplemented);
  EXPECT_EQ(stack(), "4");
}

TEST_F(Sig, TheLetterHIsReportedAndReadAsAnInteger) {
  push({I(5), A({I(6)})});
  std::string seen;
  probe = [&](feArgs* a) {
    seen = view(a, "i l:i");
    return 0;
  };
  EXPECT_EQ(run("H AH"), feOk);
  EXPECT_EQ(seen, "5 1:6");
  EXPECT_TRUE(panicked("We have another 'H'"));
  EXPECT_TRUE(panicked("We have an 'H'"));
}

TEST_F(Sig, DocumentationTextIsKept) {
  const struct {
    const char* sig;
    const char* doc;
  } cases[] = {
      {"!RRR/offset factor prec # -/", "offset factor prec # -"},
      {"I#B/a\\/b\\n/", "a/b\n"},
      {"I", ""},
      {"/only/", "only"},
  };
  for (const auto& c : cases) {
    const uint16_t* codes;
    int32_t length;
    ASSERT_EQ(feCompileSig(c.sig, &codes, &length, 0), feOk) << c.sig;
    const char* text;
    int32_t n;
    feSigDoc(codes, length, &text, &n);
    EXPECT_EQ(std::string(text, size_t(n)), c.doc) << c.sig;
  }
}
