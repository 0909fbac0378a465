// The registry of named object sources and the module's set-up, which the
// first registration of a source runs.
#include "objects/group.h"

#include "core/alloc.h"
#include "core/classes.h"
#include "core/debug.h"
#include "objects/group_internal.h"

#include <cstring>

namespace {

enum { kChains = 32, kNameLength = 8 };

struct Source {
  Source* next;
  char name[kNameLength];  // not terminated when all 8 characters are used
  grpEnumerator enumerator;
  intptr_t data;
};

Source* chains[kChains];
bool ready = false;
uint16_t classId = 0;

int nameLength(const char* name, int length) {
  int n = 0;
  while (n < length && n < kNameLength && name[n]) ++n;
  return n;
}

// h = h * 9 + character over the (at most 8) characters, folded to 15 bits
// with arithmetic shifts.
int chainOf(const char* name, int length) {
  uint32_t h = 0;
  for (int i = 0; i < length; ++i) h = h * 9u + uint32_t(int32_t(static_cast<signed char>(name[i])));
  const int32_t s = int32_t(h);
  return ((s + (s >> 17) + (s >> 11)) & 0x7FFF) & (kChains - 1);
}

bool sameName(const Source* source, const char* name, int length) {
  if (std::memcmp(source->name, name, size_t(length)) != 0) return false;
  return length == kNameLength || source->name[length] == 0;
}

}  // namespace

uint16_t grpClassId() { return classId; }

void grpInit() {
  if (ready) return;
  ready = true;
  classId = objClassRegister("group", 0, grpHandler);
  allocInfoRegister("!group", grpStatGroups(), uint32_t(sizeof(glist)));
  allocInfoRegister("glist", grpStatBlocks(), uint32_t(sizeof(glist)));
  grpFormatInit();
  grpLoopInit();
  grpOpsRegister();
}

void grpDefine(const char* name, grpEnumerator enumerator, intptr_t data) {
  grpInit();
  const int length = nameLength(name, kNameLength);
  auto* source = new Source{};
  std::memcpy(source->name, name, size_t(length));
  source->enumerator = enumerator;
  source->data = data;
  Source** chain = &chains[chainOf(name, length)];
  source->next = *chain;
  *chain = source;
}

int grpEnum(const char* name, int length, objMemberFn callback, void* context) {
  const int n = nameLength(name, length);
  for (const Source* source = chains[chainOf(name, n)]; source; source = source->next)
    if (sameName(source, name, n)) return source->enumerator(callback, context, source->data);
  dbgPrintf("[grpEnum] No entry for group '%.*s'\n", length, name);
  return -1;
}

glist* grpOfSource(const char* name) {
  grpBegin();
  grpEnum(name, int(std::strlen(name)), grpAddCb, nullptr);
  return grpEnd();
}
