#include "core/plumet.h"

static uint32_t switchWord;

void appSetSwitches(uint32_t switches) { switchWord = switches; }

uint32_t appSwitches() { return switchWord; }

bool appHasSwitch(char letter) {
  if (letter >= 'A' && letter <= 'Z') letter = static_cast<char>(letter - 'A' + 'a');
  if (letter < 'a' || letter > 'z') return false;
  return (switchWord >> (letter - 'a')) & 1u;
}
