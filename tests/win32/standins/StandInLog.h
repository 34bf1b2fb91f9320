#pragma once
// What both stand-ins share: a log beside their own executable and their raw command line.
#include <string>

namespace standin {

// The running executable's path with its extension replaced by ".log".
std::u16string LogPath();

// Appends one line in UTF-8; one write per line, so that processes sharing a log do not mix lines.
void Log(const std::u16string& line);

// The command line after the program's own name, split off as Windows does it: up to the
// closing quote when it starts with one, else up to the first blank; then the blanks after it.
std::u16string Parameters(const std::u16string& commandLine);

std::u16string CommandLine();
std::u16string CurrentDirectory();

// Text after the last \, / or :.
std::u16string FileNamePart(const std::u16string& path);

}  // namespace standin
