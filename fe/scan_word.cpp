// Words: names and numbers, with what a word's first and last characters
// add to them.
//   /name        a literal name; //name the name's current value, at once
//   /(text)      a string that is not translated
//   //(expr)     an infix expression, then "exec"
//   name(a b)    the call syntax: /name mark a b APP
//   obj:name     the member syntax: obj /name LOAD ("::" gives DUPLOAD)
//   #macro       the text of the macro of that name
// A word ends at white space (consumed), at the end of the source, or at a
// delimiter % ( ) / : < > [ ] { } (given back).
#include "core/errors.h"
#include "fe/dict.h"
#include "fe/generic.h"
#include "fe/infix.h"
#include "fe/macro.h"
#include "fe/names.h"
#include "fe/scan_reader.h"
#include "fe/scanner.h"

namespace {

// Words are cut short of absurd lengths (a name keeps 255 characters).
constexpr uint32_t wordLimit = feScanStringMaxLength;

bool isDelimiter(int c) {
  switch (c) {
    case '%': case '(': case ')': case '/': case ':': case '<': case '>':
    case '[': case ']': case '{': case '}':
      return true;
    default:
      return false;
  }
}

// A word that begins with "#" stands for the macro of the name after it,
// when one is defined; otherwise it stays as it is.
int expandMacro(feScanText& text) {
  if (text.empty() || text.data()[0] != '#') return feOk;
  const char* value = nullptr;
  size_t valueLength = 0;
  if (!feMacroFind(text.data() + 1, text.size() - 1, &value, &valueLength)) return feOk;
  return text.assign(value, valueLength);
}

int makeName(feScanText& text, bool executable, feObject* out) {
  if (const int err = feMakeName(out, text.data(), text.size())) return err;
  if (executable) out->flags |= feFlagExec;
  return feOk;
}

// Gives back a syntax byte after a token has been made; on failure the token
// is released.
int giveBackAfter(feScanReader* reader, int byte, feObject* token) {
  const int err = feScanUnread(reader, byte);
  if (err) feFree(token);
  return err;
}

// "//(": the infix compiler reads the expression from the source itself, so
// the reader hands back what it holds first. The end of the source inside
// the expression is a syntax error here, as inside a string.
int readInfix(feScanReader* reader, feObject* out) {
  int err = feScanReaderFlush(reader);
  if (err) return err;
  err = feInfixRead(reader->source, out);
  if (err == feErrEof) return feErrSyntax;
  if (err) return err;
  return giveBackAfter(reader, feScanByteExec, out);
}

}  // namespace

int feScanExecName(const char* text, feObject* out) { return feNameExec(text, out); }

int feScanWord(feScanReader* reader, feObject* out) {
  feScanText text(wordLimit);
  int slashes = 0;
  for (;;) {
    int c = 0;
    int err = feScanRead(reader, &c);
    if (err == feErrEof) break;
    if (err) return err;
    if (feScanIsWhite(c)) break;
    if (c == '/' && text.empty()) {
      ++slashes;
      continue;
    }
    if (c == '(') {
      if (text.empty()) {
        if (slashes == 1) return feScanStringBody(reader, feScanStringRaw, out);
        if (slashes >= 2) return readInfix(reader, out);
        if ((err = feScanUnread(reader, c))) return err;
        break;
      }
      // The call syntax: the literal name, then "mark".
      if ((err = expandMacro(text)) || (err = makeName(text, false, out))) return err;
      return giveBackAfter(reader, feScanByteMark, out);
    }
    if (c == ':') {
      // A ":" that starts a token is consumed: it cannot begin anything.
      if (text.empty()) return feErrSyntax;
      if (slashes == 0) {
        // The member syntax: the executable name, then the member prefix.
        if ((err = expandMacro(text)) || (err = makeName(text, true, out))) return err;
        return giveBackAfter(reader, feScanByteMember, out);
      }
    }
    if (isDelimiter(c)) {
      if ((err = feScanUnread(reader, c))) return err;
      break;
    }
    if ((err = text.push(uint8_t(c)))) return err;
  }

  if (const int err = expandMacro(text)) return err;
  if (slashes < 2) {
    if (feParseNumber(text.data(), text.size(), out) == 0) return feOk;
    return makeName(text, slashes == 0, out);
  }
  // Two slash characters: the name's value now.
  feObject name;
  if (const int err = makeName(text, false, &name)) return err;
  return feLoad(&name, out);
}

int feScanMember(feScanReader* reader, feObject* out) {
  int c = 0;
  bool keep = false;   // "::": the object stays below the member
  int err = feScanRead(reader, &c);
  if (err == 0) {
    if (c == ':') {
      keep = true;
    } else if ((err = feScanUnread(reader, c))) {
      return err;
    }
  } else if (err != feErrEof) {
    return err;
  }
  if ((err = feScanWord(reader, out))) return err;
  out->flags &= uint16_t(~feFlagExec);
  return giveBackAfter(reader, keep ? feScanByteDupLoad : feScanByteLoad, out);
}
