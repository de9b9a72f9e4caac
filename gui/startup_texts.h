// The texts sorrel shows while it starts.
#pragma once

#include "platform/ui_language.h"

namespace sorrel::startup_texts {

// The title of the program: the caption of every box it shows.
inline constexpr TextPair kTitle{u"Sorrel", u"Sorrel"};

inline constexpr TextPair kDamagedProgram{u"プログラムファイルが壊れているため、起動できません。",
                                          u"The program file is damaged; Sorrel cannot start."};

}  // namespace sorrel::startup_texts
