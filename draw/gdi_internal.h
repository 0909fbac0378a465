// What the resource modules share among themselves.
#ifndef PLUMET_DRAW_GDI_INTERNAL_H
#define PLUMET_DRAW_GDI_INTERNAL_H

// Frees the face-name table and the font-family list and forgets the
// current font description.
void gdiFontTerm();

#endif
