// What the pen operators share with the pen table.
#ifndef PLUMET_OBJECTS_PEN_INTERNAL_H
#define PLUMET_OBJECTS_PEN_INTERNAL_H

#include <cstdint>

// aDefPenSizes's table update: the first count widths (at most 8) replace
// the table's, the largest width becomes the larger of the table's old
// largest and the new values (it never shrinks here), and the device widths
// are remade.
void penReadNewWidths(const double* widths, int32_t count);

#endif
