// Shared by the document settings tests: the graphic-object fixture with
// groups and layers set up, the document event handler and the module's
// variables registered afresh, documents made through the document events,
// and helpers to write and read a drawing file holding only the variable
// section.
#ifndef PLUMET_TESTS_OBJECTS_DOCVAR_FIXTURE_H
#define PLUMET_TESTS_OBJECTS_DOCVAR_FIXTURE_H

#include "fe/exec.h"
#include "fe/operator.h"
#include "gobject_fixture.h"
#include "objects/docvar.h"
#include "objects/docvar_internal.h"
#include "objects/docvar_sheet.h"
#include "objects/event.h"
#include "objects/group.h"
#include "objects/iofile.h"
#include "objects/ioformat.h"
#include "objects/layer.h"
#include "objects/layer_internal.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace docvarfx {

class DocVarTest : public gobjfx::GobjTest {
protected:
  void SetUp() override {
    GobjTest::SetUp();
    grpInit();
    if (!execfx::defined("aLayer")) layerInit();
    ioSetLayerCoder(objLayerIO);
    ioSetSegmentHook(ioWordLayers, layerTblIO);
    ioSetSegmentHook(ioWordVariables, docVarIO);
    evtReset();
    evtAdd(0xFFFF0000u, docEvtFamily, dbDocEvent);
    docVarReset();
    docVarSettingsRegister();
    varSaveReset();
    sheetReset();
    docIconArrayLengthSet(48);
    dir = std::filesystem::temp_directory_path() /
          ("docvar-" + std::to_string(std::random_device{}()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir);
  }
  void TearDown() override {
    for (dbDocRec*& slot : slots)
      if (slot) evtSignal(docEvtFamily | docEvtFreed, reinterpret_cast<intptr_t>(&slot));
    slots.clear();
    sheetReset();
    dbSetCurrentDoc(nullptr);
    layerTblDefaultFree();
    evtReset();
    docVarReset();
    varSaveReset();
    std::filesystem::remove_all(dir);
    GobjTest::TearDown();
  }

  // A new document (event 1); its record is in the returned slot.
  dbDocRec*& newDoc() {
    slots.push_back(nullptr);
    dbDocRec*& slot = slots.back();
    evtSignal(docEvtFamily | docEvtCreated, reinterpret_cast<intptr_t>(&slot));
    return slot;
  }
  static void activate(dbDocRec*& slot) {
    evtSignal(docEvtFamily | docEvtCurrent, reinterpret_cast<intptr_t>(&slot));
  }

  std::string path(const char* name = "plan.qdw") const { return (dir / name).string(); }

  // Writes a drawing with no objects (the variable section comes with it).
  int save(const std::string& name, uint32_t flags = 0) {
    ioRecovery recovery;
    try {
      ioCtx* ctx = nullptr;
      if (int answer = ioOpen(&ctx, name.c_str(), int(name.size()), ioFlagWrite | flags, 4, &recovery)) return answer;
      return ioClose(ctx);
    } catch (const ioFailure& failure) {
      return failure.code;
    }
  }
  int load(const std::string& name, uint32_t flags = 0) {
    ioRecovery recovery;
    try {
      ioCtx* ctx = nullptr;
      if (int answer = ioOpen(&ctx, name.c_str(), int(name.size()), ioFlagRead | flags, 0, &recovery)) return answer;
      return ioClose(ctx);
    } catch (const ioFailure& failure) {
      return failure.code;
    }
  }
  static std::vector<uint8_t> bytes(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  // Runs FE text; answers its result code.
  static int run(const char* text) { return feExecString(text); }
  // The value of a name as "==" prints it.
  static std::string valueOf(const char* name) {
    feObject key = gobjfx::name(name), value;
    if (feLoad(&key, &value) != 0) return "undefined";
    std::string text = gobjfx::print(value);
    feFree(&value);
    return text;
  }

  std::vector<dbDocRec*> slots;  // reserved so that slots never move
  std::filesystem::path dir;

public:
  DocVarTest() { slots.reserve(16); }
};

}  // namespace docvarfx

#endif
