// The ";"-separated name list of a numbered table (built in two passes over
// the names), the push of all names onto the operand stack, and generated
// unique names.
#include "objects/numtbl.h"

#include "core/alloc.h"
#include "core/classes.h"
#include "core/format.h"
#include "core/text.h"
#include "fe/generic.h"
#include "fe/stack.h"
#include "fe/strings.h"
#include "objects/objmsg.h"

#include <cstring>

namespace {

struct Measure {
  uint64_t total = 0;
};

void measure(const char*, uint32_t length, void* context) {
  static_cast<Measure*>(context)->total += uint64_t(length) + 1;
}

struct Copy {
  char* out;
  uint32_t used = 0;
  uint32_t size;
};

// Each item is the name and ";". A name that would pass the buffer becomes
// an empty item while there is room for its ";", so that item i stays the
// name of record i as far as the list goes.
void copy(const char* name, uint32_t length, void* context) {
  Copy* c = static_cast<Copy*>(context);
  if (c->used >= c->size) return;
  if (uint64_t(c->used) + length + 1 > c->size) length = 0;
  std::memcpy(c->out + c->used, name, length);
  c->used += length;
  c->out[c->used++] = ';';
}

struct Push {
  int status = 0;
};

void push(const char* name, uint32_t length, void* context) {
  Push* p = static_cast<Push*>(context);
  if (!p->status) p->status = tblPushText(name, length);
}

// Whether a name is still free in the table.
bool isFree(numTbl* table, const char* name, uint32_t length) {
  int32_t number;
  return tblFind(table, name, length, 0, &number) == tblErrNotFound;
}

// The template with its "^0" replaced by the number.
char* fill(const char* tmpl, uint32_t length, int32_t number) {
  char digits[16];
  uSprintf(digits, "%d", number);
  const char* args[] = {digits};
  return uStrSubst(tmpl, length, 1, args, nullptr);
}

// Tries one number: keeps the name in *out and answers true when it is free.
bool tryNumber(numTbl* table, const char* tmpl, uint32_t length, int32_t number, char** out) {
  char* name = fill(tmpl, length, number);
  if (isFree(table, name, uint32_t(std::strlen(name)))) {
    *out = name;
    return true;
  }
  uFree(&name);
  return false;
}

}  // namespace

void nameListBuild(char** buffer, uint32_t* bufferSize, tblNameEnum enumerate, numTbl* table) {
  Measure m;
  enumerate(table, measure, &m);
  const uint64_t limit = tblListMax;
  const uint32_t size = uint32_t(m.total < 1 ? 1 : m.total > limit ? limit : m.total);
  if (*bufferSize != size || !*buffer) {
    uFreeIfSet(buffer);
    *bufferSize = 0;
    uAlloc(buffer, bufferSize, size, 1);
  }
  Copy c{*buffer, 0, size};
  enumerate(table, copy, &c);
  // The last ";" becomes the terminator; an empty table gives "".
  (*buffer)[c.used ? c.used - 1 : 0] = 0;
}

const char* tblNames(numTbl* table) {
  if (!table) return "";
  if (table->classId) {
    const char* text = "";
    if (objMeth(table->classId, msgTblNames, table, reinterpret_cast<intptr_t>(&text)) != 0 || !text) return "";
    return text;
  }
  if (!table->nameListValid || !table->nameList) {
    nameListBuild(&table->nameList, &table->nameListSize, tblEnumNames, table);
    table->nameListValid = 1;
  }
  return table->nameList;
}

int tblPushText(const char* text, uint32_t length) {
  feObject value;
  if (const int rc = feMakeString(&value, text, length)) return rc;
  const int rc = fePush(feOperandStack(), &value);
  if (rc) feFree(&value);
  return rc;
}

int nameListPush(tblNameEnum enumerate, numTbl* table) {
  Push p;
  enumerate(table, push, &p);
  return p.status;
}

int tblGenName(numTbl* table, const char* tmpl, uint32_t length, char** outName, uint32_t* outLength) {
  *outName = nullptr;
  if (outLength) *outLength = 0;
  char* name = nullptr;
  bool found = false;
  for (int32_t n = 1; n <= 10 && !found; ++n) found = tryNumber(table, tmpl, length, n, &name);
  // A free decade: the first free number below it wins, else the decade's own.
  const int64_t steps = int64_t(tblCount(table)) + 10;
  for (int64_t k = 2; k <= steps + 1 && !found; ++k) {
    const int32_t decade = int32_t(k * 10);
    if (!tryNumber(table, tmpl, length, decade, &name)) continue;
    found = true;
    for (int32_t n = decade - 9; n < decade; ++n) {
      char* lower = nullptr;
      if (tryNumber(table, tmpl, length, n, &lower)) {
        uFree(&name);
        name = lower;
        break;
      }
    }
  }
  if (!found) return -1;
  *outName = name;
  if (outLength) *outLength = uint32_t(std::strlen(name));
  return 0;
}
