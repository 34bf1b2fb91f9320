#pragma once
// Rewrites a file so that it is either wholly old or wholly new: the bytes go to a temporary
// file beside the target (beside the link's target for a link), reach the disk, take the old
// file's attributes, and then replace the old file in one step that keeps its access list,
// attributes, creation time and streams. The old file is held exclusively meanwhile, so a
// file another process has open is refused at once.
#include <functional>
#include <string>
#include <string_view>

#include "platform/Files.h"

namespace settings {

// Raises platform::EOSError; the file is then unchanged and no temporary file is left.
void WriteFileSafely(platform::IFileSystem& files, const std::u16string& path, std::string_view bytes);

// The same, with the content handed over in pieces: produce is called once and passes each
// piece, in order, to the writer it gets. An error it raises also leaves the file unchanged.
using TContentWriter = std::function<void(std::string_view piece)>;
void WriteFileSafely(platform::IFileSystem& files, const std::u16string& path,
                     const std::function<void(const TContentWriter&)>& produce);

}  // namespace settings
