// The hit radius with which point hits are tested, and the hit mode word of
// the text object's hit testing.
//
// The radius belongs to the current document; while no document is current a
// program-wide 16-bit value (8 at start) stands in, so a value written then
// comes back cut to 16 bits. A new document starts with 12 when no other is
// current, else with the current document's radius (the document records
// of objects/docvar.h see to that).
#ifndef PLUMET_OBJECTS_HITRAD_H
#define PLUMET_OBJECTS_HITRAD_H

#include <cstdint>

// The radius of the current document, or the program-wide value.
void aHitRad(int32_t* out);
void aSetHitRad(int32_t radius);

// The hit mode: 0 at start.
uint16_t hitModeGet();
void hitModeSet(uint16_t mode);

// Module set-up: registers the operators aSetHitRad ("!i": sets the radius)
// and aHitRad ("!#i": pushes it), in that order.
void hitRadInit();

#endif
