// Units in documents: each document's units record and mode word follow the
// document events, the class "units" as scripts see it, the seven settings
// through a saved and reopened drawing, and the "units" image block.
#include "docvar_fixture.h"

#include "core/alloc.h"
#include "core/classes.h"
#include "fe/newbio.h"
#include "fe/units_ops.h"
#include "objects/units_doc.h"

#include <string>

namespace {

class UnitsDoc : public docvarfx::DocVarTest {
protected:
  void SetUp() override {
    DocVarTest::SetUp();
    unitResetForTests();
    unitLoadTable();
    if (!execfx::defined("aSetMM")) unitOpsRegister();
    unitClassRegister();
    unitDocRegister();
  }
  void TearDown() override {
    DocVarTest::TearDown();
    unitResetForTests();
  }
  // Runs text; the operand stack as "==" prints it, or the error code.
  static std::string script(const char* text) {
    const int rc = run(text);
    std::string result = rc ? "error " + std::to_string(rc) : execfx::operands();
    feStackClear(*feOperandStack());
    return result;
  }
};

TEST_F(UnitsDoc, RecordOpKinds) {
  unitsRec a, b;
  unitDefaultInit(&a);
  unitDefaultInit(&b);
  unitDefaultRecord()->flags = unitFlagLead0;
  unitRecordOp(1, &a);  // copies the current (default) record
  EXPECT_EQ(a.flags, unitFlagLead0);
  EXPECT_EQ(a.classId, unitClassId());
  unitRecordOp(4, &a);
  EXPECT_EQ(unitCurrent(), &a);
  unitRecordOp(2, &b);  // not current: nothing
  EXPECT_EQ(unitCurrent(), &a);
  unitRecordOp(7, &b);
  EXPECT_EQ(unitCurrent(), &a);
  unitRecordOp(2, &a);
  EXPECT_EQ(unitCurrent(), unitDefaultRecord());
  unitRecordOp(11, &b);
  EXPECT_EQ(unitCurrent(), &b);
  unitRecordOp(10, nullptr);
  EXPECT_EQ(unitCurrent(), unitDefaultRecord());
}

TEST_F(UnitsDoc, EachDocumentKeepsItsUnits) {
  dbDocRec*& a = newDoc();
  activate(a);
  EXPECT_EQ(unitCurrent(), &a->units);
  EXPECT_EQ(script("aUnits /precision 0.0625 put 0.25 aLengthToString"), "(1/4)");
  dbDocRec*& b = newDoc();  // starts as a copy of the current units
  EXPECT_NE(b->units.flags & unitFlagFraction, 0);
  activate(b);
  EXPECT_EQ(script("aUnits /precision 0.001 put aUnits /lead0 true put 0.25 aLengthToString"), "(0.25)");
  activate(a);
  EXPECT_EQ(script("/kept aUnits def 0.25 aLengthToString"), "(1/4)");
  // Freeing the current document leaves the default record current; a
  // units value that a script kept now reaches that record, never the
  // freed one.
  evtSignal(docEvtFamily | docEvtFreed, reinterpret_cast<intptr_t>(&a));
  EXPECT_EQ(unitCurrent(), unitDefaultRecord());
  EXPECT_EQ(script("0.25 aLengthToString kept /fraction get"), "(.25) false");
  EXPECT_EQ(script("kept /lead0 true put /kept null def 0.25 aLengthToString"), "(0.25)");
}

// A document's units as a script holds them (the document attribute
// "units" hands out such an object): the document's own record, current or
// not, until the document goes; then every message but 100 answers -4146.
TEST_F(UnitsDoc, ADocumentsUnitsObjectReachesItsRecordUntilTheDocumentGoes) {
  dbDocRec*& a = newDoc();
  dbDocRec*& b = newDoc();
  activate(b);
  void* units = unitDocObjectNew(a);
  ASSERT_NE(units, nullptr);
  EXPECT_EQ(objInClass(units, "units"), 1);
  feObject value;
  feMakeObjRef(&value, units);
  execfx::defineUser("ua", value);
  EXPECT_EQ(script("ua /precision 0.5 put ua /precision get"), "0.5");
  EXPECT_EQ(a->units.step, 0.5);
  EXPECT_NE(b->units.step, 0.5) << "the current document's units are not touched";

  evtSignal(docEvtFamily | docEvtFreed, reinterpret_cast<intptr_t>(&a));
  const std::string noDoc = "error " + std::to_string(docErrNoDoc);
  EXPECT_EQ(script("ua /precision get"), noDoc);
  EXPECT_EQ(script("ua /precision 1 put"), noDoc);
  const uint16_t id = *static_cast<uint16_t*>(units);
  for (int message : {107, 108, 500, 999}) EXPECT_EQ(objMeth(id, message, units), docErrNoDoc) << message;
  EXPECT_EQ(objMeth(id, 500, nullptr), -1) << "to the class itself: \"units\" stores the block";
  EXPECT_EQ(script("ua ua eq"), "true");
  feObject none;
  feMakeNull(&none);
  execfx::defineUser("ua", none);  // the last reference: message 100 frees it
}

TEST_F(UnitsDoc, MillimetreModeFollowsTheDocument) {
  dbDocRec*& a = newDoc();
  dbDocRec*& b = newDoc();
  activate(a);
  EXPECT_EQ(script("true aSetMM (1 inch) aStringToLength"), "25.4");
  EXPECT_EQ(a->unitsMode, 1);
  activate(b);
  EXPECT_EQ(script("aGetMM (1 inch) aStringToLength"), "false 1.");
  activate(a);
  EXPECT_EQ(script("aGetMM"), "true");
}

TEST_F(UnitsDoc, ClassKeys) {
  EXPECT_EQ(script("aUnits /precision 0.125 put aUnits /precision get aUnits /fraction get aUnits /precflag get"),
            "0.125 true 131");
  EXPECT_EQ(script("aUnits /format (mm inch) put aUnits /format get aUnits /abrv get aUnits /internal get"),
            "(mm \") false false");
  EXPECT_EQ(script("aUnits /value 1 put"), "error 281");
  EXPECT_EQ(script("aUnits /lead0 1 put"), "error 269");
  EXPECT_EQ(script("aUnits /colour get"), "error 281");
  EXPECT_EQ(objMeth(unitClassId(), 999, unitCurrent()), -1);
}

TEST_F(UnitsDoc, ScriptReferencesNeverTouchTheFlags) {
  // Each reference counts the record's own byte, which is permanent.
  EXPECT_EQ(script("/u1 aUnits def /u2 aUnits def aUnits dup dup pop pop pop 1.5 aLengthToString"), "(1.5)");
  EXPECT_EQ(unitGetFlags(), 0);
  EXPECT_EQ(unitCurrent()->refCount, 255);
  EXPECT_EQ(script("/u1 null def /u2 null def 0.5 aLengthToString"), "(.5)");
  EXPECT_EQ(unitGetFlags(), 0);
}

TEST_F(UnitsDoc, SettingsTravelWithTheDrawing) {
  dbDocRec*& a = newDoc();
  activate(a);
  ASSERT_EQ(script("[/format (mm) /lead0 true /trail0 true /abrv true] aLengthSetParams true aSetMM"), "");
  a->units.step = 0;  // a step no setter gives, as an older file might hold
  ASSERT_EQ(save(path()), 0);

  dbDocRec*& c = newDoc();
  activate(c);
  script("false aSetMM [/format (inch) /lead0 false /trail0 false /abrv false /precision 0.5] aLengthSetParams");
  ASSERT_EQ(load(path()), 0);
  EXPECT_EQ(c->units.units[0], 1);
  EXPECT_EQ(c->units.units[1], -1);
  EXPECT_EQ(c->units.flags, unitFlagLead0 | unitFlagTrail0 | unitFlagAbbrev);
  EXPECT_EQ(c->units.step, unitMinimumStep);
  EXPECT_EQ(c->units.decimals, 9);
  EXPECT_EQ(c->unitsMode, 1);
  EXPECT_EQ(unitGetMode(), 1u);
  // The header's metric flag follows the mode word.
  const std::vector<uint8_t> file = bytes(path());
  ASSERT_GE(file.size(), 4u);
  EXPECT_EQ(file[3] & 0xF, 1);
}

TEST_F(UnitsDoc, ImageBlockCarriesDefinedUnits) {
  EXPECT_EQ(unitCount(), 2);  // no block: inch and millimetre
  EXPECT_STREQ(unitAt(0)->abbrev, "\"");
  ASSERT_EQ(script("(foot feet ') 12 aDefUnit"), "");
  // Before an image is written the class stores the table.
  EXPECT_EQ(objMeth(unitClassId(), feMsgPreSave, nullptr), 0);
  unitResetForTests();
  unitLoadTable();
  ASSERT_EQ(unitCount(), 3);
  EXPECT_STREQ(unitAt(2)->names, "foot feet '");
  EXPECT_EQ(unitAt(2)->inchSize, 12);
  EXPECT_EQ(script("(2 feet) aStringToLength"), "24.");
  // The block was taken: the next start without an image has the two units.
  unitResetForTests();
  unitLoadTable();
  EXPECT_EQ(unitCount(), 2);
}

}  // namespace
