// Fuzz target: the configuration file reader and writer. The input gives a
// section, a key and a value (short texts at its start) and the file's
// bytes (the rest). Checked:
// - every line's name and value positions lie inside its text;
// - writing the table unchanged gives back the file byte for byte, and the
//   written file reads back as the same table;
// - iniSet either refuses and leaves the file as it was, or writes a file
//   in which the key reads back as the value (less its leading blanks) and
//   every other key that was readable still reads the same.
#include "scratch.h"

#include "core/ini.h"
#include "core/text.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

void check(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "ini fuzz: %s\n", what);
  std::abort();
}

// A text without NUL bytes (the C interface ends texts there).
std::string cText(std::string text) {
  text.erase(std::remove(text.begin(), text.end(), '\0'), text.end());
  return text;
}

std::string nameOf(const iniLine& line) { return line.text.substr(line.nameStart, line.nameLength); }

bool sameName(const std::string& a, const std::string& b) {
  return uAlphaEq(a.data(), uint32_t(a.size()), b.data(), uint32_t(b.size()));
}

// Every (section, key) of the table that iniGetString can reach, with the
// value it answers. Names holding NUL cannot be asked for and are left out.
std::vector<std::pair<std::pair<std::string, std::string>, std::string>> readable(const iniFile& ini) {
  std::vector<std::pair<std::pair<std::string, std::string>, std::string>> out;
  std::string section;
  bool inSection = false;
  for (const iniLine& line : ini.lines) {
    if (line.kind == iniKindSection) {
      section = nameOf(line);
      inSection = true;
    } else if (line.kind == iniKindKey && inSection) {
      const std::string key = nameOf(line);
      if (section.find('\0') != std::string::npos || key.find('\0') != std::string::npos) continue;
      std::string value;
      check(iniGetString(&ini, section.c_str(), key.c_str(), &value), "a key line in a section is not found");
      out.push_back({{section, key}, value});
    }
  }
  return out;
}

void checkLines(const iniFile& ini) {
  for (const iniLine& line : ini.lines) {
    check(size_t(line.nameStart) + line.nameLength <= line.text.size(), "name past the line");
    if (line.kind == iniKindKey) check(line.valueStart <= line.text.size(), "value past the line");
    check(line.kind <= iniKindKey, "unknown line kind");
  }
}

bool sameTable(const iniFile& a, const iniFile& b) {
  if (a.lines.size() != b.lines.size()) return false;
  for (size_t i = 0; i < a.lines.size(); ++i) {
    const iniLine& x = a.lines[i];
    const iniLine& y = b.lines[i];
    if (x.text != y.text || x.crlf != y.crlf || x.kind != y.kind || x.nameStart != y.nameStart ||
        x.nameLength != y.nameLength || x.valueStart != y.valueStart)
      return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string section = cText(input.ConsumeRandomLengthString(24));
  const std::string key = cText(input.ConsumeRandomLengthString(24));
  const std::string value = cText(input.ConsumeRandomLengthString(48));
  const std::string bytes = input.ConsumeRemainingBytesAsString();

  const std::string path =
      fuzzfs::writeScratchFile("input.ini", reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  iniFile ini(path.c_str());
  check(ini.path == path, "a name with a slash is not taken as the path");
  checkLines(ini);

  // Unchanged, the table writes the same bytes, which read back the same.
  check(iniSave(&ini), "the file cannot be written");
  std::string written;
  check(fuzzfs::readWholeFile(path, &written), "the written file cannot be read");
  check(written == bytes, "an unchanged table writes other bytes");
  iniFile again(path.c_str());
  check(sameTable(ini, again), "the written file reads back as another table");

  const auto before = readable(ini);
  if (!iniSet(&ini, section.c_str(), key.c_str(), value.c_str())) {
    check(fuzzfs::readWholeFile(path, &written) && written == bytes, "a refused iniSet changed the file");
    return 0;
  }
  iniFile after(path.c_str());
  checkLines(after);
  check(sameTable(ini, after), "the file written by iniSet reads back as another table");
  std::string answer;
  check(iniGetString(&after, section.c_str(), key.c_str(), &answer), "the key set is not found");
  // Blanks before a value are dropped when it is set (they could not be
  // read back).
  check(answer == value.substr(std::min(value.find_first_not_of(" \t"), value.size())),
        "the key set reads back with another value");
  for (const auto& [where, old] : before) {
    if (sameName(where.first, section) && sameName(where.second, key)) continue;
    std::string now;
    check(iniGetString(&after, where.first.c_str(), where.second.c_str(), &now), "another key got lost");
    check(now == old, "another key changed its value");
  }
  return 0;
}
