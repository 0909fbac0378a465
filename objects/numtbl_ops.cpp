// The operators on numbered tables. One handler serves every family of
// tables: the parameter word of the registration names the family's current
// table (0: the current layer table).
#include "objects/numtbl.h"

#include "core/alloc.h"
#include "objects/layer.h"

#include <cstring>

namespace {

numTbl* tableOf(const feArgs* args) {
  const uintptr_t parameter = args->in[0].word;
  if (!parameter) return layerTblCurrent();
  return reinterpret_cast<tblSource>(parameter)();
}

}  // namespace

void tblGiveText(feArgs* args, int slot, const char* text, uint32_t length) {
  auto* out = static_cast<feArgText*>(args->out[slot]);
  char* copy = static_cast<char*>(uAlloc(nullptr, nullptr, length + 1, 1));
  std::memcpy(copy, text, length);
  out->text = copy;
  out->length = int32_t(length);
}

int tblOpNumber(feArgs* args) {
  numTbl* table = tableOf(args);
  if (!table) return tblErrNoTable;
  int32_t number = -1;
  const int answer = tblFind(table, args->in[1].text.text, uint32_t(args->in[1].text.length),
                             args->in[2].i != 0, &number);
  if (answer != 0) return answer;
  *static_cast<int32_t*>(args->out[0]) = number;
  return 0;
}

int tblOpNumberToName(feArgs* args) {
  numTbl* table = tableOf(args);
  if (!table) return tblErrNoTable;
  const char* text;
  uint32_t length;
  if (const int answer = tblName(table, args->in[1].i, &text, &length)) return answer;
  tblGiveText(args, 0, text, length);
  return 0;
}

int tblOpList(feArgs* args) {
  numTbl* table = tableOf(args);
  for (uint32_t i = 0; i < tblCount(table); ++i) {
    const char* text;
    uint32_t length;
    if (tblName(table, int32_t(i), &text, &length) != 0 || text[0] == '.') continue;
    if (const int rc = tblPushText(text, length)) return rc;
  }
  return 0;
}

int tblOpGenName(feArgs* args) {
  numTbl* table = tableOf(args);
  if (!table) return tblErrNoTable;
  char* name;
  uint32_t length;
  if (tblGenName(table, args->in[1].text.text, uint32_t(args->in[1].text.length), &name, &length) != 0) return -1;
  auto* out = static_cast<feArgText*>(args->out[0]);
  out->text = name;
  out->length = int32_t(length);
  return 0;
}
