#include "core/resources.h"

#include <platform_resources.h>

static const PlStringResource programStrings[] = {
    {resProgramName, "Plumet"},
    {resAboutText, "Plumet ^0\n^1\n^2"},
    {resVersionText, "Version 6.1.8"},
};

void resInstallProgramStrings() {
  // The table is static and only referenced, so installing it again is cheap
  // and also restores it after the platform layer was reset.
  plSetStringTable(nullptr, programStrings, sizeof programStrings / sizeof programStrings[0]);
}
