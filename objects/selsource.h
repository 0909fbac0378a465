// The selection as object sources: "selected" (the current document's
// objects with flag 0x0001) and "ptselected" (flag 0x0001 or 0x0040), and
// the operator aSelect ("QI": an object, or every member of a group, goes
// with the mode to objSelect; answers 0).
#ifndef PLUMET_OBJECTS_SELSOURCE_H
#define PLUMET_OBJECTS_SELSOURCE_H

struct feArgs;

// The selection module's set-up: registers the two sources and aSelect,
// then sets up the display of the selection (objects/selmode.h: the
// select-by word, "$BLINKCURSOR", the pending flag's events and the four
// select-by operators).
void selInit();

// The operator aSelect.
int selSelectOp(feArgs* args);

#endif
