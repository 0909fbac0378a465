// Titles in a drawing file, and the document version a file carries.
//
// The document version is the stored level of the pseudo-class "file" in
// the file's type table; a file whose table has no such entry (or that
// stores no levels) is of version 0. Titles of documents, models, sheets,
// views and view directions are coded by that version: from version 10 on
// as a counted string, below it as exactly 64 raw bytes, the title cut to
// 64 bytes and padded with zero bytes.
#ifndef PLUMET_VIEWS_VWTITLE_IO_H
#define PLUMET_VIEWS_VWTITLE_IO_H

struct ioCtx;

enum { vwTitleCountedFrom = 10, vwTitleFixedBytes = 64 };

// The document version recorded in the context's type table (the entry of
// class "file" is looked up, never added): 0 when there is none.
int vwFileDocVersion(ioCtx* ctx);

// Writes *title (null as "") or reads into *title (the old text freed; a
// new allocator block, "" for an empty title; the 64-byte form is taken up
// to its first zero byte). write must match the context's direction.
// Answers 0, or -1 when the coding failed or the direction is wrong.
int vwTitleIO(ioCtx* ctx, char** title, int version, int write);

#endif
