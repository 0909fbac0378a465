// The select colour of the current document, by colour name: aSetSelectColor
// ("S": sets it and queues the selected objects for redrawing when it
// changed; -4146 without a document, -4112 for a name that is no colour) and
// aGetSelectColor ("#S": the name of the select colour, "???" when it has
// none). The graphic-object operators register them.
#ifndef PLUMET_OBJECTS_SELCOLOR_H
#define PLUMET_OBJECTS_SELCOLOR_H

struct feArgs;

int selColorSetOp(feArgs* args);
int selColorGetOp(feArgs* args);

#endif
