// Name/value tables and the bounded text copy.
#include "ui/uinames.h"

#include <cstring>

int32_t uiNameLookup(const uiNameEntry* table, const char* text, int32_t length, int32_t* value) {
  if (table == nullptr || length <= 0 || text == nullptr) return 0;
  for (const uiNameEntry* e = table; e->name != nullptr; ++e) {
    if (std::strlen(e->name) == size_t(length) && std::memcmp(e->name, text, size_t(length)) == 0) {
      *value = e->value;
      return length;
    }
  }
  return 0;
}

int32_t uiNamePrefix(const uiNameEntry* table, const char* text, int32_t length, int32_t* value) {
  if (table == nullptr || length <= 0 || text == nullptr) return 0;
  for (const uiNameEntry* e = table; e->name != nullptr; ++e) {
    const size_t n = std::strlen(e->name);
    if (n > 0 && n <= size_t(length) && std::memcmp(e->name, text, n) == 0) {
      *value = e->value;
      return int32_t(n);
    }
  }
  return 0;
}

int uiValueName(const uiNameEntry* table, int32_t value, const char** text, int32_t* length) {
  if (table == nullptr) return 0;
  for (const uiNameEntry* e = table; e->name != nullptr; ++e) {
    if (e->value == value) {
      *text = e->name;
      *length = int32_t(std::strlen(e->name));
      return 1;
    }
  }
  return 0;
}

int uiBoundedCopy(const char* text, int32_t length, char* buffer) {
  if (length < 0 || length > uiBoundedMax) return 1;
  if (length > 0) std::memcpy(buffer, text, size_t(length));
  buffer[length] = '\0';
  return 0;
}
