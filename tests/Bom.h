#pragma once
// The byte-order mark that every flushed settings file starts with.
#include <string>

namespace quorvel_test {

inline const std::string cBom = "\xEF\xBB\xBF";

}  // namespace quorvel_test
