// Graphic objects: the head every drawn thing begins with, the class
// "gobject" whose handler gives the behaviour all drawing classes inherit,
// and the creation and release of objects.
//
// The head is read in memory by the export plug-in as well, so it is
// declared once, here, and read by field name. Its first four bytes are the
// program-object head of fe/value.h (class id, 8-bit reference count, a
// spare byte), so script values count references to drawing objects in the
// same byte as native holders do.
//
// The handler answers the messages of objects/objmsg.h that every drawing
// class inherits (argument conventions there). The keys of messages 107 and
// 108, in the order they are enumerated: "type" (class name; set is
// ignored), "id" (low 24 bits of the id word; read only), "layer",
// "layerno", "linefont"/"pattern", "linefontno" (style bits 0-4),
// "color", "colorno", "linewidth"/"weight" (style bits 5-7, set value & 7),
// "lineweight", "locked" (flag 0x2000), "control-pts"/"xvis" (flag
// 0x0020); "docid" (the high byte of the id word, read only) is answered but
// not enumerated. "layer" (the layer's name) and "layerno" move the object
// to an existing layer, taking its hidden state. The keys "linefont",
// "color" and "lineweight" are names in the document's tables: they answer
// 281 (unknown key) until those tables exist. Keys beginning with "@" (and
// at least one more character) or a capital letter name entries of the
// object's attribute dictionary (objects/ddict.h), enumerated after the
// keys above: "@" keys answer a string and capitalised keys a name; setting
// takes a string (capitalised keys a name as well), a null value removes
// the entry, a read-only entry answers -4157, an absent one 281 on getting.
// A key of 3 or more characters
// ending in ".x", ".y" or ".z" reads or changes one coordinate of the point
// attribute named by the rest of the key. Every other key answers 281.
#ifndef PLUMET_OBJECTS_GOBJECT_H
#define PLUMET_OBJECTS_GOBJECT_H

#include <cstdint>

struct feObject;
struct uiAChklEntry;
struct ddBlock;

struct gobjRec {
  uint16_t classId;        // 0 marks a freed record
  uint8_t refCount;        // holders; 255: permanent (never raised, lowered or freed)
  uint8_t spare;           // 0
  gobjRec* nextInCell;     // chain of the sieve cell holding the object
  uint16_t flags;          // gobjFlag bits
  uint8_t style;           // bits 0-4 line-font number, bits 5-7 pen number
  uint8_t color;           // colour number; 254 and 255 are special entries
  int16_t box[6];          // compact extents: min x, y, z, max x, y, z
  void* sieve;             // the sieve holding the object while flag 0x0002 is set
  uint8_t owner;           // model number in the document (0: not yet given)
  uint8_t layer;           // layer number
  ddBlock* attrs;           // packed attribute dictionary (objects/ddict.h), or null
  uint32_t id;             // low 24 bits: the id; high 8 bits: a second small value ("docid")
};

enum gobjFlag : uint16_t {
  gobjSelected = 0x0001,
  gobjInSieve = 0x0002,        // the document holds it
  gobjRecent = 0x0008,         // among the recent objects of the current sheet
  gobjControlPts = 0x0020,     // control points shown
  gobjPointSel = 0x0040,       // a point is selected
  gobjChanged = 0x0100,        // message 320 is due before the next drawing
  gobjHidden = 0x0200,         // follows the layer's hidden bit
  gobjFarEnd = 0x0400,         // picked at its far end
  gobjSieveMark = 0x0800,
  gobjDamageDeferred = 0x1000,
  gobjLocked = 0x2000,
  gobjNoSelect = 0x4000,       // not selectable
};

enum : uint8_t { gobjPermanent = 255 };

inline int gobjLineFont(const gobjRec* o) { return o->style & 31; }
inline int gobjPen(const gobjRec* o) { return o->style >> 5; }

// Registers the class "gobject" (superclass "class") and answers its id.
// The argument is not used.
uint16_t gobjInit(int argument);
// The id of "gobject" (0 before gobjInit).
uint16_t gobjClassId();
// True for a non-null record of the class "gobject" or one of its
// subclasses: a record that starts with a gobjRec. A handler that is given
// any program object checks this before it reads the object as a drawing
// object.
bool gobjIs(const void* record);
// The handler of "gobject": derived classes pass the messages they do not
// answer to it through objMeth(objSuperClass(...)).
int gobjHandler(void* object, int message, intptr_t a, intptr_t b, intptr_t c);

// A new object of the class (message 300 with an empty out slot), or null.
gobjRec* objNew(uint16_t classId);
// Drops the reference held in *slot: unless the count is 255 it is lowered
// and the object freed at 0; the slot is cleared. A null slot, a null object
// and an object whose count is already 0 (never counted) only clear the slot.
void objRelease(gobjRec** slot);
// Raises the count of a held object; a raise to 255 makes it permanent.
void objRetain(gobjRec* object);
// Frees an object through message 100 to its class. An object still
// entered in a sieve (flag 0x0002), of whatever class, is not freed (alert
// "STried to free object still in the sieve!"). Null does nothing.
void objFree(gobjRec* object);

// Copies style and colour, the layer, flags 0x0020 and 0x0040, the box and
// the attribute dictionary, and marks the target changed (0x0100).
void gobjCopyAttrs(const gobjRec* from, gobjRec* to);
// The colour number the object draws in: the drawing layer's current colour
// while its colour-override count is above 0; else, while the selection
// shows in colour (objects/selmode.h) and the object is selected, the
// current document's select colour; else the object's own colour.
int gobjDrawColor(const gobjRec* object);
// style * 47 + colour * 23.
uint32_t gobjStyleHash(const gobjRec* object);
// The program's object-id counter before it advances by n (a negative n,
// passed as its 32-bit pattern, gives ids back).
uint32_t gobjIdReserve(uint32_t n);

// The callback of message 406: called with each key as a name value; a
// non-zero answer stops the enumeration and becomes its answer.
typedef int (*objKeyCallback)(const feObject* key, void* context);

// The enumeration of a class's keys for its message 406: with a class id,
// message 406 goes to that class's superclass first (a superclass chain that
// does not answer 406 counts as having no keys) and a non-zero answer ends
// the enumeration with it; then callback gets the name of each code of
// codes (ended by 0) as the check list names it, until one answers non-zero.
int gobjAttrEnum(objKeyCallback callback, void* context, const int* codes, const uiAChklEntry* list,
                 uint16_t classId, void* object);

// Allocates a zeroed record of size bytes (at least a head) for a class's
// message 300: the most derived class allocates, writes its class id and
// passes 300 on. Freed with gobjFreeRecord (message 100 of "gobject" does).
gobjRec* gobjAllocRecord(uint32_t size);
void gobjFreeRecord(gobjRec* object);
// A most derived class's answer to message 300 (slotWord is the message's
// argument a): allocates a record of size bytes when the slot is empty,
// gives it the class id and passes the message to the superclass.
int gobjNewAs(uint16_t classId, uint32_t size, intptr_t slotWord);

#endif
