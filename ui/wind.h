// Window records: the program objects of class "window" that describe the
// windows scripts make (document windows in the frame's MDI client, and
// later dialogs, palettes and boxes), the native window classes they use and
// the one window procedure that serves them. The procedure does the platform
// chores itself and offers every message, as message 220, to the objects
// attached to the window (sheets, views, dialogs) until one handles it.
#ifndef PLUMET_UI_WIND_H
#define PLUMET_UI_WIND_H

#include "fe/value.h"

#include <windows.h>

#include <cstdint>

enum windFlag : uint8_t {
  windShowUpdate = 1,  // the update area flashes before each paint
  windKeepsMouse = 2,  // mouse messages are routed while it holds the capture
  windHidden = 4,
  windGone = 8,        // the native window no longer exists
  windActive = 16,
};

enum windKind : uint16_t {
  windKindDoc = 1,
  windKindDialog = 2,
  windKindPalette = 5,
  windKindScroll = 11,
  windKindFeedback = 12,
  windKindLast = 12,
  windKindSurface = 254,  // an off-screen drawing surface, no native window
};

enum {
  windMsgFree = 100,
  windMsgMessage = 220,  // message, wParam, lParam; non-zero: handled
  windMsgClose = 221,
  windNoWindow = 273,    // windCreate: the native window could not be made
  windNotWindow = 269,   // windCheck: not a window record
};

// The window record. Its head is that of every program object: class id and
// a saturating 8-bit count (1 at creation, +1 for each attached user and for
// each window-procedure call in progress).
struct windRecord {
  uint16_t classId;
  uint8_t refCount;
  uint8_t flags;          // windFlag
  uint16_t kind;          // windKind
  void** users;           // attached objects; empty slots are null
  uint32_t userCount;     // slots
  int32_t offsets[4];     // view margins inside the client area: left, top, right, bottom
  HWND native;            // 0 for surfaces and once the window is gone
  windRecord* next;       // the list of all records, newest first
  int32_t surfaceWidth, surfaceHeight;
  RECT client;            // asked for at creation; the client rectangle from the first paint or activation
  int32_t outerWidth, outerHeight;
  uint8_t painting;       // 1 between BeginPaint and EndPaint
  RECT update;            // the area being painted
  feObject data;          // the script value kept with the window
};

// One native window class, indexed by kind (1-12).
struct windClassDef {
  const char* typeName;
  const char* className;
  uint16_t classStyle;
  uint32_t style;
  uint32_t exStyle;
  uint32_t background;  // 0 button face, 1 the program's background brush, 2 white, other none
  uint32_t creation;    // 1 MDI child, 2 popup owned by the frame, 3 child control of the pending parent
};
// The entry of a kind, or null outside 1-12.
const windClassDef* windClassOf(int kind);

// The drawing layer lives above this one; it installs these so that the
// window procedure can aim drawing at the window being served. Any of them
// may be null.
struct windDrawHooks {
  void (*setWindow)(HWND window);     // make the window the drawing target
  HWND (*currentWindow)();            // the current drawing target
  void (*setClip)(const RECT* rect);  // clip drawing to a client rectangle
  void (*forgetWindow)(HWND window);  // the native window is gone
  HBRUSH (*backgroundBrush)();        // the program's background brush
};
void windSetDrawHooks(const windDrawHooks* hooks);

// Called when a document window (kind 1) is about to paint, once it is the
// drawing target and before BeginPaint clips drawing to the update area: the
// input engine above this layer hides its cursor mark there, so that the
// paint neither leaves half a mark behind nor has one erased over it. Null
// (the start) calls nothing. Answers the previous hook.
typedef void (*windPaintHook)();
windPaintHook windSetPaintHook(windPaintHook hook);

// Registers class "window" and the document class "qxwdoc"; windUiTerm
// releases every record and unregisters the native class.
void windClassInit();
void windUiTerm();
uint16_t windClassId();
// The class handler: 100 releases the record; all else goes to the root.
int windHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t c);

// Makes a record and its native window. Answers 0 with the record in *out,
// or 273 after the alert "WUnable to create new window" with the record
// (without native window) in *out for the caller to release. A kind outside
// 1-12 answers 273 without a record.
int windCreate(const RECT* rect, const char* title, int kind, windRecord** out, int show, int keepMouse);
// A kind-254 record for a drawing surface over the page (left, top, right, bottom).
windRecord* windNewOffscreen(HANDLE surface, const RECT* page);
// Drops one reference; the last one destroys the native window and frees
// the record. Answers 0.
int windRelease(windRecord* rec);
void windAddUser(windRecord* rec, void* user);
void windRemoveUser(windRecord* rec, void* user);
// 0 for a window record, 269 otherwise.
int windCheck(const void* object);
int windGetHwnd(const windRecord* rec, HWND* out);
// The record of a native window (*out 0 when it has none); answers 0.
int windFromHwnd(HWND window, windRecord** out);
int windGetClientRect(const windRecord* rec, RECT* out);
// 0 when the view rectangle is the client rectangle, -1 when the margins
// shrank it; scroll and feedback boxes answer 0 and leave out unchanged.
int windGetViewRect(const windRecord* rec, RECT* out);
int windPointInView(const windRecord* rec, POINT point);
// While painting: the part of in inside the update area; otherwise in.
void windXformRect(const windRecord* rec, const RECT* in, RECT* out);
void windSetDrawTarget(const windRecord* rec);
int windIsVisible(const windRecord* rec);
void windRectToScreen(HWND window, RECT* rect);
void windMaxRect(const windRecord* rec, RECT* out);
void windShow(HWND window, int show);
void windActivate(windRecord* rec, int doIt);
void windSetTitle(windRecord* rec, const char* text);
// A hidden document window; runs "aNewWind" with the record on the operand
// stack, then shows the window. Answers the record (null when not made).
windRecord* windCreateAndAnnounce(const RECT* rect, const char* title);
// The parent for the next child-kind window; answers the previous one.
HWND windSetPendingParent(HWND parent);

// The newest record and the current document record (the last document
// window made, or the first one left).
windRecord* windFirst();
windRecord* windCurrentDoc();

LRESULT CALLBACK windDocProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

#endif
