// Script events, point queries and system services: the general operators
// of objOpsInit (objects/objops.h) that work on no group of objects.
//
//   aFormat        "OS#S"    value and template -> text
//   aSetPort       "!"       the current view's window is the drawing port again
//   aSystemIcon    "S#I"     an icon handle by name; -1 when none
//   aQueryOrigin   "!AP{3D}" the origin of aQuery's "delta0"
//   aCustomColorGet "i<0>I#A{iii}", aCustomColorSet "i<1>IA{iii}"
//                            the 16 custom colours of the colour dialog as
//                            16-bit components (8-bit x 256); an index
//                            outside 0-15 answers 267
//   aPickColor     "!A{II}SA{iii}#A{iii}B" the colour dialog
//   aOnEvent       "!OSS"    a procedure run for application events
//   aBoxOrder      "!IIII#IIII" two corners -> smaller x, y, larger x, y
//   aFlag3D        "!#B"     true
//   aTrackStroke   "!A{II}#A{II}A{II}I" a mouse stroke and its code
//   aQuestion      "!S#B"    a yes/no question: true when answered No
//   aQuery         "!A{II}S#B" one or two points and a value by key
//   aConfigMesg    "!S", aGetConfigMesg "!#Si" the configuration messages
#ifndef PLUMET_OBJECTS_SCRIPTSVC_H
#define PLUMET_OBJECTS_SCRIPTSVC_H

#include "fe/opcall.h"

#include <cstddef>
#include <cstdint>
#include <string>

struct feObject;

// ---- Formatting ----

enum { fmtResultSize = 256 };
// The template with "^d" replaced by the text of element d of value (an
// array), or of value itself for d = 0 when it is not an array ("???" for
// an element that does not exist); "^" before any other character gives
// that character. -1 when the result would reach 256 bytes.
int fmtTemplate(const feObject* value, const char* templ, size_t length, std::string* out);
// The text of a value: null "???", strings and names their text, integers
// "%ld", reals "%g", booleans "true"/"false", arrays "[a b ...]" (each
// element in at most 64 bytes, "..." once fewer than 16 bytes are left),
// others "???". Appended to out, which never grows past limit - 1 bytes; -1
// when it would.
int fmtValueText(const feObject* value, std::string* out, size_t limit);

// ---- Script handlers of application events ----

// Appends a handler for the kind and source names (tables below); the
// catcher joins the application event table on the first call. 0, or -1
// for an unknown name (nothing registered).
//   kinds: all any new delete deactivate activate draw change allgone
//   sources: document sheet model view workplane viewdir vdir layer ctable
int scriptEvtAdd(const feObject* procedure, const char* kind, size_t kindLength, const char* source,
                 size_t sourceLength);
// The catcher: marks the handlers that match the code; at the end of a
// command (257) runs the marked ones in list order, pass after pass while
// running them marked more, at most 12 passes ("TonEvent's keep looping.").
void evCatcher(uint32_t code, intptr_t argument);
// The handler list's length.
size_t scriptEvtCount();
// Drops every handler (the catcher stays in the event table).
void scriptEvtReset();
// For tests that empty the event table (evtReset): the next aOnEvent
// enters the catcher again.
void scriptEvtForgetCatcher();

// ---- Strokes ----

enum { strokeMaxPoints = 256 };
// The code of a stroke given in y-up coordinates (pixel y negated): the
// start cell (1 bottom-left to 9 top-right of the box shrunk by a third
// where it is long enough) in bits 16 and up, and in the low 16 bits the
// crossings of the shrunken box's edges, 4 bits per edge: 0x0001 left,
// 0x0100 right, 0x0010 bottom, 0x1000 top.
int32_t strokeClassify(const int32_t (*points)[2], int count);

// ---- Point queries ----

// What aQuery pushes for a key from the points given (world coordinates;
// count 1 or 2) and the query origin: out gets the values as they are to
// be pushed, in order (a real, or a vector of 3, or 3 or 6 plane
// coordinates for "originv"). Points and vectors in out are in world
// coordinates; origin is updated for "origin" and "originv". Answers false
// for an unknown key or too few points.
struct queryValue {
  int kind;  // 1 a real, 3 a point, 4 a vector, 6 a plane-coordinate array (n reals)
  double v[6];
  int n;
};
bool queryCompute(const char* key, size_t length, const double (*points)[3], int count, double origin[3],
                  queryValue out[2], int* outCount);
// How many points a key takes at most (0: unknown key) and at least.
int queryPointsWanted(const char* key, size_t length, int* least);

// ---- Configuration messages and custom colours ----

void configMesgAdd(const char* text, size_t length);
size_t configMesgCount();
void configMesgReset();
// The 16 custom colours (COLORREF) of the colour dialog.
uint32_t* customColors();

// ---- Operators (registered by objOpsInit in its order) ----
int aFormatOp(feArgs* args);
int aSetPortOp(feArgs* args);
int aSystemIconOp(feArgs* args);
int aQueryOriginOp(feArgs* args);
int aCustomColorOp(feArgs* args);  // get (first argument 0) and set (1)
int aPickColorOp(feArgs* args);
int aOnEventOp(feArgs* args);
int aBoxOrderOp(feArgs* args);
int aFlag3DOp(feArgs* args);
int aTrackStrokeOp(feArgs* args);
int aQuestionOp(feArgs* args);
int aQueryOp(feArgs* args);
int aConfigMesgOp(feArgs* args);
int aGetConfigMesgOp(feArgs* args);

#endif
