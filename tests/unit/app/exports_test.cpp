// The export table: every fixed ordinal holds its function, the table is
// found as a plug-in finds it, and a plug-in's binding refuses a table it
// cannot trust rather than calling stray entries.
#include "app/exports.h"

#include "core/alloc.h"
#include "core/classes.h"
#include "core/debug.h"
#include "core/matrix.h"
#include "core/vec.h"
#include "fe/file.h"
#include "fe/operator.h"
#include "fe/script.h"
#include "objects/arrow.h"
#include "objects/attr.h"
#include "objects/gobject.h"
#include "objects/group.h"
#include "objects/nearcurve.h"
#include "objects/objsend.h"
#include "objects/style.h"
#include "ui/attn.h"
#include "views/wplane.h"

#include <gtest/gtest.h>

#include <string>

namespace {

template <class R, class... A>
FARPROC entryOf(R (*function)(A...)) {
  return plFunctionCast<FARPROC>(function);
}
template <class R, class... A>
FARPROC entryOf(R (*function)(A..., ...)) {
  return plFunctionCast<FARPROC>(function);
}

}  // namespace

TEST(Exports, EachFixedOrdinalHoldsItsFunction) {
  // The ordinals plug-ins bind, written out here apart from the list the
  // table is built from.
  const struct {
    uint32_t ordinal;
    FARPROC function;
    const char* name;
  } fixed[] = {
      {3, entryOf(&aCurWPlane), "aCurWPlane"},
      {18, entryOf(&arrowGetSize), "arrowGetSize"},
      {54, entryOf(&uiBusyEnd), "uiBusyEnd"},
      {55, entryOf(&uiBusyBegin), "uiBusyBegin"},
      {72, entryOf(&feStrDup), "feStrDup"},
      {73, entryOf(&feExecfC), "feExecf"},
      {82, entryOf(&feRegisterOp), "feRegisterOp"},
      {1306, entryOf(&feRegisterOp), "feRegisterOp"},
      {126, entryOf(&grpAdd), "grpAdd"},
      {127, entryOf(&grpBegin), "grpBegin"},
      {132, entryOf(&grpEnd), "grpEnd"},
      {233, entryOf(&crvPoint), "crvPoint"},
      {236, entryOf(&objFree), "objFree"},
      {237, entryOf(&attrGet), "attrGet"},
      {241, entryOf(&objInClass), "objInClass"},
      {253, entryOf(&objHitTest), "objHitTest"},
      {290, entryOf(&dbgPrintfC), "dbgPrintf"},
      {294, entryOf(&uSafeDiv), "uSafeDiv"},
      {308, entryOf(static_cast<void (*)(uHandle)>(&uFreeIfSet)), "uFreeIfSet"},
      {317, entryOf(&angAcosT), "angAcosT"},
      {326, entryOf(static_cast<void (*)(uHandle)>(&uFree)), "uFree"},
      {362, entryOf(&vecCopyN), "vecCopyN"},
      {363, entryOf(&vecCross3), "vecCross3"},
      {366, entryOf(&vecDotN), "vecDotN"},
      {370, entryOf(&vecSetN), "vecSetN"},
      {373, entryOf(&vecLenN), "vecLenN"},
      {377, entryOf(&vecScaleN), "vecScaleN"},
      {380, entryOf(&aPtTransform), "aPtTransform"},
      {381, entryOf(&vectXform), "vectXform"},
      {424, entryOf(&wpConvert), "wpConvert"},
      {710, entryOf(&styleGetReal), "styleGetReal"},
      {2361, entryOf(&vecAdd3), "vecAdd3"},
      {2362, entryOf(&vecCopy3), "vecCopy3"},
      {2366, entryOf(&vecDot3), "vecDot3"},
      {2368, entryOf(&vecAxpy3), "vecAxpy3"},
      {2373, entryOf(&vecLen3), "vecLen3"},
      {2374, entryOf(&vecNeg3), "vecNeg3"},
      {2375, entryOf(&vecNormalize3), "vecNormalize3"},
      {2377, entryOf(&vecScale3), "vecScale3"},
      {2378, entryOf(&vecSet3), "vecSet3"},
      {2379, entryOf(&vecSub3), "vecSub3"},
      {2505, entryOf(&vecDist3), "vecDist3"},
      {3375, entryOf(&vecSetLen3), "vecSetLen3"},
  };
  EXPECT_EQ(plumet_exports.magic, PL_ORDINALS_MAGIC);
  EXPECT_EQ(plumet_exports.version, PL_ORDINALS_VERSION);
  EXPECT_EQ(plumet_exports.count, plumetExportSlots());
  EXPECT_GT(plumet_exports.count, 3375u);
  EXPECT_EQ(plOrdinalEntry(&plumet_exports, 0), nullptr);
  for (const auto& f : fixed) {
    SCOPED_TRACE(std::to_string(f.ordinal) + " " + f.name);
    EXPECT_EQ(plOrdinalEntry(&plumet_exports, f.ordinal), f.function);
  }
}

TEST(Exports, FoundByItsDynamicSymbolAndThroughGetProcAddress) {
  // What a plug-in does: the one dynamic symbol of the program.
  EXPECT_EQ(plProgramOrdinals(), &plumet_exports);
  // What the platform's loader does for the program module.
  const FARPROC registrar = entryOf(&feRegisterOp);
  EXPECT_EQ(GetProcAddress(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(82)), registrar);
  EXPECT_EQ(GetProcAddress(nullptr, MAKEINTRESOURCEA(1306)), registrar);
  EXPECT_EQ(GetProcAddress(nullptr, MAKEINTRESOURCEA(83)), nullptr);
  EXPECT_EQ(GetProcAddress(nullptr, "feRegisterOp"), nullptr);  // no names
}

TEST(Exports, ImportsCallTheProgramThroughTheTable) {
  plumetImports imp;
  ASSERT_TRUE(plumetBindImports(plProgramOrdinals(), &imp));
  EXPECT_EQ(plFunctionCast<FARPROC>(imp.feRegisterOp), entryOf(&feRegisterOp));
  EXPECT_EQ(plFunctionCast<FARPROC>(imp.feRegisterOp1306), entryOf(&feRegisterOp));

  // Fixed and variable argument lists both pass through.
  double a[3] = {1, 2, 3}, b[3] = {10, 20, 30}, out[3];
  imp.vecAdd3(a, b, out);
  EXPECT_EQ(out[0], 11);
  EXPECT_EQ(out[2], 33);
  imp.vecSetN(3, out, 7, -8, 9);
  EXPECT_EQ(out[0], 7);
  EXPECT_EQ(out[1], -8);
  EXPECT_EQ(out[2], 9);

  std::string logged;
  dbgSetLogHook([](void* context, const char* text, size_t length) {
    static_cast<std::string*>(context)->append(text, length);
  }, &logged);
  imp.dbgPrintf("plug-in says %d and %s\n", 12, "more");
  dbgSetLogHook(nullptr, nullptr);
  EXPECT_NE(logged.find("plug-in says 12 and more"), std::string::npos) << logged;
}

TEST(Exports, BindingRefusesATableItCannotTrust) {
  constexpr uint32_t slots = plumetExportSlots();
  FARPROC entries[slots];
  for (uint32_t i = 0; i < slots; ++i) entries[i] = plumet_exports.entries[i];
  const plOrdinalTable good = {PL_ORDINALS_MAGIC, PL_ORDINALS_VERSION, slots, entries};
  const plOrdinalTable cases[] = {
      {0, PL_ORDINALS_VERSION, slots, entries},                    // wrong magic
      {PL_ORDINALS_MAGIC, PL_ORDINALS_VERSION + 1, slots, entries},  // another layout
      {PL_ORDINALS_MAGIC, PL_ORDINALS_VERSION, 2000, entries},     // an older program
      {PL_ORDINALS_MAGIC, PL_ORDINALS_VERSION, slots, nullptr},
  };
  plumetImports imp;
  ASSERT_TRUE(plumetBindImports(&good, &imp));
  for (const plOrdinalTable& table : cases) {
    ASSERT_TRUE(plumetBindImports(&good, &imp));
    EXPECT_FALSE(plumetBindImports(&table, &imp));
    // Nothing half bound: not even the entries that were there.
    EXPECT_EQ(imp.feRegisterOp, nullptr);
    EXPECT_EQ(imp.vecSetLen3, nullptr);
  }
  // A missing entry of the list.
  entries[237] = nullptr;
  EXPECT_FALSE(plumetBindImports(&good, &imp));
  EXPECT_EQ(imp.vecAdd3, nullptr);
  EXPECT_FALSE(plumetBindImports(nullptr, &imp));
}
