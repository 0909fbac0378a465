// The line operators' fixture: FE text run with arguments, and the lines of
// a group value.
#ifndef PLUMET_TESTS_LINE_OPS_FIXTURE_H
#define PLUMET_TESTS_LINE_OPS_FIXTURE_H

#include "geometry_fixture.h"

#include "fe/script.h"
#include "geometry/line.h"
#include "objects/group.h"

#include <cstring>
#include <vector>

namespace lineopsfx {

class LineOps : public geomfx::GeomTest {
protected:
  void SetUp() override {
    GeomTest::SetUp();
    previousClip = lineSetClipHook(nullptr);
  }
  void TearDown() override {
    lineSetClipHook(previousClip);
    lineSetPhaseScaling(0);
    for (feObject& value : values) feFree(&value);
    values.clear();
    GeomTest::TearDown();
  }
  // Runs FE text with the arguments pushed first; the value on top (kept
  // until the end of the test), or null with the error in *rc.
  const feObject* run(const char* source, std::vector<feObject> args = {}, int* rc = nullptr) {
    feObject result;
    const int answer = feCallScript(source, std::strlen(source), false, args.data(), int32_t(args.size()), &result);
    for (feObject& a : args) feFree(&a);
    if (rc) *rc = answer;
    if (answer != 0) return nullptr;
    values.push_back(result);
    return &values.back();
  }
  static glist* groupOf(const feObject* value) {
    void* record = nullptr;
    EXPECT_EQ(feGetObjRef(value, "group", &record), 0);
    return static_cast<glist*>(record);
  }
  static std::vector<lineRec*> lines(const glist* group) {
    std::vector<lineRec*> all;
    grpForEach(group, [](gobjRec* m, void* c) {
      static_cast<std::vector<lineRec*>*>(c)->push_back(reinterpret_cast<lineRec*>(m));
      return 0;
    }, &all);
    return all;
  }
  // A group value of new lines (the group owns them).
  static feObject groupValue(std::vector<std::vector<double>> ends) {
    grpBegin();
    for (size_t i = 0; i + 1 < ends.size(); i += 2) grpAdd(lineMake(ends[i].data(), ends[i + 1].data()));
    feObject v;
    feMakeObjRef(&v, grpEnd());
    return v;
  }
  std::vector<feObject> values;
  lineClipFn previousClip = nullptr;
};

}  // namespace lineopsfx

#endif
