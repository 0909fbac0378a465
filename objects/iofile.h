// The drawing file container: opening and closing a drawing file, its
// 64-byte header of big-endian words, the segments written behind the record
// stream through six hooks, the safe save through a temporary file, the table
// of stored classes, and the framing of records.
//
// A file is the header, a stream of records from offset 64 (each framed by
// its type index and length, ended by -1 -1) and up to six segments whose
// offsets stand in the header: the type table (word 3), layers (4), symbols
// (5), document variables (6), segment lengths (7), view directions (8).
#ifndef PLUMET_OBJECTS_IOFILE_H
#define PLUMET_OBJECTS_IOFILE_H

#include "objects/ioctx.h"

#include <cstdint>

// The codes the container answers (the program's named error codes).
enum ioError {
  ioErrBadArg = -4100,
  ioErrCannotOpen = -4101,
  ioErrCannotRead = -4102,
  ioErrBadMagic = -4103,
  ioErrCannotWrite = -4104,
  ioErrBadVersion = -4113,
  ioErrCannotCreateTemp = -4114,
  ioErrBadData = -4139,
  ioErrTruncated = -4140,
};

// Opens name (nameLength characters) for reading (flags & 0xC0 = 0x40) or
// writing (0x80). version is the format version to write (0..4; others give
// 4). On failure answers a negative code after ioFail, which throws to
// recovery when one is given. Writing goes to a temporary file unless flag
// 0x20 is set; ioClose puts it in place.
int ioOpen(ioCtx** out, const char* name, int nameLength, uint32_t flags, int version,
           ioRecovery* recovery);

// Ends the file: writing, the end mark, the segments and the header, then the
// temporary file replaces the target in one step (a failure keeps the
// target as it was). Frees the context. Answers 0 or an error code, which
// goes through ioFail first.
int ioClose(ioCtx* ctx);

// Shows alertText (with arg for "^0") when given; with a recovery point,
// frees the context (closing its stream and removing a temporary file) and
// throws ioFailure{point, code}; otherwise returns.
void ioFail(ioCtx* ctx, int code, const char* alertText, const char* arg);

// The record level of a class in this file: finds or adds the class; when
// writing and the entry has no level yet, stores level; answers the entry's
// level (0 in files of version 0, which store none).
int ioTypeMap(ioCtx* ctx, uint16_t classId, int level);
// The position of a class in the type table, added when add is set; -1 when
// absent and not added.
int ioTypeIndex(ioCtx* ctx, uint16_t classId, bool add);
// A new object of the class stored at typeIndex (message 300), or null.
void* ioNewType(ioCtx* ctx, int typeIndex);

// Record framing while writing: begin opens a nesting level tagged with a
// type index; end (mode 1) writes the header (tag, length) and the bytes into
// the enclosing level and answers the bytes written with the header. Mode 0
// is used when a level outgrows ioRecordMax: the record becomes a segment.
void ioRecordBegin(ioCtx* ctx, int tag);
int ioRecordEnd(ioCtx* ctx, int mode);
// Reading: the length of a record from its length word (segment numbers
// through the segment-length table).
uint32_t ioSegLength(ioCtx* ctx, uint32_t lengthWord);
// Frees the record buffers, the nesting stack and the segment-length table
// of a context (part of freeing it).
void ioRecordFree(ioCtx* ctx);

// Segment hooks: called with the events of ioctx.h. Answers 0, or negative
// on failure.
typedef int (*ioSegmentHook)(ioCtx* ctx, int event);
// Sets the hook of a header word (4, 5, 6 or 8; 3 and 7 belong to this
// module). A word without a hook has offset 0 and is skipped on reading.
void ioSetSegmentHook(int headerWord, ioSegmentHook hook);

// The hook of the type table (word 3).
int ioTypeTbl(ioCtx* ctx, int event);
// The hook of the segment-length table (word 7).
int ioSegLengthTbl(ioCtx* ctx, int event);

// Where the header's magic word takes the metric flag of the units from (1
// metric, 0 not); until the units module sets a source it is 0. Null
// restores that.
void ioSetUnitsFlagSource(int (*source)());

#endif
