// The update marks and the update queue: what each call marks, when an
// object joins the current list, and the refusal of groups.
#include "objects/group_fixture.h"
#include "objects/update.h"

namespace {

using grpfx::GroupTest;

glist* pending = nullptr;
glist** pendingSlot() { return &pending; }

class UpdateTest : public GroupTest {
protected:
  void SetUp() override {
    GroupTest::SetUp();
    pending = nullptr;
    objUpdateSetListSource(pendingSlot);
  }
  void TearDown() override {
    objUpdateSetListSource(nullptr);
    grpFree(pending);
    pending = nullptr;
    GroupTest::TearDown();
  }
  static int32_t listed() {
    int32_t n = 0;
    grpCount(pending, &n);
    return n;
  }
  // A tpoint without marks (a new object comes marked changed).
  gobjRec* fresh(double n) {
    gobjRec* object = point(n);
    object->flags &= uint16_t(~(updDirty | updQueued));
    return object;
  }
  static uint16_t marks(const gobjRec* object) { return object->flags & (updDirty | updQueued); }
};

TEST_F(UpdateTest, UpdatingTwiceListsOnceAndLeavesDirtyAndQueued) {
  gobjRec* object = fresh(1);
  const uint8_t held = object->refCount;
  objUpdate(object, 1);
  objUpdate(object, 0);
  EXPECT_EQ(listed(), 1);
  EXPECT_EQ(marks(object), updDirty | updQueued);
  EXPECT_EQ(object->refCount, held + 1) << "the list holds the object";
  // Once queued, a change only marks it dirty again.
  object->flags &= uint16_t(~updDirty);
  objUpdate(object, 1);
  EXPECT_EQ(listed(), 1);
  EXPECT_EQ(marks(object), updDirty | updQueued);
}

TEST_F(UpdateTest, QueueingLeavesTheDirtyBitAloneAndListsOnce) {
  gobjRec* object = fresh(1);
  objUpdateQueue(object);
  objUpdateQueue(object);
  EXPECT_EQ(listed(), 1);
  EXPECT_EQ(marks(object), updQueued);
  // Taken off the queue, the object is queued afresh (its old entry is
  // dropped when the list is drawn).
  objUpdateDequeue(object);
  EXPECT_EQ(marks(object), 0);
  objUpdateQueue(object);
  EXPECT_EQ(listed(), 2);
  EXPECT_EQ(marks(object), updQueued);
}

TEST_F(UpdateTest, WithoutACurrentListNothingIsMarkedButTheDirtyBitOfAQueuedObject) {
  gobjRec* loose = fresh(1);
  gobjRec* queued = fresh(2);
  objUpdateQueue(queued);
  objUpdateSetListSource(nullptr);
  objUpdate(loose, 1);
  objUpdateQueue(loose);
  EXPECT_EQ(marks(loose), 0);
  objUpdate(queued, 1);
  EXPECT_EQ(marks(queued), updDirty | updQueued);
  EXPECT_EQ(listed(), 1);
}

TEST_F(UpdateTest, ListsMarkEveryMember) {
  const std::vector<gobjRec*> objects{fresh(1), fresh(2), fresh(3)};
  glist* g = group(objects);
  objUpdateList(g, 1);
  for (gobjRec* o : objects) EXPECT_EQ(marks(o), updDirty | updQueued);
  EXPECT_EQ(listed(), 3);
  grpFree(pending);
  pending = nullptr;
  for (gobjRec* o : objects) o->flags &= uint16_t(~(updDirty | updQueued));
  objUpdateQueueList(g);
  for (gobjRec* o : objects) EXPECT_EQ(marks(o), updQueued);
  EXPECT_EQ(listed(), 3);
  objUpdateList(nullptr, 1);  // the empty group
  EXPECT_EQ(listed(), 3);
}

TEST_F(UpdateTest, GroupsAreRefusedWhereObjectsAreExpected) {
  glist* g = group(points(2));
  const auto before = *g;
  const struct {
    const char* call;
    void (*run)(gobjRec*);
  } cases[] = {
      {"objUpdate", [](gobjRec* o) { objUpdate(o, 1); }},
      {"objUpdateQueue", objUpdateQueue},
      {"objUpdateDequeue", objUpdateDequeue},
  };
  for (const auto& c : cases) {
    plTestClearMessageBoxes();
    c.run(reinterpret_cast<gobjRec*>(g));
    EXPECT_EQ(gobjfx::boxes(), "glist in objUpdate|") << c.call;
    EXPECT_EQ(g->classId, before.classId) << c.call;
    EXPECT_EQ(g->memberCount, before.memberCount) << c.call;
    EXPECT_EQ(listed(), 0) << c.call;
  }
}

TEST_F(UpdateTest, AnObjectGivenAsAListIsRefused) {
  // Walking an object as blocks of member pointers would read its fields as
  // pointers.
  gobjRec* object = fresh(1);
  objUpdateList(reinterpret_cast<glist*>(object), 1);
  objUpdateQueueList(reinterpret_cast<glist*>(object));
  EXPECT_EQ(gobjfx::boxes(), "expected group|expected group|");
  EXPECT_EQ(marks(object), 0);
  EXPECT_EQ(listed(), 0);
}

}  // namespace
