#pragma once
// What the desktop tells about a kind of file: its type name and its icon, decided by the
// name's extension (and the folder bit), never by the file's content.

#include <string>

namespace platform {

// The type name of a file of that name, e.g. "PNG image"; folders give the folder type.
std::string TypeNameOf(const std::string& fileName, bool isFolder);

// An index into the process's icon list; the same icon always gives the same index.
int IconIndexOf(const std::string& fileName, bool isFolder);

// A kind of file as the desktop knows it, by number: names with the same extension (and
// folders) are of one kind, and a row keeps the kind rather than its texts. A kind's type name
// stays as it is for as long as the program runs.
int ShellKindOf(const std::string& fileName, bool isFolder);
const std::string& TypeNameOfKind(int kind);
int IconIndexOfKind(int kind);

// The theme icon name behind an index from IconIndexOf; empty for an unknown index.
std::string IconNameAt(int index);

}  // namespace platform
