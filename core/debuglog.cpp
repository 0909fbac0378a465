// The log sink: an optional log file, an optional log window "FE_Window"
// holding an edit control, and an optional hook that captures the text.
#include "core/debug.h"

#include <cstdio>
#include <cstring>

namespace {

const char kLogClass[] = "FE_Window";

// The edit control receives text in pieces of at most this many characters.
constexpr size_t kPieceMax = 255;

FILE* logFile;
HWND logWindow;        // the window made by dbgWinCreate, freed by dbgTerm
HWND logControl;       // the edit control that receives log text
bool classRegistered;
size_t windowChars;    // characters of log text handled by the window
dbgLogHook logHook;
void* logHookContext;

LRESULT CALLBACK logWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

bool isLineEnd(char c) { return c == '\r' || c == '\n'; }

void writeFile(const char* text, size_t length) {
  // Each carriage return and each line feed becomes one line feed.
  char buffer[512];
  size_t used = 0;
  for (size_t i = 0; i < length; ++i) {
    buffer[used++] = isLineEnd(text[i]) ? '\n' : text[i];
    if (used == sizeof buffer) {
      fwrite(buffer, 1, used, logFile);
      used = 0;
    }
  }
  fwrite(buffer, 1, used, logFile);
  fflush(logFile);
}

void sendPiece(const char* piece, size_t length) {
  if (length == 0) return;
  char buffer[kPieceMax + 1];
  memcpy(buffer, piece, length);
  buffer[length] = 0;
  SendMessageA(logControl, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(buffer));
}

void writeWindow(const char* text, size_t length) {
  size_t start = 0;
  for (size_t i = 0; i < length; ++i) {
    if (isLineEnd(text[i])) {
      sendPiece(text + start, i - start);
      SendMessageA(logControl, WM_CHAR, 13, 0);  // Enter
      start = i + 1;
    } else if (i + 1 - start == kPieceMax) {
      sendPiece(text + start, kPieceMax);
      start = i + 1;
    }
  }
  sendPiece(text + start, length - start);
  windowChars += length;
}

}  // namespace

void dbgLogAppend(const char* text, size_t length) {
  if (!text || length == 0) return;
  length = strnlen(text, length);
  if (length == 0) return;
  if (logFile) writeFile(text, length);
  if (logControl) writeWindow(text, length);
  if (logHook) logHook(logHookContext, text, length);
}

bool dbgLogFileOpen(const char* path) {
  dbgLogFileClose();
  if (!path || !*path) return false;
  logFile = fopen(path, "ab");
  return logFile != nullptr;
}

void dbgLogFileClose() {
  if (logFile) fclose(logFile);
  logFile = nullptr;
}

HWND dbgWinCreate(HWND parent) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  if (!classRegistered) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = logWindowProc;
    wc.cbWndExtra = sizeof(LONG_PTR);  // extra word 0: the edit control
    wc.hInstance = instance;
    wc.lpszClassName = kLogClass;
    if (!RegisterClassA(&wc)) return nullptr;
    classRegistered = true;
  }
  HWND window = CreateWindowExA(0, kLogClass, kLogClass, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                480, 320, parent, nullptr, instance, nullptr);
  if (!window) return nullptr;
  HWND control = CreateWindowExA(0, "EDIT", "",
                                 WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_LEFT | ES_MULTILINE | ES_AUTOVSCROLL,
                                 0, 0, 480, 320, window, nullptr, instance, nullptr);
  if (!control) {
    DestroyWindow(window);
    return nullptr;
  }
  SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(control));
  logWindow = window;
  logControl = control;
  return window;
}

HWND dbgWinControl() { return logControl; }

size_t dbgWinCharCount() { return windowChars; }

void dbgWinFree(HWND window) {
  if (!window) return;
  HWND control = reinterpret_cast<HWND>(GetWindowLongPtrA(window, 0));
  if (control) {
    if (control == logControl) logControl = nullptr;
    DestroyWindow(control);
  }
  DestroyWindow(window);
  if (window == logWindow) logWindow = nullptr;
}

void dbgTerm() {
  if (logWindow) {
    dbgWinFree(logWindow);
    // The window's text always lives in the control's own buffer here, so
    // there is never a global text buffer to free.
    static const char freed[] = "[debug.c] Info: FE_Window freed. Local segment buffer was used.\n";
    dbgLogAppend(freed, sizeof freed - 1);
  }
  if (classRegistered) {
    UnregisterClassA(kLogClass, GetModuleHandleA(nullptr));
    classRegistered = false;
  }
  dbgLogFileClose();
}

void dbgSetLogHook(dbgLogHook hook, void* context) {
  logHook = hook;
  logHookContext = context;
}
