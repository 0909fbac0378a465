// Natural-order comparison, case-blind equality, duplication and "^N"
// expansion (see text.h).
#include "core/text.h"

#include "core/alloc.h"

#include <cstddef>
#include <cstring>

namespace {

int fold(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  return (u >= 'A' && u <= 'Z') ? u + ('a' - 'A') : u;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Whether s, up to its end or at most limit characters, is digits only;
// its length goes to *length.
bool digitsOnly(const char* s, size_t limit, size_t* length) {
  size_t n = 0;
  for (; n < limit && s[n]; ++n) {
    if (!isDigit(s[n])) return false;
  }
  *length = n;
  return true;
}

// Compares two digit runs as the numbers "1" followed by their digits. Runs
// short enough to fit answer the difference; longer runs are ordered by
// length, then by digits, without forming the numbers.
int compareRuns(const char* a, size_t la, const char* b, size_t lb) {
  if (la <= 9 && lb <= 9) {
    auto value = [](const char* s, size_t n) {
      int64_t v = 1;
      for (size_t i = 0; i < n; ++i) v = v * 10 + (s[i] - '0');
      return v;
    };
    return static_cast<int>(value(a, la) - value(b, lb));
  }
  if (la != lb) return la < lb ? -1 : 1;
  const int c = std::memcmp(a, b, la);
  return (c > 0) - (c < 0);
}

}  // namespace

int uStrNatCmp(const char* a, const char* b, int limit) {
  if (!a) a = "";
  if (!b) b = "";
  const size_t max = limit < 0 ? SIZE_MAX : static_cast<size_t>(limit);
  size_t i = 0;
  for (;; ++i) {
    if (i >= max) return 0;
    if (fold(a[i]) != fold(b[i])) break;
    if (!a[i]) return 0;  // both ended
  }
  if (i > 0) {
    size_t la = 0;
    size_t lb = 0;
    if (digitsOnly(a + i, max - i, &la) && digitsOnly(b + i, max - i, &lb)) {
      return compareRuns(a + i, la, b + i, lb);
    }
  }
  return fold(a[i]) - fold(b[i]);
}

int uStrNatCmpAll(const char* a, const char* b) { return uStrNatCmp(a, b, -1); }

int uStrNatCmpPtr(const void* pa, const void* pb) {
  const char* a = *static_cast<const char* const*>(pa);
  const char* b = *static_cast<const char* const*>(pb);
  const int natural = uStrNatCmpAll(a, b);
  if (natural) return natural;
  const int bytes = std::strcmp(a ? a : "", b ? b : "");
  return (bytes > 0) - (bytes < 0);
}

bool uAlphaEq(const char* a, uint32_t lengthA, const char* b, uint32_t lengthB) {
  if (lengthA != lengthB) return false;
  for (uint32_t i = 0; i < lengthA; ++i) {
    if (fold(a[i]) != fold(b[i])) return false;
  }
  return true;
}

char* uStrDup(const char* text, uint32_t length, char** handle) {
  if (length == UINT32_MAX) return nullptr;  // length + 1 would wrap
  if (!text) length = 0;
  // The new block is filled before the old one is freed: text may point
  // into the block the handle holds.
  char* block = static_cast<char*>(uAlloc(nullptr, nullptr, length + 1, 1));
  if (!block) return nullptr;
  if (length) std::memcpy(block, text, length);
  block[length] = 0;
  if (handle) {
    uFreeIfSet(handle);
    *handle = block;
  }
  return block;
}

char* uStrSubst(const char* tmpl, uint32_t length, int count, const char* const* args,
                const uint32_t* lengths) {
  if (!tmpl) length = 0;
  auto argument = [&](int n, size_t* size) -> const char* {
    const char* s = args ? args[n] : nullptr;
    *size = !s ? 0 : lengths ? lengths[n] : std::strlen(s);
    return s;
  };
  // Two passes over the template: measure, then write.
  size_t total = 0;
  for (int pass = 0; pass < 2; ++pass) {
    char* block = nullptr;
    if (pass == 1) {
      if (total >= UINT32_MAX) return nullptr;
      block = static_cast<char*>(uAlloc(nullptr, nullptr, static_cast<uint32_t>(total + 1), 1));
      if (!block) return nullptr;
    }
    size_t n = 0;
    for (uint32_t i = 0; i < length; ++i) {
      if (tmpl[i] == '^' && i + 1 < length && isDigit(tmpl[i + 1])) {
        const int digit = tmpl[++i] - '0';
        if (digit >= count) continue;
        size_t size = 0;
        const char* s = argument(digit, &size);
        if (block && size) std::memcpy(block + n, s, size);
        n += size;
      } else {
        if (block) block[n] = tmpl[i];
        ++n;
      }
    }
    if (block) {
      block[n] = 0;
      return block;
    }
    total = n;
  }
  return nullptr;
}
