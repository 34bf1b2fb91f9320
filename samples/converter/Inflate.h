#pragma once
// Raw deflate decompression, as a zip entry with method 8 stores its data.
#include <cstdint>
#include <string>
#include <string_view>

namespace halvorn {

// Decompresses one complete deflate stream; raises std::runtime_error on malformed data or
// when the output would pass maxSize bytes.
std::string Inflate(std::string_view compressed, std::size_t maxSize);

}  // namespace halvorn
