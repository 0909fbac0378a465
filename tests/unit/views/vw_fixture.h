// Shared by the document, model, sheet, view and work-plane tests: the
// document-settings fixture (graphic objects, groups, layers, the document
// event handler) with the view module set up once, the change events of
// documents, sheets, models, views, planes and view directions recorded,
// and every document closed afterwards.
#ifndef PLUMET_TESTS_VIEWS_VW_FIXTURE_H
#define PLUMET_TESTS_VIEWS_VW_FIXTURE_H

#include "core/ini.h"
#include "draw/gdi.h"
#include "draw/gx.h"
#include "draw/xforms.h"
#include "fe/stack.h"
#include "objects/docvar_fixture.h"
#include "objects/event.h"
#include "ui/app.h"
#include "ui/wind.h"
#include "views/current.h"
#include "views/doc.h"
#include "views/model.h"
#include "views/sheet.h"
#include "views/view.h"
#include "views/vwinit.h"
#include "views/wplane.h"

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace vwfx {

// The change events signalled since the last clear: code and object.
inline std::vector<std::pair<uint32_t, intptr_t>>& changes() {
  static std::vector<std::pair<uint32_t, intptr_t>> list;
  return list;
}
inline void recordChange(uint32_t code, intptr_t object) { changes().emplace_back(code, object); }
// The codes alone, in order.
inline std::vector<uint32_t> changeCodes() {
  std::vector<uint32_t> codes;
  for (const auto& c : changes()) codes.push_back(c.first);
  return codes;
}

using Vec = std::vector<double>;

// Equal within tolerance in every coordinate (a NaN never is).
inline ::testing::AssertionResult near(const Vec& got, const Vec& want, double tolerance = 1e-12) {
  for (size_t i = 0; i < want.size(); ++i)
    if (!(std::fabs(got[i] - want[i]) <= tolerance)) {
      ::testing::AssertionResult failure = ::testing::AssertionFailure();
      failure << "(";
      for (size_t k = 0; k < got.size(); ++k) failure << (k ? ", " : "") << got[k];
      return failure << ") differs at " << i;
    }
  return ::testing::AssertionSuccess();
}

// The frame window and the document-window class, for tests with real
// document windows: started in a scratch folder of its own, stopped (and
// the folder removed) by stop or at the end of the object's life.
class FrameWindow {
public:
  // Starts the frame; false when it could not be made.
  bool start(const char* tag) {
    dir = std::filesystem::temp_directory_path() / (std::string(tag) + "_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string ini = (dir / "TEST.INI").string();
    std::ofstream(ini) << "[Memory]\nReserve=1000\n";
    if (!appInit("", SW_SHOW, appFrameHookNone, nullptr, ini.c_str())) return false;
    windClassInit();
    started = true;
    return true;
  }
  void stop() {
    if (started) {
      windUiTerm();
      appTerm();
      iniShutdown();
      started = false;
    }
    if (!dir.empty()) std::filesystem::remove_all(dir);
    dir.clear();
  }
  ~FrameWindow() { stop(); }

private:
  std::filesystem::path dir;
  bool started = false;
};

class VwTest : public docvarfx::DocVarTest {
protected:
  void SetUp() override {
    DocVarTest::SetUp();
    // Earlier tests may have reset the platform: the drawing layer's cached
    // pens, brushes and windows are made again.
    gxTerm();
    gdiTerm();
    gxInit();
    gdiInit();
    if (!execfx::defined("aNewDoc")) vwInit();
    vwInstallHooks();
    changes().clear();
    evtAdd(0xFF000000u, 0x01000000u, recordChange);
  }
  // Message 107 to any record of these classes: the answer and the value
  // as "==" prints it.
  static int get(void* record, const char* key, std::string* text = nullptr) {
    feObject k = gobjfx::name(key), v;
    feMakeNull(&v);
    const uint16_t id = static_cast<feObjRecord*>(record)->classId;
    const int answer = objMeth(id, 107, record, reinterpret_cast<intptr_t>(&k), reinterpret_cast<intptr_t>(&v));
    if (text) *text = gobjfx::print(v);
    feFree(&v);
    return answer;
  }
  // Message 108 with a value (released afterwards).
  static int set(void* record, const char* key, feObject value) {
    feObject k = gobjfx::name(key);
    const uint16_t id = static_cast<feObjRecord*>(record)->classId;
    const int answer = objMeth(id, 108, record, reinterpret_cast<intptr_t>(&k), reinterpret_cast<intptr_t>(&value));
    feFree(&value);
    return answer;
  }
  // Runs FE text: its error code, or the operand stack as "==" prints it
  // (the stack is emptied).
  static std::string eval(const char* source) {
    const int rc = feExecString(source);
    std::string result = rc ? std::to_string(rc) : execfx::operands();
    feStackClear(*feOperandStack());
    return result;
  }
  static feObject integer(int32_t i) { return execfx::integer(i); }
  static feObject real(double d) { return execfx::real(d); }
  static feObject boolean(bool b) {
    feObject v;
    feMakeBool(&v, b ? 1 : 0);
    return v;
  }
  static feObject text(const char* s) {
    feObject v;
    feMakeString(&v, s, std::char_traits<char>::length(s));
    return v;
  }

  void TearDown() override {
    docResetAll();
    vwCurReset();
    vwSetViewHooks(nullptr);
    vwSetCurRecords(nullptr);
    changes().clear();
    DocVarTest::TearDown();
  }
};

}  // namespace vwfx

#endif
