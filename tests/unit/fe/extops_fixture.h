// Shared by the extension-operator and output-operator tests: the fresh
// interpreter of exec_fixture.h with the operators of fe/extops.h and
// fe/outops.h in a dictionary of their own on the dictionary stack (so that
// systemdict and the registration order it records stay as the interpreter's
// start made them), a test operator xtAdd ("II#I") and, while the
// interpreter has none, "[" (pushes a mark), and a scratch dictionary
// on top that takes the test's definitions.
#ifndef PLUMET_TESTS_FE_EXTOPS_FIXTURE_H
#define PLUMET_TESTS_FE_EXTOPS_FIXTURE_H

#include "exec_fixture.h"
#include "fe/extops.h"
#include "fe/outops.h"

#include <gtest/gtest.h>

#include <string>

namespace extfx {

inline int opAdd(feArgs* a) {
  *static_cast<int32_t*>(a->out[0]) = a->in[0].i + a->in[1].i;
  return feOk;
}

// "[" for array texts, until the interpreter registers its own.
inline int opMark(feArgs*) {
  feObject mark;
  feMakeMark(&mark);
  return fePush(feOperandStack(), &mark);
}

// The dictionary holding the operators under test, made once.
inline const feObject* opsDict() {
  static feObject dict{};
  if (feType(&dict) == feTEmpty) {
    feExtOpsInit();
    feMakeDict(&dict, 40);
    for (const char* name : {"aCvs", "aCase", "aCond", "aGetX", "aAGetX", "known", "aMerge", "aForallN", "aForall2",
                             "aMdef", "aSetDebugFlags", "aDebugFlags", "aStackTrace", "aStackCrawl", "aCat",
                             "aLogPrint"}) {
      const feOpSpec* spec = feExtOpSpec(name);
      EXPECT_NE(spec, nullptr) << name;
      if (spec) feInstallOpDict(&dict, spec->name, spec->handler, spec->signature, 0, 0);
    }
    for (const char* name : {"aOut", "print", "=", "==", "stack", "pstack", "prompt"}) {
      const feOpSpec* spec = feOutOpSpec(name);
      EXPECT_NE(spec, nullptr) << name;
      if (spec) feInstallOpDict(&dict, spec->name, spec->handler, spec->signature, 0, 0);
    }
    feInstallOpDict(&dict, "xtAdd", opAdd, "II#I", 0, 0);
    feObject existing;
    if (feDictGetName(feSystemDict(), "[", &existing) == feOk) feFree(&existing);
    else feInstallOpDict(&dict, "[", opMark, "", 0, 0);
  }
  return &dict;
}

inline void start() {
  execfx::start();
  feDictBegin(opsDict());
  feObject scratch;
  feMakeDict(&scratch, 40);
  feDictBegin(&scratch);
  feFree(&scratch);
  feOutSetSink(nullptr);
  feOutSetWrapLimit(0);
  // Other suites replace the hook for their own checks.
  feDictSetOverwriteHook(feStackCrawl);
  // Start every test at the beginning of a line of the default destination.
  feOutWrite("\r", 1);
  execfx::output().clear();
}

inline void stop() {
  feOutSetSink(nullptr);
  feOutSetWrapLimit(0);
  execfx::stop();
}

// Runs text and answers its result; the operand stack is emptied first.
inline int run(const char* text) {
  feStackClear(*feOperandStack());
  return feExecString(text);
}

class Fixture : public ::testing::Test {
protected:
  void SetUp() override { start(); }
  void TearDown() override { stop(); }
};

// One case of a table: the text, its result and the operand stack it leaves
// (bottom first, as == prints each value; null: not checked).
struct Case {
  const char* text;
  int result;
  const char* stack;
};

template <size_t N>
void runTable(const Case (&cases)[N]) {
  for (const Case& c : cases) {
    EXPECT_EQ(run(c.text), c.result) << c.text;
    if (c.stack) {
      EXPECT_EQ(execfx::operands(), c.stack) << c.text;
    }
  }
}

}  // namespace extfx

#endif
