// The interrupt poll of long-running operators: they call feAttnPoll and stop
// with 277 (interrupt) when it answers non-zero. The user-interface layer
// owns the poll (Escape and Pause key-downs) and the program's start-up
// installs it; until then the poll answers 0.
#ifndef PLUMET_FE_ATTNPOLL_H
#define PLUMET_FE_ATTNPOLL_H

typedef int (*feAttnPollProc)();

// Installs the poll (null: none) and answers the previous one.
feAttnPollProc feSetAttnPoll(feAttnPollProc poll);

// Runs the installed poll and answers its attention value; 0 without one.
int feAttnPoll();

#endif
