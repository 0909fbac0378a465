#include "core/classes.h"
#include "core/classes_test.h"
#include "core/debug.h"

#include <platform_test.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::string logText;
void captureLog(void*, const char* text, size_t length) { logText.append(text, length); }

// A small hierarchy: line -> curve -> class. line answers message 1, curve
// message 2 and message 4 (which checks the pointer-wide arguments); every
// other message climbs to the root.
uint16_t curveId, lineId;
int lineCalls;
struct Shape {
  uint16_t classId;
};

int curveHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t c) {
  if (message == 2) return 22;
  if (message == 4) return a == INTPTR_MAX && b == -1 && c == reinterpret_cast<intptr_t>(object) ? 44 : -1;
  return objMeth(objSuperClass(curveId), message, object, a, b, c);
}
int lineHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t c) {
  ++lineCalls;
  if (message == 1) return 11;
  return objMeth(objSuperClass(lineId), message, object, a, b, c);
}
int otherHandler(void*, int message, intptr_t, intptr_t, intptr_t) { return message == 1 ? 99 : -303; }

class Classes : public ::testing::Test {
protected:
  void SetUp() override {
    objClassTestReset();
    logText.clear();
    lineCalls = 0;
    dbgSetLogHook(captureLog, nullptr);
    plTestReset();
    plTestSetMessageBoxEcho(false);
  }
  void TearDown() override {
    dbgSetLogHook(nullptr, nullptr);
    dbgSetFlags(0);
    objClassTestReset();
    plTestReset();
  }
  void registerShapes() {
    curveId = objClassRegister("curve", 0, curveHandler);
    lineId = objClassRegister("line", curveId, lineHandler);
  }
};

// The root hook runs once per making of the root, with "class" already in
// place (its operator asks the registry), and not on later registrations.
std::vector<uint32_t> hookCounts;
void countingRootHook() { hookCounts.push_back(objClassCount()); }

TEST_F(Classes, TheRootHookRunsOnceWhenTheRootIsMade) {
  hookCounts.clear();
  objSetRootHook(countingRootHook);
  registerShapes();
  objClassInit();
  EXPECT_EQ(hookCounts, std::vector<uint32_t>{1});
  objClassTestReset();
  objClassInit();
  EXPECT_EQ(hookCounts, (std::vector<uint32_t>{1, 1}));
  objSetRootHook(nullptr);
  objClassTestReset();
  objClassInit();
  EXPECT_EQ(hookCounts.size(), 2u);
}

TEST_F(Classes, FirstRegistrationCreatesTheRootAsIdZero) {
  EXPECT_EQ(objClassCount(), 0u);
  EXPECT_EQ(objClassRegister("curve", 0, curveHandler), 1);
  EXPECT_EQ(objClassRegister("line", 1, lineHandler), 2);
  EXPECT_EQ(objClassCount(), 3u);
  objClassInit();  // already made
  EXPECT_EQ(objClassCount(), 3u);

  const objClassRec* rootEntry = objClassEntry(0);
  ASSERT_NE(rootEntry, nullptr);
  EXPECT_EQ(std::string(rootEntry->name, 5), "class");
  EXPECT_EQ(rootEntry->superclass, 0);
  EXPECT_EQ(rootEntry->handler, objRootHandler);
  EXPECT_EQ(objClassEntry(2)->tag, rootEntry->tag);
  EXPECT_EQ(objClassEntry(2)->previous, 1);
  EXPECT_EQ(objClassEntry(3), nullptr);

  // The root is never found by name: an unknown superclass name reads as it.
  EXPECT_EQ(objClassByName("class"), 0);
  EXPECT_EQ(objClassByName("nothing"), 0);
  EXPECT_EQ(objClassByName("curve"), 1);
  EXPECT_EQ(objClassByName("line"), 2);
}

TEST_F(Classes, NamesCountInTheirFirstEightCharacters) {
  const uint16_t id = objClassRegister("colorTable", 0, otherHandler);
  EXPECT_EQ(std::memcmp(objClassEntry(id)->name, "colorTab", 8), 0);  // all 8 used, no terminator

  struct Case { const char* name; uint16_t found; };
  for (Case c : {Case{"colorTab", id}, Case{"colorTable", id}, Case{"colorTabXYZ", id}, Case{"colorTa", 0},
                 Case{"ColorTab", 0}, Case{"", 0}}) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(objClassByName(c.name), c.found);
  }
  // Another name with the same first 8 characters is the same class.
  EXPECT_EQ(objClassRegister("colorTabs", 0, otherHandler), id);
  EXPECT_EQ(objClassCount(), 2u);
}

TEST_F(Classes, ReRegistrationReplacesTheHandlerOnly) {
  registerShapes();
  const uint16_t arcId = objClassRegister("arc", curveId, otherHandler);
  const objClassRec before = *objClassEntry(lineId);

  EXPECT_EQ(objClassRegister("line", 0, otherHandler), lineId);
  const objClassRec* after = objClassEntry(lineId);
  EXPECT_EQ(after->superclass, curveId);
  EXPECT_EQ(after->previous, before.previous);
  EXPECT_EQ(after->handler, otherHandler);
  EXPECT_EQ(objClassCount(), 4u);
  EXPECT_EQ(objClassByName("arc"), arcId);  // the name chain still starts at the newest
  EXPECT_EQ(objClassByName("curve"), curveId);

  Shape line{lineId};
  EXPECT_EQ(objMeth(lineId, 1, &line), 99);
  EXPECT_EQ(lineCalls, 0);
}

TEST_F(Classes, NullHandlerTakesTheSuperclassHandler) {
  registerShapes();
  const uint16_t id = objClassRegister("x", curveId, nullptr);
  EXPECT_EQ(objClassEntry(id)->handler, curveHandler);
  EXPECT_EQ(objSuperClass(id), curveId);
  Shape x{id};
  EXPECT_EQ(objMeth(id, 2, &x), 22);

  // Under the root: the root's handler.
  const uint16_t plain = objClassRegister("plain", 0, nullptr);
  EXPECT_EQ(objClassEntry(plain)->handler, objRootHandler);
}

TEST_F(Classes, MessagesClimbTheChainUntilHandledOrTheRoot) {
  registerShapes();
  Shape line{lineId};
  struct Case { uint16_t classId; int message; int answer; };
  for (Case c : {Case{lineId, 1, 11}, Case{lineId, 2, 22}, Case{lineId, 3, -303}, Case{curveId, 1, -303},
                 Case{curveId, 2, 22}, Case{0, 1, -303}}) {
    SCOPED_TRACE(std::to_string(c.classId) + "/" + std::to_string(c.message));
    EXPECT_EQ(objMeth(c.classId, c.message, &line, 0, 0, 0), c.answer);
  }
  // Arguments arrive pointer-wide.
  EXPECT_EQ(objMeth(lineId, 4, &line, INTPTR_MAX, -1, reinterpret_cast<intptr_t>(&line)), 44);
  EXPECT_EQ(logText, "");
}

TEST_F(Classes, BadClassIdsAnswer302WithAPanic) {
  registerShapes();
  Shape line{lineId};
  for (uint16_t id : {uint16_t(3), uint16_t(65535)}) {
    logText.clear();
    EXPECT_EQ(objMeth(id, 1, &line), -302);
    EXPECT_EQ(logText, "[objMeth] Class=" + std::to_string(id) + ": bad Class\n");
  }

  objClassTestEntry(lineId)->tag = 0x5A5A;
  logText.clear();
  EXPECT_EQ(objMeth(lineId, 1, &line), -302);
  EXPECT_EQ(logText, "[objMeth] Class=2: bad Class\n");
  EXPECT_EQ(lineCalls, 0);
}

TEST_F(Classes, UnknownSuperclassIdReadsAsTheRoot) {
  registerShapes();
  const uint16_t id = objClassRegister("orphan", 500, nullptr);
  EXPECT_EQ(objSuperClass(id), 0);
  EXPECT_EQ(objClassEntry(id)->handler, objRootHandler);
  EXPECT_NE(logText.find("bad superclass 500"), std::string::npos);
  EXPECT_EQ(objSuperClass(4000), 0);
}

TEST_F(Classes, ValidateNameAndMembershipOfObjects) {
  registerShapes();
  const uint16_t longId = objClassRegister("polylineSeg", lineId, nullptr);
  Shape line{lineId}, root{0}, stale{500}, longName{longId};

  struct V { const void* object; int answer; };
  for (V c : {V{nullptr, -1}, V{&root, -2}, V{&stale, -3}, V{&line, 0}}) EXPECT_EQ(objValidate(c.object), c.answer);

  struct N { const void* object; int size; const char* text; };
  for (N c : {N{&longName, 4, "pol"}, N{&longName, 1, ""}, N{&longName, 9, "polyline"}, N{&longName, 100, "polyline"},
              N{&line, 100, "line"}, N{&root, 100, "class"}, N{&stale, 100, ""}, N{nullptr, 100, ""}}) {
    char buffer[101];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(objClassName(c.object, c.size, buffer), buffer);
    EXPECT_STREQ(buffer, c.text);
    EXPECT_EQ(buffer[std::strlen(c.text) + 1], 'x');  // nothing written past the terminator
  }

  struct M { const void* object; const char* name; int answer; };
  for (M c : {M{&line, "curve", 1}, M{&line, "line", 1}, M{&line, "class", 0}, M{&line, "arc", 0}, M{&line, "", 0},
              M{&longName, "polylineX", 1}, M{&longName, "curve", 1}, M{&root, "class", 0}, M{nullptr, "line", 0}}) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(objInClass(c.object, c.name), c.answer);
  }
  EXPECT_EQ(logText, "");
}

TEST_F(Classes, BadEntryInTheChainIsLoggedAlertedAndAnswers302) {
  registerShapes();
  dbgSetFlags(1);  // trace alerts are shown
  Shape line{lineId};
  objClassTestEntry(curveId)->tag = 7;

  EXPECT_EQ(objInClass(&line, "line"), 1);  // found before the bad entry
  EXPECT_EQ(objInClass(&line, "curve"), -302);
  EXPECT_EQ(logText, "Class: 2 line\nClass: 1 curve\n");
  ASSERT_EQ(plTestMessageBoxes().size(), 1u);
  EXPECT_NE(plTestMessageBoxes()[0].text.find("Bad object in objInClass"), std::string::npos);

  logText.clear();
  Shape stale{9};
  EXPECT_EQ(objInClass(&stale, "line"), -302);
  EXPECT_EQ(logText, "Class: 9 \n");
}

TEST_F(Classes, WalksOverCorruptChainsEnd) {
  registerShapes();
  Shape line{lineId};
  objClassTestEntry(lineId)->superclass = lineId;  // a loop
  EXPECT_EQ(objInClass(&line, "zzz"), -302);

  objClassTestEntry(lineId)->previous = lineId;
  EXPECT_EQ(objClassByName("zzz"), 0);
  objClassTestEntry(lineId)->previous = 40000;
  EXPECT_EQ(objClassByName("zzz"), 0);
}

TEST_F(Classes, TableGrowsAndIdsStayWithinSixteenBits) {
  std::vector<std::string> names;
  for (int i = 1; i <= 40; ++i) {
    names.push_back("cls" + std::to_string(i));
    EXPECT_EQ(objClassRegister(names.back().c_str(), uint16_t(i - 1), otherHandler), i);
  }
  for (int i = 1; i <= 40; ++i) {
    EXPECT_EQ(objClassByName(names[i - 1].c_str()), i);
    EXPECT_EQ(objSuperClass(uint16_t(i)), i - 1);
  }
  EXPECT_EQ(logText, "");

  // Past 30000 classes each new one is reported, and made all the same.
  objClassTestPad(30001);
  EXPECT_EQ(objClassRegister("late", 0, otherHandler), 30001);
  EXPECT_EQ(logText, "too many classes (>30001)");

  // With every 16-bit id taken a new class is refused as the root; the
  // table and the root stay as they are, and known names still register.
  objClassTestPad(65536);
  logText.clear();
  EXPECT_EQ(objClassRegister("over", 1, otherHandler), 0);
  EXPECT_NE(logText.find("no class id left"), std::string::npos);
  EXPECT_EQ(objClassCount(), 65536u);
  EXPECT_EQ(objClassEntry(0)->handler, objRootHandler);
  EXPECT_EQ(objClassRegister("late", 0, curveHandler), 30001);
  EXPECT_EQ(objClassByName("over"), 0);
}

}  // namespace
