// Message texts shared by every platform backend.
#include "platform/errors.h"

namespace qvhelp {

std::string TrimOsErrorText(std::string text) {
  while (!text.empty()) {
    const unsigned char last = static_cast<unsigned char>(text.back());
    if (last > 0x20 && last != '.') break;
    text.pop_back();
  }
  return text;
}

void RaiseOpenError(const std::string& full_name, const std::string& os_text) {
  Raise<EFOpenError>("Cannot open file \"" + full_name + "\". " + os_text);
}

void RaiseCreateError(const std::string& full_name, const std::string& os_text) {
  Raise<EFCreateError>("Cannot create file \"" + full_name + "\". " + os_text);
}

}  // namespace qvhelp
