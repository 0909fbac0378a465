// The settings records that exist, each under a number of its own.
//
// A program object that a script may keep and that refers to a document's
// settings record (a "docdict", a document's "units") holds the record's
// number, never its address, and looks the record up at each use: once the
// document is gone the look-up finds nothing and the object answers
// docErrNoDoc (-4146) instead of reading a freed record. Numbers are given
// in order from 1 and never twice in a run.
//
// A record whose default object was given to a script (aDefaultObject hands
// it out in a group, whose member points into the record) is not freed with
// its document: it is retired instead. Its default object then belongs to
// the class "defgone", which answers -4146 to every message, and the record
// stays allocated for the rest of the run, so that the groups that still
// hold the object read valid memory.
#ifndef PLUMET_OBJECTS_DOCLIVE_H
#define PLUMET_OBJECTS_DOCLIVE_H

#include <cstdint>

struct dbDocRec;

// Registers a record under a new number (kept in rec->liveNumber) and
// answers the number. A record registered already keeps its number.
uint32_t docLiveAdd(dbDocRec* rec);
// Takes a record off; its number then finds nothing.
void docLiveRemove(dbDocRec* rec);
// The record registered under number, or null (always null for 0).
dbDocRec* docLiveFind(uint32_t number);
// The number of a registered record, 0 for null or a record not registered.
uint32_t docLiveNumber(const dbDocRec* rec);

// Keeps a record that its document let go of (already emptied by the
// document events) for the rest of the run, its default object turned into
// a "defgone" object.
void docLiveRetire(dbDocRec* rec);
// The id of the class "defgone" (registered when first needed).
uint16_t docLiveGoneClassId();

#endif
