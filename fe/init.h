// Starting the interpreter.
#ifndef PLUMET_FE_INIT_H
#define PLUMET_FE_INIT_H

// Starts a fresh interpreter (no compiled image): true and false, the stacks,
// systemdict, userdict, errordict and $error, the continuation operators,
// the standard operators in their fixed order, the standard names, the error
// names and errorcheck. Answers 0, or the error of defining errorcheck (the
// interpreter is then usable, but feRunString reports nothing). A second
// call does nothing and answers 0.
int feInitFresh();

// The steps of a start, shared with the start from a compiled image
// (feInitFromImage, fe/newbio.h), which puts the image's dictionaries in
// place of the fresh ones between feInitPrepare and its own end. A fresh
// start is feInitClaim, feInitPrepare and feInitFinishFresh.
//
// Claims the one start of the process: false when the interpreter has been
// started already (fresh or from an image).
bool feInitClaim();
// A fresh start up to errorcheck: the shared values, the stacks, new
// systemdict, userdict, errordict and $error, the defining flag set, the
// continuation operators, the interpreter's operators in their fixed order,
// the standard names, the error machinery and the scanner's names.
void feInitPrepare();
// The end of a fresh start: errorcheck defined in systemdict and kept for
// feRunString, the timer base and the serial counter. Answers as feInitFresh.
int feInitFinishFresh();
// The end of a start on an image's dictionaries: errorcheck fetched from
// systemdict (when it holds one), the timer base and the serial counter.
void feInitFinishImage();

#endif
