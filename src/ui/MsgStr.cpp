#include "ui/MsgStr.h"

#include "ProgramInfo.h"

namespace ui::msg {

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string StripAmpersand(const std::string& text) {
    std::string result = text;
    const std::size_t amp = result.find('&');
    if (amp != std::string::npos)
        result.erase(amp, 1);
    return result;
}

std::string ToolbarHint(const TCommandText& command) {
    return StripAmpersand(std::string(command.caption)) + "|" + std::string(command.hint);
}

std::string_view Copyright() {
    return programinfo::kCopyright;
}

}  // namespace ui::msg
