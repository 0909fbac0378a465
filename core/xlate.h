// Translation of user-interface texts. Texts are written in one language in
// the scripts and the program and translated at run time through a table of
// (source, translation) pairs, loaded from a translation file (aTransRun) or
// a script array (aTranslateLoad) and kept in the compiled image as the
// blocks "xlate-str" (the string pool) and "xlate-buf" (the pairs).
//
// A text that begins with "@" is never translated: the "@" only marks it, and
// the text after it is used. Matching is exact (case-sensitive, whole text);
// when a source appears in several pairs, the pair loaded last answers.
//
// This module keeps the table as data; the files, the operators and the
// image blocks are the interpreter's side (fe/xlate_ops.h).
//
// Until a table has been loaded (a file read, an array loaded, or the blocks
// of an image restored, even an empty one) texts simply stay as they are.
// From then on a text with no translation is collected, once, in the missing
// list, and its stored copy is answered; when a template file has been named
// (aTranslateOpen), the missing texts are written out at quit as a template
// language script for a translator to fill in.
//
// Answered texts stay valid until the next load (translations point into the
// pool, which a load may move) or, for stored copies, for the whole run.
#ifndef PLUMET_CORE_XLATE_H
#define PLUMET_CORE_XLATE_H

#include <cstdint>

// Direction 0 looks the text up among the sources and answers its
// translation; any other direction looks it up among the translations and
// answers its source. Sets *out to the text to use and answers 0 when it was
// found (the pair is marked used) or marked with "@", -1 when it stays
// untranslated (*out is then the stored copy, or text itself while no table
// is loaded). A null text counts as empty.
int xlateStr(int direction, const char* text, const char** out);

// The same for a counted text, forward only, compared by length and bytes;
// *outLength gets the answer's length.
int xlateSpan(const char* text, uint32_t length, const char** outText, uint32_t* outLength);

// While the interpreter-translation flag is set, replaces the counted text
// held in an allocator block (*handle, *length bytes used, *capacity bytes
// held) by its translation, growing the block with uAlloc when needed. A
// text ending in "..." that has no translation of its own is translated
// without the "..." and gets "..." again. Answers 0 when the text was
// replaced, -1 when it stays (flag clear or no translation).
int xlateInPlace(char** handle, uint32_t* length, uint32_t* capacity);

// The interpreter-translation flag (aFETranslate).
bool xlateInterpreterFlag();
void xlateSetInterpreterFlag(bool on);

// The missing-list step: the stored copy of the text (added when not yet
// there), answered with its length; 0 when it was added, 1 when it was there.
int xlateMissing(const char* text, uint32_t length, const char** out, uint32_t* outLength);
// The missing texts in the order they were first asked for.
int32_t xlateMissingCount();
const char* xlateMissingText(int32_t index, uint32_t* length);

// Appends one pair to the pool and the entries (a table is then loaded);
// call xlateLoaded afterwards. 0, or 270 (limitcheck) when the pool would
// pass 32-bit offsets.
int xlateAddPair(const char* source, uint32_t sourceLength, const char* translation, uint32_t translationLength);
// Ends a load: the table counts as loaded, its storage is handed to the
// storage hook (below) and the hash tables are rebuilt.
void xlateLoaded();
// Empties the two hash tables and links every entry into both.
void xlateRebuild();
// The number of pairs loaded.
int32_t xlatePairCount();

// Writes the templates now when a template file is named: the file itself
// gets every missing text, one per line (CR and LF inside a text written as
// "\r" and "\n"); "<name>.fe" (the template file's whole name followed by
// ".fe") gets the language script: the missing texts as comment lines, the
// used pairs, then after the line "%%%% Unused %%%%%" the pairs never looked
// up, each written so that the scanner reads it back as the same text.
// Each file is replaced whole or not at all. Answers false when either could
// not be written (true when no template file is named).
bool xlateWriteTemplates();

// The template file's name (empty: none). The name is taken as given.
void xlateSetTemplateName(const char* name);
const char* xlateTemplateName();

// The table's storage as a compiled image keeps it: the pool (every text
// terminated) and the pair array as it lies in memory (see xlate_internal.h
// for its layout). The hook is called with the storage of a loaded table
// whenever it may have moved, and with nulls when the table is reset, so that
// whoever keeps the addresses (the image's named blocks) follows them.
typedef void (*xlateStorageHook)(const char* pool, uint32_t poolBytes, const void* pairs, uint32_t pairBytes);
void xlateSetStorageHook(xlateStorageHook hook);
// Hands the storage of a loaded table to the hook now (before an image is
// written, say).
void xlateStoreBlocks();

// Whether the table is still empty, so that storage kept in an image may be
// taken as the table.
bool xlateCanRestore();
// Takes a pool and a pair array as an image keeps them as the table, when
// the table is still empty and both are present and well formed (the pool
// ends with a terminator, the pairs fill whole entries; pairs pointing
// outside the pool are dropped). The bytes are copied. Then the storage is
// handed to the hook and the hash tables are rebuilt.
void xlateRestoreFrom(const void* pool, uint32_t poolBytes, const void* pairs, uint32_t pairBytes);

// Shut-down: frees the pool, the pairs and the missing list with its stored
// copies (every text answered before is then invalid), hands the storage
// hook nulls, and leaves the table empty as at the start; the template file
// name and the interpreter-translation flag stay. The program calls it as it
// ends, after the templates were written.
void xlateRelease();

#endif
