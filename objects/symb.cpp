// Symbol masters and copies: their records and references, the document's
// list of masters, definition with its recursion check, copies for
// parameter values and their resolution, and the module's set-up.
#include "objects/symb.h"

#include "core/alloc.h"
#include "core/classes.h"
#include "core/debug.h"
#include "core/text.h"
#include "fe/control.h"
#include "fe/value.h"
#include "objects/docstate.h"
#include "objects/docvar.h"
#include "objects/instanc.h"
#include "objects/iofile.h"
#include "objects/ioformat.h"
#include "objects/layer.h"
#include "objects/objmsg.h"
#include "objects/objsend.h"
#include "objects/uphooks.h"

#include <cstring>
#include <set>
#include <vector>

namespace {

uint16_t mastClass;
uint16_t copyClass;
int32_t liveMasters;
int32_t liveCopies;
// Starts at 1 so that an envelope stamp of 0 is always stale; skips 0 when
// it wraps.
uint32_t drawingGeneration = 1;
const symbResolver* currentResolver;

void raiseGeneration() {
  if (++drawingGeneration == 0) drawingGeneration = 1;
}

// Scratch objects on ".temp" are never copied into a symbol.
bool onTempLayer(const gobjRec* object) {
  const char* text = nullptr;
  uint32_t length = 0;
  return layerName(object->layer, &text, &length) == 0 && text && length == 5 && std::memcmp(text, ".temp", 5) == 0;
}

// A new group (one reference held) of copies of the members.
glist* duplicateMembers(const glist* group) {
  grpBegin();
  grpForEach(group, [](gobjRec* member, void*) {
    if (grpIsGroup(member) || onTempLayer(member)) return 0;
    if (gobjRec* twin = objDuplicate(member)) grpAdd(twin);
    return 0;
  }, nullptr);
  glist* copy = grpEnd();
  grpRetain(copy);
  return copy;
}

// The members of a container other than an instance (message 325).
std::vector<gobjRec*> containerMembers(gobjRec* object) {
  std::vector<gobjRec*> members;
  objEnumMembers(object, [](gobjRec* member, void* context) {
    static_cast<std::vector<gobjRec*>*>(context)->push_back(member);
    return 0;
  }, &members);
  return members;
}

bool objectHolds(gobjRec* object, const symbRec* target, std::set<const symbRec*>& seen);

// True when some member places the target (through instances, their
// masters' members and the members of other containers, to any depth). The
// masters already walked are not walked again, so a cycle already present
// (a damaged file) ends the walk too.
bool groupHolds(const glist* group, const symbRec* target, std::set<const symbRec*>& seen) {
  struct Walk {
    const symbRec* target;
    std::set<const symbRec*>* seen;
  } walk{target, &seen};
  return grpForEach(group, [](gobjRec* member, void* context) {
    auto* w = static_cast<Walk*>(context);
    return objectHolds(member, w->target, *w->seen) ? 1 : 0;
  }, &walk) != 0;
}

bool objectHolds(gobjRec* object, const symbRec* target, std::set<const symbRec*>& seen) {
  if (!object || grpIsGroup(object)) return false;
  if (instIs(object)) {
    const symbRec* symbol = instSymbol(object);
    const symbRec* master = symbol ? symbol->master : nullptr;
    if (!master) return false;
    if (master == target) return true;
    return seen.insert(master).second && groupHolds(master->members, target, seen);
  }
  if (!objIsContainer(object)) return false;
  for (gobjRec* member : containerMembers(object))
    if (objectHolds(member, target, seen)) return true;
  return false;
}

symbRec* newRecord(uint16_t classId) {
  auto* record = static_cast<symbRec*>(uAlloc(nullptr, nullptr, 1, sizeof(symbRec)));
  record->classId = classId;
  return record;
}

// A new master named by the part after the last ":". With a current
// document it goes to the front of the document's list, which holds it.
symbRec* newMaster(const char* name, int32_t length) {
  const char* text = nullptr;
  int32_t n = 0;
  symbBaseName(name, length, &text, &n);
  symbRec* master = newRecord(mastClass);
  master->master = master;
  master->name = uStrDup(text ? text : "", uint32_t(n), nullptr);
  ++liveMasters;
  if (dbDocRec* doc = dbCurrentDoc()) {
    master->next = doc->symbols;
    doc->symbols = master;
    master->uses = 1;
  }
  return master;
}

void clearSieveLinks(symbRec* master) {
  master->flags = uint8_t(master->flags & ~symbHasWallsFlag);
  grpForEach(master->members, [](gobjRec* member, void* context) {
    member->nextInCell = nullptr;
    member->sieve = nullptr;
    member->flags = uint16_t(member->flags & ~gobjInSieve);
    if (objInClass(member, "wall") == 1) static_cast<symbRec*>(context)->flags |= symbHasWallsFlag;
    return 0;
  }, master);
}

bool sameParams(const symbRec* copy, int32_t count, const symbParam* params) {
  if (copy->paramCount != count) return false;
  for (int32_t i = 0; i < count; ++i) {
    const char* a = copy->params[i].name ? copy->params[i].name : "";
    const char* b = params[i].name ? params[i].name : "";
    if (std::strcmp(a, b) != 0 || copy->params[i].value != params[i].value) return false;
  }
  return true;
}

void freeRecord(symbRec* record) {
  if (!record) {
    dbgPanic("[symbFree] bad arg in symbFree");
    return;
  }
  if (record->master == record) {
    record->master = nullptr;
    dbgPrintf("[symbFree] Free master symbol: %s\n", record->name ? record->name : "");
    uFreeIfSet(&record->name);
    --liveMasters;
  } else {
    if (symbRec* master = record->master) {
      for (symbRec** link = &master->copies; *link; link = &(*link)->copies) {
        if (*link != record) continue;
        *link = record->copies;
        break;
      }
      symbRelease(&record->master);
    }
    --liveCopies;
  }
  grpRelease(&record->members);
  symbParamsFree(record->paramCount, &record->params);
  record->paramCount = 0;
  record->classId = 0;
  uFree(&record);
}

int handler(uint16_t classId, void* object, int message, intptr_t a, intptr_t b, intptr_t c) {
  if (message == msgFree) {
    freeRecord(static_cast<symbRec*>(object));
    return 0;
  }
  return objMeth(objSuperClass(classId), message, object, a, b, c);
}

int mastHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t c) {
  return handler(mastClass, object, message, a, b, c);
}

int copyHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t c) {
  return handler(copyClass, object, message, a, b, c);
}

// The end of a document's settings record ends its masters.
void docHook(uint32_t event, dbDocRec* doc) {
  if (event == docEvtFreed && doc) symbFreeList(doc);
}

const feOpSpec kOps[] = {
    {"aSymbolList", symbOpList, "!"},
    {"aSymbolPeek", symbOpPeek, "S#Q/name # group/"},
    {"aSymbolDraw", symbOpDraw, "I<0>A{iiii}SR<1>I<0>I<1>#/screenbox name # -/"},
    {"aSymbolTrack", symbOpDraw, "I<1>A{iiii}SRA{II}I<1>#/screenbox name scale where # -/"},
    {"aDefSymbol", symbOpDefine, "Q[group]S#/group name # -/"},
    {"aTestSymbol", symbOpTest, "!S#B/name # bool/"},
    {"aSymbolTest", symbOpTestId, "!S#B/name # bool/"},
    {"aSymbolSetId", symbOpSetId, "!SI"},
};

// A resolve works on a temporary work plane ".xxx" (the world's axes) that
// is current for its duration.
int resolveOnPlane(symbRec* copy, glist* work) {
  // Without work planes (a program part without views) the resolve works in
  // world coordinates as they are.
  const objSavedPlane saved = objPushWorldPlane();
  double base[3];
  symbBasePoint(work, copy->master->options & symbFixedOrigin, base);
  if (currentResolver->setRefPoint) currentResolver->setRefPoint(base[0], base[1], base[2]);
  int answer = currentResolver->resolve(work, copy->paramCount, copy->params);
  if (answer != 0) uAlert(0, "T[symbResolve] Cannot resolve symbol", nullptr);
  if (currentResolver->cleanup) currentResolver->cleanup();
  objPopWorldPlane(saved);
  return answer;
}

}  // namespace

void symbSetResolver(const symbResolver* resolver) {
  currentResolver = resolver && resolver->resolve ? resolver : nullptr;
}

void symbInit() {
  if (mastClass) return;
  mastClass = objClassRegister("symbmast", 0, mastHandler);
  copyClass = objClassRegister("symbcopy", 0, copyHandler);
  ioDefFormat('Y', symbFormatIO);
  ioSetSegmentHook(ioWordSymbols, symbIO);
  allocInfoRegister("symbol", &liveMasters, uint32_t(sizeof(symbRec)));
  allocInfoRegister("symbol-copy", &liveCopies, uint32_t(sizeof(symbRec)));
  docAddEventHook(docHook);
  feOpSpecRegisterAll(kOps);
}

uint16_t symbMastClassId() { return mastClass; }
uint16_t symbCopyClassId() { return copyClass; }
uint32_t symbGeneration() { return drawingGeneration; }

bool symbIs(const void* record) {
  if (!record || !mastClass) return false;
  const uint16_t id = static_cast<const symbRec*>(record)->classId;
  return id == mastClass || id == copyClass;
}

void symbBaseName(const char* name, int32_t length, const char** outText, int32_t* outLength) {
  if (!name || length < 0) length = 0;
  int32_t start = 0;
  for (int32_t i = 0; i < length; ++i)
    if (name[i] == ':') start = i + 1;
  *outText = name ? name + start : "";
  *outLength = length - start;
}

symbRec* symbFind(const char* name, int32_t length, int create) {
  const char* text = nullptr;
  int32_t n = 0;
  symbBaseName(name, length, &text, &n);
  if (const dbDocRec* doc = dbCurrentDoc()) {
    for (symbRec* master = doc->symbols; master; master = master->next)
      if (master->name && int32_t(std::strlen(master->name)) == n && std::memcmp(master->name, text, size_t(n)) == 0)
        return master;
  }
  if (!create) return nullptr;
  static const double origin[3] = {0, 0, 0};
  symbRec* master = nullptr;
  symbDefine(nullptr, text, n, origin, &master);
  return master;
}

int symbDefine(glist* group, const char* name, int32_t length, const double* base, symbRec** slot) {
  if (!slot) return symbErrBadArg;
  symbRec* master = *slot;
  if (!master) {
    master = newMaster(name, length);
    *slot = master;
  } else {
    raiseGeneration();
  }
  // The check runs for every definition: a recursive symbol would never
  // end drawing.
  if (group) {
    std::set<const symbRec*> seen{master};
    if (groupHolds(group, master, seen)) return symbErrRecursive;
  }
  glist* members = duplicateMembers(group);
  grpRelease(&master->members);
  master->members = members;
  clearSieveLinks(master);
  if (base) std::memcpy(master->base, base, sizeof master->base);
  else symbBasePoint(master->members, master->options & symbFixedOrigin, master->base);
  master->generation = 0;
  for (symbRec* copy = master->copies; copy; copy = copy->copies) symbResolve(copy);
  return 0;
}

int symbCopyFor(symbRec* master, int32_t count, symbParam* params, symbRec** slot) {
  if (!master || !slot || count < 0 || count > 0xFFFF) {
    symbParamsFree(count > 0 ? count : 0, &params);
    return symbErrBadArg;
  }
  master = master->master ? master->master : master;
  symbRec* target = nullptr;
  bool fresh = false;
  int answer = 0;
  if (count == 0) {
    symbParamsFree(0, &params);
    target = master;
  } else {
    for (symbRec* copy = master->copies; copy && !target; copy = copy->copies)
      if (sameParams(copy, count, params)) target = copy;
    if (target) {
      symbParamsFree(count, &params);
    } else {
      // The new copy's first reference is the slot's.
      target = newRecord(copyClass);
      target->uses = 1;
      ++liveCopies;
      target->flags = master->flags;
      target->master = master;
      symbRetain(master);
      target->paramCount = uint16_t(count);
      target->params = params;
      target->copies = master->copies;
      master->copies = target;
      fresh = true;
      answer = symbResolve(target);
    }
  }
  if (*slot != target) {
    symbRelease(slot);
    if (!fresh) symbRetain(target);
    *slot = target;
  }
  return answer;
}

int symbResolve(symbRec* copy) {
  if (!copy || !copy->master || copy->master == copy) return 0;
  grpRelease(&copy->members);
  glist* work = duplicateMembers(copy->master->members);
  int answer = 0;
  if (copy->paramCount && currentResolver) answer = resolveOnPlane(copy, work);
  // The copy keeps every resolved member but the dimensions that drove it.
  grpBegin();
  grpForEach(work, [](gobjRec* member, void*) {
    if (objInClass(member, "dimen") != 1) grpAdd(member);
    return 0;
  }, nullptr);
  copy->members = grpEnd();
  grpRetain(copy->members);
  grpRelease(&work);
  copy->generation = 0;
  return answer;
}

void symbRetain(symbRec* symbol) {
  if (symbol && symbol->uses != UINT32_MAX) ++symbol->uses;
}

void symbRelease(symbRec** slot) {
  if (!slot || !*slot) return;
  symbRec* symbol = *slot;
  *slot = nullptr;
  if (symbol->uses > 0 && --symbol->uses > 0) return;
  objMeth(symbol->classId, msgFree, symbol);
}

void symbFreeList(dbDocRec* doc) {
  if (!doc) return;
  while (symbRec* master = doc->symbols) {
    doc->symbols = master->next;
    master->next = nullptr;
    symbRelease(&master);
  }
}

void symbImport(symbRec** slot) {
  symbRec* symbol = slot ? *slot : nullptr;
  dbDocRec* doc = dbCurrentDoc();
  if (!symbol || !doc || !symbol->master) return;
  const symbRec* old = symbol->master;
  for (const symbRec* master = doc->symbols; master; master = master->next)
    if (master == old) return;
  const int32_t length = int32_t(std::strlen(old->name));
  symbRec* master = symbFind(old->name, length, 0);
  const bool made = master == nullptr;
  // The old master is held while its members are copied.
  symbRec* keep = symbol->master;
  symbRetain(keep);
  symbDefine(keep->members, keep->name, length, keep->base, &master);
  if (made) {
    master->id = keep->id;
    master->options = keep->options;
  }
  symbCopyFor(master, symbol->paramCount, symbParamsCopy(symbol->paramCount, symbol->params), slot);
  symbRelease(&keep);
}

void symbInfo(const symbRec* symbol, const char** name, int32_t* count, const symbParam** params) {
  const symbRec* master = symbol ? symbol->master : nullptr;
  if (name) *name = master && master->name ? master->name : "";
  if (count) *count = symbol ? symbol->paramCount : 0;
  if (params) *params = symbol ? symbol->params : nullptr;
}

symbParam* symbParamsCopy(int32_t count, const symbParam* params) {
  if (count <= 0 || !params) return nullptr;
  symbParam* copy = nullptr;
  uAlloc(&copy, nullptr, uint32_t(count), sizeof(symbParam));
  for (int32_t i = 0; i < count; ++i) {
    const char* name = params[i].name ? params[i].name : "";
    copy[i].name = uStrDup(name, uint32_t(std::strlen(name)), nullptr);
    copy[i].value = params[i].value;
  }
  return copy;
}

void symbParamsFree(int32_t count, symbParam** params) {
  if (!params || !*params) return;
  for (int32_t i = 0; i < count; ++i) uFreeIfSet(&(*params)[i].name);
  uFree(params);
}
