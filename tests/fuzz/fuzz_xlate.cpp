// Fuzz target: the translation file reader. The input is read as a
// translation file (its script lines run in the bounded interpreter of
// fe_sandbox.h). Checked afterwards:
// - every source loaded translates to the translation of the last pair that
//   has it;
// - the language script the template writer makes reads back as a table
//   that translates every source (given once) to the same translation.
#include "fe_sandbox.h"
#include "scratch.h"

#include "core/xlate.h"
#include "core/xlate_internal.h"
#include "core/xlate_test.h"
#include "fe/init.h"
#include "fe/xlate_ops.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

namespace {

void check(bool condition, const char* what, const std::string& text = {}) {
  if (condition) return;
  std::fprintf(stderr, "translation fuzz: %s [%s]\n", what, text.c_str());
  std::abort();
}

int startInterpreter() {
  const int rc = feInitFresh();
  transInit();
  return rc;
}

struct Entry {
  std::string translation;  // of the last pair with the source
  int pairs = 0;
};

// The loaded pairs by source (texts as the pool holds them).
std::map<std::string, Entry> table() {
  std::map<std::string, Entry> out;
  const xlatePair* pairs = xlatePairTable();
  for (int32_t i = 0; i < xlatePairCount(); ++i) {
    Entry& e = out[xlatePoolText(pairs[i].source)];
    e.translation = xlatePoolText(pairs[i].translation);
    ++e.pairs;
  }
  return out;
}

std::string forward(const std::string& source, int* result) {
  const char* out = nullptr;
  *result = xlateStr(0, source.c_str(), &out);
  return out ? out : "";
}

// Runs a translation file within the interpreter's bounds; false when the
// run was abandoned.
bool readFile(const std::string& path) {
  int rc = -1;
  auto read = [&] { rc = xlateRunFile(path.c_str()); };
  return fuzzfe::sandboxRun(read) && rc == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzfe::sandboxStart(startInterpreter);
  xlateResetForTest();
  const std::string path = fuzzfs::writeScratchFile("input.lang", data, size);
  if (!readFile(path)) {
    xlateResetForTest();
    return 0;
  }

  const auto loaded = table();
  for (const auto& [source, entry] : loaded) {
    if (!source.empty() && source[0] == '@') continue;   // marked: never translated
    int result = 0;
    const std::string answer = forward(source, &result);
    check(result == 0, "a loaded source is not found", source);
    check(answer == entry.translation, "a source translates to another pair's text", source);
  }

  // The language script of the templates reads back as the same table.
  const std::string templ = fuzzfs::scratchDir() + "/template";
  xlateSetTemplateName(templ.c_str());
  check(xlateWriteTemplates(), "the templates cannot be written");
  xlateResetForTest();
  check(readFile(templ + ".fe"), "the language script cannot be read back");
  for (const auto& [source, entry] : loaded) {
    if (entry.pairs != 1 || (!source.empty() && source[0] == '@')) continue;
    int result = 0;
    const std::string answer = forward(source, &result);
    check(result == 0, "a source is lost in the language script", source);
    check(answer == entry.translation, "a pair reads back with another translation", source);
  }
  xlateResetForTest();
  return 0;
}
