// Styles in drawing files: the record of message 312 and the per-file
// table through which each style is written once and referred to by index
// after that.
//
// The record (class version 4; 2 in files of version 0 and 1):
//   "ss"          kind index (0 character, 1 text, 2 paragraph, 3 hatch) and
//                 the name's length, then "C" with the name when not empty
//   character     "ffsss" size, slant, flags, colour, font-name length, then
//                 "C" the font name; "c" the width's low byte (read from
//                 version 2 on)
//   text          "xxxx" the margins (version 3 on; before, the older "DDDD");
//                 the horizontal scale is not stored and reads as 1.0
//   paragraph     "sxxxxx" alignment and the five doubles ("sDDDDD" before 3)
//   hatch         "sffff" family count, rotation, tolerance, offset, scale;
//                 per family "fffffssff" offset, rotation, spacing,
//                 inter-line space, inset, lines, line type (7 and up
//                 written as 0 before version 4), phase, phase angle; from
//                 version 4 on "sfs6f" lock point, line phase, pattern
//                 length and the six pattern values
#include "objects/style.h"
#include "objects/style_internal.h"

#include "core/alloc.h"
#include "core/debug.h"
#include "objects/iofile.h"
#include "objects/ioformat.h"
#include "objects/objrecord.h"


namespace {

enum : uint32_t { kFileTableGrowth = 4, kFamilyMinBytes = 9 };

const uint16_t kKinds[] = {styleKindChar, styleKindText, styleKindPara, styleKindHatch};

int16_t kindIndex(uint16_t kind) {
  for (int16_t i = 0; i < 4; ++i)
    if (kKinds[i] == kind) return i;
  return -1;
}

styleRec** fileTable(ioCtx* ctx) { return static_cast<styleRec**>(ctx->styles); }

// Appends s to the file's table with a reference of the table's.
void fileAppend(ioCtx* ctx, styleRec* s) {
  if (ctx->styleCount == ctx->styleCap) {
    uint32_t cap = ctx->styleCap;
    auto** table = fileTable(ctx);
    uAlloc(&table, &cap, ctx->styleCap + kFileTableGrowth, sizeof(styleRec*));
    ctx->styles = table;
    ctx->styleCap = cap;
  }
  fileTable(ctx)[ctx->styleCount++] = s;
  styleRef(s);
}

// Drops the table's references, last first.
void fileRelease(ioCtx* ctx) {
  styleRec** table = fileTable(ctx);
  while (ctx->styleCount > 0) {
    styleRec* s = table[--ctx->styleCount];
    table[ctx->styleCount] = nullptr;
    styleUnref(s);
  }
}

// A text field read into a fresh buffer of the stored length.
int textIO(ioCtx* ctx, char** text, uint16_t* length) {
  if (ctx->mode != 'r') {
    static char empty[1] = {0};
    uint16_t n = *text ? *length : 0;
    return ioFormat(ctx, "C", &n, *text ? *text : empty);
  }
  const uint16_t stored = *length;
  char* buffer = static_cast<char*>(uAlloc(nullptr, nullptr, uint32_t(stored) + 1, 1));
  uint16_t kept = stored;
  const int answer = ioFormat(ctx, "C", &kept, buffer);
  buffer[kept] = 0;
  uFreeIfSet(text);
  *length = 0;
  if (answer < 0 || kept == 0) {
    uFree(&buffer);
    return answer;
  }
  *text = buffer;
  *length = kept;
  return answer;
}

int charIO(styleRec* s, ioCtx* ctx, int level) {
  styleCharPart& c = s->chr;
  uint16_t nameLength = c.fontName ? c.fontNameLength : 0;
  if (ioFormat(ctx, "ffsss", &c.size, &c.slant, &c.flags, &c.color, &nameLength) < 0) return -1;
  if (ctx->mode == 'r') c.fontNameLength = nameLength;
  if (textIO(ctx, &c.fontName, &c.fontNameLength) < 0) return -1;
  if (ctx->mode == 'r') {
    // The font by its name; an unknown one takes the default's font. The
    // name read is kept either way.
    int32_t id = styleFontFind(c.fontName, c.fontNameLength);
    if (id < 0) id = styleDefChar() ? int32_t(styleDefChar()->chr.fontId) : int32_t(styleNoFont);
    c.fontId = uint16_t(id);
    styleFontRef(c.fontId);
  }
  uint8_t width = uint8_t(c.width);
  if (ctx->mode != 'r' || level >= 2) {
    if (ioFormat(ctx, "c", &width) < 0) return -1;
    if (ctx->mode == 'r') c.width = width;
  }
  return 0;
}

// n doubles: compact doubles from version 3 on; older files hold the older
// layout, which is only ever read, so a file of that version keeps zeros.
int doublesIO(ioCtx* ctx, int level, double* const* fields, int n) {
  for (int i = 0; i < n; ++i) {
    if (level >= 3) {
      if (ioFormat(ctx, "x", fields[i]) < 0) return -1;
    } else if (ctx->mode == 'r') {
      if (ioFormat(ctx, "D", fields[i]) < 0) return -1;
    } else {
      double zero = 0.0;
      if (ioFormat(ctx, "R", &zero) < 0) return -1;
    }
  }
  if (level < 3 && ctx->mode != 'r') dbgPrintf("[styleIO] version %d: margins and leads written as 0\n", int32_t(level));
  return 0;
}

int textStyleIO(styleRec* s, ioCtx* ctx, int level) {
  double* const fields[] = {&s->text.topMargin, &s->text.bottomMargin, &s->text.leftMargin, &s->text.rightMargin};
  return doublesIO(ctx, level, fields, 4);
}

int paraIO(styleRec* s, ioCtx* ctx, int level) {
  if (ioFormat(ctx, "s", &s->para.align) < 0) return -1;
  double* const fields[] = {&s->para.beforeLead, &s->para.lineLead, &s->para.firstLineIndent, &s->para.leftIndent,
                            &s->para.rightIndent};
  return doublesIO(ctx, level, fields, 5);
}

int hatchIO(styleRec* s, ioCtx* ctx, int level) {
  styleHatchPart& h = s->hatch;
  uint16_t count = h.families ? h.familyCount : 0;
  if (ioFormat(ctx, "sffff", &count, &h.rotation, &h.tolerance, &h.offset, &h.scale) < 0) return -1;
  if (ctx->mode == 'r') {
    // Every family takes at least nine bytes: a count the record cannot
    // hold is damage, refused before anything is allocated.
    if (long(count) * long(kFamilyMinBytes) > ioBytesLeft(ctx)) {
      dbgPrintf("[styleIO] %d families do not fit the record\n", int32_t(count));
      return -1;
    }
    styleResizeFamilies(s, count);
  }
  for (uint32_t i = 0; i < count; ++i) {
    styleHatchLine& f = h.families[i];
    uint16_t lineType = f.lineType;
    if (ctx->mode != 'r' && level < 4 && lineType >= 7) lineType = 0;
    if (ioFormat(ctx, "fffffssff", &f.offset, &f.rotation, &f.spacing, &f.interLineSpace, &f.inset, &f.lines,
                 &lineType, &f.phase, &f.phaseAngle) < 0)
      return -1;
    if (ctx->mode == 'r') f.lineType = lineType;
    if (level >= 4 && ioFormat(ctx, "sfs6f", &f.lockPoint, &f.linePhase, &f.patternLength, f.pattern) < 0) return -1;
  }
  return 0;
}

}  // namespace

int styleRecordIO(styleRec* s, ioCtx* ctx) {
  const bool reading = ctx->mode == 'r';
  const int level = ioTypeMap(ctx, styleClassId(), ctx->version < 2 ? 2 : 4);
  if (level < 0) return -1;
  int16_t kind = reading ? int16_t(0) : kindIndex(s->kind);
  uint16_t nameLength = s->name ? s->nameLength : 0;
  if (ioFormat(ctx, "ss", &kind, &nameLength) < 0) return -1;
  if (reading) {
    if (kind < 0 || kind > 3) {
      dbgPrintf("[styleIO] unknown kind %d\n", int32_t(kind));
      return -1;
    }
    // A record made for reading is empty: it takes the kind read and that
    // kind's fields as made.
    s->kind = kKinds[kind];
    if (s->kind == styleKindText) s->text.xScale = 1.0f;
    if (s->kind == styleKindChar) s->chr.fontId = styleNoFont;
    s->nameLength = nameLength;
  }
  if (nameLength && textIO(ctx, &s->name, &s->nameLength) < 0) return -1;
  switch (s->kind) {
    case styleKindChar: return charIO(s, ctx, level);
    case styleKindText: return textStyleIO(s, ctx, level);
    case styleKindPara: return paraIO(s, ctx, level);
    case styleKindHatch: return hatchIO(s, ctx, level);
    default: return -1;
  }
}

void styleIOBegin(ioCtx* ctx) {
  if (ctx->styleLevel == 0) fileRelease(ctx);
  ++ctx->styleLevel;
}

void styleIOEnd(ioCtx* ctx) {
  if (ctx->styleLevel > 0) --ctx->styleLevel;
  if (ctx->styleLevel == 0) fileRelease(ctx);
}

void styleIOClose(ioCtx* ctx) {
  if (ctx->styleLevel != 0 || ctx->styleCount != 0) uAlert(0, "Tunbalanced styleIO calls", nullptr);
  // A stream abandoned half way leaves its entries: their references go
  // with the table.
  fileRelease(ctx);
  uFreeIfSet(&ctx->styles);
  ctx->styleCap = 0;
  ctx->styleLevel = 0;
}

int styleWrite(const styleRec* s, ioCtx* ctx) {
  if (!s || !styleClassId() || s->classId != styleClassId()) {
    dbgPrintf("styleWrite, invalid style: %lx\n", uint32_t(reinterpret_cast<uintptr_t>(s)));
    uAlert(0, "Tbad styleWrite", nullptr);
    return -1;
  }
  auto* style = const_cast<styleRec*>(s);
  styleRec** table = fileTable(ctx);
  for (uint32_t i = 0; i < ctx->styleCount; ++i)
    if (table[i] == style) {
      int32_t index = int32_t(i + 1);
      return ioFormat(ctx, "l", &index) < 0 ? -1 : 0;
    }
  fileAppend(ctx, style);
  int32_t zero = 0;
  if (ioFormat(ctx, "l", &zero) < 0) return -1;
  objWrite(reinterpret_cast<gobjRec*>(style), ctx);
  return 0;
}

int styleRead(styleRec** out, ioCtx* ctx) {
  *out = nullptr;
  int32_t index = 0;
  if (ioFormat(ctx, "l", &index) < 0) return -1;
  styleRec* taken = nullptr;
  if (index != 0) {
    if (index < 0 || uint32_t(index) > ctx->styleCount) {
      dbgPrintf("style read error stId = %ld, tblLen = %d\n", index, int32_t(ctx->styleCount));
      uAlert(0, "Tbad styleRead", nullptr);
      return -1;
    }
    taken = fileTable(ctx)[index - 1];
  } else {
    int status = 0;
    gobjRec* record = nullptr;
    objRead(ctx, &status, &record);
    if (!record) return -1;
    auto* s = reinterpret_cast<styleRec*>(record);
    if (s->classId != styleClassId()) {
      if (record->refCount == 0) objFree(record);
      return -1;
    }
    // Every record read takes the next index, as the writer gave it; a
    // style equal to one read before shares that one.
    styleRec** table = fileTable(ctx);
    for (uint32_t i = 0; i < ctx->styleCount && !taken; ++i)
      if (styleEqual(table[i], s)) taken = table[i];
    if (taken) styleUnref(s);
    else taken = s;
    fileAppend(ctx, taken);
    if (ctx->styleCount > ctx->styleCap) dbgPanic("mergeTblLen is bad %d, %d", int32_t(ctx->styleCount),
                                                  int32_t(ctx->styleCap));
  }
  styleRef(taken);
  *out = taken;
  return 0;
}
