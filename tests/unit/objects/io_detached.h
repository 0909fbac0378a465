// For tests of the drawing file on its own: takes the layer coder and the
// segment hooks that module set-ups install (layers, symbols, document
// variables, view directions) out again, so that a test sees the same file
// whichever suites ran before it in the same process.
#ifndef PLUMET_TESTS_OBJECTS_IO_DETACHED_H
#define PLUMET_TESTS_OBJECTS_IO_DETACHED_H

#include "objects/iofile.h"
#include "objects/ioformat.h"

inline void ioDetachModules() {
  ioSetLayerCoder(nullptr);
  for (int word : {ioWordLayers, ioWordSymbols, ioWordVariables, ioWordViewDirs}) ioSetSegmentHook(word, nullptr);
}

#endif
