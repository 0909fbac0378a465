// The interpreter's own operators beside the core ones: multi-way branches
// (aCase, aCond), look-ups that report success (aGetX, aAGetX, known),
// merging of dictionaries (aMerge), loops over groups of array elements
// (aForallN, aForall2), binding many names at once (aMdef), concatenation
// (aCat), text conversion (aCvs) and debugging aids (aSetDebugFlags,
// aDebugFlags, aStackTrace, aStackCrawl, aLogPrint).
//
// aCond and aForallN keep their state on the execution stack below an
// internal continuation operator, so that the execution loop drives them:
//   aCond:    array (advanced as it is consumed), "@cond"
//   aForallN: group size n, procedure, array (advanced), "@forallN"
// "@forallN" is a loop continuation: exit ends it.
#ifndef PLUMET_FE_EXTOPS_H
#define PLUMET_FE_EXTOPS_H

#include "fe/control.h"
#include "fe/opcall.h"

// The largest group aForallN takes is one less than this.
enum { feForallNLimit = 16 };

// Makes the continuation operators "@cond" and "@forallN", in this order,
// once, and connects the stack crawl to the report of definitions that hide
// a name (feDictSetOverwriteHook). The interpreter's start calls it at a
// fixed point, right after the control module's continuations, so that
// their table indices are the same in every run; later calls do nothing.
void feExtOpsInit();
// The continuation "@cond" or "@forallN", or null for another name. Makes
// them (feExtOpsInit) when the interpreter's start has not done so yet.
const feObject* feExtContinuation(const char* name);

// Prints the procedure names that the trace entries of the execution stack
// carry (debug flag 0x2), innermost first, each followed by " \r": the
// entry right below every "@st" marker, in plain form.
void feStackCrawl();

// Handlers (signatures as registered).
int feOpACvs(feArgs* args);           // "O#O"
int feOpACase(feArgs* args);          // "OO"    value pairs
int feOpACond(feArgs* args);          // "O"     pairs
int feOpAGetX(feArgs* args);          // "OO"    container key -> value true | false
int feOpAAGetX(feArgs* args);         // "OO"    object path -> value true | false
int feOpKnown(feArgs* args);          // "OO#B"
int feOpAMerge(feArgs* args);         // "OO"    dict source
int feOpAForallN(feArgs* args);       // "OOI"   array proc n (aForall2: "OOI<2>")
int feOpAMdef(feArgs* args);          // "O"     values... names
int feOpASetDebugFlags(feArgs* args); // "!I"
int feOpADebugFlags(feArgs* args);    // "!"     -> flags
int feOpAStackTrace(feArgs* args);    // "!"
int feOpAStackCrawl(feArgs* args);    // "!"
int feOpACat(feArgs* args);           // "OO#O"
int feOpALogPrint(feArgs* args);      // "!"

// The registration of "aCvs", "aCase", "aCond", "aGetX", "aAGetX", "known",
// "aMerge", "aForallN", "aForall2", "aMdef", "aSetDebugFlags",
// "aDebugFlags", "aStackTrace", "aStackCrawl", "aCat" or "aLogPrint"; null
// for another name. The interpreter's start registers them at their places
// in its fixed order.
const feOpSpec* feExtOpSpec(const char* name);

#endif
