// The images built into the program: the program icon and the feedback
// banner of the Japanese dialog.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace sorrel::qt {

// The program icon in every size the program carries.
QIcon ProgramIcon();

// The 318 x 16 banner asking for feedback through Help.
QPixmap FeedbackBanner();

}  // namespace sorrel::qt
