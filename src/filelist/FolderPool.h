#pragma once
// The folders of the rows, each kept once: a large folder gives thousands of rows that share
// one folder text, and a row holds only its number.

#include <cstdint>
#include <string>
#include <string_view>

namespace filelist {

using FolderId = std::uint32_t;

// The number of a folder text; the same text always gives the same number. The texts are
// kept for the life of the process, which adds folders by the thousand, not by the million.
FolderId InternFolder(std::string_view folder);
// The text of a number InternFolder gave; the reference stays valid.
const std::string& FolderAt(FolderId id);

}  // namespace filelist
