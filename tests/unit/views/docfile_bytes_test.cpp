// The bytes of a drawing file as the writer lays them out: the header, the
// order of the segments behind the stream, the start of the stream, the
// document version in the type table and a model's "World" plane.
#include "docfile_fixture.h"

#include "objects/iocodec.h"
#include "ui/filesys.h"

#include <ctime>

namespace {

using docfilefx::DocFileTest;

class DocFileBytes : public DocFileTest {
protected:
  // A new document made as the user makes one, written by aWrite.
  std::string newDocumentFile() {
    EXPECT_EQ(eval("null aNewDoc"), "");
    EXPECT_EQ(eval(("(" + file() + ") aWrite").c_str()), "");
    return bytes();
  }
  // The type table's segment: from header word 3 to the end.
  static std::string typeTable(const std::string& data) { return data.substr(word(data, 3)); }
};

TEST_F(DocFileBytes, HeaderAndSegmentsOfANewDocument) {
  const std::string data = newDocumentFile();
  ASSERT_GT(data.size(), 64u);
  EXPECT_EQ(hex(data, 0, 12), "00 AB CD E0 00 00 00 04 00 00 00 40");
  EXPECT_EQ(data.substr(36, 24), std::string(24, '\0'));
  const int64_t now = int64_t(std::time(nullptr)) - 315705600;
  EXPECT_LE(std::abs(int64_t(word(data, 15)) - now), 5);
  // The segments follow the stream in hook order: view directions,
  // variables, symbols (none without a symbol module), layers, segment
  // lengths, types.
  const uint32_t w3 = word(data, 3), w4 = word(data, 4), w5 = word(data, 5), w6 = word(data, 6),
                 w7 = word(data, 7), w8 = word(data, 8);
  EXPECT_LT(w8, w6);
  EXPECT_TRUE(w5 == 0 || (w6 <= w5 && w5 <= w4)) << w5;
  EXPECT_LE(w6, w4);
  EXPECT_LE(w4, w7);
  EXPECT_LT(w7, w3);
  EXPECT_LT(w3, data.size());
  // The stream ends with the end mark right before the first segment.
  EXPECT_EQ(hex(data, w8 - 2, 2), "FF FF");
}

TEST_F(DocFileBytes, StreamStartsWithTitleBoxEmptyPrintSetupAndNoOldPlanes) {
  const std::string data = newDocumentFile();
  EXPECT_EQ(hex(data, 64, 11), "0B 44 6F 63 75 6D 65 6E 74 20 31");
  // Block 2, the default box (no sheet has a window), then block 3 (an
  // empty print setup) and block 4 (no old planes).
  int32_t box[4];
  vwDefaultWindowBox(box);
  std::string expected;
  for (int32_t v : box) {
    uint8_t coded[ioLongMax];
    expected.append(reinterpret_cast<char*>(coded), size_t(ioEncodeLong(v, coded)));
  }
  expected += std::string(2, '\0');
  EXPECT_EQ(hex(data, 75, expected.size()), hex(expected, 0, expected.size()));
}

TEST_F(DocFileBytes, TypeTableRecordsTheDocumentVersion) {
  const std::string data = newDocumentFile();
  EXPECT_NE(find(typeTable(data), {0x04, 'f', 'i', 'l', 'e', 13}), std::string::npos);
  // The model's "World" plane: title, flags 4, equation 0 0 1 0, origin 0,
  // up 0 1 0.
  EXPECT_NE(find(data, {0x06, 'W', 'o', 'r', 'l', 'd', 0x04, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0}), std::string::npos);

  docRec* doc = vwCurDoc();
  ASSERT_EQ(write(doc, vwWriteCap12), 0);
  EXPECT_NE(find(typeTable(bytes()), {0x04, 'f', 'i', 'l', 'e', 12}), std::string::npos);

  glist* group = grpOfSource("docAll");
  grpRetain(group);
  const std::string path = file("group.qdw");
  ASSERT_EQ(vwWriteGroup(group, path.c_str(), uint32_t(path.size()), 0, -1), 0);
  grpRelease(&group);
  EXPECT_NE(find(typeTable(bytes("group.qdw")), {0x04, 'f', 'i', 'l', 'e', 6}), std::string::npos);
}

TEST_F(DocFileBytes, ViewDirectionSegmentHoldsTheStandardSet) {
  const std::string data = newDocumentFile();
  // Header word 8: the word 0, the count 4, then "Isometric" locked with
  // its centre at the origin.
  const uint32_t at = word(data, 8);
  EXPECT_EQ(hex(data, at, 16), "00 04 0A 49 73 6F 6D 65 74 72 69 63 01 00 00 00");
  // "Right": locked, centre 0, eye 1 0 0 from the centre.
  EXPECT_NE(find(data.substr(at), {0x06, 'R', 'i', 'g', 'h', 't', 0x01, 0, 0, 0, 0x01, 0, 0, 0, 0, 0x01}),
            std::string::npos);
}

TEST_F(DocFileBytes, AWriteClearsDirtyAndUntitledAndNeedsADocument) {
  EXPECT_EQ(eval(("(" + file() + ") aWrite").c_str()), "-212");
  EXPECT_EQ(eval("null aNewDoc"), "");
  docRec* doc = vwCurDoc();
  docMarkChanged(doc);
  ASSERT_TRUE(doc->flags & docUntitled);
  EXPECT_EQ(eval(("(" + file() + ") aWrite").c_str()), "");
  EXPECT_EQ(doc->flags & (docDirty | docUntitled), 0u);
  // A file that cannot be made answers the container's code.
  EXPECT_EQ(eval(("(" + file("no/such/dir.qdw") + ") aWrite").c_str()), "-4101");
}

}  // namespace
