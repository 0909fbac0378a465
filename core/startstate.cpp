#include "core/startstate.h"

#include <string>

namespace {

uint32_t switchWord;
HINSTANCE instanceHandle;
std::string commandRest;
std::string iniName = appDefaultIniName;
int32_t xlateMode;

char lowerLetter(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

void appSetSwitches(uint32_t switches) { switchWord = switches; }

uint32_t appSwitches() { return switchWord; }

uint32_t appSwitchBit(char letter) {
  letter = lowerLetter(letter);
  if (letter < 'a' || letter > 'z') return 0;
  return 1u << (letter - 'a');
}

bool appHasSwitch(char letter) { return (switchWord & appSwitchBit(letter)) != 0; }

HINSTANCE appGetInstance() { return instanceHandle; }
HINSTANCE appGetInstanceHandle() { return instanceHandle; }
const char* appGetCmdLine() { return commandRest.c_str(); }
const char* appGetIniName() { return iniName.c_str(); }
void appSetInstance(HINSTANCE instance) { instanceHandle = instance; }
void appSetCmdLine(const char* rest) { commandRest = rest ? rest : ""; }
void appSetIniName(const char* name) { iniName = name ? name : ""; }

int32_t draftGetXlateMode() { return xlateMode; }

int draftSetXlateMode(int32_t mode) {
  xlateMode = mode;
  return 0;
}

void appResetStartValues() {
  switchWord = 0;
  instanceHandle = nullptr;
  commandRest.clear();
  iniName = appDefaultIniName;
  xlateMode = 0;
}
