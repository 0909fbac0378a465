// Object information: the panel protocol with a recording edit-object tool,
// gathering the fields of several selected objects, editing through the
// fields' setters, the menu hooks, and aDump's records.
#include "layer_fixture.h"

#include "fe/dict.h"
#include "fe/file.h"
#include "fe/names.h"
#include "objects/hitrad.h"
#include "objects/objinfo.h"
#include "objects/selmode.h"
#include "objects/selsource.h"

#include <cstdio>
#include <filesystem>
#include <functional>
#include <random>
#include <sstream>

namespace {

// "tseg": a segment with the points "pt0" and "pt1", listed after the
// drawing attributes, and an optional long text field "note".
struct segRec {
  gobjRec head;
  double pt[2][3];
};

// "tprops": lists whatever the test asks for.
struct Classes {
  uint16_t tseg = 0;
  uint16_t tprops = 0;
  uint16_t tool = 0;
};
Classes& classes() {
  static Classes c;
  return c;
}

std::string& note() {
  static std::string text;
  return text;
}
std::function<void(gobjRec*, void*)>& props() {
  static std::function<void(gobjRec*, void*)> list;
  return list;
}

int pointOf(const feObject* key) {
  if (feNameIs(key, "pt0")) return 0;
  if (feNameIs(key, "pt1")) return 1;
  return -1;
}

int tsegHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t c) {
  auto* seg = static_cast<segRec*>(object);
  const uint16_t super = objSuperClass(classes().tseg);
  switch (message) {
    case msgNew: return gobjNewAs(classes().tseg, sizeof(segRec), a);
    case msgGetAttr: {
      const int which = pointOf(reinterpret_cast<const feObject*>(a));
      if (which < 0) break;
      feObject xyz[3];
      for (int i = 0; i < 3; ++i) feMakeReal(&xyz[i], seg->pt[which][i]);
      auto* out = reinterpret_cast<feObject*>(b);
      feFree(out);
      return feMakeArray(out, xyz, 3);
    }
    case msgSetAttr: {
      const int which = pointOf(reinterpret_cast<const feObject*>(a));
      if (which < 0) break;
      return feGetVec3(reinterpret_cast<const feObject*>(b), seg->pt[which]);
    }
    case msgPropPanel: {
      const int answer = objMeth(super, message, object, a, b, c);
      auto* context = reinterpret_cast<void*>(a);
      infoAddPoint(context, "pt0", seg->pt[0], 1);
      infoAddPoint(context, "pt1", seg->pt[1], 1);
      if (!note().empty()) infoAddString(context, "note", note().data(), int32_t(note().size()), 1);
      return answer;
    }
    default: break;
  }
  return objMeth(super, message, object, a, b, c);
}

int tpropsHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t c) {
  if (message == msgNew) return gobjNewAs(classes().tprops, sizeof(gobjRec), a);
  if (message == msgPropPanel) {
    if (props()) props()(static_cast<gobjRec*>(object), reinterpret_cast<void*>(a));
    return 0;
  }
  return objMeth(objSuperClass(classes().tprops), message, object, a, b, c);
}

// The recording tool: each message as one line; 605 as "kind editable
// name=value".
struct Tool {
  uint16_t classId;
  uint8_t refCount;
  uint8_t spare;
};
struct ToolLog {
  std::vector<std::string> lines;
  std::vector<const infoField*> fields;
  int open = 1;          // what 604 answers
  bool makes = true;     // whether 600 makes a tool
  int made = 0, freed = 0;
  Tool record{};
};
ToolLog& tool() {
  static ToolLog log;
  return log;
}

int toolHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t) {
  ToolLog& t = tool();
  switch (message) {
    case msgInfo600:
      if (t.makes) {
        t.record = Tool{classes().tool, gobjPermanent, 0};
        *reinterpret_cast<void**>(a) = &t.record;
        ++t.made;
      }
      return 0;
    case msgInfo604: return t.open;
    case msgInfo606: ++t.freed; return 0;
    case msgInfo601: t.lines.push_back("601"); t.fields.clear(); return 0;
    case msgInfo602: t.lines.push_back("602"); return 0;
    case msgInfo603:
      t.lines.push_back("603 " + std::string(reinterpret_cast<const char*>(a), size_t(b)));
      return 0;
    case msgInfo605: {
      const auto* f = reinterpret_cast<const infoFieldMsg*>(a);
      t.lines.push_back(std::to_string(f->kind) + " " + std::to_string(f->editable) + " " + f->name + "=" + f->value);
      t.fields.push_back(f->field);
      return 0;
    }
    default: return objMeth(objSuperClass(classes().tool), message, object, a, b);
  }
}

class ObjInfo : public layerfx::LayerTest {
protected:
  void SetUp() override {
    LayerTest::SetUp();
    Classes& c = classes();
    if (!c.tseg) c.tseg = objClassRegister("tseg", gobjClassId(), tsegHandler);
    if (!c.tprops) c.tprops = objClassRegister("tprops", gobjClassId(), tpropsHandler);
    if (!c.tool) c.tool = objClassRegister(infoToolClassName, 0, toolHandler);
    if (!execfx::defined("aSelect")) selInit();
    if (!execfx::defined("aGetInfo")) feRegisterOp("aGetInfo", aGetInfoOp, "O", 0, 0);
    if (!execfx::defined("aDump")) feRegisterOp("aDump", aDumpOp, "OQ<group>", 0, 0);
    tool() = ToolLog{};
    note().clear();
    props() = nullptr;
    infoInit();
  }
  void TearDown() override {
    infoReset();
    selSetInfoHook(nullptr);
    props() = nullptr;
    note().clear();
    tool() = ToolLog{};
    hitModeSet(0);
    LayerTest::TearDown();
  }

  // A tseg in the document from (0,0,0) to (x1, 1, 0), selected.
  segRec* seg(double x1, bool selected = true) {
    auto* s = reinterpret_cast<segRec*>(objNew(classes().tseg));
    held.push_back(&s->head);
    objRetain(&s->head);
    s->pt[1][0] = x1;
    s->pt[1][1] = 1;
    double lo[3] = {0, 0, 0}, hi[3] = {x1, 1, 0};
    bboxFromCorners(lo, hi, s->head.box);
    EXPECT_EQ(objInsert(&s->head), 0);
    if (selected) s->head.flags |= gobjSelected;
    return s;
  }
  gobjRec* propsObject() {
    gobjRec* object = objNew(classes().tprops);
    held.push_back(object);
    objRetain(object);
    return object;
  }

  static std::vector<std::string>& lines() { return tool().lines; }
  static std::string line(const std::string& prefixed) {
    for (const std::string& l : lines())
      if (l.find(prefixed) != std::string::npos) return l;
    return "(none)";
  }
  static const infoField* shown(const char* name) {
    for (const infoField* f : tool().fields)
      if (f->name == name) return f;
    return nullptr;
  }

  // Defines name in the current dictionary (the definition holds its own
  // reference).
  static void defineName(const char* name, const feObject* value) {
    feObject key;
    feMakeName(&key, name, std::strlen(name));
    ASSERT_EQ(feDictDef(&key, value), feOk);
  }

  // The dump of an object (or group) as text.
  static std::string dumpOf(gobjRec* objects) {
    std::FILE* stream = std::tmpfile();
    EXPECT_EQ(infoDump(stream, objects), 0);
    std::rewind(stream);
    std::string text;
    for (int ch; (ch = std::fgetc(stream)) != EOF;) text += char(ch);
    std::fclose(stream);
    return text;
  }
};

TEST_F(ObjInfo, TwoSegmentsShowTheirCommonFieldsWithDifferingValuesBlank) {
  segRec* a = seg(5);
  segRec* b = seg(8);
  ASSERT_EQ(run("true aGetInfo"), 0);
  ASSERT_GE(lines().size(), 3u);
  EXPECT_EQ(lines().front(), "601");
  EXPECT_EQ(lines()[lines().size() - 2], "602");
  EXPECT_EQ(lines().back(), "603 2 tseg objects");
  EXPECT_EQ(line(" pt1.x="), "1 1 pt1.x=") << "the segments disagree";
  EXPECT_EQ(line(" pt1.y="), "1 1 pt1.y=1");
  EXPECT_EQ(line(" pt0.x="), "1 1 pt0.x=0");
  EXPECT_EQ(line(" layer="), "1 1 layer=Layer1");
  EXPECT_EQ(line(" weight="), "1 1 weight=0");

  // Editing the blank field sets it on both.
  const infoField* field = shown("pt1.x");
  ASSERT_NE(field, nullptr);
  EXPECT_EQ(infoFieldEdit(field, "7", 1), 0);
  EXPECT_DOUBLE_EQ(a->pt[1][0], 7);
  EXPECT_DOUBLE_EQ(b->pt[1][0], 7);
  // A text that is no length changes nothing.
  EXPECT_EQ(infoFieldEdit(field, "seven", 5), 0);
  EXPECT_DOUBLE_EQ(a->pt[1][0], 7);
  // An integer field.
  EXPECT_EQ(infoFieldEdit(shown("weight"), "3", 1), 0);
  EXPECT_EQ(gobjPen(&a->head), 3);
  EXPECT_EQ(gobjPen(&b->head), 3);
}

TEST_F(ObjInfo, TitlesAndFieldsCommonToAll) {
  seg(5);
  ASSERT_EQ(run("true aGetInfo"), 0);
  EXPECT_EQ(lines().back(), "603 1 tseg object");

  // A segment and an object of another class: the drawing attributes are
  // common, the points are not, and the title counts objects only.
  props() = [](gobjRec* object, void* context) { gobjAttrText(object, context, gobjInfoParts); };
  gobjRec* other = propsObject();
  EXPECT_EQ(objInsert(other), 0);
  other->flags |= gobjSelected;
  lines().clear();
  ASSERT_EQ(run("null aGetInfo"), 0) << "the open tool is refreshed without a force";
  EXPECT_EQ(lines().back(), "603 2 objects");
  EXPECT_EQ(line(" layer="), "1 1 layer=Layer1");
  EXPECT_EQ(line("pt0"), "(none)");
  EXPECT_EQ(infoFieldCount() > 0, true);
}

TEST_F(ObjInfo, LockedObjectsShowTheirFieldsReadOnly) {
  segRec* a = seg(5);
  a->head.flags |= gobjLocked;
  ASSERT_EQ(run("true aGetInfo"), 0);
  EXPECT_EQ(line(" pt1.x="), "1 0 pt1.x=5");
  EXPECT_EQ(line(" layer="), "1 0 layer=Layer1");
  EXPECT_NE(infoFieldEdit(shown("pt1.x"), "1", 1), 0);
  EXPECT_DOUBLE_EQ(a->pt[1][0], 5);
  // With one unlocked object beside it the fields stay read-only.
  seg(5);
  ASSERT_EQ(run("true aGetInfo"), 0);
  EXPECT_EQ(line(" pt1.x="), "1 0 pt1.x=5");
}

TEST_F(ObjInfo, NothingSelected) {
  seg(5, false);
  hitModeSet(0x0009);
  ASSERT_EQ(run("true aGetInfo"), 0);
  EXPECT_EQ(lines(), (std::vector<std::string>{"601", "602", "603 no objects selected"}));
  seg(5);
  ASSERT_EQ(run("true aGetInfo"), 0);
  EXPECT_EQ(hitModeGet(), 0x0001) << "a filled panel clears bit 0x0008 of the hit mode";
}

TEST_F(ObjInfo, TheToolIsMadeOnlyWhenForcedAndFreedOnceClosed) {
  seg(5);
  ASSERT_EQ(run("null aGetInfo"), 0);
  EXPECT_EQ(tool().made, 0);
  EXPECT_TRUE(lines().empty());
  EXPECT_EQ(infoFieldCount(), 0);

  ASSERT_EQ(run("false aGetInfo"), 0) << "any non-null argument forces";
  EXPECT_EQ(tool().made, 1);
  // The selection's refresh keeps an open tool up to date.
  lines().clear();
  selPendingSet(true);
  selRefresh(2);
  EXPECT_EQ(lines().back(), "603 1 tseg object");

  // Closed by the user: freed, and nothing more without a force.
  tool().open = 0;
  lines().clear();
  selPendingSet(true);
  selRefresh(2);
  EXPECT_EQ(tool().freed, 1);
  EXPECT_TRUE(lines().empty());
  EXPECT_EQ(infoFieldCount(), 0);
}

TEST_F(ObjInfo, WithoutAToolTheAlertIsShown) {
  tool().makes = false;
  seg(5);
  ASSERT_EQ(run("true aGetInfo"), 0);
  EXPECT_EQ(gobjfx::boxes(), "There is no Edit Object Tool!|");
  EXPECT_TRUE(lines().empty());
}

TEST_F(ObjInfo, MenuHooksRunWhenTheStateChanges) {
  ASSERT_EQ(run("/hooks () def "
                "/aMenuShowPointsHook { 8 string cvs hooks exch aCat ( ) aCat /hooks exch store } def "
                "/aMenuArrowHook { exch 8 string cvs hooks exch aCat (/) aCat exch 8 string cvs aCat ( ) aCat "
                "/hooks exch store } def"),
            0);
  segRec* a = seg(5);
  doc.arrowEnds = 2;
  ASSERT_EQ(run("null aGetInfo"), 0);
  ASSERT_EQ(run("null aGetInfo"), 0);
  a->head.flags |= gobjControlPts;
  doc.arrowEnds = 1;
  ASSERT_EQ(run("null aGetInfo hooks"), 0);
  EXPECT_EQ(stack(), "(false false/true true true/false )");
}

TEST_F(ObjInfo, ChoiceFields) {
  struct Case {
    int32_t value;
    const char* shown;
  };
  const Case cases[] = {{1, "b"}, {0, "a"}, {-2, "c"}, {5, "???"}, {-5, "   "}};
  gobjRec* object = propsObject();
  for (const Case& c : cases) {
    props() = [&c](gobjRec*, void* context) { infoAddInt(context, "mode", c.value, 1, "a;b;c"); };
    EXPECT_EQ(dumpOf(object), "**tprops:#0:mode=" + std::string(c.shown) + ";\n") << c.value;
  }

  // "More...": a current text the choices do not hold.
  props() = [](gobjRec*, void* context) {
    infoAddChoiceMore(context, "font", "solid;dash", 1, "dots", 4, nullptr, "custom");
    infoAddNumber(context, "More...", 1.0, 1);
    infoAddChoiceMore(context, "pen", "solid;dash", 1, "dash", 2, nullptr, "x");
  };
  object->flags |= gobjSelected;
  EXPECT_EQ(objInsert(object), 0);
  ASSERT_EQ(run("true aGetInfo"), 0);
  EXPECT_EQ(line("font;"), "2 1 font;More...;custom;solid;dash=dots");
  // The entry line's index is written "%3d" by the program's engine, which
  // fills after the number.
  EXPECT_EQ(line("4  ;"), "3 1 4  ;custom;More...;dots=dots");
  EXPECT_EQ(line("More...="), "(none)") << "the name a More... entry stands for is not listed again";
  EXPECT_EQ(line("pen;"), "2 1 pen;solid;dash=dash");
}

TEST_F(ObjInfo, ChoiceSetterFallsBackToABooleanThenToTheText) {
  segRec* a = seg(5);
  segRec* b = seg(6);
  ASSERT_EQ(run("true aGetInfo"), 0);
  // The layer field is a text field: editing it moves both objects.
  define("B");
  ASSERT_GE(number("B"), 0);
  EXPECT_EQ(infoFieldEdit(shown("layer"), "B", 1), 0);
  EXPECT_EQ(a->head.layer, number("B"));
  EXPECT_EQ(b->head.layer, number("B"));

  gobjRec* object = propsObject();
  EXPECT_EQ(objInsert(object), 0);
  object->flags |= gobjSelected;
  a->head.flags &= uint16_t(~gobjSelected);
  b->head.flags &= uint16_t(~gobjSelected);
  props() = [](gobjRec* o, void* context) { gobjAttrText(o, context, 0x02 | 0x04); };
  ASSERT_EQ(run("true aGetInfo"), 0);
  EXPECT_EQ(line("locked;"), "2 1 locked;unlocked;locked=unlocked");
  // "locked" takes no integer: the position 1 goes as true.
  EXPECT_EQ(infoFieldEdit(shown("locked;unlocked;locked"), "locked", 6), 0);
  EXPECT_TRUE(object->flags & gobjLocked);
  EXPECT_EQ(infoFieldEdit(shown("locked;unlocked;locked"), "unlocked", 8), 0);
  EXPECT_FALSE(object->flags & gobjLocked);
}

TEST_F(ObjInfo, DumpRecords) {
  segRec* a = seg(5);
  a->head.id = 0x7A000123;
  const std::string text = dumpOf(&a->head);
  EXPECT_EQ(text.rfind("**tseg:#291:layer=Layer1;", 0), 0u) << text;
  // Lines end only after a ";" that comes past 80 bytes, and every line
  // ends with "\n".
  ASSERT_EQ(text.back(), '\n');
  std::istringstream in(text);
  std::string one;
  std::string joined;
  int count = 0;
  while (std::getline(in, one)) {
    ++count;
    joined += one;
    if (in.peek() != EOF) {
      EXPECT_EQ(one.back(), ';') << one;
      EXPECT_GT(one.size(), 80u) << one;
      EXPECT_LE(one.substr(0, one.size() - 1).find(';', 80), std::string::npos) << "broken at the first chance";
    }
  }
  EXPECT_GT(count, 1);
  EXPECT_NE(joined.find(";pt0.x=0;pt0.y=0;pt0.z=0;pt1.x=5;pt1.y=1;pt1.z=0;"), std::string::npos) << text;
}

TEST_F(ObjInfo, DumpWritesAFieldLongerThanItsBufferWhole) {
  segRec* a = seg(5);
  note() = std::string(2000, 'n');
  const std::string text = dumpOf(&a->head);
  EXPECT_NE(text.find(";note=" + note() + ";\n"), std::string::npos);
  EXPECT_EQ(text.rfind("**tseg:#", 0), 0u);

  // Several records through the operator: a group, one record each.
  seg(6);
  const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                     ("objinfo-" + std::to_string(std::random_device{}()) + ".txt");
  feObject file;
  const std::string name = path.string();
  ASSERT_EQ(feFileMake(&file, name.data(), name.size(), "w", 1), feOk);
  defineName("out", &file);
  feFree(&file);
  feObject selected;
  feMakeObjRef(&selected, grpOfSource("selected"));
  defineName("sel", &selected);
  feFree(&selected);
  ASSERT_EQ(run("out sel aDump out closefile"), 0);
  std::FILE* in = std::fopen(name.c_str(), "r");
  ASSERT_NE(in, nullptr);
  std::string written;
  for (int ch; (ch = std::fgetc(in)) != EOF;) written += char(ch);
  std::fclose(in);
  std::filesystem::remove(path);
  size_t records = 0;
  for (size_t at = 0; (at = written.find("**tseg:#", at)) != std::string::npos; ++at) ++records;
  EXPECT_EQ(records, 2u);
  EXPECT_NE(written.find(text), std::string::npos) << "each record whole, one after the other";

  // The first operand must be a file open for writing.
  EXPECT_EQ(run("1 sel aDump"), feErrTypeCheck);
  EXPECT_EQ(run("out sel aDump"), feErrIo) << "a closed file";
  feObject none;
  feMakeNull(&none);
  defineName("sel", &none);
  defineName("out", &none);
}

}  // namespace
