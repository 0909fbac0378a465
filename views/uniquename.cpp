// Unique default titles from "^0" templates.
#include "views/uniquename.h"

#include "core/alloc.h"
#include "core/text.h"
#include "core/xlate.h"

#include <cstdio>
#include <cstring>

int uniqueName(char** title, const char* tmpl, vwNameTaken taken, void* context) {
  const char* translated = tmpl;
  xlateStr(0, tmpl, &translated);
  if (!translated || !strstr(translated, "^0")) translated = tmpl;
  if (!strstr(translated, "^0")) {
    const uint32_t length = static_cast<uint32_t>(strlen(translated));
    if (taken(context, translated, length)) return -1;
    return uStrDup(translated, length, title) ? 0 : -1;
  }
  const uint32_t tmplLength = static_cast<uint32_t>(strlen(translated));
  for (uint32_t n = 1; n != 0; ++n) {
    char digits[16];
    snprintf(digits, sizeof digits, "%u", n);
    const char* args[1] = {digits};
    char* name = uStrSubst(translated, tmplLength, 1, args, nullptr);
    if (!name) return -1;
    const uint32_t length = static_cast<uint32_t>(strlen(name));
    if (!taken(context, name, length)) {
      char* stored = uStrDup(name, length, title);
      uFree(&name);
      return stored ? 0 : -1;
    }
    uFree(&name);
  }
  return -1;
}
