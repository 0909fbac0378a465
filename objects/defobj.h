// The operators about the current document's default object, the head whose
// style, colour and layer new objects copy: aDefaultObject and its synonym
// aObjectDefault ("!#Q": a one-member group holding the default object) and
// aSetDefaultStyle ("Q": every member of a group takes the default object's
// style and colour and moves to its layer). Without a current document they
// answer -4146.
#ifndef PLUMET_OBJECTS_DEFOBJ_H
#define PLUMET_OBJECTS_DEFOBJ_H

// Registers the three operators (with the graphic-object class's set-up).
void gobjOpsInit();

#endif
