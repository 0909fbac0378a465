// The "program" dictionary, which tells scripts which program they run in:
// "name" (the program name, "???" when unknown) and "id" ("QTRL").
#ifndef PLUMET_OBJECTS_PROGDICT_H
#define PLUMET_OBJECTS_PROGDICT_H

// Module set-up: builds the dictionary and defines it as "program" in the
// current dictionary. Answers 0 or the error of making or defining it.
int progInfoInit();

#endif
