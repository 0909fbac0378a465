// Fuzz target: FE script text run in the program's environment, as ferun
// runs it without --bare: every module set-up, the runner's stand-ins
// (input, hit-test and "getinfo"), headless, without a window, within the
// bounded interpreter of fe_sandbox.h, which refuses the file, process and
// dialog operators (quit among them). The checking helpers of the script
// tests (tests/fe/lib/check.fe) are defined at the start, so that the
// scripts of tests/fe and tests/e2e, the seeds, run as they do in the tests.
//
// Every input starts on a fresh document ("null aNewDoc") and may make and
// remove documents of its own. After it, what it can have left is put back
// as far as the environment allows: the interpreter's stacks and
// dictionaries (fe_sandbox.h), the tool engine and the tool loop, the
// scripts' event handlers and configuration messages, every document, the
// translation table, and the queued input, which is let take effect and
// discarded.
//
// With PLUMET_FUZZ_DICT set to a path, the target first writes there a
// libFuzzer dictionary of every registered operator name, with the
// language's brackets and a few phrases that make objects (run_fuzz.cmake
// passes it with -dict).
#include "fe_sandbox.h"

#include "app/draft.h"
#include "app/ferun/standins.h"
#include "core/xlate.h"
#include "fe/exec.h"
#include "objects/scriptsvc.h"
#include "tools/ieengine.h"
#include "tools/ietool.h"
#include "views/doc.h"
#include "views/vwinit.h"

#include <platform_test.h>
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#ifndef PLUMET_CHECK_FE
#error "PLUMET_CHECK_FE names the script tests' checking helpers (tests/fuzz/CMakeLists.txt)"
#endif

namespace {

// The script procedures the program runs by name, each taking its
// argument, as ferun defines them.
const char kDefaults[] =
    "/aThermUpdate where { pop } { /aThermUpdate { pop } def } ifelse "
    "/aNewWind where { pop } { /aNewWind { pop } def } ifelse "
    "/aKillSheet where { pop } { /aKillSheet { pop } def } ifelse "
    "/aLoadPrefsHook where { pop } { /aLoadPrefsHook { pop } def } ifelse "
    "/aLocalizeTongueReq where { pop } { /aLocalizeTongueReq { pop } def } ifelse "
    "/aLocalizeColorName where { pop } { /aLocalizeColorName { } def } ifelse "
    "/aBuildLnFontNoUse where { pop } { /aBuildLnFontNoUse { } def } ifelse "
    "/aMenuShowPointsHook where { pop } { /aMenuShowPointsHook { pop } def } ifelse "
    "/aMenuArrowHook where { pop } { /aMenuArrowHook { pop pop } def } ifelse "
    "/aChackMakeHLRLayer where { pop } { /aChackMakeHLRLayer { } def } ifelse "
    "/aSetToHLRLayer where { pop } { /aSetToHLRLayer { } def } ifelse "
    "/onKey where { pop } { /onKey { pop pop } def } ifelse "
    "/onModifier where { pop } { /onModifier { } def } ifelse "
    "/aViewPopup where { pop } { /aViewPopup { } def } ifelse "
    "/aBug where { pop } { /aBug { } def } ifelse "
    "/aUpdate where { pop } { /aUpdate { } def } ifelse "
    "/aOnState where { pop } { /aOnState { } def } ifelse";

// The documents are what this target is about: its inputs may make and
// remove them, since every input ends with all of them closed.
const char* const kAllowed[] = {"aNewDoc", "aRemoveDoc", nullptr};

int startEnvironment() {
  const int rc = draftInitForScripts();
  standinsInit();
  feRunString(kDefaults);
  std::ifstream helpers(PLUMET_CHECK_FE, std::ios::binary);
  std::ostringstream text;
  text << helpers.rdbuf();
  if (!helpers || text.str().empty()) {
    std::fprintf(stderr, "fuzz_fe_env: cannot read %s\n", PLUMET_CHECK_FE);
    std::abort();
  }
  feRunString(text.str().c_str());
  return rc;
}

// Lets the queued input take effect (its messages are discarded: without a
// window they reach nothing), so that none is left for the next input.
void drainInput() {
  MSG msg;
  for (int round = 0; round < 1000; ++round) {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    if (plTestQueuedInputCount() == 0) break;
    plTestAdvanceClock(3600 * 1000);
  }
  plTestUseSystemClock();
  plTestClearQuit();
}

// What an input can have left outside the interpreter's own state. Closing
// documents runs scripts (their events): within a budget of its own, so
// that the input's spent budget does not end them with an exception that
// nothing catches.
void resetEnvironment() {
  auto close = [] {
    ieEngineReset();
    ieToolReset();
    scriptEvtReset();
    configMesgReset();
    docResetAll();
  };
  fuzzfe::sandboxRun(close);
  xlateRelease();
  xlateSetInterpreterFlag(false);
  drainInput();
  // Values the documents held may have been the last outside holders of a
  // cycle.
  fuzzfe::collectCycles();
}

// A dictionary entry: the text in quotes, with quotes, backslashes and
// bytes outside printable ASCII escaped.
std::string dictEntry(const std::string& text) {
  std::string entry = "\"";
  for (const unsigned char c : text) {
    if (c == '"' || c == '\\') {
      entry += '\\';
      entry += char(c);
    } else if (c < 0x20 || c > 0x7E) {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      entry += hex;
    } else {
      entry += char(c);
    }
  }
  return entry + "\"";
}

void writeDictionary(const char* path) {
  static const char* const kSyntax[] = {
      "{", "}", "[", "]", "<<", ">>", "(", ")", "/", "null", "true", "false", " 0 ", " 1 ", " -1 ", " 2.5 ",
      "null aNewDoc", "[/type (line) /pt0 [0 0 0] /pt1 [3 4 0]] aCreate dup aStore",
      "[/type (point) /pt0 [1 1 0]] aCreate", "aCurDoc", "aCurView", "aDocAttr", "aUnits", "aAll",
      "(Sheet 1) aSheetWithName", "stopped", "forall", "get", "put",
  };
  // Each process writes a file of its own, then puts it in place.
  const std::string temporary = std::string(path) + "." + std::to_string(std::random_device{}()) + ".part";
  std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
  for (const std::string& name : fuzzfe::operatorNames())
    if (!name.empty()) out << dictEntry(name) << "\n";
  for (const char* phrase : kSyntax) out << dictEntry(phrase) << "\n";
  out.close();
  // Workers of one run write the same text: each replaces the file whole.
  if (!out || std::rename(temporary.c_str(), path) != 0) {
    std::fprintf(stderr, "fuzz_fe_env: cannot write the dictionary %s\n", path);
    std::abort();
  }
}

void newDocument() { feRunString("null aNewDoc"); }

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzzfe::sandboxStart(startEnvironment, kAllowed);
  resetEnvironment();
  if (const char* path = std::getenv("PLUMET_FUZZ_DICT"); path && *path) writeDictionary(path);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzfe::sandboxStart(startEnvironment, kAllowed);
  auto fresh = [] { newDocument(); };
  fuzzfe::sandboxRun(fresh);
  fuzzfe::runScriptBytes(data, size);
  resetEnvironment();
  // Closing every document frees every document but those whose count
  // saturated: one left here was lost by the input's run.
  if (const int32_t left = vwLive().docs - docOutlivedCount(); left != 0) {
    std::fprintf(stderr, "fuzz_fe_env: %d documents left after closing all\n", int(left));
    std::abort();
  }
  return 0;
}
