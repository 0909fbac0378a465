// The line-font operators and the module's start-up.
#include "objects/lnfont_internal.h"

#include "core/alloc.h"
#include "core/errors.h"
#include "fe/control.h"
#include "fe/operator.h"
#include "fe/script.h"
#include "fe/scriptproc.h"
#include "fe/value.h"
#include "objects/docstate.h"
#include "objects/gobject.h"
#include "objects/numtbl.h"
#include "objects/objrecord.h"
#include "objects/sieve.h"
#include "objects/uphooks.h"

#include <cctype>
#include <cstring>

#include <windows.h>

namespace {

enum { kDashedFont = 5 };

const feArgText& textArg(const feArgs* args, int i) { return args->in[i].text; }

bool holdsEllipsis(const char* name) { return name && std::strstr(name, "...") != nullptr; }

// The first record whose name holds "...", or -1.
int32_t firstEllipsis() {
  numTbl* t = lnfontTable();
  for (uint32_t i = 0; i < t->count; ++i)
    if (holdsEllipsis(lnfontEntryOf(int32_t(i))->name)) return int32_t(i);
  return -1;
}

// Records with a name.
uint32_t namedCount() {
  numTbl* t = lnfontTable();
  uint32_t n = 0;
  for (uint32_t i = 0; i < t->count; ++i) {
    const char* name = lnfontEntryOf(int32_t(i))->name;
    n += name && *name;
  }
  return n;
}

// "iSO": font number, name, an array of up to 16 dash lengths (none
// negative); the image block is rewritten.
int opDefLineFont(feArgs* args) {
  double lengths[lnfontMaxDashes];
  int32_t count = lnfontMaxDashes;
  if (const int rc = feGetRealArray(args->in[2].value, &count, lengths)) return rc;
  for (int32_t i = 0; i < count; ++i)
    if (lengths[i] < 0) return feErrRangeCheck;
  const feArgText& name = textArg(args, 1);
  if (const int rc = lnfontDefine(args->in[0].i, name.text, uint32_t(name.length), uint32_t(count), lengths))
    return rc;
  lnfontSave();
  return 0;
}

// "S#O": the dash lengths of the named font; 265 when it has no pattern.
int opGetLineFont(feArgs* args) {
  const feArgText& name = textArg(args, 0);
  int32_t n = -1;
  if (const int rc = tblFind(lnfontTable(), name.text, uint32_t(name.length), 0, &n)) return rc;
  lnfontRec* pattern = nullptr;
  lnfontPattern(n, &pattern);
  if (!pattern) return feErrUndefined;
  double lengths[lnfontMaxDashes * 2];
  const uint32_t count = pattern->ndash < sizeof lengths / sizeof lengths[0] ? pattern->ndash : 0;
  for (uint32_t i = 0; i < count; ++i) lengths[i] = pattern->dashes[i];
  return feMakeRealArray(static_cast<feObject*>(args->out[0]), lengths, count);
}

// "S#L": the number of the named font, or -1.
int opNameToNumber2(feArgs* args) {
  const feArgText& name = textArg(args, 0);
  int32_t n = -1;
  if (tblFind(lnfontTable(), name.text, uint32_t(name.length), 0, &n) != 0) n = -1;
  *static_cast<int32_t*>(args->out[0]) = n;
  return 0;
}

// "!#l": 0 while some font's name holds "...", else 1.
int opLnfontFull(feArgs* args) {
  *static_cast<int32_t*>(args->out[0]) = firstEllipsis() < 0 ? 1 : 0;
  return 0;
}

// "!S": the first font whose name holds "..." takes the name.
int opMakeNewLnFont(feArgs* args) {
  const int32_t n = firstEllipsis();
  if (n < 0) return 0;
  const feArgText& name = textArg(args, 0);
  return tblRename(lnfontTable(), n, name.text, uint32_t(name.length), nullptr, nullptr);
}

// "!": runs "aBuildLnFontNoUse" until the table is full; a run that names
// no further font ends it, so a procedure that adds nothing cannot keep it
// going for ever.
int opBuildLnFontNoUseAll(feArgs*) {
  while (!tblIsFull(lnfontTable())) {
    const uint32_t before = namedCount();
    if (const int rc = scriptRunByName("aBuildLnFontNoUse")) return rc;
    if (namedCount() <= before) break;
  }
  return 0;
}

struct Dashing {
  int32_t font;
};

int dashObject(gobjRec* object, void* context) {
  const auto* d = static_cast<const Dashing*>(context);
  if (gobjLineFont(object) != d->font) return 0;
  objDamage(object);
  object->style = uint8_t((object->style & ~31) | kDashedFont);
  objDamage(object);
  return 0;
}

// "!S": the objects of every open document drawn in the named font get
// font 5.
int opDocDashed(feArgs* args) {
  const feArgText& name = textArg(args, 0);
  Dashing d{-1};
  if (tblFind(lnfontTable(), name.text, uint32_t(name.length), 0, &d.font) != 0) return 0;
  objForEachOpenDoc([](dbDocRec* settings, void* context) {
    if (settings && settings->sieve) sieveForEach(settings->sieve, dashObject, context);
  }, &d);
  return 0;
}

// "!S#l": 1 for an empty name or one of white space only.
int opIsBlankName(feArgs* args) {
  const feArgText& name = textArg(args, 0);
  int32_t blank = 1;
  for (int32_t i = 0; i < name.length; ++i)
    if (!std::isspace(static_cast<unsigned char>(name.text[i]))) blank = 0;
  *static_cast<int32_t*>(args->out[0]) = blank;
  return 0;
}

struct OpRow {
  const char* name;
  feOpHandler handler;
  const char* signature;
  bool table;  // the parameter word names the line-font table
};

const OpRow kOps[] = {
    {"aDefLineFont", opDefLineFont, "iSO", false},
    {"aGetLineFont", opGetLineFont, "S#O", false},
    {"aListLineFonts", tblOpList, "!P", true},
    {"aLnFontNameToNumber", tblOpNumber, "PSI<0>#I", true},
    {"aLnFontNumberToName", tblOpNumberToName, "Pi#S", true},
    {"aLnfontGenName", tblOpGenName, "PS#S", true},
    {"aLnFontNameToNumber2", opNameToNumber2, "S#L", false},
    {"aLnfontFull", opLnfontFull, "!#l", false},
    {"aMakeNewLnFont", opMakeNewLnFont, "!S", false},
    {"aBuildLnFontNoUseAll", opBuildLnFontNoUseAll, "!", false},
    {"aDocDashed", opDocDashed, "!S", false},
    {"aIsBlankLnFontName", opIsBlankName, "!S#l", false},
};

}  // namespace

void lnfontInit() {
  lnfontTable();
  lnfontLoadBlock();
  // The block was taken from the image: it is put back for the next one.
  lnfontSave();
  const uintptr_t source = reinterpret_cast<uintptr_t>(&lnfontTableSource);
  const uintptr_t instance = reinterpret_cast<uintptr_t>(GetModuleHandleA(nullptr));
  for (const OpRow& op : kOps) feRegisterOp(op.name, op.handler, op.signature, op.table ? source : 0, instance);
}
