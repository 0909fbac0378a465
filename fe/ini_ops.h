// The two script operators of the program's configuration file (core/ini.h);
// they belong to the system operators and are registered there:
//   aGetIniString "CC#C"  key path, default -> the value when the
//                         configuration object, the section and the key
//                         exist, else the default; never fails
//   aPutIniString "CC"    key path, value -> sets the value and rewrites the
//                         file; 273 (ioerror) when there is no configuration
//                         object, the key path has fewer than two fields, or
//                         the file cannot be written
#ifndef PLUMET_FE_INI_OPS_H
#define PLUMET_FE_INI_OPS_H

struct feOpSpec;
const feOpSpec* iniOpSpec(const char* name);   // null for another name
void iniRegisterOps();                          // registers both, in the order above

#endif
