// Translation of user-interface texts. A text that begins with "@" is never
// translated: the "@" only marks it, and the text after it is used. Other
// texts go through the translation table of the direction; with no table
// loaded they stay as they are.
#ifndef PLUMET_CORE_XLATE_H
#define PLUMET_CORE_XLATE_H

// Sets *out to the text to use and answers 0 when it was found or marked
// with "@", -1 when it stays untranslated (*out is then text itself). A null
// text counts as empty.
int xlateStr(int direction, const char* text, const char** out);

#endif
