// The standard operators' registrations, looked up by name for the
// interpreter's start, which registers them at their places in its fixed
// order.
#include "fe/stdops.h"

#include "fe/stdops_groups.h"

#include <cstring>
#include <initializer_list>

const feOpSpec* feStdOpSpec(const char* name) {
  if (!name) return nullptr;
  using namespace festd;
  for (const Group& g : {stackOps(), arithOps(), mathOps(), relOps(), convOps(), stringOps()})
    for (size_t k = 0; k < g.count; ++k)
      if (std::strcmp(g.ops[k].name, name) == 0) return &g.ops[k];
  return nullptr;
}
