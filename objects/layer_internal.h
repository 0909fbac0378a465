// Private to the layer module: the helpers its files share.
#ifndef PLUMET_OBJECTS_LAYER_INTERNAL_H
#define PLUMET_OBJECTS_LAYER_INTERNAL_H

#include "objects/layer.h"

struct feArgs;
struct glist;

// A layer record of the table with a non-empty name, or null.
layerRec* layerEntryIn(numTbl* table, int32_t number);
// The four attribute bytes, and their file word.
void layerAttrsCopy(const layerRec* from, layerRec* to);
uint32_t layerAttrWord(const layerRec* rec);
void layerSetAttrWord(layerRec* rec, uint32_t word);
// The work layer: the current document's, else the default head's layer.
int32_t layerWorkNumber();
void layerSetClumpHide(bool on);

// What the layer module notes per open file: the debug lines it writes at
// most once per file.
struct layerFileNotes {
  bool zombieLogged = false;      // MakeZombieLayer's line
  bool badMapLogged = false;      // a stored number outside the layer map
  bool missingLogged = false;     // a number without a record
};
layerFileNotes& layerFileState(const ioCtx* ctx);
void layerFileForget(const ioCtx* ctx);

// A new group (count 0) of the current sieve's objects on layer n.
glist* layerObjects(int32_t n);
// Hides (mode 1), shows (mode 0) or toggles (other modes) layer n with the
// rules of aLayerHide; signals 0x20007 when it changed.
int layerHideNumber(int32_t n, int mode);
// Renames layer n after the checks of scripts' names (-4119, -4124);
// signals 0x20007.
int layerRenameNumber(int32_t n, const char* name, uint32_t length);
// The default object takes the attributes of layer n when n is the work
// layer (after a change to that layer).
void layerRefreshDefault(int32_t n);

// Registers the classes "layer" and "layrtbl".
void layerClassesInit();
// Defines a layer under the checks of scripts' names; the new layer takes
// the work layer's attributes. Signals 0x20001.
int layerDefine(const char* name, uint32_t length);
// Deletes layer n with every object of the current sieve on it; locked
// objects that stay go to "unassigned". Signals 0x20002.
int layerDeleteNumber(int32_t n);

// Frees the default table (for tests that start again from nothing).
void layerTblDefaultFree();

#endif
