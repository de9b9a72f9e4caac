// The About box's logic without any toolkit: what the box is given, the
// version text and the links built from the version block, the rule that
// locks the page buttons, the temporary file's path and the text of the
// environment report with its confirmation.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "base/ui_language.h"
#include "gui/version_info.h"

namespace sorrel {

// Control ids of the About box.
namespace about_ids {
inline constexpr int kClose = 2;
inline constexpr int kVersion = 2002;
inline constexpr int kLinks = 2003;
inline constexpr int kDescription = 2004;
inline constexpr int kEnvironment = 2005;
inline constexpr int kContribution = 2006;
inline constexpr int kIcon = 2007;
inline constexpr int kFeedback = 2009;
}  // namespace about_ids

// What the box shows and opens, for its whole life.
struct AboutBoxInfo {
  UiLanguage language = UiLanguage::English;
  int icon_id = 107;
  std::u16string title;                        // start of the version text, caption of error boxes
  std::optional<std::u16string> site;          // none: no site block
  std::optional<std::u16string> contact;       // a web page, or an e-mail address
  std::optional<std::u16string> contribution;  // none: the Contribution button is hidden
  std::u16string description;
  std::optional<std::u16string> feedback;  // none: the Feedback button is hidden
};

// The maker's site.
inline constexpr char16_t kMakerSite[] = u"https://fenwrightans.example/";

// The record the main dialog's About command gives the box in language.
AboutBoxInfo MakeAboutBoxInfo(UiLanguage language);

// True unless contact starts with "http://" or "https://", case ignored.
bool IsEmailAddress(std::u16string_view contact);

// The version text, its first line "Sorrel ver.1.50.00β [2021/04/19] (x64) "
// (the special build "beta" reads "β" and "alpha" reads "α" in Japanese only;
// a version with fewer than four numbers counts the missing ones as 0),
// then the description and the copyright on lines of their own. processor
// is the tag in the parentheses.
std::u16string VersionText(const AboutBoxInfo& info, const VersionStrings& version,
                           std::u16string_view processor);

// The link control's text, in the link markup "<a id="target">text</a>",
// lines separated by CR LF: the site block, the contact block (an e-mail
// address is opened as "mailto:" and the address) and, in Japanese with a
// contact, the note on mail filters.
std::u16string LinkText(const AboutBoxInfo& info);

// The buttons locked for a while after a page or a link is opened, so that
// a second click cannot open it twice, and for how long.
inline constexpr std::array<int, 3> kLockedButtons = {
    about_ids::kEnvironment, about_ids::kContribution, about_ids::kFeedback};
inline constexpr int kLockMilliseconds = 1000;

// The error text when target could not be opened: from_link picks the text
// for a link, otherwise the one for a button.
std::u16string CannotOpenText(UiLanguage language, std::u16string_view target, bool from_link);

// The temporary file the box deletes when it closes: in temp_folder, or in
// the current folder when temp_folder is empty.
std::string AboutTempFilePath(std::string_view temp_folder);

// The report followed by the client section: the first line of the version
// text (at most its first 299 characters, cut at the first control
// character).
std::u16string ReportWithClient(std::u16string_view report, std::u16string_view version_text);

// The confirmation shown before copying: the report, a rule and the question.
std::u16string ReportConfirmation(UiLanguage language, std::u16string_view report);

}  // namespace sorrel
