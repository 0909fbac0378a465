// ferun: runs FE script files (or texts given with -e) on a fresh
// interpreter, with the interpreter output on standard output (its "\r"
// line ends written as "\n").
//
//   ferun FILE...        runs each file in turn
//   ferun -e TEXT        runs the text; -e and files may be mixed
//
// Every run goes through errorcheck, as feRunString does: an error that no
// errordict handler takes prints its report and ends that file's run; the
// next file still runs. The exit status is 1 when any report was printed
// (or a file could not be read), else 0. A script that calls quit ends the
// sequence after its own run.
#include "fe/error.h"
#include "fe/exec.h"
#include "fe/init.h"
#include "fe/output.h"
#include "fe/strings.h"

#include <platform_test.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

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

// The text of a file, or false with a message on standard error.
bool readScript(const char* path, std::string* text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "ferun: %s: cannot open\n", path);
    return false;
  }
  text->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (in.bad()) {
    std::fprintf(stderr, "ferun: %s: read error\n", path);
    return false;
  }
  return true;
}

// The text runs as one executable string, which holds at most 65535 bytes and
// is passed terminated.
// TODO(files): once file values exist, a file runs as "(FILE) run" does, read
// from its stream, and these limits go away.
bool runnable(const char* what, const std::string& text) {
  if (text.size() > feStringMaxLength) {
    std::fprintf(stderr, "ferun: %s: longer than %d bytes\n", what, int(feStringMaxLength));
    return false;
  }
  if (std::memchr(text.data(), 0, text.size())) {
    std::fprintf(stderr, "ferun: %s: holds a NUL byte\n", what);
    return false;
  }
  return true;
}

int usage() {
  std::fprintf(stderr, "usage: ferun FILE... | ferun -e TEXT\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return usage();
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "-e") == 0 && ++i == argc) return usage();

  feInitFresh();
  feSetOutHook(toStdout, nullptr);
  bool failed = false;
  for (int i = 1; i < argc; ++i) {
    std::string text;
    const char* what = argv[i];
    if (std::strcmp(argv[i], "-e") == 0) {
      text = argv[++i];
      what = "-e";
    } else if (!readScript(argv[i], &text)) {
      failed = true;
      continue;
    }
    if (!runnable(what, text)) {
      failed = true;
      continue;
    }
    feRunString(text.c_str());
    std::fflush(stdout);
    if (plTestQuitPosted(nullptr)) break;
  }
  std::fflush(stdout);
  feSetOutHook(nullptr, nullptr);
  return failed || feErrorReportCount() > 0 ? 1 : 0;
}
