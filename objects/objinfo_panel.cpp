// The object-information panel: refreshing the edit-object tool from the
// selection (aGetInfo), with the menu hooks for the control-points and arrow
// states.
#include "objects/objinfo_internal.h"

#include "core/alloc.h"
#include "core/classes.h"
#include "core/debug.h"
#include "core/errors.h"
#include "core/text.h"
#include "core/xlate.h"
#include "fe/dict.h"
#include "fe/generic.h"
#include "fe/names.h"
#include "fe/opcall.h"
#include "fe/script.h"
#include "fe/value.h"
#include "objects/docstate.h"
#include "objects/hitrad.h"
#include "objects/objmsg.h"
#include "objects/selmode.h"
#include "ui/attn.h"

#include <cstring>
#include <string>

namespace {

enum {
  kShownMax = 5,          // objects looked at for the control-points state
  kProgressAfter = 25,    // objects gathered before the progress display starts
  kHitModeInfo = 0x0008,  // the hit-mode bit the refresh clears
};

intptr_t word(const void* p) { return reinterpret_cast<intptr_t>(p); }

uint16_t toolClass(const void* tool) { return *static_cast<const uint16_t*>(tool); }

int sendTool(int message, intptr_t a = 0, intptr_t b = 0) {
  void* tool = infoGlobal().tool;
  return tool ? objMeth(toolClass(tool), message, tool, a, b) : -1;
}

void freeTool() {
  infoState& s = infoGlobal();
  if (!s.tool) return;
  sendTool(msgInfo606);
  s.tool = nullptr;
}

const char* boolText(bool value) { return value ? "true" : "false"; }

// The menu hooks are script procedures (share/draft.fe); a runner without
// them gets no error report at every refresh.
bool defined(const char* name) {
  feObject key, value;
  feMakeName(&key, name, std::strlen(name));
  if (feLoad(&key, &value) != feOk) return false;
  feFree(&value);
  return true;
}

// Step 2: the control-points state of the first objects (the default object
// without any) and the document's arrow bits go to the menu when they
// changed since the last refresh.
void updateMenus() {
  infoState& s = infoGlobal();
  struct Count {
    int with = 0, without = 0, seen = 0;
  } count;
  grpForEach(
      s.group,
      [](gobjRec* object, void* context) {
        auto* c = static_cast<Count*>(context);
        if (c->seen++ >= kShownMax) return 1;
        (object->flags & gobjControlPts) ? ++c->with : ++c->without;
        return 0;
      },
      &count);
  if (count.seen == 0) {
    const gobjRec* head = gobjDefaultHead();
    (head && (head->flags & gobjControlPts)) ? ++count.with : ++count.without;
  }
  const int points = count.with > count.without ? 1 : 0;
  if (points != s.lastPoints && defined("aMenuShowPointsHook")) {
    s.lastPoints = points;
    feExecf("%s aMenuShowPointsHook", boolText(points != 0));
  }
  if (const dbDocRec* doc = dbCurrentDoc()) {
    const int arrows = doc->arrowEnds & 3;
    if (arrows != s.lastArrows && defined("aMenuArrowHook")) {
      s.lastArrows = arrows;
      feExecf("%s %s aMenuArrowHook", boolText(arrows & 1), boolText(arrows & 2));
    }
  }
}

std::string translated(const char* text) {
  const char* out = text;
  xlateStr(0, text, &out);
  return out ? out : text;
}

void sendTitle(const std::string& title) { sendTool(msgInfo603, word(title.c_str()), intptr_t(title.size())); }

std::string makeTitle(int32_t count, const std::string& className, bool oneClass) {
  const char* tmpl = count == 1 ? "^0 ^1 object" : oneClass ? "^0 ^1 objects" : "^0 objects";
  const std::string pattern = translated(tmpl);
  const std::string number = uFormat("%ld", count);
  const char* args[2] = {number.c_str(), className.c_str()};
  char* text = uStrSubst(pattern.data(), uint32_t(pattern.size()), 2, args, nullptr);
  std::string title = text ? text : "";
  if (text) uFree(&text);
  return title;
}

// Step 7: the fields in list order up to the first one not common to all.
void handFields() {
  infoState& s = infoGlobal();
  sendTool(msgInfo601);
  for (const auto& entry : s.fields) {
    infoField& field = *entry;
    if (!field.common) break;
    field.common = false;
    const size_t choicesAt = field.name.find(';');
    const std::string choices =
        field.type == 'E' && choicesAt != std::string::npos ? field.name.substr(choicesAt + 1) : std::string();
    infoFieldMsg msg{};
    msg.kind = field.type == 'E' ? infoKindChoice : field.type == 'T' ? infoKindMore : infoKindText;
    msg.editable = field.editable ? 1 : 0;
    msg.name = field.name.c_str();
    msg.value = field.hasValue ? field.value.c_str() : "";
    msg.setter = field.setter;
    msg.converter = field.converter;
    msg.choices = field.type == 'E' ? choices.c_str() : nullptr;
    msg.field = &field;
    sendTool(msgInfo605, word(&msg));
  }
  sendTool(msgInfo602);
}

// Step 6: every object of the info group; an interrupt ends the gathering.
void gatherGroup(int32_t* count, std::string* className, bool* oneClass) {
  infoState& s = infoGlobal();
  infoGatherBegin();
  struct Walk {
    int32_t count = 0;
    std::string first;
    bool oneClass = true;
    bool busy = false;
  } walk;
  grpForEach(
      s.group,
      [](gobjRec* object, void* context) {
        auto* w = static_cast<Walk*>(context);
        if (w->count >= kProgressAfter) {
          if (!w->busy) {
            uiBusyBegin();
            w->busy = true;
          }
          if (evProgressTick(1)) return 1;
        }
        char name[16];
        objClassName(object, sizeof name, name);
        if (w->count == 0) w->first = name;
        else if (w->first != name) w->oneClass = false;
        infoGather(object);
        ++w->count;
        return 0;
      },
      &walk);
  if (walk.busy) uiBusyEnd();
  *count = walk.count;
  *className = walk.first;
  *oneClass = walk.oneClass;
}

}  // namespace

int infoRefresh(bool force) {
  infoState& s = infoGlobal();
  // 1. The info group becomes the current selection.
  glist* group = grpOfSource("selected");
  grpRetain(group);
  grpRelease(&s.group);
  s.group = group;
  int32_t members = 0;
  grpCount(s.group, &members);

  updateMenus();

  // 3. A tool that was closed is freed and forgotten.
  if (s.tool && sendTool(msgInfo604) != 1) freeTool();
  if (!force && !s.tool) {
    infoGatherBegin();
    return 0;
  }
  // 4. Without a tool one is made of the class "getinfo".
  if (!s.tool) {
    const uint16_t id = objClassByName(infoToolClassName);
    if (id) objMeth(id, msgInfo600, nullptr, word(&s.tool));
    if (!s.tool) {
      uAlert(0, "wThere is no Edit Object Tool!", "");
      return 0;
    }
  }
  // 5. Nothing selected.
  if (members == 0) {
    infoGatherBegin();
    sendTool(msgInfo601);
    sendTool(msgInfo602);
    sendTitle(translated("no objects selected"));
    return 0;
  }
  // 6-8. Gather, hand the common fields over, then the title.
  int32_t count = 0;
  std::string className;
  bool oneClass = true;
  gatherGroup(&count, &className, &oneClass);
  handFields();
  sendTitle(makeTitle(count, className, oneClass));
  hitModeSet(uint16_t(hitModeGet() & ~kHitModeInfo));
  return 0;
}

int aGetInfoOp(feArgs* args) {
  const feObject* force = args->in[0].value;
  return infoRefresh(force && feType(force) != feTNull);
}

void infoReset() {
  infoState& s = infoGlobal();
  freeTool();
  grpRelease(&s.group);
  s.fields.clear();
  s.gathered = 0;
  s.next = 0;
  s.current = nullptr;
  s.moreNames.clear();
  s.lastPoints = -1;
  s.lastArrows = -1;
  s.dump = nullptr;
}

void infoInit() {
  infoReset();
  selSetInfoHook([] { infoRefresh(false); });
}
