// Window titles of sheet windows.
#include "views/wintitle.h"

#include "core/alloc.h"
#include "core/text.h"
#include "fe/opcall.h"
#include "ui/filelock.h"
#include "ui/pgmpath.h"
#include "ui/wind.h"
#include "views/current.h"
#include "views/doc.h"
#include "views/sheet.h"

#include <cstring>

namespace {

const char* const kTemplates[] = {"^0", "^0 : ^1", "^0 : ^1 : ^2"};

// The lock state the title shows, or null.
const char* lockText(const docRec* doc) {
  const fileLockRec* lock = docLockRecord(doc);
  if (!lock || lock->tag != fileLockTag) return nullptr;
  if (!(lock->flags & fileLockWriting)) return "<Read Only>";
  if (lock->flags & fileLockExclusive) return "<Exclusive>";
  return nullptr;
}

}  // namespace

char* vwWindowTitle(const docRec* doc, const sheetRec* sheet) {
  if (!doc) return uStrSubst("^0", 2, 0, nullptr, nullptr);
  const char* parts[3];
  int count = 0;
  const char* title = doc->title ? doc->title : "";
  char* fileTitle = nullptr;
  // A title the file-title helper refuses (or one too long for it) is shown
  // whole.
  if (fileTitleOf(title, &fileTitle) == 0 && fileTitle) parts[count++] = fileTitle;
  else parts[count++] = title;
  if (sheet && doc->firstSheet && doc->firstSheet->next) parts[count++] = sheet->title ? sheet->title : "";
  if (const char* lock = lockText(doc)) parts[count++] = lock;
  const char* tmpl = kTemplates[count - 1];
  char* text = uStrSubst(tmpl, uint32_t(std::strlen(tmpl)), count, parts, nullptr);
  uFreeIfSet(&fileTitle);
  return text;
}

void vwUpdateWindowTitle(sheetRec* sheet) {
  if (!sheet || !sheet->window) return;
  char* text = vwWindowTitle(sheet->owner, sheet);
  windSetTitle(sheet->window, text);
  uFreeIfSet(&text);
}

// aGetWindowName: the title of the current document and sheet.
int vwOpGetWindowName(feArgs* args) {
  char* text = vwWindowTitle(vwCurDoc(), vwCurSheet());
  auto* out = static_cast<feArgText*>(args->out[0]);
  out->text = text;
  out->length = text ? int32_t(std::strlen(text)) : 0;
  return 0;
}
