#pragma once
// The program's path operations. A path splits at its last '\' or ':'; comparisons are exact.
#include <string>

namespace convert {

std::u16string ExtractFileName(const std::u16string& path);  // after the separator
std::u16string ExtractFilePath(const std::u16string& path);  // up to and including it
std::u16string ExtractFileDir(const std::u16string& path);   // before it
// The extension starts at the last '.' after the separator, unless that '.' is the path's first character.
std::u16string ChangeFileExt(const std::u16string& path, const std::u16string& extension);
// The folder a file dialog opens in for this path: ExtractFileDir, except that a drive's root
// stays "C:\" and a bare drive "C:" rather than becoming the drive-relative "C:" or "C".
std::u16string DialogFolder(const std::u16string& path);
// The file name without its extension, by the same rule applied to the name alone.
std::u16string FileNameWithoutExt(const std::u16string& path);

}  // namespace convert
