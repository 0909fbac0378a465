// The class "style": making, copying, counting and freeing styles, the
// program-wide style table that interns equal styles, the defaults, and the
// class handler. Attribute access is in style_attr.cpp, the typed accessors
// in style_access.cpp, records and the per-file table in style_io.cpp.
#include "objects/style.h"
#include "objects/style_internal.h"

#include "core/alloc.h"
#include "core/classes.h"
#include "core/debug.h"
#include "core/errors.h"
#include "objects/objmsg.h"

#include <cstring>

namespace {

uint16_t classId;
bool initialised;

styleRec** table;          // the style table; empty slots null
uint32_t tableSize;

styleRec* defText;
styleRec* defPara;
styleRec* defChar;

enum : uint32_t { kTableGrowth = 8 };

styleRec* allocRecord() {
  styleRec* s = nullptr;
  uAlloc(&s, nullptr, 1, sizeof(styleRec));
  s->classId = classId;
  return s;
}

// The kind's fields as they are when made.
void initKind(styleRec* s, uint16_t kind) {
  s->kind = kind;
  if (kind == styleKindText) s->text.xScale = 1.0f;
  if (kind == styleKindChar) s->chr.fontId = styleNoFont;
}

bool sameBits(const void* a, const void* b, size_t n) { return std::memcmp(a, b, n) == 0; }
#define STYLE_SAME(a, b, field) sameBits(&(a).field, &(b).field, sizeof (a).field)

bool sameFamily(const styleHatchLine& a, const styleHatchLine& b) {
  return STYLE_SAME(a, b, offset) && STYLE_SAME(a, b, rotation) && STYLE_SAME(a, b, spacing) &&
         STYLE_SAME(a, b, interLineSpace) && STYLE_SAME(a, b, inset) && STYLE_SAME(a, b, phase) &&
         STYLE_SAME(a, b, phaseAngle) && a.lines == b.lines && a.lineType == b.lineType &&
         a.lockPoint == b.lockPoint && STYLE_SAME(a, b, linePhase) && a.patternLength == b.patternLength &&
         STYLE_SAME(a, b, pattern);
}

bool sameKindFields(const styleRec* a, const styleRec* b) {
  switch (a->kind) {
    case styleKindChar:
      return STYLE_SAME(a->chr, b->chr, size) && STYLE_SAME(a->chr, b->chr, slant) && a->chr.flags == b->chr.flags &&
             a->chr.color == b->chr.color && a->chr.fontId == b->chr.fontId && a->chr.width == b->chr.width;
    case styleKindText:
      return STYLE_SAME(a->text, b->text, topMargin) && STYLE_SAME(a->text, b->text, bottomMargin) &&
             STYLE_SAME(a->text, b->text, leftMargin) && STYLE_SAME(a->text, b->text, rightMargin) &&
             STYLE_SAME(a->text, b->text, xScale);
    case styleKindPara:
      return a->para.align == b->para.align && STYLE_SAME(a->para, b->para, beforeLead) &&
             STYLE_SAME(a->para, b->para, lineLead) && STYLE_SAME(a->para, b->para, firstLineIndent) &&
             STYLE_SAME(a->para, b->para, leftIndent) && STYLE_SAME(a->para, b->para, rightIndent);
    case styleKindHatch:
      if (a->hatch.familyCount != b->hatch.familyCount) return false;
      if (!STYLE_SAME(a->hatch, b->hatch, rotation) || !STYLE_SAME(a->hatch, b->hatch, scale) ||
          !STYLE_SAME(a->hatch, b->hatch, tolerance) || !STYLE_SAME(a->hatch, b->hatch, offset))
        return false;
      for (uint32_t i = 0; i < a->hatch.familyCount; ++i)
        if (!sameFamily(a->hatch.families[i], b->hatch.families[i])) return false;
      return true;
    default:
      return true;
  }
}

#undef STYLE_SAME

void clearSlot(const styleRec* s) {
  for (uint32_t i = 0; i < tableSize; ++i)
    if (table[i] == s) table[i] = nullptr;
}

// The default slot of a kind, or null.
styleRec** defaultSlot(uint16_t kind) {
  switch (kind) {
    case styleKindText: return &defText;
    case styleKindPara: return &defPara;
    case styleKindChar: return &defChar;
    default: return nullptr;
  }
}

// A default made afresh (one reference: the default's).
void makeDefault(styleRec** slot, uint16_t kind) {
  if (*slot) return;
  *slot = styleNew(kind);
  styleRef(*slot);
}

void dropDefault(styleRec** slot) {
  styleRec* s = *slot;
  *slot = nullptr;
  styleUnref(s);
}

int styleHandler(void* record, int message, intptr_t a, intptr_t b, intptr_t c) {
  auto* s = static_cast<styleRec*>(record);
  switch (message) {
    case msgFree:
      styleFree(s);
      return 0;
    case msgGetAttr: return styleGetAttr(s, reinterpret_cast<const feObject*>(a), reinterpret_cast<feObject*>(b));
    case msgSetAttr: return styleSetAttr(s, reinterpret_cast<const feObject*>(a), reinterpret_cast<const feObject*>(b));
    case msgGetIndexed:
      return styleGetIndexed(s, reinterpret_cast<const feObject*>(a), reinterpret_cast<feObject*>(b));
    case msgSetIndexed:
      return styleSetIndexed(s, reinterpret_cast<const feObject*>(a), reinterpret_cast<const feObject*>(b));
    case msgNew: {
      // Records made for reading get their kind from the record.
      auto** slot = reinterpret_cast<styleRec**>(a);
      if (!slot) return -1;
      if (!*slot) *slot = allocRecord();
      return 0;
    }
    case msgIO: {
      auto** slot = reinterpret_cast<styleRec**>(b);
      styleRec* target = slot && *slot ? *slot : s;
      return styleRecordIO(target, reinterpret_cast<ioCtx*>(a));
    }
    default:
      // Messages a style does not know climb to the root, which answers
      // -303, so that a caller never takes them for done.
      return objMeth(objSuperClass(classId), message, record, a, b, c);
  }
}

}  // namespace

void styleSetText(char** text, uint16_t* textLength, const char* source, uint32_t length) {
  uFreeIfSet(text);
  *textLength = 0;
  if (!source || length == 0) return;
  if (length > 65535) length = 65535;
  char* copy = static_cast<char*>(uAlloc(nullptr, nullptr, length + 1, 1));
  std::memcpy(copy, source, length);
  copy[length] = 0;
  *text = copy;
  *textLength = uint16_t(length);
}

void styleResizeFamilies(styleRec* s, uint32_t count) {
  if (count > 65535) count = 65535;
  uint32_t have = s->hatch.families ? s->hatch.familyCount : 0;
  if (count == 0) {
    uFreeIfSet(&s->hatch.families);
  } else {
    uAlloc(&s->hatch.families, &have, count, sizeof(styleHatchLine));
  }
  s->hatch.familyCount = uint16_t(count);
}

void styleFree(styleRec* s) {
  if (!s) return;
  uFreeIfSet(&s->name);
  if (s->kind == styleKindChar) {
    styleFontUnref(s->chr.fontId);
    uFreeIfSet(&s->chr.fontName);
  }
  if (s->kind == styleKindHatch) uFreeIfSet(&s->hatch.families);
  clearSlot(s);
  s->classId = 0;
  uFree(&s);
}

uint16_t styleClassId() { return classId; }

styleRec* styleNew(uint16_t kind) {
  if (kind != styleKindText && kind != styleKindPara && kind != styleKindChar && kind != styleKindHatch)
    return nullptr;
  styleRec* s = allocRecord();
  initKind(s, kind);
  return s;
}

styleRec* styleCopy(const styleRec* from) {
  if (!from) return nullptr;
  if (from->kind != styleKindText && from->kind != styleKindPara && from->kind != styleKindChar &&
      from->kind != styleKindHatch) {
    dbgPanic("unknown case");
    return nullptr;
  }
  styleRec* s = allocRecord();
  s->kind = from->kind;
  s->flags = from->flags;
  styleSetText(&s->name, &s->nameLength, from->name, from->nameLength);
  switch (from->kind) {
    case styleKindText: s->text = from->text; break;
    case styleKindPara: s->para = from->para; break;
    case styleKindChar:
      s->chr = from->chr;
      s->chr.fontName = nullptr;
      styleSetText(&s->chr.fontName, &s->chr.fontNameLength, from->chr.fontName, from->chr.fontNameLength);
      styleFontRef(s->chr.fontId);
      break;
    case styleKindHatch:
      s->hatch = from->hatch;
      s->hatch.families = nullptr;
      s->hatch.familyCount = 0;
      styleResizeFamilies(s, from->hatch.familyCount);
      for (uint32_t i = 0; i < from->hatch.familyCount; ++i) s->hatch.families[i] = from->hatch.families[i];
      break;
  }
  return s;
}

void styleRef(styleRec* s) {
  if (s && s->refCount != 255) ++s->refCount;
}

void styleUnref(styleRec* s) {
  if (!s || s->refCount == 255) return;
  if (s->refCount == 0 || --s->refCount == 0) styleFree(s);
}

bool styleEqual(const styleRec* a, const styleRec* b) {
  if (a == b) return true;
  if (!a || !b || a->kind != b->kind || a->nameLength != b->nameLength) return false;
  if (a->nameLength && std::memcmp(a->name, b->name, a->nameLength) != 0) return false;
  return sameKindFields(a, b);
}

styleRec* styleIntern(styleRec* s) {
  if (!s) return nullptr;
  for (uint32_t i = tableSize; i-- > 0;) {
    styleRec* found = table[i];
    if (found && (found == s || styleEqual(found, s))) {
      styleRef(found);
      styleUnref(s);
      return found;
    }
  }
  return styleAdd(s);
}

styleRec* styleAdd(styleRec* s) {
  if (!s) return nullptr;
  for (uint32_t i = 0; i < tableSize; ++i)
    if (!table[i]) {
      table[i] = s;
      return s;
    }
  const uint32_t slot = tableSize;
  uAlloc(&table, &tableSize, tableSize + kTableGrowth, sizeof(styleRec*));
  table[slot] = s;
  return s;
}

uint32_t styleTableSize() { return tableSize; }

styleRec* styleTableAt(uint32_t i) { return i < tableSize ? table[i] : nullptr; }

styleRec* styleDefText() { return defText; }
styleRec* styleDefPara() { return defPara; }
styleRec* styleDefChar() { return defChar; }

int styleSetDefault(const styleRec* s) {
  if (!s || s->classId != classId || !classId) return feErrTypeCheck;
  styleRec** slot = defaultSlot(s->kind);
  if (!slot) return feErrTypeCheck;
  styleRec* copy = styleCopy(s);
  if (!copy) return feErrTypeCheck;
  styleRef(copy);
  styleRec* previous = *slot;
  *slot = copy;
  styleUnref(previous);
  return 0;
}

int styleTakeDefault(styleRec* s) {
  styleRec** slot = s ? defaultSlot(s->kind) : nullptr;
  if (!slot) return feErrTypeCheck;
  styleRec* previous = *slot;
  *slot = s;
  if (previous != s) styleUnref(previous);
  else styleUnref(s);
  return 0;
}

void styleInit() {
  if (initialised) return;
  initialised = true;
  classId = objClassRegister("style", 0, styleHandler);
  styleAttrInit();
  makeDefault(&defText, styleKindText);
  makeDefault(&defPara, styleKindPara);
  makeDefault(&defChar, styleKindChar);
  styleDocInit();
  styleOpsRegister();
}

void styleExit() {
  dropDefault(&defText);
  dropDefault(&defPara);
  dropDefault(&defChar);
  uFreeIfSet(&table);
  tableSize = 0;
}
