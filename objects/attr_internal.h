// Private to the attribute access: the value of one (type code, value...)
// argument, shared by attrSet and objCreateKeyed.
#ifndef PLUMET_OBJECTS_ATTR_INTERNAL_H
#define PLUMET_OBJECTS_ATTR_INTERNAL_H

#include <cstdarg>
#include <cstdint>

struct feObject;

// Makes the value that follows a type code in args (as attrSet takes it):
// 0, -1 for an unknown type code (nothing taken), or the maker's error.
int attrMakeValue(uint32_t type, va_list* args, feObject* out);

#endif
