// Render settings and default lights: how shaded and hidden-line pictures of
// the current document are made, and up to five light sources. The values
// live in the current document's settings record (objects/docstate.h: the
// 16-byte "visual" block, saved as "$VISUALCON", and the 368-byte light
// block, saved as "$DEFAULTLIGHT"); a global default render record and a
// global light table serve as the defaults and fill each new record that
// has no current record to copy from. This module only stores and answers
// the values; the renderer reads them.
//
// Operators (vcRegisterOps):
//   aVc<Field>Set "!i" / aVc<Field>Get "!#i" for ShadeMode, HiddenMode,
//   HiddenFont, DefLight, HiSpeed, Width and TextureId, and aVcBgColorSet
//   "!iii" / aVcBgColorGet "!#iii". Values are stored as single bytes (300
//   gives 44). Without a current record the gets answer the global default
//   record and the sets do nothing. The background get answers 76 76 76
//   until a background colour has been set.
//
//   aDefLight<Value>Set / Get, each also as ...HC: the plain name reaches
//   the current record's table (the global one without a record), the "HC"
//   name always the global table. Mode "!I<1>I" / "!I<1>#I"; for one light
//   (index 0..4, the next argument): Use and Type "I<1>II" / "I<1>I#I",
//   Intensity "I<1>IR" / "I<1>I#D" ("HC": "#R"), SrcPos and DstPos
//   "I<1>IA{3D}" / "I<1>I#A{3D}". An index outside 0..4 fails the call with
//   rangecheck (267), the operands left in place. Integers are kept as
//   doubles and answered truncated.
#ifndef PLUMET_VIEWS_RENDER_H
#define PLUMET_VIEWS_RENDER_H

#include <cstdint>

// The render block, byte by byte, at the start of a settings record's
// visual block and in the global default record.
enum : uint32_t {
  vcShadeMode = 0,
  vcHiddenMode = 1,
  vcHiddenFont = 2,
  vcDefLight = 3,
  vcBgRed = 4,
  vcBgGreen = 5,
  vcBgBlue = 6,
  vcFlags = 7,        // bit 0: a background colour is set
  vcHiSpeed = 8,
  vcWidth = 9,
  vcTextureId = 10,
  vcRenderSize = 11,
};
enum : uint8_t { vcFlagBackground = 0x01, vcNoBackgroundGrey = 76 };

// The light table: doubles in this order (368 bytes in all).
enum : uint32_t {
  vcLightCount = 5,
  vcLightMode = 0,
  vcLightUse = 1,           // + light
  vcLightType = 6,          // + light
  vcLightIntensity = 11,    // + light
  vcLightSource = 16,       // + 3 * light + axis
  vcLightDestination = 31,  // + 3 * light + axis
  vcLightDoubles = 46,
};

// The global default render record (16 bytes, the first 11 used) and the
// global light table. Both are set to their start values by vcRegisterOps.
uint8_t* vcDefaultRec();
double* vcDefLightTable();
// Sets both to their start values: shade mode 1, hidden-line mode 2,
// hidden-line font 2, default light 1, high speed 1, no background; light
// 0 used, type 0, intensity 0.4; light 1 used, type 2, intensity 0.9,
// source (0.25, -1, 0.5); light 2 used, type 2, intensity 0.6, source
// (-0.25, 1, -0.5); all else 0.
void vcResetDefaults();

// One double of a 368-byte light block (which need not be aligned).
double vcLightGet(const uint8_t* block, uint32_t index);
void vcLightPut(uint8_t* block, uint32_t index, double value);

// Makes every new settings record that has no current record to copy from
// start from the global defaults (a document-event hook, added once).
void vcInstallDocDefaults();

// Registers the operators above in their fixed order, sets the defaults,
// and makes every new settings record that has no current record to copy
// from start from the defaults.
void vcRegisterOps();

#endif
