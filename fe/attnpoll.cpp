#include "fe/attnpoll.h"

namespace {
feAttnPollProc installed;
}  // namespace

feAttnPollProc feSetAttnPoll(feAttnPollProc poll) {
  feAttnPollProc previous = installed;
  installed = poll;
  return previous;
}

int feAttnPoll() { return installed ? installed() : 0; }
