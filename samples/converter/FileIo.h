#pragma once
// Whole-file reads and safe replacing writes through Win32.
#include <optional>
#include <string>
#include <string_view>

namespace halvorn {

// nullopt when no file is there; raises std::runtime_error on any other failure.
std::optional<std::string> ReadWholeFile(const std::u16string& path);

// Writes a temporary file in the same folder, flushes it and moves it over path in one step,
// retrying for a short while when another process holds path open.
void WriteFileSafely(const std::u16string& path, std::string_view bytes);

std::u16string FullPath(const std::u16string& path);

}  // namespace halvorn
