// The grid: a regular lattice of points on the current work plane, shown in
// the views whose grid flag (viewGridShown) is set. Every document has one
// grid, made with the document's settings record and kept in its grid block;
// the grid of the current document is the current grid. Scripts reach a
// grid as an object of class "grid" (keys "spacing" and "nticks"), through
// the document attribute "grid" and the operators below, and documents
// store it in their files as the settings "$GRIDSPACING" and "$GRIDTICKS".
//
// A grid object is counted: the document holds one use and scripts hold
// theirs, so a grid kept by a script outlives its document (it is then no
// document's grid: its keys still read, setting them redraws nothing).
#ifndef PLUMET_VIEWS_GRID_H
#define PLUMET_VIEWS_GRID_H

#include <cstdint>

struct dbDocRec;
struct docRec;
struct viewRec;
struct ioCtx;
struct feArgs;

struct gridRec {
  uint16_t classId;   // "grid" once stamped
  uint8_t refCount;   // uses: the document's and the scripts'
  uint8_t spare;
  uint32_t flags;
  uint32_t steps;     // minor steps between major lines, at least 1 (4 by default)
  float spacing;      // of the major lines, world units (1.0 by default)
};

enum : uint32_t { gridDefaultSteps = 4 };
// The densest lattice drawn: a step below 16 x 0.390625 pixels is skipped.
constexpr double gridMinPixelStep = 16 * 0.390625;

// The module set-up: on its first call registers aGridToggle ("!"),
// aGridSetParm ("!BRI") and aGridGetParm ("!#BRI"), the settings
// "$GRIDSPACING" and "$GRIDTICKS", the document hook (gridEventHook), the
// view and work-plane event handlers and the class "grid". Given a record,
// fills it from the current grid, or with 4 steps and spacing 1.0.
void gridInit(gridRec* record);
// The part of gridInit's first call that goes into tables a test may empty:
// the two settings and the view and work-plane event handlers.
void gridRegisterTables();
// gridInit(nullptr): the form the start-up's module table calls.
void gridInitModule();
uint16_t gridClassId();

// The document hook (objects/docvar.h docAddEventHook): 1 gives the record
// a new grid filled by gridInit; 2 lets it go (no longer current when it
// was); 4 and 11 make it the current grid.
void gridEventHook(uint32_t event, dbDocRec* settings);
// The grid of a settings record, stamped with the class id: -212 for no
// record; a record without a grid answers null.
int gridGetObject(dbDocRec* settings, gridRec** out);
// The grid of a document (null without one).
gridRec* gridOfDoc(const docRec* doc);
// The current grid, or null.
gridRec* gridCurrent();
// The open document whose grid this is, or null.
docRec* gridOwner(const gridRec* grid);

// Keyed access (messages 107 and 108): "spacing" ("R") and "nticks" ("I");
// -212 for a null grid, 281 for other keys, 269 for a value that is not a
// number. A new "nticks" below 1 is 1; a changed value redraws every view
// of the owner's windowed sheets that shows the grid.
int gridGetKey(const gridRec* grid, const char* key, uint32_t length, double* value, int* isReal);
int gridSetKey(gridRec* grid, const char* key, uint32_t length, double value);
// Stores spacing and steps (steps below 1 taken as 1) and redraws the
// views that show it when either changed.
void gridSetValues(gridRec* grid, float spacing, uint32_t steps);

// Draws the grid into the view (its drawing port, the state saved): the
// minor lattice (spacing / steps) as single points, the major lattice
// (spacing, when steps > 1) as small crosses, then the work plane's axis
// marks; a lattice whose step is under gridMinPixelStep pixels, or a
// spacing that is not positive and finite, is not drawn. With erase set
// the view is redrawn without the grid instead.
void gridDraw(viewRec* view, const gridRec* grid, int erase);
// Redraws a view (the grid changed).
void gridRedrawView(viewRec* view);
// Views redrawn by the grid so far (tests).
uint32_t gridRedrawCount();

// Always 0 for now: grid points along the alignment lines of the tracking
// feedback wait for their caller.
void* gridSnapPoint(const double point[3]);

// What lies outside the view layer's reach, set at start-up: whether
// printing is under way (the view-drawn handler draws no grid then), and
// the refresh of the settings display.
void gridSetPrintingSource(int (*printing)());
void gridSetDisplayRefresh(void (*refresh)());

// The settings' I/O routine (objects/docvar.h docVarRoutine).
int gridVarIO(const char* name, dbDocRec* settings, ioCtx* ctx);

// The operators.
int gridOpToggle(feArgs* args);
int gridOpSetParm(feArgs* args);
int gridOpGetParm(feArgs* args);

#endif
