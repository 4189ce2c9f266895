#include "ui/MsgStr.h"

#include "ProgramInfo.h"
#include "engine/TymoUtils.h"

namespace ui::msg {

std::string ToolbarHint(const TCommandText& command) {
    return engine::StripAmpersand(std::string(command.caption)) + "|" + std::string(command.hint);
}

std::string_view Copyright() {
    return programinfo::kCopyright;
}

}  // namespace ui::msg
