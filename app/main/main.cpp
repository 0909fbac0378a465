// The Linux entry of the program: hands the command line (the arguments
// joined by blanks) to WinMain and ends with the quit message's exit code.
// Headless, the interpreter's output goes to standard output, its "\r" line
// ends written as "\n".
#include "app/plumet.h"
#include "fe/output.h"
#include "ui/mainloop.h"

#include <cstdio>
#include <string>

namespace {

void toStdout(void*, const char* text, size_t length) {
  for (size_t i = 0; i < length; ++i) std::fputc(text[i] == '\r' ? '\n' : text[i], stdout);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  std::string line;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) line += ' ';
    line += argv[i];
  }
  feSetOutHook(toStdout, nullptr);
  WinMain(nullptr, nullptr, line.data(), SW_SHOWNORMAL);
  std::fflush(stdout);
  return static_cast<int>(evQuitCode());
}
