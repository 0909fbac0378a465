// The operators about the current document's default object, the head whose
// style, colour and layer new objects copy: aDefaultObject and its synonym
// aObjectDefault ("!#Q": a one-member group holding the default object) and
// aSetDefaultStyle ("Q": every member of a group takes the default object's
// style and colour and moves to its layer). Without a current document they
// answer -4146. aSetObjAttrAttr ("Q[gobject]SiB": object, key, bit number
// 0-7, on) sets or clears a flag bit of an entry of the object's attribute
// dictionary (bit 0 makes it read-only for attribute setting) and
// aGetObjAttrAttr ("Q[gobject]Si#B") reads one; an absent entry answers -1,
// an object without a dictionary -2, a bit number outside 0-7 267.
// aGetSelectGobj ("!Q[clump]A{3R}#R", objects/clump.h) is registered with
// them, last.
#ifndef PLUMET_OBJECTS_DEFOBJ_H
#define PLUMET_OBJECTS_DEFOBJ_H

// Registers the operators (with the graphic-object class's set-up).
void gobjOpsInit();

#endif
