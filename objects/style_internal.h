// Shared between the files of the style module: the font service, the
// class handler's parts and the helpers they have in common.
#ifndef PLUMET_OBJECTS_STYLE_INTERNAL_H
#define PLUMET_OBJECTS_STYLE_INTERNAL_H

#include "objects/style.h"

#include <cstdint>

struct feObject;
struct uiAChklEntry;

// The font service (style_font.cpp): the id of a name, or -1 when no font
// of that name is known; ref and unref skip styleNoFont.
int32_t styleFontFind(const char* name, uint32_t length);
void styleFontRef(uint16_t id);
void styleFontUnref(uint16_t id);

// Replaces *text (and its length) by a NUL-terminated copy of length bytes;
// a null or empty source leaves null.
void styleSetText(char** text, uint16_t* textLength, const char* source, uint32_t length);
// Sets the number of families of a hatch (new ones zeroed).
void styleResizeFamilies(styleRec* s, uint32_t count);
// Makes s the default of its kind, handing over the caller's reference
// (the previous default loses its own): 0, or 269 for a hatch.
int styleTakeDefault(styleRec* s);
// Frees the record and what it owns (message 100).
void styleFree(styleRec* s);
// The kind's check list (character or hatch), or null.
const uiAChklEntry* styleCheckList(uint16_t kind);
// Builds the property table and the check lists.
void styleAttrInit();

// Messages 107-110 (style_attr.cpp).
int styleGetAttr(const styleRec* s, const feObject* key, feObject* out);
int styleSetAttr(styleRec* s, const feObject* key, const feObject* value);
int styleGetIndexed(const styleRec* s, const feObject* index, feObject* out);
int styleSetIndexed(styleRec* s, const feObject* index, const feObject* value);
// The pairs of an array (key, value, key, value ...) set one after another;
// hatches take an integer key followed by an array of a family's pairs. 0,
// or the first failure (269 for a key that is no name, 280 for a key
// without a value, 267 and 269 for families); keys that do not apply to
// the kind (-1) are passed over.
int styleSetPairs(styleRec* s, const feObject* array);

// Message 312 (style_io.cpp).
int styleRecordIO(styleRec* s, ioCtx* ctx);

// The operators (style_ops.cpp) and the document's character style
// (style_doc.cpp).
void styleOpsRegister();
void styleDocInit();

#endif
