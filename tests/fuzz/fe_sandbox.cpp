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
#include "fe/release_test.h"
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
#include <unordered_map>
#include <unordered_set>
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
    // the script runner's stand-ins that load libraries or queue dialog answers
    "tLoadLib", "tPrintAnswer",
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
  // The array and dictionary bodies made since the start and not freed
  // (true: a dictionary).
  std::unordered_map<void*, bool> live;
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

void watchBody(void* body, bool dict, bool made) {
  if (made) box().live[body] = dict;
  else box().live.erase(body);
}

uint32_t& refsOf(void* body, bool dict) {
  return dict ? static_cast<feDictBody*>(body)->refs : static_cast<feArrayBody*>(body)->refs;
}

// Calls fn with the body of every array and dictionary the body holds.
template <class F>
void forEachChild(void* body, bool dict, F&& fn) {
  auto visit = [&](const feObject& v) {
    if (feIsSimple(&v)) return;
    if (feType(&v) == feTArray) fn(static_cast<void*>(v.w0.arr));
    else if (feType(&v) == feTDict) fn(static_cast<void*>(v.w0.dict));
  };
  if (dict) {
    const auto* d = static_cast<feDictBody*>(body);
    for (uint32_t i = 0; i < d->capacity; ++i) {
      if (feType(&d->entries[i].key) == feTEmpty) continue;
      visit(d->entries[i].key);
      visit(d->entries[i].value);
    }
  } else {
    auto* a = static_cast<feArrayBody*>(body);
    for (uint32_t i = 0; i < a->length; ++i) visit(feArrayElems(a)[i]);
  }
}

// Releases what the body holds, leaving it empty (nulls, free slots).
void empty(void* body, bool dict) {
  if (dict) {
    auto* d = static_cast<feDictBody*>(body);
    for (uint32_t i = 0; i < d->capacity; ++i) {
      feDictEntry entry = d->entries[i];
      if (feType(&entry.key) == feTEmpty) continue;
      std::memset(static_cast<void*>(&d->entries[i]), 0, sizeof d->entries[i]);
      feFree(&entry.key);
      feFree(&entry.value);
    }
    d->used = 0;
  } else {
    auto* a = static_cast<feArrayBody*>(body);
    for (uint32_t i = 0; i < a->length; ++i) {
      feObject old = feArrayElems(a)[i];
      feMakeNull(&feArrayElems(a)[i]);
      feFree(&old);
    }
  }
}

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
  collectCycles();
  feDictFlushCaches();

  feOutSetSink(nullptr);
  dbgSetFlags(0);
  plTestClearMessageBoxes();
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
}

}  // namespace

// Trial deletion over the live bodies: a body whose count is more than the
// references from other live bodies is held from outside (a stack, a
// dictionary of the start, a program object, native code); so is every body
// it reaches. The rest only hold each other.
void collectCycles() {
  Sandbox& s = box();
  std::unordered_map<void*, int64_t> outside;
  for (const auto& [body, dict] : s.live) outside[body] = refsOf(body, dict);
  for (const auto& [body, dict] : s.live)
    forEachChild(body, dict, [&](void* child) {
      if (auto it = outside.find(child); it != outside.end()) --it->second;
    });
  std::unordered_set<void*> held;
  std::vector<void*> work;
  for (const auto& [body, count] : outside)
    if (count > 0 && held.insert(body).second) work.push_back(body);
  while (!work.empty()) {
    void* body = work.back();
    work.pop_back();
    forEachChild(body, s.live[body], [&](void* child) {
      if (s.live.count(child) && held.insert(child).second) work.push_back(child);
    });
  }
  std::vector<std::pair<void*, bool>> garbage;
  for (const auto& [body, dict] : s.live)
    if (!held.count(body)) garbage.emplace_back(body, dict);
  if (garbage.empty()) return;
  // Each is kept by a reference of its own while all are emptied, then
  // that reference goes and with it the body.
  for (const auto& [body, dict] : garbage) ++refsOf(body, dict);
  for (const auto& [body, dict] : garbage) empty(body, dict);
  for (const auto& [body, dict] : garbage) {
    feObject v;
    std::memset(&v, 0, sizeof v);
    if (dict) {
      v.w0.dict = static_cast<feDictBody*>(body);
      v.flags = feTDict;
    } else {
      v.w0.arr = static_cast<feArrayBody*>(body);
      v.flags = feTArray;
      v.length = static_cast<feArrayBody*>(body)->length;
    }
    feFree(&v);
  }
}

void sandboxStart(int (*start)(), const char* const* allowed) {
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
    for (const char* const* a = allowed; a && *a; ++a)
      if (name == *a) s.refused[size_t(i)] = false;
    if (name == "token") s.tokenIndex = i;
  }
  feOpTestSetCallHook(callHook);
  feExecTestSetStepHook(stepHook);

  s.baseExec = *feExecStack();
  feTestSetBodyWatcher(watchBody);
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

std::vector<std::string> operatorNames() {
  std::vector<std::string> names;
  for (int32_t i = 0; i < feOpCount(); ++i) {
    const char* text;
    size_t length;
    feOpNameText(i, &text, &length);
    names.emplace_back(text, length);
  }
  return names;
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
