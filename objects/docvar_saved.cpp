// The scripts' saved variables: the program-wide list of names whose
// values travel with each document (global flag 0) or with the global file
// only (1), the per-document values, and the "varsave" block that carries
// the list from one run to the next in the compiled image.
#include "objects/docvar.h"
#include "objects/docvar_internal.h"
#include "objects/docvar_value.h"

#include "core/alloc.h"
#include "core/debug.h"
#include "fe/dict.h"
#include "fe/generic.h"
#include "fe/names.h"
#include "fe/newbio.h"

#include <cstring>

namespace {

uint32_t entryCount;
uint32_t entryCap;
varSaveEntry* entries;

}  // namespace

uint32_t varSaveCount() { return entryCount; }

const varSaveEntry* varSaveEntryAt(uint32_t i) { return i < entryCount ? &entries[i] : nullptr; }

int varSaveFind(const char* name, uint32_t length) {
  for (uint32_t i = 0; i < entryCount; ++i)
    if (entries[i].length == length && std::memcmp(entries[i].text, name, length) == 0) return int(i);
  return -1;
}

void varSaveAdd(const char* name, uint32_t length, int global) {
  // A name saved twice (by the scripts and by the image's block) keeps its
  // first entry: two entries would store the same variable twice.
  if (length == 0 || length > varSaveNameMax || varSaveFind(name, length) >= 0) return;
  if (entryCount == entryCap) {
    uint32_t cap = entryCap;
    uAlloc(&entries, &cap, entryCap + 4, sizeof(varSaveEntry));
    entryCap = cap;
  }
  varSaveEntry& e = entries[entryCount++];
  e.global = uint8_t(global ? 1 : 0);
  e.length = length;
  e.text = nullptr;
  uAlloc(&e.text, nullptr, length + 1, 1);
  std::memcpy(e.text, name, length);
  feMakeName(&e.name, name, length);
}

void varSaveReset() {
  for (uint32_t i = 0; i < entryCount; ++i) uFree(&entries[i].text);
  if (entries) uFree(&entries);
  entries = nullptr;
  entryCount = entryCap = 0;
}

uint8_t* varSaveBlockMake(uint32_t* length) {
  if (entryCount > 255) dbgPanic("too many varsave variables");
  uint32_t size = 2 + 2 * entryCount + 1;
  for (uint32_t i = 0; i < entryCount; ++i) size += entries[i].length;
  uint8_t* block = nullptr;
  uAlloc(&block, nullptr, size, 1);
  block[0] = uint8_t(entryCount & 0xFF);
  block[1] = uint8_t(entryCount >> 8);
  uint8_t* p = block + 2;
  for (uint32_t i = 0; i < entryCount; ++i) *p++ = uint8_t(entries[i].length);
  for (uint32_t i = 0; i < entryCount; ++i) *p++ = entries[i].global;
  for (uint32_t i = 0; i < entryCount; ++i) {
    std::memcpy(p, entries[i].text, entries[i].length);
    p += entries[i].length;
  }
  *p = 0;
  *length = size;
  return block;
}

namespace {

uint8_t* savedBlock;

}  // namespace

void varSaveBlockPut(void*) {
  // The image table keeps the pointer: the previous block goes once the
  // new one has replaced it.
  uint8_t* old = savedBlock;
  uint32_t length = 0;
  savedBlock = varSaveBlockMake(&length);
  feSetBlock("varsave", savedBlock, length);
  if (old) uFree(&old);
}

int varSaveBlockRead(const uint8_t* data, uint32_t length) {
  if (length < 2) return docErrBadData;
  const uint32_t count = uint32_t(data[0]) | uint32_t(data[1]) << 8;
  if (2 + 2 * uint64_t(count) > length) return docErrBadData;
  uint64_t names = 0;
  for (uint32_t i = 0; i < count; ++i) names += data[2 + i];
  if (2 + 2 * uint64_t(count) + names > length) return docErrBadData;
  const uint8_t* text = data + 2 + 2 * count;
  for (uint32_t i = 0; i < count; ++i) {
    const uint32_t n = data[2 + i];
    varSaveAdd(reinterpret_cast<const char*>(text), n, data[2 + count + i]);
    text += n;
  }
  return 0;
}

void docVarCapture(dbDocRec* doc) {
  if (!doc) return;
  if (doc->savedCount != entryCount) {
    const uint32_t old = doc->savedCount;
    for (uint32_t i = entryCount; i < old; ++i) feFree(&doc->savedValues[i]);
    uint32_t count = old;
    uAlloc(&doc->savedValues, &count, entryCount, sizeof(feObject));
    for (uint32_t i = old; i < entryCount; ++i) feMakeNull(&doc->savedValues[i]);
    doc->savedCount = entryCount;
  }
  for (uint32_t i = 0; i < entryCount; ++i) {
    if (entries[i].global) continue;
    feObject current, copy;
    feMakeNull(&copy);
    if (feLoad(&entries[i].name, &current) == 0) {
      feDeepCopy(&current, &copy);
      feFree(&current);
    }
    feFree(&doc->savedValues[i]);
    doc->savedValues[i] = copy;
  }
}

void docVarRestore(dbDocRec* doc) {
  if (!doc) return;
  for (uint32_t i = 0; i < entryCount && i < doc->savedCount; ++i) {
    if (entries[i].global || feType(&doc->savedValues[i]) == feTNull) continue;
    feObject copy;
    feDeepCopy(&doc->savedValues[i], &copy);
    feStore(&entries[i].name, &copy);
    feFree(&copy);
  }
}

void docVarFreeValues(dbDocRec* doc) {
  for (uint32_t i = 0; i < doc->savedCount; ++i) feFree(&doc->savedValues[i]);
  if (doc->savedValues) uFree(&doc->savedValues);
  doc->savedValues = nullptr;
  doc->savedCount = 0;
}

int aVarSave(feArgs* args) {
  const feArgText name = args->in[0].text;
  if (name.length <= 0) return 0;
  if (uint32_t(name.length) > varSaveNameMax) return 270;  // limitcheck: the block codes lengths in a byte
  varSaveAdd(name.text, uint32_t(name.length), args->in[1].i);
  return 0;
}

int aGlobalVarSave(feArgs* args) { return aVarSave(args); }
