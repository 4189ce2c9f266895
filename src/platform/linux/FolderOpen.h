#pragma once
// Folders opened without following a symbolic link anywhere on their path, and look-ups
// relative to a folder held open: the descriptors the Linux code works through.

#include <optional>
#include <string>

#include "platform/FileSystem.h"

namespace platform {

// The same look-up of an entry of an open folder: `path` names the entry, its last component
// being the entry's name in the folder `folderFd` holds open. The entry is reached relative to
// that folder, so that a folder search does not have the kernel walk the whole path again for
// each of its entries. `path` must not end in a separator.
std::optional<FindData> FindAt(int folderFd, const std::string& path,
                               LinkRule rule = LinkRule::Follow,
                               FileDetail detail = FileDetail::Shown);

// What a folder is opened for: listing its entries, or looking names up in it.
enum class FolderUse { List, LookUp };

// Opens the folder `path` (full, as FullPath makes it) without following a symbolic link
// anywhere on its path, however long the path is. A descriptor the caller closes, or -1 with
// errno set: ELOOP when a link lies on the path, ENOTDIR when something else than a folder does.
// The folders of a row were resolved when it was made, so a link met now was put there since.
int OpenFolderWithoutLinks(const std::string& path, FolderUse use);

// Why a folder could not be opened so (errno), in the words of the command line.
std::string FolderReason(int error);

}  // namespace platform
