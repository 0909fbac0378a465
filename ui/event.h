// The event state: the last message taken by the loops and where the mouse
// and the keys stood, with the script operators that read it.
#ifndef PLUMET_UI_EVENT_H
#define PLUMET_UI_EVENT_H

#include <cstdint>

struct eventStateRecord {
  uint32_t mousePos;     // packed x (low 16 bits) and y of the last mouse message
  uint32_t lastMessage;
  uint32_t lastPos;
  uint32_t doubleClick;  // 1 after WM_LBUTTONDBLCLK, 0 after WM_LBUTTONDOWN
};

void eventRecord(uint32_t message, uint32_t position);
const eventStateRecord* eventState();
void eventReset();  // tests

// The modifier code of the current message: 8 Ctrl, 2 Shift, 1 both, 0 none.
uint32_t aEventMod();
// The same from the physical key state now.
void aCurMod(uint32_t* out);

// Removes the next key message (and one pending mouse move); answers its
// virtual key when it was a key-down, else 0.
int eventPeekKey();
// The virtual key of a pending key-down, skipping Ctrl and Shift key-downs
// (which are removed); 0 when none.
int eventKeyPending();

// Registers aMultiClick, aMousePos, aEventPos, aEventMod, aEventTime,
// aCurPos, aCurMod, aCurTime and aWaitMouseUp.
void eventRegisterOps();

#endif
