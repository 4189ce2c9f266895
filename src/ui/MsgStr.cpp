#include "ui/MsgStr.h"

#include "ProgramInfo.h"
#include "engine/TymoUtils.h"

namespace ui::msg {

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToolbarHint(const TCommandText& command) {
    return engine::StripAmpersand(std::string(command.caption)) + "|" + std::string(command.hint);
}

std::string_view Copyright() {
    return programinfo::kCopyright;
}

}  // namespace ui::msg
