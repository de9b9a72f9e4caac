// The texts the dialog's start-up adds.
#pragma once

#include "base/ui_language.h"

namespace sorrel::qt::qt_texts {

inline constexpr TextPair kNoDisplay{
    u"sorrel: 画面に接続できないため、ダイアログを表示できません。"
    u"画面のない環境での変換は sorrelc から行ってください。\n",
    u"sorrel: Cannot connect to a display, so the dialog cannot be shown. "
    u"Run conversions without a display with sorrelc.\n"};

}  // namespace sorrel::qt::qt_texts
