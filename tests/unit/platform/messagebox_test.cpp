#include "platform/fixture.h"

#include <string>

namespace {

using PlatformMessageBox = PlatformTest;

TEST_F(PlatformMessageBox, RecordsWhatWasPassedAndWhatItAnswered) {
  plTestSetMessageBoxEcho(false);
  HWND owner = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x1234));
  EXPECT_EQ(MessageBoxA(owner, "File a.qdw is locked", "Error Alert", MB_OK | MB_ICONWARNING), IDOK);
  EXPECT_EQ(MessageBoxA(nullptr, nullptr, nullptr, MB_YESNO | MB_ICONSTOP), IDYES);

  const auto& boxes = plTestMessageBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].owner, owner);
  EXPECT_EQ(boxes[0].text, "File a.qdw is locked");
  EXPECT_EQ(boxes[0].caption, "Error Alert");
  EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_OK | MB_ICONWARNING));
  EXPECT_EQ(boxes[0].answer, IDOK);
  EXPECT_EQ(boxes[1].owner, nullptr);
  EXPECT_EQ(boxes[1].text, "");
  EXPECT_EQ(boxes[1].caption, "");  // none passed: recorded as empty
  EXPECT_EQ(boxes[1].answer, IDYES);

  plTestClearMessageBoxes();
  EXPECT_TRUE(plTestMessageBoxes().empty());
}

TEST_F(PlatformMessageBox, WithoutQueuedAnswerTakesTheDefaultButton) {
  plTestSetMessageBoxEcho(false);
  struct Case {
    UINT type;
    int answer;
  };
  const Case cases[] = {
      {MB_OK, IDOK},
      {MB_OK | MB_DEFBUTTON2, IDOK},  // no second button: the first one
      {MB_OKCANCEL, IDOK},
      {MB_OKCANCEL | MB_DEFBUTTON2, IDCANCEL},
      {MB_YESNO | MB_ICONQUESTION, IDYES},
      {MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, IDNO},
      {MB_YESNOCANCEL | MB_DEFBUTTON2, IDNO},
      {MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL},
      {MB_ABORTRETRYIGNORE, IDABORT},
      {MB_ABORTRETRYIGNORE | MB_DEFBUTTON3, IDIGNORE},
      {MB_RETRYCANCEL | MB_DEFBUTTON2, IDCANCEL},
      {MB_CANCELTRYCONTINUE | MB_DEFBUTTON3, IDCONTINUE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "type 0x" << std::hex << c.type);
    EXPECT_EQ(MessageBoxA(nullptr, "q", "t", c.type), c.answer);
  }
}

TEST_F(PlatformMessageBox, QueuedAnswersAreUsedInOrderThenDefaultsAgain) {
  plTestSetMessageBoxEcho(false);
  plTestQueueMessageBoxAnswer(IDNO);
  plTestQueueMessageBoxAnswer(IDCANCEL);
  EXPECT_EQ(MessageBoxA(nullptr, "a", nullptr, MB_YESNO), IDNO);
  EXPECT_EQ(MessageBoxA(nullptr, "b", nullptr, MB_YESNOCANCEL), IDCANCEL);
  EXPECT_EQ(MessageBoxA(nullptr, "c", nullptr, MB_YESNO | MB_DEFBUTTON2), IDNO);
  EXPECT_EQ(MessageBoxA(nullptr, "d", nullptr, MB_YESNO), IDYES);
  ASSERT_EQ(plTestMessageBoxes().size(), 4u);
  EXPECT_EQ(plTestMessageBoxes()[1].answer, IDCANCEL);
}

TEST_F(PlatformMessageBox, EchoesOneLineToStandardErrorUnlessTurnedOff) {
  testing::internal::CaptureStderr();
  MessageBoxA(nullptr, "File a.qdw\r\nis locked", "Error Alert", MB_OK);
  MessageBoxA(nullptr, "Save changes?", nullptr, MB_YESNO);  // shown under the default title
  plTestSetMessageBoxEcho(false);
  MessageBoxA(nullptr, "quiet", "Info", MB_OK);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(err, "[Error Alert] File a.qdw is locked\n[Error] Save changes?\n");
  EXPECT_EQ(plTestMessageBoxes().size(), 3u);  // the quiet one is still recorded
}

TEST_F(PlatformMessageBox, UnknownButtonTypeFailsAndShowsNothing) {
  testing::internal::CaptureStderr();
  plTestQueueMessageBoxAnswer(IDOK);
  SetLastError(0);
  EXPECT_EQ(MessageBoxA(nullptr, "x", "y", 0x7), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_MSGBOX_STYLE));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_TRUE(plTestMessageBoxes().empty());
  plTestSetMessageBoxEcho(false);
  EXPECT_EQ(MessageBoxA(nullptr, "x", "y", MB_YESNO), IDOK);  // the queued answer was not used up
}

TEST_F(PlatformMessageBox, BeepAnswersTrue) { EXPECT_EQ(MessageBeep(MB_ICONWARNING), TRUE); }

}  // namespace
