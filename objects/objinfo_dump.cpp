// aDump: the fields of objects written as text records, one per object:
// "**class:#id:" followed by "name=value;" per field. The text is collected
// in a buffer of 1023 bytes and written out in lines that break after a ";"
// once they are longer than 80 bytes.
#include "objects/objinfo_internal.h"

#include "core/classes.h"
#include "core/errors.h"
#include "fe/file.h"
#include "fe/opcall.h"
#include "fe/value.h"
#include "objects/objmsg.h"

#include <string>

namespace {

enum : size_t {
  kBufferSize = 1023,
  kFlushAt = 1022,   // an addition that would reach this many bytes writes the buffer out first
  kLineBreak = 80,   // a line longer than this breaks after its next ";"
};

// The dump in progress: the buffer, the length of the line being written and
// whether a write failed.
struct Dump {
  std::string buffer;
  size_t line = 0;
  bool failed = false;
};
Dump dump;

void put(const char* bytes, size_t n) {
  if (dump.failed || n == 0) return;
  if (std::fwrite(bytes, 1, n, infoGlobal().dump) != n) dump.failed = true;
}

// Writes text, breaking lines after a ";" once the line is longer than 80.
void writeThrough(const std::string& text) {
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n') {
      dump.line = 0;
      continue;
    }
    ++dump.line;
    if (text[i] == ';' && dump.line > kLineBreak) {
      put(text.data() + start, i + 1 - start);
      put("\n", 1);
      dump.line = 0;
      start = i + 1;
    }
  }
  put(text.data() + start, text.size() - start);
}

void flush() {
  writeThrough(dump.buffer);
  dump.buffer.clear();
}

// An addition that would fill the buffer writes it out first; one that does
// not fit in the buffer at all goes straight through.
void add(const std::string& text) {
  if (dump.buffer.size() + text.size() >= kFlushAt) flush();
  if (text.size() >= kFlushAt) writeThrough(text);
  else dump.buffer += text;
}

// One record: the head, the fields (message 346), the rest of the buffer and
// the end of the last line.
int dumpOne(gobjRec* object, void*) {
  infoState& s = infoGlobal();
  char name[16];
  objClassName(object, sizeof name, name);
  add("**" + std::string(name) + ":#" + std::to_string(object->id & 0xFFFFFFu) + ":");
  s.current = object;
  s.moreNames.clear();
  objMeth(object->classId, msgPropPanel, object, reinterpret_cast<intptr_t>(object));
  s.current = nullptr;
  flush();
  if (dump.line > 0) put("\n", 1);
  dump.line = 0;
  return dump.failed ? 1 : 0;
}

}  // namespace

void infoDumpField(const std::string& name, const std::string& value) {
  add(name.substr(0, name.find(';')) + "=" + value + ";");
}

int infoDump(std::FILE* stream, gobjRec* objects) {
  infoState& s = infoGlobal();
  if (!stream) return feErrIo;
  // A dump started from a class's own message 346 would interleave records.
  if (s.dump) return feErrInvalidAccess;
  // A group or drawing objects: another program object has no fields to dump.
  if (objects && !grpIsGroup(objects) && !gobjIs(objects)) return feErrTypeCheck;
  s.dump = stream;
  dump = Dump{};
  if (objects) {
    if (grpIsGroup(objects)) grpForEach(reinterpret_cast<glist*>(objects), dumpOne, nullptr);
    else dumpOne(objects, nullptr);
  }
  if (!dump.failed && std::fflush(stream) != 0) dump.failed = true;
  s.dump = nullptr;
  s.current = nullptr;
  const bool failed = dump.failed;
  dump = Dump{};
  return failed ? feErrIo : 0;
}

int aDumpOp(feArgs* args) {
  const feObject* file = args->in[0].value;
  if (!file || feType(file) != feTFile) return feErrTypeCheck;
  const feFileBody* body = file->w0.file;
  if (!body || !body->stream) return feErrIo;
  if (body->mode != 'w') return feErrInvalidFileAccess;
  const int answer = infoDump(body->stream, static_cast<gobjRec*>(args->in[1].record));
  if (answer == feErrIo) feFileClose(file);
  return answer;
}
