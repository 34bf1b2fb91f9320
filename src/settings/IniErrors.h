#pragma once
// The errors of the settings file. Each names the file by its full path. The program's own
// texts end without a full stop, as the system's do: the error box appends one.
#include <string>

#include "platform/Exception.h"

namespace settings {

class EIniFileError : public platform::Exception {
 public:
  using platform::Exception::Exception;
};

// The file exists but could not be read; systemText says why.
class EIniOpenError : public EIniFileError {
 public:
  EIniOpenError(const std::u16string& path, const std::u16string& systemText);
};

// The file is not UTF-8 text. Reading it as empty would let the next flush erase it.
class EIniEncodingError : public EIniFileError {
 public:
  explicit EIniEncodingError(const std::u16string& path);
};

// A flush failed; the file is as it was before.
class EIniCreateError : public EIniFileError {
 public:
  EIniCreateError(const std::u16string& path, const std::u16string& systemText);
};

// A section name, name or value held CR or LF, which a line cannot carry; nothing was written.
class EIniLineBreakError : public EIniFileError {
 public:
  explicit EIniLineBreakError(const std::u16string& path);
};

// A section name, name or value held a surrogate without its partner, which UTF-8 cannot
// carry; nothing was written.
class EIniSurrogateError : public EIniFileError {
 public:
  explicit EIniSurrogateError(const std::u16string& path);
};

}  // namespace settings
