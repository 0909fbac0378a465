// The formatting engine: one interpreter of format strings that reads its
// arguments through an ArgSource, either the typed list of the C++ entry
// points or the va_list of the C entry, and writes through a Sink, either a
// bounded buffer or a growing string.
#include "core/format.h"

#include "core/format_real.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

// Widths (and "R" counts) above this are taken as this, so that a stray
// argument read by "*" cannot ask for gigabytes of fill.
constexpr int32_t kMaxWidth = 1 << 20;

// ---------------------------------------------------------------------------
// Output

class Sink {
public:
  // Bounded: at most size - 1 characters and a terminator; size 0 (or no
  // buffer) writes nothing at all.
  Sink(char* buffer, size_t size)
      : buffer_(size ? buffer : nullptr), room_(buffer && size ? size - 1 : 0) {}
  // Unbounded: appends to text.
  explicit Sink(std::string* text) : text_(text) {}

  bool full() const { return !text_ && written_ >= room_; }

  void put(const char* p, size_t length) {
    if (text_) {
      text_->append(p, length);
      return;
    }
    const size_t n = std::min(length, room_ - written_);
    if (n) std::memcpy(buffer_ + written_, p, n);
    written_ += n;
  }
  void put(char c) { put(&c, 1); }
  void repeat(char c, size_t count) {
    if (text_) {
      text_->append(count, c);
      return;
    }
    const size_t n = std::min(count, room_ - written_);
    if (n) std::memset(buffer_ + written_, c, n);
    written_ += n;
  }

  // Terminates a bounded buffer; answers the characters written.
  int finish() {
    if (buffer_) buffer_[written_] = 0;
    return static_cast<int>(written_);
  }

private:
  char* buffer_ = nullptr;
  size_t room_ = 0;
  size_t written_ = 0;
  std::string* text_ = nullptr;
};

// ---------------------------------------------------------------------------
// Arguments

// What the elements of an "A" array are.
enum class ElemKind : uint8_t { None, Ints, Chars, Reals, Texts };

struct ArrayArg {
  int32_t count = 0;
  ElemKind kind = ElemKind::None;
  const void* data = nullptr;
};

// Where a conversion takes its argument from. Each call consumes one
// argument (nextArray two: the count and the pointer).
class ArgSource {
public:
  virtual int32_t nextInt() = 0;
  virtual double nextReal() = 0;
  virtual const char* nextText() = 0;
  virtual const unsigned char* nextPText() = 0;
  virtual const double* nextReals() = 0;
  // wanted is what the element conversion reads; a source that knows the
  // pointer's type answers that instead.
  virtual ArrayArg nextArray(ElemKind wanted) = 0;

protected:
  ~ArgSource() = default;
};

int32_t realToInt(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  if (v <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(v);
}

// The typed list of the C++ entry points. A missing argument reads as 0 or
// an empty text; integers and reals convert into each other; a terminated
// string and a length-prefixed one are both plain byte pointers, so "s" and
// "p" accept either; any other mismatch reads as 0 or empty.
class TypedSource final : public ArgSource {
public:
  TypedSource(const uFmtArg* args, size_t count) : args_(args), count_(args ? count : 0) {}

  int32_t nextInt() override {
    const uFmtArg* a = next();
    if (!a) return 0;
    if (a->kind() == uFmtArg::Kind::Int) return a->asInt();
    if (a->kind() == uFmtArg::Kind::Real) return realToInt(a->asReal());
    return 0;
  }
  double nextReal() override {
    const uFmtArg* a = next();
    if (!a) return 0.0;
    if (a->kind() == uFmtArg::Kind::Real) return a->asReal();
    if (a->kind() == uFmtArg::Kind::Int) return a->asInt();
    return 0.0;
  }
  const char* nextText() override {
    const uFmtArg* a = next();
    if (!a) return nullptr;
    if (a->kind() == uFmtArg::Kind::Text) return a->asText();
    if (a->kind() == uFmtArg::Kind::PText) return reinterpret_cast<const char*>(a->asPText());
    return nullptr;
  }
  const unsigned char* nextPText() override {
    const uFmtArg* a = next();
    if (!a) return nullptr;
    if (a->kind() == uFmtArg::Kind::PText) return a->asPText();
    if (a->kind() == uFmtArg::Kind::Text) return reinterpret_cast<const unsigned char*>(a->asText());
    return nullptr;
  }
  const double* nextReals() override {
    const uFmtArg* a = next();
    return a && a->kind() == uFmtArg::Kind::Reals ? a->asReals() : nullptr;
  }
  ArrayArg nextArray(ElemKind) override {
    ArrayArg array;
    array.count = nextInt();
    const uFmtArg* a = next();
    if (!a) return array;
    switch (a->kind()) {
      case uFmtArg::Kind::Ints: array.kind = ElemKind::Ints; array.data = a->asInts(); break;
      case uFmtArg::Kind::Chars: array.kind = ElemKind::Chars; array.data = a->asChars(); break;
      case uFmtArg::Kind::Reals: array.kind = ElemKind::Reals; array.data = a->asReals(); break;
      case uFmtArg::Kind::Texts: array.kind = ElemKind::Texts; array.data = a->asTexts(); break;
      default: break;
    }
    return array;
  }

private:
  const uFmtArg* next() { return index_ < count_ ? &args_[index_++] : nullptr; }

  const uFmtArg* args_;
  size_t count_;
  size_t index_ = 0;
};

// The C entry's va_list: each conversion reads the type it names.
class VaSource final : public ArgSource {
public:
  explicit VaSource(va_list args) { va_copy(args_, args); }
  ~VaSource() { va_end(args_); }
  VaSource(const VaSource&) = delete;
  VaSource& operator=(const VaSource&) = delete;

  int32_t nextInt() override { return va_arg(args_, int); }
  double nextReal() override { return va_arg(args_, double); }
  const char* nextText() override { return va_arg(args_, const char*); }
  const unsigned char* nextPText() override { return va_arg(args_, const unsigned char*); }
  const double* nextReals() override { return va_arg(args_, const double*); }
  ArrayArg nextArray(ElemKind wanted) override {
    ArrayArg array;
    array.count = va_arg(args_, int);
    array.data = va_arg(args_, const void*);
    array.kind = wanted;
    return array;
  }

private:
  va_list args_;
};

// The elements of an "A" array, one per conversion. An element of another
// kind than the conversion reads, or one past the count, reads as 0 or empty.
class ElementSource final : public ArgSource {
public:
  explicit ElementSource(const ArrayArg& array) : array_(array) {
    if (!array_.data) array_.kind = ElemKind::None;
  }

  int32_t nextInt() override {
    const int32_t i = take();
    if (i < 0) return 0;
    if (array_.kind == ElemKind::Ints) return static_cast<const int32_t*>(array_.data)[i];
    if (array_.kind == ElemKind::Chars) return static_cast<const unsigned char*>(array_.data)[i];
    return 0;
  }
  double nextReal() override {
    const int32_t i = take();
    return i >= 0 && array_.kind == ElemKind::Reals ? static_cast<const double*>(array_.data)[i] : 0.0;
  }
  const char* nextText() override {
    const int32_t i = take();
    return i >= 0 && array_.kind == ElemKind::Texts ? static_cast<const char* const*>(array_.data)[i]
                                                    : nullptr;
  }
  const unsigned char* nextPText() override {
    take();
    return nullptr;
  }
  const double* nextReals() override {
    take();
    return nullptr;
  }
  ArrayArg nextArray(ElemKind) override {
    take();
    return ArrayArg{};
  }

private:
  // The index of the next element, or -1 past the end.
  int32_t take() { return index_ < array_.count ? index_++ : -1; }

  ArrayArg array_;
  int32_t index_ = 0;
};

// ---------------------------------------------------------------------------
// Conversions

struct Spec {
  bool plus = false;       // "+": "+" before positive integers
  bool fillBefore = false; // "-": right-justify with the fill character
  int32_t width = 0;
  int32_t precision = -1;  // -1: none given
  bool half = false;       // "w": the low 16 bits
  bool noSign = false;     // "u": unsigned
};

bool isIntegerConversion(char c) {
  return c == 'd' || c == 'x' || c == 'X' || c == 'o' || c == 'b' || c == 'c' || c == 'C';
}

bool isRealConversion(char c) { return c == 'f' || c == 'g' || c == 'G'; }

ElemKind elementKindFor(char c) {
  if (isIntegerConversion(c)) return ElemKind::Ints;
  if (isRealConversion(c)) return ElemKind::Reals;
  if (c == 's') return ElemKind::Texts;
  return ElemKind::None;
}

int32_t readInteger(const Spec& spec, ArgSource& args) {
  int32_t v = args.nextInt();
  if (spec.half) {
    // 16 bits: sign-extended, or zero-extended when unsigned.
    v = spec.noSign ? (v & 0xFFFF) : static_cast<int16_t>(static_cast<uint16_t>(v & 0xFFFF));
  }
  return v;
}

// Writes text with the fill that the width asks for: without "-" spaces
// after the text, with "-" the fill character before it.
void putFilled(Sink& out, const Spec& spec, const char* text, size_t length, char fill) {
  const size_t width = static_cast<size_t>(spec.width);
  const size_t pad = width > length ? width - length : 0;
  if (spec.fillBefore) {
    out.repeat(fill, pad);
    out.put(text, length);
  } else {
    out.put(text, length);
    out.repeat(' ', pad);
  }
}

bool isPrintableByte(unsigned char c) {
  return (c >= 0x20 && c <= 0x7E) || c == '\t';
}

// "C": the bytes of a four-character code, most significant first; bytes
// that do not print appear as "\" and their "%o" form.
size_t fourCharCode(int32_t value, int32_t precision, char* out) {
  const int bytes = precision < 0 ? 4 : std::min<int32_t>(precision, 4);
  const uint32_t v = static_cast<uint32_t>(value);
  char* p = out;
  for (int i = bytes - 1; i >= 0; --i) {
    const unsigned char c = static_cast<unsigned char>(v >> (8 * i));
    if (isPrintableByte(c)) {
      *p++ = static_cast<char>(c);
    } else {
      *p++ = '\\';
      p = uIntToStr(c, 8, 1, "0", p);
    }
  }
  *p = 0;
  return static_cast<size_t>(p - out);
}

void convert(char c, const Spec& spec, ArgSource& args, Sink& out) {
  switch (c) {
    case '%':
      out.put('%');
      return;
    case 'd':
    case 'x':
    case 'X':
    case 'o':
    case 'b': {
      const int32_t v = readInteger(spec, args);
      const int signMode = spec.noSign ? 0 : spec.plus ? 2 : 1;
      char text[48];
      char* end = text;
      switch (c) {
        case 'd': end = uIntToStr(v, 10, signMode, nullptr, text); break;
        case 'x': end = uIntToStr(v, 16, 0, "0x", text); break;
        case 'X': end = uIntToStr(v, 16, 0, nullptr, text); break;
        case 'o': end = uIntToStr(v, 8, signMode, "0", text); break;
        case 'b': end = uIntToStr(v, 2, signMode, "0b", text); break;
      }
      putFilled(out, spec, text, static_cast<size_t>(end - text), c == 'X' ? '0' : ' ');
      return;
    }
    case 'c':
      out.put(static_cast<char>(readInteger(spec, args)));
      return;
    case 'C': {
      char text[24];
      const size_t length = fourCharCode(readInteger(spec, args), spec.precision, text);
      putFilled(out, spec, text, length, ' ');
      return;
    }
    case 's': {
      const char* s = args.nextText();
      size_t length = 0;
      if (s) length = spec.precision >= 0 ? strnlen(s, static_cast<size_t>(spec.precision)) : std::strlen(s);
      putFilled(out, spec, s ? s : "", length, ' ');
      return;
    }
    case 'p': {
      const unsigned char* p = args.nextPText();
      size_t length = p ? p[0] : 0;
      if (spec.precision >= 0) length = std::min(length, static_cast<size_t>(spec.precision));
      putFilled(out, spec, p ? reinterpret_cast<const char*>(p + 1) : "", length, ' ');
      return;
    }
    case 'f':
    case 'g':
    case 'G': {
      char text[kRealTextSize];
      const size_t length = uRealToText(args.nextReal(), c, spec.precision, text);
      putFilled(out, spec, text, length, ' ');
      return;
    }
    case 'R': {
      // width-many reals, each as "%g", no fill. A missing array reads zeros.
      const double* values = args.nextReals();
      char text[kRealTextSize];
      for (int32_t i = 0; i < spec.width && !out.full(); ++i) {
        if (i) out.put(' ');
        out.put(text, uRealToText(values ? values[i] : 0.0, 'g', spec.precision, text));
      }
      return;
    }
    default:
      out.put('*');
      out.put(c);
      out.put('*');
      return;
  }
}

// Reads "l", "w" and "u" modifiers.
void readModifiers(const char*& f, Spec& spec) {
  for (;; ++f) {
    if (*f == 'w') spec.half = true;
    else if (*f == 'u') spec.noSign = true;
    else if (*f != 'l') return;
  }
}

int32_t clampWidth(int32_t w) { return std::clamp<int32_t>(w, 0, kMaxWidth); }

void run(const char* f, ArgSource& args, Sink& out) {
  if (!f) return;
  while (*f && !out.full()) {
    const char* percent = std::strchr(f, '%');
    if (!percent) {
      out.put(f, std::strlen(f));
      return;
    }
    out.put(f, static_cast<size_t>(percent - f));
    f = percent + 1;

    Spec spec;
    if (*f == '+') {
      spec.plus = true;
      ++f;
    }
    if (*f == '-') {
      spec.fillBefore = true;
      ++f;
    }
    if (*f == '*') {
      spec.width = clampWidth(args.nextInt());
      ++f;
    } else {
      spec.width = clampWidth(uStrToInt(&f));
    }
    if (*f == '.') {
      ++f;
      if (*f == '*') {
        spec.precision = args.nextInt();
        ++f;
      } else {
        spec.precision = uStrToInt(&f);
      }
      if (spec.precision < 0) spec.precision = -1;
    }
    readModifiers(f, spec);
    if (!*f) return;
    const char c = *f++;

    if (c != 'A') {
      convert(c, spec, args, out);
      continue;
    }
    // "A": the conversion that follows, once per element of the array.
    readModifiers(f, spec);
    if (!*f) return;
    const char element = *f++;
    const ArrayArg array = args.nextArray(elementKindFor(element));
    ElementSource elements(array);
    for (int32_t i = 0; i < array.count && !out.full(); ++i) {
      if (i && element != 'c') out.put(' ');
      convert(element, spec, elements, out);
    }
  }
}

}  // namespace

int uVSprintfArgs(char* out, size_t size, const char* format, const uFmtArg* args, size_t count) {
  Sink sink(out, size);
  TypedSource source(args, count);
  run(format, source, sink);
  return sink.finish();
}

std::string uFormatArgs(const char* format, const uFmtArg* args, size_t count) {
  std::string text;
  Sink sink(&text);
  TypedSource source(args, count);
  run(format, source, sink);
  return text;
}

extern "C" int uVSprintf(char* out, size_t size, const char* format, va_list args) {
  Sink sink(out, size);
  VaSource source(args);
  run(format, source, sink);
  return sink.finish();
}
