// The attention (interrupt) flag, the busy count and the progress tick.
// Escape or Pause raises the flag; long operations poll it and stop with
// 277 (interrupt) when it is set. The main loop clears it on every message.
#ifndef PLUMET_UI_ATTN_H
#define PLUMET_UI_ATTN_H

#include <windows.h>

#include <cstdint>

// Answers the attention flag. While it is clear, takes the first pending
// Escape (27) or Pause (19) key-down off the queue, also from behind other
// keys, and sets the flag; every other key stays queued in its order (key
// messages ahead of the interrupt key are posted again). With a modeless dialog
// registered, then pumps that dialog's messages until the flag is set or
// none is left.
int evPollAttn();
// The same poll: the name other modules and plug-ins call.
int evCheckAttn();
// Stores the flag; a non-zero value is logged.
void evSetAttn(int flag);
// Registers the modeless dialog that evPollAttn pumps (null: none) and
// answers the previous one.
HWND evSetModeless(HWND dialog);

// The busy count: while it is above 0 the progress tick shows the wait
// cursor; when it comes to 0 the cursor table's current entry is shown again
// (cursorSet). It never goes below 0; each answers the previous count.
int32_t uiBusyAdd(int32_t delta);
int32_t uiBusyBegin();
int32_t uiBusyEnd();
int32_t uiBusyCount();

// Advances the progress ticks by n (0 only polls), wrapping them into 0..31
// past 32 (and showing the wait cursor then while busy); answers evPollAttn().
int evProgressTick(int32_t n);
int32_t evProgressTicks();

// Resets the flag, the modeless dialog, the busy count and the ticks (tests).
void evAttnReset();

#endif
