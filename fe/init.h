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

#endif
