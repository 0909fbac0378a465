#include "core/ini.h"

#include "core/ini_fixture.h"

#include <platform_test.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

using inifx::IniTest;
using IniLines = IniTest;
using IniGet = IniTest;
using IniSet = IniTest;
using IniPath = IniTest;

TEST_F(IniLines, EachLineIsASectionAKeyOrOtherText) {
  struct Case {
    const char* text;
    uint32_t kind;
    const char* name;
    const char* value;  // key lines
  } cases[] = {
      {"[ Memory ]\n", iniKindSection, "Memory", nullptr},
      {"  [Spaced] ; comment\n", iniKindSection, "Spaced", nullptr},
      {"[]\n", iniKindSection, "", nullptr},
      {"[a;b]\n", iniKindOther, nullptr, nullptr},  // the "]" is inside the comment
      {"reserve = 500000 ; big\n", iniKindKey, "reserve", "500000 ; big\n"},
      {"K = 1 # note\n", iniKindKey, "K", "1 # note\n"},
      {"k=\n", iniKindKey, "k", "\n"},
      {"=no name\n", iniKindKey, "", "no name\n"},
      {" B/C\t=\tslash key", iniKindKey, "B/C", "slash key"},
      {"; Reserve=1\n", iniKindOther, nullptr, nullptr},
      {"#x=1\n", iniKindOther, nullptr, nullptr},
      {"a;b=1\n", iniKindOther, nullptr, nullptr},  // the comment mark precedes the "="
      {"just text\n", iniKindOther, nullptr, nullptr},
      {"\n", iniKindOther, nullptr, nullptr},
      // "[" and "]" before the comment position make a header wherever they are.
      {"x = [1]\n", iniKindSection, "1", nullptr},
  };
  for (const Case& c : cases) {
    iniLine line{};
    line.text = c.text;
    iniClassify(&line);
    EXPECT_EQ(line.kind, c.kind) << c.text;
    if (c.name) {
      EXPECT_EQ(line.text.substr(line.nameStart, line.nameLength), c.name) << c.text;
    }
    if (c.value) {
      EXPECT_EQ(line.text.substr(line.valueStart), c.value) << c.text;
    }
  }
}

TEST_F(IniGet, SectionsAndKeysMatchWithoutCaseAndTheLastMatchWins) {
  write("t.ini",
        "orphan=before any section\n"
        "[ Memory ]\n"
        "reserve = 500000 ; big\n"
        "; Reserve=1\n"
        "#x=1\n"
        "a;b=1\n"
        "[Dup]\n"
        "Key=1\n"
        "Key=2\n"
        "[Other]\n"
        "key=other\n"
        "[DUP]\n"
        "key=3\n"
        "[Path]\n"
        "B/C = slash key\n"
        "empty=\n");
  iniFile ini(path("t.ini").c_str());
  struct Case {
    const char* section;
    const char* key;
    const char* value;
  } cases[] = {
      {"MEMORY", "Reserve", "500000 ; big"},
      {"Dup", "key", "3"},      // the later of two sections of the same name
      {nullptr, "KEY", "3"},    // a null section matches every section
      {"Other", "key", "other"},
      {"Path", "b/c", "slash key"},
      {"Path", "empty", ""},
      {nullptr, "orphan", "<none>"},  // keys before the first section never match
      {"Memory", "x", "<none>"},
      {"Memory", "a", "<none>"},
      {"Memor", "reserve", "<none>"},
      {"Memory", "reserv", "<none>"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(get(ini, c.section, c.key), c.value) << (c.section ? c.section : "(null)") << "/" << c.key;

  char buffer[4] = "zzz";
  EXPECT_TRUE(iniGet(&ini, "Memory", "reserve", buffer, sizeof buffer));
  EXPECT_STREQ(buffer, "500");  // cut to size - 1 characters
  EXPECT_TRUE(iniGet(&ini, "Memory", "reserve", nullptr, 0));
  EXPECT_FALSE(iniGet(&ini, "Memory", nullptr, buffer, sizeof buffer));
  EXPECT_FALSE(iniGet(nullptr, "Memory", "reserve", buffer, sizeof buffer));
}

TEST_F(IniGet, CrLfLinesReadLikeLfLinesAndLongLinesStayWhole) {
  const std::string longValue(300, 'v');
  const std::string longComment = "; " + std::string(270, 'c') + " key=not a key";
  write("crlf.ini", "[Memory]\r\nReserve=500000\r\n" + longComment + "\r\nlong=" + longValue + "\r\nlast=1");
  iniFile ini(path("crlf.ini").c_str());
  ASSERT_EQ(ini.lines.size(), 5u);
  EXPECT_EQ(get(ini, "Memory", "Reserve"), "500000");
  EXPECT_EQ(get(ini, "Memory", "long"), longValue);
  EXPECT_EQ(get(ini, "Memory", "last"), "1");
  EXPECT_EQ(get(ini, "Memory", "key"), "<none>");
  EXPECT_EQ(ini.lines[2].text, longComment + "\n");
  EXPECT_EQ(ini.lines[2].kind, uint32_t(iniKindOther));
}

TEST_F(IniGet, AMissingFileReadsAsEmpty) {
  iniFile ini(path("none.ini").c_str());
  EXPECT_TRUE(ini.lines.empty());
  EXPECT_EQ(get(ini, nullptr, "k"), "<none>");
}

// Golden files: the whole rewritten file, byte for byte.
TEST_F(IniSet, RewritesTheWholeFileKeepingEveryOtherLine) {
  const std::string longLine = "; " + std::string(298, 'x') + "\n";
  struct Case {
    const char* what;
    std::string before;
    const char* section;
    const char* key;
    const char* value;
    std::string after;
  } cases[] = {
      {"value replaced, the rest of the line dropped", "[S]\nK = 1 # note\nother=x\n", "s", "k", "2",
       "[S]\nK = 2\nother=x\n"},
      {"value replaced in place", "; top\n[ Memory ]\nreserve = 500000 ; big\n\n", "Memory", "Reserve", "9",
       "; top\n[ Memory ]\nreserve = 9\n\n"},
      {"new key before the next header, after the trailing blank and comment lines",
       "[A]\nx=1\n\n; end of A\n[Next]\ny=2\n", "A", "k", "v", "[A]\nx=1\n\n; end of A\nk=v\n[Next]\ny=2\n"},
      {"new key at the end of the last section", "[A]\nx=1\n\n", "a", "k", "v", "[A]\nx=1\n\nk=v\n"},
      {"a last line without its line end gets one", "[A]\nx=1", "A", "k", "v", "[A]\nx=1\nk=v\n"},
      // The CR ending the file belongs to x's value; an LF alone after it
      // would turn it into a line end.
      {"a CR ending the file stays in its line", "[A]\nx=1\r", "A", "k", "v", "[A]\nx=1\r\r\nk=v\n"},
      {"new section appended", "[A]\nx=1\n", "New", "K", "v", "[A]\nx=1\n[New]\nK=v\n"},
      {"the key iniGet answers is the one replaced", "[Dup]\nKey=1\nKey=2\n[Other]\n[DUP]\nkey=3\n", "Dup",
       "KEY", "9", "[Dup]\nKey=1\nKey=2\n[Other]\n[DUP]\nkey=9\n"},
      {"a key before the first section is not the section's", "k=0\n[A]\n", "A", "k", "1", "k=0\n[A]\nk=1\n"},
      {"blanks before a value are not kept", "[A]\n", "A", "k", "  v w ", "[A]\nk=v w \n"},
      {"CR LF line ends kept, new lines get them too", "[A]\r\nx=1\r\n[B]\r\ny=2\n", "A", "k", "v",
       "[A]\r\nx=1\r\nk=v\r\n[B]\r\ny=2\n"},
      {"CR LF kept on a replaced line", "[A]\r\nk = 1 ; c\r\n", "A", "k", "2", "[A]\r\nk = 2\r\n"},
      {"CR LF file, new section", "[A]\r\nx=1", "B", "k", "v", "[A]\r\nx=1\r\n[B]\r\nk=v\r\n"},
      {"CR LF file, last line replaced", "[A]\r\nx=1", "A", "x", "2", "[A]\r\nx=2\r\n"},
      {"long lines kept whole", "[A]\n" + longLine + "x=" + std::string(290, 'y') + "\n", "A", "k", "v",
       "[A]\n" + longLine + "x=" + std::string(290, 'y') + "\nk=v\n"},
  };
  for (const Case& c : cases) {
    bool answer = false;
    EXPECT_EQ(afterSet(c.before, c.section, c.key, c.value, &answer), c.after) << c.what;
    EXPECT_TRUE(answer) << c.what;
    iniFile reread(path("t.ini").c_str());
    EXPECT_EQ(get(reread, c.section, c.key), std::string(c.value).substr(std::string(c.value).find_first_not_of(' ')))
        << c.what;
  }
  // The other key of the CR case reads back with its CR.
  write("t.ini", "[A]\nx=1\r");
  iniFile ini(path("t.ini").c_str());
  ASSERT_TRUE(iniSet(&ini, "A", "k", "v"));
  iniFile reread(path("t.ini").c_str());
  EXPECT_EQ(get(reread, "A", "x"), "1\r");
}

TEST_F(IniSet, AMissingFileIsCreated) {
  iniFile ini(path("new.ini").c_str());
  EXPECT_TRUE(iniSet(&ini, "Memory", "Reserve", "200000"));
  EXPECT_TRUE(iniSet(&ini, "Memory", "Other", "1"));
  EXPECT_EQ(read("new.ini"), "[Memory]\nReserve=200000\nOther=1\n");
}

// Texts that would not read back as what was set are refused: the file and
// the table stay as they were.
TEST_F(IniSet, TextsThatWouldNotReadBackAreRefused) {
  const std::string before = "[A]\nk = 1\n";
  struct Case {
    const char* section;
    const char* key;
    const char* value;
  } cases[] = {
      {"A", "k", "1\n[Injected]"},
      {"A", "k", "1\r"},
      {"A", "n\new", "1"},
      {"A\nB", "n", "1"},
      {"A", "a=b", "1"},
      {"A", "a;b", "1"},
      {"A", "a#b", "1"},
      {"A", " pad", "1"},
      {"A", "[x]", "1"},
      {"A", "k", "[x]"},   // the replaced line would turn into a header
      {"A", "n", "[x]"},   // so would the new one
      {"a]b", "n", "1"},
      {"x;y", "n", "1"},
      {" B", "n", "1"},
      {nullptr, "k", "1"},
      {"A", nullptr, "1"},
      {"A", "k", nullptr},
  };
  for (const Case& c : cases) {
    write("t.ini", before);
    iniFile ini(path("t.ini").c_str());
    EXPECT_FALSE(iniSet(&ini, c.section, c.key, c.value))
        << (c.section ? c.section : "(null)") << "/" << (c.key ? c.key : "(null)");
    EXPECT_EQ(read("t.ini"), before);
    EXPECT_EQ(ini.lines.size(), 2u);
    EXPECT_EQ(get(ini, "A", "k"), "1");
  }
}

TEST_F(IniSet, AFileThatCannotBeWrittenAnswersFalseAndKeepsTheChangeInMemory) {
  write("t.ini", "[A]\nk=1\n");
  iniFile ini(path("t.ini").c_str());
  ini.path = path("no-such-dir/t.ini");
  EXPECT_FALSE(iniSet(&ini, "A", "k", "2"));
  EXPECT_EQ(get(ini, "A", "k"), "2");
  EXPECT_FALSE(iniSave(&ini));
  EXPECT_EQ(read("t.ini"), "[A]\nk=1\n");
}

TEST_F(IniPath, KeyPathsSplitAtTheirFirstCharacter) {
  struct FieldCase {
    const char* path;
    std::vector<std::string> fields;
  } fieldCases[] = {
      {"/Memory/Reserve", {"Memory", "Reserve"}},
      {"/A/B/C", {"A", "B", "C"}},
      {"|A|B", {"A", "B"}},
      {"/A/", {"A", ""}},
      {"/", {""}},
      {"", {}},
      {nullptr, {}},
  };
  for (const FieldCase& c : fieldCases) {
    std::vector<std::string> fields;
    int32_t position = 0, start = 0, length = 0;
    while (iniKeyField(c.path, &position, &start, &length) == 0) fields.emplace_back(c.path + start, size_t(length));
    EXPECT_EQ(fields, c.fields) << (c.path ? c.path : "(null)");
    EXPECT_EQ(iniKeyField(c.path, &position, &start, &length), -1);
  }

  struct SplitCase {
    const char* path;
    bool ok;
    const char* section;
    const char* key;
  } splitCases[] = {
      {"/Memory/Reserve", true, "Memory", "Reserve"},
      {"/A/B/C", true, "A", "B/C"},
      {"/A/", true, "A", ""},
      {"/Defaults", false, "", ""},
      {"", false, "", ""},
  };
  for (const SplitCase& c : splitCases) {
    std::string section, key;
    EXPECT_EQ(iniSplitKeyPath(c.path, &section, &key), c.ok) << c.path;
    EXPECT_EQ(section, c.section) << c.path;
    EXPECT_EQ(key, c.key) << c.path;
  }
}

TEST_F(IniPath, TheNameGoesNextToTheProgramWithItsExtensionReplaced) {
  plTestSetModuleFileName("/opt/plumet/bin/plumet");
  struct Case {
    const char* name;
    const char* path;
  } cases[] = {
      {"PLUMET.INI", "/opt/plumet/bin/PLUMET.ini"},
      {"plumet", "/opt/plumet/bin/plumet.ini"},
      {"a.b.cfg", "/opt/plumet/bin/a.b.ini"},
      {"C:\\cfg\\x.INI", "C:/cfg/x.INI"},  // a path stays as given
      {"cfg/x.txt", "cfg/x.txt"},
  };
  for (const Case& c : cases) EXPECT_EQ(iniPathFor(c.name), c.path) << c.name;
}

TEST_F(IniPath, AFileDifferingOnlyInCaseIsFound) {
  plTestSetModuleFileName(path("plumet"));
  write("plumet.ini", "[Memory]\nReserve=1\n");
  EXPECT_EQ(iniPathFor("PLUMET.INI"), path("plumet.ini"));
  EXPECT_EQ(iniPathFor((dir_.string() + "\\PLUMET.INI").c_str()), path("plumet.ini"));
  // An exact match wins over one that differs in case.
  write("PLUMET.ini", "[Memory]\nReserve=2\n");
  EXPECT_EQ(iniPathFor("PLUMET.INI"), path("PLUMET.ini"));
  // Without any such file the name is kept as computed.
  EXPECT_EQ(iniPathFor("OTHER.INI"), path("OTHER.ini"));
}

}  // namespace
