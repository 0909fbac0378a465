// The user-interface layer's start and end, and the small services that
// other subsystems ask of it.
#ifndef PLUMET_UI_UI_H
#define PLUMET_UI_UI_H

#include <cstdint>

// Starts the layer: the cursor table and the class "cursor", the window
// classes, then its operators through uiRegisterOps (so call one or the
// other, once per interpreter); later subsystems add menus and dialogs.
// uiTerm hides the start-up picture and empties the cursor table.
void uiInit();
void uiTerm();
// Registers this layer's operators: aUseCursor "!IQ", aCursor "O#Q",
// aDispatch "!", aSetAttn "!i", then the event operators (eventRegisterOps).
void uiRegisterOps();

// 101: the decimal separator character ('.'); 103: 1 for a colour display.
// Other selectors answer the argument.
int32_t uiSysQuery(int32_t selector, int32_t argument);
// 1 when bit 4 of the program option mask is set.
int uiTwoByteMode();
// Clears both optional output bytes; answers 0.
int xlateStartupQuery(uint8_t* first, uint8_t* second);

// Headless: records the picture it would show (0 hides).
void bootWinShow(int picture);
int bootWinShown();

// The document-window timer's auto-save period (ms, -1 none) and its base tick.
void aAutoSaveConfig(int32_t periodMs, uint32_t baseTick);
int32_t uiAutoSavePeriod();
uint32_t uiAutoSaveBase();

#endif
