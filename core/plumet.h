// The program's start-up state. For now only the switch word: one bit per
// command-line switch letter (bit letter - 'a', given in either case).
#ifndef PLUMET_CORE_PLUMET_H
#define PLUMET_CORE_PLUMET_H

#include <cstdint>

// Replaces the switch word (start-up sets it from the command line).
void appSetSwitches(uint32_t switches);
uint32_t appSwitches();

// Whether the switch letter (a-z, either case) was given; false for any other
// character.
bool appHasSwitch(char letter);

#endif
