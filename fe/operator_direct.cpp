// Which operators have a direct shortcut: the standard groups know their own
// handlers and signatures.
#include "fe/operator.h"
#include "fe/stdops_groups.h"

feOpDirect feOpDirectFor(feOpHandler handler, const char* signature) {
  if (!handler || !signature) return nullptr;
  for (auto* lookup : {festd::arithDirect, festd::relDirect, festd::mathDirect, festd::convDirect, festd::stackDirect,
                        festd::stringDirect})
    if (feOpDirect direct = lookup(handler, signature)) return direct;
  return nullptr;
}
