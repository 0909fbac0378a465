// The start of a fresh interpreter (no compiled image): the shared values,
// the stacks, the four dictionaries, the continuation operators, the
// standard operators in their fixed order, the standard names, the error
// machinery and errorcheck.
#include "fe/init.h"

#include "core/errors.h"
#include "fe/arrays.h"
#include "fe/control.h"
#include "fe/dict.h"
#include "fe/error.h"
#include "fe/exec.h"
#include "fe/extops.h"
#include "fe/file.h"
#include "fe/generic.h"
#include "fe/include.h"
#include "fe/names.h"
#include "fe/newbio.h"
#include "fe/operator.h"
#include "fe/outops.h"
#include "fe/scanner.h"
#include "fe/stack.h"
#include "fe/stdops.h"

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
  Here,      // handler and signature in the table
  Control,   // the control and execution modules (feControlOpSpec)
  Standard,  // the standard operators (feStdOpSpec)
  Extension, // the extension operators (feExtOpSpec)
  Output,    // the output operators (feOutOpSpec)
  File,      // the file operators (feFileOpSpec)
  Image,     // the compiled image operators (feImageOpSpec)
  Include,   // header include (feIncludeOpSpec)
};

struct StandardOp {
  const char* name;
  From from;
  feOpHandler handler;
  const char* signature;
};

constexpr StandardOp control(const char* name) { return {name, From::Control, nullptr, ""}; }
constexpr StandardOp standard(const char* name) { return {name, From::Standard, nullptr, ""}; }
constexpr StandardOp extension(const char* name) { return {name, From::Extension, nullptr, ""}; }
constexpr StandardOp output(const char* name) { return {name, From::Output, nullptr, ""}; }
constexpr StandardOp file(const char* name) { return {name, From::File, nullptr, ""}; }
constexpr StandardOp image(const char* name) { return {name, From::Image, nullptr, ""}; }
constexpr StandardOp include(const char* name) { return {name, From::Include, nullptr, ""}; }
constexpr StandardOp here(const char* name, feOpHandler handler, const char* signature = "") {
  return {name, From::Here, handler, signature};
}

// The interpreter's operators in their registration order. A compiled image
// stores operators by their index in the operator table, so every start
// registers the same operators in this same order; a change here makes
// older images invalid.
const StandardOp kStandardOps[] = {
    extension("aCvs"),
    extension("aCase"),
    extension("aCond"),
    extension("aGetX"),
    extension("aAGetX"),
    extension("aMerge"),
    extension("aForall2"),
    extension("aForallN"),
    extension("aMdef"),
    extension("aSetDebugFlags"),
    extension("aDebugFlags"),
    extension("aStackTrace"),
    extension("aStackCrawl"),
    extension("aCat"),
    extension("aLogPrint"),
    here("aload", feStackOp<feOpAload>),
    here("astore", feStackOp<feOpAstore>),
    here("array", feStackOp<feOpArray>),
    here("]", feStackOp<feOpArrayEnd>),
    image("aUnload"),
    image("aLoad"),
    image("aBOut"),
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
    extension("known"),
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
    file("closefile"),
    file("currentfile"),
    file("resetfile"),
    file("flushfile"),
    standard("flush"),
    file("bytesavailable"),
    standard("echo"),
    file("status"),
    file("write"),
    file("writestring"),
    file("writehexstring"),
    file("readstring"),
    file("readhexstring"),
    file("readline"),
    output("aOut"),
    file("file"),
    file("read"),
    file("run"),
    output("print"),
    output("="),
    output("=="),
    output("stack"),
    output("pstack"),
    output("prompt"),
    standard("add"),
    standard("sub"),
    standard("mul"),
    standard("div"),
    standard("exp"),
    standard("ln"),
    standard("log"),
    standard("idiv"),
    standard("mod"),
    standard("fmod"),
    standard("sqrt"),
    standard("atan"),
    standard("sin"),
    standard("cos"),
    standard("abs"),
    standard("neg"),
    standard("ceiling"),
    standard("floor"),
    standard("round"),
    standard("truncate"),
    standard("rand"),
    standard("rrand"),
    standard("srand"),
    here("get", feStackOp<feOpGet>),
    here("put", feStackOp<feOpPut>),
    here("aget", feStackOp<feOpAget>),
    here("aput", feStackOp<feOpAput>),
    here("cvs", feStackOp<feOpCvs>),
    standard("getinterval"),
    standard("putinterval"),
    file("token"),
    control("forall"),
    here("type", feStackOp<feOpType>),
    control("version"),
    control("usertime"),
    here("bind", feStackOp<feOpBind>),
    here("adict", feStackOp<feOpAdict>),
    standard("length"),
    standard("maxlength"),
    standard("eq"),
    standard("ne"),
    standard("lt"),
    standard("le"),
    standard("gt"),
    standard("ge"),
    standard("and"),
    standard("or"),
    standard("xor"),
    standard("not"),
    standard("bitshift"),
    here("dup", feStackOp<feOpDup>),
    here("pop", feStackOp<feOpPop>),
    here("exch", feStackOp<feOpExch>),
    standard("copy"),
    standard("index"),
    standard("roll"),
    standard("clear"),
    standard("count"),
    standard("mark"),
    standard("["),
    standard("cleartomark"),
    standard("counttomark"),
    here("cvn", opCvn, "O#O"),
    standard("string"),
    standard("anchorsearch"),
    standard("search"),
    standard("cvx"),
    here("LOAD", feStackOp<feOpLOAD>),
    here("DUPLOAD", feStackOp<feOpDUPLOAD>),
    standard("cvp"),
    standard("cvlit"),
    standard("xcheck"),
    standard("cvi"),
    standard("cvr"),
    standard("cvrs"),
    standard("APP"),
    here("aXPut", feStackOp<feOpAXPut>),
    here("aXGet", feStackOp<feOpAXGet>),
    standard("<<"),
    here(">>", feStackOp<feOpDictEnd>),
    include("aInclude"),
};
static_assert(sizeof kStandardOps / sizeof kStandardOps[0] == 153, "the interpreter registers 153 operators");

uintptr_t instance() { return reinterpret_cast<uintptr_t>(GetModuleHandleA(nullptr)); }

const feOpSpec* lookupSpec(const StandardOp& op) {
  switch (op.from) {
    case From::Control: return feControlOpSpec(op.name);
    case From::Standard: return feStdOpSpec(op.name);
    case From::Extension: return feExtOpSpec(op.name);
    case From::Output: return feOutOpSpec(op.name);
    case From::File: return feFileOpSpec(op.name);
    case From::Image: return feImageOpSpec(op.name);
    case From::Include: return feIncludeOpSpec(op.name);
    default: return nullptr;
  }
}

void registerStandardOps() {
  for (const StandardOp& op : kStandardOps) {
    feOpHandler handler = op.handler;
    const char* signature = op.signature;
    if (op.from != From::Here) {
      const feOpSpec* spec = lookupSpec(op);
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

// Serial numbers continue from the milliseconds since the timer base, and
// never go back to numbers that bodies made (or read from an image) already
// carry.
void startTimer() {
  feTimerStart();
  feSerialAtLeast(feTimerElapsed());
}

bool started = false;

}  // namespace

bool feInitClaim() {
  if (started) return false;
  started = true;
  return true;
}

void feInitPrepare() {
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

  // A fresh start defines the operators it registers. The continuation
  // operators (the control module's, then APP's) take the first indices.
  feSetOpDefining(true);
  feControlInit();
  feStdOpsInit();
  feExtOpsInit();
  feFileInit();
  registerStandardOps();
  defineStandardNames(&systemdict, &userdict, &errordict, &errorRecord);
  feErrorInit();
  makeScannerNames();

  feFree(&systemdict);
  feFree(&userdict);
  feFree(&errordict);
  feFree(&errorRecord);
}

int feInitFinishFresh() {
  int result = feExecString("systemdict /errorcheck {stopped {handleerror} if} put");
  feObject errorcheck;
  if (feDictGetName(feSystemDict(), "errorcheck", &errorcheck) == feOk) {
    feSetErrorCheck(&errorcheck);
    feFree(&errorcheck);
  } else if (result == feOk) {
    result = feErrUndefined;
  }
  startTimer();
  return result;
}

void feInitFinishImage() {
  feObject errorcheck;
  if (feDictGetName(feSystemDict(), "errorcheck", &errorcheck) == feOk) {
    feSetErrorCheck(&errorcheck);
    feFree(&errorcheck);
  }
  startTimer();
}

int feInitFresh() {
  if (!feInitClaim()) return feOk;
  feInitPrepare();
  return feInitFinishFresh();
}
