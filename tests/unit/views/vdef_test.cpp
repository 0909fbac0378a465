// View directions: the standard set, adding and naming, removing and
// closing, finding by title and by direction, the keys with their locks and
// plane coordinates, the copy made from the current view, copying with a
// document, and the operators.
#include "views/vdef.h"

#include "sheet_fixture.h"

#include "core/debug.h"
#include "fe/arrays.h"
#include "fe/script.h"
#include "objects/objmsg.h"
#include "views/doc.h"

#include <cmath>
#include <string>
#include <vector>

namespace {

using vwfx::Vec;
using vwfx::near;

Vec vec(const double* v) { return Vec(v, v + 3); }


class VdefTest : public sheetfx::SheetTest {
protected:
  void SetUp() override {
    SheetTest::SetUp();
    live = vwLive().vdirs;
    doc = newDoc();
    docSetCurrent(doc);
    vwfx::changes().clear();
  }
  void TearDown() override {
    wpSetCurrent(nullptr);
    modelSetCurrent(nullptr);
    SheetTest::TearDown();
    EXPECT_EQ(vwLive().vdirs, live) << "view directions left alive";
  }

  // A direction added to the document (expected to succeed).
  vdefRec* add(const char* title, const Vec& eye, const Vec& centre = {0, 0, 0}, const Vec& up = {0, 1, 0}) {
    EXPECT_EQ(vdefMake(doc, eye.data(), centre.data(), up.data(), title), 0);
    vdefRec* last = doc->firstVdir;
    while (last && last->next) last = last->next;
    return last;
  }
  static std::vector<std::string> titles(const docRec* d) {
    std::vector<std::string> list;
    for (const vdefRec* r = d->firstVdir; r; r = r->next) list.push_back(r->title);
    return list;
  }
  static feObject point(double x, double y, double z) {
    const double p[3] = {x, y, z};
    feObject v;
    feMakeRealArray(&v, p, 3);
    return v;
  }
  // The three numbers of a "3D" value as "==" prints it.
  static Vec got(void* record, const char* key) {
    std::string text;
    EXPECT_EQ(get(record, key, &text), 0) << key;
    Vec v(3, NAN);
    std::sscanf(text.c_str(), "[%lf %lf %lf]", &v[0], &v[1], &v[2]);
    return v;
  }

  int32_t live = 0;
  docRec* doc = nullptr;
};

TEST_F(VdefTest, TheStandardSetIsLockedWithItsEyeDirections) {
  vdefStandardSet(doc);
  EXPECT_EQ(titles(doc), (std::vector<std::string>{"Isometric", "Right", "Front", "Top"}));
  const struct {
    Vec eye, up;
  } want[] = {
      {{0.6324555320670465, -0.6324555320670465, 0.4472135954055715}, {0, 0, 1}},
      {{1, 0, 0}, {0, 0, 1}},
      {{0, -1, 0}, {0, 0, 1}},
      {{0, 0, 1}, {0, 1, 0}},
  };
  const vdefRec* r = doc->firstVdir;
  for (const auto& w : want) {
    ASSERT_NE(r, nullptr);
    SCOPED_TRACE(r->title);
    EXPECT_EQ(r->flags, uint32_t(vdefLocked));
    EXPECT_EQ(vec(r->centre), (Vec{0, 0, 0}));
    EXPECT_TRUE(near(vec(r->eye), w.eye, 1e-9));
    EXPECT_NEAR(std::sqrt(r->eye[0] * r->eye[0] + r->eye[1] * r->eye[1] + r->eye[2] * r->eye[2]), 1, 1e-15);
    EXPECT_EQ(vec(r->up), w.up);
    EXPECT_EQ(r->owner, doc);
    EXPECT_EQ(r->head.object.refCount, 1);
    r = r->next;
  }
  EXPECT_EQ(vwfx::changeCodes(), std::vector<uint32_t>(4, vwEvVdirCreated));
  // Locked: every set but "lock" is refused, and nothing changes.
  vdefRec* top = vdefFind(doc, "Top", 3);
  vwfx::changes().clear();
  EXPECT_EQ(set(top, "ctr", point(1, 2, 3)), vwErrLocked);
  EXPECT_EQ(set(top, "title", text("Plan")), vwErrLocked);
  EXPECT_EQ(set(top, "order", integer(0)), vwErrLocked);
  EXPECT_EQ(vec(top->centre), (Vec{0, 0, 0}));
  EXPECT_TRUE(vwfx::changes().empty());
  EXPECT_EQ(set(top, "lock", boolean(false)), 0);
  EXPECT_EQ(set(top, "ctr", point(1, 2, 3)), 0);
  EXPECT_EQ(vec(top->centre), (Vec{1, 2, 3}));
  EXPECT_EQ(vwfx::changeCodes(), (std::vector<uint32_t>{vwEvVdirApplied, vwEvVdirApplied}));
}

TEST_F(VdefTest, AddingPutsTheEyeAtUnitDistanceAndNamesUntitledOnes) {
  vdefRec* a = add(nullptr, {0, 0, 5}, {0, 0, 1});
  EXPECT_EQ(vec(a->eye), (Vec{0, 0, 2}));
  EXPECT_STREQ(a->title, "View 1");
  vdefRec* b = add("", {3, 4, 0});
  EXPECT_TRUE(near(vec(b->eye), {0.6, 0.8, 0}));
  EXPECT_STREQ(b->title, "View 2");
  EXPECT_EQ(titles(doc), (std::vector<std::string>{"View 1", "View 2"}));
  EXPECT_EQ(a->next, b);
  EXPECT_EQ(b->owner, doc);
  EXPECT_EQ(b->head.desc, vdefListDesc());
  EXPECT_EQ(vwfx::changes().back(), std::make_pair(uint32_t(vwEvVdirCreated), reinterpret_cast<intptr_t>(b)));

  // A record owned already, or no document.
  EXPECT_EQ(vdefAdd(doc, b), vwErrAlreadyOwned);
  vdefRec* loose = vdefNew();
  EXPECT_EQ(vdefAdd(nullptr, loose), vwErrNoCurDoc);
  vdefFree(loose);
}

TEST_F(VdefTest, ATakenTitleIsRefusedWithATrace) {
  dbgSetFlags(1);
  add("Plan", {0, 0, 1});
  const int32_t before = vwLive().vdirs;
  const double eye[3] = {1, 0, 0}, centre[3] = {0, 0, 0}, up[3] = {0, 0, 1};
  EXPECT_EQ(vdefMake(doc, eye, centre, up, "plan"), vwErrTitleNotUnique);
  EXPECT_EQ(boxes(), "VDIR 'plan' already exists|");
  EXPECT_EQ(titles(doc), (std::vector<std::string>{"Plan"}));
  EXPECT_EQ(vwLive().vdirs, before) << "the refused record is freed";
}

TEST_F(VdefTest, AnEyeOnTheCentreIsRefusedAndNothingAdded) {
  const int32_t before = vwLive().vdirs;
  for (const Vec& eye : {Vec{1, 1, 1}, Vec{NAN, 0, 0}, Vec{INFINITY, 0, 0}}) {
    SCOPED_TRACE(eye[0]);
    vdefRec* r = vdefNew();
    std::copy(eye.begin(), eye.end(), r->eye);
    r->centre[0] = r->centre[1] = r->centre[2] = 1;
    EXPECT_EQ(vdefAdd(doc, r), vwErrBadValue);
    EXPECT_EQ(r->owner, nullptr);
    EXPECT_STREQ(r->title, "") << "an untitled record is not named";
    vdefFree(r);
  }
  EXPECT_EQ(doc->firstVdir, nullptr);
  EXPECT_EQ(vwLive().vdirs, before);
  EXPECT_TRUE(vwfx::changes().empty());
}

TEST_F(VdefTest, RemovingUnlinksAndClosingFreesEveryDirection) {
  vdefRec* a = add("A", {0, 0, 1});
  vdefRec* b = add("B", {0, 1, 0});
  add("C", {1, 0, 0});
  feObjRefRetain(b);  // a script's reference
  vwfx::changes().clear();
  EXPECT_EQ(vdefRemove(b), 0);
  EXPECT_EQ(b->owner, nullptr);
  EXPECT_EQ(b->head.object.refCount, 1);
  EXPECT_EQ(titles(doc), (std::vector<std::string>{"A", "C"}));
  EXPECT_EQ(vwfx::changes().back(), std::make_pair(uint32_t(vwEvVdirFreed), reinterpret_cast<intptr_t>(b)));
  EXPECT_EQ(vdefRemove(b), vwErrNoCurDoc);
  feObjRefRelease(b);  // frees it
  EXPECT_EQ(vwLive().vdirs, live + 2);

  // Message 345 does the same.
  EXPECT_EQ(objMeth(vdefClassId(), msgDetach, a), 0);
  EXPECT_EQ(titles(doc), (std::vector<std::string>{"C"}));
  vdefFree(a);
  // Closing the document frees what it still holds.
  EXPECT_EQ(docRemove(doc), 0);
  EXPECT_EQ(vwLive().vdirs, live);
}

TEST_F(VdefTest, FindingByTitleAndByDirection) {
  vdefStandardSet(doc);
  add("View 10", {5, 5, 9}, {5, 5, 5}, {1, 0, 0});
  EXPECT_EQ(vdefFind(doc, "TOP", 3), doc->firstVdir->next->next->next);
  EXPECT_EQ(vdefFind(doc, "Topless", 3), vdefFind(doc, "top", 3)) << "only the length given counts";
  EXPECT_EQ(vdefFind(doc, "To", 2), nullptr) << "the whole title must match";
  EXPECT_EQ(vdefFind(doc, "view 10", 7)->centre[0], 5);
  EXPECT_EQ(vdefFind(nullptr, "Top", 3), nullptr);

  const double off = 1e-6;
  const struct {
    Vec up, eye;
    const char* title;
  } cases[] = {
      {{0, 0, 1}, {1, 0, 0}, "Right"},
      {{0, 0, 3}, {7, 0, 0}, "Right"},  // lengths do not matter
      {{0, 0, 1}, {0, -1, 0}, "Front"},
      {{0, 1, 0}, {0, 0, 1}, "Top"},     // the first of Top and "View 10" (up differs there)
      {{1, 0, 0}, {0, 0, 1}, "View 10"},
      {{0, 0, 1}, {1, off, 0}, ""},
      {{0, 0, 1}, {-1, 0, 0}, ""},
      {{0, 1, 0}, {1, 0, 0}, ""},
      {{0, 0, 0}, {1, 0, 0}, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.title);
    EXPECT_STREQ(vdefNameOfDirection(doc, c.up.data(), c.eye.data()), c.title);
  }
}

TEST_F(VdefTest, KeysReadAndSetTheRecord) {
  vdefRec* r = add("Plan", {0, 0, 3}, {0, 0, 2});
  vdefRec* other = add("Other", {1, 0, 0});
  EXPECT_EQ(got(r, "ctr"), (Vec{0, 0, 2}));
  EXPECT_EQ(got(r, "eyePt"), (Vec{0, 0, 3}));
  EXPECT_EQ(got(r, "upVect"), (Vec{0, 1, 0}));
  EXPECT_EQ(got(r, "up"), (Vec{0, 1, 0}));
  EXPECT_EQ(got(r, "normal"), (Vec{0, 0, 1}));
  std::string value;
  EXPECT_EQ(get(r, "title", &value), 0);
  EXPECT_EQ(value, "(Plan)");
  EXPECT_EQ(get(r, "lock", &value), 0);
  EXPECT_EQ(value, "false");
  EXPECT_EQ(get(r, "nonesuch"), vwErrBadKey);
  EXPECT_EQ(set(r, "nonesuch", integer(1)), vwErrBadKey);

  vwfx::changes().clear();
  EXPECT_EQ(set(r, "eyePt", point(4, 0, 2)), 0);  // stored as given
  EXPECT_EQ(vec(r->eye), (Vec{4, 0, 2}));
  EXPECT_EQ(set(r, "normal", point(0, 2, 0)), 0);  // normalised, from the centre
  EXPECT_EQ(vec(r->eye), (Vec{0, 1, 2}));
  EXPECT_EQ(set(r, "up", point(0, 0, 5)), 0);
  EXPECT_EQ(vec(r->up), (Vec{0, 0, 1}));
  EXPECT_EQ(set(r, "title", text("Side")), 0);
  EXPECT_STREQ(r->title, "Side");
  EXPECT_EQ(vwfx::changeCodes(), std::vector<uint32_t>(4, vwEvVdirApplied));

  // Refused, and the record kept as it was.
  vwfx::changes().clear();
  const struct {
    const char* key;
    feObject value;
    int answer;
  } refused[] = {
      {"title", text("other"), vwErrTitleNotUnique},
      {"title", text(""), vwErrBadTitle},
      {"eyePt", point(0, 0, 2), vwErrBadValue},   // onto the centre
      {"ctr", point(0, 1, 2), vwErrBadValue},     // onto the eye
      {"normal", point(0, 0, 0), vwErrBadValue},
      {"up", point(0, 0, 0), vwErrBadValue},
      {"ctr", integer(3), 269},
  };
  for (const auto& c : refused) {
    SCOPED_TRACE(c.key);
    EXPECT_EQ(set(r, c.key, c.value), c.answer);
  }
  EXPECT_STREQ(r->title, "Side");
  EXPECT_EQ(vec(r->eye), (Vec{0, 1, 2}));
  EXPECT_EQ(vec(r->centre), (Vec{0, 0, 2}));
  EXPECT_EQ(vec(r->up), (Vec{0, 0, 1}));
  EXPECT_TRUE(vwfx::changes().empty());
  EXPECT_EQ(set(r, "title", text("side")), 0) << "its own title again";

  // "order" moves the record in the document's list.
  EXPECT_EQ(set(other, "order", integer(0)), 0);
  EXPECT_EQ(titles(doc), (std::vector<std::string>{"Other", "side"}));
  EXPECT_EQ(set(other, "order", integer(-1)), 0);
  EXPECT_EQ(titles(doc), (std::vector<std::string>{"side", "Other"}));
}

TEST_F(VdefTest, UpAndNormalAreInTheCurrentPlanesCoordinates) {
  modelSetCurrent(doc->firstModel);
  // A plane whose x is the world y and whose y is the world z: its normal
  // is the world x.
  const double origin[3] = {9, 9, 9}, right[3] = {0, 1, 0}, up[3] = {0, 0, 1};
  wplaneRec* side = wpCreate("Side", 0, origin, right, up);
  ASSERT_EQ(wpAddToModel(doc->firstModel, side), 1);
  wpSetCurrent(side);
  vdefRec* r = add("Plan", {0, 1, 1}, {1, 1, 1}, {0, 1, 0});
  EXPECT_TRUE(near(got(r, "normal"), {0, 0, -1}));
  EXPECT_TRUE(near(got(r, "up"), {1, 0, 0}));
  EXPECT_TRUE(near(got(r, "ctr"), {1, 1, 1})) << "points are given as stored";
  EXPECT_EQ(set(r, "normal", point(0, 0, 2)), 0);
  EXPECT_TRUE(near(vec(r->eye), {2, 1, 1}));
  EXPECT_EQ(set(r, "upVect", point(0, 3, 0)), 0);
  EXPECT_TRUE(near(vec(r->up), {0, 0, 1}));
}

TEST_F(VdefTest, MessagesAddToTheCurrentDocumentAndCopyTheCurrentView) {
  sheetRec* sheet = newSheet(doc);
  const double box[4] = {-1, -1, 1, 1};
  viewRec* view = vwCreate(sheet, doc->firstModel, box, 0);
  viewState& s = view->states[0];
  const double centre[3] = {1, 2, 3}, normal[3] = {0, 0, 4}, up[3] = {0, 1, 0};
  std::copy(centre, centre + 3, s.centre);
  std::copy(normal, normal + 3, s.normal);
  std::copy(up, up + 3, s.up);
  vwSetCurView(view);

  feObject list;
  std::vector<feObject> items = {gobjfx::name("type"), text("vdefs"), gobjfx::name("title"), text("Saved")};
  feMakeArray(&list, items.data(), uint32_t(items.size()));
  vdefRec* made = nullptr;
  ASSERT_EQ(objMeth(vdefClassId(), msgCreate, nullptr, reinterpret_cast<intptr_t>(&list),
                    reinterpret_cast<intptr_t>(&made)),
            0);
  feFree(&list);
  ASSERT_TRUE(vdefIs(made));
  EXPECT_STREQ(made->title, "Saved");
  EXPECT_EQ(vec(made->centre), (Vec{1, 2, 3}));
  EXPECT_EQ(vec(made->eye), (Vec{1, 2, 7}));
  EXPECT_EQ(made->owner, nullptr);

  ASSERT_EQ(objMeth(vdefClassId(), msgAttach, made), 0);
  EXPECT_EQ(made->owner, doc);
  EXPECT_EQ(vec(made->eye), (Vec{1, 2, 4}));
  docSetCurrent(nullptr);
  vdefRec* loose = vdefNew();
  EXPECT_EQ(objMeth(vdefClassId(), msgAttach, loose), vwErrNoCurDoc);
  EXPECT_EQ(objMeth(vdefClassId(), msgFree, loose), 0);
}

TEST_F(VdefTest, CopyingADocumentCopiesItsDirections) {
  add("Plan", {0, 0, 5}, {1, 0, 0}, {0, 1, 0});
  vdefStandardSet(doc);
  docRec* copy = nullptr;
  ASSERT_EQ(docCopy(doc, &copy), 0);
  docAddOpen(copy);
  EXPECT_EQ(titles(copy), (std::vector<std::string>{"Plan", "Isometric", "Right", "Front", "Top"}));
  for (const vdefRec *from = doc->firstVdir, *to = copy->firstVdir; from && to; from = from->next, to = to->next) {
    SCOPED_TRACE(from->title);
    EXPECT_NE(from, to);
    EXPECT_EQ(to->owner, copy);
    EXPECT_EQ(to->flags, from->flags);
    EXPECT_EQ(vec(to->eye), vec(from->eye));
    EXPECT_EQ(vec(to->centre), vec(from->centre));
    EXPECT_EQ(vec(to->up), vec(from->up));
  }
  // A document without directions passes on the standard set.
  docRec* bare = newDoc();
  docRec* copy2 = nullptr;
  ASSERT_EQ(docCopy(bare, &copy2), 0);
  docAddOpen(copy2);
  EXPECT_EQ(titles(copy2), (std::vector<std::string>{"Isometric", "Right", "Front", "Top"}));
}

TEST_F(VdefTest, FindOperatorPushesTheDirectionThenTrue) {
  vdefStandardSet(doc);
  feObject found;
  feMakeNull(&found);
  static const char kFind[] = "(front) aViewDirFind pop";
  ASSERT_EQ(feCallScript(kFind, sizeof kFind - 1, false, nullptr, 0, &found), 0);
  void* record = nullptr;
  EXPECT_EQ(feGetObjRef(&found, "vdefs", &record), 0);
  EXPECT_EQ(record, vdefFind(doc, "Front", 5));
  feFree(&found);
  EXPECT_EQ(eval("(front) aViewDirFind exch pop"), "true");
  EXPECT_EQ(eval("(Back) aViewDirFind"), "false");
  docSetCurrent(nullptr);
  EXPECT_EQ(eval("(Front) aViewDirFind"), "false");
}

TEST_F(VdefTest, TurningTheCurrentViewToADirection) {
  vdefStandardSet(doc);
  vdefRec* right = vdefFind(doc, "Right", 5);
  vdefRec* raised = add("Raised", {1, 2, 5}, {1, 2, 3}, {0, 1, 0});
  EXPECT_EQ(call(vwOpVDefToView, {argRecord(right), argInt(0)}), 1) << "no current view";

  // The draft view alone on its sheet turns.
  sheetRec* sheet = newSheet(doc);
  viewRec* draft = sheet->activeView;
  sheetSetCurrent(sheet);
  vwSetCurView(draft);
  const Vec centre = vec(draft->states[0].centre);
  EXPECT_EQ(call(vwOpVDefToView, {argRecord(right), argInt(0)}), 0);
  EXPECT_EQ(vec(draft->states[0].normal), (Vec{1, 0, 0}));
  EXPECT_EQ(vec(draft->states[0].up), (Vec{0, 0, 1}));
  EXPECT_EQ(vec(draft->states[0].centre), centre);

  // With another view on the sheet it keeps its orientation.
  const double box[4] = {-1, -1, 1, 1};
  viewRec* view = vwCreate(sheet, doc->firstModel, box, 0);
  vwSetCurView(draft);
  EXPECT_EQ(call(vwOpVDefToView, {argRecord(raised), argInt(1)}), vwErrNoModDraftView);
  EXPECT_EQ(vec(draft->states[0].normal), (Vec{1, 0, 0}));

  // Another view turns, taking the centre when asked.
  vwSetCurView(view);
  const Vec viewCentre = vec(view->states[0].centre);
  EXPECT_EQ(call(vwOpVDefToView, {argRecord(raised), argInt(0)}), 0);
  EXPECT_EQ(vec(view->states[0].normal), (Vec{0, 0, 1}));
  EXPECT_EQ(vec(view->states[0].up), (Vec{0, 1, 0}));
  EXPECT_EQ(vec(view->states[0].centre), viewCentre);
  EXPECT_EQ(call(vwOpVDefToView, {argRecord(right), argInt(1)}), 0);
  EXPECT_EQ(vec(view->states[0].normal), (Vec{1, 0, 0}));
  EXPECT_EQ(vec(view->states[0].centre), (Vec{0, 0, 0}));
}

}  // namespace
