// Styles: shared, reference-counted records of the class "style" in four
// kinds (text, paragraph, character, hatch) that text objects, hatches and
// the export plug-in read through typed accessors by attribute code.
//
// The records are read in memory by the export plug-in as well, so they are
// declared once, here, and read by field name. The first four bytes are the
// program-object head of fe/value.h (class id, 8-bit reference count, a
// flags byte), so script values count references in the same byte as native
// holders do.
//
// Equal styles are interned in one program-wide style table (styleIntern),
// so that objects share one record; the table holds no reference of its own
// and a freed style leaves its slot empty. In drawing files every style is
// written once per file: the per-file table of the record stream (ioCtx)
// gives each style written an index, and later references carry only that
// index (styleWrite, styleRead).
//
// Attribute codes: the high byte names the kind the code belongs to.
//   text       257 top margin, 258 bottom, 259 left, 260 right (reals),
//              261 horizontal scale (real, 1.0 when made)
//   paragraph  513 alignment (integer), 514 lead before, 515 line lead,
//              516 first-line indent, 517 left indent, 518 right indent
//   character  769 size, 770 slant (reals), 771 flags, 772 colour,
//              773 font id (65535: none), 775 width (integers), 774 font name
//   hatch      1025 family count (integer), 1026 rotation, 1027 scale,
//              1028 tolerance, 1029 offset (reals)
//   any kind   1 the name (text)
// Script keys (messages 107/108, and 109/110 with [key] or, for hatches,
// [family key]): "topMargin" "bottomMargin" "leftMargin" "rightMargin"
// "xScale" "align" "beforeLead" "lineLead" "firstLineIndent" "leftIndent"
// "rightIndent" "size" "slant" "color" "flag" "fontName" "width" and "name";
// hatch heads also take "tolerance" "offset" "rotation" "scale", and hatch
// families "offset" "rotation" "spacing" "interLineSpace" "inset" "lines"
// "lineType" "phase" "phaseAngle" "linephase" "patternlen" "lockpoint" and
// "pattern" (6 numbers).
#ifndef PLUMET_OBJECTS_STYLE_H
#define PLUMET_OBJECTS_STYLE_H

#include "objects/ioctx.h"

#include <cstdint>

enum styleKind : uint16_t {
  styleKindText = 256,
  styleKindPara = 512,
  styleKindChar = 768,
  styleKindHatch = 1024,
};

enum styleCode : int {
  styleCodeName = 1,
  styleCodeTopMargin = 257,
  styleCodeBottomMargin = 258,
  styleCodeLeftMargin = 259,
  styleCodeRightMargin = 260,
  styleCodeXScale = 261,
  styleCodeAlign = 513,
  styleCodeBeforeLead = 514,
  styleCodeLineLead = 515,
  styleCodeFirstIndent = 516,
  styleCodeLeftIndent = 517,
  styleCodeRightIndent = 518,
  styleCodeSize = 769,
  styleCodeSlant = 770,
  styleCodeFlags = 771,
  styleCodeColor = 772,
  styleCodeFontId = 773,
  styleCodeFontName = 774,
  styleCodeWidth = 775,
  styleCodeFamilyCount = 1025,
  styleCodeHatchRotation = 1026,
  styleCodeHatchScale = 1027,
  styleCodeHatchTolerance = 1028,
  styleCodeHatchOffset = 1029,
};

// Answers of the typed accessors (the status and the setters' answer).
enum styleStatus : int {
  styleFound = 0,
  styleOtherKind = -1,    // the code belongs to another kind
  styleUnknownCode = -2,  // the code is unknown for this kind
};

enum : uint16_t { styleNoFont = 65535, styleFamilyMax = 255 };
enum : int { styleErrUnknownFont = -4115 };

// One line family of a hatch style.
struct styleHatchLine {
  float offset;
  float rotation;
  float spacing;
  float interLineSpace;
  float inset;
  float phase;
  float phaseAngle;
  uint16_t lines;
  uint16_t lineType;
  uint16_t lockPoint;
  float linePhase;
  uint16_t patternLength;
  float pattern[6];
};

struct styleTextPart {
  double topMargin;
  double bottomMargin;
  double leftMargin;
  double rightMargin;
  float xScale;            // not stored in files: reads as 1.0
};

struct styleParaPart {
  uint16_t align;
  double beforeLead;
  double lineLead;
  double firstLineIndent;
  double leftIndent;
  double rightIndent;
};

struct styleCharPart {
  float size;
  float slant;
  uint16_t flags;
  uint16_t color;
  uint16_t fontId;         // one font reference held unless styleNoFont
  uint16_t width;          // files keep its low byte
  char* fontName;          // owned, NUL-terminated, or null
  uint16_t fontNameLength;
};

struct styleHatchPart {
  uint16_t familyCount;
  float rotation;
  float scale;
  float tolerance;
  float offset;
  styleHatchLine* families; // owned, familyCount entries
};

struct styleRec {
  uint16_t classId;
  uint8_t refCount;        // 255: permanent
  uint8_t flags;
  uint16_t kind;           // styleKind
  char* name;              // owned, NUL-terminated, or null (the name is optional)
  uint16_t nameLength;
  union {
    styleTextPart text;
    styleParaPart para;
    styleCharPart chr;
    styleHatchPart hatch;
  };
};

// The character fields as one block (styleFontSpec).
struct styleFontSpecRec {
  float size;
  float slant;
  uint16_t flags;
  uint16_t color;
  uint16_t fontId;
  uint16_t width;
  uint16_t fontNameLength;
};

// The font service of the text module: find answers a font id for a name
// (0xFFFFFFFE or 0xFFFFFFFF: not known); ref and unref count the uses of an
// id (never called with styleNoFont). Until the text module sets them no
// font is known: "fontName" answers -4115 and reading keeps the stored name
// with the default character style's font id.
struct styleFontHooks {
  void (*find)(const char* name, uint32_t length, uint32_t* id);
  void (*ref)(uint16_t id);
  void (*unref)(uint16_t id);
};
// Null takes the hooks away.
void styleSetFontHooks(const styleFontHooks* hooks);

// Registers the class "style", its check lists, the defaults, the document
// hook that keeps each document's character style, and the operators
// aStyleText, aStylePara, aStyleChar, aStyleHatch ("O#Q": an array of
// key/value pairs, or null; a hatch pair whose key is an integer n is
// family n and an array of that family's pairs), aStyleCopy ("Q#Q") and
// aStyleSetDefText, aStyleSetDefPara, aStyleSetDefChar ("Q": the default
// becomes a copy; the previous one loses its reference). Styles made by the
// operators are not interned. Calling it again does nothing.
void styleInit();
// Drops the defaults and empties the style table.
void styleExit();
uint16_t styleClassId();

// A new style of the kind with count 0 (xScale 1.0, no font), or null for
// another kind.
styleRec* styleNew(uint16_t kind);
// A new style with every field of s, its own copy of the names and a font
// reference of its own (count 0). An unknown kind panics "unknown case" and
// answers null.
styleRec* styleCopy(const styleRec* s);

// References: ref raises the count unless 255; unref lowers it unless 255
// and frees the style at 0. A style nobody counted (0) is freed by unref.
void styleRef(styleRec* s);
void styleUnref(styleRec* s);

// Interns s, handing over the caller's reference: answers the newest equal
// style of the table (with a reference for the caller, s losing its own) or
// s itself, entered in the first empty slot.
styleRec* styleIntern(styleRec* s);
// Enters s in the style table without looking for an equal one.
styleRec* styleAdd(styleRec* s);
// The number of slots of the style table and the style in one (tests).
uint32_t styleTableSize();
styleRec* styleTableAt(uint32_t i);

// The defaults (no reference added); null before styleInit.
styleRec* styleDefText();
styleRec* styleDefPara();
styleRec* styleDefChar();
// The default of s's kind becomes a copy of s: 0, or 269 for a hatch or
// a record that is not a style.
int styleSetDefault(const styleRec* s);

// Kinds, name bytes and the kind's fields: character styles compare size,
// slant, flags, colour, font id and width (not the font name), hatch styles
// their heads and families bit for bit.
bool styleEqual(const styleRec* a, const styleRec* b);

// Typed accessors: status (may be null) is a styleStatus; the default is
// answered unless it is styleFound. Numbers convert between integer and
// real fields; the getters of texts answer code 1 (the name, "" without
// one) and 774.
double styleGetReal(const styleRec* s, int code, double def, int* status);
int32_t styleGetInt(const styleRec* s, int code, int32_t def, int* status);
const char* styleGetPtr(const styleRec* s, int code, const char* def, int* status);
// 0, -1 or -2. Setting the font id moves the font reference; setting the
// family count (at most 255) resizes the families.
int styleSetReal(styleRec* s, int code, double value);
int styleSetInt(styleRec* s, int code, int32_t value);
// The character fields: 0, or -1 for another kind.
int styleFontSpec(const styleRec* s, styleFontSpecRec* out);
// Family n of a hatch: 0, or -1 (another kind, n beyond the count).
int styleHatchFamily(const styleRec* s, int n, styleHatchLine* out);

// The per-file style table of a record stream. Begin at depth 0 starts an
// empty table; End at depth 0 drops the table's references; Close (at the
// stream's close) alerts "Tunbalanced styleIO calls" when a bracket or an
// entry is left, drops what is left and frees the table.
void styleIOBegin(ioCtx* ctx);
void styleIOEnd(ioCtx* ctx);
void styleIOClose(ioCtx* ctx);
// Writes a reference to s: its 1-based index when the file holds it
// already, else 0 and the whole record. 0, or -1 ("Tbad styleWrite").
int styleWrite(const styleRec* s, ioCtx* ctx);
// Reads a reference into *out, which holds a reference for the caller; every
// record read takes the next index (a style equal to one read before shares
// that style). 0, or -1 with *out null ("Tbad styleRead" for an index past
// the table).
int styleRead(styleRec** out, ioCtx* ctx);

#endif
