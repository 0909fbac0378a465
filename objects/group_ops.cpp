// The group operators and the set operations behind them.
#include "objects/groupops.h"

#include "core/classes.h"
#include "core/errors.h"
#include "fe/control.h"
#include "fe/opcall.h"
#include "objects/group_internal.h"

#include <cstring>

namespace {

// Members that carry the mark: drawing objects. A group inside a group is
// looked for by walking the other group instead.
bool markable(const gobjRec* object) { return object && !grpIsGroup(object); }
bool marked(const gobjRec* object) { return object->flags & gobjSieveMark; }
void setMark(gobjRec* object, bool on) {
  object->flags = uint16_t(on ? object->flags | gobjSieveMark : object->flags & ~gobjSieveMark);
}

void markAll(const glist* group, bool on) {
  grpForEach(group, [](gobjRec* member, void* context) {
    if (markable(member)) setMark(member, *static_cast<bool*>(context));
    return 0;
  }, &on);
}

bool contains(const glist* group, const gobjRec* object) {
  return grpForEach(group, [](gobjRec* member, void* context) { return member == context ? 1 : 0; },
                    const_cast<gobjRec*>(object)) != 0;
}

// Adds a's members that are marked, clearing each mark as it is used (so
// a member listed twice is taken once); an unmarkable member is taken when
// its presence in other equals wanted.
void collectMarked(const glist* a, const glist* other, bool wanted) {
  struct Pass {
    const glist* other;
    bool wanted;
  } pass{other, wanted};
  grpForEach(a, [](gobjRec* member, void* context) {
    const auto* p = static_cast<Pass*>(context);
    if (markable(member)) {
      if (!marked(member)) return 0;
      setMark(member, false);
      grpAdd(member);
    } else if (contains(p->other, member) == p->wanted) {
      grpAdd(member);
    }
    return 0;
  }, &pass);
}

glist* groupOf(void* record) { return static_cast<glist*>(record); }

void putGroup(feArgs* args, int slot, glist* group) { *reinterpret_cast<glist**>(args->out[slot]) = group; }

// "last" and "current" are registered by the tracking tools and "docAll" by
// the documents; until they exist grpEnum logs the missing entry and the
// group is empty.
int opSource(feArgs* args, const char* name) {
  putGroup(args, 0, grpOfSource(name));
  return 0;
}
int opLast(feArgs* args) { return opSource(args, "last"); }
int opSelected(feArgs* args) { return opSource(args, "selected"); }
int opPtSelected(feArgs* args) { return opSource(args, "ptselected"); }
int opAll(feArgs* args) { return opSource(args, "all"); }

int opCount(feArgs* args) {
  return grpCount(groupOf(args->in[0].record), static_cast<int32_t*>(args->out[0]));
}

struct TypeCount {
  char name[9];
  bool descend;
  int32_t count;
};

int countType(gobjRec* member, void* context) {
  auto* tc = static_cast<TypeCount*>(context);
  if (!markable(member)) return 0;
  if (objInClass(member, tc->name) == 1) ++tc->count;
  if (tc->descend && objIsContainer(member)) objEnumMembers(member, countType, tc);
  return 0;
}

int typeCount(feArgs* args, bool descend) {
  auto* out = static_cast<int32_t*>(args->out[0]);
  glist* group = groupOf(args->in[0].record);
  if (group && !grpIsGroup(group)) {
    *out = -1;
    return 0;
  }
  TypeCount tc{};
  const feArgText& text = args->in[1].text;
  std::memcpy(tc.name, text.text, size_t(text.length < 8 ? text.length : 8));
  tc.descend = descend;
  grpForEach(group, countType, &tc);
  *out = tc.count;
  return 0;
}
int opTypeCount(feArgs* args) { return typeCount(args, false); }
int opTypeCountR(feArgs* args) { return typeCount(args, true); }

// A group, a drawing object or null; any other program object is not a
// member of a group.
bool groupOrObject(const void* record) { return !record || grpIsGroup(record) || gobjIs(record); }

int opGList(feArgs* args) {
  void* record = args->in[0].record;
  if (!groupOrObject(record)) return feErrTypeCheck;
  putGroup(args, 0, grpIsGroup(record) ? grpFlatten(groupOf(record), 0) : grpOfOne(static_cast<gobjRec*>(record)));
  return 0;
}

int opSetEmpty(feArgs* args) {
  grpBegin();
  putGroup(args, 0, grpEnd());
  return 0;
}

int opSetNot(feArgs* args) {
  putGroup(args, 0, grpSetNot(groupOf(args->in[0].record), groupOf(args->in[1].record)));
  return 0;
}

int opSetUnion(feArgs* args) {
  putGroup(args, 0, grpSetUnion(groupOf(args->in[0].record), groupOf(args->in[1].record)));
  return 0;
}

int opSetIntersect(feArgs* args) {
  putGroup(args, 0, grpSetIntersect(groupOf(args->in[0].record), groupOf(args->in[1].record)));
  return 0;
}

int opSetCompare(feArgs* args) {
  // Equal groups push false, differing ones true.
  *static_cast<int32_t*>(args->out[0]) = grpCompare(groupOf(args->in[0].record), groupOf(args->in[1].record)) != 0;
  return 0;
}

int addSignature(gobjRec* member, void* context) {
  int32_t signature = 0;
  if (markable(member)) objSignature(member, &signature);
  auto* sum = static_cast<int32_t*>(context);
  *sum = int32_t(uint32_t(*sum) + uint32_t(signature));
  return 0;
}

int opSignature(feArgs* args) {
  void* record = args->in[0].record;
  auto* sum = static_cast<int32_t*>(args->out[0]);
  if (!groupOrObject(record)) return feErrTypeCheck;
  if (grpIsGroup(record)) grpForEach(groupOf(record), addSignature, sum);
  else if (record) addSignature(static_cast<gobjRec*>(record), sum);
  return 0;
}

int opRmLocked(feArgs* args) {
  glist* group = groupOf(args->in[0].record);
  *static_cast<int32_t*>(args->out[1]) = grpRmLocked(group);
  putGroup(args, 0, group);
  return 0;
}

const feOpSpec kOps[] = {
    {"aLast", opLast, "!P#Q"},
    {"aSelected", opSelected, "!P#Q"},
    {"aPtSelected", opPtSelected, "!P#Q"},
    {"aAll", opAll, "!P#Q"},
    {"aCount", opCount, "!Q[group]#I/group # count/"},
    {"aTypeCount", opTypeCount, "!Q[group]S#I/group type # count/"},
    {"aTypeCountR", opTypeCountR, "!Q[group]S#I/group type # count/"},
    {"aGList", opGList, "!Q#Q"},
    {"aSetEmpty", opSetEmpty, "!P#Q"},
    {"aGListNot", opSetNot, "!Q[group]Q[group]#Q"},
    {"aSetNot", opSetNot, "!Q[group]Q[group]#Q"},
    {"aSetUnion", opSetUnion, "!Q[group]Q[group]#Q"},
    {"aSetIntesect", opSetIntersect, "!Q[group]Q[group]#Q"},
    {"aSetCompare", opSetCompare, "!Q[group]Q[group]#B"},
    {"aSignature", opSignature, "!Q#I"},
    {"aGListRmLocked", opRmLocked, "Q[group]#QI"},
};

}  // namespace

void grpOpsRegister() { feOpSpecRegisterAll(kOps); }

const feOpSpec* grpOpSpec(const char* name) { return feOpSpecFind(kOps, name); }

glist* grpSetNot(const glist* a, const glist* b) {
  markAll(a, true);
  markAll(b, false);
  grpBegin();
  collectMarked(a, b, false);
  return grpEnd();
}

glist* grpSetUnion(const glist* a, const glist* b) {
  markAll(a, true);
  markAll(b, false);
  grpBegin();
  grpForEach(b, grpAddCb, nullptr);
  collectMarked(a, b, false);
  return grpEnd();
}

glist* grpSetIntersect(const glist* a, const glist* b) {
  markAll(b, true);
  grpBegin();
  collectMarked(a, b, true);
  markAll(b, false);
  return grpEnd();
}
