// Shared vertices: the points that define objects (line ends, arc centres,
// dimension points) as reference-counted 3-D records interned in one
// program-wide hash table, so that equal points are one record and objects
// that meet share it. Objects keep vertices in slots (vertexRec* fields) and
// change them only through vertexSet and its relatives, which move the
// references.
//
// Coordinates are normalised before hashing and storing: zero of either sign
// and not-a-number become +0.0. Points are equal when their three doubles
// are. The origin (0, 0, 0) is one record made by vertexInit and held by the
// module.
//
// Counts are 8 bits and follow the object rule: a raise to 255 makes the
// vertex permanent (never lowered, never reused for another point). A vertex
// whose count falls to 0 stays in the table, and is found again, until a
// refill of the free list reclaims it (a refill reclaims the released
// vertices once they are a quarter of the table).
//
// The record is read in memory by the export plug-in: x, y, z come first.
#ifndef PLUMET_OBJECTS_VERTEX_H
#define PLUMET_OBJECTS_VERTEX_H

#include "objects/gobject.h"
#include "objects/ioctx.h"

#include <cstdint>

struct vertexRec {
  double x, y, z;
  uint8_t refCount;        // 255: permanent
  uint8_t flags;           // bit 0: the mark of vertexMark
  vertexRec* next;         // the next vertex of the hash chain, or of the free list
  vertexRec* follow;       // a slot: the vertex that replaces this one after a merge
};

enum { vertexMinChains = 8, vertexMaxChains = 8192, vertexRefill = 226 };

// Makes the table and the origin, registers the format letter V, the
// statistics "vertex" and the operator aVertexStat.
void vertexInit();
// Shut-down: frees the table and every vertex (slots still holding one are
// left dangling); a later vertexInit starts a fresh table.
void vertexExit();

// The vertex of a point with its count raised by one; null for a null point.
vertexRec* vertexFind(const double* point);
// Interns the point and stores its vertex in *slot (vertexAssign).
void vertexSet(const double* point, vertexRec** slot);
// Stores no vertex in *slot, releasing the old one.
void vertexClear(vertexRec** slot);
// Raises vertex's count, lowers the old vertex's (an old vertex reaching 0
// has its flags cleared and its follow link released the same way) and
// stores vertex. Storing the vertex the slot already holds changes nothing.
void vertexAssign(vertexRec* vertex, vertexRec** slot);
// An empty slot gets the shared origin; a filled one is set to (0, 0, 0).
void vertexSetOrigin(vertexRec** slot);
// The point transformed by a 4x4 matrix (rows, points as columns) and set:
// vertexSetXformPt as a plain point transform, vertexSetXform as a
// homogeneous one (divided by the fourth coordinate unless it is 0).
void vertexSetXformPt(const double* point, const double* matrix, vertexRec** slot);
void vertexSetXform(const double* point, const double* matrix, vertexRec** slot);

// The shared origin (not counted for the caller).
vertexRec* vertexOrigin();

// Clears (releasing) the follow link of every vertex of the table.
void vertexClearLinks();
// Sets or clears bit 0 of the flags; answers the flag byte.
int vertexMark(vertexRec* vertex, int on);
// 1 when the slot's vertex has a follow link, which then replaces it in the
// slot; 0 otherwise.
int vertexFollow(vertexRec** slot);

// The format letter V: each repeat codes one slot of the slot array its
// argument points at, as "3d". Reading sets the slot to the point read (a
// failed read panics "Bad read in vertexIO"); writing codes the slot's
// vertex, or the origin for an empty slot.
int vertexIO(vertexRec** slot, ioCtx* ctx);

// The hash of a vertex's point (the one its chain is chosen by), for the
// signatures of objects; 0 for null.
uint32_t vertexHash(const vertexRec* vertex);

// Table figures: the number of chains, of vertices in the table and of
// those with a count above 0.
uint32_t vertexChainCount();
uint32_t vertexCount();
uint32_t vertexReferencedCount();

#endif
