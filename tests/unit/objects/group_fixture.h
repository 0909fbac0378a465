// Shared by the group tests: the graphic-object fixture with the group
// module set up, numbered tpoints (pt1's x is the number) held by the
// fixture, and groups read back as the numbers of their members.
#ifndef PLUMET_TESTS_OBJECTS_GROUP_FIXTURE_H
#define PLUMET_TESTS_OBJECTS_GROUP_FIXTURE_H

#include "fe/stack.h"
#include "objects/gobject_fixture.h"
#include "objects/group.h"
#include "objects/groupops.h"

#include <initializer_list>
#include <string>
#include <vector>

namespace grpfx {

class GroupTest : public gobjfx::GobjTest {
protected:
  void SetUp() override {
    GobjTest::SetUp();
    grpInit();
    // Another suite may have set the module up before the interpreter was.
    if (!execfx::defined("aSetUnion"))
      for (const char* name : {"aCount", "aTypeCount", "aTypeCountR", "aGList", "aSetEmpty", "aGListNot",
                               "aSetNot", "aSetUnion", "aSetIntesect", "aSetCompare", "aSignature",
                               "aGListRmLocked", "aSelected", "aPtSelected", "aAll"}) {
        const feOpSpec* spec = grpOpSpec(name);
        feRegisterOp(spec->name, spec->handler, spec->signature, 0, 0);
      }
  }
  void TearDown() override {
    for (glist* g : groups) grpRelease(&g);
    groups.clear();
    for (gobjRec* o : held) objRelease(&o);
    held.clear();
    GobjTest::TearDown();
  }

  // A new tpoint numbered n, held by the fixture.
  gobjRec* point(double n) {
    auto* p = reinterpret_cast<gobjfx::tptRec*>(objNew(tpoint()));
    p->pt1[0] = n;
    objRetain(&p->head);
    held.push_back(&p->head);
    return &p->head;
  }
  std::vector<gobjRec*> points(int n) {
    std::vector<gobjRec*> list;
    for (int i = 1; i <= n; ++i) list.push_back(point(i));
    return list;
  }

  // A group of the members, released after the test (a test that hands it to
  // a script value retains it first).
  glist* group(const std::vector<gobjRec*>& members) { return keep(build(members)); }
  static glist* build(const std::vector<gobjRec*>& members) {
    grpBegin();
    for (gobjRec* m : members) grpAdd(m);
    return grpEnd();
  }
  glist* keep(glist* g) {
    groups.push_back(g);
    return g;
  }

  // The numbers of the members in visiting order, separated by blanks.
  static std::string numbers(const glist* g) {
    std::string text;
    grpForEach(g, [](gobjRec* m, void* context) {
      auto* t = static_cast<std::string*>(context);
      if (!t->empty()) *t += ' ';
      *t += std::to_string(int(reinterpret_cast<gobjfx::tptRec*>(m)->pt1[0]));
      return 0;
    }, &text);
    return text;
  }

  // A script value of a group (the value holds the group's reference).
  static feObject value(glist* g) {
    feObject v;
    feMakeObjRef(&v, g);
    return v;
  }
  static void push(feObject v) { fePush(feOperandStack(), &v); }
  // Pops the top operand (the caller frees it).
  static feObject pop() {
    feObject v;
    fePop(*feOperandStack(), &v);
    return v;
  }
  static glist* groupOf(const feObject& v) { return feType(&v) == feTObject ? static_cast<glist*>(v.w0.obj) : nullptr; }

  std::vector<gobjRec*> held;
  std::vector<glist*> groups;
};

}  // namespace grpfx

#endif
