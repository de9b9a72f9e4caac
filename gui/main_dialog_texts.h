// The texts of the main dialog that its logic sets: the line-end list, the
// Start caption, the open-file dialog.
#pragma once

#include "base/ui_language.h"

namespace sorrel::main_dialog_texts {

inline constexpr TextPair kLineEndItems[3] = {
    {u"CR+LFに統一(単独のCR、または単独のLFがあれば、CR+LFに変換)", u"CR or LF -> CRLF"},
    {u"LFに統一   (単独のCR、またはCR+LFがあれば、LFに変換)", u"CR or CRLF -> LF"},
    {u"CRに統一   (単独のLF、またはCR+LFがあれば、CRに変換)", u"LF or CRLF -> CR"},
};

inline constexpr TextPair kStart{u"開始(&S)", u"&Start"};
inline constexpr TextPair kStartRunning{u"処理中...(Esc:中止)", u"... (Esc:Abort)"};

inline constexpr TextPair kBrowseTitle{u"検索対象ファイルの選択", u"Choose a file"};
inline constexpr TextPair kBrowseFilter{u"すべてのファイル(*.*)", u"All Files(*.*)"};

}  // namespace sorrel::main_dialog_texts
