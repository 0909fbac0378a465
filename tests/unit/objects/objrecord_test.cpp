// Objects as records of a drawing file (reading stays in step whatever a
// class reads, damaged files never crash), attribute writes and deletion
// under the lock, and the damaged region.
#include "objects/objrecord.h"

#include "core/alloc.h"
#include "core/bbox.h"
#include "core/classes.h"
#include "fe/exec_fixture.h"
#include "objects/docstate.h"
#include "objects/gobject.h"
#include "objects/io_detached.h"
#include "objects/iofile.h"
#include "objects/ioformat.h"
#include "objects/objmsg.h"
#include "scratch_dir.h"

#include <platform_test.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// "trec": a graphic object with a number, a text and a point "origin". Its
// record is the head, then "iS3d". Switches make it read badly on purpose.
struct trecRec {
  gobjRec head;
  int32_t value;
  char* text;
  double origin[3];
};

uint16_t trecClass;
bool readShort;   // reads the text, but not the point: 3 bytes too few for small points
bool failRead;    // answers -1 after reading
int deletes;      // messages 345 seen

int trecHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t c) {
  auto* rec = static_cast<trecRec*>(object);
  const uint16_t super = objSuperClass(trecClass);
  switch (message) {
    case msgNew:
      return gobjNewAs(trecClass, sizeof(trecRec), a);
    case msgFree:
      uFreeIfSet(&rec->text);
      break;
    case msgIO: {
      int answer = objMeth(super, message, object, a, b, c);
      if (answer < 0) return answer;
      auto* ctx = reinterpret_cast<ioCtx*>(a);
      if (ctx->mode == 'r' && readShort) {
        ioFormat(ctx, "iS", &rec->value, &rec->text);
        return 0;
      }
      if (ioFormat(ctx, "iS3d", &rec->value, &rec->text, rec->origin) < 0) return -1;
      return failRead ? -1 : 0;
    }
    case msgGetAttr: {
      auto* key = reinterpret_cast<const feObject*>(a);
      const char* text;
      size_t length;
      if (feType(key) != feTName) break;
      feNameText(key, &text, &length);
      if (std::string(text, length) != "origin") break;
      feObject xyz[3];
      for (int i = 0; i < 3; ++i) feMakeReal(&xyz[i], rec->origin[i]);
      return feMakeArray(reinterpret_cast<feObject*>(b), xyz, 3);
    }
    case msgSetAttr: {
      auto* key = reinterpret_cast<const feObject*>(a);
      auto* value = reinterpret_cast<const feObject*>(b);
      const char* text;
      size_t length;
      if (feType(key) != feTName) break;
      feNameText(key, &text, &length);
      if (std::string(text, length) != "origin") break;
      if (feType(value) != feTArray || feArrayLength(value) != 3) return feErrTypeCheck;
      for (int i = 0; i < 3; ++i) rec->origin[i] = feGetNumber(feArrayElem(value, i), nullptr);
      return 0;
    }
    case msgDetach:
      ++deletes;
      break;
    default:
      break;
  }
  return objMeth(super, message, object, a, b, c);
}

std::string logText;
void captureLog(void*, const char* text, size_t length) { logText.append(text, length); }

class ObjRecord : public ScratchDirTest {
protected:
  ObjRecord() : ScratchDirTest("objrecord-") {}
  void SetUp() override {
    ScratchDirTest::SetUp();
    ioDetachModules();
    execfx::start();
    plTestReset();
    plTestSetMessageBoxEcho(false);
    gobjInit(0);
    if (!trecClass) trecClass = objClassRegister("trec", gobjClassId(), trecHandler);
    readShort = failRead = false;
    deletes = 0;
    logText.clear();
    dbgSetLogHook(captureLog, nullptr);
    dbSetCurrentDoc(nullptr);
  }
  void TearDown() override {
    for (gobjRec* o : made) objRelease(&o);
    dbgSetLogHook(nullptr, nullptr);
    execfx::stop();
    plTestReset();
    ScratchDirTest::TearDown();
  }

  trecRec* make(int32_t value, const char* text, double z = 0) {
    auto* rec = reinterpret_cast<trecRec*>(objNew(trecClass));
    rec->value = value;
    if (text) {
      rec->text = static_cast<char*>(uAlloc(nullptr, nullptr, uint32_t(std::strlen(text) + 1), 1));
      std::strcpy(rec->text, text);
    }
    rec->origin[0] = 1;
    rec->origin[1] = 2;
    rec->origin[2] = z;
    objRetain(&rec->head);
    made.push_back(&rec->head);
    return rec;
  }

  int save(const std::string& name, const std::vector<trecRec*>& objects) {
    ioRecovery recovery;
    try {
      ioCtx* ctx = nullptr;
      int answer = ioOpen(&ctx, path(name).c_str(), int(path(name).size()), ioFlagWrite, 4, &recovery);
      if (answer) return answer;
      for (trecRec* o : objects) objWrite(&o->head, ctx);
      return ioClose(ctx);
    } catch (const ioFailure& failure) {
      return failure.code;
    }
  }

  // Reads every object; answers 0 or the first negative code. The objects
  // read are kept (and released by the fixture).
  int load(const std::string& name, std::vector<trecRec*>* out) {
    ioRecovery recovery;
    try {
      ioCtx* ctx = nullptr;
      int answer = ioOpen(&ctx, path(name).c_str(), int(path(name).size()), ioFlagRead, 0, &recovery);
      if (answer) return answer;
      for (;;) {
        int status = 0;
        gobjRec* object = nullptr;
        objRead(ctx, &status, &object);
        if (status < 0) {
          if (status != -1) answer = status;
          break;
        }
        if (!object) continue;
        objRetain(object);
        made.push_back(object);
        if (out) out->push_back(reinterpret_cast<trecRec*>(object));
      }
      int closed = ioClose(ctx);
      return answer ? answer : closed;
    } catch (const ioFailure& failure) {
      return failure.code;
    }
  }

  std::vector<gobjRec*> made;
};

TEST_F(ObjRecord, ObjectsComeBackAsWritten) {
  trecRec* a = make(7, "first", 3.5);
  trecRec* b = make(-100000, nullptr);
  trecRec* c = make(0, "\xb0 and \xff");
  a->head.flags |= gobjLocked;
  c->head.color = 200;
  ASSERT_EQ(0, save("plan.qdw", {a, b, c}));

  std::vector<trecRec*> back;
  ASSERT_EQ(0, load("plan.qdw", &back));
  ASSERT_EQ(3u, back.size());
  EXPECT_EQ(7, back[0]->value);
  EXPECT_STREQ("first", back[0]->text);
  EXPECT_EQ(3.5, back[0]->origin[2]);
  EXPECT_TRUE(back[0]->head.flags & gobjLocked);
  EXPECT_EQ(-100000, back[1]->value);
  EXPECT_EQ(nullptr, back[1]->text);
  EXPECT_STREQ("\xb0 and \xff", back[2]->text);
  EXPECT_EQ(200, back[2]->head.color);
  for (trecRec* o : back) EXPECT_EQ(trecClass, o->head.classId);
}

TEST_F(ObjRecord, ShortReadIsPutRightAndTheNextRecordReadsWell) {
  ASSERT_EQ(0, save("plan.qdw", {make(1, "a"), make(2, "b")}));
  readShort = true;  // both records leave their point (3 bytes: 01 02 00) unread
  std::vector<trecRec*> back;
  ASSERT_EQ(0, load("plan.qdw", &back));
  ASSERT_EQ(2u, back.size());
  EXPECT_EQ(2, back[1]->value);
  EXPECT_STREQ("b", back[1]->text);
  EXPECT_NE(std::string::npos, logText.find("[objRead] trec: io: adjust 3 bytes"));
}

TEST_F(ObjRecord, OnlyTheFirstTenReadErrorsOfARunAreAlerted) {
  std::vector<trecRec*> objects;
  for (int i = 0; i < 12; ++i) objects.push_back(make(i, nullptr));
  ASSERT_EQ(0, save("plan.qdw", objects));
  const uint32_t before = objReadErrors();
  failRead = true;
  std::vector<trecRec*> back;
  ASSERT_EQ(0, load("plan.qdw", &back));
  EXPECT_TRUE(back.empty());
  EXPECT_EQ(before + 12, objReadErrors());
  size_t alerts = 0;
  for (const PlMessageBoxRecord& box : plTestMessageBoxes())
    if (box.text.find("Error reading object of type trec") != std::string::npos) ++alerts;
  const size_t expected = before >= 10 ? 0 : std::min<size_t>(12, 10 - before);
  EXPECT_EQ(expected, alerts);
  EXPECT_NE(std::string::npos, logText.find("Error reading object of type trec\n"));
}

TEST_F(ObjRecord, EveryPrefixAndByteDamageReadsOrAnswersANegativeCode) {
  ASSERT_EQ(0, save("plan.qdw", {make(5, "text one"), make(600, nullptr, 1e-3), make(-7, "\xb1")}));
  const std::string whole = read("plan.qdw");
  ASSERT_GT(whole.size(), 64u);
  for (size_t n = 0; n < whole.size(); ++n) {
    write("cut.qdw", whole.substr(0, n));
    EXPECT_LT(load("cut.qdw", nullptr), 0) << "prefix of " << n << " bytes";
  }
  for (size_t i = 0; i < whole.size(); ++i) {
    for (uint8_t change : {uint8_t(0x00), uint8_t(0xFF), uint8_t(whole[i] ^ 0x01), uint8_t(whole[i] ^ 0x80)}) {
      std::string damaged = whole;
      damaged[i] = char(change);
      write("bad.qdw", damaged);
      std::vector<trecRec*> back;
      int answer = load("bad.qdw", &back);
      EXPECT_LE(answer, 0) << "byte " << i;
    }
  }
}

TEST_F(ObjRecord, LockedObjectsRefuseChangesButTheLockAndDeletion) {
  trecRec* o = make(1, nullptr);
  o->head.flags |= gobjLocked;
  feObject key, value;
  feMakeName(&key, "colorno", 7);
  feMakeInt(&value, 12);
  EXPECT_EQ(-4126, objPutAttr(&o->head, &key, &value));
  EXPECT_EQ(-4126, objDelete(&o->head, 1));
  EXPECT_EQ(0, deletes);

  feMakeName(&key, "locked", 6);
  EXPECT_EQ(0, objPutAttr(&o->head, &key, feFalse()));
  EXPECT_FALSE(o->head.flags & gobjLocked);
}

TEST_F(ObjRecord, CoordinateKeyChangesOneCoordinateOfThePoint) {
  trecRec* o = make(1, nullptr, 3);
  feObject key, value;
  feMakeName(&key, "origin.z", 8);
  feMakeReal(&value, 9.5);
  ASSERT_EQ(0, objPutAttr(&o->head, &key, &value));
  EXPECT_EQ(1, o->origin[0]);
  EXPECT_EQ(2, o->origin[1]);
  EXPECT_EQ(9.5, o->origin[2]);

  feMakeName(&key, "nothing.x", 9);
  EXPECT_NE(0, objPutAttr(&o->head, &key, &value));
}

TEST_F(ObjRecord, DamagedRegionTakesVisibleBoxesUntilTheRedraw) {
  objRedrawPending(1);
  int16_t empty[6];
  bboxEmpty(empty);
  EXPECT_EQ(0, std::memcmp(empty, objDamagedRegion(), sizeof empty));

  trecRec* o = make(1, nullptr);
  const double lo[3] = {0, 0, 0}, hi[3] = {4, 2, 1};
  bboxFromCorners(lo, hi, o->head.box);
  o->head.flags |= gobjHidden | gobjDamageDeferred;
  objDamage(&o->head);
  EXPECT_EQ(0, std::memcmp(empty, objDamagedRegion(), sizeof empty)) << "hidden objects add nothing";
  EXPECT_FALSE(o->head.flags & gobjDamageDeferred);

  o->head.flags &= uint16_t(~gobjHidden);
  objDamage(&o->head);
  EXPECT_EQ(0, std::memcmp(o->head.box, objDamagedRegion(), sizeof empty));

  const double far[3] = {-8, -8, -8};
  objDamageRect(far, lo);
  EXPECT_LT(objDamagedRegion()[0], o->head.box[0]);
  objRedrawPending(1);
  EXPECT_EQ(0, std::memcmp(empty, objDamagedRegion(), sizeof empty));
}

TEST(RectIntersect, InclusiveBoundsAndDisjointRectangles) {
  struct Case {
    int32_t a[4], b[4];
    int answer;
    int32_t out[4];
  } cases[] = {
      {{0, 0, 10, 10}, {5, 5, 20, 20}, 0, {5, 5, 10, 10}},
      {{0, 0, 10, 10}, {10, 10, 20, 20}, 0, {10, 10, 10, 10}},  // touching corners meet
      {{0, 0, 10, 10}, {11, 0, 20, 10}, -1, {0, 0, 0, 0}},
      {{0, 0, 10, 10}, {2, 3, 4, 5}, 0, {2, 3, 4, 5}},
  };
  for (const Case& c : cases) {
    int32_t out[4] = {9, 9, 9, 9};
    EXPECT_EQ(c.answer, rectIntersect(c.a, c.b, out));
    EXPECT_EQ(0, std::memcmp(c.out, out, sizeof out));
  }
}

}  // namespace
