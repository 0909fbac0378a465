// The sieve: the spatial index of a document's drawing objects, and the
// document's ownership of them (each object in a sieve holds a reference).
//
// The sieve partitions its root box into cells in heap order: cell 0 holds
// nothing, cell 1 is the root, the children of cell i are 2i and 2i+1. A
// cell's box is split for its children on its longest axis (x, y, z; a later
// axis wins only when strictly longer) at the midpoint, the lower child's
// maximum packed rounding up and the upper child's minimum rounding down.
// An object lives in the deepest cell whose box contains its whole compact
// box (core/bbox.h), at the head of that cell's chain, linked through its
// nextInCell field.
//
// Every walk takes the next object of a chain before calling back, so a
// callback may delete the object it was given. A callback that answers
// non-zero stops the walk, and the walk answers that value (else 0).
//
// The source "all" lists every object of the current sieve. The class
// "sieve" frees a sieve with its references on message 100. Operators:
// SieveResort, aSieveStat (sieveInit registers them).
#ifndef PLUMET_OBJECTS_SIEVE_H
#define PLUMET_OBJECTS_SIEVE_H

#include "objects/gobject.h"

#include <cstdint>

struct dbDocRec;

enum { sieveMinCells = 8, sieveMaxCells = 4096 };

struct sieveCell {
  int16_t box[6];          // compact box: min x, y, z, max x, y, z
  gobjRec* head;           // first object of the cell's chain
};

struct sieveRec {
  uint16_t classId;        // the class "sieve"
  uint16_t cellCount;      // a power of two, 8 .. 4096
  uint32_t objectCount;    // objects entered
  sieveCell* cells;        // cellCount cells; cell 0 is unused
  dbDocRec* doc;           // the document whose id counter names new objects
  uint16_t docId;          // the document's number
};

// A walk's callback (the shape of an object source's callback).
typedef int (*sieveFn)(gobjRec* object, void* context);
// A filter: non-zero keeps the object.
typedef int (*sieveFilterFn)(gobjRec* object, void* context);

// Registers the class "sieve", the source "all" and the operators.
void sieveInit();
// The class "sieve" (0 before sieveInit).
uint16_t sieveClassId();

// A new sieve of the smallest power of two cells not below cellsWanted
// (8 .. 4096) over box (null: the box of the origin). A null document gives
// the warning "WNo current drawing" (the sieve is made all the same).
sieveRec* sieveNew(int cellsWanted, const int16_t* box, dbDocRec* doc, uint16_t docId);
// Frees the cells and the record. With release set every object is unlinked,
// loses flag 0x0002 and its reference.
void sieveFree(sieveRec* sieve, int release);
// Gives the sieve to another document's record (null: none), so that a
// sieve never refers to a record that may go before it; the record it
// leaves no longer has it as its current sieve.
void sieveSetDoc(sieveRec* sieve, dbDocRec* doc);

// Enters an object: the id rules of the document, its box recomputed
// (message 320 when flagged changed, then 306), the head of its cell's
// chain, a reference, flag 0x0002 and the sieve pointer. Answers 0 when
// entered; -1 when refused: a null object or sieve, an object already in a
// sieve (each with its panic), an argument that is not a sieve, an object
// without a class, or a box that fails validation (the object is then
// deleted: alert "WObject of type '^0' contains bad data and has been
// deleted"). Boxes that validation only clamps are entered clamped.
int sieveInsert(sieveRec* sieve, gobjRec* object);
// Takes an object out of its cell, found from the object's box: 0; -4100
// when the first argument is not a sieve; -1 when the object is not in the
// cell (logged, with the panic "sieveRemove failed\n") or on misuse.
int sieveRemove(sieveRec* sieve, gobjRec* object);

// The cell an object box belongs in.
int sieveCellOf(const sieveRec* sieve, const int16_t* box);

// Walks the objects whose boxes lie inside (mode 1) or overlap (other
// non-negative modes) the box of the two corners; a negative mode visits
// every object of cells 1 .. count-1 in order without a test.
int sieveSearchBox(sieveRec* sieve, sieveFn fn, void* context, int mode, const double* a, const double* b);
// The same with a compact query box, and only objects whose (flags & mask)
// equals value (mask 0: every object).
int sieveSearchCompact(sieveRec* sieve, sieveFn fn, void* context, int mode, const int16_t* box, uint16_t mask,
                       uint16_t value);
// Walks the objects whose boxes are not wholly outside any of four planes
// (a, b, c, d: a x + b y + c z + d >= 0 is the inner side); a cell wholly
// outside one plane is skipped with its children.
int sieveSearchPlanes(sieveRec* sieve, sieveFn fn, void* context, const double (*planes)[4], uint16_t mask,
                      uint16_t value);

// What the current view makes of a pixel rectangle (left, top, right,
// bottom) for sieveSearch: a view looking along world axis 0, 1 or 2 gives
// the rectangle's corners in world coordinates; any other view (axis -1)
// gives the four edge planes. Answers 0, or non-zero without a view.
struct sieveViewQuery {
  int axis;
  double corners[2][3];
  double planes[4][4];
};
typedef int (*sieveViewMapFn)(const int32_t* rect, sieveViewQuery* out);
// Set by the views; null until they exist.
void sieveSetViewMap(sieveViewMapFn map);
// The objects of the current view's pixel rectangle: a negative mode visits
// every object; a view along an axis searches the box of the rectangle's
// corners with that axis unbounded (mode 1 inside, others overlap); other
// views walk the four edge planes. With a mask only objects whose (flags &
// mask) equals value are visited. Without a view nothing is visited and -1
// answered.
int sieveSearch(sieveRec* sieve, sieveFn fn, void* context, int mode, const int32_t* rect, uint16_t mask,
                uint16_t value);

// Every object of the current sieve for which filter (when given) answers
// non-zero.
int sieveForAll(sieveFn fn, void* context, sieveFilterFn filter, void* filterContext);
// Every object of the given sieve (nothing for null); a non-zero answer of
// fn ends the walk and is answered.
int sieveForEach(sieveRec* sieve, sieveFn fn, void* context);

// The union of the boxes of all objects but hidden ones and those on the
// layer "construction": 0; mode 1 counts only objects of the current model
// (owner 0 or the current model number); mode 2 copies the root cell's box.
// With no object counted, the root box and -1.
int sieveExtent(sieveRec* sieve, int16_t* out, int mode);

// The current document's sieve (null without a document); setting it
// without a document does nothing.
sieveRec* sieveCurrent();
void sieveSetCurrent(sieveRec* sieve);

// Clears flag 0x0800 on every object.
void sieveClearMarks(sieveRec* sieve);
// Checks every object of the current sieve with the class table's
// validation; panics "sieveChk(%d)=%d" (n, the answer) on a bad one.
void sieveChk(int n);
// Marks the document holding the object modified (with documents).
void objDocDirty(gobjRec* object);

// Rebuilds the sieve with cellsWanted cells over the extent of its objects
// (sieveExtent mode 0), moving every object from the old cells in order;
// with recompute set each box is computed again and an object whose new box
// fails validation leaves the sieve. The last sieve rebuilt is kept for the
// drawing of its cells.
void sieveRebuild(sieveRec* sieve, int cellsWanted, int recompute);
// The automatic resort after changes: when cellCount * 64 < objectCount and
// there are fewer than 4096 cells, logs "Resorting Sieve.\n" and rebuilds
// with objectCount / 32 cells. Answers 1 when it rebuilt.
int sieveResortCheck(sieveRec* sieve);
// Set when an insert grew a root box; cleared by a rebuild.
bool sieveResortWanted();

#endif
