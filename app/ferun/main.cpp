// ferun: runs FE script files (or texts given with -e) in the program's
// environment (a fresh interpreter with every module set-up that start-up
// runs, headless, without "draft.fe", "start" or a window), with the
// interpreter output on standard output (its "\r" line ends written as "\n").
//
//   ferun FILE...          runs each file in turn
//   ferun -e TEXT          runs the text; -e and files may be mixed
//   ferun --bare ...       the interpreter alone: no module set-ups
//
// Without --bare the runner also has the test stand-ins of standins.h.
//
// Every run goes through errorcheck: a file runs as "(FILE) run" does, read
// token by token from its stream, and a text as feRunString runs it. An
// error that no errordict handler takes prints its report and ends that
// run (a file that cannot be opened is reported as run's error); the next
// file still runs. The exit status is 1 when any report was printed, else
// 0. A script that calls quit ends the sequence after its own run.
#include "app/draft.h"
#include "app/ferun/standins.h"
#include "fe/error.h"
#include "fe/exec.h"
#include "fe/file.h"
#include "fe/init.h"
#include "fe/output.h"

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
  std::fprintf(stderr, "usage: ferun [--bare] FILE... | ferun [--bare] -e TEXT\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  int first = 1;
  const bool bare = argc > 1 && std::strcmp(argv[1], "--bare") == 0;
  if (bare) ++first;
  if (argc <= first) return usage();
  for (int i = first; i < argc; ++i)
    if (std::strcmp(argv[i], "-e") == 0 && ++i == argc) return usage();

  if (bare) feInitFresh();
  else {
    draftInitForScripts();
    standinsInit();
  }
  feSetOutHook(toStdout, nullptr);
  for (int i = first; i < argc; ++i) {
    if (std::strcmp(argv[i], "-e") == 0) feRunString(argv[++i]);
    else feRunFile(argv[i], std::strlen(argv[i]));
    std::fflush(stdout);
    // A script that ran quit has posted the quit message: stop there.
    MSG msg;
    if (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) break;
  }
  std::fflush(stdout);
  feSetOutHook(nullptr, nullptr);
  return feErrorReportCount() > 0 ? 1 : 0;
}
