// The translation files, the template file and the operators of the
// translation module (core/xlate.h), and the table's place in the compiled
// image: the blocks "xlate-str" (the string pool) and "xlate-buf" (the pairs).
#ifndef PLUMET_FE_XLATE_OPS_H
#define PLUMET_FE_XLATE_OPS_H

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

// The template file (aTranslateOpen): the name is kept and the template
// writer (xlateWriteTemplates) runs at quit. Answers 0, or -1 when the file
// cannot be opened for reading (the name is then dropped).
int xlateOpenTemplate(const char* name);

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
// Takes the "xlate-str" and "xlate-buf" blocks of a compiled image, when
// present, as the table while it is still empty (transInit does this).
void xlateRestoreFromImage();
struct feOpSpec;
const feOpSpec* xlateOpSpec(const char* name);   // null for another name

#endif
