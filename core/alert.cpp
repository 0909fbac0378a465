// Alerts and yes/no questions.
#include "core/debug.h"

#include "core/proginfo.h"
#include "core/xlate.h"

#include <cctype>
#include <cstring>
#include <string>

namespace {

// Message texts hold at most this many characters (a 256-byte buffer).
constexpr size_t kMessageMax = 255;

// Names that "^" may introduce, with the kind of program information each
// stands for.
struct InfoName {
  const char* name;
  int kind;
};
const InfoName kInfoNames[] = {
    {"{PROG}", progInfoName},
    {"{USER}", progInfoUser},
    {"{VERSION}", progInfoVersion},
};

char severityOf(const char* text) {
  return static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
}

// The text after the severity letter (empty when there is none).
const char* afterSeverity(const char* text) { return text[0] ? text + 1 : text; }

// The message: string resource resourceId when it exists, else fallback, cut
// to kMessageMax characters.
std::string messageText(int resourceId, const char* fallback) {
  char buffer[kMessageMax + 1];
  if (uLoadString(0, resourceId, buffer, sizeof buffer)) return buffer;
  return std::string(fallback, strnlen(fallback, kMessageMax));
}

// Replaces "^0" by arg, "^" + an information name by its text and removes the
// first "^" of "^^" (the second is then looked at again). Any other "^"
// stays. Scanning goes on behind each inserted text; a replacement that would
// make the message kMessageMax + 1 characters or longer ends substitution and
// leaves the rest as it is.
void substitute(std::string& message, const char* arg) {
  size_t i = 0;
  while (i < message.size()) {
    if (message[i] != '^') {
      ++i;
      continue;
    }
    char next = i + 1 < message.size() ? message[i + 1] : '\0';
    std::string replacement;
    size_t replaced = 0;
    if (next == '0') {
      replacement = arg ? arg : "";
      replaced = 2;
    } else if (next == '^') {
      message.erase(i, 1);
      continue;
    } else if (next == '{') {
      // Every name is tried; the last one that matches decides.
      const InfoName* match = nullptr;
      for (const InfoName& n : kInfoNames) {
        if (message.compare(i + 1, strlen(n.name), n.name) == 0) match = &n;
      }
      if (match) {
        char info[32];
        progInfoString(match->kind, sizeof info, info, "");
        replacement = info;
        replaced = 1 + strlen(match->name);
      }
    }
    if (replaced == 0) {
      ++i;
      continue;
    }
    if (message.size() - replaced + replacement.size() > kMessageMax) return;
    message.replace(i, replaced, replacement);
    i += replacement.size();
  }
}

}  // namespace

void uAlert(int resourceId, const char* text, const char* arg) {
  if (!text) text = "";
  char severity = severityOf(text);

  const char* fallback = nullptr;
  xlateStr(0, afterSeverity(text), &fallback);
  std::string message = messageText(resourceId, fallback);
  substitute(message, arg);

  UINT icon;
  switch (severity) {
    case 'I': icon = MB_ICONINFORMATION; break;
    case 'W': icon = MB_ICONWARNING; break;
    case 'T':
      // Trace alerts are for developers: shown only while debugging.
      if (dbgFlags() == 0) return;
      icon = MB_ICONWARNING;
      break;
    default: icon = MB_ICONSTOP; break;  // S, F and any other letter
  }

  const dbgHooks& hooks = dbgGetHooks();
  if (hooks.setAlertActive) hooks.setAlertActive(1);
  MessageBoxA(GetFocus(), message.c_str(), "Error Alert", MB_OK | icon);
  if (hooks.setAlertActive) hooks.setAlertActive(0);

  dbgHandOffIfAsked(message.c_str());

  if (severity == 'F') {
    // Run the at-quit routines as the quit operator does, then ask the main
    // loop to end with a failure code. The caller carries on until control
    // gets back to the loop.
    if (dbgGetHooks().quit) dbgGetHooks().quit();
    PostQuitMessage(-1);
  }
}

// NOTE THE INVERTED SENSE: uAskYesNo answers TRUE WHEN THE USER CHOSE NO.
// The scripts (and the operator that asks a question for them) rely on it;
// do not "fix" it.
bool uAskYesNo(int resourceId, const char* text) {
  if (!text) text = "";
  char severity = severityOf(text);
  // Neither translated nor substituted.
  std::string message = messageText(resourceId, afterSeverity(text));
  UINT icon = severity == 'I' ? MB_ICONINFORMATION : severity == 'W' ? MB_ICONWARNING : MB_ICONSTOP;
  return MessageBoxA(GetFocus(), message.c_str(), nullptr, MB_YESNO | icon) == IDNO;
}
