// Hooks through which tests and scripted runs drive the headless platform
// layer and read what it showed. Not used by the program itself.
#ifndef PLUMET_PLATFORM_TEST_H
#define PLUMET_PLATFORM_TEST_H

#include "windows.h"

#include <string>
#include <vector>

// Message boxes: every box is recorded; it answers the next queued answer,
// else its default button. Its text is also written to standard error unless
// echo is turned off.
struct PlMessageBoxRecord {
  HWND owner;
  std::string text;
  std::string caption;  // empty when the caller passed none
  UINT type;            // MB_ flags as passed
  int answer;           // what MessageBoxA returned
};
void plTestQueueMessageBoxAnswer(int answer);
const std::vector<PlMessageBoxRecord>& plTestMessageBoxes();
void plTestClearMessageBoxes();
void plTestSetMessageBoxEcho(bool echo);

// Input state read by GetKeyState and GetAsyncKeyState.
void plTestSetKeyDown(int virtualKey, bool down);

// Queued input, delivered in order by GetMessageA and PeekMessageA after the
// posted messages. Each item updates the key state (GetKeyState,
// GetAsyncKeyState) and the cursor position (GetCursorPos) when it is
// delivered, not when it is queued. Keys go to the focus window, else the
// active window; mouse messages go to the capture window, else to the
// deepest visible, enabled window under the point (screen coordinates), and
// carry client coordinates and the MK_ flags.
void plTestQueueKey(int virtualKey, bool down);
void plTestQueueChar(char character);          // a WM_CHAR, as if translated
void plTestQueueText(const std::string& text);  // one WM_CHAR per character
void plTestQueueMouseMove(int x, int y);
void plTestQueueMouseButton(int button, bool down, int x, int y);  // button: VK_LBUTTON, VK_RBUTTON or VK_MBUTTON
size_t plTestQueuedInputCount();

// The cursor shown last with SetCursor (null before any).
HCURSOR plTestCurrentCursor();

// Clock: GetTickCount follows the system clock until a test sets it; from
// then on it only moves when the test advances it.
void plTestSetTickCount(DWORD milliseconds);
void plTestAdvanceClock(DWORD milliseconds);
void plTestUseSystemClock();

// The quit request: whether PostQuitMessage was called, and its last code.
bool plTestQuitPosted(int* exitCode);
void plTestClearQuit();

// Debugger hand-off: text sent with OutputDebugStringA, and DebugBreak calls
// (which do not stop the process here).
const std::string& plTestDebugOutput();
int plTestDebugBreaks();

// Program module file name answered by GetModuleFileNameA(NULL, ...); empty
// restores the real executable path.
void plTestSetModuleFileName(const std::string& path);

// Screen size answered by GetSystemMetrics(SM_CXSCREEN/SM_CYSCREEN) and used
// for default window placement; 1024 x 768 until set.
void plTestSetScreenSize(int width, int height);

// Restores the whole layer to its start state: no windows (destroyed without
// messages), no classes but the built-in ones, no string tables, no queued
// answers or records, no keys down, no quit request, no debugger output, the
// real module file name, the system clock, message box echo on, an empty
// message queue and input queue, no timers, no capture, no active window,
// no properties, the cursor at (0, 0), the default screen size. Handles from
// before stay invalid.
void plTestReset();

#endif
