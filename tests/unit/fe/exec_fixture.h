// Shared by the execution-loop and control-operator tests: a fresh
// interpreter with a few test operators, the interpreter output captured, and
// the operand stack read back as text.
#ifndef PLUMET_TESTS_FE_EXEC_FIXTURE_H
#define PLUMET_TESTS_FE_EXEC_FIXTURE_H

#include "core/debug.h"
#include "core/errors.h"
#include "fe/arrays.h"
#include "fe/control.h"
#include "fe/dict.h"
#include "fe/error.h"
#include "fe/exec.h"
#include "fe/generic.h"
#include "fe/init.h"
#include "fe/names.h"
#include "fe/operator.h"
#include "fe/output.h"
#include "fe/stack.h"
#include "fe/strings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace execfx {

inline std::string& output() {
  static std::string text;
  return text;
}

inline void capture(void*, const char* text, size_t length) { output().append(text, length); }

// Test operators:
//   xtFrames  "#I"   the depth of the procedure-frame stack
//   xtLocal   "#I"   the capacity of the current local dictionary, -1 without one
//   xtNest    "S#I"  runs the text on its own execution stack (feExecString)
//                    and answers the run's result
//   xtFail    "I"    fails with the given code
inline int opFrames(feArgs* a) {
  *static_cast<int32_t*>(a->out[0]) = feStackCount(*feFrameStack());
  return feOk;
}
inline int opLocal(feArgs* a) {
  feObject frame;
  int32_t capacity = -1;
  if (feCurrentFrame(&frame) == feOk) feDictMaxLength(&frame, &capacity);
  *static_cast<int32_t*>(a->out[0]) = capacity;
  return feOk;
}
inline int opNest(feArgs* a) {
  const std::string text(a->in[0].text.text, size_t(a->in[0].text.length));
  *static_cast<int32_t*>(a->out[0]) = feExecString(text.c_str());
  return feOk;
}
inline int opFail(feArgs* a) { return a->in[0].i; }

inline bool defined(const char* name) {
  feObject key, value;
  feMakeName(&key, name, std::char_traits<char>::length(name));
  if (feLoad(&key, &value) != feOk) return false;
  feFree(&value);
  return true;
}

// A fresh interpreter; the dictionary stack back to systemdict and userdict
// (other suites of this executable rebuild it), the operand stack empty, the
// debug flags clear and the output captured.
inline void start() {
  ASSERT_EQ(feInitFresh(), feOk);
  feDictStackInit(feSystemDict(), feUserDict());
  if (!defined("xtFrames")) {
    feRegisterOp("xtFrames", opFrames, "#I", 0, 0);
    feRegisterOp("xtLocal", opLocal, "#I", 0, 0);
    feRegisterOp("xtNest", opNest, "S#I", 0, 0);
    feRegisterOp("xtFail", opFail, "I", 0, 0);
  }
  feStackClear(*feOperandStack());
  dbgSetFlags(0);
  output().clear();
  feSetOutHook(capture, nullptr);
}

inline void stop() {
  feSetOutHook(nullptr, nullptr);
  dbgSetFlags(0);
  feStackClear(*feOperandStack());
}

// The operand stack, bottom first, each value as "==" prints it, separated
// by blanks. The stack is left as it was.
inline std::string operands() {
  std::string saved;
  saved.swap(output());
  const feStack* stack = *feOperandStack();
  const int32_t n = feStackCount(stack);
  for (int32_t depth = n - 1; depth >= 0; --depth) {
    fePrint(feStackIndex(stack, depth), 1);
    if (depth > 0) output() += ' ';
  }
  std::string text;
  text.swap(output());
  output().swap(saved);
  return text;
}

// Values for building procedures from native code.
inline feObject integer(int32_t i) {
  feObject v;
  feMakeInt(&v, i);
  return v;
}
inline feObject real(double d) {
  feObject v;
  feMakeReal(&v, d);
  return v;
}
inline feObject execName(const char* text) {
  feObject v;
  feNameExec(text, &v);
  return v;
}
// An executable array holding the values (moved in).
inline feObject procedure(std::vector<feObject> elements) {
  feObject v;
  feMakeArray(&v, elements.data(), uint32_t(elements.size()));
  v.flags |= feFlagExec;
  return v;
}
inline feObject execString(const char* text) {
  feObject v;
  feMakeString(&v, text, std::char_traits<char>::length(text));
  v.flags |= feFlagExec;
  return v;
}

// Defines name in userdict (the stored copy of an executable array is marked
// as a named procedure); value is released.
inline void defineUser(const char* name, feObject value) {
  feDictDefName(feUserDict() ? feUserDict() : feDictAtLevel(2), name, &value);
  feFree(&value);
}

}  // namespace execfx

#endif
