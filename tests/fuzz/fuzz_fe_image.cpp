// Fuzz target: the compiled image reader. The input is read as an image
// file; an image the reader accepts is walked whole (every string, array
// and dictionary body in its ranges, cycles included) before it is freed,
// so that a value the reader let through with a range past its body or a
// dangling back-reference shows up under the sanitizers.
#include "fe_sandbox.h"
#include "scratch.h"

#include "fe/newbio.h"
#include "fe/init.h"
#include "fe/value.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

namespace {

// Sums every byte and word the graph holds, so that no read is optimised
// away.
uint64_t walk(const feObject* root) {
  uint64_t sum = 0;
  std::set<const void*> seen;
  std::vector<const feObject*> work{root};
  while (!work.empty()) {
    const feObject* v = work.back();
    work.pop_back();
    switch (feType(v)) {
      case feTString: {
        feStringBody* body = v->w0.str;
        if (!body || size_t(v->offset) + v->length > body->length) std::abort();
        if (!seen.insert(body).second) break;
        const uint8_t* bytes = feStringBytes(body);
        for (uint32_t i = 0; i < body->length; ++i) sum += bytes[i];
        break;
      }
      case feTArray: {
        feArrayBody* body = v->w0.arr;
        if (!body || size_t(v->offset) + v->length > body->length) std::abort();
        if (!seen.insert(body).second) break;
        const feObject* elements = feArrayElems(body);
        for (uint32_t i = 0; i < body->length; ++i) work.push_back(&elements[i]);
        break;
      }
      case feTDict: {
        feDictBody* body = v->w0.dict;
        if (!body || body->used > body->capacity) std::abort();
        if (!seen.insert(body).second) break;
        for (uint32_t i = 0; i < body->capacity; ++i) {
          const feDictEntry& e = body->entries[i];
          if (feType(&e.key) == feTEmpty) continue;
          work.push_back(&e.key);
          work.push_back(&e.value);
        }
        break;
      }
      default:
        sum += v->w0.u + v->flags;
        break;
    }
  }
  return sum;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzfe::sandboxStart(feInitFresh);
  const std::string path = fuzzfs::writeScratchFile("input.FEB", data, size);
  auto read = [&] {
    feImage* image = nullptr;
    if (feImageRead(path.c_str(), &image) != 0) {
      if (image) std::abort();   // a refused image hands nothing out
      return;
    }
    const feObject* systemdict = feImageSystemDict(image);
    if (!systemdict || feType(systemdict) != feTDict) std::abort();
    volatile uint64_t sum = walk(systemdict);
    (void)sum;
    feImageFree(image);
  };
  fuzzfe::sandboxRun(read);
  return 0;
}
