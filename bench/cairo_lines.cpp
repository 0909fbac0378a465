// Reference times for the drawing workload of bench/draw.sh, outside the
// program:
//
//   cairo_lines draw N WIDTH HEIGHT [REPS]
//     draws the N grid lines that bench/draw_scripts/make.fe makes (the
//     same cells, the same order) with Cairo into a WIDTH x HEIGHT image
//     surface: the surface cleared to white, the grid fitted to it keeping
//     its aspect, 1-pixel black lines without antialiasing. Prints
//     "cairo_ms T", the mean milliseconds of one drawing with a stroke for
//     each line (as a drawing program strokes object by object), and
//     "cairo_path_ms T" for the same lines stroked as one path.
//   cairo_lines read FILE [REPS]
//     reads the file's bytes into memory and prints "read_ms T", the mean
//     milliseconds of one whole read: the floor under any reader of the file.
//
// REPS (default 1) repeats the work to average out the clock's grain.
// Built by the Makefile's bench target only (it needs libcairo2-dev).

#include <cairo.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

double nowMs() {
  using namespace std::chrono;
  return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

struct Segment {
  double x0, y0, x1, y1;
};

// Line i lies in cell i / 2 of rows w cells wide: an even i is the cell's
// lower edge, an odd i its left edge (as bench/draw_scripts/make.fe makes
// them).
std::vector<Segment> gridLines(long n, long* widthOut, long* rowsOut) {
  const long w = long(std::ceil(std::sqrt(double(n) / 2)));
  std::vector<Segment> lines;
  lines.reserve(size_t(n));
  for (long i = 0; i < n; ++i) {
    const long c = i / 2;
    const double x = double(c % w), y = double(c / w);
    if (i % 2 == 0) lines.push_back({x, y, x + 1, y});
    else lines.push_back({x, y, x, y + 1});
  }
  *widthOut = w;
  *rowsOut = (n + 2 * w - 1) / (2 * w);
  return lines;
}

int drawMode(long n, int width, int height, int reps) {
  long w = 0, rows = 0;
  const std::vector<Segment> lines = gridLines(n, &w, &rows);
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
  cairo_t* cr = cairo_create(surface);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  cairo_set_line_width(cr, 1.0);
  // The grid's extents fill the surface keeping their aspect, y upwards,
  // centred; each point lands on a pixel centre.
  const double scale = std::min(double(width - 1) / double(w), double(height - 1) / double(rows));
  const double ox = (width - scale * double(w)) / 2, oy = (height + scale * double(rows)) / 2;
  auto px = [&](double x) { return std::floor(ox + scale * x) + 0.5; };
  auto py = [&](double y) { return std::floor(oy - scale * y) + 0.5; };

  auto clear = [&] {
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_set_source_rgb(cr, 0, 0, 0);
  };

  // The milliseconds of one drawing of every line: a stroke per line, or
  // one stroke of them all as a path.
  auto drawAll = [&](bool strokeEach) {
    const double t0 = nowMs();
    clear();
    for (const Segment& s : lines) {
      cairo_move_to(cr, px(s.x0), py(s.y0));
      cairo_line_to(cr, px(s.x1), py(s.y1));
      if (strokeEach) cairo_stroke(cr);
    }
    if (!strokeEach) cairo_stroke(cr);
    cairo_surface_flush(surface);
    return nowMs() - t0;
  };

  double each = 0, path = 0;
  for (int r = 0; r < reps; ++r) {
    each += drawAll(true);
    path += drawAll(false);
  }
  if (cairo_status(cr) != CAIRO_STATUS_SUCCESS) {
    std::fprintf(stderr, "cairo_lines: %s\n", cairo_status_to_string(cairo_status(cr)));
    return 1;
  }
  // A pixel is read back so that the drawing cannot be left out.
  cairo_surface_flush(surface);
  const unsigned char* data = cairo_image_surface_get_data(surface);
  volatile unsigned sink = data ? data[0] : 0;
  (void)sink;
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
  std::printf("cairo_ms %.3f\ncairo_path_ms %.3f\n", each / reps, path / reps);
  return 0;
}

int readMode(const char* name, int reps) {
  std::vector<char> buffer(1 << 20);
  double total = 0;
  unsigned long sum = 0;
  for (int r = 0; r < reps; ++r) {
    const double t0 = nowMs();
    std::FILE* f = std::fopen(name, "rb");
    if (!f) {
      std::perror(name);
      return 1;
    }
    size_t got;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), f)) > 0) sum += (unsigned char)buffer[got - 1];
    std::fclose(f);
    total += nowMs() - t0;
  }
  volatile unsigned long sink = sum;
  (void)sink;
  std::printf("read_ms %.3f\n", total / reps);
  return 0;
}

int usage() {
  std::fprintf(stderr, "usage: cairo_lines draw N WIDTH HEIGHT [REPS] | cairo_lines read FILE [REPS]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 5 && std::strcmp(argv[1], "draw") == 0) {
    const long n = std::atol(argv[2]);
    const int width = std::atoi(argv[3]), height = std::atoi(argv[4]);
    const int reps = argc > 5 ? std::max(1, std::atoi(argv[5])) : 1;
    if (n < 1 || width < 2 || height < 2) return usage();
    return drawMode(n, width, height, reps);
  }
  if (argc >= 3 && std::strcmp(argv[1], "read") == 0) {
    const int reps = argc > 3 ? std::max(1, std::atoi(argv[3])) : 1;
    return readMode(argv[2], reps);
  }
  return usage();
}
