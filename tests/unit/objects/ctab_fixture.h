// Shared by the colour-table tests: the graphic-object fixture with the
// colour tables and colour names set up (the operators registered once per
// process, the rest afresh), helpers to run FE text on a clean operand
// stack, and the tables made during a test freed after it.
#ifndef PLUMET_TESTS_OBJECTS_CTAB_FIXTURE_H
#define PLUMET_TESTS_OBJECTS_CTAB_FIXTURE_H

#include "gobject_fixture.h"

#include "draw/gdi.h"
#include "fe/stack.h"
#include "objects/colortbl.h"
#include "objects/ctab.h"
#include "objects/ctab_internal.h"

#include <cstdlib>
#include <string>

namespace ctabfx {

// The localisation hooks as the start-up script leaves them: nothing to
// rename (tests that localise define their own; the interpreter outlives a
// test when suites share a process).
inline void quietLocalization() {
  feExecString("/aLocalizeTongueReq {pop} def /aLocalizeColorName {} def");
}

class CTabTest : public gobjfx::GobjTest {
protected:
  void SetUp() override {
    GobjTest::SetUp();
    if (!execfx::defined("aColorTableMake")) {
      cTabInit();
    } else {
      cTabSetUp();
      colortblSetUp();
    }
    quietLocalization();
  }
  void TearDown() override {
    clearStack();
    if (cTab* table = cTabCurrent()) cTabFree(table);
    cTabReset();
    gdiSetColorHooks(nullptr);
    GobjTest::TearDown();
  }

  static void clearStack() { feStackPopN(*feOperandStack(), feStackCount(*feOperandStack())); }
  // Runs FE text on a clean operand stack; answers its result.
  static int run(const char* text) {
    clearStack();
    return feExecString(text);
  }
  static std::string stack() { return execfx::operands(); }
  // A default table made current through aColorTableMake (freed after the
  // test as the current table).
  static cTab* makeCurrent() {
    EXPECT_EQ(run("aColorTableMake pop"), 0);
    return cTabCurrent();
  }
  static std::string name(const cTab* table, int index) { return table->entries[index].name; }

  // The record of the program object on top of the operand stack.
  static void* topRecord() {
    const feObject* top = feStackIndex(*feOperandStack(), 0);
    return top && feType(top) == feTObject ? top->w0.obj : nullptr;
  }
  // A key: a name, or an integer when the text is a number.
  static feObject key(const char* text) {
    feObject k;
    if (text[0] >= '0' && text[0] <= '9') feMakeInt(&k, std::atoi(text));
    else k = gobjfx::name(text);
    return k;
  }
  // Message 107 to a program object: the answer, and the value as "=="
  // prints it (empty when the answer is not 0).
  static int get(void* object, const char* keyText, std::string* text) {
    feObject k = key(keyText), v;
    feMakeNull(&v);
    const int answer = objMeth(*static_cast<uint16_t*>(object), msgGetAttr, object, reinterpret_cast<intptr_t>(&k),
                               reinterpret_cast<intptr_t>(&v));
    if (text) *text = answer == 0 ? gobjfx::print(v) : "";
    feFree(&v);
    return answer;
  }
  // Message 108 with the value given as FE text (run and taken from the stack).
  static int set(void* object, const char* keyText, const char* valueText) {
    feObject k = key(keyText), v;
    const int32_t depth = feStackCount(*feOperandStack());
    EXPECT_EQ(feExecString(valueText), 0) << valueText;
    fePop(*feOperandStack(), &v);
    EXPECT_EQ(feStackCount(*feOperandStack()), depth);
    const int answer = objMeth(*static_cast<uint16_t*>(object), msgSetAttr, object, reinterpret_cast<intptr_t>(&k),
                               reinterpret_cast<intptr_t>(&v));
    feFree(&v);
    return answer;
  }
};

}  // namespace ctabfx

#endif
