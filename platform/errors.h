// The program's error kinds: typed exceptions that carry the kind's name, the message and the
// address of the code that raised them, which the failure report prints.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>
#include <utility>

namespace qvhelp {

class Error : public std::exception {
 public:
  Error(std::string_view kind, std::string message, const void* raise_address)
      : kind_(kind), message_(std::move(message)), raise_address_(raise_address) {}

  const char* what() const noexcept override { return message_.c_str(); }
  std::string_view Kind() const { return kind_; }
  const std::string& Message() const { return message_; }
  const void* RaiseAddress() const { return raise_address_; }

 private:
  std::string_view kind_;
  std::string message_;
  const void* raise_address_;
};

#define QVHELP_ERROR_KIND(Name)                              \
  class Name : public Error {                                \
   public:                                                   \
    Name(std::string message, const void* raise_address)     \
        : Error(#Name, std::move(message), raise_address) {} \
  }

QVHELP_ERROR_KIND(EFOpenError);
QVHELP_ERROR_KIND(EFCreateError);
QVHELP_ERROR_KIND(EReadError);
QVHELP_ERROR_KIND(EWriteError);
QVHELP_ERROR_KIND(EStringListError);
QVHELP_ERROR_KIND(ERegistryException);

#undef QVHELP_ERROR_KIND

// Raises an error of kind E whose position is the code that called Raise. Kept out of line so
// that its return address lies in the raising function.
template <class E>
[[noreturn, gnu::noinline]] void Raise(std::string message) {
  throw E(std::move(message), __builtin_return_address(0));
}

// The operating system's text for an error, as the messages show it: every trailing byte from
// 0x00 to 0x20 and every trailing full stop removed.
std::string TrimOsErrorText(std::string text);

// "Cannot open file "<full name>". <os text>" and its creating twin, raised by the file
// operations of the platform layer.
[[noreturn]] void RaiseOpenError(const std::string& full_name, const std::string& os_text);
[[noreturn]] void RaiseCreateError(const std::string& full_name, const std::string& os_text);

}  // namespace qvhelp
