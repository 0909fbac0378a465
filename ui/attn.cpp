// The flag alone for now: looking for a queued Escape or Pause key comes with
// the message queue.
#include "ui/attn.h"

static int attention;

int evPollAttn() { return attention; }
int evCheckAttn() { return evPollAttn(); }
void evSetAttn(int flag) { attention = flag; }
