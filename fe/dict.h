// Dictionaries, the dictionary stack and the name look-up with its per-name
// cache. Capacity is at least 8 and at most 3072; string keys are converted
// to names before every look-up and store.
#ifndef PLUMET_FE_DICT_H
#define PLUMET_FE_DICT_H

#include "fe/value.h"

#include <cstdint>

enum { feDictMinCapacity = 8, feDictMaxCapacity = 3072 };

// A new dictionary of capacity max(n, 8) (at most 3072), all slots empty.
int feMakeDict(feObject* slot, int32_t n);
void feDictRelease(feObject* value);
void feDictAddRef(const feObject* value);

// A copy of the value under key: 265 when absent; a non-dictionary goes to the
// generic get.
int feDictGet(const feObject* dict, const feObject* key, feObject* out);
// Stores copies of key and value (grows when full; 266 at the largest
// capacity); a non-dictionary goes to the generic put.
int feDictPut(const feObject* dict, const feObject* key, const feObject* value);
int feDictDefName(const feObject* dict, const char* name, const feObject* value);
int feDictGetName(const feObject* dict, const char* name, feObject* out);
int feDictGetNameIdx(const feObject* dict, uint16_t nameIndex, feObject* out);
int feDictGetIntKey(const feObject* dict, int32_t key, feObject* out);
// The slot of key in the dictionary, or -1.
int32_t feDictFind(const feObject* dict, const feObject* key);

int feDictMaxLength(const feObject* dict, int32_t* out);   // 269 for a non-dictionary
int32_t feDictLength(const feObject* dict);                // used entries
// Entry i (copies are not made): 279 without entries, 267 when i is not below
// the capacity.
int feDictEntryAt(const feObject* dict, int32_t i, feObject** key, feObject** value);
// 0 when both share one body, 268 otherwise.
int feDictEq(const feObject* dict, const feObject* other);
uint32_t feDictHash(const feObject* dict);
int feDictPrint(const feObject* dict, int mode);
int feDictCopy(const feObject* source, const feObject* destination, feObject* out);

// The dictionary stack and the local dictionary.
//
// systemdict and userdict are the bottom two entries of the stack and are
// never removed by end. The local dictionary is the top of the procedure-frame
// stack when that is a dictionary; it is searched before the stack and is
// where def stores while it exists. A name look-up always answers the
// definition in the topmost dictionary that holds the name; the per-name
// cache only saves the search. The cache stays sound because every put of a
// name clears its cache, feDictBegin clears the caches of the names the pushed
// dictionary holds, and a change of the stack made past feDictBegin and
// feDictEnd is noticed at the next look-up and clears every cache.
int feDictDef(const feObject* key, const feObject* value);   // def
int feLoad(const feObject* key, feObject* out);              // load and name execution; out is a copy
// The shortcut of feLoad for name execution: when the name's cache answers
// (no local dictionary, the stack as begin and end left it), the stored
// value that feLoad would copy, lent (valid until the dictionary changes);
// null, with nothing changed, sends the caller to feLoad. Counted as a
// cached look-up, as feLoad counts it.
const feObject* feLoadCachedName(const feObject* name);
int feStore(const feObject* key, const feObject* value);     // store
// The dictionary that defines key (the local one first, then from the top):
// *dict receives a copy holding its own reference; 265 when undefined.
int feWhereDict(const feObject* key, feObject* dict);
// Pushes a copy of dict on the dictionary stack (begin; 269 for another
// type) / pops and releases the top (end; 278 when only systemdict and
// userdict are left).
int feDictBegin(const feObject* dict);
int feDictEnd();
// Name look-up counters: cache hits and full searches.
void feLookupCounts(uint32_t* hits, uint32_t* searches);

// Empties the dictionary stack and pushes systemdict, then userdict: copies
// of the given dictionaries, or new ones of capacity 800 and 2000 when they
// are null. Clears every name's look-up cache. 0, or 269 when a given value
// is not a dictionary.
int feDictStackInit(const feObject* systemdict = nullptr, const feObject* userdict = nullptr);
// The dictionary at a level of the stack (1 = systemdict, 2 = userdict), or
// null outside 1..count. Valid until the dictionary stack changes.
const feObject* feDictAtLevel(int32_t level);
// Clears the look-up cache of every name (after the name table or the stack
// has been rebuilt, e.g. when an image was read).
void feDictFlushCaches();
// A definition that hides a name defined lower on the stack is logged while
// debug flag 0x20 is set; this routine, when set, is called after the line
// to add the stack crawl. Null removes it.
typedef void (*feDefOverwriteHook)();
void feDictSetOverwriteHook(feDefOverwriteHook hook);

// Operators on the operand stack.
int feOpDef();
int feOpLoad();
int feOpStore();
int feOpWhere();
int feOpCurrentDict();
int feOpCountDictStack();
int feOpDictStack();
int feOpBegin();
int feOpEnd();
int feOpDict();
int feOpAdict();
int feOpDictEnd();   // ">>"

#endif
