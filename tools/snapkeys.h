// The snap engine's key letters: each snap code has a label (shown next to
// the feedback marker), and the first character of the label is the key
// that asks for that code while the mouse button is held.
//
// The built-in table has 16 entries; a translated copy, built at start-up
// from the text translations, is searched first.
#ifndef PLUMET_TOOLS_SNAPKEYS_H
#define PLUMET_TOOLS_SNAPKEYS_H

enum { snapKeyEntries = 16 };

// The label of a code ("endpoint" for 'e', "align:^0" for 'a', ...): the
// translated table's entry first, then the built-in one; the empty string
// for a code with no entry (and for 'n', whose label is empty).
const char* snapCodesForKey(int code);

// The code a typed character asks for: the code of the first entry whose
// label starts with it (translated table first, then built-in); the
// character itself when none does. An upper-case letter is folded to lower
// case first; 0 answers 0.
int snapCodeForChar(int character);

// Removes a pending key-down from the message queue and answers the code
// its key asks for, as snapCodeForChar does with its virtual-key code; 0
// when no key-down is pending.
int snapKeyTyped();

// Builds the translated table: for each built-in entry whose label the
// text translations translate, the code followed by the translated label.
// Nothing is built in two-byte text mode. Replaces an earlier copy.
void snapKeysTranslate(bool twoByteText);
// Drops the translated table (start-up state).
void snapKeysClearTranslated();

#endif
