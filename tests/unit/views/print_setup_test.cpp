// The printer set-up block: its layout, the checks that make a damaged
// block count as absent, and the block the print dialog leaves, through a
// document's save and open.
#include "docfile_fixture.h"

#include "draw/gdi.h"
#include "views/print.h"

#include <cstddef>
#include <cstring>

namespace {

using docfilefx::DocFileTest;

// Device names of "Image Printer" (driver, device, port) and a device mode
// of its fixed size with no driver bytes.
std::vector<uint8_t> names() {
  std::vector<uint8_t> bytes(sizeof(DEVNAMES), 0);
  auto add = [&](const char* s) {
    const size_t at = bytes.size();
    bytes.insert(bytes.end(), s, s + std::strlen(s) + 1);
    return uint16_t(at);
  };
  const uint16_t driver = add("pngprint"), device = add("Image Printer"), port = add("FILE:");
  DEVNAMES head{driver, device, port, 0};
  std::memcpy(bytes.data(), &head, sizeof head);
  return bytes;
}
std::vector<uint8_t> mode() {
  DEVMODEA m{};
  m.dmSize = sizeof m;
  m.dmSpecVersion = DM_SPECVERSION;
  m.dmFields = DM_ORIENTATION | DM_PAPERSIZE;
  m.dmOrientation = DMORIENT_PORTRAIT;
  m.dmPaperSize = DMPAPER_LETTER;
  std::vector<uint8_t> bytes(sizeof m);
  std::memcpy(bytes.data(), &m, sizeof m);
  return bytes;
}
std::vector<uint8_t> block() {
  const std::vector<uint8_t> n = names(), m = mode();
  std::vector<uint8_t> b;
  EXPECT_TRUE(printSetupBuild(n.data(), uint32_t(n.size()), m.data(), uint32_t(m.size()), &b));
  return b;
}
void put16(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  b[at] = uint8_t(v);
  b[at + 1] = uint8_t(v >> 8);
}

TEST(PrintSetupBlock, LayoutIsTagOffsetsAndSizesThenBothParts) {
  const std::vector<uint8_t> b = block();
  const size_t n = names().size(), m = mode().size();
  ASSERT_EQ(b.size(), 12 + n + m);
  const std::vector<uint8_t> head(b.begin(), b.begin() + 12);
  EXPECT_EQ(head, (std::vector<uint8_t>{0x33, 0x4E, 0x49, 0x57, 0x0C, 0x00, uint8_t(n), 0x00, uint8_t(12 + n), 0x00,
                                        uint8_t(m), 0x00}));
  printSetupView view{};
  ASSERT_TRUE(printSetupParse(b.data(), uint32_t(b.size()), &view));
  EXPECT_STREQ(view.driver, "pngprint");
  EXPECT_STREQ(view.device, "Image Printer");
  EXPECT_STREQ(view.port, "FILE:");
  EXPECT_EQ(view.devModeSize, m);
  EXPECT_EQ(view.devMode, b.data() + 12 + n);
}

TEST(PrintSetupBlock, DamagedBlocksCountAsAbsent) {
  const size_t n = names().size();
  const size_t modeAt = 12 + n;
  struct Case {
    const char* what;
    void (*damage)(std::vector<uint8_t>& b, size_t n, size_t modeAt);
  };
  const Case cases[] = {
      {"wrong tag", [](std::vector<uint8_t>& b, size_t, size_t) { b[0] = 0x34; }},
      {"shorter than its header", [](std::vector<uint8_t>& b, size_t, size_t) { b.resize(11); }},
      {"device names pass the end", [](std::vector<uint8_t>& b, size_t, size_t) { put16(b, 6, uint32_t(b.size())); }},
      {"device-names offset passes the end", [](std::vector<uint8_t>& b, size_t, size_t) { put16(b, 4, 0xFFF0); }},
      {"device mode passes the end", [](std::vector<uint8_t>& b, size_t, size_t) { put16(b, 10, 157); }},
      {"device-mode offset passes the end",
       [](std::vector<uint8_t>& b, size_t, size_t) { put16(b, 8, uint32_t(b.size()) - 10); }},
      {"dmSize passes its part",
       [](std::vector<uint8_t>& b, size_t, size_t at) { put16(b, at + offsetof(DEVMODEA, dmSize), 200); }},
      {"dmDriverExtra passes its part",
       [](std::vector<uint8_t>& b, size_t, size_t at) { put16(b, at + offsetof(DEVMODEA, dmDriverExtra), 4); }},
      {"a name's offset passes its part", [](std::vector<uint8_t>& b, size_t n, size_t) { put16(b, 12 + 2, uint32_t(n)); }},
      {"a name without its zero",
       [](std::vector<uint8_t>& b, size_t n, size_t) { b[12 + n - 1] = 'x'; }},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> b = block();
    c.damage(b, n, modeAt);
    printSetupView view{};
    EXPECT_FALSE(printSetupParse(b.data(), uint32_t(b.size()), &view)) << c.what;
  }
  // A damaged global block gives no printer: page information falls back.
  std::vector<uint8_t> b = block();
  put16(b, modeAt + offsetof(DEVMODEA, dmSize), 0xFFFF);
  printSetupSet(b.data(), uint32_t(b.size()));
  printSetupView view{};
  EXPECT_FALSE(printSetupCurrent(&view));
  printSetupSet(nullptr, 0);
}

class PrintSetupFile : public DocFileTest {
protected:
  void TearDown() override {
    printSetupSet(nullptr, 0);
    printReset();
    DocFileTest::TearDown();
  }
};

// The block the print dialog leaves is what the document stores; it reads
// back byte for byte and still names the printer.
TEST_F(PrintSetupFile, DialogBlockSurvivesSaveAndOpen) {
  plTestQueuePrintAnswer(PlPrintAnswer{});
  ASSERT_EQ(printDialog(printDialogState(), PD_PRINTSETUP), 0);
  uint8_t* global = nullptr;
  uint32_t length = 0;
  printSetupGet(reinterpret_cast<void**>(&global), &length);
  ASSERT_GT(length, 12u);
  const std::vector<uint8_t> want(global, global + length);
  uFree(&global);
  EXPECT_EQ(std::vector<uint8_t>(want.begin(), want.begin() + 6), (std::vector<uint8_t>{0x33, 0x4E, 0x49, 0x57, 0x0C, 0x00}));

  docRec* doc = emptyDoc();
  sheetCreate(doc, addModel(doc, "Ground"), nullptr);
  ASSERT_EQ(write(doc), 0);
  printSetupSet(nullptr, 0);
  docRec* back = nullptr;
  ASSERT_EQ(read(&back), 0);
  ASSERT_EQ(back->printSetupLength, want.size());
  EXPECT_EQ(std::vector<uint8_t>(back->printSetup, back->printSetup + back->printSetupLength), want);
  printSetupFromDoc(back);
  printSetupView view{};
  ASSERT_TRUE(printSetupCurrent(&view));
  EXPECT_STREQ(view.device, "Image Printer");
}

}  // namespace
