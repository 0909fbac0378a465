// The application event table: which entries an event reaches, in what
// order, and the fixed size of the table.
#include "objects/event.h"

#include <platform_test.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> calls;

void record(const char* who, uint32_t code, intptr_t argument) {
  calls.push_back(std::string(who) + ":" + std::to_string(code) + ":" + std::to_string(argument));
}
void all(uint32_t code, intptr_t argument) { record("all", code, argument); }
void layers(uint32_t code, intptr_t argument) { record("layer", code, argument); }
void docs(uint32_t code, intptr_t argument) { record("doc", code, argument); }
void deleted(uint32_t code, intptr_t argument) { record("deleted", code, argument); }
// Passes a document event on as a layer event, as handlers may.
void relay(uint32_t code, intptr_t argument) {
  record("relay", code, argument);
  if (code == 0x1010001) evtSignal(0x20001, argument + 1);
}

class EventTable : public ::testing::Test {
protected:
  void SetUp() override {
    evtReset();
    calls.clear();
    plTestReset();
    plTestSetMessageBoxEcho(false);
  }
  void TearDown() override {
    evtReset();
    plTestReset();
  }
};

TEST_F(EventTable, EntriesMatchByMaskAndValueInRegistrationOrder) {
  evtAdd(0, 0, all);
  evtAdd(0xFFFF0000, 0x00020000, layers);
  evtAdd(0xFFFF0000, 0x01010000, docs);
  evtAdd(0xFFFFFFFF, 0x00020002, deleted);

  struct Case {
    uint32_t code;
    std::vector<std::string> expected;
  } cases[] = {
      {evtCommandEnd, {"all:257:5"}},  // family 0: the family masks never see it
      {0x20001, {"all:131073:5", "layer:131073:5"}},
      {0x20002, {"all:131074:5", "layer:131074:5", "deleted:131074:5"}},
      {0x1010002, {"all:16842754:5", "doc:16842754:5"}},
      {0x1030003, {"all:16973827:5"}},
  };
  for (const Case& c : cases) {
    calls.clear();
    evtSignal(c.code, 5);
    EXPECT_EQ(c.expected, calls) << std::hex << c.code;
  }
}

TEST_F(EventTable, AHandlerMaySignalFurtherEvents) {
  evtAdd(0xFFFF0000, 0x01010000, relay);
  evtAdd(0xFFFF0000, 0x00020000, layers);
  evtAdd(0, 0, all);
  evtSignal(0x1010001, 1);
  const std::vector<std::string> expected = {"relay:16842753:1", "layer:131073:2", "all:131073:2",
                                             "all:16842753:1"};
  EXPECT_EQ(expected, calls);
}

TEST_F(EventTable, AThirteenthEntryIsRefusedAndTheTwelveStay) {
  for (int i = 0; i < evtTableSize; ++i) evtAdd(0, 0, all);
  EXPECT_TRUE(plTestMessageBoxes().empty());
  evtAdd(0, 0, layers);
  ASSERT_EQ(1u, plTestMessageBoxes().size());
  EXPECT_NE(std::string::npos, plTestMessageBoxes()[0].text.find("event table full"));
  EXPECT_EQ(evtTableSize, evtCount());
  evtSignal(7, 0);
  EXPECT_EQ(size_t(evtTableSize), calls.size());
  for (const std::string& call : calls) EXPECT_EQ("all:7:0", call);
}

}  // namespace
