// The program's export table, built from the list of app/exports.def.
#include "app/exports.h"

#include "core/alloc.h"
#include "core/classes.h"
#include "core/debug.h"
#include "core/matrix.h"
#include "core/vec.h"
#include "fe/file.h"
#include "fe/operator.h"
#include "fe/script.h"
#include "geometry/curve.h"
#include "geometry/plane.h"
#include "objects/arrow.h"
#include "objects/attr.h"
#include "objects/gobject.h"
#include "objects/group.h"
#include "objects/nearcurve.h"
#include "objects/objsend.h"
#include "objects/style.h"
#include "ui/attn.h"
#include "views/wplane.h"

namespace {

// By ordinal; null where nothing is exported.
FARPROC entries[plumetExportSlots()];

// Fills the entries before main runs. The static_cast picks the function of
// the line's exact type (an overload of the same name is passed over) and
// refuses to compile when the program's function has another type. On this
// platform C and C++ functions share one calling convention, so a C plug-in
// calls the C++ functions of the list through these entries unchanged.
bool fillEntries() {
#define PLUMET_EXPORT(ordinal, name, result, parameters, function) \
  entries[ordinal] = plFunctionCast<FARPROC>(static_cast<result(*) parameters>(&function));
#include "app/exports.def"
#undef PLUMET_EXPORT
  return true;
}

[[maybe_unused]] const bool filled = fillEntries();

}  // namespace

extern "C" const plOrdinalTable plumet_exports = {PL_ORDINALS_MAGIC, PL_ORDINALS_VERSION, plumetExportSlots(),
                                                  entries};
