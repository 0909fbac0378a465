// The signature compiler: reads a signature text and writes the program of
// 16-bit words that the argument machine runs at every call (the layout is in
// fe/signature_code.h).
//
// The text is parsed into a small tree of elements first (counts expanded, a
// class text kept on the first copy only), then every argument slot, result
// slot and group block gets its place, and the tree is written out.
#include "fe/signature.h"

#include "core/alloc.h"
#include "core/debug.h"
#include "core/errors.h"
#include "fe/scanner.h"
#include "fe/signature_code.h"
#include "fe/value.h"

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace fesig;

// Bounds that keep a compiled program within the operator entry's 16-bit
// byte length and its offsets within 16 bits.
constexpr uint32_t kMaxCount = 4096;       // largest count before a letter
constexpr uint32_t kMaxNodes = 8192;       // elements after counts are expanded
constexpr uint32_t kMaxArea = 65535;       // bytes of the input or the result area
constexpr size_t kMaxWords = 32767 / 2;    // words of a compiled program
constexpr int kMaxGroupDepth = 4;          // groups inside the outermost frame

struct Elem {
  uint16_t type = 0;
  bool letterD = false;    // written "D": allowed only inside a group as an input
  bool hasConst = false;
  int32_t intValue = 0;    // B I constants
  double realValue = 0;    // R constants
  std::string text;        // S C constants
  bool hasClass = false;
  std::string className;   // Q class text
  std::vector<Elem> members;
  uint32_t nodes = 1;      // this element and all its members
  // Layout.
  uint32_t slot = 0;
  uint32_t blockOffset = 0;
  uint32_t blockSize = 0;
};

bool isWhite(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The size and alignment of a member's slot inside a group block.
void memberSlot(const Elem& e, bool result, uint32_t* size, uint32_t* align) {
  using List = decltype(feArg::list);
  *align = 8;
  switch (e.type) {
    case kB:
    case kI:
      *size = sizeof(int32_t);
      *align = alignof(int32_t);
      return;
    case kR:
      *size = sizeof(double);
      return;
    case kO:
      *size = result ? uint32_t(sizeof(feObject)) : uint32_t(sizeof(const feObject*));
      return;
    case kP:
      *size = sizeof(uintptr_t);
      return;
    case kS:
      *size = sizeof(feArgText);
      return;
    case kAI:
    case kAR:
    case kAS:
      *size = sizeof(List);
      return;
    default:  // Q C and nested groups: one pointer
      *size = sizeof(void*);
      return;
  }
}

uint32_t alignUp(uint32_t n, uint32_t a) { return (n + a - 1) / a * a; }

class Compiler {
public:
  Compiler(const char* text, uintptr_t parameter) : p_(text ? text : ""), parameter_(parameter) {}

  int run() {
    if (*p_ == '!') {
      bang_ = true;
      ++p_;
    }
    if (!parseList(0, false, inputs_)) return feErrSyntax;
    if (*p_ == '#') {
      ++p_;
      if (!parseList(0, true, results_)) return feErrSyntax;
    }
    if (*p_ == '/') {
      ++p_;
      if (!readText("/", &doc_)) return feErrSyntax;
      while (isWhite(*p_)) ++p_;
    }
    if (*p_ != 0) return feErrSyntax;
    if (!layout()) return feErrSyntax;
    emitAll();
    return words_.size() > kMaxWords ? feErrSyntax : 0;
  }

  const std::vector<uint16_t>& words() const { return words_; }

private:
  // ---- Parsing ----

  // Elements up to the end of the list: for the outermost inputs a "#", a
  // "/" or the end of the text; for the outermost results a "/" or the end;
  // inside a group the closing "}" (consumed).
  bool parseList(int depth, bool results, std::vector<Elem>& out) {
    for (;;) {
      while (isWhite(*p_)) ++p_;
      const char c = *p_;
      if (depth > 0) {
        if (c == '}') {
          ++p_;
          return true;
        }
        if (c == 0) return false;
      } else if (c == 0 || c == '/' || (!results && c == '#')) {
        return true;
      }
      if (!parseElement(depth, results, out)) return false;
    }
  }

  static bool startsLetter(char c) { return c != 0 && std::strchr("OBSCILliRDPQAH", c) != nullptr; }

  bool parseElement(int depth, bool results, std::vector<Elem>& out) {
    uint32_t count = 1;
    if (*p_ >= '0' && *p_ <= '9') {
      count = 0;
      while (*p_ >= '0' && *p_ <= '9') {
        count = count * 10 + uint32_t(*p_++ - '0');
        if (count > kMaxCount) return false;
      }
      if (count < 1) return false;
    }
    // "n" makes the element produce nothing; the letter after it, when there
    // is one, is read with everything that belongs to it.
    bool none = false;
    if (*p_ == 'n') {
      none = true;
      ++p_;
      if (!startsLetter(*p_)) return true;
    }

    Elem e;
    if (!parseLetter(&e)) return false;
    if (*p_ == '<') {
      ++p_;
      std::string constant;
      if (!readText(">", &constant)) return false;
      if (!results) applyConstant(&e, constant);
    }
    if (*p_ == '[' || *p_ == '(') {
      ++p_;
      std::string bracket;
      if (!readText("])", &bracket)) return false;
      const size_t colon = bracket.rfind(':');
      if (colon != std::string::npos) bracket.erase(0, colon + 1);
      // Only a program-object fetch uses its bracket text (the class).
      if (e.type == kQ && !results) {
        e.hasClass = true;
        e.className = bracket;
      }
    }
    if (isGroup(e.type)) {
      if (*p_ != '{' || depth >= kMaxGroupDepth) return false;
      ++p_;
      if (!parseList(depth + 1, results, e.members)) return false;
      for (const Elem& m : e.members) e.nodes += m.nodes;
      // A point or a direction is three doubles converted in place.
      if (e.type != kA) {
        if (e.members.size() != 3) return false;
        for (const Elem& m : e.members)
          if (m.type != kR) return false;
      }
    }
    // An element under "n" is read but places nothing.
    if (none) return true;
    if (e.type == kP) e.hasConst = true;  // never takes an operand
    if (!results && e.letterD && depth == 0) return false;
    if (results && (e.type == kP || e.type == kAI || e.type == kAR || e.type == kAS)) return false;

    if (uint64_t(nodes_) + uint64_t(e.nodes) * count > kMaxNodes) return false;
    nodes_ += e.nodes * count;
    for (uint32_t i = 0; i < count; ++i) {
      out.push_back(e);
      // The class text belongs to the first fetch only.
      e.hasClass = false;
      e.className.clear();
    }
    return true;
  }

  bool parseLetter(Elem* e) {
    const char c = *p_++;
    switch (c) {
      case 'O': e->type = kO; return true;
      case 'B': e->type = kB; return true;
      case 'S': e->type = kS; return true;
      case 'C': e->type = kC; return true;
      case 'I':
      case 'L':
      case 'l':
      case 'i': e->type = kI; return true;
      case 'R': e->type = kR; return true;
      case 'D':
        e->type = kR;
        e->letterD = true;
        return true;
      case 'P': e->type = kP; return true;
      case 'Q': e->type = kQ; return true;
      case 'H':
        dbgPanic("We have another 'H'");
        e->type = kI;
        return true;
      case 'A':
        break;
      default:
        return false;
    }
    switch (*p_) {
      case '{': e->type = kA; return true;
      case 'P': e->type = kAP; break;
      case 'V': e->type = kAV; break;
      case 'I':
      case 'L':
      case 'l':
      case 'i': e->type = kAI; break;
      case 'R':
      case 'D': e->type = kAR; break;
      case 'S': e->type = kAS; break;
      case 'H':
        dbgPanic("We have an 'H'");
        e->type = kAI;
        break;
      default:
        return false;
    }
    ++p_;
    return true;
  }

  // Reads up to one of the closing characters (consumed) with backslash
  // escapes; false when the text ends first.
  bool readText(const char* closers, std::string* out) {
    for (;;) {
      char c = *p_;
      if (c == 0) return false;
      ++p_;
      if (std::strchr(closers, c)) return true;
      if (c != '\\') {
        out->push_back(c);
        continue;
      }
      c = *p_;
      if (c == 0) return false;
      ++p_;
      switch (c) {
        case 'b': out->push_back('\b'); break;
        case 'f': out->push_back('\f'); break;
        case 'n': out->push_back('\n'); break;
        case 'r': out->push_back('\r'); break;
        case 't': out->push_back('\t'); break;
        case '\n':
        case '\r':
          break;  // a line end after a backslash is dropped
        default:
          if (c >= '0' && c <= '7') {
            unsigned code = unsigned(c - '0');
            for (int k = 1; k < 3 && *p_ >= '0' && *p_ <= '7'; ++k) code = code * 8 + unsigned(*p_++ - '0');
            out->push_back(char(code & 0xFF));
          } else {
            out->push_back(c);
          }
      }
    }
  }

  // A constant in angle brackets. B agrees with "true" over the text's own
  // length; the number letters read the text's first token as a number (a
  // text that is not a number leaves the element an ordinary operand); S and
  // C keep the text. Other letters ignore it.
  static void applyConstant(Elem* e, const std::string& text) {
    switch (e->type) {
      case kB:
        e->hasConst = true;
        e->intValue = text.size() <= 4 && std::memcmp(text.data(), "true", text.size()) == 0;
        return;
      case kI:
      case kR: {
        double value;
        bool isInt;
        int32_t intValue;
        if (!numberToken(text, &value, &isInt, &intValue)) return;
        e->hasConst = true;
        if (e->type == kR) e->realValue = isInt ? double(intValue) : value;
        else e->intValue = isInt ? intValue : truncate(value);
        return;
      }
      case kS:
      case kC:
        e->hasConst = true;
        e->text = text;
        return;
      default:
        return;
    }
  }

  // A real truncated toward zero into 32 bits: saturates beyond the range,
  // NaN gives 0.
  static int32_t truncate(double v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0) return INT32_MAX;
    if (v <= -2147483648.0) return INT32_MIN;
    return int32_t(v);
  }

  static bool numberToken(const std::string& text, double* value, bool* isInt, int32_t* intValue) {
    auto white = [](char c) { return c == 0 || c == 9 || c == 10 || c == 12 || c == 13 || c == 32 || c == ','; };
    size_t begin = 0;
    while (begin < text.size() && white(text[begin])) ++begin;
    size_t end = begin;
    while (end < text.size() && !white(text[end]) && !std::strchr("%()/:<>[]{}", text[end])) ++end;
    if (end == begin) return false;
    feObject number;
    feMakeNull(&number);
    if (feParseNumber(text.data() + begin, end - begin, &number) != 0) return false;
    if (feType(&number) == feTInt) {
      *isInt = true;
      *intValue = number.w0.i;
      return true;
    }
    if (feType(&number) == feTReal) {
      *isInt = false;
      *value = number.w0.d;
      return true;
    }
    return false;
  }

  // ---- Layout ----

  // Places the members of a group in its block and the block in the area;
  // nested group blocks follow in the same area.
  static bool layoutGroup(Elem& g, bool result, uint32_t* area) {
    uint32_t size = 0;
    for (Elem& m : g.members) {
      uint32_t s, a;
      memberSlot(m, result, &s, &a);
      m.slot = alignUp(size, a);
      size = m.slot + s;
    }
    g.blockSize = alignUp(size < 8 ? 8 : size, 8);
    g.blockOffset = alignUp(*area, 8);
    *area = g.blockOffset + g.blockSize;
    if (*area > kMaxArea) return false;
    for (Elem& m : g.members)
      if (isGroup(m.type) && !layoutGroup(m, result, area)) return false;
    return true;
  }

  bool layout() {
    uint32_t index = 0;
    for (Elem& e : inputs_) {
      e.slot = index++;
      if (!e.hasConst) ++operands_;
      if (isGroup(e.type) && !layoutGroup(e, false, &inArea_)) return false;
    }
    for (Elem& e : results_) {
      if (isGroup(e.type)) {
        if (!layoutGroup(e, true, &outArea_)) return false;
        e.slot = e.blockOffset;
        continue;
      }
      uint32_t s, a;
      memberSlot(e, true, &s, &a);
      e.slot = alignUp(outArea_, a < 8 ? 8 : a);
      outArea_ = e.slot + s;
      if (outArea_ > kMaxArea) return false;
    }
    return inputs_.size() <= 0xFFFF && results_.size() <= 0xFFFF;
  }

  // ---- Output ----

  void put32(uint32_t v) {
    words_.push_back(uint16_t(v & 0xFFFF));
    words_.push_back(uint16_t(v >> 16));
  }

  void put64(uint64_t v) {
    for (int k = 0; k < 4; ++k) words_.push_back(uint16_t(v >> (16 * k)));
  }

  void putText(const std::string& text) {
    words_.push_back(uint16_t(text.size() > 0xFFFF ? 0xFFFF : text.size()));
    const size_t n = text.size() > 0xFFFF ? 0xFFFF : text.size();
    const size_t first = words_.size();
    words_.resize(first + textWords(n), 0);
    std::memcpy(words_.data() + first, text.data(), n);
  }

  void emit(const Elem& e, bool result) {
    const bool constant = e.hasConst && !result;
    words_.push_back(uint16_t(e.type | (constant ? kConst : 0) | (e.hasClass ? kClass : 0)));
    words_.push_back(uint16_t(e.slot));
    if (constant) {
      switch (e.type) {
        case kB:
        case kI:
          put32(uint32_t(e.intValue));
          break;
        case kR: {
          uint64_t bits;
          std::memcpy(&bits, &e.realValue, sizeof bits);
          put64(bits);
          break;
        }
        case kP:
          put64(uint64_t(parameter_));
          break;
        default:  // S C
          putText(e.text);
      }
    }
    if (e.hasClass) putText(e.className);
    if (isGroup(e.type)) {
      words_.push_back(uint16_t(e.members.size()));
      words_.push_back(uint16_t(e.blockOffset));
      words_.push_back(uint16_t(e.blockSize));
      for (const Elem& m : e.members) emit(m, result);
    }
  }

  void emitAll() {
    words_.assign(kHeaderWords, 0);
    words_[kHeaderMarker] = uint16_t(kMarker | (bang_ ? kBang : 0));
    words_[kHeaderOperands] = uint16_t(operands_);
    words_[kHeaderInputs] = uint16_t(inputs_.size());
    words_[kHeaderResults] = uint16_t(results_.size());
    words_[kHeaderInArea] = uint16_t(inArea_);
    words_[kHeaderOutArea] = uint16_t(outArea_);
    for (const Elem& e : inputs_) emit(e, false);
    words_[kHeaderResultStart] = uint16_t(words_.size() > 0xFFFF ? 0xFFFF : words_.size());
    for (const Elem& e : results_) emit(e, true);
    words_[kHeaderDocStart] = uint16_t(words_.size() > 0xFFFF ? 0xFFFF : words_.size());
    putText(doc_);
  }

  const char* p_;
  uintptr_t parameter_;
  bool bang_ = false;
  std::vector<Elem> inputs_;
  std::vector<Elem> results_;
  std::string doc_;
  uint32_t nodes_ = 0;
  uint32_t operands_ = 0;
  uint32_t inArea_ = 0;
  uint32_t outArea_ = 0;
  std::vector<uint16_t> words_;
};

// The buffer the latest compiled program is left in.
uint16_t* compiled;
uint32_t compiledCapacity;

}  // namespace

int feCompileSig(const char* text, const uint16_t** codes, int32_t* length, uintptr_t parameter) {
  Compiler compiler(text, parameter);
  const int rc = compiler.run();
  if (rc != 0) return rc;
  const std::vector<uint16_t>& words = compiler.words();
  if (words.size() > compiledCapacity) uAlloc(&compiled, &compiledCapacity, uint32_t(words.size()), sizeof(uint16_t));
  std::memcpy(compiled, words.data(), words.size() * sizeof(uint16_t));
  if (codes) *codes = compiled;
  if (length) *length = int32_t(words.size() * sizeof(uint16_t));
  return 0;
}

void feSigDoc(const uint16_t* codes, int32_t length, const char** text, int32_t* textLength) {
  *text = "";
  *textLength = 0;
  const size_t words = length > 0 ? size_t(length) / 2 : 0;
  if (!codes || words < size_t(kHeaderWords) || (codes[kHeaderMarker] & kMarkerMask) != kMarker) return;
  const size_t start = codes[kHeaderDocStart];
  if (start >= words) return;
  const size_t n = codes[start];
  if (start + 1 + textWords(n) > words) return;
  *text = reinterpret_cast<const char*>(codes + start + 1);
  *textLength = int32_t(n);
}
