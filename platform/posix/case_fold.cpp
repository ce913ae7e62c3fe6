#include "platform/posix/case_fold.h"

namespace qvhelp::platform::posix {

char32_t UpperCaseBeyondAscii(char32_t c) {
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 32;
  if (c == 0xFF) return 0x178;
  if (c >= 0x100 && c <= 0x17F) {
    // Latin Extended-A pairs upper and lower case as even and odd, apart from two runs that
    // pair them as odd and even.
    const bool odd_upper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    if (c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F) return c;
    return odd_upper ? ((c & 1) ? c : c - 1) : (c & ~char32_t{1});
  }
  if (c == 0x3C2) return 0x3A3;
  if (c >= 0x3B1 && c <= 0x3C9) return c - 32;
  if (c >= 0x430 && c <= 0x44F) return c - 32;
  if (c >= 0x450 && c <= 0x45F) return c - 80;
  return c;
}

bool SameName(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i] && UpperCase(a[i]) != UpperCase(b[i])) return false;
  }
  return true;
}

}  // namespace qvhelp::platform::posix
