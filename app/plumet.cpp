#include "app/plumet.h"

#include "app/draft.h"
#include "app/hooks.h"
#include "core/abort.h"
#include "core/alloc.h"
#include "core/debug.h"
#include "core/startstate.h"
#include "ui/app.h"
#include "ui/mainloop.h"
#include "ui/ui.h"

#include <cfenv>
#include <cstring>
#include <filesystem>
#include <new>
#include <system_error>

namespace {

constexpr int kMessageQueueLarge = 112;  // two-byte text needs a longer queue
constexpr int kMessageQueueSmall = 32;
constexpr UINT kMsgBringToFront = 1227;

bool mFlag;
uint32_t controlWord = appFpDefault;
uint32_t appliedControlWord;

bool isBlank(char c) { return c == ' ' || c == '\t'; }

char lowerLetter(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

appCommandLine appParseCommandLine(const char* line) {
  appCommandLine out;
  std::string text = line ? line : "";
  if (!text.empty() && text.front() == '"') {
    // Only a matching closing quote is removed with the opening one.
    text.erase(0, 1);
    if (!text.empty() && text.back() == '"') text.pop_back();
  }
  size_t i = 0;
  while (i < text.size() && (isBlank(text[i]) || text[i] == '/' || text[i] == '-')) {
    while (i < text.size() && isBlank(text[i])) ++i;
    if (i >= text.size() || (text[i] != '/' && text[i] != '-')) continue;
    ++i;  // the "/" or "-"
    if (i >= text.size()) break;
    char letter = lowerLetter(text[i++]);
    out.switches |= appSwitchBit(letter);
    if (letter == 'd') out.switches |= appSwitchBit('b');
    if (letter == 'm') out.mFlag = true;
    if (letter == 'i') {
      while (i < text.size() && isBlank(text[i])) ++i;
      if (i < text.size() && (text[i] == ':' || text[i] == '=')) ++i;
      while (i < text.size() && isBlank(text[i])) ++i;
      out.iniGiven = true;
      out.iniName = text.substr(i);  // taken whole, whatever its length
      i = text.size();
    }
  }
  out.rest = text.substr(i);
  return out;
}

bool appAcceptIniName(const std::string& name, std::string* fullPath, std::string* reason) {
  auto refuse = [reason](const char* why) {
    if (reason) *reason = why;
    return false;
  };
  if (name.empty()) return refuse("no file name follows the switch");
  if (name.find_first_of("*?") != std::string::npos) return refuse("the name holds \"*\" or \"?\"");
  std::error_code ec;
  std::filesystem::path path(name);
  if (!std::filesystem::is_regular_file(path, ec)) {
    if (ec == std::errc::filename_too_long) return refuse("the name is too long for the file system");
    // A name that differs from the file on disk only in case is the file.
    std::filesystem::path dir = path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
    std::string wanted = path.filename().string();
    bool found = false;
    for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) {
      std::string have = entry.path().filename().string();
      if (have.size() == wanted.size() && strncasecmp(have.c_str(), wanted.c_str(), have.size()) == 0 &&
          entry.is_regular_file(ec)) {
        path = entry.path();
        found = true;
        break;
      }
    }
    if (!found) return refuse(std::filesystem::exists(path, ec) ? "not a file" : "no such file");
  }
  std::filesystem::path absolute = std::filesystem::absolute(path, ec);
  if (fullPath) *fullPath = ec ? path.string() : absolute.lexically_normal().string();
  return true;
}

std::string appIniRefusalText(const std::string& name, const std::string& reason) {
  // The alert holds 255 characters: a long name is shown by its start and
  // its end, the part left out marked by "...".
  constexpr size_t kShownMax = 110, kShownHead = 40;
  std::string shown = name;
  if (shown.size() > kShownMax)
    shown = name.substr(0, kShownHead) + "..." + name.substr(name.size() - (kShownMax - kShownHead - 3));
  return reason + ": " + shown;
}

std::string appImagePathFor(const std::string& modulePath) {
  std::string path = modulePath;
  if (path.size() >= 4 && strcasecmp(path.c_str() + path.size() - 4, ".exe") == 0) path.resize(path.size() - 4);
  return path + ".FEB";
}

uint32_t appControlWord() { return controlWord; }
uint32_t appAppliedControlWord() { return appliedControlWord; }
void appSetControlWord(uint32_t value) { controlWord = value; }
bool appMFlag() { return mFlag; }
void appSetMFlag(bool on) { mFlag = on; }

void appApplyControlWord() {
  if (mFlag) return;
  appliedControlWord = controlWord & appFpMask;
}

void appSigFpe(int, int code) {
  dbgPrintf("mainFP:Floating point exception fpErr=%x (hex)", static_cast<uint32_t>(code));
  std::feclearexcept(FE_ALL_EXCEPT);
  // Underflow stays masked from now on; setting the bit (rather than adding
  // it) keeps a second underflow from changing other bits.
  if (code == appFpUnderflowCode) controlWord |= appFpUnderflowMasked;
  appApplyControlWord();
}

void appSigIll(int) { dbgPanic("plumet:mainIll> Illegal Instruction:"); }

void appResetStartState() {
  appResetStartValues();
  mFlag = false;
  controlWord = appFpDefault;
  appliedControlWord = 0;
}

int doInit() {
  // No operating-system handlers are installed for floating-point or
  // illegal-instruction faults: traps stay masked, and a handler that
  // returns from a hardware fault would run the faulting instruction again.
  // The abort signal is an exception caught at WinMain's recovery point.
  if ((appHasSwitch('b') || appHasSwitch('d')) && !appHasSwitch('n')) {
    dbgPrintf("[doInit] Floating point exception test: ");
    uint32_t status = static_cast<uint32_t>(std::fetestexcept(FE_ALL_EXCEPT));
    std::feclearexcept(FE_ALL_EXCEPT);
    dbgPrintf("passed [%x]\n", status);
    appApplyControlWord();
  }
  appApplyControlWord();
  draftInit();
  return 1;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
  appInstallHooks();
  if (HWND other = FindWindowA("mpframe", nullptr)) {
    if ((GetVersion() & 0x80000000u) == 0) MessageBoxA(nullptr, "Another copy is already running!", "Korvan", MB_OK);
    PostMessageA(other, kMsgBringToFront, 0, 0);
    return 0;
  }
  appSetInstance(instance);
  for (int size = uiTwoByteMode() ? kMessageQueueLarge : kMessageQueueSmall; size >= 8; size -= 8)
    if (SetMessageQueue(size)) break;

  appCommandLine parsed = appParseCommandLine(commandLine);
  appSetSwitches(parsed.switches);
  if (parsed.mFlag) mFlag = true;
  if (parsed.iniGiven) {
    appSetIniName(parsed.iniName.c_str());
    dbgPrintf("Command Line INI:%s\n", parsed.iniName.c_str());
    std::string full, reason;
    if (appAcceptIniName(parsed.iniName, &full, &reason)) {
      appSetIniName(full.c_str());
    } else {
      dbgPrintf("INI from program name!\n");
      // The user asked for this file: say that it is not the one used.
      uAlert(0, "WThe configuration file given with -i is not used (^0). The default one is used instead.",
             appIniRefusalText(parsed.iniName, reason).c_str());
      appSetSwitches(appSwitches() & ~appSwitchBit('i'));
      appSetIniName(appDefaultIniName);
    }
  }
  appSetCmdLine(parsed.rest.c_str());
  if (appHasSwitch('b')) controlWord = 0;

  // The recovery point: an abort signal is reported and the main loop runs
  // again; when it ends the program closes as usual. Memory refused to the
  // standard library outside the interpreter (a window's message, start-up)
  // takes the program's out-of-memory path here, once the stack is unwound,
  // and ends in the abort signal like any other exhaustion.
  bool recovering = false;
  for (;;) {
    try {
      try {
        if (recovering) evMainLoop();
        else appRun(doInit, instance, previous, appGetCmdLine(), show);
      } catch (const std::bad_alloc&) {
        uOutOfMemory();
      }
      break;
    } catch (const uAbortSignal& abortSignal) {
      char text[16];
      std::snprintf(text, sizeof text, "%x", static_cast<unsigned>(abortSignal.signal));
      uAlert(0, "WTrap: signal = ^0", text);
      std::feclearexcept(FE_ALL_EXCEPT);
      appApplyControlWord();
      recovering = true;
    }
  }
  dbgPrintf("WinMain: Calling Close routines...\n");
  appCallAndExit(appClose);
  return 0;
}
