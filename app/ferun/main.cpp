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
//   ferun --refuse-larger BYTES ...
//                          from the first run on, the program's allocator
//                          refuses every request larger than BYTES, as if
//                          memory had run out (to try the out-of-memory path)
//
// Without --bare the runner also has the test stand-ins of standins.h, and
// the script procedures the program runs by name and "draft.fe" defines
// ("aThermUpdate", "aNewWind", "aKillSheet", "aLoadPrefsHook",
// "aLocalizeTongueReq", "aLocalizeColorName", "aBuildLnFontNoUse",
// "aMenuShowPointsHook", "aMenuArrowHook", "aChackMakeHLRLayer",
// "aSetToHLRLayer") do nothing but take their arguments until a script
// defines them.
//
// Every run goes through errorcheck: a file runs as "(FILE) run" does, read
// token by token from its stream, and a text as feRunString runs it. An
// error that no errordict handler takes prints its report and ends that
// run (a file that cannot be opened is reported as run's error); the next
// file still runs. The exit status is 1 when any report was printed, else
// 0. A script that calls quit ends the sequence after its own run.
//
// A run abandoned by an abort (memory ran out, a request too large) that
// nothing in the scripts took ends the sequence: the runner reports it in
// one line on standard error, releases what the program releases when it
// ends, and exits with status 3. Later files do not run, since the state
// the abandoned run left is not one a script can count on.
#include "app/draft.h"
#include "core/abort.h"
#include "core/alloc_test.h"
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

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

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
  std::fprintf(stderr,
               "usage: ferun [--bare] [--png OUT] [--refuse-larger BYTES] FILE... | "
               "ferun [--bare] [--png OUT] [--refuse-larger BYTES] -e TEXT\n");
  return 2;
}

// --refuse-larger: the allocator's system call refuses requests above the
// limit.
size_t refuseLarger;
void* limitedRealloc(void* block, size_t size) { return size > refuseLarger ? nullptr : std::realloc(block, size); }

// Reads a whole decimal number of bytes; false when text is not one.
bool readBytes(const char* text, size_t* out) {
  if (!*text) return false;
  size_t value = 0;
  for (; *text; ++text) {
    if (*text < '0' || *text > '9' || value > (SIZE_MAX - 9) / 10) return false;
    value = value * 10 + size_t(*text - '0');
  }
  *out = value;
  return true;
}

// The procedures the program runs by name, each taking its argument, unless
// defined already.
const char kDefaults[] =
    "/aThermUpdate where { pop } { /aThermUpdate { pop } def } ifelse "
    "/aNewWind where { pop } { /aNewWind { pop } def } ifelse "
    "/aKillSheet where { pop } { /aKillSheet { pop } def } ifelse "
    "/aLoadPrefsHook where { pop } { /aLoadPrefsHook { pop } def } ifelse "
    "/aLocalizeTongueReq where { pop } { /aLocalizeTongueReq { pop } def } ifelse "
    "/aLocalizeColorName where { pop } { /aLocalizeColorName { } def } ifelse "
    "/aBuildLnFontNoUse where { pop } { /aBuildLnFontNoUse { } def } ifelse "
    "/aMenuShowPointsHook where { pop } { /aMenuShowPointsHook { pop } def } ifelse "
    "/aMenuArrowHook where { pop } { /aMenuArrowHook { pop pop } def } ifelse "
    "/aChackMakeHLRLayer where { pop } { /aChackMakeHLRLayer { } def } ifelse "
    "/aSetToHLRLayer where { pop } { /aSetToHLRLayer { } def } ifelse "
    "/onKey where { pop } { /onKey { pop pop } def } ifelse "
    "/onModifier where { pop } { /onModifier { } def } ifelse "
    "/aViewPopup where { pop } { /aViewPopup { } def } ifelse "
    "/aBug where { pop } { /aBug { } def } ifelse "
    "/aUpdate where { pop } { /aUpdate { } def } ifelse "
    "/aOnState where { pop } { /aOnState { } def } ifelse";

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

// The one-line report of an abort: "ferun: <what>: <reason>", or
// "ferun: <reason>" without what.
void reportAbort(const char* what, const char* reason) {
  if (what) std::fprintf(stderr, "ferun: %s: %s\n", what, reason);
  else std::fprintf(stderr, "ferun: %s\n", reason);
  std::fflush(stderr);
}

// Runs one argument (a file, or the text after -e); false when an abort
// abandoned it (reported).
bool runOne(const char* what, bool text) {
  try {
    if (text) feRunString(what);
    else feRunFile(what, std::strlen(what));
    return true;
  } catch (const uAbortSignal& abortSignal) {
    char reason[48];
    std::snprintf(reason, sizeof reason, "abandoned (abort signal %d)", abortSignal.signal);
    reportAbort(text ? "-e" : what, reason);
  } catch (const std::bad_alloc&) {
    reportAbort(text ? "-e" : what, "abandoned (out of memory)");
  }
  return false;
}

constexpr int kAbortStatus = 3;

int run(int argc, char** argv) {
  int first = 1;
  const bool bare = argc > first && std::strcmp(argv[first], "--bare") == 0;
  if (bare) ++first;
  const char* png = nullptr;
  if (argc > first && std::strcmp(argv[first], "--png") == 0) {
    if (argc <= first + 1) return usage();
    png = argv[first + 1];
    first += 2;
  }
  bool refusing = false;
  if (argc > first && std::strcmp(argv[first], "--refuse-larger") == 0) {
    if (argc <= first + 1 || !readBytes(argv[first + 1], &refuseLarger)) return usage();
    refusing = true;
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
  bool abandoned = !bare && !runOne(kDefaults, true);
  if (refusing) uSetSystemRealloc(limitedRealloc);
  for (int i = first; i < argc && !abandoned; ++i) {
    const bool text = std::strcmp(argv[i], "-e") == 0;
    if (text) ++i;
    abandoned = !runOne(argv[i], text);
    std::fflush(stdout);
    // A script that ran quit has posted the quit message: stop there.
    MSG msg;
    if (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) break;
  }
  std::fflush(stdout);
  const bool written = abandoned || !png || writePng(png);
  // Documents are closed and the drawing layer let go, as the program does
  // when it ends.
  uSetSystemRealloc(nullptr);
  if (!bare) draftExit();
  feSetOutHook(nullptr, nullptr);
  if (abandoned) return kAbortStatus;
  return feErrorReportCount() > 0 || !written ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  // An abort outside the runs (start-up, the release at the end) ends the
  // runner as well, reported the same way.
  try {
    return run(argc, argv);
  } catch (const uAbortSignal& abortSignal) {
    char reason[48];
    std::snprintf(reason, sizeof reason, "ended (abort signal %d)", abortSignal.signal);
    reportAbort(nullptr, reason);
  } catch (const std::bad_alloc&) {
    reportAbort(nullptr, "ended (out of memory)");
  }
  std::fflush(stdout);
  return kAbortStatus;
}
