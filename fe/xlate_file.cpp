// Translation files (read by aTransRun) and the template file named by
// aTranslateOpen (see xlate_ops.h).
#include "fe/xlate_ops.h"

#include "core/debug.h"
#include "core/files.h"
#include "core/xlate.h"
#include "fe/exec.h"
#include "fe/generic.h"
#include "fe/quit.h"
#include "fe/scanner.h"
#include "fe/strings.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct FileCloser {
  void operator()(FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<FILE, FileCloser>;

bool isBlank(int c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; }

// File names from scripts may separate directories with "\" or "/".
std::string fileName(const char* name) {
  std::string path(name ? name : "");
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

// One whole line without its line end (CR, LF or a pair of them); false at
// the end of the file.
bool readLine(FILE* file, std::string* line) {
  line->clear();
  char buffer[1024];
  bool any = false;
  while (uFileGets(buffer, sizeof buffer, file)) {
    any = true;
    line->append(buffer);
    if (!line->empty() && line->back() == '\n') {
      line->pop_back();
      break;
    }
  }
  return any;
}

void reportSyntaxError(int32_t lineNumber, bool expectedParenthesis) {
  if (expectedParenthesis) dbgPrintf("line %d: expected '('\n", lineNumber);
  else dbgPrintf("line %d: syntax error\n", lineNumber);
  const std::string number = std::to_string(lineNumber);
  uAlert(0, "SLine ^0: syntax error in translation table", number.c_str());
}

// A line of parenthesised strings (text begins after its first "("). The
// strings are read by the scanner, so nesting and escapes are those of script
// strings; exactly two make a pair.
void readPairLine(std::string_view text, int32_t lineNumber) {
  feObject source;
  if (feMakeString(&source, text.data(), text.size()) != 0) {
    reportSyntaxError(lineNumber, false);
    return;
  }
  std::vector<std::string> strings;
  bool malformed = false;
  bool expectedParenthesis = false;
  for (;;) {
    feObject string;
    if (feScanString(&source, feScanStringRaw, &string) != 0) {
      malformed = true;
      break;
    }
    uint8_t* bytes = nullptr;
    uint16_t length = 0;
    feStringData(&string, &bytes, &length);
    strings.emplace_back(reinterpret_cast<const char*>(bytes), length);
    feFree(&string);

    int ch = 0;
    int status;
    while ((status = feScanReadChar(&source, &ch)) == 0 && (isBlank(ch) || ch == '\n')) {}
    if (status != 0) break;  // the end of the line
    if (ch != '(') {
      expectedParenthesis = true;
      break;
    }
  }
  feFree(&source);

  if (expectedParenthesis || malformed || strings.size() != 2 ||
      xlateAddPair(strings[0].data(), uint32_t(strings[0].size()), strings[1].data(),
                   uint32_t(strings[1].size())) != 0) {
    reportSyntaxError(lineNumber, expectedParenthesis);
  }
}

// Whether the template writer is on the at-quit list.
bool writerRegistered = false;

void writeAtQuit() {
  // The quit list has taken the routine off: a later aTranslateOpen adds it again.
  writerRegistered = false;
  // A failed write leaves the earlier templates as they were; the user is told.
  if (!xlateWriteTemplates()) uAlert(0, "WThe translation templates ^0 could not be written", xlateTemplateName());
}

}  // namespace

int xlateRunFile(const char* name) {
  File file(std::fopen(fileName(name).c_str(), "r"));
  if (!file) return -1;
  std::string line;
  int32_t lineNumber = 0;
  while (readLine(file.get(), &line)) {
    ++lineNumber;
    size_t start = 0;
    while (start < line.size() && isBlank(line[start])) ++start;
    if (start == line.size()) continue;
    const std::string_view text = std::string_view(line).substr(start);
    switch (text[0]) {
      case '%':
      case '[':
      case ']':
        break;
      case '(':
        readPairLine(text.substr(1), lineNumber);
        break;
      default: {
        const std::string source(text);
        dbgPrintf("exec: %s\n", source);
        feRunString(source.c_str());
      }
    }
  }
  xlateLoaded();
  return 0;
}

int xlateOpenTemplate(const char* name) {
  const std::string path = fileName(name);
  xlateSetTemplateName(path.c_str());
  if (!writerRegistered) {
    feAtQuit(writeAtQuit);
    writerRegistered = true;
  }
  File probe(path.empty() ? nullptr : std::fopen(path.c_str(), "r"));
  if (!probe) {
    xlateSetTemplateName(nullptr);
    return -1;
  }
  return 0;
}
