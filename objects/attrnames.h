// The attribute-name check list: the keys of object attributes with their
// codes and value types (synonyms share a code), with which the classes
// decode the keys of messages 107 and 108.
#ifndef PLUMET_OBJECTS_ATTRNAMES_H
#define PLUMET_OBJECTS_ATTRNAMES_H

struct uiAChklEntry;

// Attribute codes.
enum attrCode {
  attrLayer = 1, attrLayerNo = 2, attrLineFont = 3, attrColor = 4, attrWeight = 5, attrText = 6,
  attrColorNo = 7, attrLineFontNo = 8, attrLineWeight = 9, attrLocked = 20, attrControlPts = 21,
  attrXxvis = 22, attrType = 129, attrPt0 = 130, attrPt1 = 140, attrPt2 = 144, attrOrigin = 170,
  attrId = 205, attrDocId = 206,
};

// Builds the list once (later calls do nothing).
void attrNamesInit();
// The list (null before attrNamesInit).
const uiAChklEntry* attrNames();

#endif
