#include "convert/PathRules.h"

namespace convert {

namespace {

// Index just after the last separator; 0 when there is none.
std::size_t NameStart(const std::u16string& path) {
  std::size_t at = path.find_last_of(u"\\:");
  return at == std::u16string::npos ? 0 : at + 1;
}

// Index of the extension's '.', or npos.
std::size_t ExtensionStart(const std::u16string& path) {
  std::size_t dot = path.find_last_of(u'.');
  if (dot == std::u16string::npos || dot < NameStart(path) || dot == 0) return std::u16string::npos;
  return dot;
}

}  // namespace

std::u16string ExtractFileName(const std::u16string& path) { return path.substr(NameStart(path)); }

std::u16string ExtractFilePath(const std::u16string& path) { return path.substr(0, NameStart(path)); }

std::u16string ExtractFileDir(const std::u16string& path) {
  std::size_t start = NameStart(path);
  return start == 0 ? std::u16string() : path.substr(0, start - 1);
}

std::u16string DialogFolder(const std::u16string& path) {
  std::size_t start = NameStart(path);
  if (start == 0) return {};
  bool driveRoot = start == 3 && path[1] == u':' && path[2] == u'\\';
  bool bareDrive = start == 2 && path[1] == u':';
  if (driveRoot || bareDrive) return path.substr(0, start);
  return path.substr(0, start - 1);
}

std::u16string ChangeFileExt(const std::u16string& path, const std::u16string& extension) {
  std::size_t dot = ExtensionStart(path);
  return (dot == std::u16string::npos ? path : path.substr(0, dot)) + extension;
}

std::u16string FileNameWithoutExt(const std::u16string& path) {
  std::u16string name = ExtractFileName(path);
  std::size_t dot = ExtensionStart(name);
  return dot == std::u16string::npos ? name : name.substr(0, dot);
}

}  // namespace convert
