// The numbers of the settings records that exist, and the records retired
// for the default objects that scripts still hold.
#include "objects/doclive.h"

#include "core/alloc.h"
#include "core/classes.h"
#include "objects/docstate.h"
#include "objects/docvar.h"
#include "objects/objmsg.h"

#include <algorithm>
#include <vector>

namespace {

uint32_t lastNumber = 0;
std::vector<dbDocRec*> live;

// The retired records: a block that is never freed, so that the records
// stay reachable to the end of the run.
dbDocRec** retired = nullptr;
uint32_t retiredCount = 0;
uint32_t retiredCapacity = 0;

uint16_t goneClass = 0;

// A default object whose document is gone: every message is refused; 100
// frees nothing, since the object is a part of a retired record.
int goneHandler(void*, int message, intptr_t, intptr_t, intptr_t) {
  return message == msgFree ? 0 : docErrNoDoc;
}

}  // namespace

uint32_t docLiveAdd(dbDocRec* rec) {
  if (!rec) return 0;
  if (rec->liveNumber && docLiveFind(rec->liveNumber) == rec) return rec->liveNumber;
  rec->liveNumber = ++lastNumber;
  live.push_back(rec);
  return rec->liveNumber;
}

void docLiveRemove(dbDocRec* rec) {
  if (!rec) return;
  live.erase(std::remove(live.begin(), live.end(), rec), live.end());
}

dbDocRec* docLiveFind(uint32_t number) {
  if (number == 0) return nullptr;
  for (dbDocRec* rec : live)
    if (rec->liveNumber == number) return rec;
  return nullptr;
}

uint32_t docLiveNumber(const dbDocRec* rec) {
  if (!rec || !rec->liveNumber) return 0;
  return docLiveFind(rec->liveNumber) == rec ? rec->liveNumber : 0;
}

uint16_t docLiveGoneClassId() {
  if (!goneClass) goneClass = objClassRegister("defgone", 0, goneHandler);
  return goneClass;
}

void docLiveRetire(dbDocRec* rec) {
  if (!rec) return;
  docLiveRemove(rec);
  rec->defaultObject.classId = docLiveGoneClassId();
  rec->defaultObject.refCount = gobjPermanent;
  if (retiredCount == retiredCapacity) {
    uint32_t capacity = retiredCapacity;
    uAlloc(&retired, &capacity, retiredCapacity + 8, sizeof(dbDocRec*));
    retiredCapacity = capacity;
  }
  retired[retiredCount++] = rec;
}
