#include "fe/init.h"

#include "core/errors.h"
#include "fe/arrays.h"
#include "fe/control.h"
#include "fe/dict.h"
#include "fe/error.h"
#include "fe/exec.h"
#include "fe/generic.h"
#include "fe/names.h"
#include "fe/operator.h"
#include "fe/stack.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

// The order in which the interpreter registers its operators.
const char kOrder[] =
    "aCvs aCase aCond aGetX aAGetX aMerge aForall2 aForallN aMdef aSetDebugFlags aDebugFlags aStackTrace "
    "aStackCrawl aCat aLogPrint aload astore array ] aUnload aLoad aBOut if ifelse quit loop repeat for exit "
    "stop stopped execstack countexecstack exec suspend resume known def store load where currentdict "
    "countdictstack dict begin end dictstack handleerror closefile currentfile resetfile flushfile flush "
    "bytesavailable echo status write writestring writehexstring readstring readhexstring readline aOut file "
    "read run print = == stack pstack prompt add sub mul div exp ln log idiv mod fmod sqrt atan sin cos abs "
    "neg ceiling floor round truncate rand rrand srand get put aget aput cvs getinterval putinterval token "
    "forall type version usertime bind adict length maxlength eq ne lt le gt ge and or xor not bitshift dup "
    "pop exch copy index roll clear count mark [ cleartomark counttomark cvn string anchorsearch search cvx "
    "LOAD DUPLOAD cvp cvlit xcheck cvi cvr cvrs APP aXPut aXGet << >> aInclude";

std::vector<std::string> words(const char* text) {
  std::istringstream in(text);
  std::vector<std::string> out;
  for (std::string w; in >> w;) out.push_back(w);
  return out;
}

// The table index of the operator systemdict defines under name, or -1.
int32_t indexOf(const std::string& name) {
  feObject v;
  if (feDictGetName(feSystemDict(), name.c_str(), &v) != feOk) return -1;
  const int32_t index = feType(&v) == feTOperator ? int32_t(v.w0.u & 0xFFFF) : -1;
  feFree(&v);
  return index;
}

class InitFresh : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_EQ(feInitFresh(), feOk);
    feDictStackInit(feSystemDict(), feUserDict());
  }
};

TEST_F(InitFresh, RegistersTheOperatorsInTheFixedOrderAfterTheContinuations) {
  const std::vector<std::string> order = words(kOrder);
  ASSERT_EQ(order.size(), 153u);

  int32_t previous = -1;
  std::string previousName = "(the continuations)";
  const feObject* last = feContinuation("@dictforall");
  ASSERT_NE(last, nullptr);
  previous = int32_t(last->w0.u & 0xFFFF);
  int registered = 0;
  for (const std::string& name : order) {
    const int32_t index = indexOf(name);
    if (index < 0) continue;   // not built yet
    ++registered;
    EXPECT_GT(index, previous) << name << " registered before " << previousName;
    previous = index;
    previousName = name;
  }
  // Those of this step's modules, all of them executable operators.
  for (const char* name : {"aload", "astore", "array", "]", "if", "ifelse", "quit", "loop", "repeat", "for",
                           "exit", "stop", "stopped", "execstack", "countexecstack", "exec", "def", "store",
                           "load", "where", "currentdict", "countdictstack", "dict", "begin", "end",
                           "dictstack", "handleerror", "get", "put", "aget", "aput", "cvs", "token", "forall",
                           "type", "version", "usertime", "bind", "adict", "dup", "pop", "exch", "cvn", "LOAD",
                           "DUPLOAD", "aXPut", "aXGet", ">>"}) {
    SCOPED_TRACE(name);
    feObject v;
    ASSERT_EQ(feDictGetName(feSystemDict(), name, &v), feOk);
    EXPECT_EQ(feType(&v), feTOperator);
    EXPECT_TRUE(feIsExec(&v));
  }
  // All of them, one after the other: neighbours in the order take
  // neighbouring indices.
  EXPECT_EQ(registered, 153);
  for (size_t k = 1; k < order.size(); ++k) {
    EXPECT_EQ(indexOf(order[k]), indexOf(order[k - 1]) + 1) << order[k - 1] << " then " << order[k];
  }
  // The continuations come first, one after the other, before the standard
  // operators (from index 0 in a fresh process).
  const uint32_t stop = feContinuation("stop")->w0.u & 0xFFFF;
  EXPECT_EQ(feContinuation("@dictforall")->w0.u & 0xFFFF, stop + 9);
  EXPECT_LT(int32_t(stop), indexOf(order.front()));
}

TEST_F(InitFresh, DefinesTheStandardNamesInSystemdict) {
  const feObject* systemdict = feSystemDict();
  ASSERT_NE(systemdict, nullptr);
  EXPECT_EQ(feEq(feDictAtLevel(1), systemdict), feOk);
  EXPECT_EQ(feEq(feDictAtLevel(2), feUserDict()), feOk);

  feObject v;
  ASSERT_EQ(feDictGetName(systemdict, "null", &v), feOk);
  EXPECT_EQ(feType(&v), feTNull);
  ASSERT_EQ(feDictGetName(systemdict, "true", &v), feOk);
  EXPECT_EQ(feEq(&v, feTrue()), feOk);
  ASSERT_EQ(feDictGetName(systemdict, "false", &v), feOk);
  EXPECT_EQ(feEq(&v, feFalse()), feOk);

  struct Case {
    const char* name;
    const feObject* dict;
    int32_t capacity;   // at start
  };
  const Case cases[] = {
      {"systemdict", feSystemDict(), 800},
      {"userdict", feUserDict(), 2000},
      {"errordict", feErrorDict(), 20},
      {"$error", feErrorRecordDict(), 10},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_NE(c.dict, nullptr);
    ASSERT_EQ(feDictGetName(systemdict, c.name, &v), feOk);
    EXPECT_EQ(feEq(&v, c.dict), feOk);
    int32_t capacity = 0;
    EXPECT_EQ(feDictMaxLength(&v, &capacity), feOk);
    EXPECT_GE(capacity, c.capacity);
    feFree(&v);
  }

  // errorcheck is the procedure {stopped {handleerror} if}.
  ASSERT_EQ(feDictGetName(systemdict, "errorcheck", &v), feOk);
  EXPECT_EQ(feType(&v), feTArray);
  EXPECT_TRUE(feIsExec(&v));
  ASSERT_EQ(feArrayLength(&v), 3);
  EXPECT_EQ(feType(feArrayElem(&v, 1)), feTArray);
  const char* text = nullptr;
  size_t length = 0;
  feNameText(feArrayElem(&v, 2), &text, &length);
  EXPECT_EQ(std::string(text, length), "if");
  feFree(&v);

  // errordict's own handleerror is another operator than systemdict's;
  // recorderror is in no dictionary.
  feObject report, op;
  ASSERT_EQ(feDictGetName(feErrorDict(), "handleerror", &report), feOk);
  ASSERT_EQ(feDictGetName(systemdict, "handleerror", &op), feOk);
  EXPECT_EQ(feType(&report), feTOperator);
  EXPECT_NE(feEq(&report, &op), feOk);
  EXPECT_EQ(feDictGetName(systemdict, "recorderror", &v), feErrUndefined);
  EXPECT_TRUE(feOpDefining());
}

TEST_F(InitFresh, ASecondStartChangesNothing) {
  const int32_t operators = feOpCount();
  const feObject before = *feSystemDict();
  EXPECT_EQ(feInitFresh(), feOk);
  EXPECT_EQ(feOpCount(), operators);
  EXPECT_EQ(feSystemDict()->w0.dict, before.w0.dict);
}

TEST_F(InitFresh, ScriptsRunAtOnce) {
  feStackClear(*feOperandStack());
  ASSERT_EQ(feExecString("/initProbe {/initProbeRan true def} def initProbe"), feOk);
  feObject v;
  ASSERT_EQ(feDictGetName(feUserDict(), "initProbeRan", &v), feOk);
  EXPECT_EQ(feEq(&v, feTrue()), feOk);
  EXPECT_EQ(feStackCount(*feOperandStack()), 0);
}

}  // namespace
