// The texts sorrel shows while it starts.
#pragma once

#include "platform/ui_language.h"

namespace sorrel::startup_texts {

// The title of the program: the caption of every box it shows.
inline constexpr TextPair kTitle{u"Sorrel", u"Sorrel"};

inline constexpr TextPair kDamagedProgram{u"プログラムファイルが壊れているため、起動できません。",
                                          u"The program file is damaged; Sorrel cannot start."};

inline constexpr TextPair kNoDialogYet{
    u"sorrel: このビルドにはまだダイアログがありません。変換は sorrelc から行ってください。\n",
    u"sorrel: This build has no dialog yet; run conversions with sorrelc.\n"};

}  // namespace sorrel::startup_texts
