// The class registry and the message send.
#include "core/classes.h"

#include "core/alloc.h"
#include "core/classes_test.h"
#include "core/debug.h"

#include <cstring>

namespace {

constexpr uint32_t classIdLimit = 65536;  // ids are 16 bits
constexpr uint32_t classWarnCount = 30000;

// The registry root: the head of the name chain and the tag every valid
// entry carries.
struct objClassRoot {
  uint16_t newest;
  uint16_t tag;
};
bool rootMade;
objClassRoot root;
objRootHook rootHook;

// Indexed by class id; grows by 16 with its capacity as the count variable.
objClassRec* table;
uint32_t classCount;
uint32_t tableCapacity;

bool sameName(const objClassRec& e, const char* name) { return std::strncmp(e.name, name, 8) == 0; }

// A valid entry: registered and carrying the registry's tag.
bool validId(uint32_t id) { return rootMade && id < classCount && table[id].tag == root.tag; }

// The name as a terminated text, for log lines.
struct ShortName {
  char text[9];
  explicit ShortName(const objClassRec& e) {
    std::memcpy(text, e.name, 8);
    text[8] = 0;
  }
};

}  // namespace

int objRootHandler(void*, int, intptr_t, intptr_t, intptr_t) { return objNotHandled; }

void objClassInit() {
  if (rootMade) return;
  rootMade = true;
  root = objClassRoot{};
  try {
    objClassRegister("class", 0, objRootHandler);
  } catch (...) {
    // Out of memory before "class" had its entry: start over next time, so
    // that no other class takes id 0.
    rootMade = false;
    throw;
  }
  if (rootHook) rootHook();
}

void objSetRootHook(objRootHook hook) { rootHook = hook; }

int objClassGrow() {
  if (classCount >= classIdLimit) {
    dbgPanic("[objClassGrow] no class id left (%d classes)\n", int32_t(classCount));
    return -1;
  }
  if (classCount > classWarnCount) dbgPanic("too many classes (>%d)", int32_t(classCount));
  if (classCount >= tableCapacity) uAlloc(&table, &tableCapacity, tableCapacity + 16, sizeof(objClassRec));
  return int(classCount++);
}

uint16_t objClassRegister(const char* name, uint16_t superclassId, objHandler handler) {
  objClassInit();
  if (!name) name = "";
  // With the table still empty this is the root "class" itself, its own
  // superclass, which comes with its handler.
  if (classCount > 0) {
    if (superclassId >= classCount) {
      // No such entry to inherit from or to pass messages to: the root
      // stands in.
      dbgPanic("[objClassRegister] %.8s: bad superclass %d\n", name, int32_t(superclassId));
      superclassId = 0;
    }
    if (!handler) handler = table[superclassId].handler;
  }

  for (uint32_t id = classCount; id-- > 0;) {
    if (sameName(table[id], name)) {
      table[id].handler = handler;
      return uint16_t(id);
    }
  }

  const int id = objClassGrow();
  if (id < 0) return 0;
  objClassRec& e = table[id];
  e.tag = root.tag;
  size_t i = 0;
  for (; i < 8 && name[i]; ++i) e.name[i] = name[i];
  for (; i < 8; ++i) e.name[i] = 0;
  e.superclass = superclassId;
  e.previous = root.newest;
  e.handler = handler;
  root.newest = uint16_t(id);
  return uint16_t(id);
}

int objMeth(uint16_t classId, int message, void* object, intptr_t a, intptr_t b, intptr_t c) {
  if (classId == 0) return objNotHandled;
  if (!validId(classId)) {
    dbgPanic("[objMeth] Class=%d: bad Class\n", int32_t(classId));
    return objBadClass;
  }
  return table[classId].handler(object, message, a, b, c);
}

uint16_t objSuperClass(uint16_t classId) {
  return rootMade && classId < classCount ? table[classId].superclass : 0;
}

uint16_t objClassByName(const char* name) {
  if (!rootMade || !name) return 0;
  // The step bound keeps a corrupt chain from looping.
  uint32_t id = root.newest;
  for (uint32_t steps = 0; id != 0 && id < classCount && steps < classCount; ++steps) {
    if (sameName(table[id], name)) return uint16_t(id);
    id = table[id].previous;
  }
  return 0;
}

int objInClass(const void* object, const char* name) {
  if (!object) return 0;
  if (!name) name = "";
  const uint16_t first = *static_cast<const uint16_t*>(object);
  bool bad = false;
  uint32_t id = first;
  for (uint32_t steps = 0; id != 0; ++steps) {
    if (!validId(id) || steps >= classCount) {
      bad = true;
      break;
    }
    if (sameName(table[id], name)) return 1;
    id = table[id].superclass;
  }
  if (!bad) return 0;

  id = first;
  for (uint32_t steps = 0; id != 0 && steps <= classCount; ++steps) {
    if (id >= classCount) {
      dbgPrintf("Class: %d %.8s\n", int32_t(id), "");
      break;
    }
    dbgPrintf("Class: %d %.8s\n", int32_t(id), ShortName(table[id]).text);
    id = table[id].superclass;
  }
  uAlert(0, "TBad object in objInClass", nullptr);
  return objBadClass;
}

char* objClassName(const void* object, int size, char* buffer) {
  if (!buffer || size < 1) return buffer;
  size_t length = 0;
  if (object) {
    const uint16_t id = *static_cast<const uint16_t*>(object);
    if (rootMade && id < classCount) {
      const objClassRec& e = table[id];
      const size_t limit = size - 1 < 8 ? size_t(size - 1) : 8;
      while (length < limit && e.name[length]) {
        buffer[length] = e.name[length];
        ++length;
      }
    }
  }
  buffer[length] = 0;
  return buffer;
}

int objValidate(const void* object) {
  if (!object) return -1;
  const uint16_t id = *static_cast<const uint16_t*>(object);
  if (id == 0) return -2;
  if (id >= classCount) return -3;
  return 0;
}

uint32_t objClassCount() { return classCount; }

const objClassRec* objClassEntry(uint16_t id) { return rootMade && id < classCount ? &table[id] : nullptr; }

void objClassTestReset() {
  uFree(&table);
  classCount = 0;
  tableCapacity = 0;
  rootMade = false;
  root = objClassRoot{};
}

objClassRec* objClassTestEntry(uint16_t id) { return rootMade && id < classCount ? &table[id] : nullptr; }

void objClassTestPad(uint32_t count) {
  objClassInit();
  if (count > classIdLimit) count = classIdLimit;
  if (count <= classCount) return;
  if (count > tableCapacity) uAlloc(&table, &tableCapacity, (count + 15) / 16 * 16, sizeof(objClassRec));
  for (; classCount < count; ++classCount) {
    table[classCount] = objClassRec{root.tag, {}, 0, 0, objRootHandler};
  }
}
