// Program information for substitution into texts, the program option mask
// and the program's 16-millisecond clock.
#ifndef PLUMET_CORE_PROGINFO_H
#define PLUMET_CORE_PROGINFO_H

#include <cstdint>

// Kinds of program information.
enum {
  progInfoVersion = 0,  // "Version 6.1.8" (string resource 20)
  progInfoAbout = 1,    // the about-box text (string resource 18)
  progInfoName = 2,     // the program name (string resource 16)
  progInfoUser = 3,     // user and company, joined by a line feed
  progInfoThird = 4,    // the third information field
};

// Writes the text of kind into buffer (size characters, terminator
// included). The buffer first receives deflt (null: empty), cut to fit; it
// keeps it when the text is missing or does not fit. Answers 0, -2 for an
// unknown kind, -3 when the text is missing, empty or does not fit.
int progInfoString(int kind, int size, char* buffer, const char* deflt);

// Sets the user, company and third information fields (each cut to 127
// characters; null clears). They are empty until set.
void progSetInfoFields(const char* user, const char* company, const char* third);

// Bit n (0-31) of the program option mask (12: bits 2 and 3; bit 4 would be
// the two-byte text mode). False for any other n.
bool progOptionBit(int n);

// Time in 16-millisecond ticks since the first call (which answers 0), from
// GetTickCount; correct across the wrap of the millisecond count.
uint32_t uTicks();

// Forgets the first call, so that the next uTicks records the clock again
// and answers 0 (tests that drive the clock by hand).
void uTicksRestart();

#endif
