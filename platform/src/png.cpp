// PNG files through libpng: a surface (a window's client buffer, a bitmap, a
// printed page) written as 8-bit RGB, and PNG files read back into pixels
// for tests.
#include "gdi.h"

#include <platform_test.h>

#include <png.h>

#include <cstring>

namespace pl::gdi {
namespace {

// Writes rows of RGB bytes (3 per pixel, top row first).
bool writeRgb(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb) {
  if (width <= 0 || height <= 0) return false;
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_RGB;
  const bool ok = png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr) != 0;
  png_image_free(&image);
  return ok;
}

void putRgb(std::vector<uint8_t>& rgb, size_t i, uint8_t r, uint8_t g, uint8_t b) {
  rgb[3 * i] = r;
  rgb[3 * i + 1] = g;
  rgb[3 * i + 2] = b;
}

}  // namespace

bool writePng(const std::string& path, const Surface& surface) {
  std::vector<uint8_t> rgb(static_cast<size_t>(surface.width) * static_cast<size_t>(surface.height) * 3);
  size_t i = 0;
  for (int y = 0; y < surface.height; ++y)
    for (int x = 0; x < surface.width; ++x, ++i) {
      const uint32_t p = surface.get(x, y);  // 0x00RRGGBB
      putRgb(rgb, i, static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(p >> 8), static_cast<uint8_t>(p));
    }
  return writeRgb(path, surface.width, surface.height, rgb);
}

}  // namespace pl::gdi

using namespace pl::gdi;

bool plTestWritePng(const std::string& path, int width, int height, const std::vector<COLORREF>& pixels) {
  if (width <= 0 || height <= 0 || pixels.size() != static_cast<size_t>(width) * static_cast<size_t>(height))
    return false;
  std::vector<uint8_t> rgb(pixels.size() * 3);
  for (size_t i = 0; i < pixels.size(); ++i)
    putRgb(rgb, i, GetRValue(pixels[i]), GetGValue(pixels[i]), GetBValue(pixels[i]));
  return writeRgb(path, width, height, rgb);
}

bool plTestWriteWindowPng(HWND window, const std::string& path) {
  const Surface* s = windowSurface(window);
  return s && writePng(path, *s);
}

bool plTestWriteBitmapPng(HBITMAP bitmap, const std::string& path) {
  const Bitmap* b = findBitmap(bitmap);
  return b && writePng(path, b->surface);
}

// Any PNG is read as 8-bit RGB; libpng converts grey, palette, alpha (composed
// on black) and 16-bit images.
bool plTestReadPng(const std::string& path, int* width, int* height, std::vector<COLORREF>* pixels) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
  image.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
  const png_color black{0, 0, 0};
  if (!png_image_finish_read(&image, &black, rgb.data(), 0, nullptr)) {
    png_image_free(&image);
    return false;
  }
  const size_t count = static_cast<size_t>(image.width) * image.height;
  if (width) *width = static_cast<int>(image.width);
  if (height) *height = static_cast<int>(image.height);
  if (pixels) {
    pixels->resize(count);
    for (size_t i = 0; i < count; ++i) (*pixels)[i] = RGB(rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]);
  }
  return true;
}
