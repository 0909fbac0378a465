// Small helpers shared by the files of the layer.
#include "layer.h"

#include <cstring>

namespace pl {

size_t copyTruncated(std::string_view text, char* buffer, size_t size) {
  if (!buffer || size == 0) return 0;
  size_t n = text.size() < size - 1 ? text.size() : size - 1;
  if (n) std::memcpy(buffer, text.data(), n);
  buffer[n] = 0;
  return n;
}

bool equalNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]);
    unsigned char y = static_cast<unsigned char>(b[i]);
    if (x >= 'a' && x <= 'z') x -= 'a' - 'A';
    if (y >= 'a' && y <= 'z') y -= 'a' - 'A';
    if (x != y) return false;
  }
  return true;
}

}  // namespace pl
