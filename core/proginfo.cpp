#include "core/proginfo.h"

#include "core/debug.h"
#include "core/resources.h"

#include <windows.h>

#include <cstring>
#include <string>

namespace {

// Each information field holds at most this many characters.
constexpr size_t kFieldMax = 127;

std::string userField, companyField, thirdField;

const uint32_t kOptionMask = 12;

bool ticksStarted;
DWORD ticksFirst;

void setField(std::string& field, const char* text) {
  field = text ? std::string(text, strnlen(text, kFieldMax)) : std::string();
}

// Copies text into buffer, cut to size - 1 characters and terminated.
void copyCut(char* buffer, int size, const char* text) {
  if (!buffer || size <= 0) return;
  size_t n = strnlen(text, static_cast<size_t>(size) - 1);
  memcpy(buffer, text, n);
  buffer[n] = 0;
}

}  // namespace

int progInfoString(int kind, int size, char* buffer, const char* deflt) {
  copyCut(buffer, size, deflt ? deflt : "");
  if (kind < 0 || kind > 4) return -2;
  if (!buffer || size <= 0) return -3;

  switch (kind) {
    case progInfoVersion:
    case progInfoAbout:
    case progInfoName: {
      static const int ids[] = {resVersionText, resAboutText, resProgramName};
      // At most size - 2 characters of the resource; loaded aside so that a
      // missing resource leaves the default in place.
      if (size < 3) return -3;
      std::string text(static_cast<size_t>(size), '\0');
      if (!uLoadString(0, ids[kind], text.data(), size - 1)) return -3;
      copyCut(buffer, size, text.c_str());
      break;
    }
    case progInfoUser: {
      if (userField.size() + companyField.size() + 2 >= static_cast<size_t>(size - 1)) return -3;
      copyCut(buffer, size, (userField + "\n" + companyField).c_str());
      break;
    }
    case progInfoThird: {
      if (thirdField.size() + 1 >= static_cast<size_t>(size - 1)) {
        return buffer[0] ? 0 : -3;  // the default stays
      }
      copyCut(buffer, size, thirdField.c_str());
      break;
    }
  }
  return buffer[0] ? 0 : -3;
}

void progSetInfoFields(const char* user, const char* company, const char* third) {
  setField(userField, user);
  setField(companyField, company);
  setField(thirdField, third);
}

bool progOptionBit(int n) {
  if (n < 0 || n > 31) return false;
  return (kOptionMask >> n) & 1u;
}

uint32_t uTicks() {
  DWORD now = GetTickCount();
  if (!ticksStarted) {
    ticksStarted = true;
    ticksFirst = now;
    return 0;
  }
  // Unsigned difference: correct when the millisecond count has wrapped.
  return static_cast<uint32_t>(now - ticksFirst) / 16u;
}

void uTicksRestart() { ticksStarted = false; }
