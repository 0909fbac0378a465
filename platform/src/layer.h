// Pieces shared by the files of the platform layer; not part of its public
// interface. Each file keeps its own state and offers a reset function here,
// which plTestReset calls.
//
// The layer is used from the program's one user-interface thread, as window
// objects are on Windows: nothing in it locks.
#ifndef PLUMET_PLATFORM_LAYER_H
#define PLUMET_PLATFORM_LAYER_H

#include <windows.h>

#include <cstddef>
#include <string_view>

namespace pl {

// The handle answered by GetModuleHandleA(NULL); null and this handle both
// name the program module.
HMODULE programModule();
inline bool isProgramModule(HMODULE module) { return module == nullptr || module == programModule(); }

// Copies at most size - 1 characters of text and a terminator into buffer
// (nothing when size is 0) and answers the number of characters copied.
size_t copyTruncated(std::string_view text, char* buffer, size_t size);

// ASCII comparison without case, as window class names are compared.
bool equalNoCase(std::string_view a, std::string_view b);

void resetMessageBoxes();
void resetStrings();
void resetKeys();
void resetClock();
void resetDebugger();
void resetModule();
void resetQuit();
void resetLastError();
void resetWindows();  // windows first, then classes
void resetFocus();
void resetClasses();

}  // namespace pl

#endif
