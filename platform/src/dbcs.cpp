// Double-byte character sets. The layer works in code page 932, whose lead
// bytes are 0x81-0x9F and 0xE0-0xFC; a byte of any other code page is never
// taken for a lead byte.
#include "layer.h"

namespace {
constexpr UINT kCodePage = 932;
constexpr UINT kCpAcp = 0;  // "the system code page"
}  // namespace

extern "C" UINT WINAPI GetACP(void) { return kCodePage; }

extern "C" BOOL WINAPI IsDBCSLeadByteEx(UINT CodePage, BYTE TestChar) {
  if (CodePage != kCpAcp && CodePage != kCodePage) return FALSE;
  return (TestChar >= 0x81 && TestChar <= 0x9F) || (TestChar >= 0xE0 && TestChar <= 0xFC) ? TRUE : FALSE;
}

extern "C" BOOL WINAPI IsDBCSLeadByte(BYTE TestChar) { return IsDBCSLeadByteEx(kCodePage, TestChar); }
