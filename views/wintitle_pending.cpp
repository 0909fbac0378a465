// Placeholders for views/wintitle.h until its module lands.
#include "views/wintitle.h"

char* vwWindowTitle(const docRec*, const sheetRec*) { return nullptr; }
void vwUpdateWindowTitle(sheetRec*) {}
int vwOpGetWindowName(feArgs*) { return 275; }
