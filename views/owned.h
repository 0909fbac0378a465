// Owned lists: the singly linked lists through which a document holds its
// sheets, models and view directions and a model its work planes.
//
// Every record on such a list starts with the program-object head followed
// by a pointer to its class's list descriptor (vwOwnedHead); the descriptor
// says where in the record its next link and its owner pointer lie, and
// where in the owner the head of the list lies. The routines here work on
// any of these lists through that descriptor.
#ifndef PLUMET_VIEWS_OWNED_H
#define PLUMET_VIEWS_OWNED_H

#include "fe/value.h"

#include <cstddef>
#include <cstdint>

// Byte offsets of the three links (all are pointers).
struct vwListDesc {
  uint32_t nextOffset;   // the record's next record
  uint32_t ownerOffset;  // the record's owner
  uint32_t headOffset;   // the first record, inside the owner
};

// The first two fields of every owned record.
struct vwOwnedHead {
  feObjRecord object;
  const vwListDesc* desc;
};

// Error codes of the owned lists.
enum { vwErrNoOwner = -226, vwErrNotInList = -227 };

// The position that appends (any position past the list's end does).
constexpr uint32_t ownedAppend = UINT32_MAX;

// Takes record out of its owner's list and clears its next link (the owner
// pointer stays). Without a descriptor a panic "bad vsd" and -1; without an
// owner -226; a record not on the owner's list -227; else 0.
int ownedUnlink(void* record);

// Links record into its owner's list: position 0 at the head, n after the
// n-th record, after the last when the list is shorter (ownedAppend).
// Without a descriptor a panic "bad vsd" and -1; without an owner -226.
int ownedInsert(void* record, uint32_t position);

// A new array (in *out) of references to first and every record after it,
// in list order; a null first gives an empty array. A record without a
// descriptor: a panic "bad vsd", -1 and *out untouched.
int ownedToArray(void* first, feObject* out);

// The next record of the list, or null (null for a record without a
// descriptor).
void* ownedNext(const void* record);
// The owner recorded in the record, or null.
void* ownedOwner(const void* record);
// The number of records from first to the end of its list.
uint32_t ownedCount(const void* first);

#endif
