// Pieces shared by the files of the platform layer; not part of its public
// interface. Each file keeps its own state and offers a reset function here,
// which plTestReset calls.
//
// The layer is used from the program's one user-interface thread, as window
// objects are on Windows: nothing in it locks.
#ifndef PLUMET_PLATFORM_LAYER_H
#define PLUMET_PLATFORM_LAYER_H

#include <windows.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace pl {

// The handle answered by GetModuleHandleA(NULL); null and this handle both
// name the program module.
HMODULE programModule();
inline bool isProgramModule(HMODULE module) { return module == nullptr || module == programModule(); }

// Copies at most size - 1 characters of text and a terminator into buffer
// (nothing when size is 0) and answers the number of characters copied.
size_t copyTruncated(std::string_view text, char* buffer, size_t size);

// ASCII comparison without case, as window class names are compared.
bool equalNoCase(std::string_view a, std::string_view b);

// Whether a message for window hwnd passes the filters of GetMessageA and
// PeekMessageA: a window filter (null: any; (HWND)-1: thread messages only;
// else the window or one below it) and an inclusive range (0, 0: all).
bool messagePasses(HWND filter, UINT first, UINT last, HWND hwnd, UINT message);

// Queued input (input.cpp). Items whose time has come take effect in order:
// the key state and cursor position follow each, and its message waits
// behind the messages of earlier input (after any posted message). Whatever reads messages or the input
// state calls deliverDueInput first.
void deliverDueInput();
// The due time of the next item not yet in effect; false when none waits.
bool nextInputDue(DWORD* due);
// Input read from a display (the X11 backend): it takes effect now, after
// any queued item that is due, and its message is routed as queued input's
// is (capture, focus, the window under the point). A wheel turn goes to the
// focus window, else the active one, with screen coordinates. A press marked
// doubleClick becomes WM_xBUTTONDBLCLK for a window whose class has
// CS_DBLCLKS. Answers the message made (hwnd null: none was posted).
struct DisplayInput {
  enum Kind { Key, Move, Button, Wheel } kind = Move;
  int key = 0;  // virtual key, or the mouse button's VK_ code
  bool down = false;
  bool doubleClick = false;
  int wheelDelta = 0;  // multiples of WHEEL_DELTA, positive away from the user
  POINT at{0, 0};      // screen coordinates for mouse input
};
MSG displayInput(const DisplayInput& input);
// A read of the mouse state (GetCursorPos, a button's GetAsyncKeyState): a
// manual clock moves on 1 ms, then due items take effect.
void mouseStateRead();
// The gap after the last item at which a button it left held is released.
constexpr DWORD kInputStep = 100;

// Appends a message made by queued input to the queue (queue.cpp).
void postInput(const MSG& message);

// Whether a key is down, without looking for due input (keys.cpp).
bool keyDown(int virtualKey);

// Whether GetTickCount follows the manual clock (clock.cpp).
bool clockIsManual();

// Timers (timer.cpp): a due timer's WM_TIMER; with remove the timer is set
// to fire again one period later.
bool takeTimer(HWND filter, UINT first, UINT last, bool remove, MSG* out);
// The time the next timer is due; false when there is no timer.
bool nextTimerDue(DWORD* due);

// The cursor position in screen coordinates (cursor.cpp).
POINT cursorPosition();
void setCursorPosition(POINT point);
int screenWidth();
int screenHeight();

// Window state (winstate.cpp): what showing a window at creation does.
void showAtCreation(HWND window);
// A window that needs painting and passes the filters, or null.
HWND windowToPaint(HWND filter, bool remove);

// Activation (activation.cpp).
HWND activeWindow();

// Moves a window with the mouse while the left button is held, from where
// the cursor stands now until the button is let go (nonclient.cpp).
void dragWindow(HWND window);

// The quit request (quit.cpp): pending until WM_QUIT is taken.
bool quitPending(int* exitCode);
void takeQuit();
int lastQuitCode();

// Puts a message at the head of the posted messages (TranslateMessage's
// characters come before anything else waiting).
void postFront(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// The update region of a window (client coordinates, disjoint
// rectangles), or null for an unknown window.
const std::vector<RECT>* windowUpdateRects(HWND window);

// The virtual printer (printer.cpp): whether one is installed, and its
// profile entry "device,driver,port".
bool printerInstalled();
std::string printerProfileEntry();

void resetGlobalMemory();
void resetProfile();
void resetPrinting();  // jobs, dialog answers, the printer installed
void resetDialogs();   // dialog templates (the windows go with resetWindows)
void resetDialogControls();

void resetQueue();
void resetInput();
void resetTimers();
void resetActivation();
void resetCursor();
void resetMetrics();
void resetMessageBoxes();
void resetStrings();
void resetKeys();
void resetClock();
void resetDebugger();
void resetModule();
void resetQuit();
void resetLastError();
void resetWindows();  // windows first, then classes
void resetFocus();
void resetClasses();
void resetGdi();  // every GDI object, DC and client buffer, and the call log

}  // namespace pl

#endif
