#include "fe_sandbox.h"

#include "scratch.h"

#include "core/abort.h"
#include "core/alloc_test.h"
#include "core/debug.h"
#include "core/errors.h"
#include "fe/attnpoll.h"
#include "fe/dict.h"
#include "fe/error.h"
#include "fe/exec.h"
#include "fe/exec_test.h"
#include "fe/generic.h"
#include "fe/names.h"
#include "fe/operator.h"
#include "fe/operator_test.h"
#include "fe/output.h"
#include "fe/stack.h"
#include "fe/strings.h"

#include <platform_test.h>
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>
#include <string_view>
#include <utility>
#include <vector>

namespace fuzzfe {

namespace {

// Operator calls one input may make: at the soft limit the call fails with
// interrupt, past the hard limit the run is abandoned.
constexpr uint64_t kSoftSteps = 200000;
constexpr uint64_t kHardSteps = 400000;
// The interrupt poll of long-running operators answers after this long.
constexpr auto kTimeLimit = std::chrono::seconds(2);
// Single allocations above this many bytes are refused as exhaustion.
constexpr size_t kAllocLimit = size_t(64) << 20;

// Operators that reach files, the configuration, the process or other
// programs. Names missing from the running interpreter are skipped.
constexpr const char* kRefused[] = {
    // files and the script search path
    "file", "run", "aInclude", "currentfile", "closefile", "resetfile", "flushfile", "bytesavailable", "status",
    "read", "readstring", "readhexstring", "readline", "write", "writestring", "writehexstring", "token",
    // configuration, compiled image, translation files and templates
    "aGetIniString", "aPutIniString", "aBOut", "aTransRun", "aTranslateOpen",
    // the process
    "quit",
    // the program's file, document and window operators
    "aFileRead", "aFileWrite", "aEdit", "aFileIsUnique", "aImportFeldon", "aExportPlumet", "aImportViews",
    "aSaveAsInNoMemory", "aPrint", "aLoadPlugin", "aExec", "aShellExec", "aWinExec", "aDeleteFile",
    "aRenameFile", "aCopyFile", "aMakeDir", "aRemoveDir", "aSetCurDir", "aGetOpenFile", "aGetSaveFile",
    "aWrite", "aSetLogFile", "aAutoSaveConfig", "aSaveAllUntitle", "autoSaveAllDoc", "aVarSave",
    "aGlobalVarSave", "aXlateIn", "aXlateOut", "aXlateTest", "aXlateTestFType", "aDump", "aCreatPlot",
    "aFitPlot", "aPostFEWindow", "aDispatch", "aNewDoc", "aRemoveDoc", "aSetReserverSize",
};

// "token" is refused only on files: it is the scanner's entry on strings as
// well, so the call hook lets it through when its operand is a string.
bool isTokenOnFile(int32_t index);

struct Sandbox {
  bool started = false;
  std::vector<bool> refused;   // by operator index
  int32_t tokenIndex = -1;
  uint64_t steps = 0;      // operator calls
  uint64_t loopSteps = 0;  // steps of the execution loop
  bool softFired = false;
  std::chrono::steady_clock::time_point deadline;
  feStack* baseExec = nullptr;
  // A dictionary (holding a reference) and its entries as they were at the
  // start (copies holding references).
  struct Snapshot {
    feObject dict{};
    std::vector<std::pair<feObject, feObject>> entries;
  };
  Snapshot systemdict, userdict, errordict, record;
};

Sandbox& box() {
  static Sandbox s;
  return s;
}

// Thrown from the call hook when an input has spent its whole budget.
struct BudgetSpent {};

int callHook(int32_t index) {
  Sandbox& s = box();
  if (index >= 0 && size_t(index) < s.refused.size() && s.refused[size_t(index)]) {
    if (index != s.tokenIndex || isTokenOnFile(index)) return feErrInvalidAccess;
  }
  ++s.steps;
  if (s.steps > kHardSteps) throw BudgetSpent{};
  if (s.steps > kSoftSteps && !s.softFired) {
    s.softFired = true;
    return feErrInterrupt;
  }
  return 0;
}

bool isTokenOnFile(int32_t) {
  const feObject* top = feStackIndex(*feOperandStack(), 0);
  return !top || feType(top) != feTString;
}

// Every step of the execution loop: a loop that calls no operator (a
// procedure running itself by name) is ended by the clock, looked at every
// 4096 steps.
void stepHook() {
  Sandbox& s = box();
  if ((++s.loopSteps & 4095) == 0 && std::chrono::steady_clock::now() > s.deadline) throw BudgetSpent{};
}

int attnPoll() { return std::chrono::steady_clock::now() > box().deadline ? 1 : 0; }

void* refusingRealloc(void* block, size_t bytes) {
  if (bytes > kAllocLimit) return nullptr;
  return std::realloc(block, bytes);
}

void discardOutput(void*, const char*, size_t) {}

Sandbox::Snapshot snapshot(const feObject* dict) {
  Sandbox::Snapshot shot;
  if (!dict || feType(dict) != feTDict) {
    std::fprintf(stderr, "fe_sandbox: the interpreter has no systemdict, userdict, errordict or $error\n");
    std::abort();
  }
  feCopyValue(&shot.dict, dict);
  int32_t capacity = 0;
  feDictMaxLength(dict, &capacity);
  for (int32_t i = 0; i < capacity; ++i) {
    feObject* key = nullptr;
    feObject* value = nullptr;
    if (feDictEntryAt(dict, i, &key, &value) != feOk || feType(key) == feTEmpty) continue;
    feObject k, v;
    feCopyValue(&k, key);
    feCopyValue(&v, value);
    shot.entries.emplace_back(k, v);
  }
  return shot;
}

// Puts the dictionary's body back to the snapshot in place: every entry is
// released and the slots emptied, then the snapshot's entries are stored
// again. The body stays the same, so every value referring to it (the
// dictionary stack, the error machinery, systemdict's own entry) follows.
// An input's entries must go, not only be overwritten: a definition left
// behind would change what later inputs do.
void restoreDict(const Sandbox::Snapshot& shot) {
  feDictBody* body = shot.dict.w0.dict;
  for (uint32_t i = 0; i < body->capacity; ++i) {
    feDictEntry entry = body->entries[i];
    if (feType(&entry.key) == feTEmpty) continue;
    std::memset(static_cast<void*>(&body->entries[i]), 0, sizeof body->entries[i]);
    feFree(&entry.key);
    feFree(&entry.value);
  }
  body->used = 0;
  for (const auto& [key, value] : shot.entries) feDictPut(&shot.dict, &key, &value);
}

// The state of a fresh start, as far as an input can have changed it.
void restore() {
  Sandbox& s = box();
  // The execution stack: entries left by an abandoned run are discarded and
  // the outermost stack comes back.
  feExecDiscard(feStackCount(*feExecStack()));
  if (*feExecStack() != s.baseExec) {
    feStackFree(feExecStack());
    *feExecStack() = s.baseExec;
  }
  feClearCurrent();
  feStackClear(*feOperandStack());
  feStackClear(*feFrameStack());

  for (const Sandbox::Snapshot* shot : {&s.systemdict, &s.userdict, &s.errordict, &s.record}) restoreDict(*shot);
  feErrorSetDicts(&s.systemdict.dict, &s.userdict.dict, &s.errordict.dict, &s.record.dict);
  feDictStackInit(&s.systemdict.dict, &s.userdict.dict);
  feDictFlushCaches();

  feOutSetSink(nullptr);
  dbgSetFlags(0);
  plTestClearMessageBoxes();
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
}

}  // namespace

void sandboxStart(int (*start)()) {
  Sandbox& s = box();
  if (s.started) return;
  s.started = true;


  plTestSetMessageBoxEcho(false);
  start();
  feSetOutHook(discardOutput, nullptr);
  feSetAttnPoll(attnPoll);
  uSetSystemRealloc(refusingRealloc);

  s.refused.assign(size_t(feOpCount()), false);
  for (int32_t i = 0; i < feOpCount(); ++i) {
    const char* text;
    size_t length;
    feOpNameText(i, &text, &length);
    const std::string_view name(text, length);
    for (const char* refused : kRefused)
      if (name == refused) s.refused[size_t(i)] = true;
    if (name == "token") s.tokenIndex = i;
  }
  feOpTestSetCallHook(callHook);
  feExecTestSetStepHook(stepHook);

  s.baseExec = *feExecStack();
  s.systemdict = snapshot(feSystemDict());
  s.userdict = snapshot(feUserDict());
  s.errordict = snapshot(feErrorDict());
  s.record = snapshot(feErrorRecordDict());
  restore();

  // The budget must end a loop that calls nothing but its own continuation.
  static const uint8_t kRunaway[] = "{} loop";
  runScriptBytes(kRunaway, sizeof kRunaway - 1);
  if (s.steps < kSoftSteps) {
    std::fprintf(stderr, "fe_sandbox: the step budget does not reach the execution loop\n");
    std::abort();
  }
  s.steps = 0;
  s.softFired = false;
}

bool sandboxRun(void (*fn)(void*), void* context) {
  Sandbox& s = box();
  s.steps = 0;
  s.softFired = false;
  s.deadline = std::chrono::steady_clock::now() + kTimeLimit;
  // The run works in the scratch folder; the fuzzer's own paths outside it
  // may be relative to the directory the process started in.
  std::error_code ec;
  const std::filesystem::path home = std::filesystem::current_path(ec);
  std::filesystem::current_path(fuzzfs::scratchDir());
  bool finished = false;
  try {
    fn(context);
    finished = true;
  } catch (const BudgetSpent&) {
  } catch (const uAbortSignal&) {
  }
  restore();
  std::filesystem::current_path(home, ec);
  return finished;
}

void runScriptBytes(const uint8_t* data, size_t size) {
  auto run = [&] {
    feObject source;
    if (feMakeString(&source, reinterpret_cast<const char*>(data), size) != feOk) return;
    source.flags |= feFlagExec;
    feObject check;
    if (feDictGetName(feSystemDict(), "errorcheck", &check) != feOk) {
      feExecObject(&source);
      feFree(&source);
      return;
    }
    // As feRunString: errorcheck takes the text from the operand stack.
    if (fePush(feOperandStack(), &source) != feOk) feFree(&source);
    feExecObject(&check);
    feFree(&check);
  };
  sandboxRun(run);
}

}  // namespace fuzzfe
