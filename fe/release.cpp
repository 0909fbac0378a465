// The work list behind releasing values. Releases happen in the same order as
// a depth-first walk: an element whose body reaches zero is released before
// the next element of its holder. Instead of recursing, the holder keeps its
// place in a frame of the list and the new body is pushed on top; the loop
// always works on the top frame. The last element of a frame is released
// after the frame is gone, so a chain holds one frame at a time.
//
// Message 100 runs class code that may release further values. Those are
// freed inside the call, as a nested loop over the frames pushed meanwhile,
// so a class sees its held values gone when its release returns. Past
// kMaxNested nested messages the frames are left to the enclosing loop
// instead (in the order they were pushed), which bounds the native stack
// also for chains through program objects.
#include "fe/release.h"
#include "fe/release_test.h"

#include "core/alloc.h"
#include "core/classes.h"
#include "fe/generic.h"
#include "fe/generic_msg.h"

#include <algorithm>
#include <vector>

namespace {

constexpr int kMaxNested = 32;

enum class Kind : uint8_t { Array, Dict, Record };

struct Frame {
  Kind kind;
  void* body;              // feArrayBody, feDictBody or feObjRecord
  feDictEntry* entries;    // dictionaries: the detached entry array
  uint32_t next;           // the next step to release
  uint32_t end;            // one past the last step holding a value to release
};

// Kept for the whole run (never destroyed), so values released while the
// program exits still find it.
std::vector<Frame>& workList() {
  static auto* list = new std::vector<Frame>;
  return *list;
}

int loops;        // loops running, one inside the other
int messages;     // message-100 calls running from a loop
int32_t liveArrays;
int32_t liveDicts;
feBodyWatcher watcher;

// The value released at step s of a frame, or null when the step has
// nothing to release. An array's steps are its elements; a dictionary's are
// two per slot, the key then the value, none for a free slot.
feObject* valueAt(const Frame& f, uint32_t s) {
  feObject* v;
  if (f.kind == Kind::Array) {
    v = feArrayElems(static_cast<feArrayBody*>(f.body)) + s;
  } else {
    feDictEntry& e = f.entries[s / 2];
    if (feType(&e.key) == feTEmpty) return nullptr;
    v = (s & 1) ? &e.value : &e.key;
  }
  return feIsSimple(v) ? nullptr : v;
}

void freeMemory(const Frame& f) {
  if (f.kind == Kind::Array) {
    feNoteArrayBodyFreed(static_cast<feArrayBody*>(f.body));
    void* block = f.body;
    uFree(&block);
  } else {
    feNoteDictBodyFreed(static_cast<feDictBody*>(f.body));
    feDictEntry* entries = f.entries;
    uFreeIfSet(&entries);
    void* block = f.body;
    uFree(&block);
  }
}

void sendFree(feObjRecord* record) {
  struct Count {
    Count() { ++messages; }
    ~Count() { --messages; }
  } count;
  objMeth(record->classId, feMsgFree, record);
}

// Works on the frames above base until none is left.
void runLoop(size_t base) {
  struct Count {
    Count() { ++loops; }
    ~Count() { --loops; }
  } count;
  std::vector<Frame>& list = workList();
  while (list.size() > base) {
    Frame& top = list.back();
    if (top.kind == Kind::Record) {
      auto* record = static_cast<feObjRecord*>(top.body);
      list.pop_back();
      const size_t mark = list.size();
      sendFree(record);
      // Frames the message left behind go first-pushed on top, so they are
      // taken in the order the class released them.
      if (list.size() > mark) std::reverse(list.begin() + ptrdiff_t(mark), list.end());
      continue;
    }
    while (top.next < top.end && !valueAt(top, top.next)) ++top.next;
    if (top.next == top.end) {
      const Frame done = top;
      list.pop_back();
      freeMemory(done);
      continue;
    }
    feObject* value = valueAt(top, top.next++);
    if (top.next == top.end) {
      // The last value: the frame goes first, so a chain never piles up.
      const Frame done = top;
      feObject last = *value;
      list.pop_back();
      feFree(&last);
      freeMemory(done);
      continue;
    }
    // May push further frames; top is not used after this.
    feFree(value);
  }
}

// A frame for a body or record that reached zero. Inside a loop's element
// release it only waits on the list; otherwise a loop starts for it.
void schedule(const Frame& f) {
  std::vector<Frame>& list = workList();
  const size_t base = list.size();
  list.push_back(f);
  const bool inElementRelease = loops > messages;
  const bool tooDeep = messages >= kMaxNested && messages == loops;
  if (inElementRelease || tooDeep) return;
  runLoop(base);
}

// A body frame, or a body with nothing to release freed at once.
void scheduleBody(Frame f, uint32_t steps) {
  f.next = 0;
  f.end = steps;
  while (f.end > 0 && !valueAt(f, f.end - 1)) --f.end;
  if (f.end == 0) {
    freeMemory(f);
    return;
  }
  schedule(f);
}

}  // namespace

void feReleaseArrayBody(feArrayBody* body) {
  scheduleBody(Frame{Kind::Array, body, nullptr, 0, 0}, body->length);
}

void feReleaseDictBody(feDictBody* body, feDictEntry* entries, uint32_t capacity) {
  scheduleBody(Frame{Kind::Dict, body, entries, 0, 0}, entries ? capacity * 2 : 0);
}

void feReleaseRecord(feObjRecord* record) {
  schedule(Frame{Kind::Record, record, nullptr, 0, 0});
}

int32_t feArrayBodiesLive() { return liveArrays; }
int32_t feDictBodiesLive() { return liveDicts; }
void feNoteArrayBodyMade(feArrayBody* body) {
  ++liveArrays;
  if (watcher) watcher(body, false, true);
}
void feNoteDictBodyMade(feDictBody* body) {
  ++liveDicts;
  if (watcher) watcher(body, true, true);
}
void feNoteArrayBodyFreed(feArrayBody* body) {
  --liveArrays;
  if (watcher) watcher(body, false, false);
}
void feNoteDictBodyFreed(feDictBody* body) {
  --liveDicts;
  if (watcher) watcher(body, true, false);
}
void feTestSetBodyWatcher(feBodyWatcher hook) { watcher = hook; }
