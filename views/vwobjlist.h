// Helpers of flattening over lists of objects: the bounding box of a group
// and re-mapping objects' layer numbers through a table.
#ifndef PLUMET_VIEWS_VWOBJLIST_H
#define PLUMET_VIEWS_VWOBJLIST_H

#include <cstdint>

struct glist;
struct gobjRec;

// The bounding box (minimum corner, then maximum corner) of the members of
// a group from their extents (message 306; members that give none are
// passed over); six zeros for an empty group or one where no member gives
// extents.
void objListExtents(const glist* group, double box[6]);

// A table of 4-byte entries, one per old layer number, whose first byte is
// the new number. An object whose layer is within the table takes the new
// number; others keep theirs.
void objRemapLayer(gobjRec* object, const uint8_t* table, uint32_t entries);
// The same for an object in a sieve: it leaves its sieve and enters it
// again with its new layer, held by a reference meanwhile.
void objRemapLayerSieve(gobjRec* object, const uint8_t* table, uint32_t entries);

#endif
