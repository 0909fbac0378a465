// Writing a whole document, or a group as a document of one model, into a
// drawing file. The document written is current for the time of the write:
// the container's segments (layers, variables, view directions) are those
// of the current document.
#include "views/docfile.h"
#include "views/docfile_internal.h"

#include "draw/gdi.h"
#include "objects/group.h"
#include "objects/iofile.h"
#include "objects/ioformat.h"
#include "objects/objrecord.h"
#include "objects/symb.h"
#include "ui/attn.h"
#include "views/current.h"
#include "views/doc.h"
#include "views/model.h"
#include "views/sheet.h"
#include "views/vdef.h"
#include "views/view.h"
#include "views/vwinit.h"

#include <vector>

namespace {

using docfile::state;

// The document version for a container version and write mode.
int chooseVersion(uint32_t containerVersion, uint32_t mode) {
  int version = vwDocVersionNewest;
  if (containerVersion == 0) version = 6;
  else if (containerVersion == 1) version = 5;
  if ((mode & vwWriteCap12) && version > 12) version = 12;
  return version;
}

// Records the version as the stored level of "file". The blocks follow the
// version the file records: a container of version 0 stores no levels, so
// its document reads back as version 0 and is written as one.
void recordVersion(ioCtx* ctx, int version) { state().version = ioTypeMap(ctx, fileClassId(), version); }

// The box of the first sheet with a window, refreshed from the window, or
// the default box.
void documentBox(const docRec* doc, int32_t box[4]) {
  for (const sheetRec* sheet = doc->firstSheet; sheet; sheet = sheet->next) {
    HWND window = sheetHwnd(sheet);
    RECT outer{};
    if (!window || !GetWindowRect(window, &outer)) continue;
    box[0] = outer.left, box[1] = outer.top, box[2] = outer.right, box[3] = outer.bottom;
    return;
  }
  vwDefaultWindowBox(box);
}

void writeBlocks(ioCtx* ctx, docRec* doc, uint32_t mode) {
  const int version = state().version;
  docfile::titleIO(ctx, &doc->title, 1);
  if (version >= 4) {
    int32_t box[4];
    documentBox(doc, box);
    docfile::boxIO(ctx, box, 1);
  }
  if (version >= 5) {
    printSetupGet(reinterpret_cast<void**>(&doc->printSetup), &doc->printSetupLength);
    int32_t n = int32_t(doc->printSetupLength);
    ioFormat(ctx, "i*c", &n, n, doc->printSetup);
  }
  if (version >= 1) {
    int32_t none = 0;
    ioFormat(ctx, "i", &none);
  }
  if (version == 8) vdefListIO(ctx, doc, 1, 0);
  if (version >= 13) ioFormat(ctx, "l", &doc->flags);

  int32_t models = int32_t(ownedCount(doc->firstModel));
  ioFormat(ctx, "i", &models);
  for (modelRec* model = doc->firstModel; model; model = model->next) docfile::writeModel(ctx, model, mode);

  // The sheets with a window first, then the others, each in list order.
  std::vector<sheetRec*> sheets;
  for (sheetRec* sheet = doc->firstSheet; sheet; sheet = sheet->next)
    if (sheet->window) sheets.push_back(sheet);
  for (sheetRec* sheet = doc->firstSheet; sheet; sheet = sheet->next)
    if (!sheet->window) sheets.push_back(sheet);
  int32_t count = int32_t(sheets.size());
  ioFormat(ctx, "i", &count);
  for (sheetRec* sheet : sheets) docfile::writeSheet(ctx, sheet);
  // Block 9: the colour table, by its module once colour tables exist.
  if (vwColorTableIOFn io = docfile::colorTableIO()) io(ctx, doc, 1);
}

// Runs write with the document current and the container open; answers
// the write's code.
template <class Write>
int withContainer(docRec* doc, const char* name, uint32_t length, uint32_t mode, int32_t fileType, Write write) {
  docRec* before = vwCurDoc();
  docSetCurrent(doc);
  const int savedVersion = state().version;
  ioRecovery recovery;
  int code = 0;
  try {
    ioCtx* ctx = nullptr;
    code = ioOpen(&ctx, name, int(length), (mode | ioFlagWrite) & ~uint32_t{ioFlagRead}, fileType, &recovery);
    if (code == 0) {
      write(ctx);
      code = ioClose(ctx);
    }
  } catch (const ioFailure& failure) {
    code = failure.code ? failure.code : ioErrCannotWrite;
  }
  state().version = savedVersion;
  if (before != doc) docSetCurrent(before);
  return code;
}

int writeNonView(gobjRec* object, void* context) {
  if (viewIs(object)) return 0;
  objWrite(object, static_cast<ioCtx*>(context));
  evProgressTick(1);
  return 0;
}

int countNonView(gobjRec* object, void* context) {
  if (!viewIs(object)) ++*static_cast<int32_t*>(context);
  return 0;
}

}  // namespace

int vwWriteDoc(docRec* doc, const char* name, uint32_t length, uint32_t mode, int32_t fileType) {
  if (!docIs(doc) || !name) return ioErrBadArg;
  const int code = withContainer(doc, name, length, mode, fileType, [&](ioCtx* ctx) {
    // The symbol segment keeps every master of the document, placed or not.
    symbWriteAll(ctx);
    recordVersion(ctx, chooseVersion(ctx->version, mode));
    writeBlocks(ctx, doc, mode);
  });
  if (code == 0 && !(mode & vwWriteNoObjects)) doc->flags &= ~uint32_t{docDirty | docUntitled};
  return code;
}

int vwWriteGroup(glist* group, const char* name, uint32_t length, uint32_t mode, int32_t fileType) {
  docRec* doc = vwCurDoc();
  if (!doc) return vwErrNoCurDoc;
  if (!name) return ioErrBadArg;
  return withContainer(doc, name, length, mode, fileType, [&](ioCtx* ctx) {
    recordVersion(ctx, vwDocVersionGroup);
    const int version = state().version;
    docfile::titleIO(ctx, &doc->title, 1);
    if (version >= 4) {
      int32_t box[4];
      vwDefaultWindowBox(box);
      docfile::boxIO(ctx, box, 1);
    }
    if (version >= 5) {
      int32_t n = int32_t(doc->printSetupLength);
      ioFormat(ctx, "i*c", &n, n, doc->printSetup);
    }
    int32_t none = 0, one = 1, objects = 0;
    if (version >= 1) ioFormat(ctx, "i", &none);
    ioFormat(ctx, "i", &one);
    docfile::titleIO(ctx, &doc->title, 1);
    // The settings block of no model.
    if (version >= 6) ioFormat(ctx, "i", &none);
    grpForEach(group, countNonView, &objects);
    ioFormat(ctx, "i", &objects);
    grpForEach(group, writeNonView, ctx);
    ioFormat(ctx, "i", &none);
  });
}
