// The program module's path, answered whole whatever its length: the one
// place that asks the system for it, so that no caller reads it into a
// fixed buffer and cuts it.
#ifndef PLUMET_CORE_MODULEPATH_H
#define PLUMET_CORE_MODULEPATH_H

#include <string>

// The full path of the program's executable; empty when the system cannot
// say (or answers a path longer than any file system allows).
std::string uModulePath();

// The directory of the program's executable with its final separator ("/"
// or "\", as the path has it); empty when the path has none or is unknown.
std::string uModuleDirectory();

#endif
