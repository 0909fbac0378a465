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
// MessageBeep calls since the last reset (plTestReset resets them too).
int plTestBeepCount();
void plTestResetBeepCount();

// Input state read by GetKeyState and GetAsyncKeyState.
void plTestSetKeyDown(int virtualKey, bool down);

// Queued input. Each item is due delay milliseconds on the layer's clock
// (GetTickCount) after the item queued before it, or after now when none
// waits; a delay other than 0 makes the clock manual (frozen at its current
// reading, as plTestAdvanceClock does). When the clock has reached an item,
// it takes effect, in queue order: the key state (GetKeyState,
// GetAsyncKeyState) and the cursor position (GetCursorPos) follow it, and
// its message is made then and waits behind those of earlier input;
// posted messages come first, as ever. Keys go
// to the focus window, else the active window; mouse messages go to the
// capture window, else to the deepest visible, enabled window under the
// point (screen coordinates), and carry client coordinates and the MK_
// flags. Due items are looked for whenever messages are taken or peeked and
// whenever the key state or the cursor position is read.
//
// Time passes for polling loops: while the clock is manual, each read of
// the mouse state (GetCursorPos; GetAsyncKeyState of VK_LBUTTON, VK_RBUTTON
// or VK_MBUTTON) moves it on 1 ms, and GetMessageA with nothing else to
// deliver moves it on to the next item; PeekMessageA does not move it. When
// the last item has taken effect with a button still held that queued input
// pressed, a release of that button where the cursor stands is queued 100 ms
// later, so that every loop waiting for the release ends.
void plTestQueueKey(int virtualKey, bool down, DWORD delay = 0);
void plTestQueueChar(char character, DWORD delay = 0);          // a WM_CHAR, as if translated
void plTestQueueText(const std::string& text, DWORD delay = 0);  // one WM_CHAR per character, each delay apart
void plTestQueueMouseMove(int x, int y, DWORD delay = 0);
// button: VK_LBUTTON, VK_RBUTTON or VK_MBUTTON
void plTestQueueMouseButton(int button, bool down, int x, int y, DWORD delay = 0);
// Items queued and not yet in effect.
size_t plTestQueuedInputCount();

// The cursor shown last with SetCursor (null before any).
HCURSOR plTestCurrentCursor();
// The cursor shown last, described: its handle, whether it is a system
// shape, its hot spot, and for a cursor made with CreateCursor its size and
// its two masks (one bit a pixel, rows padded to 16 bits, as given). All
// zero and false when nothing is shown. Answers the handle.
struct PlCursorInfo {
  HCURSOR handle;
  bool system;
  int hotX, hotY;
  int width, height;
  std::vector<uint8_t> andMask, xorMask;
};
HCURSOR plTestShownCursor(PlCursorInfo* info);
// Cursors made with CreateCursor and not yet destroyed.
size_t plTestLiveCursors();

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

// GDI: the pixels of a window's client buffer and of a bitmap, as COLORREF
// (0x00bbggrr, comparable with RGB()); CLR_INVALID outside the surface or
// for an unknown handle. A client buffer starts white.
COLORREF plTestWindowPixel(HWND window, int x, int y);
COLORREF plTestBitmapPixel(HBITMAP bitmap, int x, int y);

// The image a display shows for a top-level window: its client buffer with
// the buffers of its visible children laid over it at their places, in
// z-order, each clipped to its parent's client area; pixels as COLORREF,
// rows top to bottom. The image covers the whole window rectangle: the
// client buffer sits at the client rectangle's place, and the non-client
// area around it stays white. Answers false for an unknown window.
bool plTestComposeWindow(HWND window, int* width, int* height, std::vector<COLORREF>* pixels);

// The virtual key the display backend makes of an X keysym (the key's
// unshifted symbol); 0 for keys it does not map, and always 0 when the layer
// is built without X11.
int plTestVirtualKeyOfKeysym(unsigned long keysym);

// GDI: the drawing calls made since the last reset or clear, with their
// integer arguments as passed (logical coordinates): MoveToEx (x, y),
// LineTo (x, y), Polyline (count), Polygon (count), Rectangle and Ellipse
// (left, top, right, bottom), Arc (the eight coordinates), SetPixel and
// SetPixelV (x, y, colour), FillRect and InvertRect (the rectangle),
// FillRgn (), ScrollDC (dx, dy).
struct PlGdiCall {
  std::string name;
  std::vector<long long> args;
};
const std::vector<PlGdiCall>& plTestGdiCalls();
void plTestClearGdiCalls();
int plTestGdiCallCount(const std::string& name);
// The log is kept from the layer's first reset (plTestReset) or clear of the
// log on: a program that never calls either keeps none, so that its drawing
// does not pile up a record of every call.

// GDI: the blits and TextOutA are logged too: BitBlt (x, y, cx, cy, x1, y1,
// rop), StretchBlt (the eight coordinates, rop), PatBlt (x, y, w, h, rop),
// TextOutA (x, y, count).

// GDI: the entries of a logical palette as created (empty for a handle that
// is not a palette).
std::vector<PALETTEENTRY> plTestPaletteEntries(HPALETTE palette);

// Fonts: the families EnumFontFamiliesA reports, in this order. Until set,
// and after plTestReset: Arial, Courier New (fixed pitch), Times New Roman.
struct PlFontFamily {
  std::string face;
  bool fixedPitch = false;
  BYTE charSet = 0;  // ANSI_CHARSET
};
void plTestSetFontFamilies(const std::vector<PlFontFamily>& families);
// The font file (and face index in it) a font renders with, and its em
// height in pixels; false for a handle that is not a font, or when no font
// file could be opened.
bool plTestFontFile(HFONT font, std::string* file, int* faceIndex, int* pixelSize);

// PNG files, 8-bit RGB: pixels as COLORREF (0x00bbggrr), rows top to bottom.
// Writing answers false when the handle is unknown or the file cannot be
// written; reading answers false for a missing or broken file.
bool plTestWritePng(const std::string& path, int width, int height, const std::vector<COLORREF>& pixels);
bool plTestWriteWindowPng(HWND window, const std::string& path);
bool plTestWriteBitmapPng(HBITMAP bitmap, const std::string& path);
bool plTestReadPng(const std::string& path, int* width, int* height, std::vector<COLORREF>* pixels);

// The virtual printer "Image Printer" (driver "pngprint", port "FILE:").
// Print dialog answers: PrintDlgA takes the next queued answer; without one
// it accepts as shown. PD_RETURNDEFAULT takes none. An accept sets the page
// range (from, to: 0 keeps the caller's), the copies (0 keeps them), the
// paper (a DMPAPER_ size, 0 keeps it) and the dots per inch (0 keeps them);
// a failure makes CommDlgExtendedError answer its code.
struct PlPrintAnswer {
  enum Kind { Accept, Cancel, Fail } kind = Accept;
  int fromPage = 0;
  int toPage = 0;
  int copies = 0;
  int paper = 0;
  int dpi = 0;
  DWORD error = 0;  // Fail: the extended error code
};
void plTestQueuePrintAnswer(const PlPrintAnswer& answer);
// Print dialogs shown (answers taken, queued or default) since the reset.
int plTestPrintDialogsShown();
// Colour dialog answers: the next queued one, else it accepts the initial
// colour (rgbResult with CC_RGBINIT, else black).
void plTestQueueColorAnswer(bool accept, COLORREF color = 0);
int plTestColorDialogsShown();
// Without a printer, CreateDCA/CreateICA of it fail, PrintDlgA fails with
// PDERR_NODEVICES and the profile has no "device".
void plTestSetNoPrinter(bool none);

// Every job started (StartDocA), in order. The pages of the latest four
// jobs keep their pixels; files are written at EndDoc as "name-n.png" in
// PLUMET_PRINT_DIR (made when missing) or the working directory.
struct PlPrintedPage {
  int width = 0;
  int height = 0;
  int dpi = 0;
  bool monochrome = false;
  std::string file;  // empty until written
};
struct PlPrintJob {
  std::string docName;
  bool ended = false;      // EndDoc reached with the job live
  bool cancelled = false;  // aborted: abort procedure, AbortDoc or DeleteDC
  std::vector<PlPrintedPage> pages;  // pages ended (with EndPage)
};
const std::vector<PlPrintJob>& plTestPrintJobs();
void plTestClearPrintJobs();
// A pixel of an ended page (CLR_INVALID outside it or for an unknown page).
COLORREF plTestPrintedPixel(size_t job, size_t page, int x, int y);

// Restores the whole layer to its start state: no windows (destroyed without
// messages), no classes but the built-in ones, no string tables, no queued
// answers or records, no keys down, no quit request, no debugger output, the
// real module file name, the system clock, message box echo on, an empty
// message queue and input queue, no timers, no capture, no active window,
// no properties, the cursor at (0, 0), the default screen size, no GDI
// objects, DCs or client buffers and an empty GDI call log, no print jobs,
// dialog or colour answers, a printer present. Handles from
// before stay invalid.
void plTestReset();

#endif
