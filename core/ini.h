// Configuration files in the classic .ini form. The whole file is read into
// a table of lines when an iniFile is made; values are looked up by section
// and key, both compared without case; a change rewrites the whole file at
// once, keeping every other line, comment and blank line as it was (line
// ends included: a line that ended in CR LF is written back with CR LF).
//
// A line is a section header when a "[" and, after it, a "]" come before its
// comment position (the first "#" or ";", else its end); the name lies
// between them, trimmed. Otherwise it is a key line when an "=" comes before
// the comment position: the name is the text before the "=", trimmed (it may
// be empty), and the value starts after the "=" and the blanks that follow
// and runs to the end of the line, so a "#" or ";" after the "=" belongs to
// the value. Every other line (comments, blanks, other text) is kept as it is.
//
// The program's configuration object is made by uiIniSetup; scripts reach it
// through key paths such as "/Memory/Reserve", whose first character is the
// separator: the first field names the section, the rest of the path from the
// second field on is the key ("/A/B/C" is section "A", key "B/C").
#ifndef PLUMET_CORE_INI_H
#define PLUMET_CORE_INI_H

#include <cstdint>
#include <string>
#include <vector>

enum iniLineKind : uint32_t {
  iniKindOther = 0,
  iniKindSection = 1,
  iniKindKey = 2,
};

struct iniLine {
  uint32_t kind;         // iniLineKind
  std::string text;      // the line, with its line feed when it had one; lines are kept whole, however long
  bool crlf;             // it ended in CR LF on disk (the CR is not in text)
  uint32_t nameStart;    // the section or key name: where it begins in text
  uint32_t nameLength;
  uint32_t valueStart;   // key lines: where the value begins in text
};

class iniFile {
public:
  // The path for name (see iniPathFor), then the file is loaded: a file that
  // cannot be read gives an empty table (the first iniSet creates it).
  explicit iniFile(const char* name);
  virtual ~iniFile();

  std::string path;
  std::vector<iniLine> lines;
};

// The path of the configuration file for a name. A name holding "\" or "/" is
// the path itself ("\" and "/" both separate directories). Otherwise the path
// is the directory of the program's executable followed by the name, whose
// extension (from its last ".") is replaced by "ini", or ".ini" appended when
// it has none: "PLUMET.INI" gives "<program dir>/PLUMET.ini". When no file of
// exactly that name exists but one whose name differs only in case does, that
// file's name is used.
std::string iniPathFor(const char* name);

// Reads the file at ini->path into the table again (the table is emptied
// first). Lines end at LF; a CR right before the LF is dropped and recorded.
void iniLoad(iniFile* ini);

// Splits one line's text into its kind, name and value (fills every field but
// text and crlf).
void iniClassify(iniLine* line);

// Looks the key up: the last key line of that name inside a section of that
// name (a null section matches every section) answers. Key lines before the
// first section header never match. The value, less one trailing line feed
// and cut to size - 1 characters, is copied to buffer and terminated. Answers
// true when found (buffer untouched when null or size < 1).
bool iniGet(const iniFile* ini, const char* section, const char* key, char* buffer, int size);
// The same, answering the whole value.
bool iniGetString(const iniFile* ini, const char* section, const char* key, std::string* value);

// Sets a key and rewrites the file; answers true when the file was written.
// - The key line that iniGet answers gets the new value in place: its text up
//   to where the old value began (name, spacing, "=") is kept, whatever
//   followed the old value (a comment) is dropped.
// - A key not yet in the section is inserted as "key=value" just before the
//   header that follows the section's first occurrence (after any blank or
//   comment lines ending it), or appended when the section ends the file.
// - A section not present is appended as "[section]", then "key=value".
// Refused (false, nothing changed): a null section, key or value, and texts
// whose line would not read back as that section, key and value (line ends
// in any of them, a key holding "=", ";", "#" or outer blanks, a value that
// would make the line a section header, ...). When the file cannot be
// written, the table stays changed in memory and the answer is false.
bool iniSet(iniFile* ini, const char* section, const char* key, const char* value);

// Writes every line to ini->path; true when the file opened for writing and
// every line was written.
bool iniSave(const iniFile* ini);

// One field of a key path whose first character is the separator. position
// is where the field starts (0: just after the separator) and moves past the
// separator that ends the field, or to -1 when the field runs to the end of
// the path. Answers 0 with *start and *length set, or -1 for a null or empty
// path or a finished position (-1).
int iniKeyField(const char* path, int32_t* position, int32_t* start, int32_t* length);

// Splits a key path into its section (the first field) and key (from the
// second field to the end). False when the path has fewer than two fields.
bool iniSplitKeyPath(const char* path, std::string* section, std::string* key);

// The program's configuration object. uiIniSetup copies the name (length
// characters, or up to its terminator when length is negative) into the
// program-wide copy, destroys the current object and makes a new one for it.
void uiIniSetup(const char* name, int32_t length);
iniFile* iniCurrent();           // null before uiIniSetup
const char* uiIniName();         // the name given to uiIniSetup ("" before)
// Destroys the configuration object (the program's end; tests).
void iniShutdown();

#endif
