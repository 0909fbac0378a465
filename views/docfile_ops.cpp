// The drawing-file operators: opening a file as a new document (aFileRead,
// aEdit), writing the current document (aWrite), whether a title is free
// (aFileIsUnique), importing a file's objects (aImportFeldon) and writing a
// document or a group for export (aExportPlumet).
#include "views/docfile.h"

#include "core/alloc.h"
#include "fe/opcall.h"
#include "objects/group.h"
#include "ui/attn.h"
#include "ui/filelock.h"
#include "ui/pgmpath.h"
#include "ui/wind.h"
#include "views/current.h"
#include "views/doc.h"
#include "views/sheet.h"
#include "views/view.h"
#include "views/vwinit.h"

#include <cstring>
#include <string>

namespace {

// A name and its full path (the name itself when it has none).
struct FileName {
  std::string given;
  std::string full;
  explicit FileName(const feArgText& text) : given(text.text ? text.text : "", size_t(text.length)) {
    char* path = pgmFullPath(given.c_str(), int(given.size()));
    full = path ? std::string(path) : given;
    uFreeIfSet(&path);
  }
};

docRec* findOpen(const FileName& name) {
  if (docRec* doc = docFindOpen(name.given.data(), uint32_t(name.given.size()))) return doc;
  return docFindOpen(name.full.data(), uint32_t(name.full.size()));
}

sheetRec* frontSheet(const docRec* doc) {
  for (sheetRec* sheet = doc->firstSheet; sheet; sheet = sheet->next)
    if (sheet->window) return sheet;
  return doc->firstSheet;
}

// Makes the document's front sheet the one worked on, and its window the
// front window.
void bringToFront(docRec* doc) {
  sheetRec* sheet = frontSheet(doc);
  if (!sheet) {
    docSetCurrent(doc);
    return;
  }
  if (sheet->window) windActivate(sheet->window, 1);
  if (sheet->activeView) {
    vwSetCurView(sheet->activeView);
    if (sheet->window) vwSetActiveView(sheet->activeView);
  }
  if (vwCurDoc() != doc) docSetCurrent(doc);
}

// A new document made while the preferences document is current, opened,
// and the file read into it; removed again when the read fails. The view
// current before comes back; without one, the new document's view is the
// current one.
int openAsNew(const FileName& name, bool setRegister, uint32_t registerWord) {
  viewRec* before = vwCurView();
  vwPushView(nullptr);
  docRec* prefs = vwGetDefaultDoc();
  vwSetCurView(nullptr);
  if (prefs) docSetCurrent(prefs);
  docRec* doc = nullptr;
  int code = docCreate(&doc);
  if (code == 0 && doc) {
    if (setRegister) doc->registerWord = registerWord;
    docAddOpen(doc);
    uiBusyBegin();
    code = vwReadDoc(doc, name.full.data(), uint32_t(name.full.size()), 0);
    uiBusyEnd();
    doc->flags &= ~uint32_t{docDirty};
    if (code) docRemove(doc);
  }
  vwPopView();
  if (code == 0 && !before && doc) bringToFront(doc);
  return code;
}

}  // namespace

int vwOpWrite(feArgs* args) {
  docRec* doc = vwCurDoc();
  if (!doc) return vwErrNoCurDoc;
  const feArgText name = args->in[0].text;
  uiBusyBegin();
  const int code = vwWriteDoc(doc, name.text, uint32_t(name.length), 0, -1);
  uiBusyEnd();
  return code;
}

int vwOpFileRead(feArgs* args) {
  return openAsNew(FileName(args->in[0].text), true, uint32_t(args->in[1].i));
}

int vwOpEdit(feArgs* args) {
  const FileName name(args->in[0].text);
  if (docRec* open = findOpen(name)) {
    bringToFront(open);
    return 0;
  }
  return openAsNew(name, false, 0);
}

int vwOpFileIsUnique(feArgs* args) {
  *static_cast<int32_t*>(args->out[0]) = findOpen(FileName(args->in[0].text)) ? 0 : 1;
  return 0;
}

int vwOpImportFeldon(feArgs* args) {
  auto* out = static_cast<void**>(args->out[0]);
  *out = nullptr;
  docRec* doc = vwCurDoc();
  if (!doc) return 0;
  const feArgText name = args->in[0].text;
  const uint32_t flags = vwReadImport | (args->in[1].i ? vwReadDropCurves : 0u);
  grpBegin();
  uiBusyBegin();
  const int code = vwReadDoc(doc, name.text, uint32_t(name.length), flags);
  uiBusyEnd();
  glist* group = grpEnd();
  if (code) {
    grpRelease(&group);
    return code;
  }
  *out = group;
  return 0;
}

int vwOpExportPlumet(feArgs* args) {
  docRec* doc = vwCurDoc();
  if (!doc) return vwErrNoCurDoc;
  const feArgText name = args->in[0].text;
  auto* group = static_cast<glist*>(args->in[1].record);
  const bool whole = args->in[2].i != 0;
  const uint32_t mode = uint32_t(args->in[3].i);
  const int32_t fileType = args->in[4].i;
  uiBusyBegin();
  int code;
  if (whole) {
    // The lock shows the file as being written for the time of the write.
    fileLockRec* lock = docLockRecord(doc);
    const uint16_t flags = lock ? lock->flags : 0;
    if (lock) lock->flags |= fileLockWriting;
    code = vwWriteDoc(doc, name.text, uint32_t(name.length), mode | vwWriteCap12, fileType);
    if ((lock = docLockRecord(doc))) lock->flags = flags;
  } else {
    code = vwWriteGroup(group, name.text, uint32_t(name.length), mode, fileType);
  }
  uiBusyEnd();
  return code;
}
