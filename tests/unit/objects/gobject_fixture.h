// Shared by the graphic-object tests: a fresh interpreter, "gobject" and
// the attribute names set up, alerts and log lines captured, and "tpoint",
// a small drawing class with one point attribute "pt1" whose handler counts
// what it is sent and can be told to misbehave.
#ifndef PLUMET_TESTS_OBJECTS_GOBJECT_FIXTURE_H
#define PLUMET_TESTS_OBJECTS_GOBJECT_FIXTURE_H

#include "core/classes.h"
#include "core/debug.h"
#include "fe/exec_fixture.h"
#include "fe/script.h"
#include "objects/attrnames.h"
#include "objects/docstate.h"
#include "objects/gobject.h"
#include "objects/objmsg.h"
#include "objects/objsend.h"

#include <platform_test.h>

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace gobjfx {

struct tptRec {
  gobjRec head;
  double pt1[3];
};

// How tpoint answers message 321: translate the object in place, put a new
// translated object in the slot, or leave the slot empty.
enum class Xform { inPlace, replace, drop };

struct State {
  uint16_t tpoint = 0;
  std::map<int, int> sent;   // message -> times tpoint's handler saw it
  Xform xform = Xform::inPlace;
  bool hasParts = false;     // answers 337 with pt1 as its one point
  int created = 0;           // objects made through message 402
  std::string log;
};
inline State& state() {
  static State s;
  return s;
}

inline bool isKey(const feObject* key, const char* text) { return feNameIs(key, text); }

inline int tpointHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t c) {
  State& s = state();
  auto* rec = static_cast<tptRec*>(object);
  const uint16_t super = objSuperClass(s.tpoint);
  ++s.sent[message];
  switch (message) {
    case msgNew:
      return gobjNewAs(s.tpoint, sizeof(tptRec), a);
    case msgGetAttr:
      if (!isKey(reinterpret_cast<const feObject*>(a), "pt1")) break;
      {
        feObject xyz[3];
        for (int i = 0; i < 3; ++i) feMakeReal(&xyz[i], rec->pt1[i]);
        return feMakeArray(reinterpret_cast<feObject*>(b), xyz, 3);
      }
    case msgSetAttr:
      if (!isKey(reinterpret_cast<const feObject*>(a), "pt1")) break;
      return feGetVec3(reinterpret_cast<const feObject*>(b), rec->pt1);
    case msgCopy: {
      const int answer = objMeth(super, message, object, a, b, c);
      if (answer == 0) std::memcpy(reinterpret_cast<tptRec*>(*reinterpret_cast<gobjRec**>(a))->pt1, rec->pt1,
                                   sizeof rec->pt1);
      return answer;
    }
    case msgXform: {
      const auto* m = reinterpret_cast<const double*>(a);
      auto** slot = reinterpret_cast<gobjRec**>(b);
      tptRec* target = rec;
      if (s.xform == Xform::drop) {
        *slot = nullptr;
        return 0;
      }
      if (s.xform == Xform::replace) {
        target = reinterpret_cast<tptRec*>(objNew(s.tpoint));
        std::memcpy(target->pt1, rec->pt1, sizeof rec->pt1);
        *slot = &target->head;
      }
      for (int i = 0; i < 3; ++i) target->pt1[i] += m[4 * i + 3];
      return 0;
    }
    case msgEnum: {
      if (!s.hasParts) break;
      const auto* block = reinterpret_cast<const intptr_t*>(a);
      auto start = reinterpret_cast<objPointFn>(block[2]);
      start(rec->pt1, reinterpret_cast<void*>(block[4]));
      return 0;
    }
    case msgCreate:
      ++s.created;
      *reinterpret_cast<gobjRec**>(b) = objNew(s.tpoint);
      return 0;
    default: break;
  }
  return objMeth(super, message, object, a, b, c);
}

inline void captureLog(void*, const char* text, size_t length) { state().log.append(text, length); }

// A name value.
inline feObject name(const char* text) {
  feObject v;
  feMakeName(&v, text, std::strlen(text));
  return v;
}

// The "==" form of a value.
inline std::string print(const feObject& v) {
  std::string saved;
  saved.swap(execfx::output());
  fePrint(&v, 1);
  std::string text;
  text.swap(execfx::output());
  execfx::output().swap(saved);
  return text;
}

// The texts of the alert and panic boxes shown, each followed by "|".
inline std::string boxes() {
  std::string text;
  for (const auto& box : plTestMessageBoxes()) text += box.text + "|";
  return text;
}

class GobjTest : public ::testing::Test {
protected:
  void SetUp() override {
    execfx::start();
    plTestReset();
    plTestSetMessageBoxEcho(false);
    State& s = state();
    s.sent.clear();
    s.xform = Xform::inPlace;
    s.hasParts = false;
    s.created = 0;
    s.log.clear();
    dbgSetLogHook(captureLog, nullptr);
    gobjInit(0);
    attrNamesInit();
    if (!s.tpoint) s.tpoint = objClassRegister("tpoint", gobjClassId(), tpointHandler);
    dbSetCurrentDoc(nullptr);
  }
  void TearDown() override {
    for (gobjRec* object : kept) objFree(object);
    kept.clear();
    dbSetCurrentDoc(nullptr);
    dbgSetLogHook(nullptr, nullptr);
    execfx::stop();
    plTestReset();
  }

  static uint16_t tpoint() { return state().tpoint; }
  static int sent(int message) { return state().sent[message]; }
  // A new tpoint, freed after the test.
  tptRec* newPoint() { return reinterpret_cast<tptRec*>(keep(objNew(tpoint()))); }
  gobjRec* keep(gobjRec* object) {
    if (object) kept.push_back(object);
    return object;
  }

  // Message 107 with a name key: the answer, and the value as "==" prints it.
  static int get(gobjRec* object, const char* key, std::string* text) {
    feObject k = name(key), v;
    feMakeNull(&v);
    const int answer = objMeth(object->classId, msgGetAttr, object, reinterpret_cast<intptr_t>(&k),
                               reinterpret_cast<intptr_t>(&v));
    if (text) *text = print(v);
    feFree(&v);
    return answer;
  }
  // Message 108 with a name key and a value (released afterwards).
  static int set(gobjRec* object, const char* key, feObject value) {
    feObject k = name(key);
    const int answer = objMeth(object->classId, msgSetAttr, object, reinterpret_cast<intptr_t>(&k),
                               reinterpret_cast<intptr_t>(&value));
    feFree(&value);
    return answer;
  }

  std::vector<gobjRec*> kept;
};

}  // namespace gobjfx

#endif
