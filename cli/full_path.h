// The full path of a target, as it is stored for the GUI program.
#pragma once

#include <string>
#include <string_view>

namespace sorrel::cli {

// Joins a relative target to current_directory (absolute) and collapses
// repeated slashes, "." and ".." by the text alone: nothing need exist, links
// are not followed, wildcards stay as they are, ".." at the root stays at the
// root, and a target that ends in a slash keeps it. False, with *full left
// alone, for an empty target, a relative target when current_directory is
// not absolute (empty when it is unknown), and a result of the platform's
// longest path (kMaxPathBytes) or more, which is never cut.
bool FormFullPath(std::string_view current_directory, std::string_view target, std::string* full);

}  // namespace sorrel::cli
