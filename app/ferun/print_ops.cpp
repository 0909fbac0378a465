// The runner's printing operators: scripts answer the print dialog ahead of
// time and list what the virtual printer printed.
#include "app/ferun/standins.h"

#include "core/errors.h"
#include "fe/opcall.h"
#include "fe/operator.h"
#include "fe/output.h"

#include <platform_test.h>
#include <windows.h>

#include <filesystem>
#include <string>

namespace {

// [from to copies dpi] or [from to copies dpi paper]: accept; []: cancel;
// [code]: fail with that extended error code.
int printAnswer(feArgs* args) {
  const int32_t count = args->in[0].list.count;
  const auto* items = static_cast<const int32_t*>(args->in[0].list.items);
  PlPrintAnswer answer;
  if (count == 0) {
    answer.kind = PlPrintAnswer::Cancel;
  } else if (count == 1) {
    if (items[0] <= 0) return feErrRangeCheck;
    answer.kind = PlPrintAnswer::Fail;
    answer.error = static_cast<DWORD>(items[0]);
  } else if (count == 4 || count == 5) {
    for (int32_t i = 0; i < count; ++i)
      if (items[i] < 0) return feErrRangeCheck;
    answer.fromPage = items[0];
    answer.toPage = items[1];
    answer.copies = items[2];
    answer.dpi = items[3];
    answer.paper = count == 5 ? items[4] : 0;
  } else {
    return feErrRangeCheck;
  }
  plTestQueuePrintAnswer(answer);
  return 0;
}

void say(const std::string& text) {
  const std::string line = text + "\n";
  feOutWrite(line.data(), line.size());
}

// One line per job, then one per page it ended.
int pages(feArgs*) {
  for (const PlPrintJob& job : plTestPrintJobs()) {
    const char* state = job.ended ? "printed" : job.cancelled ? "cancelled" : "open";
    say("[job] " + job.docName + " " + state + " " + std::to_string(job.pages.size()) + " pages");
    for (const PlPrintedPage& page : job.pages) {
      const std::string file = page.file.empty() ? "-" : std::filesystem::path(page.file).filename().string();
      say("[page] " + file + " " + std::to_string(page.width) + "x" + std::to_string(page.height) + " " +
          std::to_string(page.dpi) + "dpi" + (page.monochrome ? " mono" : ""));
    }
  }
  return 0;
}

}  // namespace

void standinsPrintInit() {
  feRegisterOp("tPrintAnswer", printAnswer, "AI", 0, 0);
  feRegisterOp("tPages", pages, "", 0, 0);
}
