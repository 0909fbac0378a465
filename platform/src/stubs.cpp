// TEMPORARY: empty answers for every call of windows.h so that the other
// libraries link while the layer is being written. Each function moves to its
// own source file as it is implemented, and this file goes away.
#include <windows.h>
#include <platform_resources.h>
#include <platform_test.h>

extern "C" {
int WINAPI MessageBoxA(HWND, LPCSTR, LPCSTR, UINT) { return IDOK; }
int WINAPI LoadStringA(HINSTANCE, UINT, LPSTR b, int n) { if (b && n > 0) b[0] = 0; return 0; }
SHORT WINAPI GetKeyState(int) { return 0; }
SHORT WINAPI GetAsyncKeyState(int) { return 0; }
void WINAPI PostQuitMessage(int) {}
BOOL WINAPI MessageBeep(UINT) { return TRUE; }
ATOM WINAPI RegisterClassA(const WNDCLASSA*) { return 1; }
BOOL WINAPI UnregisterClassA(LPCSTR, HINSTANCE) { return TRUE; }
BOOL WINAPI GetClassInfoA(HINSTANCE, LPCSTR, LPWNDCLASSA) { return FALSE; }
HWND WINAPI CreateWindowExA(DWORD, LPCSTR, LPCSTR, DWORD, int, int, int, int, HWND, HMENU, HINSTANCE, LPVOID) { return nullptr; }
BOOL WINAPI DestroyWindow(HWND) { return FALSE; }
BOOL WINAPI IsWindow(HWND) { return FALSE; }
HWND WINAPI GetParent(HWND) { return nullptr; }
HWND WINAPI GetFocus(void) { return nullptr; }
HWND WINAPI SetFocus(HWND) { return nullptr; }
LRESULT WINAPI SendMessageA(HWND, UINT, WPARAM, LPARAM) { return 0; }
LRESULT WINAPI DefWindowProcA(HWND, UINT, WPARAM, LPARAM) { return 0; }
LONG WINAPI GetWindowLongA(HWND, int) { return 0; }
LONG WINAPI SetWindowLongA(HWND, int, LONG) { return 0; }
LONG_PTR WINAPI GetWindowLongPtrA(HWND, int) { return 0; }
LONG_PTR WINAPI SetWindowLongPtrA(HWND, int, LONG_PTR) { return 0; }
int WINAPI GetWindowTextA(HWND, LPSTR b, int n) { if (b && n > 0) b[0] = 0; return 0; }
int WINAPI GetWindowTextLengthA(HWND) { return 0; }
BOOL WINAPI SetWindowTextA(HWND, LPCSTR) { return FALSE; }
DWORD WINAPI GetTickCount(void) { return 0; }
void WINAPI OutputDebugStringA(LPCSTR) {}
void WINAPI DebugBreak(void) {}
DWORD WINAPI GetModuleFileNameA(HMODULE, LPSTR b, DWORD n) { if (b && n > 0) b[0] = 0; return 0; }
HMODULE WINAPI GetModuleHandleA(LPCSTR) { return nullptr; }
DWORD WINAPI GetLastError(void) { return 0; }
void WINAPI SetLastError(DWORD) {}
void plSetStringTable(HINSTANCE, const PlStringResource*, size_t) {}
}

static std::vector<PlMessageBoxRecord> boxes;
static std::string debugOut;
void plTestQueueMessageBoxAnswer(int) {}
const std::vector<PlMessageBoxRecord>& plTestMessageBoxes() { return boxes; }
void plTestClearMessageBoxes() {}
void plTestSetMessageBoxEcho(bool) {}
void plTestSetKeyDown(int, bool) {}
void plTestSetTickCount(DWORD) {}
void plTestAdvanceClock(DWORD) {}
void plTestUseSystemClock() {}
bool plTestQuitPosted(int*) { return false; }
void plTestClearQuit() {}
const std::string& plTestDebugOutput() { return debugOut; }
int plTestDebugBreaks() { return 0; }
void plTestSetModuleFileName(const std::string&) {}
void plTestReset() {}
