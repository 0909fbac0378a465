// The sheets of a document in the drawing file (block 8): each sheet's
// title and window box, its views with their models, view numbers, view
// settings and matrices, its zoom state and its plot layout.
//
// A view is stored as its title, its rectangle on the sheet, its model's
// position in the document, its view number, the render and perspective
// settings (render mode, perspective flag, perspective eye, the further word
// and its three doubles, perspective distance and angle), its view state
// (scale, pan, the eye as centre plus normal, centre, up) and its four base
// matrices in the order scale matrix, orientation, base 1, base 2. Reading
// takes the scale and pan from base 1 and rebuilds the products.
#include "views/docfile.h"
#include "views/docfile_internal.h"

#include "core/alloc.h"
#include "core/debug.h"
#include "core/matrix.h"
#include "objects/iofile.h"
#include "objects/ioformat.h"
#include "views/doc.h"
#include "views/model.h"
#include "views/sheet.h"
#include "views/view.h"

#include <windows.h>

#include <cstring>
#include <vector>

namespace {

// Every view takes at least a title, four doubles, its model position and
// the doubles of its state and matrices.
constexpr long kViewMinBytes = 8;

void appendRemap(docRec* doc, uint32_t stored, uint32_t position, uint32_t given) {
  if (doc->remapCount + 3 > doc->remapCapacity) {
    uint32_t capacity = doc->remapCapacity;
    uAlloc(&doc->remap, &capacity, doc->remapCount + 12, sizeof(uint32_t));
    doc->remapCapacity = capacity;
  }
  doc->remap[doc->remapCount++] = stored;
  doc->remap[doc->remapCount++] = position;
  doc->remap[doc->remapCount++] = given;
}

// The render and perspective settings, then the state and the matrices.
void viewBodyIO(ioCtx* ctx, viewRec* view, int write) {
  const int version = docfile::state().version;
  if (version >= 12) {
    int16_t words[3] = {view->renderMode, int16_t(view->perspective), int16_t(view->extraWord)};
    ioFormat(ctx, "ss3ds3ddd", &words[0], &words[1], view->perspectiveEye, &words[2], view->extra,
             &view->perspectiveDist, &view->perspectiveAngle);
    if (!write) {
      view->renderMode = words[0];
      view->perspective = uint16_t(words[1]);
      view->extraWord = uint16_t(words[2]);
    }
  }
  viewState& s = view->states[0];
  double eye[3] = {s.centre[0] + s.normal[0], s.centre[1] + s.normal[1], s.centre[2] + s.normal[2]};
  ioFormat(ctx, "d2d3d3d3d", &s.scale, s.pan, eye, s.centre, s.up);
  ioFormat(ctx, "16d16d16d16d", view->scaleMatrix, view->orientation, view->base1, view->base2);
  if (write) return;
  for (int k = 0; k < 3; ++k) s.normal[k] = eye[k] - s.centre[k];
  // Base 1 holds the scale and the pan the view was shown with.
  s.scale = view->base1[0];
  s.pan[0] = view->base1[3];
  s.pan[1] = view->base1[7];
  view->flags |= viewChanged;
}

// Reverses the sheet's view list: views join at its head as they are read.
void reverseViews(sheetRec* sheet) {
  viewRec* reversed = nullptr;
  for (viewRec* view = sheet->firstView; view;) {
    viewRec* next = view->next;
    view->next = reversed;
    reversed = view;
    view = next;
  }
  sheet->firstView = reversed;
}

// The active view: from the last view read towards the first, the first
// whose pan and centre are all zero; else the last view read. Its scale is
// put back to 1.
void chooseActive(sheetRec* sheet) {
  std::vector<viewRec*> views;
  for (viewRec* view = sheet->firstView; view; view = view->next) views.push_back(view);
  if (views.empty()) return;
  viewRec* active = views.back();
  for (auto it = views.rbegin(); it != views.rend(); ++it) {
    const viewState& s = (*it)->states[0];
    if (s.pan[0] == 0.0 && s.pan[1] == 0.0 && s.centre[0] == 0.0 && s.centre[1] == 0.0 && s.centre[2] == 0.0) {
      active = *it;
      break;
    }
  }
  active->flags |= viewDraft;
  sheet->activeView = active;
  if (active->states[0].scale != 1.0) {
    uAlert(0, "TAdjusting vw_scale", nullptr);
    active->states[0].scale = 1.0;
    active->flags |= viewChanged;
    vwComputeScreenBox(active);
    vwRebuildMatrices(active);
    active->flags |= viewChanged;
  }
}

// One view: created on the sheet for its model, then given what the file
// holds. Answers 0, or -4139 when its model is missing.
int readView(docRec* doc, sheetRec* sheet, modelRec** models, uint32_t modelCount, ioCtx* ctx) {
  ioOwnedText title;
  double box[4] = {};
  int32_t position = 0;
  docfile::titleIO(ctx, &title.text, 0);
  ioFormat(ctx, "4di", box, &position);
  // A position outside the array, below it included, stands for the first
  // model.
  if (position < 0 || uint32_t(position) >= modelCount) position = 0;
  modelRec* model = modelCount ? models[position] : nullptr;
  if (!model) {
    docfile::internalError("No Model");
    return ioErrBadData;
  }
  int32_t number = 0;
  if (docfile::state().version >= 2) ioFormat(ctx, "i", &number);
  viewRec* view = vwCreate(sheet, model, box, 0);
  if (!view) return ioErrBadData;
  uFreeIfSet(&view->title);
  view->title = title.release();
  if (docfile::state().version >= 2 && uint32_t(number) != view->index)
    appendRemap(doc, uint32_t(number), uint32_t(position), view->index);
  viewBodyIO(ctx, view, 0);
  return 0;
}

// "3d ll": the sheet point shown at a screen position; "d 16d 16d": 72
// times the page scale and the two sheet matrices, the second of which
// holds that point.
void zoomIO(ioCtx* ctx, sheetRec* sheet, int write) {
  sheetZoom& z = sheet->zoom[0];
  double centre[3] = {};
  int32_t screen[2] = {};
  double scale = 72.0 * z.pageScale;
  xform4 toScreen, toSheet;
  std::memcpy(toScreen, z.worldToSheet, sizeof toScreen);
  std::memcpy(toSheet, z.sheetToWorld, sizeof toSheet);
  if (write) {
    const double origin[3] = {0, 0, 0};
    aPtTransform(3, origin, toSheet, centre);
  }
  ioFormat(ctx, "3dll", centre, &screen[0], &screen[1]);
  if (!write) sheetSetScale(sheet, 1.0, 0, screen, centre, 0);
  ioFormat(ctx, "d16d16d", &scale, toScreen, toSheet);
  if (write) return;
  const int32_t corner[2] = {0, 0};
  const double at[2] = {toSheet[3], toSheet[7]};
  // A page scale out of range keeps the scale 1 set above.
  sheetSetScale(sheet, scale / 72.0, 0, corner, at, 0);
}

void layoutIO(ioCtx* ctx, sheetRec* sheet, int write) {
  const int version = docfile::state().version;
  if (version >= 3) ioFormat(ctx, "4dd", sheet->plotBounds, &sheet->plotScale);
  if (version >= 11) {
    uint8_t pages[3] = {sheet->pagesAcross, sheet->pagesDown, sheet->plotDir};
    ioFormat(ctx, "3c", pages);
    if (write) return;
    // A sheet has at least one page each way and one of four directions.
    sheet->pagesAcross = pages[0] ? pages[0] : 1;
    sheet->pagesDown = pages[1] ? pages[1] : 1;
    sheet->plotDir = pages[2] <= 3 ? pages[2] : 0;
  }
}

// The sheet's window box, refreshed from its window.
void refreshWindowBox(sheetRec* sheet) {
  HWND window = sheetHwnd(sheet);
  RECT outer{};
  if (!window || !GetWindowRect(window, &outer)) return;
  const int32_t box[4] = {outer.left, outer.top, outer.right, outer.bottom};
  std::memcpy(sheet->windowBox, box, sizeof box);
}

}  // namespace

int vwReadSheet(docRec* doc, modelRec** models, uint32_t modelCount, ioCtx* ctx, sheetRec** out, int* hasWindow) {
  *out = nullptr;
  *hasWindow = 0;
  sheetRec* sheet = nullptr;
  sheetAlloc(&sheet);
  *out = sheet;
  docfile::titleIO(ctx, &sheet->title, 0);
  uint8_t windowByte = 0;
  int32_t box[4] = {};
  ioFormat(ctx, "c4l", &windowByte, box);
  *hasWindow = windowByte == 1;
  vwWindowBoxFit(box);
  std::memcpy(sheet->windowBox, box, sizeof box);
  // The window's client area until a window is made: the box's size.
  const int32_t client[4] = {0, 0, box[2] - box[0], box[3] - box[1]};
  std::memcpy(sheet->graphicsBox, client, sizeof client);
  if (!docfile::importing()) sheetLink(sheet, doc, ownedAppend);
  int32_t count = 0;
  ioFormat(ctx, "i", &count);
  docfile::checkCount(ctx, count, kViewMinBytes);
  for (int32_t i = 0; i < count; ++i)
    if (const int answer = readView(doc, sheet, models, modelCount, ctx)) return answer;
  reverseViews(sheet);
  chooseActive(sheet);
  zoomIO(ctx, sheet, 0);
  layoutIO(ctx, sheet, 0);
  return 0;
}

namespace docfile {

int writeSheet(ioCtx* ctx, sheetRec* sheet) {
  if (titleIO(ctx, &sheet->title, 1) != 0) return -1;
  refreshWindowBox(sheet);
  uint8_t windowByte = sheet->window ? 1 : 0;
  ioFormat(ctx, "c", &windowByte);
  boxIO(ctx, sheet->windowBox, 1);
  // Every view but the active one in list order, then the active one.
  std::vector<viewRec*> views;
  for (viewRec* view = sheet->firstView; view; view = view->next)
    if (view != sheet->activeView) views.push_back(view);
  if (sheet->activeView) views.push_back(sheet->activeView);
  int32_t count = int32_t(views.size());
  ioFormat(ctx, "i", &count);
  for (viewRec* view : views) {
    vwRebuildMatrices(view);
    if (titleIO(ctx, &view->title, 1) != 0) return -1;
    int32_t position = modelPosition(sheet->owner, view->model);
    ioFormat(ctx, "4di", view->box, &position);
    if (state().version >= 2) {
      int32_t number = int32_t(view->index);
      ioFormat(ctx, "i", &number);
    }
    viewBodyIO(ctx, view, 1);
  }
  zoomIO(ctx, sheet, 1);
  layoutIO(ctx, sheet, 1);
  return 0;
}

}  // namespace docfile
