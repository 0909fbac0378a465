// Alerts and yes/no questions.
#include "core/debug.h"

#include "core/abort.h"
#include "core/proginfo.h"
#include "core/xlate.h"

#include <cctype>
#include <cstring>
#include <new>

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

// A message of at most kMessageMax characters, held in place: the alert
// path allocates nothing, so that it works when memory has run out.
struct Message {
  char text[kMessageMax + 1];
  size_t length;
};

// The message: string resource resourceId when it exists, else fallback, cut
// to kMessageMax characters.
void messageText(int resourceId, const char* fallback, Message* out) {
  if (uLoadString(0, resourceId, out->text, sizeof out->text)) {
    out->length = strnlen(out->text, kMessageMax);
  } else {
    out->length = strnlen(fallback, kMessageMax);
    std::memcpy(out->text, fallback, out->length);
  }
  out->text[out->length] = 0;
}

// Replaces "^0" by arg, "^" + an information name by its text and removes the
// first "^" of "^^" (the second is then looked at again). Any other "^"
// stays. Scanning goes on behind each inserted text; a replacement that would
// make the message kMessageMax + 1 characters or longer ends substitution and
// leaves the rest as it is.
void substitute(Message* message, const char* arg) {
  char* const text = message->text;
  size_t& length = message->length;
  size_t i = 0;
  while (i < length) {
    if (text[i] != '^') {
      ++i;
      continue;
    }
    const char next = i + 1 < length ? text[i + 1] : '\0';
    const char* replacement = "";
    size_t replacementLength = 0;
    size_t replaced = 0;
    char info[32];
    if (next == '0') {
      replacement = arg ? arg : "";
      // One character past the limit is enough to tell that it does not fit.
      replacementLength = strnlen(replacement, kMessageMax + 1);
      replaced = 2;
    } else if (next == '^') {
      std::memmove(text + i, text + i + 1, length - i);  // the terminator moves too
      --length;
      continue;
    } else if (next == '{') {
      // Every name is tried; the last one that matches decides.
      const InfoName* match = nullptr;
      for (const InfoName& n : kInfoNames) {
        const size_t nameLength = strlen(n.name);
        if (length - (i + 1) >= nameLength && std::memcmp(text + i + 1, n.name, nameLength) == 0) match = &n;
      }
      if (match) {
        progInfoString(match->kind, sizeof info, info, "");
        replacement = info;
        replacementLength = strnlen(info, sizeof info - 1);
        replaced = 1 + strlen(match->name);
      }
    }
    if (replaced == 0) {
      ++i;
      continue;
    }
    if (length - replaced + replacementLength > kMessageMax) return;
    std::memmove(text + i + replacementLength, text + i + replaced, length - (i + replaced) + 1);
    std::memcpy(text + i, replacement, replacementLength);
    length = length - replaced + replacementLength;
    i += replacementLength;
  }
}

}  // namespace

void uAlert(int resourceId, const char* text, const char* arg) {
  if (!text) text = "";
  char severity = severityOf(text);

  const char* fallback = nullptr;
  xlateStr(0, afterSeverity(text), &fallback);
  Message message;
  messageText(resourceId, fallback, &message);
  substitute(&message, arg);

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
  MessageBoxA(GetFocus(), message.text, "Error Alert", MB_OK | icon);
  if (hooks.setAlertActive) hooks.setAlertActive(0);

  dbgHandOffIfAsked(message.text);

  if (severity == 'F') {
    // Run the at-quit routines as the quit operator does, then ask the main
    // loop to end with a failure code. The caller carries on until control
    // gets back to the loop.
    // The at-quit routines may themselves be abandoned (memory ran out while
    // they ran): the quit is asked for all the same.
    if (dbgGetHooks().quit) {
      try {
        dbgGetHooks().quit();
      } catch (const uAbortSignal&) {
      } catch (const std::bad_alloc&) {
      }
    }
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
  Message message;
  messageText(resourceId, afterSeverity(text), &message);
  UINT icon = severity == 'I' ? MB_ICONINFORMATION : severity == 'W' ? MB_ICONWARNING : MB_ICONSTOP;
  return MessageBoxA(GetFocus(), message.text, nullptr, MB_YESNO | icon) == IDNO;
}
