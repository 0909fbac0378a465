// The event state, the key peeks the tools use, and the event operators.
#include "ui/event.h"

#include "fe/operator.h"
#include "ui/app.h"

#include <windows.h>

#include <chrono>

namespace {
eventStateRecord state;

int32_t* outInt(feArgs* args, int index) { return static_cast<int32_t*>(args->out[index]); }

void storePair(feArgs* args, uint32_t packed) {
  *outInt(args, 0) = static_cast<int32_t>(packed & 0xFFFF);
  *outInt(args, 1) = static_cast<int32_t>((packed >> 16) & 0xFFFF);
}

// Screen point to the client coordinates of the current drawing window
// (the MDI client, which the frame makes the drawing window).
void storeClient(feArgs* args, POINT point) {
  HWND target = uiGetFrameWindow(1);
  if (target != nullptr) ScreenToClient(target, &point);
  *outInt(args, 0) = static_cast<int32_t>(point.x);
  *outInt(args, 1) = static_cast<int32_t>(point.y);
}

uint32_t modifierCode(bool control, bool shift) {
  uint32_t code = (control ? 8u : 0u) + (shift ? 2u : 0u);
  return code == 10 ? 1 : code;
}

bool isDown(SHORT state) { return (static_cast<uint16_t>(state) & 0x8000) != 0; }

void dropOneMouseMove() {
  MSG move;
  PeekMessageA(&move, nullptr, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE);
}

int opMultiClick(feArgs* args) {
  *outInt(args, 0) = static_cast<int32_t>(state.doubleClick);
  return 0;
}

int opMousePos(feArgs* args) {
  storePair(args, state.mousePos);
  return 0;
}

int opEventPos(feArgs* args) {
  if (state.lastMessage >= WM_MOUSEFIRST && state.lastMessage <= WM_MOUSELAST) {
    storePair(args, state.lastPos);
    return 0;
  }
  DWORD packed = GetMessagePos();
  POINT point{static_cast<int16_t>(packed & 0xFFFF), static_cast<int16_t>((packed >> 16) & 0xFFFF)};
  storeClient(args, point);
  return 0;
}

int opEventMod(feArgs* args) {
  *outInt(args, 0) = static_cast<int32_t>(aEventMod());
  return 0;
}

int opEventTime(feArgs* args) {
  *outInt(args, 0) = static_cast<int32_t>(GetMessageTime());
  return 0;
}

int opCurPos(feArgs* args) {
  POINT point{0, 0};
  GetCursorPos(&point);
  storeClient(args, point);
  return 0;
}

int opCurMod(feArgs* args) {
  uint32_t code = 0;
  aCurMod(&code);
  *outInt(args, 0) = static_cast<int32_t>(code);
  return 0;
}

int opCurTime(feArgs* args) {
  *outInt(args, 0) = static_cast<int32_t>(GetTickCount());
  return 0;
}

// Waits while the left or the right button is down; true when one is still
// down after n milliseconds. The layer's clock may stand still in a headless
// run, so the real time elapsed ends the wait as well.
int opWaitMouseUp(feArgs* args) {
  int32_t n = args->in[0].i;
  DWORD start = GetTickCount();
  auto realStart = std::chrono::steady_clock::now();
  int32_t* result = outInt(args, 0);
  *result = 0;
  while (isDown(GetAsyncKeyState(VK_LBUTTON)) || isDown(GetAsyncKeyState(VK_RBUTTON))) {
    auto waited = std::chrono::steady_clock::now() - realStart;
    if (static_cast<int64_t>(GetTickCount() - start) >= n ||
        std::chrono::duration_cast<std::chrono::milliseconds>(waited).count() >= n) {
      *result = 1;
      return 0;
    }
  }
  return 0;
}
}  // namespace

void eventRecord(uint32_t message, uint32_t position) {
  if (message == WM_LBUTTONDBLCLK) state.doubleClick = 1;
  if (message == WM_LBUTTONDOWN) state.doubleClick = 0;
  state.lastMessage = message;
  state.lastPos = position;
  if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) state.mousePos = position;
}

const eventStateRecord* eventState() { return &state; }

void eventReset() { state = eventStateRecord{}; }

uint32_t aEventMod() { return modifierCode(GetKeyState(VK_CONTROL) < 0, GetKeyState(VK_SHIFT) < 0); }

void aCurMod(uint32_t* out) {
  *out = modifierCode(isDown(GetAsyncKeyState(VK_CONTROL)), isDown(GetAsyncKeyState(VK_SHIFT)));
}

int eventPeekKey() {
  MSG msg;
  if (!PeekMessageA(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) return 0;
  dropOneMouseMove();
  return msg.message == WM_KEYDOWN ? static_cast<int>(msg.wParam) : 0;
}

int eventKeyPending() {
  MSG msg;
  if (!PeekMessageA(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE)) return 0;
  dropOneMouseMove();
  if (msg.message != WM_KEYDOWN) return 0;
  // Ctrl and Shift key-downs are modifiers of the key that follows: key
  // messages are taken off the queue (the modifier itself first) until one
  // is a key-down of another key, which is then removed as well.
  while (msg.wParam == VK_CONTROL || msg.wParam == VK_SHIFT) {
    if (!PeekMessageA(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) return 0;
    if (msg.message != WM_KEYDOWN) return 0;
  }
  return static_cast<int>(msg.wParam);
}

void eventRegisterOps() {
  feRegisterOp("aMultiClick", opMultiClick, "!#I", 0, 0);
  feRegisterOp("aMousePos", opMousePos, "!#2I", 0, 0);
  feRegisterOp("aEventPos", opEventPos, "!#2I", 0, 0);
  feRegisterOp("aEventMod", opEventMod, "!#I", 0, 0);
  feRegisterOp("aEventTime", opEventTime, "!#I", 0, 0);
  feRegisterOp("aCurPos", opCurPos, "!#2I", 0, 0);
  feRegisterOp("aCurMod", opCurMod, "!#I", 0, 0);
  feRegisterOp("aCurTime", opCurTime, "!#I", 0, 0);
  feRegisterOp("aWaitMouseUp", opWaitMouseUp, "!I#B", 0, 0);
}
