// The state shared by the parts of the object-information module: the field
// list with its gathering state, and the dump in progress.
#ifndef PLUMET_OBJECTS_OBJINFO_INTERNAL_H
#define PLUMET_OBJECTS_OBJINFO_INTERNAL_H

#include "objects/group.h"
#include "objects/objinfo.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

struct infoState {
  // Entries stay where they are while the list grows: the tool holds their
  // addresses between two refreshes.
  std::vector<std::unique_ptr<infoField>> fields;
  int32_t next = 0;            // the index the next field of the current object compares with
  int32_t gathered = 0;        // objects gathered so far
  gobjRec* current = nullptr;  // the object being gathered or dumped
  std::vector<std::string> moreNames;  // names the current object's "More..." fields stand for
  glist* group = nullptr;      // the objects last shown (one reference held)
  void* tool = nullptr;        // the edit-object tool, or null
  int lastPoints = -1;         // the last control-points state handed to the menu (-1: none yet)
  int lastArrows = -1;         // the last arrow bits handed to the menu (-1: none yet)
  std::FILE* dump = nullptr;   // the stream of the dump in progress, or null
};

infoState& infoGlobal();

// Takes a field made by a field function: written out while dumping, else
// appended (first object) or compared with the entry at the next index.
void infoTake(infoField&& field);
// The editable flag of a field function's argument for the current object.
bool infoEditable(int32_t editable);

// Starts gathering: an empty list and no object gathered yet.
void infoGatherBegin();
// Gathers one object (message 346); entries it did not list at their place
// stop being common.
void infoGather(gobjRec* object);

// The dump's writer of one field (objinfo_dump.cpp).
void infoDumpField(const std::string& name, const std::string& value);

#endif
