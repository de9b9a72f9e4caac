// How the platform writes paths: where a folder part ends, the separator it
// joins with, and the file name of the GUI program that sorrelc starts.
#pragma once

#include <string_view>

namespace sorrel {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
// A folder part ends at the last backslash, slash or drive colon.
inline constexpr std::u16string_view kFolderPartEnds = u"\\/:";
inline constexpr std::string_view kGuiProgramFile = "sorrel.exe";
inline constexpr std::string_view kIniGuiProgramFile = "sorrel_o.exe";
#else
inline constexpr char kPathSeparator = '/';
inline constexpr std::u16string_view kFolderPartEnds = u"/";
inline constexpr std::string_view kGuiProgramFile = "sorrel";
inline constexpr std::string_view kIniGuiProgramFile = "sorrel_o";
#endif

}  // namespace sorrel
