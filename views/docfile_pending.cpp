// Placeholders for views/docfile.h until its module lands.
#include "views/docfile.h"

int vwReadDoc(docRec*, const char*, uint32_t, uint32_t) { return 0; }
int vwWriteDoc(docRec*, const char*, uint32_t, uint32_t, int32_t) { return 0; }
int vwDocVersion() { return 0; }
void vwFileRefPush(gobjRec*) {}
void vwWindowBoxFit(int32_t*) {}
int vwOpWrite(feArgs*) { return 275; }
int vwOpFileRead(feArgs*) { return 275; }
int vwOpEdit(feArgs*) { return 275; }
int vwOpFileIsUnique(feArgs*) { return 275; }
int vwOpImportFeldon(feArgs*) { return 275; }
int vwOpExportPlumet(feArgs*) { return 275; }
int vwOpImportViews(feArgs*) { return 275; }
