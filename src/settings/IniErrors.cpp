#include "settings/IniErrors.h"

namespace settings {

EIniOpenError::EIniOpenError(const std::u16string& path, const std::u16string& systemText)
    : EIniFileError(platform::Format(u"ファイル %s は開けません。 %s ", {path, systemText})) {}

EIniEncodingError::EIniEncodingError(const std::u16string& path)
    : EIniFileError(platform::Format(u"ファイル %s は UTF-8 のテキストではないため読み込めません", {path})) {}

EIniCreateError::EIniCreateError(const std::u16string& path, const std::u16string& systemText)
    : EIniFileError(platform::Format(u"ファイル \"%s\" を作成できません。%s", {path, systemText})) {}

EIniLineBreakError::EIniLineBreakError(const std::u16string& path)
    : EIniFileError(
          platform::Format(u"ファイル \"%s\" に改行を含むセクション名、キー名または値は書き込めません", {path})) {}

EIniSurrogateError::EIniSurrogateError(const std::u16string& path)
    : EIniFileError(platform::Format(
          u"ファイル \"%s\" に UTF-8 で表せない文字を含むセクション名、キー名または値は書き込めません", {path})) {}

}  // namespace settings
