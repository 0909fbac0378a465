// The script operators of the sheet windows' events.
#include "views/vwevent.h"

#include "core/alloc.h"
#include "core/debug.h"
#include "fe/opcall.h"
#include "views/current.h"

#include <cstring>

int vwOpPostMesgEvent(feArgs* args) {
  if (args->in[0].i != 0) {
    uAlert(0, "TaPostEvent: unimplemented", nullptr);
    return 0;
  }
  // The pending paint of the drawing window is processed now.
  if (HWND window = vwActiveSheetWindow()) UpdateWindow(window);
  return 0;
}

int vwOpPullString(feArgs* args) {
  const feArgText& in = args->in[0].text;
  auto* out = static_cast<feArgText*>(args->out[0]);
  if (in.length <= 0) return 0;
  char* copy = uAlloc<char>(nullptr, nullptr, uint32_t(in.length) + 1, 1);
  std::memcpy(copy, in.text, size_t(in.length));
  out->text = copy;
  out->length = in.length;
  return 0;
}
