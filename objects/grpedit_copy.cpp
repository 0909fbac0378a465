// New groups from a group: copies of its members (aDuplicate), the parts
// of its composites (aFlatten) and its members of one class (aGetType).
#include "objects/grpedit.h"

#include "core/classes.h"
#include "core/debug.h"
#include "core/errors.h"
#include "fe/opcall.h"
#include "objects/layer.h"
#include "objects/objrecord.h"
#include "objects/objsend.h"

#include <cstring>

namespace {

void putGroup(feArgs* args, glist* group) { *reinterpret_cast<glist**>(args->out[0]) = group; }

struct FlattenPass {
  bool single;   // the group has exactly one member: hatches are flattened too
};

// A member that answers parts gives them to the group being built in its
// place; when it was in the document, the parts take its place there.
int flattenMember(gobjRec* member, void* context) {
  const auto* pass = static_cast<const FlattenPass*>(context);
  if (grpIsGroup(member)) return 0;
  if (!pass->single && objInClass(member, "hatch") == 1) return 0;
  glist* parts = nullptr;
  objParts(member, &parts);
  if (!parts) return 0;
  int32_t count = 0;
  grpCount(parts, &count);
  if (count > 0) {
    const bool inDocument = (member->flags & gobjInSieve) != 0;
    if (!inDocument || objDelete(member, 1) == 0) {
      grpForEach(parts, [](gobjRec* part, void* context) {
        if (!part) return 0;
        grpAdd(part);
        if (*static_cast<bool*>(context)) objInsert(part);
        return 0;
      }, const_cast<bool*>(&inDocument));
    }
  }
  // The result holds the parts it took; the others go with the parts group.
  grpRelease(&parts);
  return 0;
}

}  // namespace

bool objOnScratchLayer(const gobjRec* object) {
  const char* name = nullptr;
  uint32_t length = 0;
  if (!object || layerName(objLayerNo(object), &name, &length) != 0 || !name) return false;
  return length == 5 && std::memcmp(name, ".temp", 5) == 0;
}

// "Q[group]#Q": copies (message 313) of the members not on ".temp", not
// entered into the document.
int aDuplicateOp(feArgs* args) {
  grpBegin();
  grpForEach(static_cast<glist*>(args->in[0].record), [](gobjRec* member, void*) {
    if (grpIsGroup(member) || objOnScratchLayer(member)) return 0;
    if (gobjRec* copy = objDuplicate(member)) grpAdd(copy);
    return 0;
  }, nullptr);
  putGroup(args, grpEnd());
  return 0;
}

// "!Q[group]#Q": each member is asked for its parts (message 338); one that
// answers some leaves the document and its parts join the result (taking
// its place in the document). Hatches are only taken apart alone.
int aFlattenOp(feArgs* args) {
  auto* group = static_cast<glist*>(args->in[0].record);
  grpBegin();
  if (group && !grpIsGroup(group)) {
    dbgPanic("expected group in aFlatten");
  } else {
    // The members counted up to 2: whether the group holds exactly one.
    int count = 0;
    grpForEach(group, [](gobjRec*, void* context) { return ++*static_cast<int*>(context) >= 2 ? 1 : 0; },
               &count);
    FlattenPass pass{count == 1};
    grpForEach(group, flattenMember, &pass);
  }
  putGroup(args, grpEnd());
  return 0;
}

// "QS#Q": the members (or the single object) of the named class or one of
// its subclasses (8 significant characters).
int aGetTypeOp(feArgs* args) {
  void* record = args->in[0].record;
  if (record && !grpIsGroup(record) && !gobjIs(record)) return feErrTypeCheck;
  const feArgText& text = args->in[1].text;
  char name[9] = {};
  std::memcpy(name, text.text, size_t(text.length < 8 ? text.length : 8));
  grpBegin();
  auto take = [](gobjRec* object, void* context) {
    if (object && !grpIsGroup(object) && objInClass(object, static_cast<const char*>(context)) == 1) grpAdd(object);
    return 0;
  };
  if (grpIsGroup(record)) {
    grpForEach(static_cast<glist*>(record), take, name);
  } else if (record) {
    take(static_cast<gobjRec*>(record), name);
  }
  putGroup(args, grpEnd());
  return 0;
}
