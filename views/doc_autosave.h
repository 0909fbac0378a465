// Auto-save: the settings aAutoSaveConfig keeps, and the names under which
// autoSaveAllDoc writes the documents.
#ifndef PLUMET_VIEWS_DOC_AUTOSAVE_H
#define PLUMET_VIEWS_DOC_AUTOSAVE_H

#include <cstddef>
#include <cstdint>

// Times are in sixtieths of a second (the drawing layer's ticks).
struct docAutoSaveConfig {
  uint32_t flags;     // bit 0: auto-save on
  int32_t interval;   // -2 until an interval is set
  uint32_t due;       // start + interval
  uint32_t start;     // when the interval was set
};
const docAutoSaveConfig& docAutoSaveSettings();

// True while aSaveAllUntitle or autoSaveAllDoc runs.
bool docAutoSaving();

// The file name an auto-save of a document with this title writes, into
// buffer (size bytes, at least 32): the base name (after the last "\" or
// "/") with ".sav" in place of everything from its first "."; a base name
// already ending in ".sav" ends in ".sa_" instead; names are cut to 27
// characters before the ".sav" is added. Answers the length.
size_t docAutoSaveName(const char* title, char* buffer, size_t size);

#endif
