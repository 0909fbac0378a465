// The class "group": the messages a group answers as a program object, the
// loop of its message 119 and the format letter G.
#include "objects/group.h"

#include "core/classes.h"
#include "core/debug.h"
#include "core/errors.h"
#include "fe/control.h"
#include "fe/exec.h"
#include "fe/generic.h"
#include "fe/names.h"
#include "fe/stack.h"
#include "fe/value.h"
#include "objects/group_internal.h"
#include "objects/ioformat.h"
#include "objects/objmsg.h"
#include "objects/objrecord.h"

#include <cstdio>
#include <cstring>

namespace {

enum { kSetIsEmpty = -4143 };

// 107: the first member that answers gives the value.
int getAttr(glist* group, intptr_t key, intptr_t out) {
  int answer = kSetIsEmpty;
  for (glist* block = group; block; block = block->next)
    for (int i = 0; i < grpBlockMembers && block->members[i]; ++i) {
      gobjRec* member = block->members[i];
      answer = objMeth(member->classId, msgGetAttr, member, key, out);
      if (answer == 0) return 0;
      auto* value = reinterpret_cast<feObject*>(out);
      feFree(value);
      feMakeNull(value);
    }
  return answer;
}

// 108: every member that is not locked gets the attribute.
int setAttr(glist* group, const feObject* key, const feObject* value) {
  if (!feNameIs(key, "locked")) grpRmLocked(group);
  int32_t count = 0;
  grpCount(group, &count);
  int answer = 0;
  for (glist* block = group; block; block = block->next)
    for (int i = 0; i < grpBlockMembers && block->members[i]; ++i) {
      gobjRec* member = block->members[i];
      const int result = objPutAttr(member, key, value);
      if (count == 1) answer = result;
    }
  return answer;
}

int insertAll(glist* group) {
  int answer = 0;
  grpForEach(group, [](gobjRec* member, void* context) {
    if (const int result = objInsert(member)) *static_cast<int*>(context) = result;
    return 0;
  }, &answer);
  return answer;
}

int deleteAll(glist* group) {
  const int locked = grpRmLocked(group);
  grpForEach(group, [](gobjRec* member, void*) {
    objDelete(member, 0);
    return 0;
  }, nullptr);
  grpDamage(group);
  // Ending the deletion (the selection cache and the update queue) joins
  // this when selection and the redraw lists exist.
  if (locked) uAlert(106, "WLocked objects not deleted.", nullptr);
  return 0;
}

// "@gloop": below it the index of the next member, the procedure and the
// group. Each pass pushes the next member and runs the procedure.
int contGroupLoop(feArgs*);

feContinuationSpec continuations[] = {
    {"@gloop", contGroupLoop, feFlagExec | feFlagLoop, {}, false},
};
bool loopMade = false;

feObject* entryAt(int32_t depth) { return feStackIndex(*feExecStack(), depth); }

gobjRec* memberAt(const glist* group, int32_t index) {
  for (const glist* block = group; block; block = block->next)
    for (int i = 0; i < grpBlockMembers && block->members[i]; ++i)
      if (index-- == 0) return block->members[i];
  return nullptr;
}

int contGroupLoop(feArgs*) {
  const feObject* self = entryAt(0);
  if (self && (self->flags & feFlagTerminated)) return feContinuationDone(4);
  feObject* index = entryAt(1);
  const feObject* body = entryAt(2);
  const feObject* target = entryAt(3);
  if (!index || feType(index) != feTInt || !body || feType(body) != feTArray || !target ||
      feType(target) != feTObject)
    return feErrTypeCheck;
  gobjRec* member = memberAt(static_cast<const glist*>(target->w0.obj), feGetInt(index));
  if (!member) return feContinuationDone(4);
  feObject value;
  feMakeObjRef(&value, member);
  feStack** operands = feOperandStack();
  int rc = fePush(operands, &value);
  if (rc != feOk) {
    feFree(&value);
    return rc;
  }
  feSetIntValue(index, feGetInt(index) + 1);
  // The push may move the execution stack: body is not used after it.
  const feObject copy = *body;
  if ((rc = fePushDup(feExecStack(), &copy)) != feOk) {
    feSetIntValue(entryAt(1), feGetInt(entryAt(1)) - 1);
    feStackPopN(*operands, 1);
    return rc;
  }
  feClearCurrent();
  return feOk;
}

int forAll(glist* group, const feObject* proc) {
  if (!proc || feType(proc) != feTArray || !feIsExec(proc)) return feErrTypeCheck;
  const feObject* cont = loopMade && continuations[0].made ? &continuations[0].value : nullptr;
  if (!cont) return feErrUnimplemented;
  feObject target, first;
  feMakeObjRef(&target, group);
  feMakeInt(&first, 0);
  const int rc = feExecReplaceTop({&target, proc, &first, cont});
  feFree(&target);
  return rc;
}

// The letter G: one group slot per repeat, as the member count and then
// each member as an object record.
int formatGroup(ioCtx* ctx, int repeat, const ioArg** cursor) {
  int bytes = 0;
  for (int r = 0; r < repeat; ++r) {
    auto** slot = reinterpret_cast<glist**>(*(*cursor)++);
    if (ctx->mode == 'w') {
      int32_t count = 0;
      grpCount(*slot, &count);
      bytes += putlong(count, ctx);
      grpForEach(*slot, [](gobjRec* member, void* c) {
        objWrite(member, static_cast<ioCtx*>(c));
        return 0;
      }, ctx);
      continue;
    }
    const long start = ioTell(ctx);
    int32_t count = 0;
    if (!getlong(&count)) return -1;
    // Every record takes at least two bytes: a larger count is damage.
    if (count < 0 || count > ioBytesLeft(ctx)) return -1;
    grpRelease(slot);
    grpBegin();
    for (int32_t i = 0; i < count; ++i) {
      int status = 0;
      gobjRec* member = nullptr;
      objRead(ctx, &status, &member);
      if (member) grpAdd(member);
      if (status == -1) break;  // the end mark: nothing more to read
    }
    glist* group = grpEnd();
    grpRetain(group);
    *slot = group;
    bytes += int(ioTell(ctx) - start);
  }
  return bytes;
}

}  // namespace

void grpLoopInit() {
  if (loopMade) return;
  loopMade = true;
  feMakeContinuations(continuations, sizeof continuations / sizeof continuations[0]);
}

void grpFormatInit() { ioDefFormat('G', formatGroup); }

int grpHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t) {
  auto* group = static_cast<glist*>(object);
  switch (message) {
    case msgFree:
      grpFree(group);
      return 0;
    case msgGetAttr:
      return getAttr(group, a, b);
    case msgSetAttr:
      return setAttr(group, reinterpret_cast<const feObject*>(a), reinterpret_cast<const feObject*>(b));
    case msgLength: {
      int32_t count = 0;
      grpCount(group, &count);
      if (a) *reinterpret_cast<int32_t*>(a) = count;
      return 0;
    }
    case msgForAll:
      return forAll(group, reinterpret_cast<const feObject*>(a));
    case msgAttach:
      return insertAll(group);
    case msgDetach:
      return deleteAll(group);
    default:
      return -1;
  }
}
