// The application frame: start-up and shut-down, the frame window and its
// MDI client, and the native windows of window records.
#include "ui/app.h"

#include "core/alloc.h"
#include "core/debug.h"
#include "core/ini.h"
#include "core/modulepath.h"
#include "core/proginfo.h"
#include "core/startstate.h"
#include "fe/quit.h"
#include "ui/mainloop.h"
#include "ui/ui.h"

#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

namespace {
const char kFrameClass[] = "mpframe";
const int kFrameExtra = 33;
const int kColorAppWorkspace = 12;
const int kTitleSize = 256;
const int kMaxQueryChildren = 32;

HINSTANCE instanceHandle;
HWND frameWindow;
HWND mdiClient;
appFrameHook frameHook = appFrameHookNone;
appMenuExec menuExec;
uint16_t lastMenuItem;
uint16_t lastMenuFlags;
bool openMaximized = true;
char titleBuffer[kTitleSize];
// The creation kind of each window made here (1 document, 2 popup, 0
// control): it decides how the window is destroyed.
std::unordered_map<HWND, int> windowKinds;
// The document windows, in creation order.
std::vector<HWND> documents;

std::string iniText(const char* path, const char* fallback) {
  std::string section, key, value;
  if (iniSplitKeyPath(path, &section, &key) && iniGetString(iniCurrent(), section.c_str(), key.c_str(), &value))
    return value;
  return fallback;
}

bool equalsNoCase(const std::string& text, const char* word) {
  return text.size() == std::strlen(word) && strncasecmp(text.c_str(), word, text.size()) == 0;
}

void forgetWindow(HWND window) {
  windowKinds.erase(window);
  for (auto it = documents.begin(); it != documents.end(); ++it) {
    if (*it == window) {
      documents.erase(it);
      break;
    }
  }
}

HWND activeDocument() {
  if (mdiClient == nullptr) return nullptr;
  return reinterpret_cast<HWND>(SendMessageA(mdiClient, WM_MDIGETACTIVE, 0, 0));
}

LRESULT defaultFrame(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefFrameProcA(window, mdiClient, msg, wParam, lParam);
}

LRESULT queryEndSession(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  std::vector<HWND> children(documents.begin(),
                             documents.begin() + std::min<size_t>(documents.size(), kMaxQueryChildren));
  for (HWND child : children)
    if (IsWindow(child) && SendMessageA(child, WM_QUERYENDSESSION, wParam, lParam) == 0) return 0;
  return defaultFrame(window, msg, wParam, lParam);
}

LRESULT bringToFront(HWND window) {
  if (IsIconic(window)) {
    ShowWindow(window, SW_RESTORE);
  } else {
    if (!BringWindowToTop(window)) dbgPrintf("[DLFrameWndProc] Can't bring window to top!\n");
    SetActiveWindow(window);
  }
  return 1;
}
}  // namespace

int appFrameHookNone(HWND, UINT, WPARAM, LPARAM) { return 0; }

appMenuExec appSetMenuExec(appMenuExec exec) {
  appMenuExec previous = menuExec;
  menuExec = exec;
  return previous;
}

LRESULT CALLBACK DLFrameWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (frameHook != nullptr && frameHook(window, msg, wParam, lParam) != 0) return 0;
  switch (msg) {
    case WM_CREATE:
      frameWindow = window;
      appCreateMdiClient(window, instanceHandle);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_CLOSE:
      // The scripts decide whether the program ends, through the close
      // command of their menus: the frame stays. With no menus to decide,
      // closing the frame ends the program as the operator quit does.
      if (menuExec != nullptr) menuExec(appCloseItem, 1);
      else feQuitRun();
      return 0;
    case WM_ACTIVATE: {
      HWND child = activeDocument();
      if (child != nullptr) SendMessageA(child, appMsgActivateChild, wParam, lParam);
      return defaultFrame(window, msg, wParam, lParam);
    }
    case WM_QUERYENDSESSION:
      return queryEndSession(window, msg, wParam, lParam);
    case WM_NCACTIVATE:
      // While the start-up picture shows, the frame's caption stays active.
      if (bootWinShown() != 0) wParam = 1;
      return defaultFrame(window, msg, wParam, lParam);
    case WM_COMMAND:
      if (lParam == 0) {
        if (menuExec != nullptr) menuExec(LOWORD(wParam), HIWORD(wParam));
        // A menu or accelerator command is the scripts' alone: the default
        // processing would take ids from the first document id on as
        // requests to activate a document window.
        return 0;
      }
      return defaultFrame(window, msg, wParam, lParam);
    case WM_MENUSELECT:
      lastMenuItem = LOWORD(wParam);
      lastMenuFlags = HIWORD(wParam);
      return defaultFrame(window, msg, wParam, lParam);
    case WM_TIMER:
    case WM_INITMENUPOPUP:
      return 0;
    case WM_QUERYNEWPALETTE:
    case WM_PALETTECHANGED:
      // No colour table has a palette on a true-colour display.
      return 0;
    case appMsgBringToFront:
      return bringToFront(window);
    default:
      return defaultFrame(window, msg, wParam, lParam);
  }
}

std::string appIniFromProgram() {
  std::string name = uModulePath();
  if (name.size() >= 4 && strncasecmp(name.c_str() + name.size() - 4, ".exe", 4) == 0) name.resize(name.size() - 4);
  return name + ".INI";
}

HWND appInit(const char* commandLine, int show, appFrameHook hook, HINSTANCE instance, const char* iniName) {
  instanceHandle = instance;
  WNDCLASSA frameClass{};
  frameClass.style = 0;
  frameClass.lpfnWndProc = DLFrameWndProc;
  frameClass.cbClsExtra = 0;
  frameClass.cbWndExtra = kFrameExtra;
  frameClass.hInstance = instance;
  frameClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(200));
  frameClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  frameClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<intptr_t>(kColorAppWorkspace + 1));
  frameClass.lpszMenuName = "feldonMenu";
  frameClass.lpszClassName = kFrameClass;
  RegisterClassA(&frameClass);  // a second registration fails harmlessly
  frameHook = hook != nullptr ? hook : appFrameHookNone;

  std::string name;
  if (iniName != nullptr) {
    name = iniName;
    dbgPrintf("uiIniSetup from appInit; INI from cmd line\n");
  } else if (appHasSwitch('i')) {
    name = appGetIniName();
    dbgPrintf("uiIniSetup from appInit; INI from cmd line\n");
  } else {
    name = appIniFromProgram();
    dbgPrintf("uiIniSetup from appInit; INI from pgm name\n");
  }
  dbgPrintf("INI:%s\n", name.c_str());
  uiIniSetup(name.c_str(), static_cast<int32_t>(name.size()));

  std::string reserve = iniText("/Memory/Reserve", "128000");
  uSetReserveSize(reserve.c_str(), static_cast<int>(reserve.size()));
  uReserveRenew();
  // Drawing-file locks always succeed; the setting is read and kept nowhere.
  (void)iniText("/Defaults/FileLock", "OFF");

  return appCreateFrame(commandLine, show);
}

HWND appCreateFrame(const char*, int show) {
  char title[33];
  progInfoString(2, 32, title, "???");
  int width = GetSystemMetrics(SM_CXSCREEN);
  int height = GetSystemMetrics(SM_CYSCREEN);
  if (!equalsNoCase(iniText("/Defaults/Screen", "Default"), "FULL"))
    height -= GetSystemMetrics(SM_CYICON) + GetSystemMetrics(SM_CYCAPTION);
  HWND frame = CreateWindowExA(0, kFrameClass, title, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, width, height,
                               nullptr, nullptr, instanceHandle, nullptr);
  if (frame == nullptr) return nullptr;
  frameWindow = frame;
  ShowWindow(frame, show);
  UpdateWindow(frame);
  return frame;
}

HWND appCreateMdiClient(HWND frame, HINSTANCE instance) {
  CLIENTCREATESTRUCT create{};
  create.hWindowMenu = nullptr;
  create.idFirstChild = appMdiFirstChild;
  // Hidden until the first document class is registered.
  mdiClient = CreateWindowExA(0, "MDICLIENT", nullptr, WS_CHILD | WS_CLIPCHILDREN, 0, 0, 0, 0, frame,
                              reinterpret_cast<HMENU>(static_cast<intptr_t>(appMdiClientId)), instance, &create);
  return mdiClient;
}

void appDestroyWindows() {
  HWND client = mdiClient;
  HWND frame = frameWindow;
  mdiClient = nullptr;
  frameWindow = nullptr;
  if (client != nullptr && IsWindow(client)) DestroyWindow(client);
  if (frame != nullptr && IsWindow(frame)) DestroyWindow(frame);
  windowKinds.clear();
  documents.clear();
}

void appTerm() {
  appDestroyWindows();
  uReserveFree();
}

int appRun(int (*init)(), HINSTANCE instance, HINSTANCE, const char* commandLine, int show) {
  appInit(commandLine, show, appFrameHookNone, instance, nullptr);
  int answer = init != nullptr ? init() : 0;
  if (answer != 1) return answer;
  return evMainLoop();
}

void appCallAndExit(void (*routine)()) {
  if (routine != nullptr) routine();
  appTerm();
}

HWND uiGetFrameWindow(int which) { return which == 1 ? mdiClient : frameWindow; }
HWND uiGetFrame() { return frameWindow; }
HWND appGetFrameWindow() { return frameWindow; }
HINSTANCE appInstance() { return instanceHandle; }

HWND appCreateChild(const char* className, DWORD style, DWORD exStyle, const char* title, const RECT* rect,
                    int kind, LPVOID param) {
  HWND window = nullptr;
  if (kind == 2) {
    RECT box = rect != nullptr ? *rect : RECT{0, 0, 0, 0};
    window = CreateWindowExA(exStyle, className, title, style | WS_POPUP, box.left, box.top, box.right - box.left,
                             box.bottom - box.top, frameWindow, nullptr, instanceHandle, param);
  } else if (kind == 1 && mdiClient != nullptr) {
    BOOL maximized = FALSE;
    HWND active =
        reinterpret_cast<HWND>(SendMessageA(mdiClient, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&maximized)));
    if (active != nullptr) openMaximized = maximized != FALSE;
    MDICREATESTRUCTA create{};
    create.szClass = className;
    create.szTitle = title != nullptr ? title : "";
    create.hOwner = instanceHandle;
    if (openMaximized) {
      style |= WS_MAXIMIZE;
      create.x = create.y = create.cx = create.cy = CW_USEDEFAULT;
    } else {
      RECT client{0, 0, 0, 0};
      GetClientRect(mdiClient, &client);
      create.x = client.left;
      create.y = client.top;
      create.cx = client.right - client.left;
      create.cy = client.bottom - client.top;
    }
    create.style = style;
    create.lParam = reinterpret_cast<LPARAM>(param);
    window = reinterpret_cast<HWND>(SendMessageA(mdiClient, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&create)));
    if (window != nullptr) documents.push_back(window);
  }
  if (window != nullptr) windowKinds[window] = kind;
  return window;
}

HWND appCreateControl(HWND parent, const char* className, DWORD style, const char* title, const RECT* rect, int id,
                      LPVOID param) {
  RECT box = rect != nullptr ? *rect : RECT{0, 0, 0, 0};
  HWND window = CreateWindowExA(0, className, title, style | WS_CHILD | WS_CLIPSIBLINGS, box.left, box.top,
                                box.right - box.left, box.bottom - box.top, parent,
                                reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), instanceHandle, param);
  if (window != nullptr) {
    windowKinds[window] = 0;
    ShowWindow(window, SW_HIDE);
  }
  return window;
}

int appWindowKind(HWND window) {
  auto it = windowKinds.find(window);
  return it == windowKinds.end() ? 0 : it->second;
}

void appDestroyChild(HWND window) {
  if (window == nullptr) return;
  if (GetCapture() == window) ReleaseCapture();
  int kind = appWindowKind(window);
  forgetWindow(window);
  if (kind == 1 && mdiClient != nullptr)
    SendMessageA(mdiClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(window), 0);
  else
    DestroyWindow(window);
}

int appWindowCommand(HWND window, int command, const char* text, int length) {
  if (command == appCmdShow) {
    ShowWindow(window, SW_SHOWNA);
    return 0;
  }
  if (command == appCmdTitle) {
    int count = length < 0 ? 0 : length >= kTitleSize ? kTitleSize - 1 : length;
    if (count > 0 && text != nullptr) std::memcpy(titleBuffer, text, static_cast<size_t>(count));
    titleBuffer[count] = 0;
    SetWindowTextA(window, titleBuffer);
    return 0;
  }
  SendMessageA(window, static_cast<UINT>(command), static_cast<WPARAM>(length), reinterpret_cast<LPARAM>(text));
  return 1;
}

ATOM appRegisterClass(const WNDCLASSA* windowClass, int kind) {
  WNDCLASSA copy = *windowClass;
  copy.cbClsExtra = 4;
  ATOM atom = RegisterClassA(&copy);
  if (kind == 1 && mdiClient != nullptr) {
    // One document window made and destroyed at once settles the class;
    // the MDI client shows from the first document class on.
    HWND probe = appCreateChild(copy.lpszClassName, 0, 0, "", nullptr, 1, nullptr);
    if (probe != nullptr) appDestroyChild(probe);
    ShowWindow(mdiClient, SW_SHOW);
  }
  return atom;
}
