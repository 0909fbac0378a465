// objCreateKeyed: native code's way to aCreate. The (name, value) pairs are
// collected in one program-wide buffer, which grows as needed and is moved
// into the keyed list's array on every call.
#include "objects/attr.h"

#include "fe/arrays.h"
#include "fe/generic.h"
#include "fe/names.h"
#include "fe/value.h"
#include "objects/attr_internal.h"
#include "objects/objops.h"

#include <cstdarg>
#include <cstring>
#include <vector>

namespace {

std::vector<feObject> pairs;

void dropPairs() {
  for (feObject& v : pairs) feFree(&v);
  pairs.clear();
}

}  // namespace

int objCreateKeyed(gobjRec** out, ...) {
  va_list args;
  va_start(args, out);
  pairs.clear();
  int answer = 0;
  while (const char* key = va_arg(args, const char*)) {
    const uint32_t type = va_arg(args, uint32_t);
    feObject name, value;
    if ((answer = feMakeName(&name, key, std::strlen(key))) != 0) break;
    if ((answer = attrMakeValue(type, &args, &value)) != 0) break;
    pairs.push_back(name);
    pairs.push_back(value);
  }
  va_end(args);
  if (answer != 0) {
    dropPairs();
    return answer;
  }
  feObject list;
  if ((answer = feMakeArray(&list, pairs.data(), uint32_t(pairs.size()))) != 0) {
    dropPairs();
    return answer;
  }
  pairs.clear();
  answer = objCreate(&list, out);
  feFree(&list);
  return answer;
}
