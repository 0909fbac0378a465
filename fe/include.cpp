// Reading header files for their "#define" lines.
#include "fe/include.h"

#include "core/debug.h"
#include "core/errors.h"
#include "core/files.h"
#include "fe/macro.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr char kDefine[] = "#define";
constexpr size_t kDefineLength = sizeof kDefine - 1;

// Lines are read in pieces of up to this many bytes; a longer line is joined
// from its pieces, so that its rest is never taken for a line of its own.
constexpr int kLinePiece = 512;

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

// Closes the stream however the read ends.
struct Stream {
  FILE* file;
  ~Stream() { uFileClose(file); }
};

// One whole line without its line end into *line: false at the end of the
// file (or on a read error) with nothing read.
bool readLine(FILE* file, std::string* line) {
  line->clear();
  char piece[kLinePiece + 1];
  bool any = false;
  while (uFileGets(piece, int(sizeof piece), file)) {
    any = true;
    const size_t n = std::strlen(piece);
    if (n > 0 && piece[n - 1] == '\n') {
      line->append(piece, n - 1);
      return true;
    }
    line->append(piece, n);
    // A piece shorter than the room ended at the end of the file.
    if (n < size_t(kLinePiece)) return true;
  }
  return any;
}

// Records the definition on a "#define" line: 0 or the error of the macro
// table. Any other line answers 0.
int defineFromLine(const std::string& line) {
  if (line.compare(0, kDefineLength, kDefine) != 0) return feOk;
  size_t i = kDefineLength;
  while (i < line.size() && isBlank(line[i])) ++i;
  const size_t nameStart = i;
  while (i < line.size() && !isBlank(line[i])) ++i;
  const size_t nameEnd = i;
  while (i < line.size() && isBlank(line[i])) ++i;
  return feMacroDefine(line.data() + nameStart, nameEnd - nameStart, line.data() + i, line.size() - i);
}

const feOpSpec kIncludeOp = {"aInclude", feOpAInclude, "S"};

}  // namespace

int feIncludeFile(const char* name, size_t length) {
  if (!name) return feErrInvalidFileName;
  // Script names may separate directories with "\" as well as "/".
  std::string path(name, length);
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  Stream stream{uFileOpen(path.data(), path.size(), "r")};
  if (!stream.file) return feErrInvalidFileName;

  const std::string shown(name, length);   // for the log, as the script gave it
  std::string line;
  int32_t number = 0;
  while (readLine(stream.file, &line)) {
    ++number;
    if (const int err = defineFromLine(line)) {
      dbgPrintf("file %s, line %d: error %d\n", shown.c_str(), number, int32_t(err));
    }
  }
  // A name that opens but cannot be read (a directory) names no header; a
  // read that fails part way is an I/O error, not a success.
  if (std::ferror(stream.file)) return number == 0 ? feErrInvalidFileName : feErrIo;
  return feOk;
}

int feOpAInclude(feArgs* args) {
  const feArgText& name = args->in[0].text;
  return feIncludeFile(name.text, name.length > 0 ? size_t(name.length) : 0);
}

const feOpSpec* feIncludeOpSpec(const char* name) {
  if (name && std::strcmp(name, kIncludeOp.name) == 0) return &kIncludeOp;
  return nullptr;
}
