// The built-in EDIT control.
#include "platform/fixture.h"

#include <string>
#include <vector>

namespace {

class PlatformEdit : public PlatformTest {
 protected:
  static HWND makeEdit(const char* text, DWORD style = ES_MULTILINE, HWND parent = nullptr) {
    return CreateWindowExA(0, "EDIT", text, style | (parent ? WS_CHILD : 0), 0, 0, 100, 100, parent, nullptr,
                           nullptr, nullptr);
  }

  static std::string textOf(HWND edit) {
    std::string text(static_cast<size_t>(GetWindowTextLengthA(edit)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(edit, text.data(), static_cast<int>(text.size()))));
    return text;
  }

  static std::pair<DWORD, DWORD> selectionOf(HWND edit) {
    DWORD from = 99, to = 99;
    LRESULT packed = SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    EXPECT_EQ(LOWORD(packed), from);
    EXPECT_EQ(HIWORD(packed), to);
    return {from, to};
  }
};

// What the program's log window does: an "FE_Window" parent holding an EDIT
// child in its first extra word; each piece of text is a selection
// replacement and each line end an Enter character.
TEST_F(PlatformEdit, LogWindowSequenceBuildsCrLfLines) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.cbWndExtra = sizeof(LONG_PTR);
  wc.lpszClassName = "FE_Window";
  ASSERT_NE(RegisterClassA(&wc), 0);
  HWND window = CreateWindowExA(0, "FE_Window", "FE_Window", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 480,
                                320, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  HWND control = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_LEFT | ES_MULTILINE |
                                 ES_AUTOVSCROLL, 0, 0, 480, 320, window, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(control, nullptr);
  SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(control));

  const std::vector<const char*> pieces = {"[debug.c] Info: ", "started", "\n", "second line", "\n", "\n", "tail"};
  for (const char* piece : pieces) {
    if (std::string(piece) == "\n")
      SendMessageA(control, WM_CHAR, 13, 0);
    else
      SendMessageA(control, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(piece));
  }
  const std::string expected = "[debug.c] Info: started\r\nsecond line\r\n\r\ntail";
  EXPECT_EQ(textOf(control), expected);
  EXPECT_EQ(selectionOf(control), std::make_pair(DWORD(expected.size()), DWORD(expected.size())));

  // Shut-down: the control found through the extra word, then the window and its class.
  HWND kept = reinterpret_cast<HWND>(GetWindowLongPtrA(window, 0));
  EXPECT_EQ(kept, control);
  EXPECT_TRUE(DestroyWindow(kept));
  EXPECT_TRUE(DestroyWindow(window));
  EXPECT_TRUE(UnregisterClassA("FE_Window", GetModuleHandleA(nullptr)));
}

TEST_F(PlatformEdit, SelectionThenReplacement) {
  struct Case {
    const char* what;
    std::vector<std::pair<int, int>> selections;  // EM_SETSEL calls in order
    std::pair<DWORD, DWORD> selected;            // EM_GETSEL after them
    const char* result;                          // after replacing the selection with "X"
  };
  const Case cases[] = {
      {"first word", {{0, 5}}, {0, 5}, "X world"},
      {"to the end with -1", {{6, -1}}, {6, 11}, "Hello X"},
      {"everything", {{0, -1}}, {0, 11}, "X"},
      {"backwards", {{5, 0}}, {0, 5}, "X world"},
      {"past the end", {{20, 30}}, {11, 11}, "Hello worldX"},
      {"start -1 drops the selection at the caret", {{0, 5}, {-1, 0}}, {5, 5}, "HelloX world"},
      {"caret only", {{5, 5}}, {5, 5}, "HelloX world"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    HWND edit = makeEdit("Hello world");
    for (auto [start, end] : c.selections)
      SendMessageA(edit, EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
    EXPECT_EQ(selectionOf(edit), c.selected);
    SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("X"));
    EXPECT_EQ(textOf(edit), c.result);
    DWORD caret = c.selected.first + 1;  // just after the inserted text
    EXPECT_EQ(selectionOf(edit), std::make_pair(caret, caret));
    DestroyWindow(edit);
  }
}

TEST_F(PlatformEdit, TypedCharacters) {
  struct Case {
    const char* what;
    DWORD style;
    std::pair<int, int> selection;
    std::vector<WPARAM> chars;
    const char* result;
  };
  const Case cases[] = {
      {"letters at the caret", ES_MULTILINE, {2, 2}, {'x', 'y'}, "abxycd"},
      {"a letter replaces the selection", ES_MULTILINE, {1, 3}, {'Z'}, "aZd"},
      {"Enter in a multi-line control", ES_MULTILINE, {2, 2}, {13}, "ab\r\ncd"},
      {"Enter in a single-line control", 0, {2, 2}, {13}, "abcd"},
      {"Backspace", ES_MULTILINE, {2, 2}, {8}, "acd"},
      {"Backspace at the start", ES_MULTILINE, {0, 0}, {8}, "abcd"},
      {"Backspace removes a selection", ES_MULTILINE, {0, 3}, {8}, "d"},
      {"Backspace takes a line break whole", ES_MULTILINE, {2, 2}, {13, 8}, "abcd"},
      {"Tab in a multi-line control", ES_MULTILINE, {4, 4}, {9}, "abcd\t"},
      {"other control characters", ES_MULTILINE, {0, 0}, {1, 3, 22, 27, 127}, "abcd"},
      {"read-only", ES_MULTILINE | ES_READONLY, {0, 0}, {'x', 13, 8}, "abcd"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    HWND edit = makeEdit("abcd", c.style);
    SendMessageA(edit, EM_SETSEL, static_cast<WPARAM>(c.selection.first), static_cast<LPARAM>(c.selection.second));
    for (WPARAM ch : c.chars) SendMessageA(edit, WM_CHAR, ch, 0);
    EXPECT_EQ(textOf(edit), c.result);
    DestroyWindow(edit);
  }
}

TEST_F(PlatformEdit, SetTextReplacesEverythingAndPutsTheCaretFirst) {
  HWND edit = makeEdit("initial");
  EXPECT_EQ(textOf(edit), "initial");
  SendMessageA(edit, EM_SETSEL, 0, -1);
  EXPECT_TRUE(SetWindowTextA(edit, "new"));
  EXPECT_EQ(textOf(edit), "new");
  EXPECT_EQ(selectionOf(edit), std::make_pair(DWORD(0), DWORD(0)));
  SendMessageA(edit, WM_CHAR, '>', 0);
  EXPECT_EQ(textOf(edit), ">new");

  // Even when a subclass hands WM_SETTEXT straight to DefWindowProcA, the
  // selection stays inside the shorter text.
  SendMessageA(edit, EM_SETSEL, 0, -1);
  DefWindowProcA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("ab"));
  EXPECT_EQ(selectionOf(edit), std::make_pair(DWORD(0), DWORD(2)));
  SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>("z"));
  EXPECT_EQ(textOf(edit), "z");
}

TEST_F(PlatformEdit, ControlIsAChildOfItsParentAndGoesWithIt) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.lpszClassName = "Holder";
  ASSERT_NE(RegisterClassA(&wc), 0);
  HWND holder = CreateWindowExA(0, "Holder", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  HWND edit = makeEdit("text", ES_MULTILINE, holder);
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(GetParent(edit), holder);
  SetFocus(edit);
  DestroyWindow(holder);
  EXPECT_FALSE(IsWindow(edit));
  EXPECT_EQ(GetFocus(), nullptr);
  EXPECT_EQ(SendMessageA(edit, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>("late")), 0);
}

}  // namespace
