#include "app/CliFrontEnd.h"

namespace app {

void TCliFrontEnd::ShowMessage(const std::string& text, const std::string&) {
    errors_ << "kelvane-cli: " << text << "\n";
    refused_ = true;
}

void TCliFrontEnd::ShowError(const std::string& path, const std::string& message, int filesLeft) {
    errors_ << "kelvane-cli: run stopped at " << path << ": " << message << "; " << filesLeft
            << (filesLeft == 1 ? " file" : " files") << " not processed\n";
    failed_ = true;
}

void TCliFrontEnd::FileFailed(const std::string& path, const std::string& reason) {
    Complain(path, reason);
}

void TCliFrontEnd::FolderNotSearched(const std::string& folder, const std::string& reason) {
    Complain(folder, "folder not searched: " + reason);
}

void TCliFrontEnd::Complain(const std::string& path, const std::string& reason) {
    errors_ << "kelvane-cli: " << path << ": " << reason << "\n";
    failed_ = true;
}

}  // namespace app
