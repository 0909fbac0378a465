// Shared by the drawing-file tests: the sheet fixture with the container's
// segment hooks in place, a scratch dictionary for script procedures, a
// small drawing class "tdfmark" (one number, coded as a double) whose reads
// can be made to fail, documents with models, objects and sheets, and
// helpers to write stream fixtures by hand and to look at a file's bytes.
#ifndef PLUMET_TESTS_VIEWS_DOCFILE_FIXTURE_H
#define PLUMET_TESTS_VIEWS_DOCFILE_FIXTURE_H

#include "sheet_fixture.h"

#include "core/alloc.h"
#include "core/text.h"
#include "fe/script.h"
#include "objects/docvar.h"
#include "objects/group.h"
#include "objects/iofile.h"
#include "objects/ioformat.h"
#include "objects/objrecord.h"
#include "objects/sieve.h"
#include "views/docfile.h"
#include "views/vdef.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace docfilefx {

// A mark whose value reads as this fails its record (an improper object).
constexpr double kImproper = -999.0;

struct markRec {
  gobjRec head;
  double value;
};

struct MarkState {
  uint16_t classId = 0;
  int made = 0;
  int freed = 0;
  int postLoads = 0;
  void (*onWrite)() = nullptr;  // called as a mark is written
};
inline MarkState& marks() {
  static MarkState s;
  return s;
}

inline int markHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t c) {
  MarkState& s = marks();
  auto* mark = static_cast<markRec*>(object);
  const uint16_t super = objSuperClass(s.classId);
  switch (message) {
    case msgNew: {
      const int answer = gobjNewAs(s.classId, sizeof(markRec), a);
      ++s.made;
      return answer;
    }
    case msgFree:
      ++s.freed;
      break;
    case msgExtents: {
      auto* corners = reinterpret_cast<double*>(a);
      const double box[6] = {mark->value, 0, 0, mark->value + 1, 1, 0};
      std::copy(box, box + 6, corners);
      return 0;
    }
    case msgIO: {
      const int answer = objMeth(super, message, object, a, b, c);
      if (answer < 0) return answer;
      auto* ctx = reinterpret_cast<ioCtx*>(a);
      if (ctx->mode == 'w' && s.onWrite) s.onWrite();
      if (ioFormat(ctx, "d", &mark->value) < 0) return -1;
      return ctx->mode == 'r' && mark->value == kImproper ? -1 : 0;
    }
    case msgPostLoad:
      ++s.postLoads;
      return 0;
    default:
      break;
  }
  return objMeth(super, message, object, a, b, c);
}

class DocFileTest : public sheetfx::SheetTest {
protected:
  void SetUp() override {
    SheetTest::SetUp();
    // Other suites take the segment hooks out; the file needs them all.
    ioSetSegmentHook(ioWordViewDirs, vdefSegmentHook);
    MarkState& s = marks();
    if (!s.classId) s.classId = objClassRegister("tdfmark", gobjClassId(), markHandler);
    s.made = s.freed = s.postLoads = 0;
    s.onWrite = nullptr;
    ASSERT_EQ(feExecString("20 dict begin"), 0);
    folder = std::filesystem::temp_directory_path() /
             ("docfile-" + std::to_string(std::random_device{}()) + "-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(folder);
  }
  void TearDown() override {
    vwSetColorTableIO(nullptr);
    docResetAll();
    feExecString("end");
    std::filesystem::remove_all(folder);
    SheetTest::TearDown();
  }

  std::string file(const char* name = "plan.qdw") const { return (folder / name).string(); }

  static void define(const char* name, const std::string& body) {
    ASSERT_EQ(feExecString(("/" + std::string(name) + " {" + body + "} def").c_str()), 0) << name;
  }

  // An open document without models or sheets.
  static docRec* emptyDoc() {
    docRec* doc = nullptr;
    docCreate(&doc);
    docAddOpen(doc);
    return doc;
  }
  // A model linked at the end of the document's list.
  static modelRec* addModel(docRec* doc, const char* title) {
    modelRec* model = nullptr;
    modelCreate(&model);
    uStrDup(title, uint32_t(std::strlen(title)), &model->title);
    modelLink(model, doc);
    if (doc->firstModel == model && model->next && ownedUnlink(model) == 0) ownedInsert(model, ownedAppend);
    return model;
  }
  // A new mark of the value, unplaced (count 0).
  static gobjRec* mark(double value) {
    auto* m = reinterpret_cast<markRec*>(objNew(marks().classId));
    m->value = value;
    return &m->head;
  }
  static gobjRec* placeMark(modelRec* model, double value) {
    gobjRec* m = mark(value);
    EXPECT_EQ(sieveInsert(model->sieve, m), 0);
    return m;
  }
  static double valueOf(const gobjRec* object) { return reinterpret_cast<const markRec*>(object)->value; }
  // The values of the model's marks, sorted.
  static std::vector<double> values(const modelRec* model) {
    std::vector<double> list;
    sieveForEach(model->sieve, [](gobjRec* o, void* c) {
      if (o->classId == marks().classId) static_cast<std::vector<double>*>(c)->push_back(valueOf(o));
      return 0;
    }, &list);
    std::sort(list.begin(), list.end());
    return list;
  }
  static std::vector<modelRec*> models(const docRec* doc) {
    std::vector<modelRec*> list;
    for (modelRec* m = doc->firstModel; m; m = m->next) list.push_back(m);
    return list;
  }
  static std::vector<sheetRec*> sheets(const docRec* doc) {
    std::vector<sheetRec*> list;
    for (sheetRec* s = doc->firstSheet; s; s = s->next) list.push_back(s);
    return list;
  }
  static std::vector<viewRec*> views(const sheetRec* sheet) {
    std::vector<viewRec*> list;
    for (viewRec* v = sheet->firstView; v; v = v->next) list.push_back(v);
    return list;
  }

  // A document "Document n" with one model holding the marks and one sheet.
  static docRec* docWithMarks(std::initializer_list<double> values) {
    docRec* doc = emptyDoc();
    modelRec* model = addModel(doc, "Main");
    for (double v : values) placeMark(model, v);
    sheetCreate(doc, model, nullptr);
    return doc;
  }

  int write(docRec* doc, uint32_t mode = 0, int32_t fileType = -1, const char* name = "plan.qdw") {
    const std::string path = file(name);
    return vwWriteDoc(doc, path.c_str(), uint32_t(path.size()), mode, fileType);
  }
  // Reads the file into a new open document (in *out).
  int read(docRec** out, uint32_t flags = 0, const char* name = "plan.qdw") {
    *out = emptyDoc();
    const std::string path = file(name);
    return vwReadDoc(*out, path.c_str(), uint32_t(path.size()), flags);
  }

  // A file written by hand: the stream comes from body; a version of 0 or
  // more is recorded for "file" in the type table, a negative one is not.
  int writeStream(int version, const std::function<void(ioCtx*)>& body, const char* name = "plan.qdw") {
    const std::string path = file(name);
    // The segments behind the stream are those of a scratch document.
    docRec* before = vwCurDoc();
    docRec* scratch = nullptr;
    docCreate(&scratch);
    docSetCurrent(scratch);
    ioRecovery recovery;
    int answer = 0;
    try {
      ioCtx* ctx = nullptr;
      answer = ioOpen(&ctx, path.c_str(), int(path.size()), ioFlagWrite, 4, &recovery);
      if (answer == 0) {
        if (version >= 0) ioTypeMap(ctx, fileClassId(), version);
        body(ctx);
        answer = ioClose(ctx);
      }
    } catch (const ioFailure& failure) {
      answer = failure.code;
    }
    docSetCurrent(before);
    docFree(scratch);
    return answer;
  }
  // Stream pieces for hand-written files.
  static void i(ioCtx* ctx, int32_t value) { ioFormat(ctx, "i", &value); }
  static void d(ioCtx* ctx, std::initializer_list<double> values) {
    for (double v : values) ioFormat(ctx, "d", &v);
  }
  static void title(ioCtx* ctx, const char* text) {
    char* copy = const_cast<char*>(text);
    ioFormat(ctx, "S", &copy);
  }
  static void title64(ioCtx* ctx, const std::string& text) {
    std::string bytes = text.substr(0, 64);
    bytes.resize(64, '\0');
    ioFormat(ctx, "64c", bytes.data());
  }
  static void marksIO(ioCtx* ctx, std::initializer_list<double> values) {
    for (double v : values) {
      gobjRec* m = mark(v);
      objWrite(m, ctx);
      objFree(m);
    }
  }
  // One view record of version 13: title, box, model position, number, the
  // render group, then a view state whose base 1 carries scale and pan.
  static void viewIO(ioCtx* ctx, const char* name, int32_t position, int32_t number, double scale, double panX,
                     double panY) {
    title(ctx, name);
    d(ctx, {-1, 1, 1, -1});
    i(ctx, position);
    i(ctx, number);
    int16_t words[3] = {0, 0, 0};
    double eye[3] = {0, 0, 0}, extra[3] = {0, 0, 0}, dist = 1, angle = 50;
    ioFormat(ctx, "ss3ds3ddd", &words[0], &words[1], eye, &words[2], extra, &dist, &angle);
    d(ctx, {scale, panX, panY, 0, 0, 1, 0, 0, 0, 0, 1, 0});
    const double id[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    const double base1[16] = {scale, 0, 0, panX, 0, scale, 0, panY, 0, 0, scale, 0, 0, 0, 0, 1};
    ioFormat(ctx, "16d16d16d16d", id, id, base1, id);
  }
  // The rest of a version-13 sheet after its views.
  static void sheetTail(ioCtx* ctx) {
    d(ctx, {0, 0, 0});
    i(ctx, 0);
    i(ctx, 0);
    const double id[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    d(ctx, {72});
    ioFormat(ctx, "16d16d", id, id);
    d(ctx, {-4.25, 5.5, 4.25, -5.5, 1});
    uint8_t pages[3] = {1, 1, 0};
    ioFormat(ctx, "3c", pages);
  }
  // A version-13 head: title, box, empty print setup, no old planes, flags.
  static void head13(ioCtx* ctx, const char* name) {
    title(ctx, name);
    int32_t box[4] = {10, 50, 410, 350};
    ioFormat(ctx, "4l", box);
    i(ctx, 0);
    i(ctx, 0);
    uint32_t flags = 0;
    ioFormat(ctx, "l", &flags);
  }
  // A version-13 model: title, empty settings, the "World" plane alone,
  // the marks.
  static void model13(ioCtx* ctx, const char* name, std::initializer_list<double> values, int32_t count = -1) {
    title(ctx, name);
    i(ctx, 0);
    modelRec* scratch = nullptr;
    modelCreate(&scratch);
    wpModelPlanesIO(scratch, ctx, 1);
    modelFree(scratch);
    i(ctx, count < 0 ? int32_t(values.size()) : count);
    marksIO(ctx, values);
  }

  std::string bytes(const char* name = "plan.qdw") const {
    std::ifstream in(file(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  static uint32_t word(const std::string& data, int index) {
    uint32_t w = 0;
    for (int k = 0; k < 4; ++k) w = w << 8 | uint8_t(data[size_t(4 * index + k)]);
    return w;
  }
  static std::string hex(const std::string& data, size_t at, size_t n) {
    std::string text;
    for (size_t k = 0; k < n && at + k < data.size(); ++k) {
      char b[4];
      std::snprintf(b, sizeof b, "%s%02X", k ? " " : "", unsigned(uint8_t(data[at + k])));
      text += b;
    }
    return text;
  }
  static std::string hexOf(std::initializer_list<int> values) {
    std::string data;
    for (int v : values) data.push_back(char(v));
    return hex(data, 0, data.size());
  }
  // Where the bytes occur in the data (npos when not).
  static size_t find(const std::string& data, std::initializer_list<int> values) {
    std::string needle;
    for (int v : values) needle.push_back(char(v));
    return data.find(needle);
  }

  std::filesystem::path folder;
};

}  // namespace docfilefx

#endif
