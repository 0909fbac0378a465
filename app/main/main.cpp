// The Linux entry of the program: hands the command line (the arguments
// joined by blanks) to WinMain and ends with the quit message's exit code.
// Headless, the interpreter's output goes to standard output, its "\r" line
// ends written as "\n"; an error report made during start-up (the text that
// follows a new report's count, up to its line end) is copied to standard
// error. A failed start-up ends the program with status 1 unless the quit
// message carries another non-zero code. An abort that escapes WinMain's
// recovery point (one raised while the program closes, say) ends the program
// with a one-line report on standard error and status 3.
// When a display is available (DISPLAY set, PLUMET_HEADLESS unset, empty or
// "0") the windows are shown on it and the program runs until its frame is
// closed; otherwise it runs headless and ends when its input does.
#include "app/draft.h"
#include "app/plumet.h"
#include "core/abort.h"
#include "fe/error.h"
#include "fe/output.h"
#include "ui/mainloop.h"

#include <platform_display.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

namespace {

constexpr int kAbortStatus = 3;

uint32_t reportsSeen;
bool copyingReport;

void write(FILE* stream, const char* text, size_t length) {
  for (size_t i = 0; i < length; ++i) std::fputc(text[i] == '\r' ? '\n' : text[i], stream);
  std::fflush(stream);
}

void toStdout(void*, const char* text, size_t length) {
  // A report counts itself before printing: the output that follows a new
  // count is the report.
  const uint32_t reports = feErrorReportCount();
  if (reports != reportsSeen && draftStartingUp()) copyingReport = true;
  reportsSeen = reports;
  write(stdout, text, length);
  if (!copyingReport) return;
  write(stderr, text, length);
  if (std::memchr(text, '\r', length)) copyingReport = false;
}

}  // namespace

int main(int argc, char** argv) {
  std::string line;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) line += ' ';
    line += argv[i];
  }
  feSetOutHook(toStdout, nullptr);
  plUseDisplayIfAvailable();
  try {
    WinMain(nullptr, nullptr, line.data(), SW_SHOWNORMAL);
  } catch (const uAbortSignal& abortSignal) {
    std::fflush(stdout);
    std::fprintf(stderr, "plumet: ended by an abort (signal %d)\n", abortSignal.signal);
    return kAbortStatus;
  } catch (const std::bad_alloc&) {
    std::fflush(stdout);
    std::fprintf(stderr, "plumet: ended: out of memory\n");
    return kAbortStatus;
  }
  std::fflush(stdout);
  const int code = static_cast<int>(evQuitCode());
  return code == 0 && draftStartFailed() ? 1 : code;
}
