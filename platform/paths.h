// The path seam: how the platform writes file names. Where a path's folder
// part ends, how a name joins a folder, what a program's file is called, and
// the full path of a command-line target.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace sorrel::platform {

// The length of path's folder part with its last separator ('/' on POSIX;
// '\', '/' or a drive's colon on Windows); 0 when it has none.
size_t FolderPartLength(std::u16string_view path);

// name in folder, joined by the platform's separator unless folder already
// ends in one ("/", "C:\"); name alone when folder is empty.
std::string JoinPath(std::string_view folder, std::string_view name);

// The file name of the program called stem: stem itself on POSIX,
// stem + ".exe" on Windows.
std::string ExecutableFileName(std::string_view stem);

// The full path of a command-line target, relative to current_directory
// (absolute; empty when it is unknown). Nothing need exist and wildcards stay
// as they are. On POSIX the parts are joined and empty and "." parts
// dropped, ".." is kept for the kernel to resolve after a symbolic link, and
// a target that ends in a slash keeps it; on Windows the system's full-path
// function forms it. False, with *full left alone, for an empty target, a
// relative target without an absolute current_directory, and a result of
// kMaxPathBytes or more, which is never cut.
bool FormFullPath(std::string_view current_directory, std::string_view target, std::string* full);

// The absolute path of the current directory; empty when it cannot be had.
std::string CurrentDirectory();

// Whether anything is there under name; a link counts, wherever it leads.
bool NameExists(const std::string& name);

}  // namespace sorrel::platform
