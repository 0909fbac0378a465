// Group blocks: allocation and statistics, the nesting builder, the other
// makers and the walkers.
#include "objects/group.h"

#include "core/alloc.h"
#include "core/debug.h"
#include "core/errors.h"
#include "objects/group_internal.h"
#include "objects/objrecord.h"

#include <cstddef>
#include <vector>

namespace {

enum : uint16_t { kFurtherBlock = 0xFFFF };

int32_t groupsInUse = 0;
int32_t blocksInUse = 0;

// A block with slots member slots, all null.
glist* newBlock(int slots, uint16_t classId) {
  const size_t size = offsetof(glist, members) + size_t(slots) * sizeof(gobjRec*);
  auto* block = static_cast<glist*>(uAlloc(nullptr, nullptr, 1, uint32_t(size)));
  block->classId = classId;
  ++blocksInUse;
  return block;
}

// A new first block: one more group in use.
glist* newGroup(int slots) {
  ++groupsInUse;
  return newBlock(slots, grpClassId());
}

void freeBlock(glist* block) {
  --blocksInUse;
  uFree(&block);
}

void retainMember(gobjRec* object) {
  if (object) objRetain(object);
}

// The builder: the block under construction (the front of the chain) and
// its member count; enclosing builds wait on the stack.
struct Build {
  glist* block = nullptr;
  int count = 0;
};
Build build;
std::vector<Build> builds;

int blockLength(const glist* block) {
  int n = 0;
  while (n < grpBlockMembers && block->members[n]) ++n;
  return n;
}

// Removes the members for which drop answers true, releasing them, and
// answers how many went.
template <class Pred>
int removeIf(glist* group, Pred drop) {
  int removed = 0;
  for (glist* block = group; block; block = block->next) {
    int kept = 0;
    for (int i = 0; i < grpBlockMembers && block->members[i]; ++i) {
      gobjRec* member = block->members[i];
      if (drop(member)) {
        objRelease(&member);
        ++removed;
      } else {
        block->members[kept++] = member;
      }
    }
    for (int i = kept; i < grpBlockMembers && block->members[i]; ++i) block->members[i] = nullptr;
    if (block->memberCount) block->memberCount = uint8_t(kept);
  }
  return removed;
}

}  // namespace

const int32_t* grpStatGroups() { return &groupsInUse; }
const int32_t* grpStatBlocks() { return &blocksInUse; }

bool grpIsGroup(const void* object) {
  return object && grpClassId() && static_cast<const glist*>(object)->classId == grpClassId();
}

void grpBegin() {
  builds.push_back(build);
  build = Build{};
}

int grpAdd(gobjRec* object) {
  if (!build.block || build.count == grpBlockMembers) {
    glist* block = newBlock(grpBlockSlots, kFurtherBlock);
    block->next = build.block;
    build.block = block;
    build.count = 0;
  }
  if (!object) return 0;
  build.block->members[build.count++] = object;
  retainMember(object);
  return object->refCount;
}

int grpAddCb(gobjRec* object, void*) {
  grpAdd(object);
  return 0;
}

glist* grpEnd() {
  glist* group = build.block;
  if (group) {
    group->classId = grpClassId();
    ++groupsInUse;
  } else {
    group = newGroup(1);
  }
  if (builds.empty()) {
    dbgPanic("unbalanced grpBegin/grpEnd");
    build = Build{};
  } else {
    build = builds.back();
    builds.pop_back();
  }
  return group;
}

void grpAddTo(gobjRec* object, glist** slot) {
  glist* first = *slot;
  if (!first || first->memberCount >= grpBlockMembers) {
    glist* block = newBlock(grpBlockSlots, grpClassId());
    // The new front block carries the group's count from now on.
    if (first) block->refCount = first->refCount;
    else ++groupsInUse;
    block->next = first;
    *slot = first = block;
  }
  first->members[first->memberCount++] = object;
  retainMember(object);
}

glist* grpOfOne(gobjRec* object) {
  glist* group = newGroup(2);
  group->members[0] = object;
  retainMember(object);
  return group;
}

glist* grpConcat(glist* a, glist* b) {
  if (!a) return b ? b : grpOfOne(nullptr);
  if (b) {
    glist* last = a;
    while (last->next) last = last->next;
    last->next = b;
    b->classId = kFurtherBlock;
    --groupsInUse;
  }
  return a;
}

glist* grpFlatten(glist* group, int copy) {
  grpBegin();
  if (group && !grpIsGroup(group)) {
    dbgPanic("expected group");
  } else {
    grpForEach(group, [](gobjRec* member, void* context) {
      if (!*static_cast<int*>(context)) {
        grpAdd(member);
      } else if (gobjRec* twin = objDuplicate(member)) {
        grpAdd(twin);
      }
      return 0;
    }, &copy);
  }
  return grpEnd();
}

int grpCount(const glist* group, int32_t* out) {
  *out = 0;
  if (group && !grpIsGroup(group)) return feErrTypeCheck;
  int32_t n = 0;
  for (const glist* block = group; block; block = block->next) n += blockLength(block);
  *out = n;
  return 0;
}

int grpCompare(const glist* a, const glist* b) {
  // Empty blocks add nothing, so they are passed over on either side.
  auto skipEmpty = [](const glist* block) {
    while (block && !block->members[0]) block = block->next;
    return block;
  };
  for (a = skipEmpty(a), b = skipEmpty(b); a && b; a = skipEmpty(a->next), b = skipEmpty(b->next)) {
    int i = 0;
    for (; i < grpBlockMembers && a->members[i]; ++i)
      if (a->members[i] != b->members[i]) return -1;
    if (i < grpBlockMembers && b->members[i]) return -1;
  }
  return a == b ? 0 : -1;
}

void grpRmInvisible(glist* group) {
  if (removeIf(group, [](gobjRec* m) { return !grpIsGroup(m) && (m->flags & gobjHidden); }))
    uAlert(102, "WInvisible objects ignored.", nullptr);
}

int grpRmLocked(glist* group) {
  return removeIf(group, [](gobjRec* m) { return !grpIsGroup(m) && (m->flags & gobjLocked); });
}

int grpForEach(const glist* group, objMemberFn callback, void* context) {
  for (const glist* block = group; block;) {
    // The link is read first: the callback may free what it was given.
    const glist* next = block->next;
    for (int i = 0; i < grpBlockMembers && block->members[i]; ++i)
      if (const int answer = callback(block->members[i], context)) return answer;
    block = next;
  }
  return 0;
}

gobjRec* grpFirst(const glist* group) {
  for (const glist* block = group; block; block = block->next)
    if (block->members[0]) return block->members[0];
  return nullptr;
}

void grpDamage(const glist* group) {
  grpForEach(group, [](gobjRec* member, void*) {
    if (!grpIsGroup(member)) objDamage(member);
    return 0;
  }, nullptr);
}

void grpRetain(glist* group) {
  if (group && group->refCount != gobjPermanent) ++group->refCount;
}

void grpRelease(glist** slot) {
  if (!slot || !*slot) return;
  glist* group = *slot;
  *slot = nullptr;
  if (group->refCount == gobjPermanent) return;
  if (group->refCount > 0 && --group->refCount > 0) return;
  grpFree(group);
}

void grpFree(glist* group) {
  if (!group) return;
  --groupsInUse;
  for (glist* block = group; block;) {
    glist* next = block->next;
    for (int i = 0; i < grpBlockMembers && block->members[i]; ++i) objRelease(&block->members[i]);
    freeBlock(block);
    block = next;
  }
}
