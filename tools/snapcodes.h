// Snap-code strings: the letters the snap engine walks, each proposing one
// kind of point, in groups separated by blanks. This module reads the
// strings (letters, [class] filters, H<n> radius changes, group ends),
// keeps the shared default string and tells which letters the snap mask
// can disable.
#ifndef PLUMET_TOOLS_SNAPCODES_H
#define PLUMET_TOOLS_SNAPCODES_H

#include <cstdint>
#include <string>

// The snap-mask bit of a letter (e 0x002, m 0x004, c 0x020, q 0x040,
// v 0x080, % 0x100, i 0x001, B and f 0x200, g 0x400); 0 for a letter that
// is always enabled.
uint32_t snapLetterBit(int letter);
// True for a letter the engine acts on; every other byte (digits, '<',
// '>', 'x', bytes with the high bit set, ...) is skipped.
bool snapLetterKnown(int letter);
// True when the letter acts under the mask: a letter without a bit always.
bool snapLetterEnabled(int letter, uint32_t mask);

// The shared default string "ecqxm%vtpi rbai Ai gi o". It is writable: the
// point-input tools set and clear high bits in it to switch letters off
// for a while (such letters are skipped).
char* snapDefaultCodes();
// Puts the default string back as built (tests, start-up).
void snapDefaultCodesReset();

// The string walked for a snap: with a typed key k (0 for none; an
// upper-case letter is folded to lower case) "k " followed by at most the
// first 60 characters of the codes; else the codes as they are. A null
// codes string counts as empty.
std::string snapWalkString(const char* codes, int typedKey);

enum : int { snapFilterMax = 31 };

// One step of a walk.
struct snapToken {
  int letter;                        // the letter; ' ' at a group end, 0 at the end of the string
  char filter[snapFilterMax + 1];    // the [class] filter after the letter, "" when none
  int radius;                        // for H: the new accept radius in pixels, -1 for a bare H
                                     // (halve), -2 when H<... lacked its '>' (no change)
};

// Reads the next step at *cursor and advances it. Unknown bytes and
// letters with the high bit set are passed over. A filter runs from '['
// to the next ']' (or the end of the string); names longer than 31
// characters are cut. H takes "<digits>" when a '>' follows within 12
// characters. Answers the letter (as token->letter).
int snapNextToken(const char** cursor, snapToken* token);

#endif
