// The version-block look-up over arbitrary bytes: every query stays inside the bytes, and
// GetVersionInfo answers a value, empty text, or its one error.
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "FuzzPlatform.h"
#include "app/VersionInfo.h"
#include "platform/Exception.h"
#include "platform/VersionBlock.h"

namespace {

// The value must be a piece of the block's own bytes.
void CheckInside(const std::optional<platform::TVersionBlock::TValue>& value, const std::vector<std::uint8_t>& bytes) {
  if (!value || value->Bytes.empty()) return;
  FUZZ_CHECK(value->Bytes.data() >= bytes.data() &&
             value->Bytes.data() + value->Bytes.size() <= bytes.data() + bytes.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quorvel_fuzz;
  TFuzzPlatform& os = TFuzzPlatform::Installed();
  // An exact-size copy, so that AddressSanitizer sees any read past the end.
  const std::vector<std::uint8_t> bytes(data, data + size);
  platform::TVersionBlock block(bytes);
  for (std::u16string_view path :
       {u"\\", u"\\VarFileInfo\\Translation", u"\\StringFileInfo", u"\\\\x\\",
        u"\\StringFileInfo\\040904E4\\FileVersion", u"\\StringFileInfo\\040904e4\\CompanyName"})
    CheckInside(block.Query(path), bytes);
  // A path made of the first bytes, as UTF-16, reaches names the fixed paths do not.
  std::u16string path;
  for (std::size_t i = 0; i + 1 < size && i < 64; i += 2) path += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
  CheckInside(block.Query(path), bytes);

  const std::u16string exe = u"C:\\fuzz\\Quorvel.exe";
  os.AppImpl.VersionBlocks[exe] = bytes;
  for (int key = app::vrComments; key <= app::vrSpecialBuild; ++key) {
    try {
      app::GetVersionInfo(exe, static_cast<app::TVerResourceKey>(key));
    } catch (const platform::Exception& error) {
      FUZZ_CHECK(error.Message() == u"情報の取得に失敗しました");
    }
  }
  return 0;
}
