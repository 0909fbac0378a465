// The MDI client: creating, activating and destroying documents, and the
// frame's default handling of command ids.
#include "platform/fixture.h"

#include <vector>

namespace {

std::vector<std::pair<HWND, LPARAM>> activations;  // (child told, activated child)

LRESULT CALLBACK docProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_MDIACTIVATE) activations.push_back({h, l});
  return DefMDIChildProcA(h, m, w, l);
}

LRESULT CALLBACK frameProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }

class PlatformMdi : public PlatformTest {
 protected:
  HWND frame = nullptr;
  HWND client = nullptr;
  void makeClient(HANDLE windowMenu) {
    activations.clear();
    WNDCLASSA wc{};
    wc.lpfnWndProc = frameProc;
    wc.lpszClassName = "Frame";
    RegisterClassA(&wc);
    wc.lpfnWndProc = docProc;
    wc.lpszClassName = "Doc";
    RegisterClassA(&wc);
    frame = CreateWindowExA(0, "Frame", "f", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800, 600, nullptr, nullptr,
                            nullptr, nullptr);
    CLIENTCREATESTRUCT ccs{windowMenu, 4100};
    client = CreateWindowExA(0, "mdiclient", nullptr, WS_CHILD | WS_CLIPCHILDREN | WS_VISIBLE, 0, 0, 800, 600, frame,
                             reinterpret_cast<HMENU>(3244), nullptr, &ccs);
  }
  HWND newDoc(DWORD style = 0) {
    MDICREATESTRUCTA mcs{"Doc", "doc", nullptr, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, style, 0};
    return reinterpret_cast<HWND>(SendMessageA(client, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs)));
  }
  HWND active(BOOL* maximized = nullptr) {
    return reinterpret_cast<HWND>(SendMessageA(client, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(maximized)));
  }
};

TEST_F(PlatformMdi, DocumentsAreCreatedActivatedAndDestroyed) {
  makeClient(nullptr);
  ASSERT_NE(client, nullptr);
  HWND first = newDoc(WS_MAXIMIZE);
  ASSERT_NE(first, nullptr);
  BOOL maximized = FALSE;
  EXPECT_EQ(active(&maximized), first);
  EXPECT_TRUE(maximized);
  EXPECT_EQ(GetWindowLongA(first, GWL_ID), 4100);
  HWND second = newDoc();
  EXPECT_EQ(active(&maximized), second);
  EXPECT_TRUE(maximized);  // the maximized state passes to the new document
  EXPECT_FALSE(IsZoomed(first));
  ASSERT_FALSE(activations.empty());
  EXPECT_EQ(activations.back(), (std::pair<HWND, LPARAM>{second, reinterpret_cast<LPARAM>(second)}));

  SendMessageA(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(first), 0);
  EXPECT_EQ(active(), first);
  SendMessageA(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(first), 0);
  EXPECT_FALSE(IsWindow(first));
  EXPECT_EQ(active(), second);
  EXPECT_EQ(GetWindowLongA(second, GWL_ID), 4100);  // ids stay contiguous
  SendMessageA(second, WM_CLOSE, 0, 0);  // the child's default closes through the client
  EXPECT_FALSE(IsWindow(second));
  EXPECT_EQ(active(&maximized), nullptr);
  EXPECT_FALSE(maximized);
}

TEST_F(PlatformMdi, CommandIdsActivateDocumentsOnlyWithAWindowMenu) {
  struct Case {
    HANDLE windowMenu;
    bool activates;
  };
  for (const Case& c : {Case{nullptr, false}, Case{reinterpret_cast<HANDLE>(0x77), true}}) {
    plTestReset();
    makeClient(c.windowMenu);
    HWND first = newDoc();
    HWND second = newDoc();
    ASSERT_EQ(active(), second);
    // A menu command whose id equals the first document's number.
    DefFrameProcA(frame, client, WM_COMMAND, 4100, 0);
    EXPECT_EQ(active(), c.activates ? first : second);
  }
}

}  // namespace
