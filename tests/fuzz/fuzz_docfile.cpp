// Fuzz target: the native drawing file, from the container (header, type
// table, segment-length table, record framing) through the object records
// to the document, its models, sheets and views. The input is read as a
// drawing file into a new open document, in the program's environment for
// scripts (every module set-up, headless, no window), within the bounded
// interpreter of fe_sandbox.h. The documents are closed after every input.
#include "fe_sandbox.h"
#include "scratch.h"

#include "app/draft.h"
#include "fe/exec.h"
#include "views/doc.h"
#include "views/docfile.h"

#include <cstdint>
#include <string>

namespace {

// The script procedures the program runs by name while reading a file,
// each taking its argument.
const char kDefaults[] =
    "/aThermUpdate where { pop } { /aThermUpdate { pop } def } ifelse "
    "/aNewWind where { pop } { /aNewWind { pop } def } ifelse "
    "/aKillSheet where { pop } { /aKillSheet { pop } def } ifelse "
    "/aLoadPrefsHook where { pop } { /aLoadPrefsHook { pop } def } ifelse";

int startEnvironment() {
  const int rc = draftInitForScripts();
  feRunString(kDefaults);
  return rc;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzfe::sandboxStart(startEnvironment);
  const std::string path = fuzzfs::writeScratchFile("input.qdw", data, size);
  auto read = [&] {
    docRec* doc = nullptr;
    if (docCreate(&doc) != 0 || !doc) return;
    docAddOpen(doc);
    vwReadDoc(doc, path.c_str(), uint32_t(path.size()), vwReadNoWindow);
  };
  fuzzfe::sandboxRun(read);
  docResetAll();
  return 0;
}
