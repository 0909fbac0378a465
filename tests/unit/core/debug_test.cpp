#include "core/debug.h"
#include "core/proginfo.h"
#include "core/startstate.h"

#include <platform_test.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

const uint32_t kSwitchD = 1u << ('d' - 'a');

// What the hooks to the layers above heard: the alert-active flags and quits
// in order ("1", "0", "Q"), and the panic texts offered.
struct HookLog {
  std::string events;
  std::vector<std::string> panics;
  intptr_t panicAnswer = 0;
};
HookLog hookLog;

dbgHooks recordingHooks() {
  dbgHooks hooks{};
  hooks.setAlertActive = [](int flag) { hookLog.events += char('0' + flag); };
  hooks.quit = [] { hookLog.events += 'Q'; };
  hooks.offerPanic = [](const char* text) -> intptr_t {
    hookLog.panics.push_back(text);
    return hookLog.panicAnswer;
  };
  return hooks;
}

// Resets the platform layer and every piece of state these modules keep, and
// captures the log text through the log hook.
class DebugFixture : public ::testing::Test {
protected:
  void SetUp() override {
    plTestReset();
    plTestSetMessageBoxEcho(false);
    dbgSetFlags(0);
    appSetSwitches(0);
    hookLog = HookLog{};
    dbgSetHooks(recordingHooks());
    progSetInfoFields(nullptr, nullptr, nullptr);
    dbgSetLogHook(&DebugFixture::capture, this);
  }
  void TearDown() override {
    dbgTerm();
    dbgSetLogHook(nullptr, nullptr);
    dbgSetHooks(dbgHooks{});
  }

  static void capture(void* context, const char* text, size_t length) {
    auto* self = static_cast<DebugFixture*>(context);
    self->log.append(text, length);
    ++self->logCalls;
  }

  size_t boxCount() const { return plTestMessageBoxes().size(); }
  const PlMessageBoxRecord& lastBox() const { return plTestMessageBoxes().back(); }

  std::string log;
  int logCalls = 0;
};

using Alert = DebugFixture;
using AskYesNo = DebugFixture;
using Panic = DebugFixture;
using DebugLog = DebugFixture;

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// ---------------------------------------------------------------------------
// uAlert

TEST_F(Alert, SeverityIconAndSubstitution) {
  struct Case {
    const char* text;
    const char* arg;
    const char* shown;
    UINT icon;
  };
  const Case cases[] = {
      {"WFile ^0 is locked", "a.qdw", "File a.qdw is locked", MB_ICONWARNING},
      {"wlower-case letter", nullptr, "lower-case letter", MB_ICONWARNING},
      {"IInfo", nullptr, "Info", MB_ICONINFORMATION},
      {"SBad ^0.", nullptr, "Bad .", MB_ICONSTOP},
      {"XUnknown letter", nullptr, "Unknown letter", MB_ICONSTOP},
      {"", nullptr, "", MB_ICONSTOP},
      {"IUse ^^1", nullptr, "Use ^1", MB_ICONINFORMATION},
      {"I^^0!", "arg", "arg!", MB_ICONINFORMATION},
      {"I^^^0", "arg", "arg", MB_ICONINFORMATION},
      {"IThis is ^{PROG}.", nullptr, "This is Plumet.", MB_ICONINFORMATION},
      {"I^{VERSION}", nullptr, "Version 6.1.8", MB_ICONINFORMATION},
      {"I^{OTHER} and ^x", nullptr, "^{OTHER} and ^x", MB_ICONINFORMATION},
      {"I^{PROG", nullptr, "^{PROG", MB_ICONINFORMATION},
      {"IEnds with ^", nullptr, "Ends with ^", MB_ICONINFORMATION},
      {"I@Marked text", nullptr, "Marked text", MB_ICONINFORMATION},
      // The scan goes on behind inserted text: an argument holding "^0"
      // is not expanded again.
      {"I^0|^0", "^0", "^0|^0", MB_ICONINFORMATION},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    size_t before = boxCount();
    hookLog.events.clear();
    uAlert(0, c.text, c.arg);
    ASSERT_EQ(boxCount(), before + 1);
    EXPECT_EQ(lastBox().text, c.shown);
    EXPECT_EQ(lastBox().caption, "Error Alert");
    EXPECT_EQ(lastBox().type, UINT(MB_OK | c.icon));
    EXPECT_EQ(hookLog.events, "10");  // the document windows heard of the box
  }
}

TEST_F(Alert, UserInformationComesFromTheFieldsAndIsEmptyWhenTooLong) {
  progSetInfoFields("Ann", "Acme", nullptr);
  uAlert(0, "IBy ^{USER}.", nullptr);
  ASSERT_EQ(boxCount(), 1u);
  EXPECT_EQ(lastBox().text, "By Ann\nAcme.");

  // User and company do not fit the 32-character buffer: the text is missing
  // and the placeholder is replaced by nothing.
  progSetInfoFields(std::string(20, 'u').c_str(), std::string(20, 'c').c_str(), nullptr);
  uAlert(0, "IBy ^{USER}.", nullptr);
  ASSERT_EQ(boxCount(), 2u);
  EXPECT_EQ(lastBox().text, "By .");
}

TEST_F(Alert, StringResourceReplacesTheTextOnlyWhenItExists) {
  struct Case {
    int id;
    const char* shown;
  };
  const Case cases[] = {
      {16, "Plumet"},
      {0x10000 + 16, "Plumet"},  // only the low 16 bits name the resource
      {18, "Plumet arg\n^1\n^2"},  // resource text is substituted too
      {20, "Version 6.1.8"},
      // Ids that alerts use as keys have no resource: the text is shown.
      {3, "Own text arg"}, {4, "Own text arg"}, {104, "Own text arg"},
      {131, "Own text arg"}, {132, "Own text arg"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    size_t before = boxCount();
    uAlert(c.id, "IOwn text ^0", "arg");
    ASSERT_EQ(boxCount(), before + 1);
    EXPECT_EQ(lastBox().text, c.shown);
  }
}

TEST_F(Alert, LongMessagesAreCutAndSubstitutionStopsBefore256Characters) {
  uAlert(0, ("I" + std::string(300, 'a')).c_str(), nullptr);
  ASSERT_EQ(boxCount(), 1u);
  EXPECT_EQ(lastBox().text, std::string(255, 'a'));

  struct Case {
    size_t lead;      // characters before "^0"
    const char* arg;
    bool replaced;
  };
  const Case cases[] = {
      {250, "abcde", true},    // 255 characters: still fits
      {250, "abcdef", false},  // would be 256
      {253, "", true},         // shrinks
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arg);
    std::string lead(c.lead, 'x');
    uAlert(0, ("I" + lead + "^0").c_str(), c.arg);
    EXPECT_EQ(lastBox().text, c.replaced ? lead + c.arg : lead + "^0");
  }

  // A first replacement succeeds; the second would pass the limit, so it and
  // every later placeholder stay as they are.
  std::string arg(40, 'g');
  std::string middle(200, 'm');
  uAlert(0, ("I^0" + middle + "^0^^1^{PROG}").c_str(), arg.c_str());
  EXPECT_EQ(lastBox().text, arg + middle + "^0^^1^{PROG}");
}

TEST_F(Alert, TraceAlertsShowOnlyWhileDebugFlagsAreSet) {
  uAlert(0, "TTrace ^0", "x");
  EXPECT_EQ(boxCount(), 0u);

  dbgSetFlags(0x100);
  uAlert(0, "tTrace ^0", "x");
  ASSERT_EQ(boxCount(), 1u);
  EXPECT_EQ(lastBox().text, "Trace x");
  EXPECT_EQ(lastBox().type, UINT(MB_OK | MB_ICONWARNING));
}

TEST_F(Alert, FatalRunsTheQuitAfterTheBoxThenPostsQuitWithMinusOne) {
  uAlert(0, "FCannot go on", nullptr);
  ASSERT_EQ(boxCount(), 1u);
  EXPECT_EQ(lastBox().type, UINT(MB_OK | MB_ICONSTOP));
  EXPECT_EQ(hookLog.events, "10Q");
  int code = 0;
  ASSERT_TRUE(plTestQuitPosted(&code));
  EXPECT_EQ(code, -1);

  // Other severities never ask to quit.
  plTestClearQuit();
  hookLog.events.clear();
  uAlert(0, "SSevere", nullptr);
  EXPECT_EQ(hookLog.events, "10");
  EXPECT_FALSE(plTestQuitPosted(nullptr));
}

// Before start-up sets the hooks (and in a run of the runtime alone) alerts
// and panics still show their boxes, and a fatal alert still ends the loop.
TEST_F(Alert, WithoutHooksBoxesShowAndFatalStillQuits) {
  dbgSetHooks(dbgHooks{});
  uAlert(0, "FCannot go on", nullptr);
  dbgPanic("lost");
  ASSERT_EQ(boxCount(), 2u);
  EXPECT_EQ(lastBox().text, "lost");
  int code = 0;
  ASSERT_TRUE(plTestQuitPosted(&code));
  EXPECT_EQ(code, -1);
  EXPECT_EQ(hookLog.events, "");
  EXPECT_TRUE(hookLog.panics.empty());
}

TEST_F(Alert, DebuggerHandOffNeedsCtrlAndSwitchD) {
  struct Case {
    bool ctrl;
    uint32_t switches;
    bool handOff;
  };
  const Case cases[] = {
      {false, 0, false},
      {true, 0, false},
      {false, kSwitchD, false},
      {true, ~kSwitchD, false},
      {true, kSwitchD, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "ctrl " << c.ctrl << " switches " << c.switches);
    plTestReset();
    plTestSetMessageBoxEcho(false);
    plTestSetKeyDown(VK_CONTROL, c.ctrl);
    appSetSwitches(c.switches);
    uAlert(0, "WLook ^0", "here");
    EXPECT_EQ(plTestDebugBreaks(), c.handOff ? 1 : 0);
    EXPECT_EQ(plTestDebugOutput(), c.handOff ? "Look here" : "");
  }
}

TEST_F(Alert, BoxIsOwnedByTheFocusWindow) {
  HWND window = dbgWinCreate(nullptr);
  ASSERT_NE(window, nullptr);
  SetFocus(dbgWinControl());
  ASSERT_EQ(GetFocus(), dbgWinControl());
  uAlert(0, "IHello", nullptr);
  ASSERT_EQ(boxCount(), 1u);
  EXPECT_EQ(lastBox().owner, dbgWinControl());
}

// ---------------------------------------------------------------------------
// uAskYesNo

TEST_F(AskYesNo, AnswersTrueWhenTheUserChoseNo) {
  plTestQueueMessageBoxAnswer(IDNO);
  EXPECT_TRUE(uAskYesNo(0, "WSave ^0 in @x?"));
  plTestQueueMessageBoxAnswer(IDYES);
  EXPECT_FALSE(uAskYesNo(0, "ISure?"));
  plTestQueueMessageBoxAnswer(IDNO);
  EXPECT_TRUE(uAskYesNo(0, "QOther letter"));

  const auto& boxes = plTestMessageBoxes();
  ASSERT_EQ(boxes.size(), 3u);
  // The text is used as it is: no substitution, no translation, no title.
  EXPECT_EQ(boxes[0].text, "Save ^0 in @x?");
  EXPECT_EQ(boxes[0].caption, "");
  EXPECT_EQ(boxes[0].type, UINT(MB_YESNO | MB_ICONWARNING));
  EXPECT_EQ(boxes[1].type, UINT(MB_YESNO | MB_ICONINFORMATION));
  EXPECT_EQ(boxes[2].type, UINT(MB_YESNO | MB_ICONSTOP));
}

TEST_F(AskYesNo, PrefersTheStringResourceAndCutsLongTexts) {
  uAskYesNo(16, "IIgnored");
  uAskYesNo(104, "INo such resource");
  uAskYesNo(0, ("I" + std::string(400, 'q')).c_str());
  const auto& boxes = plTestMessageBoxes();
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[0].text, "Plumet");
  EXPECT_EQ(boxes[1].text, "No such resource");
  EXPECT_EQ(boxes[2].text, std::string(255, 'q'));
}

// ---------------------------------------------------------------------------
// uLoadString

TEST_F(Alert, LoadStringAnswersOnlyExistingResourcesAndStaysInTheBuffer) {
  char buffer[32] = "junk";
  EXPECT_FALSE(uLoadString(0, 0, buffer, sizeof buffer));
  EXPECT_FALSE(uLoadString(0, 3, buffer, sizeof buffer));
  EXPECT_TRUE(uLoadString(7, 16, buffer, sizeof buffer));
  EXPECT_STREQ(buffer, "Plumet");
  char small[5];
  EXPECT_TRUE(uLoadString(0, 20, small, sizeof small));
  EXPECT_STREQ(small, "Vers");
}

// ---------------------------------------------------------------------------
// dbgPrintf and dbgPanic

TEST_F(Panic, PrintfIsBoundedAndSkipsEmptyText) {
  std::string big(1000, 'y');
  dbgPrintf("%s", big.c_str());
  EXPECT_EQ(log, std::string(255, 'y'));
  EXPECT_EQ(logCalls, 1);

  dbgPrintf("%s", "");
  dbgPrintf("");
  EXPECT_EQ(logCalls, 1);

  log.clear();
  dbgPrintf("[%s] %d\n", "mod", 42);
  dbgPrintfC("n=%d;", 5);
  EXPECT_EQ(log, "[mod] 42\nn=5;");
}

TEST_F(Panic, LogsShowsTheBoxAndReturns) {
  dbgPanic("bad %d", 5);
  EXPECT_EQ(log, "bad 5");
  ASSERT_EQ(boxCount(), 1u);
  EXPECT_EQ(lastBox().text, "bad 5");
  EXPECT_EQ(lastBox().caption, "Panic: Internal Error (Ctrl)");
  EXPECT_EQ(lastBox().type, UINT(MB_OK | MB_ICONSTOP));
  EXPECT_FALSE(plTestQuitPosted(nullptr));

  std::string big(600, 'p');
  dbgPanic("%s", big.c_str());
  ASSERT_EQ(boxCount(), 2u);
  EXPECT_EQ(lastBox().text, std::string(255, 'p'));

  dbgPanicC("c form %d", 9);
  ASSERT_EQ(boxCount(), 3u);
  EXPECT_EQ(lastBox().text, "c form 9");
}

TEST_F(Panic, HookAnsweringOneTakesOverTheReport) {
  const struct {
    intptr_t answer;
    bool box;
  } cases[] = {{1, false}, {0, true}, {2, true}, {-1, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.answer);
    hookLog.panicAnswer = c.answer;
    hookLog.panics.clear();
    log.clear();
    size_t before = boxCount();
    dbgPanic("lost %s", "block");
    EXPECT_EQ(hookLog.panics, std::vector<std::string>{"lost block"});
    EXPECT_EQ(log, "lost block");  // logged either way
    EXPECT_EQ(boxCount(), before + (c.box ? 1 : 0));
  }
}

TEST_F(Panic, DebuggerHandOffAfterTheBox) {
  plTestSetKeyDown(VK_CONTROL, true);
  appSetSwitches(kSwitchD);
  dbgPanic("oops");
  EXPECT_EQ(plTestDebugOutput(), "oops");
  EXPECT_EQ(plTestDebugBreaks(), 1);

  // No box, no hand-off.
  hookLog.panicAnswer = 1;
  dbgPanic("again");
  EXPECT_EQ(plTestDebugBreaks(), 1);
}

// ---------------------------------------------------------------------------
// The log sink

TEST_F(DebugLog, FileGetsEveryLineEndAsOneLineFeed) {
  std::string path = testing::TempDir() + "plumet_debuglog_test.txt";
  std::remove(path.c_str());
  ASSERT_TRUE(dbgLogFileOpen(path.c_str()));
  dbgLogAppend("a\r\nb\rc\n", 7);
  dbgLogAppend("tail\0ignored", 12);  // ends at the terminator
  dbgLogAppend("abcdef", 3);          // ends at the length
  dbgLogAppend("never", 0);
  // Visible at once: the file is flushed after each append.
  EXPECT_EQ(readFile(path), "a\n\nb\nc\ntailabc");
  EXPECT_EQ(log, "a\r\nb\rc\ntailabc");  // the hook sees the text as given
  dbgLogFileClose();
  dbgLogAppend("after close", 11);

  ASSERT_TRUE(dbgLogFileOpen(path.c_str()));  // appends
  dbgLogAppend("+", 1);
  dbgLogFileClose();
  EXPECT_EQ(readFile(path), "a\n\nb\nc\ntailabc+");

  EXPECT_FALSE(dbgLogFileOpen((testing::TempDir() + "no/such/dir/log.txt").c_str()));
  std::remove(path.c_str());
}

static std::vector<std::pair<UINT, std::string>> sentToEdit;
static WNDPROC editProc;
static LRESULT CALLBACK editRecorder(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == EM_REPLACESEL) sentToEdit.push_back({m, reinterpret_cast<const char*>(lp)});
  if (m == WM_CHAR) sentToEdit.push_back({m, std::string(1, static_cast<char>(wp))});
  return CallWindowProcA(editProc, w, m, wp, lp);
}

TEST_F(DebugLog, WindowGetsPiecesOfAtMost255AndEnterPerLineEnd) {
  HWND window = dbgWinCreate(nullptr);
  ASSERT_NE(window, nullptr);
  HWND control = dbgWinControl();
  ASSERT_NE(control, nullptr);
  EXPECT_EQ(reinterpret_cast<HWND>(GetWindowLongPtrA(window, 0)), control);

  sentToEdit.clear();
  editProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(editRecorder)));

  std::string line(600, 'x');
  std::string text = line + "\r\n" + "end";
  size_t countBefore = dbgWinCharCount();
  dbgLogAppend(text.c_str(), text.size());

  const std::vector<std::pair<UINT, std::string>> expected = {
      {EM_REPLACESEL, std::string(255, 'x')},
      {EM_REPLACESEL, std::string(255, 'x')},
      {EM_REPLACESEL, std::string(90, 'x')},
      {WM_CHAR, "\r"},
      {WM_CHAR, "\r"},
      {EM_REPLACESEL, "end"},
  };
  EXPECT_EQ(sentToEdit, expected);
  EXPECT_EQ(dbgWinCharCount(), countBefore + text.size());

  // Every character shows; each Enter starts a new line of the edit control.
  std::vector<char> shown(2048);
  GetWindowTextA(control, shown.data(), static_cast<int>(shown.size()));
  EXPECT_EQ(std::string(shown.data()), line + "\r\n\r\nend");
}

TEST_F(DebugLog, WinFreeDestroysBothWindowsAndForgetsTheControl) {
  HWND window = dbgWinCreate(nullptr);
  ASSERT_NE(window, nullptr);
  HWND control = dbgWinControl();
  dbgWinFree(window);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_FALSE(IsWindow(control));
  EXPECT_EQ(dbgWinControl(), nullptr);
  size_t count = dbgWinCharCount();
  dbgLogAppend("dropped", 7);  // no window any more: only the hook sees it
  EXPECT_EQ(dbgWinCharCount(), count);
  EXPECT_EQ(log, "dropped");
}

TEST_F(DebugLog, TermFreesTheWindowLogsItAndClosesTheFile) {
  // Nothing open: nothing to report.
  dbgTerm();
  EXPECT_EQ(log, "");

  std::string path = testing::TempDir() + "plumet_debugterm_test.txt";
  std::remove(path.c_str());
  ASSERT_TRUE(dbgLogFileOpen(path.c_str()));
  HWND window = dbgWinCreate(nullptr);
  ASSERT_NE(window, nullptr);
  HWND control = dbgWinControl();

  dbgTerm();
  const std::string freed = "[debug.c] Info: FE_Window freed. Local segment buffer was used.\n";
  EXPECT_EQ(log, freed);
  EXPECT_EQ(readFile(path), freed);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_FALSE(IsWindow(control));
  EXPECT_EQ(dbgWinControl(), nullptr);
  WNDCLASSA wc{};
  EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), "FE_Window", &wc));

  dbgLogAppend("late", 4);  // the file is closed
  EXPECT_EQ(readFile(path), freed);

  // The class can be registered again after shut-down.
  EXPECT_NE(dbgWinCreate(nullptr), nullptr);
  std::remove(path.c_str());
}

}  // namespace
