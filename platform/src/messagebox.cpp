// Message boxes, headless: every box is recorded and answered at once, with
// an answer queued by a test or else the box's default button, so that no run
// ever waits for a person. The text also goes to standard error.
#include "layer.h"

#include <platform_test.h>

#include <cstdio>
#include <deque>
#include <string>
#include <vector>

namespace {

std::vector<PlMessageBoxRecord> records;
std::deque<int> queuedAnswers;
bool echo = true;
int beeps = 0;  // MessageBeep calls since the last reset

// The buttons of each MB_TYPEMASK type, left to right; MB_DEFBUTTONn picks
// the n-th. Types not listed are refused, as Windows refuses them.
struct ButtonSet {
  int count;
  int ids[3];
};

bool buttonsOf(UINT type, ButtonSet& out) {
  switch (type & MB_TYPEMASK) {
    case MB_OK: out = {1, {IDOK}}; return true;
    case MB_OKCANCEL: out = {2, {IDOK, IDCANCEL}}; return true;
    case MB_ABORTRETRYIGNORE: out = {3, {IDABORT, IDRETRY, IDIGNORE}}; return true;
    case MB_YESNOCANCEL: out = {3, {IDYES, IDNO, IDCANCEL}}; return true;
    case MB_YESNO: out = {2, {IDYES, IDNO}}; return true;
    case MB_RETRYCANCEL: out = {2, {IDRETRY, IDCANCEL}}; return true;
    case MB_CANCELTRYCONTINUE: out = {3, {IDCANCEL, IDTRYAGAIN, IDCONTINUE}}; return true;
    default: return false;
  }
}

int defaultAnswer(const ButtonSet& buttons, UINT type) {
  // A default button beyond the box's buttons falls back to the first one.
  UINT index = (type & MB_DEFMASK) >> 8;
  return static_cast<int>(index) < buttons.count ? buttons.ids[index] : buttons.ids[0];
}

// "[caption] text" on one line: line breaks inside the text become spaces.
void echoBox(const std::string& caption, const std::string& text) {
  std::string line = "[" + caption + "] ";
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    line += (c == '\r' || c == '\n') ? ' ' : c;
  }
  line += '\n';
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}

}  // namespace

extern "C" int WINAPI MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
  ButtonSet buttons;
  if (!buttonsOf(uType, buttons)) {
    SetLastError(ERROR_INVALID_MSGBOX_STYLE);
    return 0;
  }
  PlMessageBoxRecord record{hWnd, lpText ? lpText : "", lpCaption ? lpCaption : "", uType, 0};
  if (!queuedAnswers.empty()) {
    record.answer = queuedAnswers.front();
    queuedAnswers.pop_front();
  } else {
    record.answer = defaultAnswer(buttons, uType);
  }
  // Without a caption the box would be titled "Error".
  if (echo) echoBox(lpCaption ? record.caption : std::string("Error"), record.text);
  records.push_back(record);
  return record.answer;
}

// Nothing sounds; the beeps are counted for tests.
extern "C" BOOL WINAPI MessageBeep(UINT) {
  ++beeps;
  return TRUE;
}

int plTestBeepCount() { return beeps; }
void plTestResetBeepCount() { beeps = 0; }

void plTestQueueMessageBoxAnswer(int answer) { queuedAnswers.push_back(answer); }

const std::vector<PlMessageBoxRecord>& plTestMessageBoxes() { return records; }

void plTestClearMessageBoxes() { records.clear(); }

void plTestSetMessageBoxEcho(bool on) { echo = on; }

namespace pl {
void resetMessageBoxes() {
  records.clear();
  queuedAnswers.clear();
  echo = true;
  beeps = 0;
}
}  // namespace pl
