#pragma once
// The application's error box: how an error raised in a handler reaches the user.
#include <exception>
#include <string>

#include "platform/Platform.h"

namespace platform {

// The executable's file name up to its first '.', every character after the first in lower case.
std::u16string ErrorBoxTitle(const std::u16string& exePath);
// The message with "." appended when its last character has a higher code than '.'.
std::u16string ErrorBoxText(const std::u16string& message);
// Shows the error of a handler that ended with it.
void ShowException(const std::exception& error, THandle owner = 0);

}  // namespace platform
