// Window classes and windows in memory: creation and destruction messages,
// relations, extra bytes and fields, focus, text, and handles used after
// their window was destroyed.
#include "platform/fixture.h"

#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

struct Event {
  HWND hwnd;
  UINT msg;
  bool alive;  // IsWindow while the message was handled
};

struct CreateSeen {
  UINT msg;
  LPVOID params;
  std::string name;
  std::string cls;
  LONG style;
  HWND parent;
  HMENU menu;
  int x, y, cx, cy;
};

std::vector<Event> events;
std::vector<CreateSeen> creates;
LRESULT ncCreateAnswer = TRUE;
LRESULT createAnswer = 0;
bool destroySelfInCreate = false;
HWND destroyDuringDestroy = nullptr;  // destroyed from the next WM_DESTROY handled

// lpszClass is what the creator passed: a name, or an atom in the low 16 bits.
std::string className(LPCSTR cls) {
  if (reinterpret_cast<uintptr_t>(cls) <= 0xFFFF) return "#" + std::to_string(reinterpret_cast<uintptr_t>(cls));
  return cls;
}

LRESULT CALLBACK recordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  events.push_back({hwnd, msg, IsWindow(hwnd) != 0});
  switch (msg) {
    case WM_NCCREATE:
    case WM_CREATE: {
      const auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
      creates.push_back({msg, cs->lpCreateParams, cs->lpszName ? cs->lpszName : "", className(cs->lpszClass),
                         cs->style, cs->hwndParent, cs->hMenu, cs->x, cs->y, cs->cx, cs->cy});
      if (msg == WM_NCCREATE) {
        if (!ncCreateAnswer) return FALSE;
        break;
      }
      if (destroySelfInCreate) {
        DestroyWindow(hwnd);
        return 0;
      }
      return createAnswer;
    }
    case WM_DESTROY:
      if (destroyDuringDestroy) {
        HWND victim = destroyDuringDestroy;
        destroyDuringDestroy = nullptr;
        DestroyWindow(victim);
        DestroyWindow(hwnd);  // again, while already being destroyed
      }
      break;
    default:
      break;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

using Seq = std::vector<std::pair<HWND, UINT>>;

Seq sequence() {
  Seq seq;
  for (const Event& e : events) seq.emplace_back(e.hwnd, e.msg);
  return seq;
}

class PlatformWindow : public PlatformTest {
 protected:
  void SetUp() override {
    PlatformTest::SetUp();
    events.clear();
    creates.clear();
    ncCreateAnswer = TRUE;
    createAnswer = 0;
    destroySelfInCreate = false;
    destroyDuringDestroy = nullptr;
    WNDCLASSA wc{};
    wc.lpfnWndProc = recordingProc;
    wc.cbWndExtra = 12;
    wc.lpszClassName = "Recorder";
    atom = RegisterClassA(&wc);
    ASSERT_NE(atom, 0);
  }

  static HWND make(const char* name, DWORD style = 0, HWND parent = nullptr, intptr_t id = 0,
                   void* param = nullptr) {
    return CreateWindowExA(0, "Recorder", name, style, 1, 2, 30, 40, parent, reinterpret_cast<HMENU>(id),
                           GetModuleHandleA(nullptr), param);
  }

  ATOM atom = 0;
};

TEST_F(PlatformWindow, ClassesAreRegisteredOnceByNameWithoutCase) {
  char menu[] = "MainMenu";
  WNDCLASSA wc{};
  wc.lpfnWndProc = recordingProc;
  wc.cbWndExtra = 8;
  wc.lpszMenuName = menu;
  wc.lpszClassName = "FE_Window";
  ATOM feAtom = RegisterClassA(&wc);
  ASSERT_NE(feAtom, 0);
  EXPECT_NE(feAtom, atom);
  std::strcpy(menu, "Changed");  // the class keeps its own copy

  wc.lpszClassName = "fe_window";
  SetLastError(0);
  EXPECT_EQ(RegisterClassA(&wc), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS));

  WNDCLASSA info{};
  ASSERT_TRUE(GetClassInfoA(nullptr, "FE_WINDOW", &info));
  EXPECT_EQ(info.lpfnWndProc, recordingProc);
  EXPECT_EQ(info.cbWndExtra, 8);
  EXPECT_STREQ(info.lpszMenuName, "MainMenu");
  WNDCLASSA byAtom{};
  EXPECT_TRUE(GetClassInfoA(nullptr, MAKEINTATOM(feAtom), &byAtom));
  EXPECT_EQ(byAtom.cbWndExtra, 8);

  EXPECT_TRUE(UnregisterClassA("Fe_Window", nullptr));
  EXPECT_FALSE(UnregisterClassA("FE_Window", nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_DOES_NOT_EXIST));
  EXPECT_FALSE(GetClassInfoA(nullptr, "FE_Window", &info));
}

TEST_F(PlatformWindow, EditClassIsBuiltInAndStays) {
  WNDCLASSA info{};
  EXPECT_TRUE(GetClassInfoA(nullptr, "Edit", &info));
  EXPECT_NE(info.lpfnWndProc, nullptr);
  WNDCLASSA wc{};
  wc.lpfnWndProc = recordingProc;
  wc.lpszClassName = "edit";
  EXPECT_EQ(RegisterClassA(&wc), 0);
  EXPECT_FALSE(UnregisterClassA("EDIT", nullptr));
  EXPECT_TRUE(GetClassInfoA(nullptr, "EDIT", &info));
}

TEST_F(PlatformWindow, MalformedClassesAreRefused) {
  struct Case {
    const char* what;
    void (*spoil)(WNDCLASSA&);
  };
  const Case cases[] = {
      {"no procedure", [](WNDCLASSA& c) { c.lpfnWndProc = nullptr; }},
      {"no name", [](WNDCLASSA& c) { c.lpszClassName = nullptr; }},
      {"empty name", [](WNDCLASSA& c) { c.lpszClassName = ""; }},
      {"negative extra bytes", [](WNDCLASSA& c) { c.cbWndExtra = -4; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WNDCLASSA wc{};
    wc.lpfnWndProc = recordingProc;
    wc.lpszClassName = "Fresh";
    c.spoil(wc);
    SetLastError(0);
    EXPECT_EQ(RegisterClassA(&wc), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  }
  EXPECT_EQ(RegisterClassA(nullptr), 0);
}

TEST_F(PlatformWindow, ClassWithWindowsCannotBeUnregistered) {
  HWND w = make("w");
  ASSERT_NE(w, nullptr);
  EXPECT_FALSE(UnregisterClassA("Recorder", nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_HAS_WINDOWS));
  EXPECT_TRUE(DestroyWindow(w));
  EXPECT_TRUE(UnregisterClassA("Recorder", nullptr));
  EXPECT_EQ(make("w"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CANNOT_FIND_WND_CLASS));
}

TEST_F(PlatformWindow, CreationSendsNcCreateThenCreateWithTheCreateStruct) {
  int token = 0;
  HWND frame = make("Frame", WS_OVERLAPPEDWINDOW, nullptr, 0, &token);
  ASSERT_NE(frame, nullptr);
  // WM_NCCALCSIZE asks for the client rectangle between the two.
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(sequence(), (Seq{{frame, WM_NCCREATE}, {frame, WM_NCCALCSIZE}, {frame, WM_CREATE}}));
  EXPECT_TRUE(events[0].alive && events[2].alive);
  ASSERT_EQ(creates.size(), 2u);
  for (const CreateSeen& seen : creates) {
    EXPECT_EQ(seen.params, &token);
    EXPECT_EQ(seen.name, "Frame");
    EXPECT_EQ(seen.cls, "Recorder");
    EXPECT_EQ(seen.style, static_cast<LONG>(WS_OVERLAPPEDWINDOW));
    EXPECT_EQ(seen.parent, nullptr);
    EXPECT_EQ(seen.x, 1);
    EXPECT_EQ(seen.y, 2);
    EXPECT_EQ(seen.cx, 30);
    EXPECT_EQ(seen.cy, 40);
  }
  char text[16];
  EXPECT_EQ(GetWindowTextA(frame, text, sizeof text), 5);  // the name, stored by DefWindowProcA
  EXPECT_STREQ(text, "Frame");

  HWND child = make("Child", WS_CHILD | WS_VISIBLE, frame, 42);
  ASSERT_NE(child, nullptr);
  EXPECT_EQ(creates.back().parent, frame);
  EXPECT_EQ(creates.back().menu, reinterpret_cast<HMENU>(42));
  EXPECT_EQ(GetParent(child), frame);
  EXPECT_EQ(GetParent(frame), nullptr);
  EXPECT_EQ(GetWindowLongA(child, GWL_ID), 42);
  EXPECT_EQ(GetWindowLongA(child, GWL_STYLE), static_cast<LONG>(WS_CHILD | WS_VISIBLE));

  // A pop-up given a child as its parent is owned by the child's top-level window.
  HWND popup = make("Popup", WS_POPUP, child);
  EXPECT_EQ(GetParent(popup), frame);

  HWND byAtom = CreateWindowExA(0, MAKEINTATOM(atom), "a", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  EXPECT_NE(byAtom, nullptr);
  EXPECT_EQ(creates.back().cls, "#" + std::to_string(atom));
}

TEST_F(PlatformWindow, DestroyGoesParentFirstThenChildrenThenNcDestroy) {
  HWND frame = make("P");
  HWND first = make("C1", WS_CHILD, frame);
  HWND grandchild = make("G", WS_CHILD, first);
  HWND second = make("C2", WS_CHILD, frame);
  HWND owned = make("O", WS_POPUP, frame);
  events.clear();

  EXPECT_TRUE(DestroyWindow(frame));
  EXPECT_EQ(sequence(), (Seq{
                            {owned, WM_DESTROY},
                            {owned, WM_NCDESTROY},
                            {frame, WM_DESTROY},
                            {first, WM_DESTROY},
                            {grandchild, WM_DESTROY},
                            {grandchild, WM_NCDESTROY},
                            {first, WM_NCDESTROY},
                            {second, WM_DESTROY},
                            {second, WM_NCDESTROY},
                            {frame, WM_NCDESTROY},
                        }));
  for (const Event& e : events) EXPECT_TRUE(e.alive);
  for (HWND h : {frame, first, grandchild, second, owned}) EXPECT_FALSE(IsWindow(h));
}

TEST_F(PlatformWindow, DestroyingAgainFromWithinDestroyIsHarmless) {
  HWND frame = make("P");
  HWND first = make("C1", WS_CHILD, frame);
  HWND second = make("C2", WS_CHILD, frame);
  events.clear();
  destroyDuringDestroy = first;
  EXPECT_TRUE(DestroyWindow(frame));
  EXPECT_EQ(sequence(), (Seq{
                            {frame, WM_DESTROY},
                            {first, WM_DESTROY},
                            {first, WM_NCDESTROY},
                            {second, WM_DESTROY},
                            {second, WM_NCDESTROY},
                            {frame, WM_NCDESTROY},
                        }));
  EXPECT_TRUE(UnregisterClassA("Recorder", nullptr));  // nothing left behind
}

TEST_F(PlatformWindow, RefusedCreationAnswersNullAndLeavesNoWindow) {
  struct Case {
    const char* what;
    LRESULT ncCreate;
    LRESULT create;
    bool destroySelf;
    std::vector<UINT> messages;
  };
  const Case cases[] = {
      {"WM_NCCREATE answers FALSE", FALSE, 0, false, {WM_NCCREATE, WM_NCDESTROY}},
      {"WM_CREATE answers -1", TRUE, -1, false, {WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_DESTROY, WM_NCDESTROY}},
      {"destroyed during WM_CREATE", TRUE, 0, true,
       {WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_DESTROY, WM_NCDESTROY}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    events.clear();
    ncCreateAnswer = c.ncCreate;
    createAnswer = c.create;
    destroySelfInCreate = c.destroySelf;
    EXPECT_EQ(make("w"), nullptr);
    std::vector<UINT> seen;
    for (const Event& e : events) seen.push_back(e.msg);
    EXPECT_EQ(seen, c.messages);
    ASSERT_FALSE(events.empty());
    EXPECT_FALSE(IsWindow(events.front().hwnd));
  }
  EXPECT_TRUE(UnregisterClassA("Recorder", nullptr));
}

TEST_F(PlatformWindow, CreationIsRefusedBeforeAnyMessageForBadArguments) {
  HWND stale = make("stale");
  DestroyWindow(stale);
  events.clear();
  struct Case {
    const char* what;
    const char* cls;
    DWORD style;
    HWND parent;
    DWORD error;
  };
  const Case cases[] = {
      {"unknown class", "NoSuchClass", 0, nullptr, ERROR_CANNOT_FIND_WND_CLASS},
      {"child without a parent", "Recorder", WS_CHILD, nullptr, ERROR_TLW_WITH_WSCHILD},
      {"destroyed parent", "Recorder", WS_CHILD, stale, ERROR_INVALID_WINDOW_HANDLE},
      {"destroyed owner", "Recorder", WS_POPUP, stale, ERROR_INVALID_WINDOW_HANDLE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetLastError(0);
    EXPECT_EQ(CreateWindowExA(0, c.cls, "w", c.style, 0, 0, 0, 0, c.parent, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), c.error);
  }
  EXPECT_TRUE(events.empty());
}

TEST_F(PlatformWindow, ExtraBytesStartZeroedAndAreAddressedByByteOffset) {
  HWND w = make("w");
  for (int offset : {0, 4, 8}) EXPECT_EQ(GetWindowLongA(w, offset), 0);
  EXPECT_EQ(GetWindowLongPtrA(w, 4), 0);

  EXPECT_EQ(SetWindowLongA(w, 0, 0x11223344), 0);
  EXPECT_EQ(SetWindowLongA(w, 0, -5), 0x11223344);  // answers the old value
  EXPECT_EQ(GetWindowLongA(w, 0), -5);
  EXPECT_EQ(SetWindowLongPtrA(w, 4, static_cast<LONG_PTR>(0x0102030405060708)), 0);
  EXPECT_EQ(GetWindowLongPtrA(w, 4), static_cast<LONG_PTR>(0x0102030405060708));
  EXPECT_EQ(GetWindowLongA(w, 4), 0x05060708);  // the same bytes, read in halves
  EXPECT_EQ(GetWindowLongA(w, 8), 0x01020304);

  struct Case {
    bool pointer;
    int index;
  };
  const Case outside[] = {{false, 9}, {false, 12}, {false, -2}, {true, 5}, {true, 8}, {true, -100}};
  for (const Case& c : outside) {
    SCOPED_TRACE(testing::Message() << (c.pointer ? "Ptr " : "Long ") << c.index);
    SetLastError(0);
    if (c.pointer) {
      EXPECT_EQ(SetWindowLongPtrA(w, c.index, -1), 0);
      EXPECT_EQ(GetWindowLongPtrA(w, c.index), 0);
    } else {
      EXPECT_EQ(SetWindowLongA(w, c.index, -1), 0);
      EXPECT_EQ(GetWindowLongA(w, c.index), 0);
    }
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX));
  }
  // Nothing was written by the refused calls.
  EXPECT_EQ(GetWindowLongA(w, 0), -5);
  EXPECT_EQ(GetWindowLongPtrA(w, 4), static_cast<LONG_PTR>(0x0102030405060708));
}

WNDPROC previousProc = nullptr;

LRESULT CALLBACK subclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT answer = CallWindowProcA(previousProc, hwnd, msg, wParam, lParam);
  return msg == WM_USER ? answer + 1000 : answer;
}

TEST_F(PlatformWindow, FieldsAndSubclassing) {
  HWND w = make("w", WS_POPUP);
  int object = 0;
  EXPECT_EQ(SetWindowLongPtrA(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&object)), 0);
  EXPECT_EQ(GetWindowLongPtrA(w, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&object));  // a whole pointer
  EXPECT_EQ(SetWindowLongA(w, GWL_STYLE, WS_POPUP | WS_VISIBLE), static_cast<LONG>(WS_POPUP));
  EXPECT_EQ(GetWindowLongA(w, GWL_STYLE), static_cast<LONG>(WS_POPUP | WS_VISIBLE));
  EXPECT_EQ(SetWindowLongA(w, GWL_EXSTYLE, 0x100), 0);
  EXPECT_EQ(GetWindowLongA(w, GWL_EXSTYLE), 0x100);
  EXPECT_EQ(SetWindowLongA(w, GWL_ID, 7), 0);
  EXPECT_EQ(GetWindowLongA(w, GWL_ID), 7);
  EXPECT_EQ(GetWindowLongPtrA(w, GWLP_HINSTANCE), reinterpret_cast<LONG_PTR>(GetModuleHandleA(nullptr)));

  // A procedure does not fit 32 bits: the LONG forms refuse it.
  SetLastError(0);
  EXPECT_EQ(GetWindowLongA(w, GWL_WNDPROC), 0);
  EXPECT_EQ(SetWindowLongA(w, GWL_WNDPROC, 1), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX));
  EXPECT_EQ(GetWindowLongPtrA(w, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(recordingProc));

  previousProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(subclassProc)));
  EXPECT_EQ(previousProc, recordingProc);
  events.clear();
  EXPECT_EQ(SendMessageA(w, WM_USER, 0, 0), 1000);
  EXPECT_EQ(sequence(), (Seq{{w, WM_USER}}));  // reached the old procedure through the new one
  EXPECT_TRUE(SetWindowTextA(w, "via subclass"));
  char text[32];
  EXPECT_EQ(GetWindowTextA(w, text, sizeof text), 12);
}

TEST_F(PlatformWindow, DestroyedHandlesAnswerLikeInvalidOnes) {
  HWND frame = make("frame");
  HWND child = make("child", WS_CHILD, frame);
  DestroyWindow(frame);
  HWND forged = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x12345));
  events.clear();

  for (HWND h : {child, frame, forged}) {
    SCOPED_TRACE(testing::Message() << h);
    EXPECT_FALSE(IsWindow(h));
    SetLastError(0);
    EXPECT_EQ(SendMessageA(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("x")), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_EQ(DefWindowProcA(h, WM_GETTEXTLENGTH, 0, 0), 0);
    EXPECT_FALSE(DestroyWindow(h));
    EXPECT_EQ(GetParent(h), nullptr);
    EXPECT_EQ(SetFocus(h), nullptr);
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_EQ(GetWindowLongA(h, 0), 0);
    EXPECT_EQ(SetWindowLongA(h, 0, 5), 0);
    EXPECT_EQ(GetWindowLongPtrA(h, GWLP_USERDATA), 0);
    EXPECT_EQ(SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(subclassProc)), 0);
    char text[8] = "junk";
    EXPECT_EQ(GetWindowTextA(h, text, sizeof text), 0);
    EXPECT_STREQ(text, "");
    EXPECT_EQ(GetWindowTextLengthA(h), 0);
    EXPECT_FALSE(SetWindowTextA(h, "y"));
    EXPECT_EQ(make("orphan", WS_CHILD, h), nullptr);
  }
  EXPECT_TRUE(events.empty());

  // Later windows never take a dead window's handle.
  for (int i = 0; i < 10; ++i) {
    HWND fresh = make("fresh");
    EXPECT_NE(fresh, frame);
    EXPECT_NE(fresh, child);
  }
}

TEST_F(PlatformWindow, FocusMovesWithMessagesAndLeavesWithTheWindow) {
  HWND frame = make("frame");
  HWND child = make("child", WS_CHILD, frame);
  events.clear();
  EXPECT_EQ(SetFocus(child), nullptr);
  EXPECT_EQ(GetFocus(), child);
  EXPECT_EQ(SetFocus(frame), child);  // answers the previous focus
  EXPECT_EQ(sequence(), (Seq{{child, WM_SETFOCUS}, {child, WM_KILLFOCUS}, {frame, WM_SETFOCUS}}));
  EXPECT_EQ(SetFocus(frame), frame);  // already there: no messages
  EXPECT_EQ(events.size(), 3u);

  SetFocus(child);
  DestroyWindow(frame);  // the focus was inside it
  EXPECT_EQ(GetFocus(), nullptr);

  HWND other = make("other");
  SetFocus(other);
  EXPECT_EQ(SetFocus(nullptr), other);
  EXPECT_EQ(GetFocus(), nullptr);
}

TEST_F(PlatformWindow, TextCallsGoThroughTheProcedureAndCloseDestroys) {
  HWND w = make(nullptr);
  EXPECT_EQ(GetWindowTextLengthA(w), 0);
  EXPECT_TRUE(SetWindowTextA(w, "Hello world"));
  EXPECT_EQ(GetWindowTextLengthA(w), 11);
  char text[64];
  EXPECT_EQ(GetWindowTextA(w, text, 6), 5);
  EXPECT_STREQ(text, "Hello");
  EXPECT_EQ(GetWindowTextA(w, text, sizeof text), 11);
  EXPECT_STREQ(text, "Hello world");
  EXPECT_EQ(GetWindowTextA(w, text, 0), 0);
  EXPECT_TRUE(SetWindowTextA(w, nullptr));
  EXPECT_EQ(GetWindowTextLengthA(w), 0);

  events.clear();
  EXPECT_EQ(SendMessageA(w, WM_CLOSE, 0, 0), 0);
  EXPECT_FALSE(IsWindow(w));
  EXPECT_EQ(sequence(), (Seq{{w, WM_CLOSE}, {w, WM_DESTROY}, {w, WM_NCDESTROY}}));
}

}  // namespace
