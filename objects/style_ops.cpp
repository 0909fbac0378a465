// The style operators: new styles of each kind from key/value pairs, copies,
// and the default text, paragraph and character styles.
#include "objects/style.h"
#include "objects/style_internal.h"

#include "core/classes.h"
#include "core/errors.h"
#include "fe/control.h"
#include "fe/opcall.h"

namespace {

// The style of a "Q" argument, or null when the record is no style.
styleRec* styleArg(const feArgs* args, int i) {
  auto* s = static_cast<styleRec*>(args->in[i].record);
  if (!s || !styleClassId() || s->classId != styleClassId()) return nullptr;
  return s;
}

// "O#Q": a new style of the kind from an array of pairs, or null. The new
// style has no holder but the result; a failing pair frees it.
int makeStyle(feArgs* args, uint16_t kind) {
  styleRec* s = styleNew(kind);
  if (!s) return feErrTypeCheck;
  if (const int answer = styleSetPairs(s, args->in[0].value)) {
    styleUnref(s);
    return answer;
  }
  *static_cast<void**>(args->out[0]) = s;
  return 0;
}

int opStyleText(feArgs* args) { return makeStyle(args, styleKindText); }
int opStylePara(feArgs* args) { return makeStyle(args, styleKindPara); }
int opStyleChar(feArgs* args) { return makeStyle(args, styleKindChar); }
int opStyleHatch(feArgs* args) { return makeStyle(args, styleKindHatch); }

// "Q#Q".
int opStyleCopy(feArgs* args) {
  const styleRec* s = styleArg(args, 0);
  if (!s) return feErrTypeCheck;
  styleRec* copy = styleCopy(s);
  if (!copy) return feErrTypeCheck;
  *static_cast<void**>(args->out[0]) = copy;
  return 0;
}

// "Q": the default of the kind becomes a copy; a style of another kind than
// the operator's is refused, so that a default always has its kind.
int setDefault(feArgs* args, uint16_t kind) {
  const styleRec* s = styleArg(args, 0);
  if (!s || s->kind != kind) return feErrTypeCheck;
  return styleSetDefault(s);
}

int opSetDefText(feArgs* args) { return setDefault(args, styleKindText); }
int opSetDefPara(feArgs* args) { return setDefault(args, styleKindPara); }
int opSetDefChar(feArgs* args) { return setDefault(args, styleKindChar); }

const feOpSpec kOps[] = {
    {"aStyleText", opStyleText, "O#Q"},
    {"aStylePara", opStylePara, "O#Q"},
    {"aStyleChar", opStyleChar, "O#Q"},
    {"aStyleHatch", opStyleHatch, "O#Q"},
    {"aStyleCopy", opStyleCopy, "Q#Q"},
    {"aStyleSetDefText", opSetDefText, "Q"},
    {"aStyleSetDefPara", opSetDefPara, "Q"},
    {"aStyleSetDefChar", opSetDefChar, "Q"},
};

}  // namespace

void styleOpsRegister() { feOpSpecRegisterAll(kOps); }
