// Shared by the document and window-title tests: the view-module fixture
// with the program's hooks, the lock table emptied, a scratch dictionary on
// the dictionary stack for the script procedures a test defines, and
// helpers to read attributes and run FE text.
#ifndef PLUMET_TESTS_VIEWS_DOC_FIXTURE_H
#define PLUMET_TESTS_VIEWS_DOC_FIXTURE_H

#include "vw_fixture.h"

#include "fe/script.h"
#include "fe/stack.h"
#include "fe/strings.h"
#include "objects/objmsg.h"
#include "ui/filelock.h"
#include "ui/wind.h"
#include "views/doc_internal.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace docfx {

inline int viewCount(sheetRec* sheet) {
  int n = 0;
  for (viewRec* v = sheet->firstView; v; v = v->next) ++n;
  return n;
}

class DocTest : public vwfx::VwTest {
protected:
  void SetUp() override {
    VwTest::SetUp();
    fileLockReset();
    // The settings tests' set-up empties the variable registry.
    if (!docVarFind("$SHOWPAGE", 9)) docVarsInit();
    ASSERT_EQ(feExecString("20 dict begin"), 0);
  }
  void TearDown() override {
    docResetAll();
    feExecString("end");
    fileLockReset();
    VwTest::TearDown();
  }

  // Defines a procedure in the scratch dictionary: /name {body} def.
  static void define(const char* name, const std::string& body) {
    ASSERT_EQ(feExecString(("/" + std::string(name) + " {" + body + "} def").c_str()), 0) << name;
  }

  // A new open document made by aNewDoc.
  static docRec* newDoc() {
    EXPECT_EQ(run("null aNewDoc"), 0);
    return vwCurDoc();
  }

  static std::string attr(docRec* doc, const char* key, int* answer = nullptr) {
    feObject k = gobjfx::name(key), v;
    feMakeNull(&v);
    const int rc =
        objMeth(docClassId(), msgGetAttr, doc, reinterpret_cast<intptr_t>(&k), reinterpret_cast<intptr_t>(&v));
    if (answer) *answer = rc;
    std::string text = gobjfx::print(v);
    feFree(&v);
    return text;
  }
  static int setAttr(docRec* doc, const char* key, feObject value) {
    feObject k = gobjfx::name(key);
    const int rc =
        objMeth(docClassId(), msgSetAttr, doc, reinterpret_cast<intptr_t>(&k), reinterpret_cast<intptr_t>(&value));
    feFree(&value);
    return rc;
  }
  static int setTitle(docRec* doc, const char* title) { return setAttr(doc, "title", text(title)); }

  // The titles aDocNames pushes, then its count, as "==" prints them.
  static std::string docNames() {
    feStackClear(*feOperandStack());
    EXPECT_EQ(run("aDocNames"), 0);
    std::string s = execfx::operands();
    feStackClear(*feOperandStack());
    return s;
  }
};

}  // namespace docfx

#endif
