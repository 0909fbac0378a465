// Window titles of sheet windows: the document's file title, the sheet's
// title when the document has more than one sheet, and the lock state of
// the document's file.
#ifndef PLUMET_VIEWS_WINTITLE_H
#define PLUMET_VIEWS_WINTITLE_H

struct feArgs;
struct docRec;
struct sheetRec;

// A new allocator block: "^0", "^0 : ^1" or "^0 : ^1 : ^2" filled with the
// parts present.
char* vwWindowTitle(const docRec* doc, const sheetRec* sheet);
// Sets the native title of the sheet's window, when it has one.
void vwUpdateWindowTitle(sheetRec* sheet);

// aGetWindowName.
int vwOpGetWindowName(feArgs* args);

#endif
