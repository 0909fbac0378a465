// Translation files (read by aTransRun) and the templates written at quit for
// a translator (see xlate.h).
#include "core/xlate.h"

#include "core/debug.h"
#include "core/files.h"
#include "core/xlate_internal.h"
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

// A text inside the parentheses of a script string, written so that the
// scanner reads it back as the same text: backslashes and line ends escaped,
// and parentheses too when they do not pair up.
std::string scriptString(std::string_view text) {
  int depth = 0;
  bool balanced = true;
  for (char c : text) {
    if (c == '(') ++depth;
    else if (c == ')' && --depth < 0) balanced = false;
  }
  balanced = balanced && depth == 0;
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      case '(': out += balanced ? "(" : "\\("; break;
      case ')': out += balanced ? ")" : "\\)"; break;
      default: out += c;
    }
  }
  return out;
}

// A missing text on a line of its own: only its line ends are escaped.
std::string plainLine(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '\r') out += "\\r";
    else if (c == '\n') out += "\\n";
    else out += c;
  }
  return out;
}

struct TemplateState {
  std::string name;          // empty: no template file
  bool writerRegistered = false;
};

TemplateState& templateState() {
  static TemplateState state;
  return state;
}

void writeAtQuit() {
  // The quit list has taken the routine off: a later aTranslateOpen adds it again.
  templateState().writerRegistered = false;
  xlateWriteTemplates();
}

bool writeText(FILE* file, const std::string& text) {
  return std::fwrite(text.data(), 1, text.size(), file) == text.size();
}

// The pairs whose used flag is the one asked for, chain by chain in the hash
// order of their sources.
std::string pairLines(bool used) {
  std::string out;
  const xlatePair* pairs = xlatePairTable();
  for (int chain = 0; chain < xlateChains; ++chain) {
    for (uint32_t i = xlateSourceChain(chain); i != xlateNoEntry; i = pairs[i].nextSource) {
      if ((pairs[i].used != 0) != used) continue;
      out += "\t(" + scriptString(xlatePoolText(pairs[i].source)) + ")";
      out += "\t(" + scriptString(xlatePoolText(pairs[i].translation)) + ")\n";
    }
  }
  return out;
}

}  // namespace

void xlateResetTemplate() { templateState().name.clear(); }

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
  TemplateState& state = templateState();
  state.name = fileName(name);
  if (!state.writerRegistered) {
    feAtQuit(writeAtQuit);
    state.writerRegistered = true;
  }
  File probe(state.name.empty() ? nullptr : std::fopen(state.name.c_str(), "r"));
  if (!probe) {
    state.name.clear();
    return -1;
  }
  return 0;
}

void xlateWriteTemplates() {
  const std::string& name = templateState().name;
  if (name.empty()) return;

  if (File missingFile{std::fopen(name.c_str(), "wb")}) {
    for (int32_t i = 0; i < xlateMissingCount(); ++i) {
      uint32_t length = 0;
      const char* text = xlateMissingText(i, &length);
      if (!writeText(missingFile.get(), plainLine(std::string_view(text, length)) + "\n")) break;
    }
  }

  xlateRebuild();
  std::string script = "/aLanguage (XXX) def\n/aHelpFont (Monaco.9) def\n[\n";
  for (int32_t i = 0; i < xlateMissingCount(); ++i) {
    uint32_t length = 0;
    const char* text = xlateMissingText(i, &length);
    const std::string_view whole(text, length);
    if (whole.find(".fe") != std::string_view::npos) continue;
    script += "\t%\t(" + scriptString(whole) + ")\t(XXX)\n";
  }
  script += pairLines(true);
  script += "\n\t%%%% Unused %%%%%\n\n";
  script += pairLines(false);
  script += "] aTranslateLoad\n";
  if (File scriptFile{std::fopen((name + ".fe").c_str(), "wb")}) writeText(scriptFile.get(), script);
}
