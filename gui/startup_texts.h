// The texts sorrel shows while it starts.
#pragma once

#include "base/ui_language.h"

namespace sorrel::startup_texts {

// The title of the program: the caption of every box it shows.
inline constexpr TextPair kTitle{u"Sorrel", u"Sorrel"};

inline constexpr TextPair kDamagedProgram{u"プログラムファイルが壊れているため、起動できません。",
                                          u"The program file is damaged; Sorrel cannot start."};

// How the settings file was found when it was loaded; "%s" is its path.
inline constexpr TextPair kSettingsDamaged{
    u"設定ファイル %s を解釈できないため、空の設定で始めます。"
    u"このファイルは次に設定を保存するときに別の名前で残します。",
    u"Cannot parse the settings file %s. Started with empty settings; the file will be kept "
    u"under another name when the settings are next saved."};
inline constexpr TextPair kSettingsNotRegular{
    u"設定ファイル %s が通常のファイルではないため、空の設定で始めます。",
    u"The settings file %s is not a regular file. Started with empty settings."};
inline constexpr TextPair kSettingsUnreadable{
    u"設定ファイル %s を読み込めないため、空の設定で始めます。",
    u"Cannot read the settings file %s. Started with empty settings."};

// The window's library beside the program cannot be loaded: "%s" is its
// path, then the system's reason.
inline constexpr TextPair kCannotLoadWindow{
    u"sorrel: ダイアログの部品 %s を読み込めないため、ダイアログを表示できません - %s\n",
    u"sorrel: Cannot load %s, so the dialog cannot be shown - %s\n"};

// The reasons kCannotLoadWindow gives when the library was found.
inline constexpr TextPair kDamagedFile{u"ファイルが壊れています", u"the file is damaged"};
inline constexpr TextPair kOtherBuild{u"別のビルドのファイルです",
                                      u"the file belongs to another build"};

}  // namespace sorrel::startup_texts
