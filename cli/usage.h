// sorrelc's usage text.
#pragma once

#include <string>

#include "platform/ui_language.h"

namespace sorrel::cli {

// The usage text in lang as the bytes written to standard output (UTF-8 on
// Linux): every line ends in LF, and one more LF follows the last.
std::string UsageText(UiLanguage lang);

}  // namespace sorrel::cli
