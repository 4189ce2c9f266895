#include "app/CliHost.h"

namespace app {

void TCliHost::ShowMessage(const std::string& text, const std::string&) {
    errors_ << "kelvane-cli: " << text << "\n";
    refused_ = true;
}

void TCliHost::ShowError(const std::string& path, const std::string& message) {
    errors_ << "kelvane-cli: " << path << ": " << message << "\n";
    failed_ = true;
}

void TCliHost::FileFailed(const std::string& path, const std::string& reason) {
    errors_ << "kelvane-cli: " << path << ": " << reason << "\n";
    failed_ = true;
}

}  // namespace app
