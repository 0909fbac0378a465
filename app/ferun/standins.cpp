#include "app/ferun/standins.h"

#include "core/classes.h"
#include "fe/output.h"
#include "objects/objinfo.h"
#include "objects/objmsg.h"

#include <string>

namespace {

// The recording edit-object tool: one line of interpreter output per message.
struct toolRec {
  uint16_t classId;
  uint8_t refCount;
  uint8_t spare;
};
uint16_t getinfoClass;

void say(const std::string& text) {
  const std::string line = "[getinfo] " + text + "\n";
  feOutWrite(line.data(), line.size());
}

int getinfoHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t) {
  switch (message) {
    case msgInfo600: {
      auto* tool = new toolRec{getinfoClass, gobjPermanent, 0};
      *reinterpret_cast<void**>(a) = tool;
      say("open");
      return 0;
    }
    case msgInfo604: return 1;
    case msgInfo606:
      delete static_cast<toolRec*>(object);
      say("closed");
      return 0;
    case msgInfo601: say("begin"); return 0;
    case msgInfo602: say("end"); return 0;
    case msgInfo603: say("title " + std::string(reinterpret_cast<const char*>(a), size_t(b))); return 0;
    case msgInfo605: {
      const auto* field = reinterpret_cast<const infoFieldMsg*>(a);
      const char* kinds[] = {"?", "text", "choice", "more"};
      const int kind = field->kind >= 1 && field->kind <= 3 ? field->kind : 0;
      say(std::string(kinds[kind]) + (field->editable ? " " : " read-only ") + field->name + "=" + field->value);
      return 0;
    }
    default: return objMeth(objSuperClass(getinfoClass), message, object, a, b);
  }
}

}  // namespace

void standinsInit() {
  if (!objClassByName(infoToolClassName)) getinfoClass = objClassRegister(infoToolClassName, 0, getinfoHandler);
  standinsLoadLibInit();
  standinsInputInit();
  standinsPrintInit();
  standinsHitInit();
  standinsCursorInit();
}
