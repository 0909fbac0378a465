// Shared between the files of the drawing-file module: the state of the
// read or write in progress and the helpers of its blocks.
#ifndef PLUMET_VIEWS_DOCFILE_INTERNAL_H
#define PLUMET_VIEWS_DOCFILE_INTERNAL_H

#include "views/docfile.h"

#include <cstdint>
#include <vector>

struct ioCtx;
struct docRec;
struct gobjRec;
struct modelRec;
struct sheetRec;

namespace docfile {

// The read or write in progress; reads and writes do not nest.
struct State {
  int version;            // the document version of the stream
  uint32_t readFlags;     // vwRead* of the read in progress
  bool ignoreImproper;    // the user chose to skip improper objects
  long fileSize;          // of the file being read, for the progress display
  std::vector<gobjRec*> refs;  // the shared-reference table
};
State& state();

bool importing();

// A title in the coding of the stream's version (read: *title replaced).
// Answers 0 or -1.
int titleIO(ioCtx* ctx, char** title, int write);

// The internal-error report of the reader ("%s: '%s'" under the heading
// "Assert failed in DidUrur").
void internalError(const char* what);

// Reading fails the file with -4139 and "SBad data in file" (through the
// recovery point of the read) when a count from the file cannot be right:
// negative, or more items than bytes left at minBytes each.
void checkCount(ioCtx* ctx, int32_t count, long minBytes);

// The objects read into a model (each holding one reference), in file
// order; made on first use and kept in the model's readList.
std::vector<gobjRec*>& readList(modelRec* model);
// Drops the model's list; with release set, the references go as well.
void readListDrop(modelRec* model, bool release);

// Releases every reference of the shared-reference table.
void refsRelease();

// Block 2 of the stream: the window box ("llll" read, "ssss" written).
void boxIO(ioCtx* ctx, int32_t box[4], int write);

// The colour-table routine installed (null: none).
vwColorTableIOFn colorTableIO();

// Writing one model (block 7) and one sheet (block 8).
int writeModel(ioCtx* ctx, modelRec* model, uint32_t mode);
int writeSheet(ioCtx* ctx, sheetRec* sheet);

// The position of the model in its document's list (0 when not found).
int32_t modelPosition(const docRec* doc, const modelRec* model);

}  // namespace docfile

#endif
