// The numbers of the object messages sent through objMeth (core/classes.h).
//
// Arguments a, b, c are words (intptr_t): pointers or integers. Answer 0 is
// success, -1 not applicable, -303 not handled by any class of the chain;
// other negative codes and the interpreter's error codes (259-281) are
// failures. The arguments of the messages most classes share:
//   100 free          -
//   107 get attribute a: const feObject* key (a name), b: feObject* out value
//                     (the answer holds its own reference)
//   108 set attribute a: const feObject* key, b: const feObject* value
//   119 for all       a: const feObject* procedure, run with each key and
//                     value through the execution stack
//   300 new           a: gobjRec** slot holding the record, or null in it:
//                     the most derived class allocates when it is null,
//                     then passes 300 to its superclass
//   302, 303          draw, erase: -
//   312 read or write a: ioCtx*, b: gobjRec** slot holding the object
//                     (reading may put another object there)
//   313 copy          a: gobjRec** out slot (made by message 300 to the
//                     object's class when empty)
//   320 changed       -
//   321 transform     a: const double* matrix (16, row-major), b: gobjRec**
//                     result slot, c: mode
//   328 select        a: mode (0 deselect, 1 select, other values toggle)
//   329 box test      a: 0, b: const int16_t* box (six compact words)
//   333 in place      a: const double* matrix, b: mode
//   338 parts         a: out group slot
//   347 type name     a: const char** out text
//   402 create        a: const feObject* keyed list, b: gobjRec** result slot
//   404 signature     a: int32_t* out
//   406 keys          a: objKeyCallback (objects/gobject.h), b: its context
// The packed messages (337, 349, 350, 351) take one argument, the address of
// a block of five words (objects/objsend.h packs them).
#ifndef PLUMET_OBJECTS_OBJMSG_H
#define PLUMET_OBJECTS_OBJMSG_H

enum objMessage {
  msgFree = 100,
  msgReadChar = 101,
  msgUnreadChar = 102,
  msgHash = 103,
  msgGetAttr = 107,
  msgSetAttr = 108,
  msgGetIndexed = 109,
  msgSetIndexed = 110,
  msgLength = 112,
  msgMaxLength = 113,
  msgForAll = 119,
  msgWriteBinary = 122,
  msgCtlEvent = 200,
  msgCtlCreate = 201,
  msgCtlDestroy = 202,
  msgCtlUpdate = 203,
  msgCtlWindow = 204,
  msgCtlProgress = 205,
  msgWndMessage = 220,
  msgWndClose = 221,
  msgWndOffset = 222,
  msgNew = 300,
  msgDraw = 302,
  msgErase = 303,
  msgBoxRange = 304,
  msgExtents = 306,
  msgPointAtT = 307,
  msgEvalAt = 308,
  msgFootPoint = 309,
  msgSubCurve = 310,
  msgEvaluator = 311,
  msgIO = 312,
  msgCopy = 313,
  msgArcLength = 314,
  msgCurve315 = 315,
  msgPointAtLength = 316,
  msgReverse = 317,
  msgNearest = 318,
  msgCheck319 = 319,
  msgChanged = 320,
  msgXform = 321,
  msgEnumVertices = 323,
  msgRelink = 324,
  msgEnumMembers = 325,
  msgIsClosed = 326,
  msgIsContainer = 327,
  msgSelect = 328,
  msgBoxTest = 329,
  msgPtSelSet = 330,
  msgPtSelIndex = 331,
  msgPtSelXform = 332,
  msgXformInPlace = 333,
  msgPtSelEnum = 334,
  msgEditStart = 335,
  msgEditEnd = 336,
  msgEnum = 337,
  msgParts = 338,
  msgAttach = 344,
  msgDetach = 345,
  msgPropPanel = 346,
  msgTypeName = 347,
  msgHasText = 348,
  msgHitTest = 349,
  msgCurve350 = 350,
  msgTangentPick = 351,
  msgIsFlat = 352,
  msgArc355 = 355,
  msgEnumVertices2 = 356,
  msgToSpline = 357,
  msgSurf358 = 358,
  msgIterNext = 359,
  msgTrackStep = 401,
  msgCreate = 402,
  msgPostLoad = 403,
  msgSignature = 404,
  msgIsectRange = 405,
  msgEnumKeys = 406,
  msgTblFind = 407,
  msgTblName = 408,
  msgTblNames = 409,
  msgCleanUpMerge = 410,
  msgCleanUpKey = 411,
  msgPreSave = 500,
  msgSameAs = 703,
  msgSnapPoints = 704,
  msgDimValues = 901,
  msgInfo600 = 600,
  msgInfo601 = 601,
  msgInfo602 = 602,
  msgInfo603 = 603,
  msgInfo604 = 604,
  msgInfo605 = 605,
  msgInfo606 = 606,
  msgTextClick = 800,
  msgTextKey = 815,
};

#endif
