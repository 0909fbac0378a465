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

// Restores the whole layer to its start state: no windows (destroyed without
// messages), no classes but the built-in ones, no string tables, no queued
// answers or records, no keys down, no quit request, no debugger output, the
// real module file name, the system clock, message box echo on. Handles from
// before stay invalid.
void plTestReset();

#endif
