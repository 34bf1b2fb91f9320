#pragma once
// Every error the program raises: what() is the message in UTF-8, Message() the same text in UTF-16.
#include <exception>
#include <string>
#include <string_view>
#include <variant>

namespace platform {

class Exception : public std::exception {
 public:
  explicit Exception(std::u16string message);
  const char* what() const noexcept override { return FUtf8.c_str(); }
  const std::u16string& Message() const noexcept { return FMessage; }

 private:
  std::u16string FMessage;
  std::string FUtf8;
};

// A failed operating-system call: its error code and the system's own text for it.
class EOSError : public Exception {
 public:
  EOSError(unsigned long code, std::u16string systemText);
  // The message names the failed operation first: "<what>: <system text>".
  EOSError(std::u16string_view what, unsigned long code, std::u16string systemText);
  unsigned long Code() const noexcept { return FCode; }
  const std::u16string& SystemText() const noexcept { return FSystemText; }

 private:
  unsigned long FCode;
  std::u16string FSystemText;
};

// The program's fixed message templates: "%s" takes a text and "%g" a number (FormatG), in order;
// placeholders beyond the arguments stay as written.
using TFormatArg = std::variant<std::u16string_view, double>;
std::u16string Format(std::u16string_view pattern, std::initializer_list<TFormatArg> args);

}  // namespace platform
