// The application event table: modules learn of documents, sheets, views,
// layers and the end of a command through it.
//
// An event is a 32-bit code: the high 16 bits name the family (0x0101
// document, 0x0102 sheet, 0x0103 model, 0x0104 view, 0x0105 work plane,
// 0x0106 view direction, 0x0002 layer, 0x0300 colour table, 0x0001 sheet
// records), the low 16 bits the kind (1 new, 2 delete, 3 deactivate, 4
// activate, 6 draw, 7 change, 9 all gone); 257 alone ends a command.
//
// The table holds 12 entries, filled at start-up and never emptied.
#ifndef PLUMET_OBJECTS_EVENT_H
#define PLUMET_OBJECTS_EVENT_H

#include <cstdint>

enum { evtTableSize = 12, evtCommandEnd = 257 };

typedef void (*evtHandler)(uint32_t code, intptr_t argument);

// Appends an entry: handler is called for every code whose bits under mask
// equal value. With 12 entries present it panics "event table full" and
// adds nothing.
void evtAdd(uint32_t mask, uint32_t value, evtHandler handler);
// Calls every matching handler, in registration order, with the code and
// the argument. A handler may signal further events.
void evtSignal(uint32_t code, intptr_t argument);

// The number of entries.
int evtCount();
// Empties the table (for tests that build their own).
void evtReset();

#endif
