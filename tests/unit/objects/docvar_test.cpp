// Document records through the document events, the scripts' saved
// variables across document switches, the "varsave" image block, tool
// types and the current-object group.
#include "docvar_fixture.h"

#include "core/alloc.h"
#include "fe/dict.h"
#include "objects/numtbl.h"

#include <cstring>

namespace {

using docvarfx::DocVarTest;

class DocVar : public DocVarTest {
protected:
  // The tool-type operators, registered once per run. Their set-up also
  // enters the event handler and the variables: keep the fixture's single
  // entries.
  static void registerToolTypeOps() {
    if (execfx::defined("aGetToolType")) return;
    docVarInit();
    evtReset();
    evtAdd(0xFFFF0000u, docEvtFamily, dbDocEvent);
    docVarReset();
    docVarSettingsRegister();
  }
};

TEST_F(DocVar, FirstDocumentGetsFreshSettingsAndFollowersCopyTheCurrent) {
  dbDocRec*& a = newDoc();
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->useCount, 1);
  EXPECT_EQ(a->selectColor, 1);
  EXPECT_EQ(a->hitRadius, 12u);
  EXPECT_EQ(a->workLayer, 0);
  EXPECT_EQ(a->defaultObject.classId, gobjClassId());
  EXPECT_EQ(a->defaultObject.refCount, gobjPermanent);
  EXPECT_EQ(a->defaultObject.style >> 5, 2);
  ASSERT_NE(a->layers, nullptr);
  EXPECT_EQ(tblCount(a->layers), 3u);
  ASSERT_EQ(a->toolTypeCount, 48u);
  EXPECT_EQ(a->toolTypes[0], 2);
  EXPECT_EQ(a->toolTypes[47], 2);
  EXPECT_EQ(dbDocCurrent(), nullptr);

  activate(a);
  EXPECT_EQ(dbDocCurrent(), a);
  EXPECT_EQ(a->useCount, 2);
  a->selectColor = 6;
  a->hitRadius = 5;
  a->workLayer = 2;
  a->defaultObject.color = 9;

  dbDocRec*& b = newDoc();
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->selectColor, 6);
  EXPECT_EQ(b->hitRadius, 5u);
  EXPECT_EQ(b->workLayer, 2);
  EXPECT_EQ(b->defaultObject.color, 9);
  EXPECT_NE(b->layers, a->layers);
  EXPECT_EQ(tblCount(b->layers), tblCount(a->layers));
  EXPECT_NE(b->identifier, a->identifier);
  EXPECT_EQ(b->identifier & 0xFFFFFF, b->identifier >> 24);

  // Freeing the current document releases it first.
  evtSignal(docEvtFamily | docEvtFreed, reinterpret_cast<intptr_t>(&a));
  EXPECT_EQ(a, nullptr);
  EXPECT_EQ(dbDocCurrent(), nullptr);
  activate(b);
  EXPECT_EQ(dbDocCurrent(), b);
}

TEST_F(DocVar, SavedVariableKeepsOneValuePerDocument) {
  varSaveAdd("abc", 3, 0);
  varSaveAdd("glob", 4, 1);
  ASSERT_EQ(run("/abc 1 def /glob 10 def"), 0);
  dbDocRec*& a = newDoc();
  dbDocRec*& b = newDoc();
  activate(a);
  ASSERT_EQ(run("/abc (in a) store /glob 11 store"), 0);
  activate(b);  // a keeps "in a"; b brings back its own 1
  EXPECT_EQ(valueOf("abc"), "1");
  ASSERT_EQ(run("/abc 7 store"), 0);
  activate(a);
  EXPECT_EQ(valueOf("abc"), "(in a)");
  // The record holds its own copy: changing the string in place does not
  // reach it.
  ASSERT_EQ(run("abc 0 88 put"), 0);
  activate(b);
  EXPECT_EQ(valueOf("abc"), "7");
  activate(a);
  EXPECT_EQ(valueOf("abc"), "(Xn a)");
  // A global entry is not switched with the documents.
  EXPECT_EQ(valueOf("glob"), "11");
}

TEST_F(DocVar, ValueThatContainsItselfIsCapturedAsNull) {
  varSaveAdd("loop", 4, 0);
  ASSERT_EQ(run("/loop [1 2] def loop 1 loop put"), 0);
  dbDocRec*& a = newDoc();
  ASSERT_EQ(a->savedCount, 1u);
  EXPECT_EQ(feType(&a->savedValues[0]), feTNull);
  ASSERT_EQ(run("loop 1 null put"), 0);  // the cycle would keep the array alive
}

TEST_F(DocVar, VarsaveBlockLayoutAndReading) {
  varSaveAdd("abc", 3, 0);
  varSaveAdd("xy", 2, 1);
  uint32_t length = 0;
  uint8_t* block = varSaveBlockMake(&length);
  const std::vector<uint8_t> expected = {0x02, 0x00, 0x03, 0x02, 0x00, 0x01, 'a', 'b', 'c', 'x', 'y', 0x00};
  EXPECT_EQ(std::vector<uint8_t>(block, block + length), expected);

  varSaveReset();
  EXPECT_EQ(varSaveBlockRead(block, length), 0);
  ASSERT_EQ(varSaveCount(), 2u);
  EXPECT_EQ(varSaveFind("xy", 2), 1);
  EXPECT_EQ(varSaveEntryAt(1)->global, 1);
  // Lengths that run past the block are refused, nothing is added.
  varSaveReset();
  block[2] = 40;
  EXPECT_EQ(varSaveBlockRead(block, length), -4139);
  EXPECT_EQ(varSaveCount(), 0u);
  uFree(&block);
}

TEST_F(DocVar, ToolTypesStayInsideTheRecordsArray) {
  registerToolTypeOps();
  dbDocRec*& a = newDoc();
  activate(a);
  ASSERT_EQ(run("21 3 aSetToolType 21 aGetToolType 19 aGetToolType"), 0);
  EXPECT_EQ(execfx::operands(), "3 0");
  // The program-wide length grows; the record made with 48 entries does not.
  ASSERT_EQ(run("clear 100 aSetIconArrayLength 90 5 aSetToolType 90 aGetToolType aGetIconArrayLength"), 0);
  EXPECT_EQ(execfx::operands(), "0 100");
  docIconArrayLengthSet(48);
}

TEST_F(DocVar, RecordMadeWithNoIconsHasNoToolTypes) {
  registerToolTypeOps();
  // The start-up script's empty icon array: a record is still made, and
  // its tool types read as 0 and take no writes, even once the length grows.
  docIconArrayLengthSet(0);
  dbDocRec*& a = newDoc();
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->toolTypeCount, 0u);
  activate(a);
  ASSERT_EQ(run("21 3 aSetToolType 21 aGetToolType 48 aSetIconArrayLength 22 4 aSetToolType 22 aGetToolType"), 0);
  EXPECT_EQ(execfx::operands(), "0 0");
  docIconArrayLengthSet(48);
}

TEST_F(DocVar, CurrentObjectsCarryTheRecentFlag) {
  gobjRec* p = objNew(tpoint());
  gobjRec* q = objNew(tpoint());
  glist* first = grpOfOne(p);
  grpRetain(first);
  feArg in[1];
  in[0].record = first;
  feArgs args{in, 1, nullptr, 0, 0};
  EXPECT_EQ(aSetCurObj(&args), 0);
  EXPECT_TRUE(p->flags & gobjRecent);
  glist* current = curObjGroup();
  EXPECT_NE(current, first);
  // The same members again change nothing.
  EXPECT_EQ(aSetCurObj(&args), 0);
  EXPECT_EQ(curObjGroup(), current);

  glist* second = grpOfOne(q);
  grpRetain(second);
  in[0].record = second;
  EXPECT_EQ(aSetCurObj(&args), 0);
  EXPECT_FALSE(p->flags & gobjRecent);
  EXPECT_TRUE(q->flags & gobjRecent);
  EXPECT_EQ(sheetCurrentOrDefault()->curObjects, curObjGroup());
  grpRelease(&first);
  grpRelease(&second);
  sheetReset();
}

}  // namespace
