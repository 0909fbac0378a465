// The class "gobject": object life (creation, references, freeing) and the
// handler every drawing class inherits. Attribute keys are in
// gobject_attr.cpp, the head's record in gobject_io.cpp.
#include "objects/gobject.h"

#include "core/alloc.h"
#include "core/bbox.h"
#include "core/classes.h"
#include "core/debug.h"
#include "core/sfloat.h"
#include "draw/gx.h"
#include "objects/clump.h"
#include "objects/contain.h"
#include "objects/ddict.h"
#include "objects/docstate.h"
#include "objects/docvar_sheet.h"
#include "objects/gobject_internal.h"
#include "objects/layer.h"
#include "objects/lnfont.h"
#include "objects/objinfo.h"
#include "objects/objmsg.h"
#include "objects/objrecord.h"
#include "objects/objsend.h"
#include "objects/pen.h"
#include "objects/selmode.h"
#include "objects/sieve.h"
#include "objects/style.h"
#include "objects/symb.h"
#include "objects/update.h"

#include <cstring>
#include <map>
#include <string>

namespace {

enum { kNoMethod = -4127 };

uint16_t classId;
objDetachFn detachHook = nullptr;
uint32_t idCounter = 1;   // 0 stays the id of objects that were never given one

intptr_t word(const void* p) { return reinterpret_cast<intptr_t>(p); }

// 300: the most derived class has put the record into the slot; it takes
// the drawing attributes of the current default object.
int gobjNewRecord(gobjRec** slot) {
  if (!slot || !*slot) {
    dbgPanic("alloc gobject?");
    return -1;
  }
  gobjRec* record = *slot;
  const uint16_t id = record->classId ? record->classId : classId;
  gobjCopyAttrs(gobjDefaultHead(), record);
  record->classId = id;
  return 0;
}

// 313: the copy is made by the object's own class when the slot is empty.
int gobjCopy(gobjRec* object, gobjRec** slot) {
  if (!slot) return -1;
  if (!*slot) {
    const int answer = objMeth(object->classId, msgNew, nullptr, word(slot));
    if (!*slot) return answer < 0 ? answer : -1;
  }
  (*slot)->classId = object->classId;
  gobjCopyAttrs(object, *slot);
  return 0;
}

// 328: mode 0 deselects, 1 selects, other values toggle.
int gobjSelectFlag(gobjRec* object, intptr_t mode) {
  const bool selected = (object->flags & gobjSelected) != 0;
  const bool want = mode == 0 ? false : mode == 1 ? true : !selected;
  if (want == selected) return 0;
  object->flags = uint16_t(want ? object->flags | gobjSelected : object->flags & ~gobjSelected);
  // An object in a sieve is queued for redrawing here once the redraw lists
  // exist.
  return 0;
}

// 329: the parts the class enumerates (message 337) must all lie in the
// box. Points are compared as compact values, the box's own coding; taking
// them to pixels of the current view joins this with the views.
struct PartsTest {
  const int16_t* box;
  bool inside = true;
};

void partPoint(const double* point, void* context) {
  auto* test = static_cast<PartsTest*>(context);
  uint16_t code[3];
  sfloatPack(0, 3, point, code);
  for (int axis = 0; axis < 3; ++axis) {
    const int16_t v = int16_t(code[axis]);
    if (v < test->box[axis] || v > test->box[axis + 3]) test->inside = false;
  }
}

int gobjBoxTest(gobjRec* object, const int16_t* box) {
  if (!box) return 0;
  PartsTest test{box};
  if (objEnum(object, 0.0, partPoint, partPoint, &test) >= 0) return test.inside ? 3 : 0;
  const char* type = nullptr;
  objTypeName(object, &type);
  uAlert(0, "TBoxTest not implemented for type ^0", type);
  return bboxContains(box, object->box) ? 3 : 0;
}

// 344: enters the object into the current document.
int gobjInsert(gobjRec* object) {
  dbDocRec* doc = dbCurrentDoc();
  if (!doc || !doc->sieve) return -1;
  if (object->flags & gobjInSieve) return 0;
  if (object->owner == 0) object->owner = objMeth(object->classId, msgHasText, object) < 0 ? 0 : doc->currentModel;
  int shown;
  if (layerIsVisible(object, &shown) != 0) layerSet(object, doc->workLayer, 0);
  if (sieveInsert(doc->sieve, object) != 0) return -1;
  objUpdateQueue(object);
  return 0;
}

// 345: deletes the object from its document. The count is held up while
// working so that nothing below frees the object under this routine; a count
// of 254 is not raised, which would make the object permanent.
int gobjDetach(gobjRec* object) {
  const bool held = object->refCount < gobjPermanent - 1;
  if (held) ++object->refCount;
  objDamage(object);
  if (object->flags & gobjInSieve) sieveRemove(static_cast<sieveRec*>(object->sieve), object);
  // A listed object (flag 0x0008) leaves the chain of recent objects, which
  // gives back its count without freeing: the count held here keeps it.
  if ((object->flags & gobjRecent) && detachHook) detachHook(object);
  if (held && --object->refCount == 0) objFree(object);
  return 0;
}

// 320: an object in a sieve moves to the cell of its new box. Message 320 is
// under way, so the changed mark is cleared before the entry, which would
// otherwise send it again. The removal lowers the count without freeing, so
// the object outlives the move; one whose new box cannot be entered is left
// out of the document and not freed here, where its class is still at work
// on it.
int gobjResort(gobjRec* object) {
  if (!(object->flags & gobjInSieve)) return 0;
  auto* sieve = static_cast<sieveRec*>(object->sieve);
  object->flags &= uint16_t(~gobjChanged);
  if (sieveRemove(sieve, object) == 0) sieveInsert(sieve, object);
  return 0;
}

// 347: the class name, kept per class so that the answered text stays valid.
const char* typeNameOf(const gobjRec* object) {
  static std::map<uint16_t, std::string> names;
  auto found = names.find(object->classId);
  if (found == names.end()) {
    char buffer[16];
    objClassName(object, sizeof buffer, buffer);
    found = names.emplace(object->classId, buffer).first;
  }
  return found->second.c_str();
}

// 100: frees the record and its attribute dictionary.
int gobjFree(gobjRec* object) {
  ddFree(&object->attrs);
  object->classId = 0;
  gobjFreeRecord(object);
  return 0;
}

}  // namespace

uint16_t gobjInit(int) {
  classId = objClassRegister("gobject", 0, gobjHandler);
  gobjLoopInit();
  // Styles come with the graphic objects: text, paragraph, character and
  // hatch styles are what the drawing classes share.
  styleInit();
  // Symbols, then the containers' class with the instances under it.
  symbInit();
  containInit(classId);
  // Clumps stand under the containers' class.
  clumpInit();
  return classId;
}

uint16_t gobjClassId() { return classId; }

bool gobjIs(const void* record) {
  if (!record || !classId) return false;
  // The chain ends at the root (id 0); it is no longer than the table.
  uint16_t id = *static_cast<const uint16_t*>(record);
  for (uint32_t steps = objClassCount(); id != 0 && steps > 0; --steps, id = objSuperClass(id))
    if (id == classId) return true;
  return false;
}

objDetachFn objSetDetachHook(objDetachFn hook) {
  const objDetachFn previous = detachHook;
  detachHook = hook;
  return previous;
}

int gobjHandler(void* record, int message, intptr_t a, intptr_t b, intptr_t c) {
  auto* object = static_cast<gobjRec*>(record);
  switch (message) {
    case msgFree: return gobjFree(object);
    case msgGetAttr: return gobjGetAttr(object, reinterpret_cast<const feObject*>(a), reinterpret_cast<feObject*>(b));
    case msgSetAttr:
      return gobjSetAttr(object, reinterpret_cast<const feObject*>(a), reinterpret_cast<const feObject*>(b));
    case msgForAll: return gobjForAll(object, reinterpret_cast<const feObject*>(a));
    case msgNew: return gobjNewRecord(reinterpret_cast<gobjRec**>(a));
    case msgDraw:
      if (object->flags & gobjChanged) objChanged(object, 0);
      // The pen of the style byte (bits 5-7), the line font (bits 0-4), then
      // the colour.
      penSelect(object->style);
      lnfontSelect(gobjLineFont(object));
      // While the colour is overridden (a composite draws its members in its
      // own colour) the current colour stays.
      if (gxColorOverrideCount() <= 0) gxSetColor(gobjDrawColor(object));
      return 0;
    case msgErase: {
      int32_t mode = 0;
      gxGetAttr(2, &mode);
      gxSetDrawMode(1);
      const int answer = objMeth(object->classId, msgDraw, object);
      gxSetDrawMode(mode);
      return answer;
    }
    case msgExtents:
    case msgEvaluator:
    case msgCheck319:
    case msgEnumVertices:
    case msgRelink:
    case msgIsContainer: return -1;
    case msgIO: return gobjHeadIO(object, reinterpret_cast<ioCtx*>(a));
    case msgCopy: return gobjCopy(object, reinterpret_cast<gobjRec**>(a));
    case msgArcLength: return kNoMethod;
    case msgChanged:
      // A changed object of the point-input chain (flag 0x0008) marks the
      // chain changed, so that the end of the command takes its points
      // again. Resetting the selection joins this with the selection.
      if (object->flags & gobjRecent) sheetRecentTouched(object);
      return gobjResort(object);
    case msgSelect: return gobjSelectFlag(object, a);
    case msgBoxTest: return gobjBoxTest(object, reinterpret_cast<const int16_t*>(b));
    case msgPtSelSet:
      // The point mark is drawn here once the drawing layer exists.
      return 0;
    case msgPtSelXform:
      // Moving the selected points of a class without points moves it all.
      return objMeth(object->classId, msgXformInPlace, object, a, b, c);
    case msgXformInPlace: {
      gobjRec* slot = object;
      return objMeth(object->classId, msgXform, object, a, word(&slot), b);
    }
    case msgEditStart: return 0;
    case msgEditEnd: return objMeth(object->classId, msgChanged, object);
    case msgParts:
      // Groups join this: until then the parts are an empty slot.
      if (a) *reinterpret_cast<void**>(a) = nullptr;
      return -1;
    case msgAttach: return gobjInsert(object);
    case msgDetach: return gobjDetach(object);
    case msgPropPanel:
      gobjAttrText(object, reinterpret_cast<void*>(a), gobjInfoParts);
      return 0;
    case msgTypeName:
      if (a) *reinterpret_cast<const char**>(a) = typeNameOf(object);
      return 0;
    case msgEnumVertices2: return objMeth(object->classId, msgEnumVertices, object, a, b, c);
    case msgEnumKeys: return gobjEnumKeys(object, reinterpret_cast<objKeyCallback>(a), reinterpret_cast<void*>(b));
    default: return objMeth(objSuperClass(classId), message, record, a, b, c);
  }
}

int gobjNewAs(uint16_t id, uint32_t size, intptr_t slotWord) {
  auto** slot = reinterpret_cast<gobjRec**>(slotWord);
  if (!slot) return -1;
  if (!*slot) {
    *slot = gobjAllocRecord(size);
    (*slot)->classId = id;
  }
  return objMeth(objSuperClass(id), msgNew, *slot, slotWord);
}

gobjRec* objNew(uint16_t id) {
  gobjRec* slot = nullptr;
  objMeth(id, msgNew, nullptr, word(&slot));
  return slot;
}

void objRelease(gobjRec** slot) {
  if (!slot || !*slot) return;
  gobjRec* object = *slot;
  *slot = nullptr;
  if (object->refCount == gobjPermanent || object->refCount == 0) return;
  if (--object->refCount == 0) objFree(object);
}

void objRetain(gobjRec* object) {
  if (object && object->refCount != gobjPermanent) ++object->refCount;
}

void objFree(gobjRec* object) {
  if (!object) return;
  // Any graphic object the sieve still holds is refused, not only curves:
  // freeing it would leave a dangling entry in the spatial index. Other
  // program objects freed here (work planes, say) have no such flag.
  if (objInClass(object, "gobject") == 1 && (object->flags & gobjInSieve)) {
    uAlert(0, "STried to free object still in the sieve!", "");
    return;
  }
  objMeth(object->classId, msgFree, object);
}

void gobjCopyAttrs(const gobjRec* from, gobjRec* to) {
  to->style = from->style;
  to->color = from->color;
  // The target moves to the source's layer and takes its hidden state.
  to->layer = from->layer;
  layerTakeHidden(to);
  const uint16_t travel = gobjControlPts | gobjPointSel;
  to->flags = uint16_t((to->flags & ~travel) | (from->flags & travel) | gobjChanged);
  std::memcpy(to->box, from->box, sizeof to->box);
  // The target gets its own copy of the dictionary: a block is never shared
  // between two objects. A copy refused for size leaves the target's own.
  if (from != to && ddCopy(from->attrs, &to->attrs) != 0) dbgPrintf("[gobjCopyAttrs] attributes not copied\n");
}

int gobjDrawColor(const gobjRec* object) {
  // The colour override wins; then, while the selection shows in colour, a
  // selected object takes the document's select colour.
  if (gxColorOverrideCount() > 0) return gxGetColor();
  if (!(selByGet() & selByColor) || !(object->flags & gobjSelected)) return object->color;
  const dbDocRec* doc = dbCurrentDoc();
  return doc ? doc->selectColor : object->color;
}

uint32_t gobjStyleHash(const gobjRec* object) { return object->style * 47u + object->color * 23u; }

uint32_t gobjIdReserve(uint32_t n) {
  const uint32_t current = idCounter;
  idCounter += n;
  return current;
}

gobjRec* gobjAllocRecord(uint32_t size) {
  if (size < sizeof(gobjRec)) size = sizeof(gobjRec);
  return static_cast<gobjRec*>(uAlloc(nullptr, nullptr, 1, size));
}

void gobjFreeRecord(gobjRec* object) {
  if (object) uFree(&object);
}
