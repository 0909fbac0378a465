// pngprobe: checks pixels of a PNG against its corner pixel (taken as the
// background).
//
//   pngprobe FILE differ X Y [X Y ...]   each point differs from the corner
//   pngprobe FILE same X Y [X Y ...]     each point equals the corner
//   pngprobe FILE RRGGBB X Y [X Y ...]   each point has that colour (hex)
//
// Prints each point with its colour (RRGGBB) and the corner's; the exit
// status is 0 when every point passes, 1 when one does not, 2 for bad
// arguments or a file that cannot be read.
#include <platform_test.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

unsigned rgb(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5 || (argc - 3) % 2 != 0) {
    std::fprintf(stderr, "usage: pngprobe FILE differ|same|RRGGBB X Y [X Y ...]\n");
    return 2;
  }
  const bool differ = std::strcmp(argv[2], "differ") == 0;
  const bool same = std::strcmp(argv[2], "same") == 0;
  // A colour given as six hex digits.
  char* end = nullptr;
  const unsigned wanted = unsigned(std::strtoul(argv[2], &end, 16));
  const bool colour = !differ && !same && std::strlen(argv[2]) == 6 && end && *end == 0;
  if (!differ && !same && !colour) return 2;
  int width = 0, height = 0;
  std::vector<COLORREF> pixels;
  if (!plTestReadPng(argv[1], &width, &height, &pixels) || width <= 0 || height <= 0) {
    std::fprintf(stderr, "pngprobe: cannot read %s\n", argv[1]);
    return 2;
  }
  const COLORREF corner = pixels[0];
  int status = 0;
  for (int i = 3; i + 1 < argc; i += 2) {
    const int x = std::atoi(argv[i]), y = std::atoi(argv[i + 1]);
    if (x < 0 || y < 0 || x >= width || y >= height) {
      std::printf("%d %d outside %dx%d\n", x, y, width, height);
      status = 1;
      continue;
    }
    const COLORREF c = pixels[size_t(y) * size_t(width) + size_t(x)];
    const bool ok = colour ? rgb(c) == wanted : differ ? c != corner : c == corner;
    std::printf("%d %d %06X corner %06X %s\n", x, y, rgb(c), rgb(corner), ok ? "ok" : "FAIL");
    if (!ok) status = 1;
  }
  return status;
}
