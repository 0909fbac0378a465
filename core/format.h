// The program's own printf-style formatting engine and integer conversions.
//
// It differs from the standard library's: "%x" writes "0x" and upper-case
// digits, "%o" a leading "0", "%b" binary with "0b"; without a flag the fill
// goes after the text and "-" puts it before; reals keep 8 significant digits
// and "%g" keeps a trailing "."; "%R" prints arrays of doubles, "%A" arrays of
// any conversion, "%C" four-character codes, "%p" length-prefixed strings; an
// unknown conversion prints its letter between two asterisks.
//
// A conversion is "%", the flags "+" and "-" (in this order), a width, "."
// and a precision, the modifiers "l" (32 bits, the default), "w" (the low 16
// bits, sign-extended; zero-extended together with "u") and "u" (unsigned),
// and a letter. Width and precision are read with uStrToInt ("%010d" has
// width 8) or taken from the next argument by "*"; widths are capped at
// 1048576. "%A" reads a count and an array and applies the conversion that
// follows it to each element; flags and width apply to each element.
// Reals print with 8 significant digits unless a precision says otherwise;
// infinities and NaN print as "inf", "-inf" and "nan".
//
// The engine is bounded: it never writes more than the output's size, the
// terminator included, whatever the format and the arguments.
#ifndef PLUMET_CORE_FORMAT_H
#define PLUMET_CORE_FORMAT_H

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <string>

// One argument handed to the engine from C++. Each accepted type converts
// implicitly; 64-bit integers and untyped pointers are refused at compile
// time, so a wide value can never be read as 32 bits by mistake.
class uFmtArg {
public:
  enum class Kind : uint8_t {
    Int,         // 32-bit integer (d x X o b c C and the "w"/"u" modifiers)
    Real,        // double (f g G)
    Text,        // terminated string (s)
    PText,       // length-prefixed string (p)
    Reals,       // pointer to doubles (R, and A over reals)
    Ints,        // pointer to 32-bit integers (A over integer conversions)
    Chars,       // pointer to bytes (A over c)
    Texts,       // pointer to strings (A over s)
  };

  uFmtArg(int32_t v) : kind_(Kind::Int) { u_.i = v; }
  uFmtArg(uint32_t v) : kind_(Kind::Int) { u_.i = static_cast<int32_t>(v); }
  uFmtArg(int16_t v) : kind_(Kind::Int) { u_.i = v; }
  uFmtArg(uint16_t v) : kind_(Kind::Int) { u_.i = v; }
  uFmtArg(char v) : kind_(Kind::Int) { u_.i = static_cast<unsigned char>(v); }
  uFmtArg(signed char v) : kind_(Kind::Int) { u_.i = v; }
  uFmtArg(unsigned char v) : kind_(Kind::Int) { u_.i = v; }
  uFmtArg(double v) : kind_(Kind::Real) { u_.d = v; }
  uFmtArg(float v) : kind_(Kind::Real) { u_.d = v; }
  uFmtArg(const char* v) : kind_(Kind::Text) { u_.s = v; }
  uFmtArg(char* v) : kind_(Kind::Text) { u_.s = v; }
  uFmtArg(const std::string& v) : kind_(Kind::Text) { u_.s = v.c_str(); }
  uFmtArg(const unsigned char* v) : kind_(Kind::PText) { u_.ps = v; }
  uFmtArg(const double* v) : kind_(Kind::Reals) { u_.rs = v; }
  uFmtArg(const int32_t* v) : kind_(Kind::Ints) { u_.is = v; }
  uFmtArg(const char* const* v) : kind_(Kind::Texts) { u_.ts = v; }

  // Refused: a 64-bit integer or an untyped pointer.
  uFmtArg(long) = delete;
  uFmtArg(unsigned long) = delete;
  uFmtArg(long long) = delete;
  uFmtArg(unsigned long long) = delete;
  uFmtArg(const void*) = delete;
  uFmtArg(bool) = delete;

  // A byte array for "%Ac" (a plain const char* is a string).
  static uFmtArg chars(const char* v) { uFmtArg a(v); a.kind_ = Kind::Chars; return a; }

  Kind kind() const { return kind_; }
  int32_t asInt() const { return u_.i; }
  double asReal() const { return u_.d; }
  const char* asText() const { return u_.s; }
  const unsigned char* asPText() const { return u_.ps; }
  const double* asReals() const { return u_.rs; }
  const int32_t* asInts() const { return u_.is; }
  const char* asChars() const { return u_.s; }
  const char* const* asTexts() const { return u_.ts; }

private:
  Kind kind_;
  union {
    int32_t i;
    double d;
    const char* s;
    const unsigned char* ps;
    const double* rs;
    const int32_t* is;
    const char* const* ts;
  } u_;
};

// Formats into out (size bytes, terminator included; size 0 writes nothing)
// from a list of typed arguments. Answers the number of characters written,
// not counting the terminator. A conversion whose argument is missing reads 0
// or an empty text; an integer conversion given a real converts it, and the
// other way round.
int uVSprintfArgs(char* out, size_t size, const char* format, const uFmtArg* args, size_t count);

template <class... A>
int uSprintf(char* out, size_t size, const char* format, const A&... args) {
  const uFmtArg list[] = {uFmtArg(args)..., uFmtArg(0)};
  return uVSprintfArgs(out, size, format, list, sizeof...(A));
}

template <size_t N, class... A>
int uSprintf(char (&out)[N], const char* format, const A&... args) {
  return uSprintf(out, N, format, args...);
}

// Formats into a new string (no length limit).
std::string uFormatArgs(const char* format, const uFmtArg* args, size_t count);

template <class... A>
std::string uFormat(const char* format, const A&... args) {
  const uFmtArg list[] = {uFmtArg(args)..., uFmtArg(0)};
  return uFormatArgs(format, list, sizeof...(A));
}

extern "C" {
// The C-callable engine, for callers that only have a va_list (plug-ins reach
// it through dbgPrintf). Integer conversions read an int, reals a double,
// "s" and "p" a char pointer, "R" a pointer to doubles, "A" an int count and
// a pointer whose elements are ints (integer conversions and "c"), doubles
// (reals) or char pointers ("s").
int uVSprintf(char* out, size_t size, const char* format, va_list args);
}

// Writes value in the given base (2-36) into output and answers the end of the
// text (the terminator written there); another base counts as 10. 0 gives
// "0" (no sign, no prefix). A negative value with a non-zero sign mode gives
// "-" and its magnitude; sign mode 2 puts "+" before a positive value; sign
// mode 0 prints the 32-bit pattern unsigned. The prefix (may be null) goes
// between the sign and the digits. output needs room for 34 characters plus
// the prefix.
char* uIntToStr(int32_t value, int base, int signMode, const char* prefix, char* output);

// Reads an integer at *text and moves *text behind it: "0b"/"0B" binary,
// "0x"/"0X" hexadecimal, another leading "0" octal, else decimal. The value is
// accumulated in 32 bits. A prefix not followed by a digit of its base is not
// taken: "0x" reads as 0 and leaves *text at the "x". No sign is read.
int32_t uStrToInt(const char** text);
// Reads digits ("0"-"9", letters as 10-35 in either case) while their value is
// below base; stops at the first other character.
int32_t uStrToIntBase(const char** text, int base);

#endif
