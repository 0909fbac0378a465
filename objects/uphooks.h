// What the object model asks of the folders above it: of the documents and
// views (views/) the current work plane, view and open documents and the
// drawing of pending updates, and of the tool input loop (tools/) points
// entered with the mouse. Start-up sets both tables (app/hooks.cpp). Until
// then, and in a program part built without those folders (the object
// model's own tests), every call answers as the program does with no
// document, no view, no work plane and no tool running.
//
// Other calls up are declared with the module that makes them: the source
// of the current update list (objects/update.h), the handler of
// aDrawDeferList (objects/objops.h), the detach hook of object records
// (objects/objrecord.h), the document records' accessor (objects/docvar.h),
// the drawing file's units flag and layer coder (objects/iofile.h,
// objects/ioformat.h), the pens' output mode (objects/pen.h), the
// selection's wall and information hooks (objects/selmode.h) and the
// styles' font hooks (objects/style.h).
#ifndef PLUMET_OBJECTS_UPHOOKS_H
#define PLUMET_OBJECTS_UPHOOKS_H

#include <cstdint>

struct dbDocRec;

// ---- Of the documents and views ----

// A work plane made current for a while and the plane current before it
// (plane null: none was made).
struct objSavedPlane {
  void* plane;
  void* previous;
};

struct objViewHooks {
  // The current work plane's axis in world coordinates: 0 x, 1 y, 2 z,
  // 3 the origin; any other index zeros.
  void (*planeAxis)(int index, double out[3]);
  // Makes a work plane with the world's axes current; popWorldPlane makes
  // the plane before current again and lets the made one go.
  void (*pushWorldPlane)(objSavedPlane* saved);
  void (*popWorldPlane)(const objSavedPlane* saved);
  // The current view's scale of a kind (0 view, 1 view times plot, 2 view
  // over plot, 3 plot, 4 the last plot scale): 0, or -1 without a current
  // view and sheet (*out is 1 then).
  int (*viewScale)(int kind, double* out);
  // The current view's window becomes the drawing port again.
  void (*setPortToCurrentView)();
  // Draws the pending updates of the current document (aDrawDeferList).
  void (*drawDeferList)();
  // One step of the selection display; reset 1 restarts it.
  void (*selectionStep)(int reset);
  // Calls fn with the settings record of every open document, in the
  // order they were opened.
  void (*forEachOpenDoc)(void (*fn)(dbDocRec* settings, void* context), void* context);
};
// Installs the hooks (copied); an entry left null answers as without views.
void objSetViewHooks(const objViewHooks& hooks);

// The calls, each with the answer of a program without views when its hook
// is not set: the world's axes, no plane made, scale 1 (-1), no port, no
// drawing, no documents.
void objPlaneAxis(int index, double out[3]);
objSavedPlane objPushWorldPlane();
void objPopWorldPlane(const objSavedPlane& saved);
int objViewScale(int kind, double* out);
void objSetPortToCurrentView();
void objDrawDeferList();
void objSelectionStep(int reset);
void objForEachOpenDoc(void (*fn)(dbDocRec* settings, void* context), void* context);

// ---- Of the tool input loop ----

// Called after each change of the tool's points while the loop runs: a new
// point was entered (previous null) or the last one moved (previous: where
// it was). points are the positions of the tool's buffer, oldest first.
typedef void (*objPointStep)(const double (*points)[3], int count, const double* previous, void* context);

struct objPointInput {
  // The tool input loop from a press at window pixel (x, y): a press gives
  // a point, a drag moves it. startMode is the number of points the tool
  // takes (as the loop's start mode); feedback, when given, redraws the
  // tool's whole feedback in a draw mode (0 draw, 1 erase, 2 XOR).
  void (*track)(int x, int y, objPointStep step, void* context, int startMode, void (*feedback)(int drawMode));
  // The positions of the points in the tool's buffer (at most
  // objPointsMax), oldest first, copied to out; answers their count.
  int (*points)(double (*out)[3]);
  // Redraws the tool's feedback in a draw mode.
  void (*redrawFeedback)(int drawMode);
  // Empties the buffer.
  void (*clearPoints)();
  // Drops the last n points of the buffer.
  void (*dropPoints)(int n);
};
enum { objPointsMax = 6 };
// Installs the table (copied); an entry left null does nothing (no points).
void objSetPointInput(const objPointInput& input);

void objTrackPoints(int x, int y, objPointStep step, void* context, int startMode, void (*feedback)(int drawMode));
int objToolPoints(double (*out)[3]);
void objRedrawToolFeedback(int drawMode);
void objClearToolPoints();
void objDropToolPoints(int n);

#endif
