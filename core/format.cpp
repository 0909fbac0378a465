// TEMPORARY minimal engine (%% %s %d %c only) so that the other modules link;
// replaced by the real engine.
#include "core/format.h"

#include <cstdio>
#include <string>

std::string uFormatArgs(const char* f, const uFmtArg* a, size_t n) {
  std::string out;
  size_t k = 0;
  for (; *f; ++f) {
    if (*f != '%') { out += *f; continue; }
    ++f;
    while (*f == '-' || *f == '+' || (*f >= '0' && *f <= '9') || *f == 'l') ++f;
    if (!*f) break;
    if (*f == '%') { out += '%'; continue; }
    if (k >= n) continue;
    const uFmtArg& x = a[k++];
    if (*f == 's') out += x.asText() ? x.asText() : "";
    else if (*f == 'c') out += static_cast<char>(x.asInt());
    else out += std::to_string(x.asInt());
  }
  return out;
}

int uVSprintfArgs(char* out, size_t size, const char* f, const uFmtArg* a, size_t n) {
  if (size == 0) return 0;
  std::string s = uFormatArgs(f, a, n);
  if (s.size() >= size) s.resize(size - 1);
  s.copy(out, s.size());
  out[s.size()] = 0;
  return static_cast<int>(s.size());
}

extern "C" int uVSprintf(char* out, size_t size, const char* f, va_list ap) {
  return vsnprintf(out, size, f, ap);
}
char* uIntToStr(int32_t v, int, int, const char*, char* o) { return o + std::sprintf(o, "%d", v); }
int32_t uStrToInt(const char** t) { return uStrToIntBase(t, 10); }
int32_t uStrToIntBase(const char** t, int) { int v = 0; while (**t >= '0' && **t <= '9') v = v * 10 + *(*t)++ - '0'; return v; }
