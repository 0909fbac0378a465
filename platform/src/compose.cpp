// Composition of a top-level window's image from the client buffers of it
// and its children (the display shows it; tests read it headless).
#include "compose.h"

#include "layer.h"
#include "window_table.h"

#include <platform_test.h>

#include <algorithm>

namespace pl {
namespace {

// Copies window's buffer, then its visible children's, into out with the
// window's client origin at (x, y); nothing lands outside clip (out's
// coordinates).
void composeInto(HWND window, int x, int y, RECT clip, gdi::Surface& out) {
  const gdi::Surface* own = gdi::windowSurface(window);
  if (!own) return;
  clip = gdi::intersect(clip, RECT{x, y, x + own->width, y + own->height});
  if (gdi::isEmpty(clip)) return;
  for (int row = clip.top; row < clip.bottom; ++row) {
    const uint32_t* from = own->row(row - y) + (clip.left - x);
    std::copy(from, from + (clip.right - clip.left), out.row(row) + clip.left);
  }
  const Window* w = findWindow(window);
  if (!w) return;
  std::vector<HWND> children = w->children;
  // Lowest first, so that the topmost child is drawn last.
  std::stable_sort(children.begin(), children.end(), [](HWND a, HWND b) {
    const Window* wa = findWindow(a);
    const Window* wb = findWindow(b);
    return (wa ? wa->zOrder : 0) < (wb ? wb->zOrder : 0);
  });
  for (HWND child : children) {
    const Window* c = findWindow(child);
    if (!c || !(c->style & WS_VISIBLE)) continue;
    composeInto(child, x + c->client.left, y + c->client.top, clip, out);
  }
}

}  // namespace

bool composeWindow(HWND window, gdi::Surface& out) {
  const Window* w = findWindow(window);
  if (!w) return false;
  const int width = std::max(0, static_cast<int>(w->rect.right - w->rect.left));
  const int height = std::max(0, static_cast<int>(w->rect.bottom - w->rect.top));
  out.bottomUp = false;
  out.bitsPerPixel = 32;
  out.resize(width, height, 0xFFFFFF);
  // The image covers the whole window; the client buffer sits at the client
  // rectangle's place in it.
  composeInto(window, w->client.left - w->rect.left, w->client.top - w->rect.top, RECT{0, 0, width, height}, out);
  return true;
}

}  // namespace pl

bool plTestComposeWindow(HWND window, int* width, int* height, std::vector<COLORREF>* pixels) {
  pl::gdi::Surface image;
  if (!pl::composeWindow(window, image)) return false;
  if (width) *width = image.width;
  if (height) *height = image.height;
  if (pixels) {
    pixels->clear();
    pixels->reserve(image.storage.size());
    for (int y = 0; y < image.height; ++y)
      for (int x = 0; x < image.width; ++x) pixels->push_back(pl::gdi::toColorRef(image.get(x, y)));
  }
  return true;
}
