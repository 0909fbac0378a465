// The templates written for a translator: the texts that had no
// translation and the language script to fill in (see xlate.h).
#include "core/xlate.h"

#include "core/replace.h"
#include "core/xlate_internal.h"

#include <string>
#include <string_view>

namespace {

std::string& templateName() {
  static std::string name;
  return name;
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

// Replaces the file at path with text; false when that failed (the file
// then stays as it was).
bool replaceWith(const std::string& path, const std::string& text) {
  uReplaceFile* file = uReplaceBegin(path.c_str());
  if (!file) return false;
  if (!uReplaceWrite(file, text.data(), text.size())) {
    uReplaceAbort(file);
    return false;
  }
  return uReplaceCommit(file);
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

void xlateSetTemplateName(const char* name) { templateName() = name ? name : ""; }

const char* xlateTemplateName() { return templateName().c_str(); }

void xlateResetTemplate() { templateName().clear(); }

bool xlateWriteTemplates() {
  const std::string& name = templateName();
  if (name.empty()) return true;

  std::string missing;
  for (int32_t i = 0; i < xlateMissingCount(); ++i) {
    uint32_t length = 0;
    const char* text = xlateMissingText(i, &length);
    missing += plainLine(std::string_view(text, length)) + "\n";
  }
  const bool missingWritten = replaceWith(name, missing);

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
  const bool scriptWritten = replaceWith(name + ".fe", script);
  return missingWritten && scriptWritten;
}
