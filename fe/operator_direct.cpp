// Which operators have a direct shortcut: the standard groups know their own
// handlers and signatures.
#include "fe/operator.h"
#include "fe/stdops_groups.h"

feOpDirect feOpDirectFor(feOpHandler handler, const char* signature) {
  if (!handler || !signature) return nullptr;
  return festd::arithDirect(handler, signature);
}
