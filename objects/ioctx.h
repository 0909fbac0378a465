// The I/O context of an open drawing file.
//
// One ioCtx exists per open file, made by ioOpen and freed by ioClose or
// ioFail (objects/iofile.h). It carries the direction, the stream, the byte
// counters, the table of stored classes, the record buffers of the nesting
// levels and the segment-length table. Classes read and write their records
// through ioFormat (objects/ioformat.h), which goes through the byte sink and
// source declared here.
#ifndef PLUMET_OBJECTS_IOCTX_H
#define PLUMET_OBJECTS_IOCTX_H

#include <cstddef>
#include <cstdint>
#include <cstdio>

// Open flags (the flags word of ioOpen). The read/write mode is flags & 0xC0.
enum ioFlag : uint32_t {
  ioFlagMerge = 0x01,          // import: the layer table is not replaced, variables are skipped
  ioFlagDropCurves = 0x02,     // import: curves are left out
  ioFlagLayersToZero = 0x04,   // every stored layer maps to layer 0 / objects take the work layer
  ioFlagWriteGlobals = 0x10,   // write the global settings
  ioFlagRaw = 0x20,            // read: any magic; write: no temporary file; layer, variable
                               // and symbol segments skipped; layer numbers kept
  ioFlagRead = 0x40,
  ioFlagWrite = 0x80,
  ioFlagModeMask = 0xC0,
  ioFlagReadGlobals = 0x100,   // read the global settings
  ioFlagCapVersion = 0x400,    // cap the document version at 12
};

// Events sent to the segment hooks.
enum ioEvent {
  ioEvReadSegment = 11,   // read your segment: the stream stands at its offset
  ioEvWriteSegment = 12,  // write your segment
  ioEvHeaderRead = 13,
  ioEvHeaderWritten = 14,
  ioEvReadEnd = 15,       // reading ends: free per-file state
  ioEvWriteEnd = 16,      // writing ends: free per-file state
};

// Header words that hold segment offsets.
enum ioHeaderWord {
  ioWordMagic = 0,
  ioWordVersion = 1,
  ioWordStream = 2,
  ioWordTypes = 3,
  ioWordLayers = 4,
  ioWordSymbols = 5,
  ioWordVariables = 6,
  ioWordSegLengths = 7,
  ioWordViewDirs = 8,
  ioWordTime = 15,
};

enum : uint32_t {
  ioHeaderSize = 64,
  ioMagic = 0xABCDE0,          // plus the metric flag in the low 4 bits
  ioMagicOld = 0xABCDEF,       // files of version 0-2
  ioVersionMax = 4,
  ioRecordMax = 32512,         // largest record buffer of one nesting level
  ioSegmentFlag = 0x100000,    // a record length word naming a segment
  ioTypeMax = 2048,            // most entries a stored type table may have
};

// One entry of the type table: a class and the record level it chose.
struct ioTypeEntry {
  uint16_t classId;
  uint16_t level;              // ioNoLevel until a level is stored
};
enum : uint16_t { ioNoLevel = 0xFFFF };

// The record buffer of one nesting level while writing.
struct ioLevel {
  uint8_t* base;
  uint32_t cursor;             // bytes used
  uint32_t end;                // bytes allocated
  int32_t tag;                 // the record's type index
  uint32_t segment;            // segment number, 0 while the record has none
};

// Where ioFail returns to: a failing ioFail throws ioFailure carrying this
// point; the code that set the point catches it.
struct ioRecovery {
  int code = 0;
};
struct ioFailure {
  ioRecovery* point;
  int code;
};

struct ioCtx {
  char mode;                   // 'r' reading, 'w' writing
  uint8_t writeEnable;         // 0: writers only count bytes
  char* name;                  // owned copy of the file name
  char* tempName;              // owned; null when writing the file directly
  uint32_t version;            // format version 0..4
  FILE* stream;
  uint32_t fileBytes;          // bytes of the file read or written by ioFormat
  uint32_t memBytes;           // estimate of the same values in memory
  uint32_t typeCap;
  uint32_t typeCount;
  ioTypeEntry* types;
  ioLevel level;               // the current nesting level's buffer
  int32_t pendingError;        // checked by ioClose
  ioLevel* stack;              // enclosing levels
  uint32_t depth;
  uint32_t stackCap;
  uint32_t segCount;           // one more than the number of segments (index 0 unused)
  uint32_t segCap;
  uint32_t* segLengths;
  ioRecovery* recovery;        // null: ioFail returns
  uint32_t flags;              // the flags given to ioOpen
  void* styles;                // per-file style table of the style module (styleRec*[styleCap],
                               // 1-based indexes in the file; objects/style.h)
  uint32_t styleCount;
  uint32_t styleLevel;         // nesting depth of styleIOBegin
  uint32_t styleCap;
  uint8_t unitsFlag;           // low 4 bits of the magic word of a file being read
  long fileSize;               // reading: size of the file
  long readLimit;              // reading: no read passes this offset (end of the current record or the file)
  uint32_t readFailures;       // reading: ioFormat calls that ran past the end or met impossible lengths
  long readPos;                // reading: the stream's offset while readPosKnown, kept by ioGetByte so
  bool readPosKnown;           // that the limit check does not ask the stream for it at every byte
  uint16_t* layerMap;          // writing: objects per layer number; reading: stored layer -> table layer
                               // (65535: none); owned by the layer module's segment hook
  uint32_t layerMapCount;
  void* symbolTable;           // the master table of the symbol module's segment hook (objects/symb.h)
};

// The byte sink while writing: to the file at depth 0, otherwise appended to
// the current level's buffer (which grows, or is ended and reopened, past
// ioRecordMax). Nothing is written while writeEnable is 0.
void ioPutByte(ioCtx* ctx, uint8_t byte);
void ioPutBytes(ioCtx* ctx, const uint8_t* bytes, size_t n);

// The byte source while reading: false at the end of the file or at
// ctx->readLimit, with nothing read. Readers that need a value they cannot
// get call ioFail with -4139 (objects/iofile.h).
bool ioGetByte(ioCtx* ctx, uint8_t* byte);
// Bytes left before ctx->readLimit (and the end of the file); 0 when none.
long ioBytesLeft(ioCtx* ctx);
// The stream's offset, and a move to an offset from the start (0, or
// nonzero when the stream refuses). Every seek on a context's stream goes
// through ioSeek, so that the offset ioGetByte keeps stays true.
long ioTell(ioCtx* ctx);
int ioSeek(ioCtx* ctx, long offset);

#endif
