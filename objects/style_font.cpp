// The font ids of character styles, through the service the text module
// installs. Without it no font is known.
#include "objects/style.h"
#include "objects/style_internal.h"

namespace {

styleFontHooks hooks;
bool installed;

}  // namespace

void styleSetFontHooks(const styleFontHooks* given) {
  installed = given != nullptr;
  hooks = given ? *given : styleFontHooks{};
}

int32_t styleFontFind(const char* name, uint32_t length) {
  if (!installed || !hooks.find || !name) return -1;
  uint32_t id = 0xFFFFFFFFu;
  hooks.find(name, length, &id);
  // Ids that do not fit the style's 16-bit field are not fonts either.
  if (id >= styleNoFont) return -1;
  return int32_t(id);
}

void styleFontRef(uint16_t id) {
  if (id != styleNoFont && installed && hooks.ref) hooks.ref(id);
}

void styleFontUnref(uint16_t id) {
  if (id != styleNoFont && installed && hooks.unref) hooks.unref(id);
}
