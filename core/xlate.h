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
// Ends a load: the table counts as loaded, the image blocks are stored and
// the hash tables rebuilt.
void xlateLoaded();
// Empties the two hash tables and links every entry into both.
void xlateRebuild();
// The number of pairs loaded.
int32_t xlatePairCount();

// Reads a translation file (aTransRun). Lines are read whole; leading blanks
// are skipped; empty lines and lines beginning with "%", "[" or "]" are
// ignored. A line beginning with "(" holds parenthesised strings (nested
// parentheses and backslash escapes as in script strings): exactly two make
// a pair (source, translation); any other count is reported with the alert
// "SLine ^0: syntax error in translation table" and the log line
// "line %d: syntax error\n" ("line %d: expected '('\n" when something else
// stands where a further string would start) and the file is read on. Any
// other line is logged as "exec: %s\n" and run as script source. "\" and "/"
// both separate directories in the name. Answers 0, or -1 when the file
// cannot be opened (nothing changes).
int xlateRunFile(const char* name);

// The template file (aTranslateOpen): the name is kept and the writer runs at
// quit. Answers 0, or -1 when the file cannot be opened for reading (the name
// is then dropped).
int xlateOpenTemplate(const char* name);
// Writes the templates now when a template file is named: the file itself
// gets every missing text, one per line (CR and LF inside a text written as
// "\r" and "\n"); "<name>.fe" (the template file's whole name followed by
// ".fe") gets the language script: the missing texts as comment lines, the
// used pairs, then after the line "%%%% Unused %%%%%" the pairs never looked
// up, each written so that the scanner reads it back as the same text.
void xlateWriteTemplates();

// Module set-up: registers the operators below in this order, restores the
// pool and pairs from the "xlate-str" and "xlate-buf" blocks of the compiled
// image when present (and the table is still empty), has the blocks stored
// before every image write, and builds the hash tables.
//   aTranslateLoad "O"        array of strings in pairs -> (appended; 269 for
//                             an odd count or an element that is not a string)
//   aTransRun      "S"        file name -> (xlateRunFile; -1 when it cannot
//                             be opened)
//   aXTranslate    "!i<0>S#S" string -> a copy of it
//   aRTranslate    "!i<1>S#S" the same handler
//   aTranslateOpen "S"        template file name -> (xlateOpenTemplate)
//   aTranslateDump ""         logs the missing list between
//                             "*** translation table ***" and
//                             "*** translation table end ***"
//   aFETranslate   "!B#B"     sets the interpreter-translation flag -> its
//                             previous value
void transInit();
struct feOpSpec;
const feOpSpec* xlateOpSpec(const char* name);   // null for another name

#endif
