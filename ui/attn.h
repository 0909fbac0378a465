// The attention flag: set when the user asks to interrupt (Escape or Pause).
// Long operations poll it and stop with 277 (interrupt).
#ifndef PLUMET_UI_ATTN_H
#define PLUMET_UI_ATTN_H

// Answers the attention flag (non-zero after Escape or Pause).
int evPollAttn();
int evCheckAttn();
void evSetAttn(int flag);

#endif
