// Object information: the editable properties ("fields") of the selected
// objects for the object-information panel, and the same fields written as
// text records (aDump).
//
// Objects describe themselves: on message 346 a class calls the field
// functions below once per property (a class derived from "gobject" first
// passes the message to its superclass, which lists the common drawing
// attributes). Message 346 carries the context word in its argument a; the
// field functions take it first and hand it on untouched (the service keeps
// its own gathering state, so any value will do).
//
// The panel is the edit-object tool, an object of the class named
// "getinfo", reached through messages 600-606:
//   600  sent to the class (object null); a: void** slot that receives the
//        new tool record (a program object: its first field is its class id)
//   604  "still open?": the tool answers 1 while open, 0 once closed
//   606  frees the tool
//   601  begin of the fields; 602 end of the fields
//   605  one field; a: const infoFieldMsg*, valid during the message
//   603  the title; a: const char* text, b: its length
// The tool edits a field by calling infoFieldEdit with the field of a 605
// record while the panel shows it (the next refresh replaces the fields).
#ifndef PLUMET_OBJECTS_OBJINFO_H
#define PLUMET_OBJECTS_OBJINFO_H

#include "objects/gobject.h"

#include <cstdint>
#include <cstdio>
#include <string>

struct feArgs;
struct infoField;

// Applies an edited text to every object of the info group: 0, or the first
// refusal.
typedef int (*infoSetter)(const infoField* field, const char* text, int32_t length);
// Turns an edited text into a number: 0 or an error code.
typedef int (*infoConverter)(const char* text, int32_t length, double* out);

// One entry of the field list.
struct infoField {
  std::string name;        // choice fields: the name and the choices joined as "name;choice;choice..."
  std::string value;       // the value text (empty when !hasValue)
  bool hasValue = true;    // cleared once the gathered objects disagree
  char type = 'S';         // 'S' text, 'E' choice, 'T' the entry line of a "More..." field
  bool editable = false;
  infoSetter setter = nullptr;
  infoConverter converter = nullptr;   // number fields
  bool blankChoice = false;            // a choice field that allows "   " (no change)
  int32_t moreIndex = 0;               // "More...": the position it stands for
  std::string moreName;                // "More...": its entry's text ("More..." by default)
  bool common = true;      // every object gathered so far has this field at this place
};

// Kinds of message 605.
enum { infoKindText = 1, infoKindChoice = 2, infoKindMore = 3 };

// The record of message 605.
struct infoFieldMsg {
  int32_t kind;              // infoKind*
  int32_t editable;          // 1 editable, 0 read-only
  const char* name;          // as infoField::name
  const char* value;         // the value text; "" when the objects disagree
  infoSetter setter;
  infoConverter converter;   // number fields, else null
  const char* choices;       // choice fields: the choices separated by ";", else null
  const infoField* field;    // what infoFieldEdit takes
};

// The class the tool is made from.
constexpr const char* infoToolClassName = "getinfo";

extern "C" {
// The field functions (exported to plug-ins). editable: 1 editable unless
// the object is locked, 0 read-only, any other value editable.
//
// A text field; editing sets the attribute of that name to the string.
void infoAddString(void* context, const char* name, const char* text, int32_t length, int32_t editable);
// A length with the current units' flags and step (at most 32 characters);
// editing reads it as a length with units and sets the attribute as a real;
// an unreadable text beeps and changes nothing. A name a "More..." field of
// the same object already stands for is skipped.
void infoAddNumber(void* context, const char* name, double value, int32_t editable);
// A size in points with 3 decimals (again without the unit name and with the
// current precision when that text holds a "."); edited as a number.
void infoAddPoints(void* context, const char* name, double value, int32_t editable);
// An angle (in turns) in degrees; edited as an angle.
void infoAddAngle(void* context, const char* name, double value, int32_t editable);
// A plain number with the current units' decimals; edited through the
// expression evaluator (numbers and variables).
void infoAddLength(void* context, const char* name, double value, int32_t editable);
// Three number fields "name.x", "name.y", "name.z".
void infoAddPoint(void* context, const char* name, const double* xyz, int32_t editable);
// Without choices an integer field ("%d"; editing sets an integer). With
// choices (entries separated by ";") a choice field: value selects entry
// value (0 the first); a negative value selects entry -value and allows
// "   " as a blank choice; the value text is the entry, or "???" ("   "
// with the blank choice) when there is none.
void infoAddInt(void* context, const char* name, int32_t value, int32_t editable, const char* choices);
// A choice field with a "More..." entry: when choices do not hold current,
// the field lists the name, the extra name (null: "More...") and the extra
// text before the choices, followed by an entry line "%3d;%s;%s;%s" (index,
// extra text, extra name, current) saying what "More..." stands for;
// otherwise a plain choice field.
void infoAddChoiceMore(void* context, const char* name, const char* choices, int32_t editable, const char* current,
                       int32_t index, const char* extraName, const char* extraText);
}

// Lists the common drawing attributes of a graphic object, by bits of parts:
// 0x01 one text field per dictionary entry whose key does not begin with "."
// (named "@" and the key), 0x02 "locked" (choice "unlocked;locked"), 0x04
// "layer", 0x08 "color", 0x10 "linefont" (their names as text fields; one
// whose value cannot be read is left out), 0x20 "weight" (the pen number),
// 0x40 "control-pts" (choice "false;true"). They are listed in the order
// locked, layer, color, weight, linefont, control-pts, dictionary entries.
void gobjAttrText(gobjRec* object, void* context, uint32_t parts);
// What "gobject" lists on message 346.
constexpr uint32_t gobjInfoParts = 0x04 | 0x08 | 0x10 | 0x20;

// Applies an edited text through the field's setter; 0, or the refusal.
int infoFieldEdit(const infoField* field, const char* text, int32_t length);

// Refreshes the panel (aGetInfo): force makes and fills the tool even when
// none is open. Answers 0.
int infoRefresh(bool force);

// Writes one record per object (each member of a group) to stream: "**",
// the class name, ":#" and the low 24 bits of the id, ":", then "name=value;"
// per field, lines broken after a ";" once longer than 80 bytes, each line
// ended by "\n". 0, or 273 when writing failed.
int infoDump(std::FILE* stream, gobjRec* objects);

// The operators: aGetInfo "O" (any non-null argument forces), aDump
// "OQ<group>" (file, object or group; 269 for a non-file, 272 for a file
// not open for writing, 273 for a closed one).
int aGetInfoOp(feArgs* args);
int aDumpOp(feArgs* args);

// The module's set-up: installs the refresh as the selection's info hook
// (selRefresh) and starts from an empty state.
void infoInit();
// Back to the start state: no tool (an open one is freed), no info group,
// an empty field list, the menu hooks' last values unknown.
void infoReset();
// The field list as the last refresh left it (tests).
int32_t infoFieldCount();
const infoField* infoFieldAt(int32_t index);

#endif
