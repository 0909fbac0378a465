// ChooseColorA, answered headless: the next queued answer, else an accept of
// the colour shown (rgbResult with CC_RGBINIT, else black). The custom
// colours are left as they are.
#include "printer.h"

#include <platform_test.h>

#include <deque>

namespace {

struct ColorAnswer {
  bool accept;
  COLORREF color;
};
std::deque<ColorAnswer> answers;
int shown = 0;

}  // namespace

namespace pl::printing {
void resetColorDialog() {
  answers.clear();
  shown = 0;
}
}  // namespace pl::printing

extern "C" BOOL WINAPI ChooseColorA(LPCHOOSECOLORA lpcc) {
  using pl::printing::setDialogError;
  if (!lpcc || lpcc->lStructSize != sizeof(CHOOSECOLORA)) {
    setDialogError(CDERR_STRUCTSIZE);
    return FALSE;
  }
  if (!lpcc->lpCustColors) {
    setDialogError(CDERR_INITIALIZATION);
    return FALSE;
  }
  setDialogError(0);
  ++shown;
  ColorAnswer answer{true, (lpcc->Flags & CC_RGBINIT) ? lpcc->rgbResult : 0};
  if (!answers.empty()) {
    answer = answers.front();
    answers.pop_front();
  }
  if (!answer.accept) return FALSE;
  lpcc->rgbResult = answer.color & 0x00FFFFFF;
  return TRUE;
}

void plTestQueueColorAnswer(bool accept, COLORREF color) { answers.push_back(ColorAnswer{accept, color}); }
int plTestColorDialogsShown() { return shown; }
