// The interpreter's value, feObject, its type codes and flag bits, the
// reference-counted bodies behind strings, arrays and dictionaries, and the
// makers and accessors every subsystem uses to build and read values.
//
// A value is copied by value. word0 holds the body pointer, the program-object
// record, the integer, the name or operator index, the boolean or the whole
// double of a real; strings and arrays keep the offset into their body and
// their length as two 16-bit halves; the flag word holds the type in bits 0-3.
// The 10-byte file form of a value belongs to the compiled image.
#ifndef PLUMET_FE_VALUE_H
#define PLUMET_FE_VALUE_H

#include <cstddef>
#include <cstdint>

enum feObjType : uint16_t {
  feTEmpty = 0,     // a free dictionary slot; never a value
  feTNull = 1,
  feTBool = 2,
  feTMark = 3,
  feTString = 4,
  feTName = 5,
  feTObject = 6,    // program-object reference
  feTInt = 7,
  feTReal = 8,
  feTDict = 9,
  feTArray = 10,    // a procedure when executable
  feTOperator = 11,
  feTFile = 12,
};

enum feFlag : uint16_t {
  feFlagTypeMask = 0x000F,
  feFlagExec = 0x0010,        // procedures, executable names, operators, executable strings and files
  feFlagLoop = 0x0020,        // loop continuation marker
  feFlagStopped = 0x0040,     // the stopped continuation
  feFlagTerminated = 0x0080,  // set on a marker by exit or stop
  feFlagSimple = 0x0100,      // no body: copied bit for bit, nothing to release
  feFlagLocal = 0x0200,       // procedure with a local dictionary (cvp)
  feFlagTokenSource = 0x0400, // object: executable as a token source; exec stack: a file run as a procedure
  feFlagFrame = 0x0800,       // this activation pushed a procedure frame
  feFlagNamed = 0x1000,       // procedure stored under a name
  feFlagStop = 0x2000,        // set with feFlagTerminated by stop
};

struct feStringBody;
struct feArrayBody;
struct feDictBody;
struct feFileBody;

struct feObject {
  union {
    void* ptr;
    feStringBody* str;
    feArrayBody* arr;
    feDictBody* dict;
    feFileBody* file;
    void* obj;        // program-object record
    int32_t i;        // integer, boolean
    uint32_t u;       // name or operator index
    double d;         // real
  } w0;
  uint16_t offset;    // strings and arrays: offset into the body (bytes or elements)
  uint16_t length;    // strings and arrays: length
  uint16_t flags;     // type in bits 0-3, feFlag bits above
};

inline int feType(const feObject* v) { return v->flags & feFlagTypeMask; }
inline bool feIsExec(const feObject* v) { return (v->flags & feFlagExec) != 0; }
inline bool feIsSimple(const feObject* v) { return (v->flags & feFlagSimple) != 0; }

// Bodies. Reference counts are 32 bits in memory so they never wrap; a body
// is freed when its count falls below 1. The data follow the head.
struct alignas(8) feStringBody {
  uint32_t refs;
  uint16_t length;   // bytes in the body
  uint32_t serial;
};
inline uint8_t* feStringBytes(feStringBody* b) { return reinterpret_cast<uint8_t*>(b + 1); }

struct alignas(8) feArrayBody {
  uint32_t refs;
  uint16_t length;   // elements in the body
  uint32_t serial;
};
inline feObject* feArrayElems(feArrayBody* b) { return reinterpret_cast<feObject*>(b + 1); }

struct feDictEntry {
  feObject key;      // type feTEmpty: a free slot
  feObject value;
};

struct feDictBody {
  uint32_t refs;
  uint16_t capacity;
  uint16_t used;
  uint32_t serial;
  feDictEntry* entries;
};

// The head of every program-object record: its class id and a saturating
// reference count (255: permanent, never changed).
struct feObjRecord {
  uint16_t classId;
  uint8_t refCount;
};
enum { feObjPermanent = 255 };

// Makers store a complete value into slot and answer 0.
int feMakeInt(feObject* slot, int32_t value);            // flags 0x107
int feMakeReal(feObject* slot, double value);            // flags 0x108
int feMakeBool(feObject* slot, int32_t value);           // flags 0x102; not 0/1: trace alert "TBad value in feMakeBool"
int feMakeNull(feObject* slot);                          // flags 0x101
int feMakeMark(feObject* slot);                          // flags 0x103
// A reference to a program-object record (flags 6); raises the record's
// count (not beyond 255). A null record gives a null value.
int feMakeObjRef(feObject* slot, void* record);
// The record of a type-6 value: 0 when className is null or the record is in
// that class or a subclass; a null value answers a null record and 0; any
// other value answers a null record and 269.
int feGetObjRef(const feObject* value, const char* className, void** out);
// The saturating count of a program-object record: retain raises it (not
// beyond 255); release lowers it and sends message 100 (free) to the record
// when it reaches 0. A count of 255 is permanent and never changes; a count
// already at 0 is left alone. Null records are ignored.
void feObjRefRetain(void* record);
void feObjRefRelease(void* record);

int32_t feGetInt(const feObject* value);
void feSetIntValue(feObject* value, int32_t i);          // word0 only, flags unchanged
int32_t feGetBool(const feObject* value);                // the stored 0 or 1
// Copies the real into one static cell and answers its address; the next
// call overwrites it.
double* feGetRealPtr(const feObject* value);
// An integer as a double, a real as its value (and bit 0 of *flag set), any
// other type 0.0. flag may be null.
double feGetNumber(const feObject* value, uint32_t* flag);
double* feGetNumberPtr(const feObject* value, uint32_t* flag);

// The shared true and false values.
const feObject* feTrue();
const feObject* feFalse();

// The serial counter: every new string, array and dictionary body takes the
// next number.
uint32_t feSerialNext();
uint32_t feSerialPeek();
void feSerialAtLeast(uint32_t v);   // raises the counter to v + 1 when v is not below it
void feSerialSet(uint32_t v);

#endif
