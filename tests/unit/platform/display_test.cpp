// The display backend's pieces that run without a display: the choice of
// backend, the image composed for a top-level window, and the keysym table.
#include "platform/fixture.h"

#include <platform_display.h>

#include <cstdlib>
#include <optional>
#include <string>

#ifdef PLUMET_X11
#include <X11/keysym.h>
#endif

namespace {

LRESULT CALLBACK plainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// Sets an environment variable for the life of the object, then puts back
// what was there.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) setenv(name, value, 1);
    else unsetenv(name);
  }
  ~ScopedEnv() {
    if (old_) setenv(name_, old_->c_str(), 1);
    else unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

class DisplayTest : public PlatformTest {
 protected:
  void SetUp() override {
    PlatformTest::SetUp();
    WNDCLASSA cls{};
    cls.lpfnWndProc = plainProc;
    cls.lpszClassName = "DisplayTestWindow";
    ASSERT_NE(RegisterClassA(&cls), 0);
  }

  HWND make(HWND parent, DWORD style, int x, int y, int w, int h) {
    return CreateWindowExA(0, "DisplayTestWindow", "", style, x, y, w, h, parent, nullptr, nullptr, nullptr);
  }

  // Fills a window's whole client buffer with one colour.
  static void fill(HWND window, COLORREF color) {
    HDC dc = GetDC(window);
    RECT all{};
    GetClientRect(window, &all);
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    ReleaseDC(window, dc);
  }

  // The composed image as rows of characters: '.' white, '#' black, 'r'
  // red, 'g' green, '?' anything else.
  static std::string picture(HWND top) {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels;
    if (!plTestComposeWindow(top, &width, &height, &pixels)) return "(none)";
    std::string out;
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        const COLORREF c = pixels[static_cast<size_t>(y * width + x)];
        out += c == RGB(255, 255, 255) ? '.' : c == RGB(0, 0, 0) ? '#' : c == RGB(255, 0, 0) ? 'r'
               : c == RGB(0, 255, 0) ? 'g' : '?';
      }
      out += '\n';
    }
    return out;
  }
};

// Whatever the environment says, a display that is absent, forced off or
// not named leaves the layer headless: a run still ends when its input does.
TEST_F(DisplayTest, StaysHeadlessWithoutAUsableDisplay) {
  struct Case {
    const char* display;
    const char* headless;
  };
  const Case cases[] = {
      {nullptr, nullptr},      // no display named
      {"", nullptr},           // named empty
      {":91", "1"},            // asked to run headless
      {":91", "yes"},          // any value but empty or 0 asks for it
      {":987654", nullptr},    // a display that does not exist
      {":987654", "0"},        // 0 does not ask for headless, but nothing opens
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("DISPLAY=") + (c.display ? c.display : "(unset)") +
                 " PLUMET_HEADLESS=" + (c.headless ? c.headless : "(unset)"));
    ScopedEnv display("DISPLAY", c.display);
    ScopedEnv headless("PLUMET_HEADLESS", c.headless);
    EXPECT_FALSE(plUseDisplayIfAvailable());
    EXPECT_FALSE(plDisplayActive());
    HWND frame = make(nullptr, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 50, 40);
    ASSERT_NE(frame, nullptr);
    MSG m{};
    while (GetMessageA(&m, nullptr, 0, 0)) DispatchMessageA(&m);
    EXPECT_EQ(m.message, static_cast<UINT>(WM_QUIT));
    DestroyWindow(frame);
  }
}

// Children are laid over the frame at their places, the topmost last, each
// clipped to its parent; hidden windows are left out.
TEST_F(DisplayTest, ComposesVisibleChildrenInZOrderClippedToTheirParents) {
  HWND frame = make(nullptr, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 12, 8);
  HWND black = make(frame, WS_CHILD | WS_VISIBLE, 1, 1, 6, 4);
  HWND red = make(frame, WS_CHILD | WS_VISIBLE, 4, 3, 6, 6);  // below the frame's bottom edge
  HWND green = make(black, WS_CHILD | WS_VISIBLE, 4, 2, 5, 5);  // beyond its parent's corner
  HWND hidden = make(frame, WS_CHILD, 0, 0, 12, 8);
  fill(black, RGB(0, 0, 0));
  fill(red, RGB(255, 0, 0));
  fill(green, RGB(0, 255, 0));
  fill(hidden, RGB(0, 0, 255));

  EXPECT_EQ(picture(frame),
            "............\n"
            ".######.....\n"
            ".######.....\n"
            ".###rrrrrr..\n"
            ".###rrrrrr..\n"
            "....rrrrrr..\n"
            "....rrrrrr..\n"
            "....rrrrrr..\n");

  // Raised above its sibling, the black window and its green child cover
  // the red one where they overlap.
  BringWindowToTop(black);
  EXPECT_EQ(picture(frame),
            "............\n"
            ".######.....\n"
            ".######.....\n"
            ".####ggrrr..\n"
            ".####ggrrr..\n"
            "....rrrrrr..\n"
            "....rrrrrr..\n"
            "....rrrrrr..\n");

  // The image is the window's own: a child has one as well, and an unknown
  // handle has none.
  EXPECT_EQ(picture(black),
            "######\n"
            "######\n"
            "####gg\n"
            "####gg\n");
  DestroyWindow(frame);
  EXPECT_EQ(picture(frame), "(none)");
}

// A window shown with nothing drawn yet shows white; one made larger keeps
// what it drew and shows white in the new part.
TEST_F(DisplayTest, ComposedImageFollowsTheWindowSize) {
  HWND frame = make(nullptr, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 3, 2);
  EXPECT_EQ(picture(frame), "...\n...\n");
  fill(frame, RGB(0, 0, 0));
  MoveWindow(frame, 0, 0, 4, 3, FALSE);
  EXPECT_EQ(picture(frame), "###.\n###.\n....\n");
}

#ifdef PLUMET_X11
// Keys arrive by their unshifted keysym; the virtual key is the one the
// same key makes on the headless queue.
TEST(DisplayKeys, KeysymsMapToVirtualKeys) {
  struct Case {
    unsigned long keysym;
    int vk;
  };
  const Case cases[] = {
      {XK_a, 'A'},           {XK_z, 'Z'},           {XK_A, 'A'},         {XK_0, '0'},
      {XK_9, '9'},           {XK_F1, VK_F1},        {XK_F10, VK_F10},    {XK_F12, VK_F12},
      {XK_Left, VK_LEFT},    {XK_Up, VK_UP},        {XK_Right, VK_RIGHT}, {XK_Down, VK_DOWN},
      {XK_Return, VK_RETURN}, {XK_KP_Enter, VK_RETURN}, {XK_Escape, VK_ESCAPE}, {XK_Tab, VK_TAB},
      {XK_ISO_Left_Tab, VK_TAB}, {XK_BackSpace, VK_BACK}, {XK_Delete, VK_DELETE}, {XK_space, VK_SPACE},
      {XK_Home, VK_HOME},    {XK_End, VK_END},      {XK_Prior, VK_PRIOR}, {XK_Next, VK_NEXT},
      {XK_Insert, VK_INSERT}, {XK_Shift_L, VK_SHIFT}, {XK_Shift_R, VK_SHIFT}, {XK_Control_L, VK_CONTROL},
      {XK_Control_R, VK_CONTROL}, {XK_Alt_L, VK_MENU}, {XK_Alt_R, VK_MENU}, {XK_KP_3, VK_NUMPAD0 + 3},
      {XK_KP_Add, VK_ADD},   {XK_comma, 0xBC},      {XK_period, 0xBE},   {XK_minus, 0xBD},
      {XK_Multi_key, 0},     {XK_eacute, 0},        {XK_F13, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.keysym);
    EXPECT_EQ(plTestVirtualKeyOfKeysym(c.keysym), c.vk);
  }
}
#endif

TEST(DisplayTiming, DoubleClickTimeIsHalfASecond) { EXPECT_EQ(GetDoubleClickTime(), 500u); }

}  // namespace
