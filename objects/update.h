// The update marks and the update queue: a changed object is not drawn at
// once but marked dirty (flag 0x0100: message 320 is due) and queued
// (flag 0x1000) on the current update list, a group that the views keep per
// model and draw when a command ends (aDrawDeferList, views/redraw.h).
//
// Where the current update list lives is told by a source that the views
// install: it answers the slot of the current model's pending list, or null
// when no model is current (objects then stay unqueued).
//
// Every call takes single drawing objects; a group given where an object is
// expected is refused with the panic "glist in objUpdate".
#ifndef PLUMET_OBJECTS_UPDATE_H
#define PLUMET_OBJECTS_UPDATE_H

#include "objects/gobject.h"

struct glist;

// The marks, under the names the queue gives the object flags.
enum : uint16_t {
  updDirty = gobjChanged,            // 0x0100: message 320 is due
  updQueued = gobjDamageDeferred,    // 0x1000: on an update list
  updDrawnAlone = gobjRecent,        // 0x0008: drawn by itself, not with the batch
};

// Marks the object dirty and queues it: an object already queued only gets
// the dirty bit; otherwise, when there is a current update list, it is
// appended (holding a reference) and gets both bits. The flag is not used.
void objUpdate(gobjRec* object, int flag);
// objUpdate for every member of a group (null: none).
void objUpdateList(glist* list, int flag);
// Queues the object without the dirty bit; nothing when it is queued
// already or there is no current update list.
void objUpdateQueue(gobjRec* object);
void objUpdateQueueList(glist* list);
// Takes the object off the queue: clears its queued bit (the list entry is
// dropped when the list is drawn).
void objUpdateDequeue(gobjRec* object);

// The source of the current update list (null: there is none).
typedef glist** (*objUpdateListSource)();
void objUpdateSetListSource(objUpdateListSource source);
// The slot of the current update list, or null.
glist** objUpdateCurList();

#endif
