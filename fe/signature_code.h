// The compiled form of a signature, shared by the compiler and the argument
// machine. It is never stored (the compiled image keeps operators by table
// index), so it only has to be compact and quick to walk.
//
// A program is an array of 16-bit words:
//   header (kHeaderWords words, see the Header* indices below),
//   the input elements, the result elements,
//   the documentation: its length in bytes, then its text padded to words.
//
// One element:
//   word   type (kTypeMask) | kConst | kClass
//   word   slot: an outermost input's index in the argument list; an
//          outermost result's byte offset in the result area; a group
//          member's byte offset in its group's block
//   kConst the constant the handler receives instead of an operand:
//          B I: 2 words (int32); R: 4 words (double); P: 4 words (the
//          parameter word); S C: a length word, then the text with a
//          terminator, padded to words
//   kClass the class text: a length word, then the text with a terminator,
//          padded to words
//   groups (A, AP, AV): the member count, the block's byte offset in its
//          area, the block's size, then the members
#ifndef PLUMET_FE_SIGNATURE_CODE_H
#define PLUMET_FE_SIGNATURE_CODE_H

#include <cstddef>
#include <cstdint>

namespace fesig {

enum Type : uint16_t {
  kO = 1,    // any value
  kB = 2,    // boolean
  kS = 3,    // characters and length
  kI = 4,    // I L l i: 32-bit integer
  kR = 5,    // R D: double
  kA = 6,    // group
  kAP = 7,   // group converted as a point
  kAV = 8,   // group converted as a direction
  kP = 9,    // the parameter word
  kQ = 10,   // program-object record
  kAI = 11,  // AI AL Al Ai: list of integers
  kAR = 12,  // AR AD: list of doubles
  kAS = 13,  // list of texts
  kC = 14,   // terminated copy
};

enum : uint16_t {
  kTypeMask = 0x001F,
  kConst = 0x0020,
  kClass = 0x0040,
};

// Header words.
enum : int {
  kHeaderMarker = 0,   // kMarker | kBang
  kHeaderOperands,     // operands taken from the stack
  kHeaderInputs,       // entries of the argument list
  kHeaderResults,      // result slots
  kHeaderInArea,       // bytes of the input group blocks
  kHeaderOutArea,      // bytes of the result slots and result group blocks
  kHeaderResultStart,  // word index of the first result element
  kHeaderDocStart,     // word index of the documentation's length word
  kHeaderWords
};

enum : uint16_t {
  kMarker = 0x5300,
  kMarkerMask = 0xFF00,
  kBang = 0x0001,  // the handler's answer is ignored
};

inline bool isGroup(uint16_t type) { return type == kA || type == kAP || type == kAV; }

// Words taken by a text of n bytes with its terminator.
inline size_t textWords(size_t n) { return (n + 2) / 2; }

}  // namespace fesig

#endif
