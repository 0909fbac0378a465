// The program's start-up state that every layer may read: the switch word,
// the instance handle, the command line after the switches, the
// configuration-file name, and the translator mode word. The program's entry
// sets them from its command line; translators set the mode word around each
// run.
#ifndef PLUMET_CORE_STARTSTATE_H
#define PLUMET_CORE_STARTSTATE_H

#include <windows.h>

#include <cstdint>

// Replaces the switch word (start-up sets it from the command line).
void appSetSwitches(uint32_t switches);
uint32_t appSwitches();

// Whether the switch letter (a-z, either case) was given; false for any other
// character.
bool appHasSwitch(char letter);

// The bit of a switch letter in the switch word (0 for a non-letter).
uint32_t appSwitchBit(char letter);

// The program's instance handle, the command line after the switches and
// the configuration-file name (initially "PLUMET.INI").
HINSTANCE appGetInstance();
HINSTANCE appGetInstanceHandle();
const char* appGetCmdLine();
const char* appGetIniName();
void appSetInstance(HINSTANCE instance);
void appSetCmdLine(const char* rest);
void appSetIniName(const char* name);

// The name the configuration file has when none is given.
inline constexpr const char* appDefaultIniName = "PLUMET.INI";

// The translator mode word: 1 importing, 2 exporting, 0 otherwise; a
// translator may store other values (3: clean-up and view flattening). The
// setter answers 0.
int32_t draftGetXlateMode();
int draftSetXlateMode(int32_t mode);

// Back to the initial values (switches, handle, command line, configuration
// name, translator mode): for tests.
void appResetStartValues();

#endif
