// Auto-save: the settings of aAutoSaveConfig, and the writes of
// aSaveAllUntitle and autoSaveAllDoc.
#include "views/doc_autosave.h"
#include "views/doc.h"
#include "views/doc_internal.h"

#include "draw/gx.h"
#include "fe/opcall.h"
#include "fe/script.h"
#include "fe/scriptproc.h"
#include "fe/value.h"
#include "ui/filelock.h"
#include "ui/ui.h"
#include "views/current.h"

#include <windows.h>

#include <cstring>

namespace {

enum : int32_t { kTicksPerMinute = 3600, kMsPerMinute = 60000, kMinutesMax = 3600 };
enum : size_t { kCutLength = 27, kLongName = 26, kFullSavName = 31 };

const docAutoSaveConfig kFresh{0, -2, 0, 0};
docAutoSaveConfig config = kFresh;

bool endsInSav(const char* name, size_t length) {
  if (length < 4) return false;
  const char* tail = name + length - 4;
  return tail[0] == '.' && (tail[1] | 0x20) == 's' && (tail[2] | 0x20) == 'a' && (tail[3] | 0x20) == 'v';
}

// An interval of 1 to 3600 minutes starts now; any other value turns
// auto-save off. The state counts in sixtieths of a second, the timer of
// the document windows in milliseconds.
void setInterval(int32_t minutes) {
  if (minutes < 1 || minutes > kMinutesMax) {
    config.flags &= ~1u;
    return;
  }
  config.interval = minutes * kTicksPerMinute;
  config.start = gxTicks60();
  config.due = config.start + uint32_t(config.interval);
  aAutoSaveConfig(minutes * kMsPerMinute, GetTickCount());
}

bool untitled(const docRec* doc) { return doc->title && std::strncmp(doc->title, "Untitle", 7) == 0; }

// Writes one document under its auto-save name through the script
// procedure "aWrite", with its lock marked as writing meanwhile; the
// document keeps its flags (it stays dirty) less the auto-save bit.
int autoSave(docRec* doc) {
  // Held while the scripts run, so that a write that closes it does not
  // free it under us.
  feObjRefRetain(doc);
  vwRecordCurDoc(doc);
  char name[64];
  const size_t length = docAutoSaveName(doc->title, name, sizeof name);
  fileLockRec* lock = docLockRecord(doc);
  const uint16_t lockFlags = lock ? lock->flags : 0;
  if (lock) lock->flags |= fileLockWriting;
  const uint32_t flags = doc->flags;
  const int32_t depth = feOperandDepth();
  int answer = docPushText(name, length);
  if (answer == 0) answer = scriptRunByName("aWrite");
  feOperandRestore(depth);
  // The write may have let the lock go; only a lock still held is restored.
  if (lock && docLockRecord(doc) == lock) lock->flags = lockFlags;
  doc->flags = flags & ~uint32_t{docAutoSaveDue};
  feObjRefRelease(doc);
  return answer;
}

}  // namespace

const docAutoSaveConfig& docAutoSaveSettings() { return config; }

void docAutoSaveReset() { config = kFresh; }

bool docAutoSaving() { return docState().autoSaving; }

size_t docAutoSaveName(const char* title, char* buffer, size_t size) {
  const char* base = title ? title : "";
  for (const char* p = base; *p; ++p)
    if (*p == '\\' || *p == '/') base = p + 1;
  size_t length = std::strlen(base);
  char name[kFullSavName + 5];
  if (length == kFullSavName && endsInSav(base, length)) {
    std::memcpy(name, base, length);
    name[length - 1] = '_';
  } else {
    if (length > kLongName) length = kCutLength;
    std::memcpy(name, base, length);
    if (endsInSav(name, length)) {
      name[length - 1] = '_';
    } else {
      const void* dot = std::memchr(name, '.', length);
      if (dot) length = size_t(static_cast<const char*>(dot) - name);
      std::memcpy(name + length, ".sav", 4);
      length += 4;
    }
  }
  if (size == 0) return 0;
  if (length >= size) length = size - 1;
  std::memcpy(buffer, name, length);
  buffer[length] = 0;
  return length;
}

// aAutoSaveConfig (code, value).
int vwOpAutoSaveConfig(feArgs* args) {
  const int32_t code = args->in[0].i;
  const int32_t value = args->in[1].i;
  switch (code) {
    case -1: config.flags &= ~1u; break;
    case 1:
      config.flags |= 1u;
      setInterval(value);
      break;
    case 2: setInterval(value); break;
    case 5:
      config.flags &= ~1u;
      aAutoSaveConfig(-1, uiAutoSaveBase());
      break;
    case 6: config.flags |= 1u; break;
    case 9:
      // The document settings hold no auto-save entries yet; the value
      // alone sets the interval.
      setInterval(value);
      break;
    default: break;
  }
  return 0;
}

// aSaveAllUntitle: "aAutoSaveAs" with each untitled open document current.
int vwOpSaveAllUntitle(feArgs*) {
  docState().autoSaving = true;
  for (docRec* doc = docFirstOpen(); doc;) {
    docRec* next = doc->nextOpen;
    if (untitled(doc)) {
      docSetCurrent(doc);
      scriptRunByName("aAutoSaveAs");
    }
    doc = next;
  }
  docState().autoSaving = false;
  return 0;
}

// autoSaveAllDoc: every titled document changed since it was last saved
// and since the last auto-save, until a write fails.
int vwOpAutoSaveAllDoc(feArgs*) {
  docState().autoSaving = true;
  docRec* old = vwCurDoc();
  int answer = 0;
  for (docRec* doc = docFirstOpen(); doc;) {
    docRec* next = doc->nextOpen;
    const uint32_t due = docDirty | docAutoSaveDue;
    if ((doc->flags & due) == due && !untitled(doc)) {
      answer = autoSave(doc);
      if (answer || (next && !docIsOpen(next))) break;
    }
    doc = next;
  }
  // The document current before is current again, unless a write closed it.
  if (!old || docIsOpen(old) || old == docState().prefs) vwRecordCurDoc(old);
  else vwRecordCurDoc(nullptr);
  docState().autoSaving = false;
  return answer;
}
