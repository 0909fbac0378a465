#include "tools/snapcodes.h"

#include <cstring>

namespace {

const char defaultText[] = "ecqxm%vtpi rbai Ai gi o";

char* sharedDefault() {
  static char codes[sizeof defaultText];
  static bool built = false;
  if (!built) {
    std::memcpy(codes, defaultText, sizeof defaultText);
    built = true;
  }
  return codes;
}

int foldLower(int c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; }

}  // namespace

uint32_t snapLetterBit(int letter) {
  switch (letter) {
    case 'i': return 0x001;
    case 'e': return 0x002;
    case 'm': return 0x004;
    case 'c': return 0x020;
    case 'q': return 0x040;
    case 'v': return 0x080;
    case '%': return 0x100;
    case 'B':
    case 'f': return 0x200;
    case 'g': return 0x400;
    default: return 0;
  }
}

bool snapLetterKnown(int letter) {
  return letter > 0 && letter < 0x80 && std::strchr("emcqv%iBfgoptzrRnaAbH", letter) != nullptr;
}

bool snapLetterEnabled(int letter, uint32_t mask) {
  uint32_t bit = snapLetterBit(letter);
  return bit == 0 || (mask & bit) != 0;
}

char* snapDefaultCodes() { return sharedDefault(); }

void snapDefaultCodesReset() { std::memcpy(sharedDefault(), defaultText, sizeof defaultText); }

std::string snapWalkString(const char* codes, int typedKey) {
  if (codes == nullptr) codes = "";
  if (typedKey == 0) return codes;
  std::string walk(1, static_cast<char>(foldLower(typedKey)));
  walk += ' ';
  walk.append(codes, strnlen(codes, 60));
  return walk;
}

int snapNextToken(const char** cursor, snapToken* token) {
  const char* p = *cursor;
  token->filter[0] = '\0';
  token->radius = -2;
  for (;;) {
    unsigned char c = static_cast<unsigned char>(*p);
    if (c == 0) {
      token->letter = 0;
      *cursor = p;
      return 0;
    }
    ++p;
    if (c == ' ') {
      token->letter = ' ';
      *cursor = p;
      return ' ';
    }
    if (!snapLetterKnown(c)) continue;
    token->letter = c;
    if (*p == '[') {
      const char* name = p + 1;
      const char* end = std::strchr(name, ']');
      size_t length = end ? static_cast<size_t>(end - name) : std::strlen(name);
      size_t kept = length > size_t(snapFilterMax) ? size_t(snapFilterMax) : length;
      std::memcpy(token->filter, name, kept);
      token->filter[kept] = '\0';
      p = end ? end + 1 : name + length;
    }
    if (c == 'H') {
      if (*p != '<') {
        token->radius = -1;
      } else {
        const char* close = static_cast<const char*>(std::memchr(p + 1, '>', strnlen(p + 1, 13)));
        if (close != nullptr && close - (p + 1) <= 12) {
          int value = 0;
          for (const char* d = p + 1; d < close; ++d)
            if (*d >= '0' && *d <= '9' && value < 100000) value = value * 10 + (*d - '0');
          token->radius = value;
          p = close + 1;
        }
      }
    }
    *cursor = p;
    return c;
  }
}
