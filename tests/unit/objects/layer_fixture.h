// Shared by the layer tests: the sieve fixture's document, given a layer
// table with the default layers ("Layer1", ".temp", "construction"), the
// layer module set up, layer events recorded, and helpers to run FE text
// and place boxes on layers.
#ifndef PLUMET_TESTS_OBJECTS_LAYER_FIXTURE_H
#define PLUMET_TESTS_OBJECTS_LAYER_FIXTURE_H

#include "fe/exec.h"
#include "objects/event.h"
#include "objects/groupops.h"
#include "objects/iofile.h"
#include "objects/ioformat.h"
#include "objects/layer.h"
#include "objects/layer_internal.h"
#include "objects/sieve_fixture.h"

#include <string>
#include <vector>

namespace layerfx {

inline std::vector<uint32_t>& events() {
  static std::vector<uint32_t> list;
  return list;
}
inline void recordEvent(uint32_t code, intptr_t) { events().push_back(code); }

class LayerTest : public sievefx::SieveTest {
protected:
  void SetUp() override {
    SieveTest::SetUp();
    grpInit();
    if (!execfx::defined("aLayer")) layerInit();
    if (!execfx::defined("aCount")) {
      const feOpSpec* spec = grpOpSpec("aCount");
      feRegisterOp(spec->name, spec->handler, spec->signature, 0, 0);
    }
    ioSetLayerCoder(objLayerIO);
    ioSetSegmentHook(ioWordLayers, layerTblIO);
    evtReset();
    evtAdd(0xFFFF0000u, 0x00020000u, recordEvent);
    events().clear();
    makeSieve(8, 1000);
    doc.layers = layerTblNew(1);
    doc.defaultObject.classId = gobjClassId();
    doc.defaultObject.refCount = gobjPermanent;
  }
  void TearDown() override {
    clearStack();
    SieveTest::TearDown();
    tblFree(&doc.layers);
    layerTblDefaultFree();
    evtReset();
  }

  // Runs FE text with a clean operand stack; answers its result.
  static void clearStack() { feStackPopN(*feOperandStack(), feStackCount(*feOperandStack())); }
  static int run(const char* text) {
    clearStack();
    return feExecString(text);
  }
  static std::string stack() { return execfx::operands(); }

  // The number of a layer of the current table (negative: not there).
  static int number(const char* name) { return layerNumber(name, uint32_t(std::strlen(name))); }
  static layerRec* rec(const char* name) { return layerEntry(number(name)); }
  static int define(const char* name) { return layerDefine(name, uint32_t(std::strlen(name))); }

  // A box on layer n entered in the document.
  gobjRec* put(int n, double at = 0) {
    sievefx::tboxRec* b = heldBox(at, at, 0, at + 1, at + 1, 0);
    b->head.layer = uint8_t(n);
    EXPECT_EQ(objInsert(&b->head), 0);
    return &b->head;
  }
  // The text of a key of the layer object that text leaves on the stack.
  std::string layerText(const char* text, const char* key) {
    if (run(text) != 0) return "(failed)";
    gobjRec* object = layerObject();
    std::string value;
    if (!object || get(object, key, &value) != 0) value = "(no value)";
    objRelease(&object);
    return value;
  }
  // Pops the program object on top of the stack, holding a reference for
  // the caller (release it with objRelease).
  static gobjRec* layerObject() {
    feStack* operands = *feOperandStack();
    if (feStackCount(operands) == 0) return nullptr;
    const feObject* top = feStackIndex(operands, 0);
    gobjRec* object = feType(top) == feTObject ? static_cast<gobjRec*>(top->w0.obj) : nullptr;
    if (object) objRetain(object);
    clearStack();
    return object;
  }
  std::vector<gobjRec*> inSieve() { return all(doc.sieve); }
};

}  // namespace layerfx

#endif
