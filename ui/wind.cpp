// Window records: the class "window", the native class table, creating,
// releasing, showing and activating windows, and their attached users.
#include "ui/wind.h"

#include "core/alloc.h"
#include "core/classes.h"
#include "core/debug.h"
#include "fe/exec.h"
#include "fe/generic.h"
#include "fe/script.h"
#include "ui/app.h"
#include "ui/wind_internal.h"

#include <algorithm>

namespace {

const windClassDef classTable[] = {
    {nullptr, nullptr, 0, 0, 0, 0, 0},
    {"doc", "qxwdoc", 0x2B, 0x00CF0000, 0, 1, 1},
    {"dialog", "qxwdlg", 0x28, 0x80C00000, 0x1, 0, 2},
    {"parm", "qxwparm", 0x28, 0x80C00000, 0, 0, 2},
    {"tool", "qxwtool", 0x28, 0x80C80000, 0, 0, 2},
    {"xtool", "qxwxtool", 0x28, 0x80C80000, 0, 0, 2},
    {"ytool", "qxwytool", 0x28, 0x80800000, 0, 0, 2},
    {"stool", "qxwstool", 0x28, 0x80400000, 0, 0, 2},
    {"altdialog", "altdialog", 0x28, 0x80C00000, 0, 0, 2},
    {"testdialog", "testdialog", 0x28, 0x80400000, 0, 0, 2},
    {"noclosetool", "qxwnoclosewtool", 0x28, 0x80C00000, 0, 0, 2},
    {"scrollbox", "scrollbox", 0x08, 0x04A00000, 0, 0, 3},
    {"feedbackbox", "feedbackbox", 0x08, 0x04800000, 0, 2, 3},
};

uint16_t classId;
windRecord* head;
windRecord* currentDoc;
HWND pendingParent;
uint16_t visibleDialogs;
windDrawHooks hooks;

void retain(windRecord* rec) {
  if (rec->refCount != 255) ++rec->refCount;
}

bool isWindow(const void* object) {
  return object != nullptr && classId != 0 && *static_cast<const uint16_t*>(object) == classId;
}

// A native window of a record that window calls may be given: surfaces keep
// another handle in the field.
bool hasNative(const windRecord* rec) {
  return rec->kind != windKindSurface && rec->native != nullptr && !(rec->flags & windGone);
}

void unlink(windRecord* rec) {
  for (windRecord** link = &head; *link != nullptr; link = &(*link)->next)
    if (*link == rec) {
      *link = rec->next;
      return;
    }
}

windRecord* firstDoc() {
  for (windRecord* r = head; r != nullptr; r = r->next)
    if (r->kind == windKindDoc) return r;
  return nullptr;
}

windRecord* newRecord(int kind) {
  windRecord* rec = nullptr;
  uAlloc(&rec, nullptr, 1, sizeof(windRecord));
  rec->classId = classId;
  rec->refCount = 1;
  rec->kind = static_cast<uint16_t>(kind);
  rec->next = head;
  head = rec;
  return rec;
}

HBRUSH classBrush(uint32_t background) {
  switch (background) {
    case 0:
      return GetSysColorBrush(COLOR_BTNFACE);
    case 1:
      return hooks.backgroundBrush != nullptr ? hooks.backgroundBrush() : GetSysColorBrush(COLOR_WINDOW);
    case 2:
      return static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    default:
      return nullptr;
  }
}

}  // namespace

namespace windInternal {
uint16_t captureLock;

const windDrawHooks& drawHooks() { return hooks; }
void retainRecord(windRecord* rec) { retain(rec); }
}  // namespace windInternal

using windInternal::captureLock;

const windClassDef* windClassOf(int kind) {
  return kind >= 1 && kind <= windKindLast ? &classTable[kind] : nullptr;
}

void windSetDrawHooks(const windDrawHooks* newHooks) { hooks = newHooks != nullptr ? *newHooks : windDrawHooks{}; }

int windHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t c) {
  if (message == windMsgFree) return windRelease(static_cast<windRecord*>(object));
  return objMeth(objSuperClass(classId), message, object, a, b, c);
}

uint16_t windClassId() { return classId; }

void windClassInit() {
  classId = objClassRegister("window", 0, windHandler);
  const windClassDef& doc = classTable[windKindDoc];
  WNDCLASSA wc{};
  wc.style = doc.classStyle;
  wc.lpfnWndProc = windDocProc;
  wc.cbWndExtra = sizeof(LONG_PTR);
  wc.hInstance = appInstance();
  wc.hIcon = LoadIconA(appInstance(), MAKEINTRESOURCEA(201));
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = classBrush(doc.background);
  wc.lpszClassName = doc.className;
  appRegisterClass(&wc, static_cast<int>(doc.creation));
}

void windUiTerm() {
  // The values go first: releasing one may run code that reaches the records.
  for (;;) {
    windRecord* r = head;
    while (r != nullptr && feType(&r->data) == feTEmpty) r = r->next;
    if (r == nullptr) break;
    feObject value = r->data;
    r->data = feObject{};
    feFree(&value);
  }
  while (head != nullptr) {
    head->refCount = 1;
    windRelease(head);
  }
  UnregisterClassA(classTable[windKindDoc].className, appInstance());
}

int windCreate(const RECT* rect, const char* title, int kind, windRecord** out, int show, int keepMouse) {
  *out = nullptr;
  const windClassDef* def = windClassOf(kind);
  if (def == nullptr) return windNoWindow;
  windRecord* rec = newRecord(kind);
  rec->client = *rect;

  RECT outer = *rect;
  if (kind == windKindPalette) {
    outer.left -= 1;
    outer.top -= 13;
    outer.right += 1;
    outer.bottom += 1;
  } else {
    AdjustWindowRectEx(&outer, def->style, kind == windKindDoc, def->exStyle);
  }

  HWND window = nullptr;
  if (def->creation == 3) {
    window = appCreateControl(pendingParent, def->className, def->style | WS_CHILD, title, &outer, 0, rec);
    pendingParent = nullptr;
  } else {
    window = appCreateChild(def->className, def->style, def->exStyle, title, &outer, static_cast<int>(def->creation),
                            rec);
  }
  *out = rec;
  if (window == nullptr) {
    uAlert(131, "WUnable to create new window", nullptr);
    return windNoWindow;
  }
  rec->native = window;
  SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(rec));
  if (kind == windKindDoc) rec->flags |= windActive;

  RECT box{};
  GetWindowRect(window, &box);
  rec->outerWidth = box.right - box.left;
  rec->outerHeight = box.bottom - box.top;
  if (kind == windKindPalette) MoveWindow(window, outer.left, outer.top, outer.right - outer.left,
                                          outer.bottom - outer.top, FALSE);
  if (keepMouse) {
    rec->flags |= windKeepsMouse;
    SetCapture(window);
    captureLock = 1;
  }

  // The class keeps its own DC, so this set-up stays for the window's life.
  if (HDC dc = GetDC(window)) {
    SelectObject(dc, GetStockObject(WHITE_PEN));
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    ReleaseDC(window, dc);
  }
  if (show) windShow(window, show);
  if (def->creation != 3) {
    if (kind == windKindDoc) currentDoc = rec;
    SetActiveWindow(kind == windKindPalette ? nullptr : window);
  }
  windActivate(rec, 1);
  return 0;
}

windRecord* windNewOffscreen(HANDLE surface, const RECT* page) {
  windRecord* rec = newRecord(windKindSurface);
  rec->flags = windHidden;
  rec->native = static_cast<HWND>(surface);
  rec->surfaceWidth = page->right - page->left;
  rec->surfaceHeight = page->bottom - page->top;
  return rec;
}

int windRelease(windRecord* rec) {
  if (rec == nullptr || rec->refCount == 255) return 0;
  // A record being freed stays counted at 1: the window-procedure calls made
  // while its window is destroyed take and drop their references without
  // freeing it a second time.
  if (rec->refCount > 1 || (rec->flags & windInternal::windFreeing)) {
    if (rec->refCount > 1) --rec->refCount;
    return 0;
  }
  rec->refCount = 1;
  rec->flags |= windInternal::windFreeing;
  if (!(rec->flags & windHidden) && hasNative(rec)) windShow(rec->native, 0);
  if (rec->native != nullptr) {
    if (rec->kind == windKindSurface) {
      rec->flags |= windGone;
    } else if (!(rec->flags & windGone)) {
      appDestroyChild(rec->native);
    }
    rec->native = nullptr;
  }
  if (rec->flags & windKeepsMouse) {
    captureLock = 0;
    ReleaseCapture();
  }
  unlink(rec);
  if (feType(&rec->data) != feTEmpty) feFree(&rec->data);
  uAlloc(&rec->users, &rec->userCount, 0, sizeof(void*));
  uFree(&rec);
  currentDoc = firstDoc();
  return 0;
}

void windAddUser(windRecord* rec, void* user) {
  if (rec == nullptr || user == nullptr) return;
  uint32_t slot = 0;
  while (slot < rec->userCount && rec->users[slot] != nullptr) ++slot;
  if (slot == rec->userCount) uAlloc(&rec->users, &rec->userCount, rec->userCount + 1, sizeof(void*));
  rec->users[slot] = user;
  retain(rec);
}

void windRemoveUser(windRecord* rec, void* user) {
  if (rec == nullptr || user == nullptr) return;
  retain(rec);
  for (uint32_t i = 0; i < rec->userCount; ++i)
    if (rec->users[i] == user) {
      rec->users[i] = nullptr;
      windRelease(rec);
    }
  windRelease(rec);
}

int windCheck(const void* object) { return isWindow(object) ? 0 : windNotWindow; }

int windGetHwnd(const windRecord* rec, HWND* out) {
  *out = rec != nullptr ? rec->native : nullptr;
  return 0;
}

int windFromHwnd(HWND window, windRecord** out) {
  *out = nullptr;
  if (window == nullptr) return 0;
  auto* stored = reinterpret_cast<windRecord*>(GetWindowLongPtrA(window, 0));
  if (stored == nullptr) return 0;
  // Only a live record counts: the word is compared, never trusted.
  for (windRecord* r = head; r != nullptr; r = r->next)
    if (r == stored) {
      *out = r;
      break;
    }
  return 0;
}

int windGetClientRect(const windRecord* rec, RECT* out) {
  if (rec->kind == windKindSurface) {
    *out = RECT{0, 0, rec->surfaceWidth, rec->surfaceHeight};
    return 0;
  }
  *out = RECT{0, 0, 0, 0};
  if (hasNative(rec)) GetClientRect(rec->native, out);
  return 0;
}

int windGetViewRect(const windRecord* rec, RECT* out) {
  if (rec->kind == windKindScroll || rec->kind == windKindFeedback) return 0;
  windGetClientRect(rec, out);
  const int32_t* o = rec->offsets;
  if (o[0] == 0 && o[1] == 0 && o[2] == 0 && o[3] == 0) return 0;
  out->left += o[0];
  out->top += o[1];
  out->right -= o[2];
  out->bottom -= o[3];
  return -1;
}

int windPointInView(const windRecord* rec, POINT point) {
  RECT view{};
  windGetViewRect(rec, &view);
  return PtInRect(&view, point) ? 1 : 0;
}

void windXformRect(const windRecord* rec, const RECT* in, RECT* out) {
  if (rec->painting) {
    IntersectRect(out, in, &rec->update);
    return;
  }
  *out = *in;
}

void windSetDrawTarget(const windRecord* rec) {
  if (hooks.setWindow != nullptr && rec != nullptr) hooks.setWindow(rec->native);
}

int windIsVisible(const windRecord* rec) { return hasNative(rec) && IsWindowVisible(rec->native) ? 1 : 0; }

void windRectToScreen(HWND window, RECT* rect) {
  POINT corners[2] = {{rect->left, rect->top}, {rect->right, rect->bottom}};
  ClientToScreen(window, &corners[0]);
  ClientToScreen(window, &corners[1]);
  *rect = RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
}

void windMaxRect(const windRecord*, RECT* out) { *out = RECT{0, 0, 16384, 16384}; }

void windShow(HWND window, int show) {
  if (!show && GetCapture() == window) ReleaseCapture();
  windRecord* rec = nullptr;
  windFromHwnd(window, &rec);
  if (rec != nullptr) {
    if (show) rec->flags &= static_cast<uint8_t>(~windHidden);
    else rec->flags |= windHidden;
    if (rec->kind == windKindDialog) {
      uint16_t count = 0;
      for (windRecord* r = head; r != nullptr; r = r->next)
        if (r->kind == windKindDialog && !(r->flags & windHidden)) ++count;
      // While any dialog is shown every other script window is disabled.
      if (count != visibleDialogs && (count == 0 || visibleDialogs == 0))
        for (windRecord* r = head; r != nullptr; r = r->next)
          if (r->kind != windKindDialog && hasNative(r)) EnableWindow(r->native, count == 0);
      visibleDialogs = count;
    }
  }
  // The next document becomes active before this one hides: a maximized
  // document hands its state on by restoring the one it leaves, which
  // would show it again.
  if (!show && rec != nullptr && rec->kind == windKindDoc && (rec->flags & windActive)) {
    SendMessageA(uiGetFrameWindow(1), WM_MDINEXT, reinterpret_cast<WPARAM>(window), 0);
    rec->flags &= static_cast<uint8_t>(~windActive);
  }
  ShowWindow(window, show ? SW_SHOW : SW_HIDE);
}

void windActivate(windRecord* rec, int doIt) {
  if (!doIt || rec == nullptr || !hasNative(rec)) return;
  if (rec->kind == windKindDoc) {
    SendMessageA(uiGetFrameWindow(1), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(rec->native), 0);
  } else if (rec->kind == windKindPalette) {
    windRecord* parent = nullptr;
    windFromHwnd(GetParent(rec->native), &parent);
    windActivate(parent, 1);
  } else if (GetActiveWindow() != rec->native) {
    SetActiveWindow(rec->native);
  }
}

void windSetTitle(windRecord* rec, const char* text) {
  if (rec == nullptr || !hasNative(rec)) return;
  const char* t = text != nullptr ? text : "";
  appWindowCommand(rec->native, appCmdTitle, t, static_cast<int>(std::char_traits<char>::length(t)));
}

windRecord* windCreateAndAnnounce(const RECT* rect, const char* title) {
  windRecord* rec = nullptr;
  if (windCreate(rect, title, windKindDoc, &rec, 0, 0) != 0) {
    windRelease(rec);
    return nullptr;
  }
  fePushValue(rec);
  feExecString("aNewWind");
  if (hasNative(rec)) windShow(rec->native, 1);
  return rec;
}

HWND windSetPendingParent(HWND parent) {
  HWND previous = pendingParent;
  pendingParent = parent;
  return previous;
}

windRecord* windFirst() { return head; }
windRecord* windCurrentDoc() { return currentDoc; }
