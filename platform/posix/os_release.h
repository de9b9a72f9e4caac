// The distribution's display name from the text of /etc/os-release.
#pragma once

#include <string>
#include <string_view>

namespace sorrel::platform {

// PRETTY_NAME, else NAME, from content in the os-release format (KEY=value
// lines; a value may be quoted with " or ' and, in double quotes, hold the
// escapes \" \\ \$ \`). Empty when neither is there.
std::string OsReleaseName(std::string_view content);

}  // namespace sorrel::platform
