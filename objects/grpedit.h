// Editing groups of drawing objects: transforming, copying, patterning,
// flattening and cleaning up groups, setting flags and attributes on their
// members, and the selection mask. The operators are registered by
// objOpsInit (objects/objops.h) in its fixed order; their handlers are here.
//
// Objects on the layer ".temp" are scratch objects: every operation that
// copies objects (aTransform with its copy flag, aDuplicate, aLinearDup)
// passes them over.
#ifndef PLUMET_OBJECTS_GRPEDIT_H
#define PLUMET_OBJECTS_GRPEDIT_H

#include "objects/group.h"

struct feArgs;

// True when the object lies on the layer ".temp".
bool objOnScratchLayer(const gobjRec* object);

// Transforms every member in place by the matrix (16 doubles, row-major)
// through message 321. A member that answers another object is replaced by
// it in the group (the group's reference moves to the new object); when the
// old one was in the document (flag 0x0002) it is deleted from it and the
// new one inserted. A member whose transform leaves no object, or whose
// document entry cannot be given up (locked), stays as it was and the
// answered object is dropped. Answers the number of members replaced.
int grpTransform(glist* group, const double* matrix);

// The program-wide clean-up mode word: 3 while aCleanUp and aCleanUp2 pass
// their results through the identity transform (classes may then tidy what
// they hold, such as shared vertices), 0 otherwise.
enum : int { objCleanUpActive = 3 };
int objCleanUpMode();

// The box of a curve's whole piece (message 304 over the parameters 0 and
// 1; the extents, message 306, stand in while the class does not fill it):
// true when it is a single point in x, y and z. A vertical line or a closed
// curve is not zero-length.
bool crvIsZeroLength(gobjRec* curve);

// The operators. Signatures as objOpsInit registers them.
int aSetLengthOp(feArgs* args);      // "Q[group]R"
int aTransformOp(feArgs* args);      // "!Q[group]A{16D}I"
int aFlattenOp(feArgs* args);        // "!Q[group]#Q"
int aGetTypeOp(feArgs* args);        // "QS#Q"
int aSetXVisOp(feArgs* args);        // "!Q[group]I"
int aSetLockOp(feArgs* args);        // "!Q[group]I"
int aSetUnSelectOp(feArgs* args);    // "!Q[group]I"
int aSetAttrOp(feArgs* args);        // "Q[group]O"
int aDuplicateOp(feArgs* args);      // "Q[group]#Q"
int aSetSelMaskOp(feArgs* args);     // "OOO#"
int aCleanUpOp(feArgs* args);        // "Q<group>#Q"
int aCleanUp2Op(feArgs* args);       // "Q<group>#Q"
int aLinearDupOp(feArgs* args);      // "Q[group]O"

#endif
