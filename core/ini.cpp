// The line table of a configuration file: loading, classifying, looking up,
// setting and writing back (see ini.h).
#include "core/ini.h"

#include "core/replace.h"
#include "core/text.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; }

bool sameName(const std::string& text, const iniLine& line, const char* name) {
  return uAlphaEq(text.data() + line.nameStart, line.nameLength, name, uint32_t(std::strlen(name)));
}

bool matchesSection(const iniLine& line, const char* section) {
  return !section || sameName(line.text, line, section);
}

bool matchesKey(const iniLine& line, const char* key) { return sameName(line.text, line, key); }

// The value of a key line, less one trailing line feed.
std::string valueOf(const iniLine& line) {
  std::string value = line.text.substr(line.valueStart);
  if (!value.empty() && value.back() == '\n') value.pop_back();
  return value;
}

// The index of the key line iniGet answers, or -1.
int64_t findKey(const iniFile* ini, const char* section, const char* key) {
  int64_t found = -1;
  bool inSection = false;
  for (size_t i = 0; i < ini->lines.size(); ++i) {
    const iniLine& line = ini->lines[i];
    if (line.kind == iniKindSection) inSection = matchesSection(line, section);
    else if (line.kind == iniKindKey && inSection && matchesKey(line, key)) found = int64_t(i);
  }
  return found;
}

iniLine makeLine(std::string text, bool crlf) {
  iniLine line{};
  line.text = std::move(text);
  line.crlf = crlf;
  iniClassify(&line);
  return line;
}

// The line end new lines get: the one the file's first ended line has.
bool fileUsesCrlf(const iniFile* ini) {
  for (const iniLine& line : ini->lines)
    if (!line.text.empty() && line.text.back() == '\n') return line.crlf;
  return false;
}

bool hasLineEnd(const char* text) { return std::strpbrk(text, "\r\n") != nullptr; }

// True when the line reads back as a key line of exactly this name and value.
bool readsBackAsKey(const iniLine& line, const char* key, const char* value) {
  return line.kind == iniKindKey && line.text.compare(line.nameStart, line.nameLength, key) == 0 &&
         line.nameLength == std::strlen(key) && valueOf(line) == value;
}

bool readsBackAsSection(const iniLine& line, const char* section) {
  return line.kind == iniKindSection && line.nameLength == std::strlen(section) &&
         line.text.compare(line.nameStart, line.nameLength, section) == 0;
}

struct FileCloser {
  void operator()(FILE* f) const { std::fclose(f); }
};

}  // namespace

iniFile::iniFile(const char* name) : path(iniPathFor(name)) { iniLoad(this); }

iniFile::~iniFile() = default;

void iniClassify(iniLine* line) {
  const std::string& t = line->text;
  line->kind = iniKindOther;
  line->nameStart = 0;
  line->nameLength = 0;
  line->valueStart = 0;
  size_t comment = t.find_first_of("#;");
  if (comment == std::string::npos) comment = t.size();

  const size_t open = t.find('[');
  if (open < comment) {
    const size_t close = t.find(']', open + 1);
    if (close < comment) {
      size_t begin = open + 1;
      size_t end = close;
      while (begin < end && isBlank(t[begin])) ++begin;
      while (end > begin && isBlank(t[end - 1])) --end;
      line->kind = iniKindSection;
      line->nameStart = uint32_t(begin);
      line->nameLength = uint32_t(end - begin);
      return;
    }
  }
  const size_t equals = t.find('=');
  if (equals < comment) {
    size_t begin = 0;
    size_t end = equals;
    while (begin < end && isBlank(t[begin])) ++begin;
    while (end > begin && isBlank(t[end - 1])) --end;
    size_t value = equals + 1;
    // Only blanks within the line: a line end stays part of the value.
    while (value < t.size() && (t[value] == ' ' || t[value] == '\t')) ++value;
    line->kind = iniKindKey;
    line->nameStart = uint32_t(begin);
    line->nameLength = uint32_t(end - begin);
    line->valueStart = uint32_t(value);
  }
}

void iniLoad(iniFile* ini) {
  ini->lines.clear();
  std::unique_ptr<FILE, FileCloser> file(std::fopen(ini->path.c_str(), "rb"));
  if (!file) return;
  std::string text;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) text.append(buffer, n);

  size_t start = 0;
  while (start < text.size()) {
    const size_t lf = text.find('\n', start);
    if (lf == std::string::npos) {
      ini->lines.push_back(makeLine(text.substr(start), false));
      break;
    }
    const bool crlf = lf > start && text[lf - 1] == '\r';
    std::string line = text.substr(start, (crlf ? lf - 1 : lf) - start);
    line += '\n';
    ini->lines.push_back(makeLine(std::move(line), crlf));
    start = lf + 1;
  }
}

bool iniGetString(const iniFile* ini, const char* section, const char* key, std::string* value) {
  if (!ini || !key) return false;
  const int64_t i = findKey(ini, section, key);
  if (i < 0) return false;
  if (value) *value = valueOf(ini->lines[size_t(i)]);
  return true;
}

bool iniGet(const iniFile* ini, const char* section, const char* key, char* buffer, int size) {
  std::string value;
  if (!iniGetString(ini, section, key, &value)) return false;
  if (buffer && size > 0) {
    const size_t n = value.size() < size_t(size) - 1 ? value.size() : size_t(size) - 1;
    std::memcpy(buffer, value.data(), n);
    buffer[n] = 0;
  }
  return true;
}

bool iniSet(iniFile* ini, const char* section, const char* key, const char* value) {
  if (!ini || !section || !key || !value) return false;
  if (hasLineEnd(section) || hasLineEnd(key) || hasLineEnd(value)) return false;
  // Blanks before a value are never read back as part of it.
  while (*value == ' ' || *value == '\t') ++value;
  const bool crlf = fileUsesCrlf(ini);

  // A key present: its value is replaced in the line iniGet answers.
  const int64_t found = findKey(ini, section, key);
  if (found >= 0) {
    iniLine& old = ini->lines[size_t(found)];
    // A last line that had no line end gets the file's.
    const bool ended = !old.text.empty() && old.text.back() == '\n';
    iniLine line = makeLine(old.text.substr(0, old.valueStart) + value + "\n", ended ? old.crlf : crlf);
    // The line keeps its own spelling of the key: it must still name it.
    if (line.kind != iniKindKey || !matchesKey(line, key) || valueOf(line) != value) return false;
    old = std::move(line);
    return iniSave(ini);
  }

  iniLine keyLine = makeLine(std::string(key) + "=" + value + "\n", crlf);
  if (!readsBackAsKey(keyLine, key, value)) return false;

  // Where the key goes: just before the header that follows the section's
  // first occurrence, or at the end.
  bool inSection = false;
  bool seen = false;
  size_t insertAt = ini->lines.size();
  for (size_t i = 0; i < ini->lines.size(); ++i) {
    const iniLine& line = ini->lines[i];
    if (line.kind != iniKindSection) continue;
    const bool match = matchesSection(line, section);
    if (!match && inSection) {
      insertAt = i;
      break;
    }
    inSection = match;
    seen = seen || match;
  }

  if (seen && insertAt < ini->lines.size()) {
    ini->lines.insert(ini->lines.begin() + int64_t(insertAt), std::move(keyLine));
    return iniSave(ini);
  }

  iniLine header = makeLine("[" + std::string(section) + "]\n", crlf);
  if (!seen && !readsBackAsSection(header, section)) return false;
  // A last line without its line end gets one, so nothing is appended to it.
  // A CR that ended the file stays part of that line: the end written after
  // it is CR LF, or the CR would read back as half of the line end.
  if (!ini->lines.empty() && (ini->lines.back().text.empty() || ini->lines.back().text.back() != '\n')) {
    iniLine& last = ini->lines.back();
    const bool endsInCr = !last.text.empty() && last.text.back() == '\r';
    last.text += '\n';
    last.crlf = crlf || endsInCr;
  }
  if (!seen) ini->lines.push_back(std::move(header));
  ini->lines.push_back(std::move(keyLine));
  return iniSave(ini);
}

bool iniSave(const iniFile* ini) {
  if (!ini) return false;
  // The whole file is replaced at once, so a failed or cut-short save leaves
  // the previous file as it was.
  uReplaceFile* file = uReplaceBegin(ini->path.c_str());
  if (!file) return false;
  for (const iniLine& line : ini->lines) {
    const std::string& t = line.text;
    const bool ended = !t.empty() && t.back() == '\n';
    const size_t body = (ended && line.crlf) ? t.size() - 1 : t.size();
    if (!uReplaceWrite(file, t.data(), body) || (ended && line.crlf && !uReplaceWrite(file, "\r\n", 2))) {
      uReplaceAbort(file);
      return false;
    }
  }
  return uReplaceCommit(file);
}

int iniKeyField(const char* path, int32_t* position, int32_t* start, int32_t* length) {
  if (!path || !path[0] || !position || *position < 0) return -1;
  const size_t size = std::strlen(path);
  const size_t from = *position == 0 ? 1 : size_t(*position);
  if (from > size) {
    *position = -1;
    return -1;
  }
  const char* separator = std::strchr(path + from, path[0]);
  const size_t end = separator ? size_t(separator - path) : size;
  if (start) *start = int32_t(from);
  if (length) *length = int32_t(end - from);
  *position = separator ? int32_t(end + 1) : -1;
  return 0;
}

bool iniSplitKeyPath(const char* path, std::string* section, std::string* key) {
  int32_t position = 0;
  int32_t start = 0;
  int32_t length = 0;
  if (iniKeyField(path, &position, &start, &length) != 0) return false;
  const std::string first(path + start, size_t(length));
  if (iniKeyField(path, &position, &start, &length) != 0) return false;
  if (section) *section = first;
  if (key) *key = path + start;
  return true;
}
