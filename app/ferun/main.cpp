// ferun: runs FE script files (or texts given with -e) in the program's
// environment (a fresh interpreter with every module set-up that start-up
// runs, headless, without "draft.fe", "start" or a window), with the
// interpreter output on standard output (its "\r" line ends written as "\n").
//
//   ferun FILE...          runs each file in turn
//   ferun -e TEXT          runs the text; -e and files may be mixed
//   ferun --bare ...       the interpreter alone: no module set-ups
//   ferun --png OUT ...    with the frame window, so that documents get
//                          windows; after the runs the front document
//                          window's client area is written to OUT as PNG
//
// Without --bare the runner also has the test stand-ins of standins.h, and
// the script procedures the program runs by name and "draft.fe" defines
// ("aThermUpdate", "aNewWind", "aKillSheet", "aLoadPrefsHook") do nothing
// but take their argument until a script defines them.
//
// Every run goes through errorcheck: a file runs as "(FILE) run" does, read
// token by token from its stream, and a text as feRunString runs it. An
// error that no errordict handler takes prints its report and ends that
// run (a file that cannot be opened is reported as run's error); the next
// file still runs. The exit status is 1 when any report was printed, else
// 0. A script that calls quit ends the sequence after its own run.
#include "app/draft.h"
#include "app/ferun/standins.h"
#include "ui/app.h"
#include "ui/wind.h"
#include "views/current.h"
#include "fe/error.h"
#include "fe/exec.h"
#include "fe/file.h"
#include "fe/init.h"
#include "fe/output.h"

#include <platform_test.h>
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

// The interpreter ends its lines with "\r" (=, ==, stack, error reports);
// on standard output each becomes "\n".
void toStdout(void*, const char* text, size_t length) {
  size_t start = 0;
  for (size_t i = 0; i < length; ++i) {
    if (text[i] != '\r') continue;
    std::fwrite(text + start, 1, i - start, stdout);
    std::fputc('\n', stdout);
    start = i + 1;
  }
  std::fwrite(text + start, 1, length - start, stdout);
}

int usage() {
  std::fprintf(stderr, "usage: ferun [--bare] [--png OUT] FILE... | ferun [--bare] [--png OUT] -e TEXT\n");
  return 2;
}

// The procedures the program runs by name, each taking its argument, unless
// defined already.
const char kDefaults[] =
    "/aThermUpdate where { pop } { /aThermUpdate { pop } def } ifelse "
    "/aNewWind where { pop } { /aNewWind { pop } def } ifelse "
    "/aKillSheet where { pop } { /aKillSheet { pop } def } ifelse "
    "/aLoadPrefsHook where { pop } { /aLoadPrefsHook { pop } def } ifelse";

// The front document window: the active sheet's, else the newest document
// window.
HWND frontDocumentWindow() {
  if (HWND window = vwActiveSheetWindow()) return window;
  const windRecord* record = windCurrentDoc();
  return record ? record->native : nullptr;
}

// Writes the front document window's client area; false (with a message)
// when there is no such window or the file cannot be written.
bool writePng(const char* path) {
  HWND window = frontDocumentWindow();
  if (!window) {
    std::fprintf(stderr, "ferun: no document window for %s\n", path);
    return false;
  }
  UpdateWindow(window);
  if (plTestWriteWindowPng(window, path)) return true;
  std::fprintf(stderr, "ferun: cannot write %s\n", path);
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  int first = 1;
  const bool bare = argc > first && std::strcmp(argv[first], "--bare") == 0;
  if (bare) ++first;
  const char* png = nullptr;
  if (argc > first && std::strcmp(argv[first], "--png") == 0) {
    if (argc <= first + 1) return usage();
    png = argv[first + 1];
    first += 2;
  }
  if (argc <= first) return usage();
  for (int i = first; i < argc; ++i)
    if (std::strcmp(argv[i], "-e") == 0 && ++i == argc) return usage();

  // Document windows live in the frame's client area.
  if (png && !appInit("", SW_SHOW, appFrameHookNone, nullptr, nullptr)) {
    std::fprintf(stderr, "ferun: cannot make the frame window\n");
    return 2;
  }
  if (bare) feInitFresh();
  else {
    draftInitForScripts();
    standinsInit();
  }
  feSetOutHook(toStdout, nullptr);
  if (!bare) feRunString(kDefaults);
  for (int i = first; i < argc; ++i) {
    if (std::strcmp(argv[i], "-e") == 0) feRunString(argv[++i]);
    else feRunFile(argv[i], std::strlen(argv[i]));
    std::fflush(stdout);
    // A script that ran quit has posted the quit message: stop there.
    MSG msg;
    if (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) break;
  }
  std::fflush(stdout);
  const bool written = !png || writePng(png);
  // Documents are closed and the drawing layer let go, as the program does
  // when it ends.
  if (!bare) draftExit();
  feSetOutHook(nullptr, nullptr);
  return feErrorReportCount() > 0 || !written ? 1 : 0;
}
