// State shared by the window-record files.
#ifndef PLUMET_UI_WIND_INTERNAL_H
#define PLUMET_UI_WIND_INTERNAL_H

#include "ui/wind.h"

namespace windInternal {
// A private flag bit: the record is being freed.
constexpr uint8_t windFreeing = 0x80;
// 1 while a mouse-keeping window holds the capture.
extern uint16_t captureLock;
const windDrawHooks& drawHooks();
void retainRecord(windRecord* rec);
}  // namespace windInternal

#endif
