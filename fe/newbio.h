// The compiled script image: a snapshot of the interpreter (the name table,
// the named data blocks that modules put aside, and every value reachable
// from systemdict) written by aBOut and read at start-up instead of running
// the scripts from their sources. Also the counted-array record the image is
// made of, which other modules use for their own binary files.
//
// Layout of an image, all numbers little-endian:
//   the 31 characters  Korvan "Plumet" binary FE file.  (no terminator)
//   the version bytes  00 00 01 04
//   the name table     tag 5 entry count (4 bytes); tag 1 the descriptor
//                      (pool base, pool capacity, pool used, entry base,
//                      entry capacity: 5 x 4 bytes, the bases written as 0);
//                      tag 2 the pool (capacity bytes); tag 3 the entries
//                      (capacity x 12 bytes); tag 4 the 2048 chain heads
//   the named blocks   tag 7 their number; per block tag 8 the name with its
//                      terminator, tag 9 the data
//   the value graph    tag 6 the systemdict value (10 bytes), then its body
// A value takes 10 bytes: word0 (4), offset (2), length (2), flags (2); a
// real keeps its double in the first 8 bytes. word0 of a string, array or
// dictionary is a 32-bit identity number given to its body while writing
// (never an address). A body is written whole the first time it is met,
// later meetings write only its identity:
//   dictionary  tag 17 head (count, capacity, used: 2 bytes each; serial: 4;
//               a 4-byte 0), tag 19 every slot (key and value, 20 bytes, free
//               slots included), then the bodies of the keys and values of
//               the used slots in slot order       | again: tag 16 identity
//   array       tag 18 head (count, length: 2 bytes each; serial: 4), tag 20
//               every element, then each element's body | again: tag 21
//   string      tag 13 head as for arrays, tag 14 every byte | again: tag 22
//   program object  written by its class (message 122): tag 11 the record
//               size s (4 bytes), tag 12 the s bytes, which begin with the
//               class id (2 bytes); a class that does not write it makes the
//               value a null
// File values are written as null. Operators are written by their table
// index, so an image is valid only for a program that registers the same
// operators in the same order.
#ifndef PLUMET_FE_NEWBIO_H
#define PLUMET_FE_NEWBIO_H

#include "core/replace.h"
#include "fe/control.h"
#include "fe/value.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

// ---------------------------------------------------------------------------
// Counted-array records: a 16-bit tag, a 32-bit item count and the items,
// raw. The item size is not stored: reader and writer agree on it per tag.

enum {
  uArrayWriteError = -4104,  // any short write
  uArrayReadError = -4102,   // a short read, another tag, a count past the room
};

// Where records go to or come from: a stdio file opened in binary mode, a
// file being replaced whole (written only), or memory (appended to when
// writing; a byte range when reading).
struct uArrayFile {
  FILE* fp = nullptr;
  uReplaceFile* replace = nullptr;       // file being replaced
  std::vector<uint8_t>* sink = nullptr;  // memory being written
  const uint8_t* data = nullptr;         // memory being read
  size_t size = 0;
  size_t pos = 0;
};
uArrayFile uArrayOnFile(FILE* fp);
uArrayFile uArrayOnReplace(uReplaceFile* file);
uArrayFile uArrayToMemory(std::vector<uint8_t>* sink);
uArrayFile uArrayFromMemory(const uint8_t* data, size_t size);

// Writes one record: 0, or -4104 on any short write.
int uArrayWrite(uArrayFile* file, int tag, const void* data, uint32_t count, uint32_t itemSize);

// Reads one record whose tag must be tag: 0, or -4102 (the file is then left
// at an unspecified place). Without allocate the items go straight into
// destination, which holds capacity items. With allocate a new block of
// count items (uAlloc; null for 0 items) is stored at *(void**)destination;
// capacity is then the most items the caller accepts. A count above the
// capacity, or more bytes than the file still holds, answers -4102 before
// anything is written or allocated. The count is stored in *count when
// count is not null.
int uArrayRead(uArrayFile* file, int tag, void* destination, uint32_t* count, uint32_t itemSize, bool allocate,
               uint32_t capacity);

// The next record's tag (as a signed 16-bit number), or -4102; with a buffer
// the size bytes after its head (its first items) are copied into it (-4102
// when the file holds fewer). The record's count goes to *count when count
// is not null. The file position is left where it was.
int uArrayPeek(uArrayFile* file, void* buffer, uint32_t size, uint32_t* count = nullptr);

// ---------------------------------------------------------------------------
// Named data blocks kept in the image, and the routines run before a write.

// Stores a block under a name. The name is kept, not copied; an existing
// block of the same name (exact comparison) is replaced. The old data is not
// released unless it came from an image and was never taken.
void feSetBlock(const char* name, const void* data, uint32_t length);
// 0 when the name is present: its data and length are answered and cleared
// in the table (the caller takes the block; a block that came from an image
// was allocated with uAlloc, and the caller frees it with uFree). A second
// call answers a null block, 0 and 0. -1 with null and 0 when absent.
int feGetBlock(const char* name, void** data, uint32_t* length);

// Registers a routine that aBOut calls with its argument before every write,
// in registration order (modules put their blocks aside there).
typedef void (*feSaveRoutine)(void* argument);
void feOnSave(feSaveRoutine routine, void* argument);

// ---------------------------------------------------------------------------
// Writing an image.

// Messages the image sends to classes.
//   500 before a write, to every class from the highest id down to 0, with no
//       object and no arguments.
//   122 (feMsgImage, fe/generic.h), to a program object's class:
//       writing: object = the record, a = const feObject* (the value), b = 1,
//                c = uArrayFile*. The class writes tag 11 (one 4-byte item:
//                the size s) and tag 12 (s bytes beginning with its class id,
//                little-endian, as s one-byte items or one s-byte item) and
//                answers 0.
//       reading: object = null, a = feObject* (out), b = 0,
//                c = const feImageRecord*. The class makes the object from
//                the bytes and stores a value referring to it (holding one
//                reference) in *out, and answers 0.
enum { feMsgPreSave = 500 };
struct feImageRecord {
  const uint8_t* data;  // begins with the class id
  uint32_t size;
};

// What one write counted: values written by type, and the lengths of the
// bodies written (array elements, dictionary entries in use, dictionary
// capacities, string bytes).
struct feImageStats {
  int32_t values, operators, names, integers, reals, strings, dicts, arrays;
  int32_t arrayLength, dictLength, dictCapacity, stringLength;
};

// Writes an image whose graph starts at root (a dictionary; aBOut gives
// systemdict): the name table, the named blocks and the graph. 0; 272 when
// the file cannot be opened; 273 on any write failure (the file is closed in
// every case; a partial file is left as it is). stats may be null. A
// dictionary slot whose key or value cannot be written is reported on the
// interpreter output ("dict key " key " not output\r", or "dict key: " key
// ", value: " value " not output\r").
int feImageWrite(const char* path, const feObject* root, feImageStats* stats);

// aBOut: the at-save routines, message 500 to every class, the image of
// systemdict, and the statistics of the write on the interpreter output.
// Answers the status.
int feBOut(const char* path);

// ---------------------------------------------------------------------------
// Reading an image. Nothing the reader makes is put in use until asked, so a
// failed or refused image leaves the interpreter as it was.

struct feImage;

// Reads and checks a whole image: 0 with *out set; 272 when the file cannot
// be opened; 273 for a wrong magic text or version, a short file, an
// unexpected tag, a count that does not match what it describes, a value
// that is not valid (a type code past 12, a name index not in the table, a
// range past its body), an unresolved or ill-typed back-reference, or bytes
// after the graph; 270 when memory runs out. Reference counts are those of
// the references met while reading; serial numbers are kept and the
// interpreter's serial counter is raised above them.
int feImageRead(const char* path, feImage** out);
// The image's systemdict (valid while the image holds it).
const feObject* feImageSystemDict(const feImage* image);
// The image's name table replaces the interpreter's (names keep their
// indices). The look-up caches start empty.
void feImageUseNames(feImage* image);
// The image's named blocks go into the block table (feGetBlock).
void feImageUseBlocks(feImage* image);
// Hands the systemdict value (holding its reference) to the caller, who then
// owns the graph.
void feImageTakeSystemDict(feImage* image, feObject* out);
// Frees the image with whatever of it was not put in use: a graph that was
// not taken is freed body by body, cycles included (nothing outside may
// still refer to it).
void feImageFree(feImage* image);

// Starts the interpreter from an image (the fresh start's steps with the
// image's dictionaries): the name table and blocks of the image, the
// interpreter's operators registered in their fixed order and checked
// against the image, userdict, errordict and $error found in the image's
// systemdict, errorcheck fetched from it; the defining flag is left off (the
// image holds the definitions; it is switched on once the modules have
// registered theirs). An image that cannot be read, lacks one of those
// dictionaries, or binds a name of the interpreter's operators to an
// operator of another table index (a program that registers in another
// order) is refused: the interpreter then starts fresh, as feInitFresh does,
// and the code is answered (273 for a refused image) for the caller to
// report. Answers 0 when the image is in use. Once started (fresh or from an
// image), a second start does nothing and answers 0.
int feInitFromImage(const char* path);

// ---------------------------------------------------------------------------
// The operators: aUnload ("SO", defines the value under the name in
// systemdict), aLoad ("S#O", the value systemdict holds under the name;
// 265 when absent) and aBOut ("S"). Null for another name.
const feOpSpec* feImageOpSpec(const char* name);

#endif
