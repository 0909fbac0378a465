// The render-settings and default-light operators.
#include "views/render.h"

#include "core/errors.h"
#include "fe/control.h"
#include "fe/opcall.h"
#include "objects/docstate.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace {

// The render block of the current record, or null without one.
uint8_t* currentRender() {
  dbDocRec* doc = dbDocCurrent();
  return doc ? doc->visual : nullptr;
}

// The render block the gets read: the current record's, else the defaults.
const uint8_t* renderToRead() {
  const uint8_t* block = currentRender();
  return block ? block : vcDefaultRec();
}

// Byte fields: "!i" stores the low byte, "!#i" answers it.
template <uint32_t Field>
int opByteSet(feArgs* args) {
  if (uint8_t* block = currentRender()) block[Field] = uint8_t(args->in[0].i);
  return 0;
}

template <uint32_t Field>
int opByteGet(feArgs* args) {
  *static_cast<int32_t*>(args->out[0]) = renderToRead()[Field];
  return 0;
}

// "!iii": the background colour, marked as set.
int opBgColorSet(feArgs* args) {
  uint8_t* block = currentRender();
  if (!block) return 0;
  block[vcBgRed] = uint8_t(args->in[0].i);
  block[vcBgGreen] = uint8_t(args->in[1].i);
  block[vcBgBlue] = uint8_t(args->in[2].i);
  block[vcFlags] |= vcFlagBackground;
  return 0;
}

// "!#iii": the background colour, or a mid grey while none is set.
int opBgColorGet(feArgs* args) {
  const uint8_t* block = renderToRead();
  const bool set = (block[vcFlags] & vcFlagBackground) != 0;
  const uint32_t fields[3] = {vcBgRed, vcBgGreen, vcBgBlue};
  for (int k = 0; k < 3; ++k) *static_cast<int32_t*>(args->out[k]) = set ? int32_t(block[fields[k]]) : int32_t(vcNoBackgroundGrey);
  return 0;
}

// The light table an operator reaches: its first argument is 1 for the
// current record's table (the global one without a record), 0 for the
// global table.
uint8_t* lightTable(const feArgs* args) {
  if (args->in[0].i != 0)
    if (dbDocRec* doc = dbDocCurrent()) return doc->defaultLights;
  return reinterpret_cast<uint8_t*>(vcDefLightTable());
}

// The light index argument, checked: the table holds five lights.
bool lightIndex(const feArgs* args, uint32_t* light) {
  const int32_t i = args->in[1].i;
  if (i < 0 || i >= int32_t(vcLightCount)) return false;
  *light = uint32_t(i);
  return true;
}

// A stored number answered as an integer, truncated. A table read from a
// file may hold anything: NaN answers 0, and values beyond the integer
// range answer its ends.
int32_t truncated(double value) {
  if (std::isnan(value)) return 0;
  if (value <= double(std::numeric_limits<int32_t>::min())) return std::numeric_limits<int32_t>::min();
  if (value >= double(std::numeric_limits<int32_t>::max())) return std::numeric_limits<int32_t>::max();
  return int32_t(value);
}

// "!I<1>I" / "!I<1>#I": the light mode.
int opModeSet(feArgs* args) {
  vcLightPut(lightTable(args), vcLightMode, args->in[1].i);
  return 0;
}

int opModeGet(feArgs* args) {
  *static_cast<int32_t*>(args->out[0]) = truncated(vcLightGet(lightTable(args), vcLightMode));
  return 0;
}

// "I<1>II" / "I<1>I#I": an integer of one light (use flag or type).
template <uint32_t Base>
int opLightIntSet(feArgs* args) {
  uint32_t light = 0;
  if (!lightIndex(args, &light)) return feErrRangeCheck;
  vcLightPut(lightTable(args), Base + light, args->in[2].i);
  return 0;
}

template <uint32_t Base>
int opLightIntGet(feArgs* args) {
  uint32_t light = 0;
  if (!lightIndex(args, &light)) return feErrRangeCheck;
  *static_cast<int32_t*>(args->out[0]) = truncated(vcLightGet(lightTable(args), Base + light));
  return 0;
}

// "I<1>IR" / "I<1>I#D": the intensity of one light.
int opIntensitySet(feArgs* args) {
  uint32_t light = 0;
  if (!lightIndex(args, &light)) return feErrRangeCheck;
  vcLightPut(lightTable(args), vcLightIntensity + light, args->in[2].d);
  return 0;
}

int opIntensityGet(feArgs* args) {
  uint32_t light = 0;
  if (!lightIndex(args, &light)) return feErrRangeCheck;
  *static_cast<double*>(args->out[0]) = vcLightGet(lightTable(args), vcLightIntensity + light);
  return 0;
}

// "I<1>IA{3D}" / "I<1>I#A{3D}": a position of one light.
template <uint32_t Base>
int opPositionSet(feArgs* args) {
  uint32_t light = 0;
  if (!lightIndex(args, &light)) return feErrRangeCheck;
  const auto* point = static_cast<const double*>(args->in[2].block);
  uint8_t* table = lightTable(args);
  for (uint32_t axis = 0; axis < 3; ++axis) vcLightPut(table, Base + 3 * light + axis, point[axis]);
  return 0;
}

template <uint32_t Base>
int opPositionGet(feArgs* args) {
  uint32_t light = 0;
  if (!lightIndex(args, &light)) return feErrRangeCheck;
  auto* point = static_cast<double*>(args->out[0]);
  const uint8_t* table = lightTable(args);
  for (uint32_t axis = 0; axis < 3; ++axis) point[axis] = vcLightGet(table, Base + 3 * light + axis);
  return 0;
}

// The light operators that take an index answer rangecheck for one outside
// 0..4, so they are registered without "!": the error reaches the script
// and the operands stay in place. The handlers fail for nothing else.
const feOpSpec kOps[] = {
    {"aVcShadeModeSet", opByteSet<vcShadeMode>, "!i"},
    {"aVcShadeModeGet", opByteGet<vcShadeMode>, "!#i"},
    {"aVcHiddenModeSet", opByteSet<vcHiddenMode>, "!i"},
    {"aVcHiddenModeGet", opByteGet<vcHiddenMode>, "!#i"},
    {"aVcHiddenFontSet", opByteSet<vcHiddenFont>, "!i"},
    {"aVcHiddenFontGet", opByteGet<vcHiddenFont>, "!#i"},
    {"aVcDefLightSet", opByteSet<vcDefLight>, "!i"},
    {"aVcDefLightGet", opByteGet<vcDefLight>, "!#i"},
    {"aVcBgColorSet", opBgColorSet, "!iii"},
    {"aVcBgColorGet", opBgColorGet, "!#iii"},
    {"aVcHiSpeedSet", opByteSet<vcHiSpeed>, "!i"},
    {"aVcHiSpeedGet", opByteGet<vcHiSpeed>, "!#i"},
    {"aVcWidthSet", opByteSet<vcWidth>, "!i"},
    {"aVcWidthGet", opByteGet<vcWidth>, "!#i"},
    {"aVcTextureIdSet", opByteSet<vcTextureId>, "!i"},
    {"aVcTextureIdGet", opByteGet<vcTextureId>, "!#i"},

    {"aDefLightModeSet", opModeSet, "!I<1>I"},
    {"aDefLightModeGet", opModeGet, "!I<1>#I"},
    {"aDefLightModeSetHC", opModeSet, "!I<0>I"},
    {"aDefLightModeGetHC", opModeGet, "!I<0>#I"},
    {"aDefLightUseSet", opLightIntSet<vcLightUse>, "I<1>II"},
    {"aDefLightUseGet", opLightIntGet<vcLightUse>, "I<1>I#I"},
    {"aDefLightUseSetHC", opLightIntSet<vcLightUse>, "I<0>II"},
    {"aDefLightUseGetHC", opLightIntGet<vcLightUse>, "I<0>I#I"},
    {"aDefLightTypeSet", opLightIntSet<vcLightType>, "I<1>II"},
    {"aDefLightTypeGet", opLightIntGet<vcLightType>, "I<1>I#I"},
    {"aDefLightTypeSetHC", opLightIntSet<vcLightType>, "I<0>II"},
    {"aDefLightTypeGetHC", opLightIntGet<vcLightType>, "I<0>I#I"},
    {"aDefLightIntensitySet", opIntensitySet, "I<1>IR"},
    {"aDefLightIntensityGet", opIntensityGet, "I<1>I#D"},
    {"aDefLightIntensitySetHC", opIntensitySet, "I<0>IR"},
    {"aDefLightIntensityGetHC", opIntensityGet, "I<0>I#R"},
    {"aDefLightSrcPosSet", opPositionSet<vcLightSource>, "I<1>IA{3D}"},
    {"aDefLightSrcPosGet", opPositionGet<vcLightSource>, "I<1>I#A{3D}"},
    {"aDefLightSrcPosSetHC", opPositionSet<vcLightSource>, "I<0>IA{3D}"},
    {"aDefLightSrcPosGetHC", opPositionGet<vcLightSource>, "I<0>I#A{3D}"},
    {"aDefLightDstPosSet", opPositionSet<vcLightDestination>, "I<1>IA{3D}"},
    {"aDefLightDstPosGet", opPositionGet<vcLightDestination>, "I<1>I#A{3D}"},
    {"aDefLightDstPosSetHC", opPositionSet<vcLightDestination>, "I<0>IA{3D}"},
    {"aDefLightDstPosGetHC", opPositionGet<vcLightDestination>, "I<0>I#A{3D}"},
};
static_assert(sizeof kOps / sizeof kOps[0] == 40);

}  // namespace

void vcRegisterOps() {
  feOpSpecRegisterAll(kOps);
  vcResetDefaults();
  vcInstallDocDefaults();
}
