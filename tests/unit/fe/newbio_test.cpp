#include "exec_fixture.h"

#include "core/alloc.h"
#include "core/classes.h"
#include "fe/file.h"
#include "fe/names_table.h"
#include "fe/newbio.h"
#include "fe/release.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

// A file name in the working directory (the test's build folder), unique to
// the running test, so that the child processes of a test find it too.
std::string tempPath(const char* what) {
  const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string("newbio-") + info->test_suite_name() + "-" + info->name() + "-" + what + ".feb";
  return (std::filesystem::current_path() / name).string();
}

Bytes readAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeAll(const std::string& path, const Bytes& bytes, size_t n) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(n));
}

uint32_t get32(const Bytes& b, size_t at) {
  return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}
void put32(Bytes& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (8 * i));
}
uint32_t get16(const Bytes& b, size_t at) { return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8; }
void put16(Bytes& b, size_t at, uint32_t v) {
  b[at] = uint8_t(v);
  b[at + 1] = uint8_t(v >> 8);
}

// The records of an image, walked with the item size each tag has.
struct Record {
  size_t pos;  // of the head
  int tag;
  uint32_t count;
  uint32_t itemSize;
  size_t items() const { return pos + 6; }
  size_t end() const { return items() + size_t(count) * itemSize; }
};

std::vector<Record> records(const Bytes& b) {
  static const std::map<int, uint32_t> kItemSize = {{1, 20}, {2, 1},  {3, 12}, {4, 8192}, {5, 4},  {6, 10},
                                                    {7, 4},  {8, 1},  {9, 1},  {11, 4},   {12, 1}, {13, 8},
                                                    {14, 1}, {16, 4}, {17, 14}, {18, 8},  {19, 20}, {20, 10},
                                                    {21, 4}, {22, 4}};
  std::vector<Record> out;
  size_t pos = 35;
  while (pos + 6 <= b.size()) {
    Record r{pos, int(get16(b, pos)), get32(b, pos + 2), 0};
    auto it = kItemSize.find(r.tag);
    if (it == kItemSize.end()) break;
    r.itemSize = it->second;
    if (r.end() > b.size()) break;
    out.push_back(r);
    pos = r.end();
  }
  return out;
}

const Record* firstOf(const std::vector<Record>& recs, int tag) {
  for (const Record& r : recs)
    if (r.tag == tag) return &r;
  return nullptr;
}

// A copy of the value dict holds under name (a null when absent).
feObject member(const feObject* dict, const char* name) {
  feObject v;
  if (feDictGetName(dict, name, &v) != feOk) feMakeNull(&v);
  return v;
}

void define(feObject* dict, const char* name, feObject value) {
  feDictDefName(dict, name, &value);
  feFree(&value);
}

feObject string(const char* text) {
  feObject v;
  feMakeString(&v, text, std::strlen(text));
  return v;
}

// Program objects of two test classes: "nbimg" writes its record (the class
// id and a 32-bit payload) and makes a new object from it; "nbnoimg" does not
// answer message 122.
struct ImageRecord {
  feObjRecord head;
  int32_t payload;
};
int imageFrees = 0;

int imageClassHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t c) {
  if (message == feMsgFree) {
    ++imageFrees;
    delete static_cast<ImageRecord*>(object);
    return 0;
  }
  if (message != feMsgImage) return objNotHandled;
  if (b == 1) {
    const auto* r = static_cast<const ImageRecord*>(object);
    uint8_t size[4] = {6, 0, 0, 0};
    uint8_t bytes[6] = {uint8_t(r->head.classId), uint8_t(r->head.classId >> 8)};
    std::memcpy(bytes + 2, &r->payload, 4);
    auto* file = reinterpret_cast<uArrayFile*>(c);
    return uArrayWrite(file, 11, size, 1, 4) || uArrayWrite(file, 12, bytes, 6, 1);
  }
  const auto* record = reinterpret_cast<const feImageRecord*>(c);
  if (record->size != 6) return feErrIo;
  auto* r = new ImageRecord{{uint16_t(record->data[0] | record->data[1] << 8), 0}, 0};
  std::memcpy(&r->payload, record->data + 2, 4);
  return feMakeObjRef(reinterpret_cast<feObject*>(a), r);
}

int plainClassHandler(void* object, int message, intptr_t, intptr_t, intptr_t) {
  if (message != feMsgFree) return objNotHandled;
  delete static_cast<ImageRecord*>(object);
  return 0;
}

uint16_t imageClass() {
  static const uint16_t id = objClassRegister("nbimg", 0, imageClassHandler);
  return id;
}
uint16_t plainClass() {
  static const uint16_t id = objClassRegister("nbnoimg", 0, plainClassHandler);
  return id;
}

feObject object(uint16_t classId, int32_t payload) {
  feObject v;
  feMakeObjRef(&v, new ImageRecord{{classId, 0}, payload});
  return v;
}

// A value graph with the cases an image must keep: a dictionary holding
// itself, two values sharing one string, a slice listed before the whole
// string it is cut from, an array used as a dictionary key, scalars of every
// kind, a procedure, and program objects.
struct Graph {
  feObject root;

  Graph() {
    feMakeDict(&root, 16);
    feDictDefName(&root, "self", &root);
    feObject shared = string("shared");
    feDictDefName(&root, "s1", &shared);
    define(&root, "s2", shared);

    feObject whole = string("hello world");
    feObject start, count, slice;
    feMakeInt(&start, 6);
    feMakeInt(&count, 5);
    feGetInterval(&whole, &start, &count, &slice);
    feObject add = member(feSystemDict(), "add");
    feObject name;
    feMakeName(&name, "nbName", 6);
    feObject items[] = {slice, whole, execfx::integer(-7), execfx::real(2.5), name, *feTrue(), {}, {}, add};
    feMakeNull(&items[6]);
    feMakeMark(&items[7]);
    feObject arr;
    feMakeArray(&arr, items, 9);
    define(&root, "arr", arr);

    define(&root, "proc", execfx::procedure({execfx::integer(1), execfx::execName("add")}));
    define(&root, "emptyProc", execfx::procedure({}));
    define(&root, "emptyString", string(""));

    feObject keyItems[] = {execfx::integer(1), execfx::integer(2)};
    feObject akey, keyed;
    feMakeArray(&akey, keyItems, 2);
    feMakeDict(&keyed, 8);
    feDictPut(&keyed, &akey, feTrue());
    define(&root, "akey", akey);
    define(&root, "keyed", keyed);
  }

  ~Graph() {
    feObject null;
    feMakeNull(&null);
    feDictDefName(&root, "self", &null);
    feFree(&root);
  }
};

class NewbioImage : public ::testing::Test {
protected:
  void SetUp() override { execfx::start(); }
  void TearDown() override {
    execfx::stop();
    for (const std::string& p : paths_) std::remove(p.c_str());
  }

  std::string path(const char* what) {
    paths_.push_back(tempPath(what));
    return paths_.back();
  }

  // Writes root and answers the bytes of the file.
  Bytes written(const feObject* root, const std::string& file) {
    EXPECT_EQ(feImageWrite(file.c_str(), root, nullptr), feOk);
    return readAll(file);
  }

  // The answer of reading bytes as an image (what was read is freed).
  int readBack(const Bytes& bytes, size_t n, const std::string& file) {
    writeAll(file, bytes, n);
    feImage* image = nullptr;
    const int rc = feImageRead(file.c_str(), &image);
    EXPECT_EQ(rc == feOk, image != nullptr);
    feImageFree(image);
    return rc;
  }

private:
  std::vector<std::string> paths_;
};

TEST_F(NewbioImage, AGraphComesBackWithItsCycleSharedBodiesAndCounts) {
  const std::string file = path("graph");
  {
    Graph g;
    ASSERT_EQ(feImageWrite(file.c_str(), &g.root, nullptr), feOk);
  }
  const int32_t arrays = feArrayBodiesLive();
  const int32_t dicts = feDictBodiesLive();
  feImage* image = nullptr;
  ASSERT_EQ(feImageRead(file.c_str(), &image), feOk);
  const feObject* root = feImageSystemDict(image);
  ASSERT_EQ(feType(root), feTDict);
  EXPECT_GT(feArrayBodiesLive(), arrays);

  // The dictionary holds itself again.
  feObject self = member(root, "self");
  EXPECT_EQ(self.w0.dict, root->w0.dict);
  feFree(&self);

  // One body behind s1 and s2: a put through one is seen through the other.
  feObject s1 = member(root, "s1"), s2 = member(root, "s2");
  ASSERT_EQ(feType(&s1), feTString);
  EXPECT_EQ(s1.w0.str, s2.w0.str);
  feObject zero = execfx::integer(0), letter = execfx::integer('S');
  EXPECT_EQ(feStringPut(&s1, &zero, &letter), feOk);
  uint8_t* text;
  uint16_t length;
  feStringData(&s2, &text, &length);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(text), length), "Shared");

  // The slice met first kept the whole body, and both share it.
  feObject arr = member(root, "arr");
  ASSERT_EQ(feType(&arr), feTArray);
  ASSERT_EQ(feArrayLength(&arr), 9);
  const feObject* slice = feArrayElem(&arr, 0);
  const feObject* whole = feArrayElem(&arr, 1);
  feStringData(slice, &text, &length);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(text), length), "world");
  feStringData(whole, &text, &length);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(text), length), "hello world");
  EXPECT_EQ(slice->w0.str, whole->w0.str);

  // Scalars, the operator and the flags.
  feObject expected[] = {execfx::integer(-7), execfx::real(2.5), {}, *feTrue(), {}, {}, member(feSystemDict(), "add")};
  feMakeName(&expected[2], "nbName", 6);
  feMakeNull(&expected[4]);
  feMakeMark(&expected[5]);
  for (int i = 0; i < 7; ++i) {
    const feObject* got = feArrayElem(&arr, 2 + i);
    EXPECT_EQ(got->flags, expected[i].flags) << "element " << 2 + i;
    EXPECT_EQ(feEq(got, &expected[i]), feOk) << "element " << 2 + i;
  }
  EXPECT_EQ(feArrayElem(&arr, 8)->w0.u, expected[6].w0.u);
  feObject proc = member(root, "proc");
  EXPECT_EQ(proc.flags, uint16_t(feTArray) | feFlagExec | feFlagNamed);
  EXPECT_EQ(feArrayLength(&proc), 2);
  feObject emptyProc = member(root, "emptyProc"), emptyString = member(root, "emptyString");
  EXPECT_EQ(emptyProc.flags, uint16_t(feTArray) | feFlagExec | feFlagNamed);
  EXPECT_EQ(feArrayLength(&emptyProc), 0);
  EXPECT_EQ(feType(&emptyString), feTString);
  EXPECT_EQ(emptyString.length, 0);

  // An array key is found again: its body kept its serial, which is its hash.
  feObject akey = member(root, "akey"), keyed = member(root, "keyed"), found;
  EXPECT_EQ(feDictGet(&keyed, &akey, &found), feOk);
  feFree(&found);

  const feStringBody* sharedBody = s1.w0.str;
  const feStringBody* wholeBody = whole->w0.str;
  const feArrayBody* keyBody = akey.w0.arr;
  for (feObject* v : {&s1, &s2, &arr, &proc, &akey, &keyed, &emptyProc, &emptyString}) feFree(v);
  feFree(&expected[6]);

  // Every count is the number of references the graph holds (the root's
  // value holds one more).
  EXPECT_EQ(root->w0.dict->refs, 2u);
  EXPECT_EQ(sharedBody->refs, 2u);
  EXPECT_EQ(wholeBody->refs, 2u);
  EXPECT_EQ(keyBody->refs, 2u);
  // An image whose graph was not taken frees its bodies one by one: the
  // counts of live bodies come back.
  feImageFree(image);
  EXPECT_EQ(feArrayBodiesLive(), arrays);
  EXPECT_EQ(feDictBodiesLive(), dicts);
}

TEST_F(NewbioImage, TheFileHasTheHeadTheNameTableAndWholeStrings) {
  Bytes b;
  {
    Graph g;
    b = written(&g.root, path("layout"));
  }
  ASSERT_GT(b.size(), 35u);
  EXPECT_EQ(std::string(b.begin(), b.begin() + 31), "Korvan \"Plumet\" binary FE file.");
  EXPECT_EQ(Bytes(b.begin() + 31, b.begin() + 35), (Bytes{0, 0, 1, 4}));

  const std::vector<Record> recs = records(b);
  ASSERT_GE(recs.size(), 8u);
  ASSERT_EQ(recs.back().end(), b.size()) << "every byte belongs to a record";
  const int head[] = {5, 1, 2, 3, 4, 7};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(recs[i].tag, head[i]) << "record " << i;

  const feNameTable* t = feNameTableGet();
  EXPECT_EQ(get32(b, recs[0].items()), t->count);
  EXPECT_EQ(get32(b, recs[1].items() + 4), t->poolCapacity);
  EXPECT_EQ(get32(b, recs[1].items() + 8), t->poolUsed);
  EXPECT_EQ(get32(b, recs[1].items() + 16), t->entryCapacity);
  EXPECT_EQ(recs[2].count, t->poolCapacity);
  EXPECT_EQ(recs[3].count, t->entryCapacity);
  EXPECT_EQ(recs[4].count, 1u);

  // After the blocks, the root value (a literal dictionary) and its body.
  size_t i = 6;
  for (uint32_t blocks = get32(b, recs[5].items()); blocks > 0; --blocks) {
    EXPECT_EQ(recs[i++].tag, 8);
    EXPECT_EQ(recs[i++].tag, 9);
  }
  ASSERT_LT(i + 2, recs.size());
  EXPECT_EQ(recs[i].tag, 6);
  EXPECT_EQ(get16(b, recs[i].items() + 8), uint32_t(feTDict));
  EXPECT_EQ(recs[i + 1].tag, 17);
  EXPECT_EQ(recs[i + 2].tag, 19);

  // The slice was met first, yet its string went out whole, and only once.
  int wholeStrings = 0;
  for (const Record& r : recs)
    if (r.tag == 14 && std::string(b.begin() + long(r.items()), b.begin() + long(r.end())) == "hello world")
      ++wholeStrings;
  EXPECT_EQ(wholeStrings, 1);
}

TEST_F(NewbioImage, FilesAndObjectsWhoseClassWritesNothingComeBackNull) {
  const std::string file = path("objects");
  const std::string target = path("target");
  const int freesBefore = imageFrees;
  feObject root;
  feMakeDict(&root, 8);
  feObject f;
  ASSERT_EQ(feFileMake(&f, target.c_str(), target.size(), "w", 1), feOk);
  define(&root, "file", f);
  define(&root, "obj", object(imageClass(), 1234));
  define(&root, "plain", object(plainClass(), 99));
  feObject original = member(&root, "obj");
  const auto* originalRecord = static_cast<const ImageRecord*>(original.w0.obj);
  const uint8_t countBefore = originalRecord->head.refCount;

  ASSERT_EQ(feImageWrite(file.c_str(), &root, nullptr), feOk);
  EXPECT_EQ(originalRecord->head.refCount, countBefore);

  feImage* image = nullptr;
  ASSERT_EQ(feImageRead(file.c_str(), &image), feOk);
  const feObject* loaded = feImageSystemDict(image);
  feObject got = member(loaded, "file");
  EXPECT_EQ(feType(&got), feTNull);
  got = member(loaded, "plain");
  EXPECT_EQ(feType(&got), feTNull);
  got = member(loaded, "obj");
  ASSERT_EQ(feType(&got), feTObject);
  const auto* copy = static_cast<const ImageRecord*>(got.w0.obj);
  EXPECT_NE(copy, originalRecord);
  EXPECT_EQ(copy->head.classId, imageClass());
  EXPECT_EQ(copy->payload, 1234);
  EXPECT_EQ(copy->head.refCount, 2);   // the graph's reference and this copy
  feFree(&got);

  // Freeing the image frees the object it made, and only that one.
  feImageFree(image);
  EXPECT_EQ(imageFrees, freesBefore + 1);
  feFree(&original);
  feFree(&root);
  EXPECT_EQ(imageFrees, freesBefore + 2);
}

TEST_F(NewbioImage, DamagedFilesAnswer273AndMissingOnes272) {
  const std::string file = path("damaged");
  const std::string probe = path("probe");
  Bytes good;
  {
    Graph g;
    good = written(&g.root, file);
  }
  const std::vector<Record> recs = records(good);
  ASSERT_EQ(readBack(good, good.size(), probe), feOk);

  using Mutation = std::function<void(Bytes&)>;
  auto at = [&](int tag) {
    const Record* r = firstOf(recs, tag);
    EXPECT_NE(r, nullptr) << "tag " << tag;
    return r ? r->items() : size_t(0);
  };
  // The first used slot of the root dictionary.
  auto firstKey = [&]() {
    size_t p = at(19);
    while (get16(good, p + 8) == 0) p += 20;
    return p;
  };
  // The first element of an array body that is a non-empty string.
  auto firstStringElement = [&]() {
    for (const Record& r : recs) {
      if (r.tag != 20) continue;
      for (uint32_t i = 0; i < r.count; ++i) {
        const size_t p = r.items() + size_t(i) * 10;
        if ((get16(good, p + 8) & 15) == feTString && get16(good, p + 6) > 0) return p;
      }
    }
    ADD_FAILURE() << "no string element";
    return size_t(0);
  };
  const std::vector<std::pair<const char*, Mutation>> cases = {
      {"a version byte", [](Bytes& b) { b[34] = 5; }},
      {"the magic text", [](Bytes& b) { b[0] = 'k'; }},
      {"a type code past 12 at the root", [&](Bytes& b) { put16(b, at(6) + 8, 13); }},
      {"a root that is not a dictionary", [&](Bytes& b) { put16(b, at(6) + 8, feTString); }},
      {"no names at all", [&](Bytes& b) { put32(b, at(5), 0); }},
      {"a pool larger than its record", [&](Bytes& b) { put32(b, at(1) + 4, get32(b, at(1) + 4) + 1); }},
      {"a name outside the pool's used bytes", [&](Bytes& b) { put32(b, at(3) + 12, get32(b, at(1) + 8)); }},
      {"a name key past the table", [&](Bytes& b) { put32(b, firstKey(), 0xFFFF); }},
      {"an unknown string identity", [&](Bytes& b) { put32(b, at(22), 0xFFFFFFF0u); }},
      {"a string identity used as a dictionary's", [&](Bytes& b) { put16(b, firstOf(recs, 22)->pos, 16); }},
      {"a string range past its body", [&](Bytes& b) { put16(b, firstStringElement() + 6, 0xFFFF); }},
      {"a dictionary's used count off by one", [&](Bytes& b) { put16(b, at(17) + 4, get16(b, at(17) + 4) + 1); }},
      {"a byte after the graph", [](Bytes& b) { b.push_back(0); }},
  };
  for (const auto& [what, mutate] : cases) {
    Bytes b = good;
    mutate(b);
    EXPECT_EQ(readBack(b, b.size(), probe), feErrIo) << what;
  }
  // A count that no file can satisfy, in every record.
  for (const Record& r : recs) {
    Bytes b = good;
    put32(b, r.pos + 2, 0xFFFFFFFFu);
    EXPECT_EQ(readBack(b, b.size(), probe), feErrIo) << "tag " << r.tag << " at " << r.pos;
  }

  feImage* image = nullptr;
  EXPECT_EQ(feImageRead((file + ".missing").c_str(), &image), feErrInvalidFileAccess);
  EXPECT_EQ(image, nullptr);
}

TEST_F(NewbioImage, EveryTruncationAnswers273) {
  const std::string probe = path("probe");
  Bytes good;
  {
    Graph g;
    define(&g.root, "obj", object(imageClass(), 5));
    good = written(&g.root, path("whole"));
  }
  std::vector<size_t> cuts = {0, 1, 30, 31, 34};
  for (const Record& r : records(good)) {
    cuts.push_back(r.pos);
    cuts.push_back(r.pos + 3);
    cuts.push_back(r.items());
    if (r.end() - r.items() > 1) cuts.push_back(r.items() + (r.end() - r.items()) / 2);
  }
  for (size_t cut : cuts) {
    if (cut >= good.size()) continue;
    EXPECT_EQ(readBack(good, cut, probe), feErrIo) << "cut at " << cut;
  }
}

TEST_F(NewbioImage, RandomByteChangesNeverCrash) {
  const std::string probe = path("probe");
  Bytes good;
  {
    Graph g;
    define(&g.root, "obj", object(imageClass(), 5));
    good = written(&g.root, path("whole"));
  }
  const std::vector<Record> recs = records(good);
  const Record* root = firstOf(recs, 6);
  ASSERT_NE(root, nullptr);
  const size_t graphStart = root->pos;

  std::mt19937 random(20240611);
  int accepted = 0;
  for (int round = 0; round < 400; ++round) {
    Bytes b = good;
    const int changes = 1 + int(random() % 3);
    for (int k = 0; k < changes; ++k) {
      // Half of the changes go to the value graph, where most checks are.
      const size_t from = (random() & 1) ? graphStart : 0;
      const size_t at = from + random() % (b.size() - from);
      b[at] = (random() & 1) ? uint8_t(b[at] ^ (1u << (random() % 8))) : uint8_t(random());
    }
    const int rc = readBack(b, b.size(), probe);
    EXPECT_TRUE(rc == feOk || rc == feErrIo) << "round " << round << ": " << rc;
    if (rc == feOk) ++accepted;
  }
  // A changed byte inside a string or a number is still a valid image.
  EXPECT_GT(accepted, 0);
}

TEST_F(NewbioImage, WritingAnswers272And273AndKeepsDictionariesAsTheRoot) {
  Graph g;
  const std::string missingDir = (std::filesystem::current_path() / "newbio-no-such-dir" / "x.feb").string();
  EXPECT_EQ(feImageWrite(missingDir.c_str(), &g.root, nullptr), feErrInvalidFileAccess);
  // Directories may be separated with a backslash as well.
  std::string backslashed = missingDir;
  for (char& c : backslashed)
    if (c == '/') c = '\\';
  EXPECT_EQ(feImageWrite(backslashed.c_str(), &g.root, nullptr), feErrInvalidFileAccess);
  feObject notADict = execfx::integer(1);
  EXPECT_EQ(feImageWrite(path("int").c_str(), &notADict, nullptr), feErrTypeCheck);
  if (std::filesystem::exists("/dev/full")) {
    EXPECT_EQ(feImageWrite("/dev/full", &g.root, nullptr), feErrIo);
  }
}

TEST_F(NewbioImage, StatisticsCountTheValuesAndBodiesWritten) {
  feObject root;
  feMakeDict(&root, 8);
  feObject items[] = {execfx::integer(1), execfx::real(0.5), string("abc")};
  feObject arr;
  feMakeArray(&arr, items, 3);
  feDictDefName(&root, "a", &arr);
  define(&root, "b", arr);   // the same body again
  feImageStats s{};
  ASSERT_EQ(feImageWrite(path("stats").c_str(), &root, &s), feOk);
  // The root, two keys, two array values (one body: three elements).
  EXPECT_EQ(s.values, 1 + 4 + 3);
  EXPECT_EQ(s.names, 2);
  EXPECT_EQ(s.arrays, 2);
  EXPECT_EQ(s.dicts, 1);
  EXPECT_EQ(s.integers, 1);
  EXPECT_EQ(s.reals, 1);
  EXPECT_EQ(s.strings, 1);
  EXPECT_EQ(s.arrayLength, 3);
  EXPECT_EQ(s.dictLength, 2);
  EXPECT_EQ(s.dictCapacity, 8);
  EXPECT_EQ(s.stringLength, 3);
  feFree(&root);
}

TEST_F(NewbioImage, ABlockComesBackFromTheImageOnce) {
  static const char kData[] = "block data";
  static const char kName[] = "newbio-test-block";
  feSetBlock(kName, kData, sizeof kData);
  const std::string file = path("blocks");
  {
    Graph g;
    ASSERT_EQ(feImageWrite(file.c_str(), &g.root, nullptr), feOk);
  }
  // Before the image is read the module's own block is answered, and taken.
  void* data = nullptr;
  uint32_t length = 0;
  ASSERT_EQ(feGetBlock(kName, &data, &length), 0);
  EXPECT_EQ(data, kData);
  EXPECT_EQ(length, sizeof kData);

  feImage* image = nullptr;
  ASSERT_EQ(feImageRead(file.c_str(), &image), feOk);
  feImageUseBlocks(image);
  feImageFree(image);

  ASSERT_EQ(feGetBlock(kName, &data, &length), 0);
  ASSERT_NE(data, nullptr);
  EXPECT_NE(data, kData);
  EXPECT_EQ(length, sizeof kData);
  EXPECT_EQ(std::memcmp(data, kData, sizeof kData), 0);
  uFree(&data);
  EXPECT_EQ(feGetBlock(kName, &data, &length), 0);
  EXPECT_EQ(data, nullptr);
  EXPECT_EQ(length, 0u);
  EXPECT_EQ(feGetBlock("newbio-no-such-block", &data, &length), -1);
  EXPECT_EQ(data, nullptr);
  EXPECT_EQ(length, 0u);
}

TEST_F(NewbioImage, AUnloadAndALoadDefineAndFetchInSystemdict) {
  feObject ops;
  feMakeDict(&ops, 8);
  for (const char* name : {"aUnload", "aLoad", "aBOut"}) {
    const feOpSpec* spec = feImageOpSpec(name);
    ASSERT_NE(spec, nullptr) << name;
    EXPECT_EQ(feInstallOpDict(&ops, spec->name, spec->handler, spec->signature, 0, 0), feOk) << name;
  }
  EXPECT_EQ(feImageOpSpec("aNoSuchOp"), nullptr);
  ASSERT_EQ(feDictBegin(&ops), feOk);

  EXPECT_EQ(feExecString("(nbUnloaded) [1 2] aUnload (nbUnloaded) aLoad length"), feOk);
  EXPECT_EQ(execfx::operands(), "2");
  feObject stored = member(feSystemDict(), "nbUnloaded");
  EXPECT_EQ(feType(&stored), feTArray);
  feFree(&stored);
  feStackClear(*feOperandStack());
  EXPECT_EQ(feExecString("(nbNeverUnloaded) aLoad"), feErrUndefined);

  feStackClear(*feOperandStack());
  EXPECT_EQ(feDictEnd(), feOk);
  feFree(&ops);
}

TEST(NewbioRecords, CountedArraysAreReadOnlyIntoTheRoomGiven) {
  Bytes memory;
  uArrayFile out = uArrayToMemory(&memory);
  const uint16_t items[3] = {0x0102, 0x0304, 0x0506};
  ASSERT_EQ(uArrayWrite(&out, 42, items, 3, 2), 0);
  ASSERT_EQ(uArrayWrite(&out, 7, nullptr, 0, 4), 0);
  EXPECT_EQ(memory, (Bytes{42, 0, 3, 0, 0, 0, 2, 1, 4, 3, 6, 5, 7, 0, 0, 0, 0, 0}));

  struct Case {
    const char* what;
    int tag;
    uint32_t capacity;
    size_t bytes;   // of memory offered to the reader
    int expected;
  };
  const Case cases[] = {
      {"as written", 42, 3, memory.size(), 0},
      {"another tag", 43, 3, memory.size(), uArrayReadError},
      {"more items than room", 42, 2, memory.size(), uArrayReadError},
      {"cut in the items", 42, 3, 9, uArrayReadError},
      {"cut in the head", 42, 3, 4, uArrayReadError},
  };
  for (const Case& c : cases) {
    uArrayFile in = uArrayFromMemory(memory.data(), c.bytes);
    uint16_t room[3] = {0xAAAA, 0xAAAA, 0xAAAA};
    uint32_t count = 99;
    EXPECT_EQ(uArrayRead(&in, c.tag, room, &count, 2, false, c.capacity), c.expected) << c.what;
    if (c.expected == 0) {
      EXPECT_EQ(count, 3u);
      EXPECT_EQ(std::memcmp(room, items, sizeof items), 0);
    } else {
      EXPECT_EQ(room[0], 0xAAAA) << c.what << ": nothing is written";
      EXPECT_EQ(count, 99u) << c.what;
    }
  }

  // Peeking leaves the position; allocating makes a block of the count.
  uArrayFile in = uArrayFromMemory(memory.data(), memory.size());
  uint32_t count = 0;
  uint8_t first[2];
  EXPECT_EQ(uArrayPeek(&in, first, 2, &count), 42);
  EXPECT_EQ(count, 3u);
  EXPECT_EQ(first[0], 2);
  uint16_t* block = nullptr;
  ASSERT_EQ(uArrayRead(&in, 42, &block, &count, 2, true, 100), 0);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(block[2], 0x0506);
  uFree(&block);
  EXPECT_EQ(uArrayPeek(&in, nullptr, 0), 7);
  EXPECT_EQ(uArrayRead(&in, 7, &block, &count, 4, true, 0), 0);
  EXPECT_EQ(block, nullptr);
  EXPECT_EQ(uArrayPeek(&in, nullptr, 0), uArrayReadError);

  // The same records through a stdio file.
  const std::string file = tempPath("records");
  FILE* fp = std::fopen(file.c_str(), "wb");
  ASSERT_NE(fp, nullptr);
  uArrayFile onFile = uArrayOnFile(fp);
  ASSERT_EQ(uArrayWrite(&onFile, 42, items, 3, 2), 0);
  std::fclose(fp);
  fp = std::fopen(file.c_str(), "rb");
  ASSERT_NE(fp, nullptr);
  onFile = uArrayOnFile(fp);
  uint16_t room[2];
  EXPECT_EQ(uArrayRead(&onFile, 42, room, &count, 2, false, 2), uArrayReadError);
  std::rewind(fp);
  ASSERT_EQ(uArrayRead(&onFile, 42, &block, &count, 2, true, 3), 0);
  EXPECT_EQ(block[1], 0x0304);
  uFree(&block);
  std::fclose(fp);
  std::remove(file.c_str());
}

// ---------------------------------------------------------------------------
// Starting from an image, and aBOut as a whole, in processes of their own: a
// start happens once per process, and aBOut sends message 500 to every class
// the process has registered.

class NewbioStart : public ::testing::Test {
protected:
  void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

// Collects what a child process found wrong; the child exits with 0 only
// when nothing was.
struct Checks {
  std::string failures;
  void operator()(bool ok, const char* what) {
    if (!ok) failures += std::string(what) + "; ";
  }
  [[noreturn]] void exit() {
    if (!failures.empty()) std::fprintf(stderr, "failed: %s\n", failures.c_str());
    std::fflush(nullptr);
    std::exit(failures.empty() ? 0 : 1);
  }
};

std::string outputText;
void captureOutput(void*, const char* text, size_t length) { outputText.append(text, length); }

std::vector<std::string> saveLog;
void saveFirst(void*) {
  saveLog.push_back("first");
  static const char kData[] = "saved by a routine";
  feSetBlock("nb-saved", kData, sizeof kData);
}
void saveSecond(void* argument) { saveLog.push_back(static_cast<const char*>(argument)); }

int32_t operandInt() {
  const feObject* top = feStackIndex(*feOperandStack(), 0);
  return top && feType(top) == feTInt ? top->w0.i : INT32_MIN;
}

// A fresh interpreter with a definition in userdict and a block, written
// with aBOut (add bound to sub's operator when swapped).
[[noreturn]] void writeImage(const std::string& file, bool swapped) {
  Checks check;
  check(feInitFresh() == feOk, "fresh start");
  check(feExecString("userdict /nbMark 42 put") == feOk, "userdict definition");
  if (swapped) check(feExecString("systemdict /add systemdict /sub get put") == feOk, "swap");
  static const char kBlock[] = "kept in the image";
  feSetBlock("nb-start", kBlock, sizeof kBlock);
  // An operator past every table a program has: executing it must call no
  // handler at all.
  feObject far;
  std::memset(&far, 0, sizeof far);
  far.w0.u = 30000;
  far.flags = uint16_t(feTOperator) | feFlagSimple | feFlagExec;
  check(feDictDefName(feUserDict(), "nbFar", &far) == feOk, "far operator");
  // A body whose serial lies far ahead of the counter of a new process.
  feObject late;
  feMakeString(&late, "late", 4);
  late.w0.str->serial = 5000000;
  check(feDictDefName(feUserDict(), "nbLate", &late) == feOk, "late string");
  feFree(&late);
  feSetOutHook(captureOutput, nullptr);
  check(feBOut(file.c_str()) == feOk, "aBOut");
  check.exit();
}

TEST_F(NewbioStart, ABOutRunsTheSaveRoutinesAndPrintsItsStatistics) {
  const std::string file = tempPath("bout");
  EXPECT_EXIT(
      {
        Checks check;
        check(feInitFresh() == feOk, "fresh start");
        feSetOutHook(captureOutput, nullptr);
        static char second[] = "second";
        feOnSave(saveFirst, nullptr);
        feOnSave(saveSecond, second);
        check(feBOut(file.c_str()) == feOk, "aBOut");
        check(saveLog == std::vector<std::string>({"first", "second"}), "routines ran once, in order");
        check(outputText.find("\nStatistics from [fe.dir:newbio] feBOutOp:\nStatus = 0\nnumfeobj ") == 0,
              "statistics");
        check(outputText.find("lenarray ") != std::string::npos, "lengths");

        // The block the routine set is in the image.
        feImage* image = nullptr;
        check(feImageRead(file.c_str(), &image) == feOk, "read back");
        feImageUseBlocks(image);
        feImageFree(image);
        void* data = nullptr;
        uint32_t length = 0;
        check(feGetBlock("nb-saved", &data, &length) == 0 && length == 19 &&
                  std::memcmp(data, "saved by a routine", 19) == 0,
              "block from the routine");
        uFree(&data);

        // A file that cannot be made: the status is printed all the same.
        outputText.clear();
        const std::string bad = file + ".no-such-dir/x.feb";
        check(feBOut(bad.c_str()) == feErrInvalidFileAccess, "272");
        check(outputText.find("Status = 272\n") != std::string::npos, "status 272 printed");
        check(saveLog.size() == 4, "routines ran before every write");
        check.exit();
      },
      ::testing::ExitedWithCode(0), "");
  std::remove(file.c_str());
}

TEST_F(NewbioStart, TheInterpreterStartsFromAnImage) {
  const std::string file = tempPath("good");
  EXPECT_EXIT(writeImage(file, false), ::testing::ExitedWithCode(0), "");
  EXPECT_EXIT(
      {
        Checks check;
        check(feInitFromImage(file.c_str()) == feOk, "image start");
        check(!feOpDefining(), "the defining flag is off");
        check(feExecString("nbMark") == feOk && operandInt() == 42, "userdict of the image");
        feStackClear(*feOperandStack());
        check(feExecString("1 2 add") == feOk && operandInt() == 3, "operators run");
        feStackClear(*feOperandStack());
        check(feExecString("userdict /nbMark get") == feOk && operandInt() == 42, "userdict by name");
        feStackClear(*feOperandStack());
        check(feRunString("nosuchname") == feErrUndefined, "errors reach errordict");
        feStackClear(*feOperandStack());
        check(feExecString("nbFar") == feErrUnimplemented, "an operator past the table calls nothing");
        feStackClear(*feOperandStack());
        feObject fresh;
        feMakeString(&fresh, "new", 3);
        check(fresh.w0.str->serial > 5000000, "new serials come after those read");
        feFree(&fresh);
        void* data = nullptr;
        uint32_t length = 0;
        check(feGetBlock("nb-start", &data, &length) == 0 && length == 18 &&
                  std::memcmp(data, "kept in the image", 18) == 0,
              "block of the image");
        uFree(&data);
        check(feInitFromImage(file.c_str()) == feOk && feInitFresh() == feOk, "a second start does nothing");
        check.exit();
      },
      ::testing::ExitedWithCode(0), "");
  std::remove(file.c_str());
}

TEST_F(NewbioStart, AnImageOfAnotherRegistrationOrderIsRefused) {
  const std::string file = tempPath("swapped");
  EXPECT_EXIT(writeImage(file, true), ::testing::ExitedWithCode(0), "");
  EXPECT_EXIT(
      {
        Checks check;
        check(feInitFromImage(file.c_str()) == feErrIo, "refused with 273");
        // A fresh interpreter: add is add, nothing of the image is in use.
        check(feOpDefining(), "the defining flag is on");
        check(feExecString("3 1 add") == feOk && operandInt() == 4, "add calls its own handler");
        feStackClear(*feOperandStack());
        check(feExecString("userdict /nbMark known") == feOk, "known runs");
        const feObject* top = feStackIndex(*feOperandStack(), 0);
        check(top && feType(top) == feTBool && top->w0.i == 0, "userdict is fresh");
        feStackClear(*feOperandStack());
        void* data = nullptr;
        uint32_t length = 0;
        check(feGetBlock("nb-start", &data, &length) == -1, "the image's blocks are not used");
        check.exit();
      },
      ::testing::ExitedWithCode(0), "");
  std::remove(file.c_str());
}

TEST_F(NewbioStart, AMissingOrDamagedImageFallsBackToAFreshStart) {
  const std::string file = tempPath("damaged");
  EXPECT_EXIT(writeImage(file, false), ::testing::ExitedWithCode(0), "");
  Bytes b = readAll(file);
  ASSERT_GT(b.size(), 35u);
  b[33] = 0x7F;  // (the same change when a child process runs this again)
  writeAll(file, b, b.size());
  const std::string missing = file + ".missing";
  for (const auto& [path, code] : {std::pair{file, int(feErrIo)}, std::pair{missing, int(feErrInvalidFileAccess)}}) {
    EXPECT_EXIT(
        {
          Checks check;
          check(feInitFromImage(path.c_str()) == code, "the loader's code");
          check(feOpDefining(), "the defining flag is on");
          check(feExecString("1 2 add") == feOk && operandInt() == 3, "a working interpreter");
          check.exit();
        },
        ::testing::ExitedWithCode(0), "")
        << path;
  }
  std::remove(file.c_str());
}

}  // namespace
