// The start of a fresh interpreter (no compiled image): the shared values,
// the stacks, the four dictionaries, the continuation operators, the
// standard operators in their fixed order, the standard names, the error
// machinery and errorcheck.
#include "fe/init.h"

#include "fe/arrays.h"
#include "fe/control.h"
#include "fe/dict.h"
#include "fe/error.h"
#include "fe/errors.h"
#include "fe/exec.h"
#include "fe/generic.h"
#include "fe/names.h"
#include "fe/operator.h"
#include "fe/scanner.h"
#include "fe/stack.h"

#include <windows.h>

#include <cstring>
#include <initializer_list>

namespace {

enum {
  kSystemDictCapacity = 800,
  kUserDictCapacity = 2000,
  kErrorDictCapacity = 20,
  kErrorRecordCapacity = 10,
};

// cvn ("O#O"): a string as a literal name.
int opCvn(feArgs* args) { return feCvn(args->in[0].value, static_cast<feObject*>(args->out[0])); }

// Where a standard operator's handler comes from.
enum class From {
  Later,     // not built yet: skipped, so the later ones keep their relative order
  Here,      // handler and signature in the table
  Control,   // the control and execution modules (feControlOpSpec)
};

struct StandardOp {
  const char* name;
  From from;
  feOpHandler handler;
  const char* signature;
};

constexpr StandardOp later(const char* name) { return {name, From::Later, nullptr, ""}; }
constexpr StandardOp control(const char* name) { return {name, From::Control, nullptr, ""}; }
constexpr StandardOp here(const char* name, feOpHandler handler, const char* signature = "") {
  return {name, From::Here, handler, signature};
}

// The interpreter's operators in their registration order. A compiled image
// stores operators by their index in the operator table, so every start
// registers the same operators in this same order; a change here makes
// older images invalid.
const StandardOp kStandardOps[] = {
    later("aCvs"),
    later("aCase"),
    later("aCond"),
    later("aGetX"),
    later("aAGetX"),
    later("aMerge"),
    later("aForall2"),
    later("aForallN"),
    later("aMdef"),
    later("aSetDebugFlags"),
    later("aDebugFlags"),
    later("aStackTrace"),
    later("aStackCrawl"),
    later("aCat"),
    later("aLogPrint"),
    here("aload", feStackOp<feOpAload>),
    here("astore", feStackOp<feOpAstore>),
    here("array", feStackOp<feOpArray>),
    here("]", feStackOp<feOpArrayEnd>),
    later("aUnload"),
    later("aLoad"),
    later("aBOut"),
    control("if"),
    control("ifelse"),
    here("quit", feStackOp<feOpQuit>, "!"),
    control("loop"),
    control("repeat"),
    control("for"),
    control("exit"),
    control("stop"),
    control("stopped"),
    control("execstack"),
    control("countexecstack"),
    control("exec"),
    control("suspend"),
    control("resume"),
    later("known"),
    here("def", feStackOp<feOpDef>),
    here("store", feStackOp<feOpStore>),
    here("load", feStackOp<feOpLoad>),
    here("where", feStackOp<feOpWhere>),
    here("currentdict", feStackOp<feOpCurrentDict>),
    here("countdictstack", feStackOp<feOpCountDictStack>),
    here("dict", feStackOp<feOpDict>),
    here("begin", feStackOp<feOpBegin>),
    here("end", feStackOp<feOpEnd>),
    here("dictstack", feStackOp<feOpDictStack>),
    here("handleerror", feStackOp<feOpHandleError>),
    later("closefile"),
    later("currentfile"),
    later("resetfile"),
    later("flushfile"),
    later("flush"),
    later("bytesavailable"),
    later("echo"),
    later("status"),
    later("write"),
    later("writestring"),
    later("writehexstring"),
    later("readstring"),
    later("readhexstring"),
    later("readline"),
    later("aOut"),
    later("file"),
    later("read"),
    later("run"),
    later("print"),
    later("="),
    later("=="),
    later("stack"),
    later("pstack"),
    later("prompt"),
    later("add"),
    later("sub"),
    later("mul"),
    later("div"),
    later("exp"),
    later("ln"),
    later("log"),
    later("idiv"),
    later("mod"),
    later("fmod"),
    later("sqrt"),
    later("atan"),
    later("sin"),
    later("cos"),
    later("abs"),
    later("neg"),
    later("ceiling"),
    later("floor"),
    later("round"),
    later("truncate"),
    later("rand"),
    later("rrand"),
    later("srand"),
    here("get", feStackOp<feOpGet>),
    here("put", feStackOp<feOpPut>),
    here("aget", feStackOp<feOpAget>),
    here("aput", feStackOp<feOpAput>),
    here("cvs", feStackOp<feOpCvs>),
    later("getinterval"),
    later("putinterval"),
    here("token", feStackOp<feOpToken>),
    control("forall"),
    here("type", feStackOp<feOpType>),
    control("version"),
    control("usertime"),
    here("bind", feStackOp<feOpBind>),
    here("adict", feStackOp<feOpAdict>),
    later("length"),
    later("maxlength"),
    later("eq"),
    later("ne"),
    later("lt"),
    later("le"),
    later("gt"),
    later("ge"),
    later("and"),
    later("or"),
    later("xor"),
    later("not"),
    later("bitshift"),
    here("dup", feStackOp<feOpDup>),
    here("pop", feStackOp<feOpPop>),
    here("exch", feStackOp<feOpExch>),
    later("copy"),
    later("index"),
    later("roll"),
    later("clear"),
    later("count"),
    later("mark"),
    later("["),
    later("cleartomark"),
    later("counttomark"),
    here("cvn", opCvn, "O#O"),
    later("string"),
    later("anchorsearch"),
    later("search"),
    later("cvx"),
    here("LOAD", feStackOp<feOpLOAD>),
    here("DUPLOAD", feStackOp<feOpDUPLOAD>),
    later("cvp"),
    later("cvlit"),
    later("xcheck"),
    later("cvi"),
    later("cvr"),
    later("cvrs"),
    later("APP"),
    here("aXPut", feStackOp<feOpAXPut>),
    here("aXGet", feStackOp<feOpAXGet>),
    later("<<"),
    here(">>", feStackOp<feOpDictEnd>),
    later("aInclude"),
};
static_assert(sizeof kStandardOps / sizeof kStandardOps[0] == 153, "the interpreter registers 153 operators");

uintptr_t instance() { return reinterpret_cast<uintptr_t>(GetModuleHandleA(nullptr)); }

void registerStandardOps() {
  for (const StandardOp& op : kStandardOps) {
    feOpHandler handler = op.handler;
    const char* signature = op.signature;
    if (op.from == From::Later) continue;
    if (op.from == From::Control) {
      const feOpSpec* spec = feControlOpSpec(op.name);
      if (!spec) continue;
      handler = spec->handler;
      signature = spec->signature;
    }
    // A failure has been reported by the registration itself.
    feRegisterOp(op.name, handler, signature, 0, instance());
  }
}

void defineStandardNames(const feObject* systemdict, const feObject* userdict, const feObject* errordict,
                         const feObject* errorRecord) {
  feObject null;
  feMakeNull(&null);
  feDictDefName(systemdict, "null", &null);
  feDictDefName(systemdict, "true", feTrue());
  feDictDefName(systemdict, "false", feFalse());
  feDictDefName(systemdict, "systemdict", systemdict);
  feDictDefName(systemdict, "userdict", userdict);
  feDictDefName(systemdict, "errordict", errordict);
  feDictDefName(systemdict, "$error", errorRecord);
}

// The names the scanner makes for its own syntax, interned at a fixed point
// so that their indices do not depend on the first script that uses them.
void makeScannerNames() {
  for (const char* text : {"[", "]", "<<", ">>"}) {
    uint16_t index = 0;
    feNameIntern(text, std::strlen(text), &index);
  }
}

bool started = false;

}  // namespace

int feInitFresh() {
  if (started) return feOk;
  started = true;

  // The shared booleans are made on first use; making them here fixes the
  // moment. The interpreter output has no script sink until one is set.
  feTrue();
  feFalse();
  feStackInit();

  // systemdict (800) and userdict (2000) go on the dictionary stack.
  feDictStackInit();
  feObject systemdict, userdict, errordict, errorRecord;
  feCopyValue(&systemdict, feDictAtLevel(1));
  feCopyValue(&userdict, feDictAtLevel(2));
  feMakeDict(&errordict, kErrorDictCapacity);
  feMakeDict(&errorRecord, kErrorRecordCapacity);
  feErrorSetDicts(&systemdict, &userdict, &errordict, &errorRecord);

  // A fresh start defines the operators it registers.
  feSetOpDefining(true);
  feControlInit();
  registerStandardOps();
  defineStandardNames(&systemdict, &userdict, &errordict, &errorRecord);
  feErrorInit();
  makeScannerNames();

  int result = feExecString("systemdict /errorcheck {stopped {handleerror} if} put");
  feObject errorcheck;
  if (feDictGetName(&systemdict, "errorcheck", &errorcheck) == feOk) {
    feSetErrorCheck(&errorcheck);
    feFree(&errorcheck);
  } else if (result == feOk) {
    result = feErrUndefined;
  }

  // Serial numbers continue from the milliseconds since the timer base, and
  // never go back to numbers that bodies made above already carry.
  feTimerStart();
  feSerialAtLeast(feTimerElapsed());

  feFree(&systemdict);
  feFree(&userdict);
  feFree(&errordict);
  feFree(&errorRecord);
  return result;
}
