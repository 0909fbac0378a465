#include "app/draft.h"

#include "app/hooks.h"
#include "app/plumet.h"
#include "core/debug.h"
#include "core/ini.h"
#include "core/modulepath.h"
#include "core/proginfo.h"
#include "core/startstate.h"
#include "core/units.h"
#include "core/xlate.h"
#include "draw/csys.h"
#include "draw/gdi.h"
#include "draw/gx.h"
#include "fe/dict.h"
#include "fe/error.h"
#include "fe/exec.h"
#include "fe/expeval.h"
#include "fe/generic.h"
#include "fe/ini_ops.h"
#include "fe/init.h"
#include "fe/names.h"
#include "fe/newbio.h"
#include "fe/operator.h"
#include "fe/script.h"
#include "fe/units_ops.h"
#include "fe/xlate_ops.h"
#include "geometry/curve.h"
#include "geometry/lastpt.h"
#include "objects/arrow.h"
#include "objects/attrnames.h"
#include "objects/ctab.h"
#include "objects/defobj.h"
#include "objects/docvar.h"
#include "objects/errnames.h"
#include "objects/gobject.h"
#include "objects/hitrad.h"
#include "objects/layer.h"
#include "objects/lnfont.h"
#include "objects/nearprobe.h"
#include "objects/objops.h"
#include "objects/pen.h"
#include "objects/progdict.h"
#include "objects/scriptsvc.h"
#include "objects/selsource.h"
#include "objects/sieve.h"
#include "objects/units_doc.h"
#include "objects/vertex.h"
#include "tools/ieengine.h"
#include "tools/ietool.h"
#include "tools/trackclip.h"
#include "tools/trkpoint.h"
#include "ui/attn.h"
#include "ui/event.h"
#include "ui/ui.h"
#include "ui/wind.h"
#include "views/doc.h"
#include "views/grid.h"
#include "views/print.h"
#include "views/render.h"
#include "views/vwevent.h"
#include "views/vwframe.h"
#include "views/vwinit.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

namespace {

void progInfoInitModule() { progInfoInit(); }

// The evaluator takes the decimal separator of the regional settings, and
// displayed numbers use the one it settled on.
void expEvalInitModule() {
  expEvalInit(char(uiSysQuery(101, 0)));
  unitSetDecimalSep(expDecimalSeparator());
}

// The graphic object class and its default-object operators.
void gobjInitModule() {
  gobjInit(0);
  // The curve classes (curve, line, point) stand under the graphic object;
  // construction lines reach the tools' clipping through a hook.
  crvInit(gobjClassId());
  trackClipInit();
  gobjOpsInit();
}

// The tracking set-up: the point calculator, the point-input operators,
// the object sources and their hooks, then the input engine.
void trkInitModule() { trkInit(); }

// The tool input loop's operators.
void ieToolInitModule() { ieToolInit(); }

// The document and view module with its printing.
void vwInitModule() {
  vwInit();
  printOpsInit();
  // View frames draw only their bounds on a printed page.
  vwSetFramePrintingQuery(vwIsPrinting);
}

// Documents' grids, which are not drawn on printed pages.
void gridInitStartup() {
  gridInitModule();
  gridSetPrintingSource(vwIsPrinting);
}

enum { kTimingSamples = 8 };

// The module set-ups in their fixed order. Those of subsystems not built yet
// have no routine: they are named here so that the order stays visible and
// each takes its place when its subsystem arrives.
const draftModule kModules[] = {
    {"feutilInit", 1, feutilInit},
    {"transInit", 1, transInit},
    {"progInfoInit", 2, progInfoInitModule},
    {"errNamesInit", 2, errNamesInit},
    {"hitRadInit", 2, hitRadInit},
    {"objOpsInit", 3, objOpsInit},
    {"attrNamesInit", 4, attrNamesInit},
    {"cTabInit", 4, cTabInit},
    {"layerInit", 4, layerInit},
    {"gobjInit", 4, gobjInitModule},
    {"vertexInit", 4, vertexInit},
    {"gridInit", 5, gridInitStartup},
    {"csysInit", 5, csysInit},
    {"penLoadDefaults", 5, penLoadDefaults},
    {"sieveInit", 5, sieveInit},
    {"trkInit", 5, trkInitModule},
    {"vwInit", 5, vwInitModule},
    {"nearInit", 5, nearInit},
    {"vcRegisterOps", 6, vcRegisterOps},
    {"selInit", 6, selInit},
    {"unitsInit", 6, unitsInit},
    {"chamferInit", 6, nullptr},
    {"filletInit", 6, nullptr},
    {"trimInit", 6, nullptr},
    {"arrowInit", 7, arrowInit},
    {"expEvalInit", 7, expEvalInitModule},
    {"ptSelInit", 7, nullptr},
    {"undoInit", 7, undoInit},
    {"docVarInit", 7, docVarInit},
    {"traceInit", 7, nullptr},
    {"polySelInit", 7, nullptr},
    {"ieToolInit", 8, ieToolInitModule},
    {"subdivInit", 8, nullptr},
    {"arcTrackInit", 8, nullptr},
    {"areaInit", 9, nullptr},
    {"hatchInit", 9, nullptr},
    {"fillInit", 9, nullptr},
    {"daInit", 9, nullptr},
    {"pictInit", 10, nullptr},
    {"gdtInit", 10, nullptr},
    {"lnEditPicInit", 10, nullptr},
    {"volumeInit", 10, nullptr},
    {"resolveInit", 11, nullptr},
    {"lnfontInit", 12, lnfontInit},
};
constexpr size_t kModuleCount = sizeof kModules / sizeof kModules[0];
// Groups up to this one run before the search path is set up; the last
// group (lnfontInit) is not followed by a poll.
constexpr int kGroupsBeforePath = 3;
constexpr int kLastPolledGroup = 11;

uint16_t pictureNumber;
uint32_t samples[kTimingSamples];
bool sourceMode;
bool startingUp;
bool startFailed;

// Marks the start-up phase for the lifetime of draftInit; a draftInit left
// before its end (an early return sets the failure itself; an exception)
// counts as failed, as does any error report made meanwhile.
class StartupPhase {
 public:
  StartupPhase() : reports_(feErrorReportCount()) {
    startingUp = true;
    startFailed = false;
  }
  ~StartupPhase() {
    startingUp = false;
    if (!completed_ || feErrorReportCount() != reports_) startFailed = true;
  }
  void complete() { completed_ = true; }

 private:
  uint32_t reports_;
  bool completed_ = false;
};

void sample(int n) { samples[n] = uTicks(); }

// The Escape/Pause poll between groups: either key ends the program.
void poll() {
  if (!evCheckAttn()) return;
  bootWinShow(0);
  std::exit(0);
}

void runGroups(int first, int last, bool polled = true) {
  for (int group = first; group <= last; ++group) {
    for (const draftModule& m : kModules)
      if (m.group == group && m.init) m.init();
    if (polled && group <= kLastPolledGroup) poll();
  }
}

// The compiled image beside the program: its path with ".FEB" for ".exe".
std::string programImagePath() { return appImagePathFor(uModulePath()); }

uint32_t startModifiers() {
  uint32_t mods = 0;
  aCurMod(&mods);
  mods &= 0xFF;
  if ((GetKeyState(VK_LBUTTON) | GetKeyState(VK_RBUTTON) | GetKeyState(VK_MBUTTON)) & 0x8000) mods |= 0x100;
  return mods;
}

// Sets up aFEPath: {} when Shift is held, else a procedure that prefixes its
// argument with the search directory; in source mode then reads the
// language file.
void setupSearchPath(uint32_t modifiers) {
  feExecf("/aFEPath {} def");
  if (modifiers & 0x2) return;
  std::string dir = draftFEPathDir();
  fePushString(dir.data(), dir.size());
  feExecf("/aFEPath exch def /aFEPath {//aFEPath exch aCat} def");
  if (!sourceMode) return;
  std::string lang;
  if (iniCurrent()) iniGetString(iniCurrent(), "Defaults", "LangFile", &lang);
  if (lang.empty()) {
    std::string name = draftFindNoCase(dir, "lang.fe");
    feExecf("(%s) aFEPath", name.c_str());
  } else {
    fePushString(lang.data(), lang.size());
  }
  if (feExecf("aTransRun") != 0) {
    startFailed = true;
    feExecf("$error:ostack ==");
  }
}

}  // namespace

const draftModule* draftModules(size_t* count) {
  if (count) *count = kModuleCount;
  return kModules;
}

int feInit(const char* path) {
  if (!path) return feInitFresh();
  int result = feInitFromImage(path);
  if (result == 270) {
    uAlert(0, "FInsufficient memory to load", nullptr);
  } else if (result != 0) {
    char code[16];
    std::snprintf(code, sizeof code, "%d", result);
    uAlert(0, "WCannot find or read *.FEB file [^0]", code);
  }
  return result;
}

int feRunStart() {
  feObject key{};
  if (feMakeName(&key, "start", 5) != 0) return 0;
  feObject proc{};
  int result = 0;
  if (feLoad(&key, &proc) == 0) {
    result = feExecObject(&proc);
    feFree(&proc);
    // The run itself reports nothing: the error recorded in $error goes to
    // handleerror now (which prints a report only once per error).
    if (result != 0) feExecf("handleerror");
  }
  feFree(&key);
  return result;
}

void feutilInit() {
  uiInit();
  // The GDI resources belong with the user-interface layer's start.
  gdiInit();
  iniRegisterOps();
  scriptRegisterOps(unitScriptConverters());
}

std::string draftFEPathDir() {
  std::string dir;
  if (iniCurrent()) iniGetString(iniCurrent(), "Defaults", "FEPath", &dir);
  if (dir.empty()) dir = uModuleDirectory();
  // A directory given without its final separator still prefixes names.
  if (!dir.empty() && dir.back() != '/' && dir.back() != '\\') dir += '/';
  return dir;
}

std::string draftFindNoCase(const std::string& dir, const std::string& name) {
  std::error_code ec;
  std::filesystem::path base(dir.empty() ? "." : dir);
  if (std::filesystem::exists(base / name, ec)) return name;
  for (const auto& entry : std::filesystem::directory_iterator(base, ec)) {
    std::string have = entry.path().filename().string();
    if (have.size() == name.size() && strncasecmp(have.c_str(), name.c_str(), have.size()) == 0) return have;
  }
  return name;
}

bool draftSourceMode() { return sourceMode; }

bool draftStartingUp() { return startingUp; }
bool draftStartFailed() { return startFailed; }

const uint32_t* draftTimingSamples() { return samples; }

void draftInit() {
  StartupPhase phase;
  // 1: the first sample, the image path, the modifiers.
  pictureNumber = 0;
  std::memset(samples, 0, sizeof samples);
  sample(0);
  std::string imagePath = programImagePath();
  uint32_t modifiers = startModifiers();
  gxInit();
  sample(1);

  // 2: the interpreter, from the image unless switch f asks for the sources.
  if (appHasSwitch('f')) {
    if (feInit(nullptr) != 0) startFailed = true;
    dbgPrintf("[draftInit] modifiers=%lx\n", modifiers);
    sourceMode = true;
  } else {
    bootWinShow(pictureNumber + 256);
    sourceMode = feInit(imagePath.c_str()) != 0;
  }
  sample(2);

  // 3: the first groups, then the search path and the language file (4).
  poll();
  runGroups(1, kGroupsBeforePath);
  setupSearchPath(modifiers);
  sample(3);

  // 5: the remaining module set-ups.
  runGroups(kGroupsBeforePath + 1, kModules[kModuleCount - 1].group);
  sample(4);

  // 6: the start-up script.
  if (sourceMode) {
    bootWinShow(0);
    dbgPrintf("[draft] draftInit: (draft.fe) run [start]\n");
    std::string name = draftFindNoCase(draftFEPathDir(), "draft.fe");
    int result = feExecf("(%s) aFEPath dup == run", name.c_str());
    dbgPrintf("[draft] draftInit: (draft.fe) run [e n d]\n");
    if (result == 271 || result == 272) {
      uAlert(3, "SCannot find '^0'.", "draft.fe");
      startFailed = true;
      phase.complete();
      return;
    }
    if (result != 0) {
      uAlert(104, "WError reading startup file.", "draft.fe");
      startFailed = true;
      phase.complete();
      return;
    }
  } else {
    uint8_t first = 0, second = 0;
    if (xlateStartupQuery(&first, &second) != 0 || (modifiers & 0x100)) {
      bootWinShow(0);
      bootWinShow(pictureNumber + 256);
    }
  }

  // 7: operators registered from now on are defined under their names; the
  // icon array; "start".
  feSetOpDefining(true);
  feExecf("aIconArray1 length aSetIconArrayLength");
  sample(5);
  if (feRunStart() != 0) startFailed = true;
  imagePath.clear();
  bootWinShow(0);
  sample(6);

  // 8: the timing line.
  if (dbgFlags()) {
    sample(7);
    MessageBeep(0);
    dbgPrintf("total time=%g ", static_cast<double>(samples[7] - samples[0]) / 60.0);
    for (int i = 1; i < kTimingSamples; ++i)
      dbgPrintf("%c%g", i == 1 ? '[' : ',', static_cast<double>(samples[i] - samples[i - 1]) / 60.0);
    dbgPrintf("]\n");
  }
  phase.complete();
}

int draftInitForScripts() {
  appInstallHooks();
  gxInit();
  const int result = feInit(nullptr);
  runGroups(1, kModules[kModuleCount - 1].group, false);
  return result;
}

void draftExit() {
  // The engine and the tool loop hold script values and use counts.
  ieEngineReset();
  ieToolReset();
  // The scripts' event handlers and configuration messages are values.
  scriptEvtReset();
  configMesgReset();
  docResetAll();
  crvExit();
  gdiTerm();
  gxTerm();
  uiTerm();
  // The translation table and the texts it collected (the templates were
  // written at quit).
  xlateRelease();
}

void appClose() {
  draftExit();
  dbgTerm();
}

