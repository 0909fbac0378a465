// The windows that exist, kept in memory and found by handle. A handle value
// is never given out twice in a run, so a handle kept after its window was
// destroyed finds nothing instead of another window.
#ifndef PLUMET_PLATFORM_WINDOW_TABLE_H
#define PLUMET_PLATFORM_WINDOW_TABLE_H

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace pl {

// State a built-in control keeps beside its window (the edit control's
// selection, for instance); freed with the window.
struct ControlData {
  virtual ~ControlData() = default;
};

struct Window {
  HWND handle = nullptr;
  ATOM classAtom = 0;
  WNDPROC proc = nullptr;
  DWORD style = 0;
  DWORD exStyle = 0;
  LONG_PTR id = 0;  // the hMenu argument: a child's control id
  LONG_PTR userData = 0;
  HINSTANCE instance = nullptr;
  HWND parent = nullptr;  // for WS_CHILD windows
  HWND owner = nullptr;   // for other windows
  std::vector<HWND> children;  // in creation order
  std::string text;
  std::vector<unsigned char> extra;  // cbWndExtra bytes, zeroed at creation
  bool destroying = false;
  std::unique_ptr<ControlData> control;
  RECT rect{};         // in the parent's client coordinates; screen for top-level windows
  RECT client{};       // the client rectangle, in the same coordinates as rect (WM_NCCALCSIZE's answer)
  RECT restored{};     // the rectangle to return to from maximized or minimized
  bool sized = false;  // WM_SIZE/WM_MOVE sent once: at the first showing
  bool invalid = false;  // needs painting: update is not empty
  std::vector<RECT> update;  // the update region, client coordinates, disjoint rectangles
  unsigned long zOrder = 0;  // larger is nearer the top among siblings
  std::vector<std::pair<std::string, HANDLE>> props;  // keys upper-cased
};

// The window of a handle, or null for null, unknown and destroyed handles.
// Window procedures can destroy windows, so a pointer found here must be
// looked up again after any message was sent.
Window* findWindow(HWND handle);

// Adds a window under a fresh handle and answers it; null when handles ran out.
Window* addWindow(std::unique_ptr<Window> window);

// Removes a window from the table (no messages) and frees it.
void removeWindow(HWND handle);

// Handles of all windows whose owner is the given window, oldest first.
std::vector<HWND> ownedWindows(HWND owner);

// Handles of all top-level windows (neither WS_CHILD nor with a parent),
// topmost first.
std::vector<HWND> topLevelWindows();

// Every window, in creation order.
std::vector<HWND> allWindows();

// A fresh z-order stamp: a window given it is above every other.
unsigned long nextZOrder();

// The top-level window a window belongs to (itself when it is top-level).
HWND topLevelOf(HWND window);

// The client origin of a window in screen coordinates.
POINT clientOrigin(HWND window);
// The top-left corner of a window's rectangle in screen coordinates.
POINT windowOrigin(HWND window);
// The client rectangle in client coordinates: {0, 0, width, height}.
RECT clientArea(const Window* w);
// Whether the client rectangle is smaller than the window rectangle.
bool hasNonClientArea(const Window* w);

// Asks the window for its client rectangle with WM_NCCALCSIZE and keeps
// the answer, held inside the window rectangle.
void updateClientRect(HWND window);

// The deepest visible, enabled window under a screen point, searching the
// children of parent (null: the top-level windows), topmost first (input.cpp).
HWND windowAt(HWND parent, POINT screen);

// Called by DestroyWindow before the handle dies: the queue, timers,
// capture and activation forget the window.
void forgetWindowInput(HWND window);
void forgetWindowQueue(HWND window);
void forgetWindowTimers(HWND window);

}  // namespace pl

#endif
