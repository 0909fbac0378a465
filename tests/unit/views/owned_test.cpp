#include "views/owned.h"

#include "fe/arrays.h"
#include "fe/exec_fixture.h"

#include <gtest/gtest.h>
#include <platform_test.h>

#include <cstddef>
#include <string>
#include <vector>

namespace {

struct Owner;

// A stand-in owned record and its owner, laid out as the real ones are:
// the object head, the descriptor, then the links.
struct Item {
  feObjRecord object{0, feObjPermanent};
  const vwListDesc* desc;
  int id;
  Item* next = nullptr;
  Owner* owner = nullptr;
};

struct Owner {
  int spare = 0;
  Item* first = nullptr;
};

const vwListDesc kDesc = {offsetof(Item, next), offsetof(Item, owner), offsetof(Owner, first)};

std::string order(const Owner& owner) {
  std::string text;
  for (const Item* i = owner.first; i; i = i->next) text += std::to_string(i->id);
  return text;
}

std::string boxes() {
  std::string text;
  for (const auto& box : plTestMessageBoxes()) text += box.text + "|";
  return text;
}

class Owned : public ::testing::Test {
protected:
  void SetUp() override {
    plTestReset();
    plTestSetMessageBoxEcho(false);
    items.resize(6);
    for (int i = 0; i < 6; ++i) {
      items[i].desc = &kDesc;
      items[i].id = i;
      items[i].owner = &owner;
    }
  }
  void TearDown() override { plTestReset(); }
  // Appends the records with the given ids, in order.
  void fill(std::initializer_list<int> ids) {
    for (int id : ids) ASSERT_EQ(ownedInsert(&items[id], ownedAppend), 0);
  }
  Owner owner;
  std::vector<Item> items;
};

TEST_F(Owned, InsertAtHeadAfterTheNthAndPastTheEnd) {
  fill({1, 2});
  EXPECT_EQ(order(owner), "12");
  EXPECT_EQ(ownedInsert(&items[3], 5), 0);  // past the end of 2: appended
  EXPECT_EQ(order(owner), "123");
  EXPECT_EQ(ownedInsert(&items[0], 0), 0);
  EXPECT_EQ(order(owner), "0123");
  EXPECT_EQ(ownedInsert(&items[4], 1), 0);
  EXPECT_EQ(order(owner), "04123");
  EXPECT_EQ(ownedInsert(&items[5], 4), 0);
  EXPECT_EQ(order(owner), "041253");
  EXPECT_EQ(ownedCount(owner.first), 6u);
  EXPECT_EQ(ownedNext(&items[5]), &items[3]);
  EXPECT_EQ(ownedOwner(&items[5]), &owner);
  EXPECT_EQ(ownedNext(&items[3]), nullptr);
}

TEST_F(Owned, InsertIntoAnEmptyListAtAnyPosition) {
  EXPECT_EQ(ownedInsert(&items[2], 7), 0);
  EXPECT_EQ(order(owner), "2");
  EXPECT_EQ(ownedUnlink(&items[2]), 0);
  EXPECT_EQ(owner.first, nullptr);
  EXPECT_EQ(ownedInsert(&items[2], 0), 0);
  EXPECT_EQ(order(owner), "2");
}

TEST_F(Owned, UnlinkHeadMiddleAndLastClearsTheNextLink) {
  fill({0, 1, 2, 3});
  EXPECT_EQ(ownedUnlink(&items[0]), 0);
  EXPECT_EQ(order(owner), "123");
  EXPECT_EQ(items[0].next, nullptr);
  EXPECT_EQ(items[0].owner, &owner);
  EXPECT_EQ(ownedUnlink(&items[2]), 0);
  EXPECT_EQ(order(owner), "13");
  EXPECT_EQ(items[2].next, nullptr);
  EXPECT_EQ(ownedUnlink(&items[3]), 0);
  EXPECT_EQ(order(owner), "1");
  EXPECT_TRUE(plTestMessageBoxes().empty()) << boxes();
}

TEST_F(Owned, ErrorsNoOwnerNotInListAndBadDescriptor) {
  fill({0, 1});
  items[4].owner = nullptr;
  EXPECT_EQ(ownedUnlink(&items[4]), vwErrNoOwner);
  EXPECT_EQ(ownedInsert(&items[4], 0), vwErrNoOwner);
  EXPECT_EQ(ownedUnlink(&items[5]), vwErrNotInList);
  EXPECT_EQ(order(owner), "01");
  EXPECT_TRUE(plTestMessageBoxes().empty()) << boxes();

  items[3].desc = nullptr;
  EXPECT_EQ(ownedUnlink(&items[3]), -1);
  EXPECT_EQ(ownedInsert(&items[3], 0), -1);
  EXPECT_EQ(order(owner), "01");
  EXPECT_NE(boxes().find("bad vsd"), std::string::npos) << boxes();
  EXPECT_EQ(ownedNext(&items[3]), nullptr);
  EXPECT_EQ(ownedOwner(&items[3]), nullptr);
}

class OwnedArray : public Owned {
protected:
  void SetUp() override {
    Owned::SetUp();
    execfx::start();
  }
  void TearDown() override {
    execfx::stop();
    Owned::TearDown();
  }
};

TEST_F(OwnedArray, ReferencesInListOrderAndEmptyForNoList) {
  fill({2, 0, 4});
  feObject array;
  ASSERT_EQ(ownedToArray(owner.first, &array), 0);
  ASSERT_EQ(feArrayLength(&array), 3);
  const int expected[] = {2, 0, 4};
  for (int i = 0; i < 3; ++i) {
    void* record = nullptr;
    ASSERT_EQ(feGetObjRef(feArrayElem(&array, i), nullptr, &record), 0);
    EXPECT_EQ(record, &items[expected[i]]) << i;
  }
  feFree(&array);

  ASSERT_EQ(ownedToArray(nullptr, &array), 0);
  EXPECT_EQ(feType(&array), feTArray);
  EXPECT_EQ(feArrayLength(&array), 0);
  feFree(&array);
}

TEST_F(OwnedArray, ARecordWithoutDescriptorLeavesTheOutputAlone) {
  fill({0, 1});
  items[1].desc = nullptr;
  feObject array;
  feMakeInt(&array, 7);
  EXPECT_EQ(ownedToArray(owner.first, &array), -1);
  EXPECT_EQ(feType(&array), feTInt);
  EXPECT_NE(boxes().find("bad vsd"), std::string::npos) << boxes();
}

}  // namespace
