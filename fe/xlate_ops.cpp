// The translation operators, the module's set-up and the table's blocks in
// the compiled image (see xlate_ops.h).
#include "fe/xlate_ops.h"

#include "core/alloc.h"
#include "core/debug.h"
#include "core/errors.h"
#include "core/xlate.h"
#include "fe/arrays.h"
#include "fe/control.h"
#include "fe/newbio.h"
#include "fe/operator.h"
#include "fe/strings.h"

#include <cstring>
#include <string>

namespace {

// "O": an array of strings in pairs (source, translation), appended to the
// table. Everything is checked before anything is appended.
int opTranslateLoad(feArgs* args) {
  const feObject* array = args->in[0].value;
  if (feType(array) != feTArray) return feErrTypeCheck;
  const int32_t n = feArrayLength(array);
  if (n % 2 != 0) return feErrTypeCheck;
  for (int32_t i = 0; i < n; ++i) {
    const feObject* element = feArrayElem(array, i);
    if (feType(element) != feTString) return feErrTypeCheck;
    uint8_t* bytes = nullptr;
    uint16_t length = 0;
    feStringData(element, &bytes, &length);
    // Pool texts are terminated: a zero byte cannot be stored.
    if (length && std::memchr(bytes, 0, length)) return feErrRangeCheck;
  }
  int result = feOk;
  for (int32_t i = 0; i < n && result == feOk; i += 2) {
    uint8_t* source = nullptr;
    uint8_t* translation = nullptr;
    uint16_t sourceLength = 0;
    uint16_t translationLength = 0;
    feStringData(feArrayElem(array, i), &source, &sourceLength);
    feStringData(feArrayElem(array, i + 1), &translation, &translationLength);
    result = xlateAddPair(reinterpret_cast<const char*>(source), sourceLength,
                          reinterpret_cast<const char*>(translation), translationLength);
  }
  xlateLoaded();
  return result;
}

// The file name of an "S" argument, terminated.
std::string nameOf(const feArg& arg) {
  return arg.text.length > 0 ? std::string(arg.text.text, size_t(arg.text.length)) : std::string();
}

// "S": reads the translation file.
int opTransRun(feArgs* args) { return xlateRunFile(nameOf(args->in[0]).c_str()); }

// "!i<0>S#S" and "!i<1>S#S": a copy of the string; the integer is not used.
// Strings are translated when they are read, so the text is already in the
// language shown.
int opXTranslate(feArgs* args) {
  const feArgText& text = args->in[1].text;
  const uint32_t length = text.length > 0 ? uint32_t(text.length) : 0;
  auto* out = static_cast<feArgText*>(args->out[0]);
  if (length == 0) return feOk;  // an empty result is pushed as an empty string
  char* copy = static_cast<char*>(uAlloc(nullptr, nullptr, length, 1));
  std::memcpy(copy, text.text, length);
  out->text = copy;
  out->length = int32_t(length);
  return feOk;
}

// "S": names the template file.
int opTranslateOpen(feArgs* args) { return xlateOpenTemplate(nameOf(args->in[0]).c_str()); }

// "": logs the missing list.
int opTranslateDump(feArgs*) {
  dbgPrintf("*** translation table ***\n");
  for (int32_t i = 0; i < xlateMissingCount(); ++i) dbgPrintf("%s\n", xlateMissingText(i, nullptr));
  dbgPrintf("*** translation table end ***\n");
  return feOk;
}

// "!B#B": sets the interpreter-translation flag; answers the previous value.
int opFETranslate(feArgs* args) {
  *static_cast<int32_t*>(args->out[0]) = xlateInterpreterFlag() ? 1 : 0;
  xlateSetInterpreterFlag(args->in[0].i != 0);
  return feOk;
}

const feOpSpec kOps[] = {
    {"aTranslateLoad", opTranslateLoad, "O"},
    {"aTransRun", opTransRun, "S"},
    {"aXTranslate", opXTranslate, "!i<0>S#S"},
    {"aRTranslate", opXTranslate, "!i<1>S#S"},
    {"aTranslateOpen", opTranslateOpen, "S"},
    {"aTranslateDump", opTranslateDump, ""},
    {"aFETranslate", opFETranslate, "!B#B"},
};

const char kStringBlock[] = "xlate-str";
const char kPairBlock[] = "xlate-buf";

// The image's block table follows the table's storage; the pair block is the
// pair array as it lies in memory.
void keepInImage(const char* pool, uint32_t poolBytes, const void* pairs, uint32_t pairBytes) {
  feSetBlock(kStringBlock, pool, poolBytes);
  feSetBlock(kPairBlock, pairs, pairBytes);
}

void storeBlocksBeforeSave(void*) { xlateStoreBlocks(); }

}  // namespace

void xlateRestoreFromImage() {
  if (!xlateCanRestore()) return;
  void* text = nullptr;
  void* pairs = nullptr;
  uint32_t textLength = 0;
  uint32_t pairsLength = 0;
  feGetBlock(kStringBlock, &text, &textLength);
  feGetBlock(kPairBlock, &pairs, &pairsLength);
  xlateRestoreFrom(text, textLength, pairs, pairsLength);
  if (text) uFree(&text);
  if (pairs) uFree(&pairs);
}

const feOpSpec* xlateOpSpec(const char* name) { return feOpSpecFind(kOps, name); }

void transInit() {
  feOpSpecRegisterAll(kOps);
  xlateSetStorageHook(keepInImage);
  xlateRestoreFromImage();
  static bool saveRegistered = false;
  if (!saveRegistered) {
    feOnSave(storeBlocksBeforeSave, nullptr);
    saveRegistered = true;
  }
  xlateRebuild();
}
