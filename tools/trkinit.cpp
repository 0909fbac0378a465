// The point-input set-up: the calculator, the 13 point-input operators,
// the object sources "last" and "current", the hooks through which the
// object model, the drawing classes, the feedback and the sheet windows
// reach point input, then the input engine.
#include "tools/trkpoint.h"

#include "tools/trk_internal.h"

#include "fe/operator.h"
#include "geometry/lastpt.h"
#include "geometry/trackstep.h"
#include "objects/docvar_sheet.h"
#include "objects/group.h"
#include "objects/objrecord.h"
#include "tools/ieengine.h"
#include "tools/ietool.h"
#include "tools/snapkeys.h"
#include "tools/track.h"
#include "views/vwevent.h"
#include "views/vwtrack.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

// A pixel given as a number: the nearest whole pixel, held within the
// 32-bit range (a NaN reads as 0).
int pixelOf(double v) {
  if (!(v == v)) return 0;
  return int(std::clamp(std::round(v), double(INT_MIN), double(INT_MAX)));
}

// "!A{DD}S#AP{3D}".
int opAutoHandler(feArgs* args) {
  const auto* pixel = static_cast<const double*>(args->in[0].block);
  const feArgText& codes = args->in[1].text;
  trkAutoSnap(pixelOf(pixel[0]), pixelOf(pixel[1]), codes.text, codes.length, static_cast<double*>(args->out[0]));
  return 0;
}

// The line class's tracking step writes its adjusted start back into a
// context that holds one entered point.
void setSingleEntered(void* context, const double p[3]) {
  auto* c = static_cast<trackContext*>(context);
  if (!c || c->enteredCount != 1 || !c->entered || !p) return;
  // The context does not own its points, but they are writable storage: the
  // sheet record's entered points or the tool's snap list.
  auto* target = const_cast<double*>(c->entered[0]);
  std::copy(p, p + 3, target);
}

// Event 19 of a sheet window ends the command as aCmdEnd does.
void commandEndFromView() { trk::opCmdEnd(nullptr); }

struct OpSpec {
  const char* name;
  feOpHandler handler;
  const char* signature;
};

const OpSpec kOps[] = {
    {"aAuto", opAutoHandler, "!A{DD}S#AP{3D}"},
    {"aLineTrack", trk::opLineTrack, "A{II}I"},
    {"aStartPoint", trk::opEnteredPoint, "I<0>#AP{3D}"},
    {"aIndexPoint", trk::opEnteredPoint, "I#AP{3D}"},
    {"aCurPoint", trk::opEnteredPoint, "I<-1>#AP{3D}"},
    {"aPointCount", trk::opPointCount, "!#I"},
    {"aNewCurrent", trk::opNewCurrent, "!"},
    {"aMakeCurrent", trk::opMakeCurrent, "!Q[gobject]"},
    {"aAddStartPoint", trk::opAddStartPoint, "!AP{3D}"},
    {"aAddLine", trk::opAddLine, "!IAP{3D}"},
    {"aLineBackup", trk::opLineBackup, "!"},
    {"aCmdEnd", trk::opCmdEnd, "!"},
    {"aTrackPoint", trk::opTrackPoint, "!A{II}#AP{3D}"},
};

// The tool's tracked points for the views' tracking (aView).
int trackedPoints(double (*out)[3], int max) {
  ieToolPoint* buffer = nullptr;
  int count = 0;
  ieGetPointBuffer(&buffer, &count);
  if (count > max) count = max;
  for (int i = 0; i < count; ++i) std::copy(buffer[i].point, buffer[i].point + 3, out[i]);
  return count;
}

void clearSharedFeedback() { trackClearFeedback(trkSharedContext()); }

}  // namespace

void trkInstallHooks() {
  objSetDetachHook(trkRemoveObject);
  static const trkStepHooks hooks = {trkNearestOnObject, snapCodesForKey, trackDrawLabel, setSingleEntered};
  trkStepSetHooks(&hooks);
  trackSetMarkHook(trkMarkDraw);
  vwSetCmdEndHook(commandEndFromView);
  static const vwTrackHooks viewTracking = {ieCursorOff, trackedPoints, clearSharedFeedback};
  vwSetTrackHooks(&viewTracking);
}

int trk::registerOps() {
  int first = 0;
  const uintptr_t instance = reinterpret_cast<uintptr_t>(GetModuleHandleA(nullptr));
  for (const OpSpec& op : kOps) {
    const int rc = feRegisterOp(op.name, op.handler, op.signature, 0, instance);
    if (rc && !first) first = rc;
  }
  grpDefine("last", trk::enumLast, 0);
  grpDefine("current", trk::enumCurrent, 0);
  return first;
}

int trkInit() {
  int first = calcInit();
  dbSheetRec* sheet = trk::sheet();
  if (sheet) std::fill(sheet->endDirection, sheet->endDirection + 3, 0.0);
  if (const int rc = trk::registerOps(); rc && !first) first = rc;
  trkInstallHooks();
  const int engine = ieInit();
  return first ? first : engine;
}
