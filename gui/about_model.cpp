// The About box's texts and rules.
#include "gui/about_model.h"

#include <algorithm>

#include "base/text_format.h"
#include "base/utf.h"
#include "gui/about_texts.h"
#include "gui/startup_texts.h"
#include "platform/paths.h"

namespace sorrel {
namespace {

constexpr size_t kVersionTextLimit = 299;

bool StartsWithNoCase(std::u16string_view text, std::u16string_view prefix) {
  if (text.size() < prefix.size()) return false;
  return std::equal(prefix.begin(), prefix.end(), text.begin(), [](char16_t a, char16_t b) {
    auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; };
    return lower(a) == lower(b);
  });
}

// The four numbers of a dotted version; a number that is missing or not
// digits ends the parse and it and the rest count as 0.
std::array<unsigned, 4> VersionNumbers(std::u16string_view text) {
  std::array<unsigned, 4> numbers{};
  size_t at = 0;
  for (unsigned& number : numbers) {
    const size_t start = at;
    while (at < text.size() && text[at] >= u'0' && text[at] <= u'9') {
      number = number * 10 + static_cast<unsigned>(text[at] - u'0');
      ++at;
    }
    if (at == start || at >= text.size() || text[at] != u'.') break;
    ++at;
  }
  return numbers;
}

std::u16string Decimal(unsigned n) {
  return FormatText(u"%d", {int64_t{n}});
}

std::u16string SpecialBuildText(UiLanguage language, std::u16string_view special) {
  if (language == UiLanguage::Japanese) {
    if (special == u"beta") return u"β";
    if (special == u"alpha") return u"α";
  }
  return std::u16string(special);
}

}  // namespace

AboutBoxInfo MakeAboutBoxInfo(UiLanguage language) {
  const std::u16string site = kMakerSite;
  AboutBoxInfo info;
  info.language = language;
  info.icon_id = 107;
  info.title = startup_texts::kTitle.In(language);
  info.site = site;
  info.contact = site + u"mail.html";
  info.contribution = site + u"kifu.html";
  info.description = about_texts::kDescription.In(language);
  info.feedback = site + u"ifa.php?SORREL";
  return info;
}

bool IsEmailAddress(std::u16string_view contact) {
  return !StartsWithNoCase(contact, u"http://") && !StartsWithNoCase(contact, u"https://");
}

std::u16string VersionText(const AboutBoxInfo& info, const VersionStrings& version,
                           std::u16string_view processor) {
  const std::array<unsigned, 4> n = VersionNumbers(version.file_version);
  std::u16string revision = Decimal(n[3]);
  if (revision.size() < 2) revision.insert(0, 2 - revision.size(), u'0');
  std::u16string text = info.title + u" ver." + Decimal(n[0]) + u"." + Decimal(n[1]) +
                        Decimal(n[2]) + u"." + revision +
                        SpecialBuildText(info.language, version.special_build);
  text += u" [" + version.private_build + u"] (" + std::u16string(processor) + u") ";
  text += u"\r\n" + version.file_description + u"\r\n" + version.legal_copyright;
  return text;
}

std::u16string LinkText(const AboutBoxInfo& info) {
  const std::u16string site = info.site.value_or(u"");
  const std::u16string contact = info.contact.value_or(u"");
  const bool email = info.contact && IsEmailAddress(contact);
  std::u16string contact_label;
  if (info.contact)
    contact_label = email ? about_texts::kEmailLabel : about_texts::kContactLabel.In(info.language);
  const std::u16string note = info.contact && info.language == UiLanguage::Japanese
                                  ? std::u16string(about_texts::kMailNote)
                                  : std::u16string();
  return FormatText(u"%s\r\n  <a id=\"%s\">%s</a>\r\n\r\n%s\r\n  <a id=\"%s%s\">%s</a>\r\n\r\n%s",
                    {info.site ? about_texts::kWebSiteLabel : u"", site, site, contact_label,
                     email ? u"mailto:" : u"", contact, contact, note});
}

std::u16string CannotOpenText(UiLanguage language, std::u16string_view target, bool from_link) {
  const TextPair& text = from_link ? about_texts::kCannotOpenLink : about_texts::kCannotOpenPage;
  return FormatText(text.In(language), {target});
}

std::string AboutTempFilePath(std::string_view temp_folder) {
  return platform::JoinPath(temp_folder.empty() ? std::string_view(".") : temp_folder,
                            "Ravelin32LIB_TEMP.TXT");
}

std::u16string ReportWithClient(std::u16string_view report, std::u16string_view version_text) {
  std::u16string_view line = version_text.substr(0, kVersionTextLimit);
  const auto end = std::find_if(line.begin(), line.end(), [](char16_t c) { return c < 0x20; });
  line = line.substr(0, static_cast<size_t>(end - line.begin()));
  return std::u16string(report) + u"\r\n[Client]\r\n " + std::u16string(line);
}

std::u16string ReportConfirmation(UiLanguage language, std::u16string_view report) {
  return std::u16string(report) + about_texts::kReportRule +
         about_texts::kReportQuestion.In(language);
}

}  // namespace sorrel
