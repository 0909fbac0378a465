// Shared by the document, model, sheet, view and work-plane tests: the
// document-settings fixture (graphic objects, groups, layers, the document
// event handler) with the view module set up once, the change events of
// documents, sheets, models, views, planes and view directions recorded,
// and every document closed afterwards.
#ifndef PLUMET_TESTS_VIEWS_VW_FIXTURE_H
#define PLUMET_TESTS_VIEWS_VW_FIXTURE_H

#include "objects/docvar_fixture.h"
#include "tools/event.h"
#include "views/current.h"
#include "views/doc.h"
#include "views/model.h"
#include "views/sheet.h"
#include "views/view.h"
#include "views/vwinit.h"
#include "views/wplane.h"
#include "views/xforms.h"

#include <cstdint>
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

class VwTest : public docvarfx::DocVarTest {
protected:
  void SetUp() override {
    DocVarTest::SetUp();
    if (!execfx::defined("aNewDoc")) vwInit();
    vwInstallHooks();
    changes().clear();
    evtAdd(0xFF000000u, 0x01000000u, recordChange);
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
