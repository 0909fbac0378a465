// The user's profile (sections of keys and values, names compared without
// case), kept in memory for the run. The "device" key of the "windows"
// section names the default printer as "device,driver,port": the virtual
// printer while one is installed, unless the program wrote its own value.
#include "layer.h"

#include <cctype>
#include <cstdlib>
#include <map>
#include <string>

namespace {

struct NoCase {
  bool operator()(const std::string& a, const std::string& b) const {
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
      const int x = std::tolower(static_cast<unsigned char>(a[i]));
      const int y = std::tolower(static_cast<unsigned char>(b[i]));
      if (x != y) return x < y;
    }
    return a.size() < b.size();
  }
};

using Section = std::map<std::string, std::string, NoCase>;
std::map<std::string, Section, NoCase> profile;

// The profile as read: what was written, plus the printer entry.
std::map<std::string, Section, NoCase> effective() {
  std::map<std::string, Section, NoCase> all = profile;
  if (pl::printerInstalled()) {
    Section& windows = all["windows"];
    if (!windows.count("device")) windows["device"] = pl::printerProfileEntry();
  }
  return all;
}

// Copies a list of names, each ended by a NUL, and a final NUL, as far as
// the buffer goes (Windows answers size - 2 when the list is cut).
DWORD copyList(const std::string& list, LPSTR buffer, DWORD size) {
  if (size == 0) return 0;
  if (size == 1) {
    buffer[0] = 0;
    return 0;
  }
  if (list.size() + 1 <= size) {
    std::copy(list.begin(), list.end(), buffer);
    buffer[list.size()] = 0;
    return static_cast<DWORD>(list.empty() ? 0 : list.size());
  }
  std::copy(list.begin(), list.begin() + (size - 2), buffer);
  buffer[size - 2] = 0;
  buffer[size - 1] = 0;
  return size - 2;
}

}  // namespace

namespace pl {
void resetProfile() { profile.clear(); }
}  // namespace pl

extern "C" DWORD WINAPI GetProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault,
                                          LPSTR lpReturnedString, DWORD nSize) {
  if (!lpReturnedString) return 0;
  const auto all = effective();
  if (!lpAppName || !lpKeyName) {
    // A list of the section names, or of the keys of one section.
    std::string list;
    if (!lpAppName) {
      for (const auto& [name, keys] : all) list += name + '\0';
    } else if (auto it = all.find(lpAppName); it != all.end()) {
      for (const auto& [key, value] : it->second) list += key + '\0';
    }
    return copyList(list, lpReturnedString, nSize);
  }
  std::string value = lpDefault ? lpDefault : "";
  if (auto it = all.find(lpAppName); it != all.end()) {
    if (auto k = it->second.find(lpKeyName); k != it->second.end()) value = k->second;
  }
  return static_cast<DWORD>(pl::copyTruncated(value, lpReturnedString, nSize));
}

extern "C" BOOL WINAPI WriteProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpString) {
  if (!lpAppName) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (!lpKeyName) {
    profile.erase(lpAppName);
  } else if (!lpString) {
    if (auto it = profile.find(lpAppName); it != profile.end()) it->second.erase(lpKeyName);
  } else {
    profile[lpAppName][lpKeyName] = lpString;
  }
  return TRUE;
}

extern "C" UINT WINAPI GetProfileIntA(LPCSTR lpAppName, LPCSTR lpKeyName, INT nDefault) {
  char text[32];
  if (!GetProfileStringA(lpAppName, lpKeyName, "", text, sizeof(text)) || !lpKeyName) return static_cast<UINT>(nDefault);
  return static_cast<UINT>(std::strtol(text, nullptr, 10));
}
