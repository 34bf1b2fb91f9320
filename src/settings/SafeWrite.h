#pragma once
// Rewrites a file so that its name names a whole file at every moment, the old one or the new:
// the bytes go to a temporary file of a name of its own beside the target (beside the link's
// target for a link), reach the disk, take what the user may set of the old file's access
// list, attributes and creation time, and then take the name in one rename. The old file is
// held exclusively while the new one is written, so a file another process has open is
// refused at once; so is the rename, should another process open it in between.
#include <functional>
#include <string>
#include <string_view>

#include "platform/Files.h"

namespace settings {

// existed: whether a file was at path when its content was loaded. Without one, the new file
// takes the name only while no other file has it. Raises platform::EOSError; the file is then
// unchanged and no temporary file is left. The content is handed over in pieces: produce is
// called once and passes each piece, in order, to the writer it gets; an error it raises also
// leaves the file unchanged.
using TContentWriter = std::function<void(std::string_view piece)>;
void WriteFileSafely(platform::IFileSystem& files, const std::u16string& path, bool existed,
                     const std::function<void(const TContentWriter&)>& produce);

}  // namespace settings
