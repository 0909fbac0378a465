// Shared by the files of the sieve module.
#ifndef PLUMET_OBJECTS_SIEVE_INTERNAL_H
#define PLUMET_OBJECTS_SIEVE_INTERNAL_H

#include "objects/sieve.h"

namespace sieveint {

// Registers the class "sieve" (sieveInit; sieveNew when not yet done).
void registerClass();

// True for a non-null record of the class "sieve".
bool isSieve(const sieveRec* sieve);
// A cell array of count cells over root, split down to the leaves.
sieveCell* makeCells(uint16_t count, const int16_t* root);
// The cell count for a wish: a power of two, 8 .. 4096.
uint16_t cellsFor(int wish);
// The object's box computed again (message 320 when flagged changed, then
// 306 packed outward); a class that gives no extents keeps its box. Answers
// bboxValidate's verdict: -1 for a box that cannot be entered.
int computeBox(gobjRec* object);
// Links an object with a valid box into its cell, growing the root box when
// the object reaches outside it; retain takes the sieve's reference (a
// rebuild moves the one the object has).
void link(sieveRec* sieve, gobjRec* object, bool retain);
// Calls fn for every object of cells 1 .. count-1 in order (the next object
// taken first); stops on a non-zero answer.
int forEach(sieveRec* sieve, sieveFn fn, void* context);
// Sets the resort-wanted flag.
void wantResort(bool on);

}  // namespace sieveint

#endif
