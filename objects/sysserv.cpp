// Small system services of the scripts: the drawing port, system icons, the
// colour dialog and its custom colours, yes/no questions, the
// configuration messages, corner ordering and the 3-D flag.
#include "core/alloc.h"
#include "core/debug.h"
#include "core/errors.h"
#include "objects/scriptsvc.h"
#include "objects/uphooks.h"
#include "ui/app.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

enum { kCustomCount = 16, kProgramIcon = 200 };

uint32_t customs[kCustomCount];
std::vector<std::string> configMessages;

int32_t* intOut(feArgs* args, int slot) { return static_cast<int32_t*>(args->out[slot]); }

std::string textOf(const feArgText& text) { return std::string(text.text, size_t(text.length)); }

// Three 16-bit components from a colour (each 8-bit value times 256) and
// back (divided by 256, kept inside 0-255).
void componentsOf(uint32_t color, int32_t out[3]) {
  out[0] = int32_t(GetRValue(color)) * 256;
  out[1] = int32_t(GetGValue(color)) * 256;
  out[2] = int32_t(GetBValue(color)) * 256;
}
uint8_t byteOf(int32_t component) { return uint8_t(std::clamp(component / 256, 0, 255)); }
uint32_t colorOf(const int32_t c[3]) { return RGB(byteOf(c[0]), byteOf(c[1]), byteOf(c[2])); }

int32_t iconAnswer(HICON icon) {
  return icon ? int32_t(reinterpret_cast<intptr_t>(icon)) : -1;
}

}  // namespace

uint32_t* customColors() { return customs; }

void configMesgAdd(const char* text, size_t length) { configMessages.emplace_back(text, length); }
size_t configMesgCount() { return configMessages.size(); }
void configMesgReset() { configMessages.clear(); }

// "!".
int aSetPortOp(feArgs*) {
  objSetPortToCurrentView();
  return 0;
}

// "S#I": the program's own icon of that name, else the named system icons.
int aSystemIconOp(feArgs* args) {
  const std::string name = textOf(args->in[0].text);
  HICON icon = LoadIconA(appInstance(), name.c_str());
  if (!icon) {
    if (name == "icon")
      icon = LoadIconA(appInstance(), MAKEINTRESOURCEA(kProgramIcon));
    else if (name == "stop")
      icon = LoadIconA(nullptr, IDI_HAND);
    else if (name == "note")
      icon = LoadIconA(nullptr, IDI_ASTERISK);
    else if (name == "warn" || name == "caution")
      icon = LoadIconA(nullptr, IDI_EXCLAMATION);
  }
  *intOut(args, 0) = iconAnswer(icon);
  return 0;
}

// Get "i<0>I#A{iii}" and set "i<1>IA{iii}": both refuse an index outside
// 0-15 with 267.
int aCustomColorOp(feArgs* args) {
  const int32_t index = args->in[1].i;
  if (index < 0 || index >= kCustomCount) return feErrRangeCheck;
  if (args->in[0].i == 0)
    componentsOf(customs[index], intOut(args, 0));
  else
    customs[index] = colorOf(static_cast<const int32_t*>(args->in[2].block));
  return 0;
}

// "!A{II}SA{iii}#A{iii}B": position, title, initial colour -> the colour
// chosen (the initial one after a cancel) and whether it was confirmed.
int aPickColorOp(feArgs* args) {
  const auto* initial = static_cast<const int32_t*>(args->in[2].block);
  CHOOSECOLORA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = appGetFrameWindow();
  dialog.rgbResult = colorOf(initial);
  dialog.lpCustColors = reinterpret_cast<COLORREF*>(customs);
  dialog.Flags = CC_RGBINIT | CC_FULLOPEN;
  const BOOL chosen = ChooseColorA(&dialog);
  componentsOf(chosen ? dialog.rgbResult : colorOf(initial), intOut(args, 0));
  *intOut(args, 1) = chosen ? 1 : 0;
  return 0;
}

// "!S#B": true when the user answered No.
int aQuestionOp(feArgs* args) {
  *intOut(args, 0) = uAskYesNo(0, textOf(args->in[0].text).c_str()) ? 1 : 0;
  return 0;
}

// "!S".
int aConfigMesgOp(feArgs* args) {
  configMesgAdd(args->in[0].text.text, size_t(args->in[0].text.length));
  return 0;
}

// "!#Si": every message followed by a carriage return, and the count.
int aGetConfigMesgOp(feArgs* args) {
  std::string joined;
  for (const std::string& m : configMessages) joined += m + '\r';
  auto* out = static_cast<feArgText*>(args->out[0]);
  char* copy = static_cast<char*>(uAlloc(nullptr, nullptr, uint32_t(joined.size() + 1), 1));
  if (!copy) return feErrLimitCheck;
  std::memcpy(copy, joined.data(), joined.size());
  out->text = copy;
  out->length = int32_t(joined.size());
  *intOut(args, 1) = int32_t(configMessages.size());
  return 0;
}

// "!IIII#IIII".
int aBoxOrderOp(feArgs* args) {
  const int32_t x0 = args->in[0].i, y0 = args->in[1].i, x1 = args->in[2].i, y1 = args->in[3].i;
  *intOut(args, 0) = std::min(x0, x1);
  *intOut(args, 1) = std::min(y0, y1);
  *intOut(args, 2) = std::max(x0, x1);
  *intOut(args, 3) = std::max(y0, y1);
  return 0;
}

// "!#B".
int aFlag3DOp(feArgs* args) {
  *intOut(args, 0) = 1;
  return 0;
}
