// The record format interpreter: walks a format string, reading or writing
// one field per letter through the codings of objects/iocodec.h.
//
// Reading trusts nothing from the file: counts and lengths are held against
// the bytes left in the record before anything is allocated or looped over,
// and a read that cannot be satisfied fails the call through ioFail (-4139).
// After a failure the walk goes on without reading, so that every field the
// call would have filled is left 0 or null rather than stale.
#include "objects/ioformat.h"

#include "core/alloc.h"
#include "core/debug.h"
#include "objects/iocodec.h"
#include "objects/iofile.h"

#include <cctype>
#include <cfloat>
#include <cstring>
#include <string>
#include <vector>

namespace {

const int kBadData = -4139;

// The ioFormat calls in progress, innermost last. getlong and ioGetDouble
// read through the innermost; a failure there fails that call.
struct ioCall {
  ioCtx* ctx;
  bool failed;   // a read failed: nothing more is read, fields are left 0
};
std::vector<ioCall> calls;

// Keeps a call on the stack for its duration, also when ioFail leaves
// through a recovery point. A failed read leaves the enclosing call on the
// same file failed as well: its stream is no longer where its fields are.
class callScope {
public:
  explicit callScope(ioCtx* ctx) {
    calls.push_back({ctx, false});
    index_ = calls.size() - 1;
  }
  ~callScope() {
    const ioCall done = calls.back();
    calls.pop_back();
    if (done.failed && !calls.empty() && calls.back().ctx == done.ctx) calls.back().failed = true;
  }
  callScope(const callScope&) = delete;
  callScope& operator=(const callScope&) = delete;
  size_t index() const { return index_; }

private:
  size_t index_;
};

// Marks call index failed and reports it once: counted in the context (for
// readers that go on after an answer they did not check), then ioFail, which
// may leave for the recovery point.
void failCall(size_t index) {
  if (calls[index].failed) return;
  calls[index].failed = true;
  ++calls[index].ctx->readFailures;
  ioFail(calls[index].ctx, kBadData, nullptr, nullptr);
}

struct ioLetter {
  char letter;
  ioFormatHandler handler;
};
std::vector<ioLetter> letters;

ioFormatHandler handlerOf(char letter) {
  for (const ioLetter& entry : letters) {
    if (entry.letter == letter) return entry.handler;
  }
  return nullptr;
}

ioLayerCoder layerCoder = nullptr;

// One ioFormat call.
class formatWalk {
public:
  formatWalk(ioCtx* ctx, size_t call, const ioArg* args, size_t count)
      : ctx_(ctx), call_(call), reading_(ctx->mode == 'r'), cursor_(args), end_(args + count) {}

  // Answers the file bytes, or -1.
  int run(const char* format);
  // Frees the texts this walk read into the caller's variables ("S") and
  // clears them: when ioFail leaves through a recovery point, the caller
  // never gets to free what the walk handed it before the failure.
  void dropTexts();

private:
  bool failed() const { return calls[call_].failed; }
  void fail() { failCall(call_); }

  bool take(ioArg* out, char letter);
  bool countFits(int64_t items);

  template <class T>
  T read(int (*reader)(ioCtx*, T*));
  int32_t readLong() { return read(ioReadLong); }
  double readDouble() { return read(ioReadDouble); }
  void writeLong(int32_t value) { bytes_ += putlong(value, ctx_); }
  void writeDouble(double value) { bytes_ += ioPutDouble(value, ctx_); }
  bool readText(int32_t count, std::string* text);
  void writeText(const uint8_t* text, size_t length, int32_t extra);

  void numbers(char letter, int64_t repeat);
  void flag(char size);
  void countedText();
  void allocatedText();
  void layer();
  void defined(ioFormatHandler handler, int64_t repeat);
  void nested(int answer, uint32_t fileBytesBefore);

  ioCtx* ctx_;
  size_t call_;
  bool reading_;
  const ioArg* cursor_;
  const ioArg* end_;
  int64_t bytes_ = 0;     // file bytes of this call, nested calls included
  int64_t counted_ = 0;   // of these, bytes nested calls added to the context
  int64_t memory_ = 0;
  bool broken_ = false;   // an argument is missing or a handler failed while writing: stop
  std::vector<char**> texts_;  // the variables "S" filled while reading
};

bool formatWalk::take(ioArg* out, char letter) {
  if (cursor_ >= end_) {
    dbgPanic("[ioFormat] missing argument for '%c'\n", letter);
    broken_ = true;
    return false;
  }
  *out = *cursor_++;
  return true;
}

// Every item of a field takes at least one byte of the file, so a count
// beyond the bytes left is corrupt data, found before anything is looped.
bool formatWalk::countFits(int64_t items) {
  if (failed()) return false;
  if (items > ioBytesLeft(ctx_)) {
    fail();
    return false;
  }
  return true;
}

// One value; 0 once the call has failed.
template <class T>
T formatWalk::read(int (*reader)(ioCtx*, T*)) {
  if (failed()) return T();
  T value;
  const int n = reader(ctx_, &value);
  if (n == 0) {
    fail();
    return T();
  }
  bytes_ += n;
  return value;
}

// Reads count file bytes of a text, turning 0xFF escapes back into their
// characters. An escape whose code would lie beyond the count is unknown.
bool formatWalk::readText(int32_t count, std::string* text) {
  text->clear();
  if (count < 0 || !countFits(count)) {
    if (count < 0) fail();
    return false;
  }
  for (int32_t i = 0; i < count; ++i) {
    uint8_t byte;
    if (!ioGetByte(ctx_, &byte)) {
      fail();
      text->clear();
      return false;
    }
    if (byte == 0xFF) {
      uint8_t code = 0;
      if (i + 1 < count) {
        if (!ioGetByte(ctx_, &code)) {
          fail();
          text->clear();
          return false;
        }
        ++i;
      }
      byte = ioSpecialChar(code);
    }
    text->push_back(static_cast<char>(byte));
  }
  bytes_ += count;
  return true;
}

// Writes the count (characters + specials + extra), then the characters.
void formatWalk::writeText(const uint8_t* text, size_t length, int32_t extra) {
  const int32_t count = static_cast<int32_t>(length) + ioSpecialCount(text, length) + extra;
  writeLong(count);
  std::vector<uint8_t> out;
  out.reserve(static_cast<size_t>(count));
  for (size_t i = 0; i < length; ++i) {
    const int code = ioSpecialCode(text[i]);
    if (code) {
      out.push_back(0xFF);
      out.push_back(static_cast<uint8_t>(code));
    } else {
      out.push_back(text[i]);
    }
  }
  ioPutBytes(ctx_, out.data(), out.size());
  bytes_ += static_cast<int64_t>(out.size());
}

// b s i l c R d E x f D: one pointer to repeat elements.
void formatWalk::numbers(char letter, int64_t repeat) {
  ioArg arg;
  if (!take(&arg, letter) || repeat <= 0) return;
  if (reading_) countFits(repeat);
  const size_t n = static_cast<size_t>(repeat);
  switch (letter) {
    case 'b': {
      uint8_t* p = reinterpret_cast<uint8_t*>(arg);
      for (size_t i = 0; i < n; ++i) {
        if (reading_) p[i] = static_cast<uint8_t>(readLong());
        else writeLong(static_cast<int8_t>(p[i]));
      }
      memory_ += repeat;
      break;
    }
    case 's': {
      int16_t* p = reinterpret_cast<int16_t*>(arg);
      for (size_t i = 0; i < n; ++i) {
        if (reading_) p[i] = static_cast<int16_t>(static_cast<uint16_t>(readLong()));
        else writeLong(p[i]);
      }
      memory_ += 2 * repeat;
      break;
    }
    case 'i':
    case 'l': {
      int32_t* p = reinterpret_cast<int32_t*>(arg);
      for (size_t i = 0; i < n; ++i) {
        if (reading_) p[i] = readLong();
        else writeLong(p[i]);
      }
      memory_ += 4 * repeat;
      break;
    }
    case 'c': {
      uint8_t* p = reinterpret_cast<uint8_t*>(arg);
      if (!reading_) {
        ioPutBytes(ctx_, p, n);
        bytes_ += repeat;
      } else {
        size_t i = 0;
        for (; i < n && !failed(); ++i) {
          if (!ioGetByte(ctx_, &p[i])) {
            fail();
            break;
          }
          ++bytes_;
        }
        if (failed()) std::memset(p + i, 0, n - i);
      }
      memory_ += repeat;
      break;
    }
    case 'R':
    case 'd':
    case 'E':
    case 'x': {
      // E and x may stand at any address: copied byte-wise.
      uint8_t* p = reinterpret_cast<uint8_t*>(arg);
      for (size_t i = 0; i < n; ++i) {
        double value;
        if (reading_) {
          value = readDouble();
          std::memcpy(p + 8 * i, &value, 8);
        } else {
          std::memcpy(&value, p + 8 * i, 8);
          writeDouble(value);
        }
      }
      memory_ += 8 * repeat;
      break;
    }
    case 'f': {
      float* p = reinterpret_cast<float*>(arg);
      for (size_t i = 0; i < n; ++i) {
        if (reading_) {
          // A value beyond the range of a float is held at its limit.
          double value = readDouble();
          if (value > FLT_MAX) value = FLT_MAX;
          if (value < -FLT_MAX) value = -FLT_MAX;
          p[i] = static_cast<float>(value);
        } else {
          writeDouble(p[i]);
        }
      }
      memory_ += 4 * repeat;
      break;
    }
    case 'D': {
      // The older layout is only ever read.
      if (!reading_) break;
      double* p = reinterpret_cast<double*>(arg);
      for (size_t i = 0; i < n; ++i) p[i] = ioOldDouble(readDouble());
      memory_ += 8 * repeat;
      break;
    }
  }
}

// .b .s .i .l: a mask, then a pointer to the word holding the flag.
void formatWalk::flag(char size) {
  ioArg mask, arg;
  if (!take(&mask, '.') || !take(&arg, '.')) return;
  const uint32_t bits = static_cast<uint32_t>(mask);
  uint32_t word = 0;
  switch (size) {
    case 's': word = *reinterpret_cast<uint16_t*>(arg); break;
    case 'i':
    case 'l': word = *reinterpret_cast<uint32_t*>(arg); break;
    default: word = *reinterpret_cast<uint8_t*>(arg); break;
  }
  if (!reading_) {
    writeLong((word & bits) ? 1 : 0);
  } else {
    word = readLong() ? (word | bits) : (word & ~bits);
    switch (size) {
      case 's': *reinterpret_cast<uint16_t*>(arg) = static_cast<uint16_t>(word); break;
      case 'i':
      case 'l': *reinterpret_cast<uint32_t*>(arg) = word; break;
      default: *reinterpret_cast<uint8_t*>(arg) = static_cast<uint8_t>(word); break;
    }
  }
  memory_ += size == 's' ? 2 : (size == 'i' || size == 'l') ? 4 : 1;
}

// C: a 16-bit length (the capacity on reading) and a character buffer.
void formatWalk::countedText() {
  ioArg lengthArg, bufferArg;
  if (!take(&lengthArg, 'C') || !take(&bufferArg, 'C')) return;
  uint16_t* length = reinterpret_cast<uint16_t*>(lengthArg);
  uint8_t* buffer = reinterpret_cast<uint8_t*>(bufferArg);
  if (!reading_) {
    writeText(buffer, *length, 0);
    memory_ += 4 + *length;
    return;
  }
  // Keeps what fits, terminated when there is room, and consumes the rest.
  const uint16_t capacity = *length;
  std::string text;
  readText(readLong(), &text);
  const size_t kept = text.size() < capacity ? text.size() : capacity;
  std::memcpy(buffer, text.data(), kept);
  if (kept < capacity) buffer[kept] = 0;
  *length = static_cast<uint16_t>(kept);
  memory_ += 4 + static_cast<int64_t>(kept);
}

// S: the address of an allocated string or null.
void formatWalk::allocatedText() {
  ioArg arg;
  if (!take(&arg, 'S')) return;
  char** slot = reinterpret_cast<char**>(arg);
  if (!reading_) {
    const char* text = *slot;
    if (!text) {
      writeLong(0);
      return;
    }
    const size_t length = std::strlen(text);
    writeText(reinterpret_cast<const uint8_t*>(text), length, 1);
    memory_ += 4 + static_cast<int64_t>(length);
    return;
  }
  uFreeIfSet(slot);
  const int32_t count = readLong();
  if (count == 0) return;
  std::string text;
  if (!readText(count < 0 ? count : count - 1, &text)) return;
  char* copy = static_cast<char*>(uAlloc(nullptr, nullptr, static_cast<uint32_t>(text.size() + 1), 1));
  std::memcpy(copy, text.data(), text.size());
  copy[text.size()] = 0;
  *slot = copy;
  texts_.push_back(slot);
  memory_ += 4 + static_cast<int64_t>(text.size());
}

void formatWalk::dropTexts() {
  for (char** slot : texts_) uFreeIfSet(slot);
  texts_.clear();
}

// Counts what a handler or the layer coder answered: nested ioFormat calls
// have added their own bytes to the context already.
void formatWalk::nested(int answer, uint32_t fileBytesBefore) {
  if (answer < 0) {
    if (reading_) calls[call_].failed = true;
    else broken_ = true;
    return;
  }
  const int64_t added = static_cast<uint32_t>(ctx_->fileBytes - fileBytesBefore);
  bytes_ += answer;
  counted_ += added < answer ? added : answer;
}

void formatWalk::layer() {
  ioArg arg;
  if (!take(&arg, 'L')) return;
  uint8_t* number = reinterpret_cast<uint8_t*>(arg);
  memory_ += 1;
  if (reading_ && failed()) {
    *number = 0;
    return;
  }
  if (layerCoder) {
    const uint32_t before = ctx_->fileBytes;
    nested(layerCoder(ctx_, number), before);
    return;
  }
  if (reading_) *number = static_cast<uint8_t>(readLong());
  else writeLong(*number);
}

void formatWalk::defined(ioFormatHandler handler, int64_t repeat) {
  const uint32_t before = ctx_->fileBytes;
  const int answer = handler(ctx_, static_cast<int>(repeat), &cursor_);
  nested(answer, before);
}

int formatWalk::run(const char* format) {
  const char* p = format;
  int64_t repeat = 1;
  while (*p && !broken_) {
    const char letter = *p++;
    if (std::isspace(static_cast<unsigned char>(letter))) continue;
    if (letter >= '0' && letter <= '9') {
      repeat = letter - '0';
      while (*p >= '0' && *p <= '9') {
        repeat = repeat * 10 + (*p++ - '0');
        if (repeat > INT32_MAX) repeat = INT32_MAX;
      }
      continue;
    }
    if (letter == '*' || letter == 'A') {
      ioArg count;
      if (!take(&count, letter)) break;
      repeat = count < 0 ? 0 : count > INT32_MAX ? INT32_MAX : count;
      continue;
    }
    const int64_t times = repeat;
    repeat = 1;
    switch (letter) {
      case 'b': case 's': case 'i': case 'l': case 'c':
      case 'R': case 'd': case 'E': case 'x': case 'f': case 'D':
        numbers(letter, times);
        continue;
      case 'C':
        countedText();
        continue;
      case 'S':
        allocatedText();
        continue;
      case 'L':
        layer();
        continue;
      case '.': {
        char size = *p;
        if (size == 'b' || size == 's' || size == 'i' || size == 'l') {
          ++p;
        } else {
          dbgPanic("unknown code following '.' in ioFormat");
          if (size) ++p;
          size = 'b';
        }
        flag(size);
        continue;
      }
      default:
        break;
    }
    const ioFormatHandler handler = handlerOf(letter);
    if (!handler) {
      dbgPanic("%c: bad format char\n", letter);
      continue;
    }
    // A handler takes arguments of its own that cannot be skipped: after a
    // failed read the walk ends here.
    if (reading_ && failed()) break;
    defined(handler, times);
  }

  ctx_->fileBytes += static_cast<uint32_t>(bytes_ - counted_);
  ctx_->memBytes += static_cast<uint32_t>(memory_);
  if (broken_ || (reading_ && failed()) || std::ferror(ctx_->stream)) return -1;
  return static_cast<int>(bytes_);
}

}  // namespace

int ioFormatArgs(ioCtx* ctx, const char* format, const ioArg* args, size_t count) {
  if (!ctx || !ctx->stream || (ctx->mode != 'r' && ctx->mode != 'w')) {
    dbgPanic("bad io_buf in ioFormat");
    return -1;
  }
  if (!format) format = "";
  callScope scope(ctx);
  formatWalk walk(ctx, scope.index(), args, count);
  try {
    return walk.run(format);
  } catch (...) {
    walk.dropTexts();
    throw;
  }
}

namespace {

// Reads a value from the file of the innermost call, failing that call when
// it cannot.
template <class T>
int readInCall(int (*reader)(ioCtx*, T*), T* out) {
  *out = T();
  if (calls.empty()) return 0;
  const size_t index = calls.size() - 1;
  if (calls[index].failed) return 0;
  const int n = reader(calls[index].ctx, out);
  if (n == 0) failCall(index);
  return n;
}

}  // namespace

int getlong(int32_t* out) { return readInCall(ioReadLong, out); }
int ioGetDouble(double* out) { return readInCall(ioReadDouble, out); }

void ioDefFormat(char letter, ioFormatHandler handler) {
  for (size_t i = 0; i < letters.size(); ++i) {
    if (letters[i].letter != letter) continue;
    if (!handler) {
      letters.erase(letters.begin() + static_cast<std::ptrdiff_t>(i));
      return;
    }
    dbgPrintf("[ioDefFormat] redefined format char '%c'\n", letter);
    letters[i].handler = handler;
    return;
  }
  if (!handler) return;
  if (letters.size() == letters.capacity()) letters.reserve(letters.size() + 8);
  letters.push_back({letter, handler});
}

void ioSetLayerCoder(ioLayerCoder coder) { layerCoder = coder; }
