// Fuzz target: FE script text through the scanner and the execution loop,
// in the bare interpreter, run as the program runs text (under errorcheck).
#include "fe_sandbox.h"

#include "fe/init.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzfe::sandboxStart(feInitFresh);
  fuzzfe::runScriptBytes(data, size);
  return 0;
}
