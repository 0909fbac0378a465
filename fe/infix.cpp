// The infix compiler: operator precedence over a table of symbols, with the
// postfix output collected in lists of values of its own (one per open "{"),
// so that neither the operand stack nor any process-wide state is touched and
// a source that runs script code while it is read (a program object) cannot
// disturb a compilation in progress.
//
// Each symbol of the table says in which parser states it may stand (start:
// at the beginning and after an opening symbol; operand: after a word,
// number, string or closing symbol; operator: after a prefix or binary
// operator), what it emits at once (immediate text), what it emits when it
// is reduced (deferred text), and what else it does. Texts are split at
// blanks into numbers and executable names.
#include "fe/infix.h"

#include "core/alloc.h"
#include "core/errors.h"
#include "fe/arrays.h"
#include "fe/generic.h"
#include "fe/names.h"
#include "fe/scanner.h"

#include <cstdint>
#include <cstring>
#include <string>

namespace {

enum State : uint8_t {
  kStart = 1,
  kOperand = 2,
  kOperator = 4,
};

enum class Kind : uint8_t {
  Prefix,      // a prefix operator
  Binary,      // a binary operator (";" too: its deferred text is empty)
  Member,      // ":" reads the next word as a literal name, then emits get
  Quote,       // "'" reads the next word as a literal name
  GroupOpen,   // "("
  CallOpen,    // "(" after an operand: the operand becomes literal, then mark ... APP
  ListOpen,    // "["
  ProcOpen,    // "{" starts a nested procedure
  GroupClose,  // ")" after an operand
  CallClose,   // ")" at the start: closes a call (or group) with no arguments
  ListClose,   // "]"
  ProcClose,   // "}" makes the nested procedure
};

struct Row {
  const char* symbol;
  uint8_t precedence;     // higher binds tighter
  const char* immediate;  // emitted when the symbol is read
  const char* deferred;   // emitted when the symbol is reduced
  uint8_t allowed;        // the states it may stand in
  Kind kind;
  bool literalBefore;     // the operand before it becomes literal
};

constexpr uint8_t kOpening = kStart | kOperator;

// Searched in this order: the first row of a symbol that is allowed in the
// current state is taken.
const Row kRows[] = {
    {"!", 10, "", "not", kOpening, Kind::Prefix, false},
    {"-", 10, "", "neg", kOpening, Kind::Prefix, false},
    {":", 9, "get", "", kOperand, Kind::Member, false},
    {"'", 9, "", "", kOpening, Kind::Quote, false},
    {"**", 8, "", "pow", kOperand, Kind::Binary, false},
    {"*", 7, "", "mul", kOperand, Kind::Binary, false},
    {"/", 7, "", "div", kOperand, Kind::Binary, false},
    {"%", 7, "", "mod", kOperand, Kind::Binary, false},
    {"+", 6, "", "add", kOperand, Kind::Binary, false},
    {"-", 6, "", "sub", kOperand, Kind::Binary, false},
    {"!=", 5, "", "ne", kOperand, Kind::Binary, false},
    {"==", 5, "", "eq", kOperand, Kind::Binary, false},
    {">=", 5, "", "ge", kOperand, Kind::Binary, false},
    {"<=", 5, "", "le", kOperand, Kind::Binary, false},
    {">", 5, "", "gt", kOperand, Kind::Binary, false},
    {"<", 5, "", "lt", kOperand, Kind::Binary, false},
    {"&&", 4, "", "and", kOperand, Kind::Binary, false},
    {"&", 4, "", "and", kOperand, Kind::Binary, false},
    {"||", 3, "", "or", kOperand, Kind::Binary, false},
    {"|", 3, "", "or", kOperand, Kind::Binary, false},
    {"-=", 2, "", "1 index load exch sub store", kOperand, Kind::Binary, true},
    {"+=", 2, "", "1 index load add store", kOperand, Kind::Binary, true},
    {"=", 2, "", "store", kOperand, Kind::Binary, true},
    {";", 2, "", "", kOperand, Kind::Binary, false},
    {"(", 1, "", "", kOpening, Kind::GroupOpen, false},
    {")", 1, "", "", kOperand, Kind::GroupClose, false},
    {"[", 1, "[", "", kOpening, Kind::ListOpen, false},
    {"]", 1, "]", "", kOperand, Kind::ListClose, false},
    {"{", 1, "", "", kOpening, Kind::ProcOpen, false},
    {"}", 1, "", "", kOperand, Kind::ProcClose, false},
    {"(", 1, "mark", "APP", kOperand, Kind::CallOpen, true},
    {")", 1, "", "", kStart, Kind::CallClose, false},
};

constexpr size_t kMaxSymbol = 4;
constexpr uint32_t kMaxElements = 65535;

bool isOpening(Kind kind) {
  return kind == Kind::GroupOpen || kind == Kind::CallOpen || kind == Kind::ListOpen || kind == Kind::ProcOpen;
}

bool isClosing(Kind kind) {
  return kind == Kind::GroupClose || kind == Kind::CallClose || kind == Kind::ListClose || kind == Kind::ProcClose;
}

// Whether a closing symbol closes the group an opening entry began.
bool closes(Kind closing, Kind opening) {
  switch (closing) {
    case Kind::GroupClose:
    case Kind::CallClose:
      return opening == Kind::GroupOpen || opening == Kind::CallOpen;
    case Kind::ListClose:
      return opening == Kind::ListOpen;
    case Kind::ProcClose:
      return opening == Kind::ProcOpen;
    default:
      return false;
  }
}

State stateAfter(Kind kind) {
  if (kind == Kind::Prefix || kind == Kind::Binary) return kOperator;
  if (isOpening(kind)) return kStart;
  return kOperand;
}

// A symbol of the table, or a shorter run that one of them extends.
bool isSymbol(const char* text, size_t n) {
  for (const Row& row : kRows) {
    if (std::strlen(row.symbol) == n && std::memcmp(row.symbol, text, n) == 0) return true;
  }
  return false;
}

bool isLetter(int c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(int c) { return c >= '0' && c <= '9'; }
bool startsWord(int c) { return isLetter(c) || isDigit(c); }
bool inWord(int c) { return startsWord(c) || c == '.' || c == '#'; }
// White space as between FE tokens, and the soft hyphen.
bool isSkipped(int c) {
  return c == 0 || c == 9 || c == 10 || c == 12 || c == 13 || c == 32 || c == ',' || c == 0xAD;
}

// Whether the word so far is a decimal mantissa followed by "e" or "E", so
// that a sign and a digit next continue it as an exponent ("1e-5" is one
// number, not 1e minus 5).
bool endsInExponentMark(const std::string& word) {
  if (word.size() < 2 || !isDigit(word[0])) return false;
  const char last = word.back();
  if (last != 'e' && last != 'E') return false;
  int points = 0;
  for (size_t i = 0; i + 1 < word.size(); ++i) {
    if (word[i] == '.') {
      if (++points > 1) return false;
    } else if (!isDigit(word[i])) {
      return false;
    }
  }
  return true;
}

// A list of values being collected: the elements of the procedure, or of a
// nested one. Holds one reference per value until they are moved out.
class Values {
 public:
  Values() = default;
  Values(const Values&) = delete;
  Values& operator=(const Values&) = delete;
  ~Values() {
    clear();
    if (items_) uFree(&items_);
  }

  // Moves the value in; on an error it is released.
  int append(feObject* value) {
    if (count_ >= kMaxElements) {
      feFree(value);
      return feErrLimitCheck;
    }
    if (count_ >= capacity_) uAlloc(&items_, &capacity_, capacity_ + capacity_ / 2 + 32, uint32_t(sizeof(feObject)));
    items_[count_++] = *value;
    return feOk;
  }

  feObject* last() { return count_ ? &items_[count_ - 1] : nullptr; }

  // Moves the values into a new procedure; the list is then empty.
  int close(feObject* out) {
    feObject proc;
    if (const int err = feMakeArray(&proc, items_, count_)) return err;
    count_ = 0;
    proc.flags |= feFlagExec;
    *out = proc;
    return feOk;
  }

  void clear() {
    while (count_ > 0) feFree(&items_[--count_]);
  }

 private:
  feObject* items_ = nullptr;
  uint32_t capacity_ = 0;
  uint32_t count_ = 0;
};

class Compiler {
 public:
  explicit Compiler(feObject* source) : source_(source) {}

  int run(feObject* out) {
    for (;;) {
      int c = 0;
      if (const int err = read(&c)) return err;
      if (isSkipped(c)) continue;
      int err;
      if (startsWord(c)) {
        err = wordOperand(c);
      } else if (c == '"') {
        err = stringOperand();
      } else {
        bool ended = false;
        err = symbol(c, &ended);
        if (err == 0 && ended) return levels_[0].close(out);
      }
      if (err) return err;
    }
  }

 private:
  struct Pending {
    const Row* row;
    uint8_t precedence;
  };

  int read(int* c) { return feScanReadChar(source_, c); }
  int unread(int c) { return feScanUnreadChar(source_, c); }

  int emit(feObject* value) { return levels_[depth_].append(value); }

  // Emits each blank-separated word of text: a number, or an executable name.
  int emitText(const char* text) {
    while (*text) {
      while (*text == ' ') ++text;
      const char* end = text;
      while (*end && *end != ' ') ++end;
      if (end == text) break;
      feObject value;
      if (feParseNumber(text, size_t(end - text), &value) != feOk) {
        if (const int err = feMakeName(&value, text, size_t(end - text))) return err;
        value.flags |= feFlagExec;
      }
      if (const int err = emit(&value)) return err;
      text = end;
    }
    return feOk;
  }

  // The rest of a word whose first character has been read. The character
  // after it is given back.
  int wordText(int first, std::string* word) {
    word->assign(1, char(first));
    for (;;) {
      int c = 0;
      int err = read(&c);
      if (err == feErrEof) return feOk;   // the next read meets the end again
      if (err) return err;
      if (inWord(c)) {
        word->push_back(char(c));
        continue;
      }
      if ((c == '+' || c == '-') && endsInExponentMark(*word)) {
        int digit = 0;
        err = read(&digit);
        if (err == 0 && isDigit(digit)) {
          word->push_back(char(c));
          word->push_back(char(digit));
          continue;
        }
        if (err == 0) err = unread(digit);
        if (err && err != feErrEof) return err;
      }
      return unread(c);
    }
  }

  int wordOperand(int first) {
    if (state_ == kOperand) return feErrSyntax;   // two operands in a row
    std::string word;
    if (const int err = wordText(first, &word)) return err;
    feObject value;
    if (feParseNumber(word.data(), word.size(), &value) != feOk) {
      if (const int err = feMakeName(&value, word.data(), word.size())) return err;
      value.flags |= feFlagExec;
    }
    state_ = kOperand;
    return emit(&value);
  }

  int stringOperand() {
    if (state_ == kOperand) return feErrSyntax;
    feObject value;
    if (const int err = feScanString(source_, feScanStringQuoted, &value)) return err;
    state_ = kOperand;
    return emit(&value);
  }

  // The word after ":" or "'", as a literal name.
  int literalWord() {
    int c = 0;
    do {
      if (const int err = read(&c)) return err;
    } while (isSkipped(c));
    if (!startsWord(c)) return feErrSyntax;
    std::string word;
    if (const int err = wordText(c, &word)) return err;
    feObject name;
    if (const int err = feMakeName(&name, word.data(), word.size())) return err;
    return emit(&name);
  }

  // The longest run of characters, first included, that is a symbol of the
  // table; the character that would not extend it is given back.
  int readSymbol(int first, char* text, size_t* length) {
    text[0] = char(first);
    size_t n = 1;
    if (!isSymbol(text, n)) return feInfixErrUnknown;
    while (n < kMaxSymbol) {
      int c = 0;
      const int err = read(&c);
      if (err == feErrEof) break;
      if (err) return err;
      text[n] = char(c);
      if (!isSymbol(text, n + 1)) {
        if (const int back = unread(c)) return back;
        break;
      }
      ++n;
    }
    *length = n;
    return feOk;
  }

  int push(const Row* row) {
    if (pendingCount_ >= feInfixMaxPending) return feInfixErrUnknown;
    pending_[pendingCount_++] = Pending{row, row->precedence};
    return feOk;
  }

  // Emits the deferred texts of the pending operators that bind at least as
  // tightly as precedence (opening entries bind loosest and stay).
  int reduce(uint8_t precedence) {
    while (pendingCount_ > 0) {
      const Pending& top = pending_[pendingCount_ - 1];
      if (isOpening(top.row->kind) || top.precedence < precedence) break;
      --pendingCount_;
      if (const int err = emitText(top.row->deferred)) return err;
    }
    return feOk;
  }

  // Reduces down to the group that kind closes and closes it (emitting its
  // deferred text). A ")" with no group open ends the expression (*ended).
  int closeGroup(Kind kind, bool* ended) {
    if (const int err = reduce(0)) return err;
    if (pendingCount_ == 0) {
      if (kind == Kind::GroupClose || kind == Kind::CallClose) {
        *ended = true;
        return feOk;
      }
      return feInfixErrMisplaced;
    }
    const Pending& opening = pending_[pendingCount_ - 1];
    if (!closes(kind, opening.row->kind)) return feInfixErrMisplaced;
    --pendingCount_;
    return emitText(opening.row->deferred);
  }

  int symbol(int first, bool* ended) {
    char text[kMaxSymbol + 1] = {};
    size_t length = 0;
    if (const int err = readSymbol(first, text, &length)) return err;
    const Row* row = nullptr;
    for (const Row& candidate : kRows) {
      if ((candidate.allowed & state_) && std::strlen(candidate.symbol) == length &&
          std::memcmp(candidate.symbol, text, length) == 0) {
        row = &candidate;
        break;
      }
    }
    if (!row) return feInfixErrMisplaced;
    state_ = stateAfter(row->kind);

    int err = feOk;
    if (row->literalBefore) {
      if (feObject* last = levels_[depth_].last()) last->flags &= uint16_t(~feFlagExec);
    }
    if (isOpening(row->kind)) {
      // An opening entry never reduces what is pending below it.
      if ((err = push(row))) return err;
    } else if (isClosing(row->kind)) {
      if ((err = closeGroup(row->kind, ended)) || *ended) return err;
    } else if (row->kind == Kind::Member || row->kind == Kind::Quote) {
      if ((err = literalWord())) return err;
    } else {
      // A prefix operator stands before its operand, so nothing pending can
      // be complete yet: it reduces nothing ("- -a" is a neg neg). A binary
      // operator first reduces what binds at least as tightly (so equal
      // ranks group from the left).
      if (row->kind == Kind::Binary && (err = reduce(row->precedence))) return err;
      if ((err = push(row))) return err;
    }
    if ((err = emitText(row->immediate))) return err;
    if (row->kind == Kind::ProcOpen) ++depth_;   // one level per open "{": never past the pending limit
    if (row->kind == Kind::ProcClose) {
      feObject proc;
      if ((err = levels_[depth_].close(&proc))) return err;
      --depth_;
      return emit(&proc);
    }
    return feOk;
  }

  feObject* source_;
  State state_ = kStart;
  Pending pending_[feInfixMaxPending] = {};
  int pendingCount_ = 0;
  Values levels_[feInfixMaxPending + 1];
  int depth_ = 0;
};

}  // namespace

int feInfixRead(feObject* source, feObject* out) {
  Compiler compiler(source);
  feObject proc;
  const int err = compiler.run(&proc);
  if (err == 0) *out = proc;
  return err;
}
