// The About box's template, procedure and page buttons.
#include "gui/win32/about_box.h"

#include <commctrl.h>
#include <shellapi.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "base/text_format.h"
#include "gui/about_model.h"
#include "gui/about_texts.h"
#include "gui/environment_report.h"
#include "gui/tooltips.h"
#include "gui/win32/dialog_user.h"
#include "gui/win32/screen_facts.h"
#include "platform/program.h"
#include "platform/system_facts.h"
#include "platform/win32/wide.h"

namespace sorrel::win32 {
namespace {

namespace ids = about_ids;
constexpr UINT_PTR kLockTimer = 2008;
constexpr size_t kTemplateBytes = 2048;

// Writes a classic in-memory dialog template: words, strings and the
// DWORD alignment of each item.
class TemplateWriter {
 public:
  explicit TemplateWriter(std::vector<WORD>* words) : words_(*words) {}
  void Dword(DWORD value) {
    Word(LOWORD(value));
    Word(HIWORD(value));
  }
  void Word(WORD value) { words_.push_back(value); }
  void String(std::u16string_view text) {
    for (char16_t unit : text) Word(unit);
    Word(0);
  }
  void AlignDword() {
    if (words_.size() % 2 != 0) Word(0);
  }

 private:
  std::vector<WORD>& words_;
};

struct ItemTemplate {
  int id;
  WORD atom;                   // 0x80 button, 0x81 edit, 0x82 static; 0 for a named class
  const char16_t* class_name;  // the named class when atom is 0
  DWORD style;
  DWORD ex_style;
  short x, y, cx, cy;
  std::u16string text;
};

std::vector<WORD> BuildTemplate(UiLanguage language, int icon_id) {
  const bool ja = language == UiLanguage::Japanese;
  const DWORD child = WS_CHILD | WS_VISIBLE;
  const std::u16string null_text = about_texts::kNull;
  const std::array<ItemTemplate, 8> items = {{
      {ids::kContribution, 0x80, nullptr, child | WS_TABSTOP | BS_PUSHBUTTON, 0, 119, 137, 110, 14,
       about_texts::kContribution.In(language)},
      {ids::kDescription, 0x81, nullptr,
       child | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY, WS_EX_CLIENTEDGE, 7, 156, 225,
       80, null_text},
      {ids::kClose, 0x80, nullptr, child | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 7, 240, 50, 14,
       about_texts::kClose.In(language)},
      {ids::kEnvironment, 0x80, nullptr, child | WS_TABSTOP | BS_PUSHBUTTON, 0, 60, 240, 172, 14,
       about_texts::kEnvironment.In(language)},
      {ids::kIcon, 0x82, nullptr, child | SS_ICON, 0, 7, 7, 32, 32,
       FormatText(u"#%d", {int64_t{icon_id}})},
      {ids::kVersion, 0x81, nullptr, child | WS_TABSTOP | ES_MULTILINE | ES_READONLY, 0, 35, 7, 197,
       37, null_text},
      {ids::kLinks, 0, u"SysLink", child | WS_TABSTOP, 0, 7, 46, 225, 90, null_text},
      {ids::kFeedback, 0x80, nullptr, child | WS_TABSTOP | BS_PUSHBUTTON, 0, 7, 137, 110, 14,
       about_texts::kFeedback.In(language)},
  }};
  std::vector<WORD> words;
  TemplateWriter out(&words);
  out.Dword(DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU);
  out.Dword(0);
  out.Word(static_cast<WORD>(items.size()));
  for (short value : {short{0}, short{0}, short{239}, short{261}})
    out.Word(static_cast<WORD>(value));
  out.Word(0);  // no menu
  out.Word(0);  // the standard dialog class
  out.String(about_texts::kTitle.In(language));
  out.Word(ja ? 9 : 8);
  out.String(ja ? u"MS UI Gothic" : u"MS Sans Serif");
  for (const ItemTemplate& item : items) {
    out.AlignDword();
    out.Dword(item.style);
    out.Dword(item.ex_style);
    for (short value : {item.x, item.y, item.cx, item.cy}) out.Word(static_cast<WORD>(value));
    out.Word(static_cast<WORD>(item.id));
    if (item.atom != 0) {
      out.Word(0xFFFF);
      out.Word(item.atom);
    } else {
      out.String(item.class_name);
    }
    out.String(item.text);
    out.Word(0);  // no creation data
  }
  return words;
}

// The version block of the program's own version resource.
std::optional<VersionStrings> ReadVersionResource() {
  const std::wstring path = platform::Wide(platform::ProgramPath());
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0) return std::nullopt;
  std::vector<BYTE> block(size);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, block.data())) return std::nullopt;
  const auto value = [&block](const wchar_t* name) -> std::optional<std::u16string> {
    const std::wstring key = std::wstring(L"\\StringFileInfo\\041104b0\\") + name;
    wchar_t* text = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), key.c_str(), reinterpret_cast<void**>(&text), &length) ||
        text == nullptr) {
      return std::nullopt;
    }
    return std::u16string(platform::AsUtf16(text));
  };
  const std::optional<std::u16string> file_version = value(L"FileVersion");
  if (!file_version) return std::nullopt;
  VersionStrings strings;
  strings.file_version = *file_version;
  strings.special_build = value(L"SpecialBuild").value_or(u"");
  strings.private_build = value(L"PrivateBuild").value_or(u"");
  strings.legal_copyright = value(L"LegalCopyright").value_or(u"");
  strings.file_description = value(L"FileDescription").value_or(u"");
  return strings;
}

struct AboutState {
  AboutBoxInfo info;
  HINSTANCE instance;
  std::wstring temp_file;
  WNDPROC description_proc = nullptr;
};

AboutState* g_about = nullptr;  // one About box at a time

const wchar_t* W(const std::u16string& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

// Ctrl+A in the description selects all of it.
LRESULT CALLBACK DescriptionProc(HWND edit, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_CHAR && wparam == 1) {
    SendMessageW(edit, EM_SETSEL, 0, -1);
    return 0;
  }
  return CallWindowProcW(g_about->description_proc, edit, message, wparam, lparam);
}

void Box(HWND owner, std::u16string_view text, std::u16string_view caption, UINT icon) {
  const std::wstring body(platform::AsWide(text));
  const std::wstring title(platform::AsWide(caption));
  MessageBoxW(owner, body.c_str(), title.c_str(), MB_OK | icon);
}

void OpenTarget(HWND box, const std::u16string& target, bool from_link) {
  for (int id : kLockedButtons) EnableWindow(GetDlgItem(box, id), FALSE);
  SetTimer(box, kLockTimer, kLockMilliseconds, nullptr);
  wchar_t system[MAX_PATH] = {};
  GetSystemDirectoryW(system, MAX_PATH);
  wchar_t saved[MAX_PATH] = {};
  if (!from_link) {
    GetCurrentDirectoryW(MAX_PATH, saved);
    SetCurrentDirectoryW(system);
  }
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(box, L"open", W(target), nullptr, system, SW_SHOWNORMAL));
  if (!from_link) SetCurrentDirectoryW(saved);
  if (result <= 32) {
    Box(box, CannotOpenText(g_about->info.language, target, from_link), g_about->info.title,
        MB_ICONERROR);
  }
}

void CopyToClipboard(HWND box, const std::u16string& report, UiLanguage language) {
  const std::u16string caption = about_texts::kReportCaption.In(language);
  if (!OpenClipboard(nullptr)) {
    Box(box, about_texts::kCannotOpenClipboard.In(language), caption, MB_ICONERROR);
    return;
  }
  constexpr size_t kBytes = 16384;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, kBytes);
  if (memory == nullptr) {
    Box(box, about_texts::kOutOfMemory.In(language), caption, MB_ICONERROR);
  } else if (auto* text = static_cast<char16_t*>(GlobalLock(memory)); text == nullptr) {
    GlobalFree(memory);
    Box(box, about_texts::kGlobalLockError.In(language), caption, MB_ICONERROR);
  } else {
    // The block holds 8191 characters and a terminator; a longer report is
    // cut there.
    report.copy(text, std::min(report.size(), kBytes / 2 - 1));
    GlobalUnlock(memory);
    if (!EmptyClipboard()) {
      GlobalFree(memory);
      Box(box, about_texts::kEmptyClipboardError.In(language), caption, MB_ICONERROR);
    } else if (SetClipboardData(CF_UNICODETEXT, memory) == nullptr) {
      GlobalFree(memory);
      Box(box, about_texts::kClipboardError.In(language), caption, MB_ICONINFORMATION);
    } else {
      Box(box, about_texts::kCopied.In(language), caption, MB_ICONINFORMATION);
    }
  }
  CloseClipboard();
}

void ShowEnvironmentReport(HWND box) {
  const UiLanguage language = g_about->info.language;
  wchar_t version[300] = {};
  GetDlgItemTextW(box, ids::kVersion, version, 300);
  EnvironmentFacts facts;
  facts.system = platform::ReadSystemFacts();
  AddScreenFacts(&facts);
  const std::u16string report =
      ReportWithClient(BuildEnvironmentReport(facts), platform::AsUtf16(version));
  const std::wstring question(platform::AsWide(ReportConfirmation(language, report)));
  const std::wstring caption(platform::AsWide(about_texts::kReportCaption.In(language)));
  if (MessageBoxW(box, question.c_str(), caption.c_str(), MB_OKCANCEL) == IDOK) {
    CopyToClipboard(box, report, language);
  }
}

void InitialiseBox(HWND box) {
  const AboutBoxInfo& info = g_about->info;
  if (const std::optional<VersionStrings> version = ReadVersionResource()) {
    SetDlgItemTextW(box, ids::kVersion, W(VersionText(info, *version, u"x64")));
    SetDlgItemTextW(box, ids::kLinks, W(LinkText(info)));
  }
  SetDlgItemTextW(box, ids::kDescription, W(info.description));
  g_about->description_proc =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrW(GetDlgItem(box, ids::kDescription), GWLP_WNDPROC,
                                                  reinterpret_cast<LONG_PTR>(DescriptionProc)));
  if (!info.feedback) ShowWindow(GetDlgItem(box, ids::kFeedback), SW_HIDE);
  if (!info.contribution) ShowWindow(GetDlgItem(box, ids::kContribution), SW_HIDE);
  CreateToolTips(box, g_about->instance, AboutBoxToolTips(info.language));
  wchar_t temp[520] = {};
  const DWORD length = GetTempPathW(520, temp);
  g_about->temp_file = platform::Wide(AboutTempFilePath(
      length > 0 && length < 520 ? platform::Narrow(std::wstring_view(temp, length)) : ""));
}

INT_PTR CALLBACK AboutDialogProc(HWND box, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG:
      InitialiseBox(box);
      if (!g_about->info.contribution) {
        SetFocus(GetDlgItem(box, ids::kClose));
        return FALSE;
      }
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wparam)) {
        case ids::kClose:
        case IDOK:
          EndDialog(box, 0);
          return TRUE;
        case ids::kEnvironment:
          ShowEnvironmentReport(box);
          return TRUE;
        case ids::kContribution:
          if (g_about->info.contribution) OpenTarget(box, *g_about->info.contribution, false);
          return TRUE;
        case ids::kFeedback:
          if (g_about->info.feedback) OpenTarget(box, *g_about->info.feedback, false);
          return TRUE;
        default:
          return FALSE;
      }
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lparam);
      if (header->idFrom == static_cast<UINT_PTR>(ids::kLinks) &&
          (header->code == NM_CLICK || header->code == NM_RETURN)) {
        const auto* link = reinterpret_cast<const NMLINK*>(lparam);
        OpenTarget(box, std::u16string(platform::AsUtf16(link->item.szID)), true);
        return TRUE;
      }
      return FALSE;
    }
    case WM_TIMER:
      if (wparam != kLockTimer) return FALSE;
      for (int id : kLockedButtons) EnableWindow(GetDlgItem(box, id), TRUE);
      KillTimer(box, kLockTimer);
      return TRUE;
    case WM_DESTROY:
      if (!g_about->temp_file.empty()) DeleteFileW(g_about->temp_file.c_str());
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

void ShowAboutBox(HWND owner, HINSTANCE instance, UiLanguage language) {
  if (g_about != nullptr) return;
  HGLOBAL memory = GlobalAlloc(GMEM_ZEROINIT, kTemplateBytes);
  if (memory == nullptr) return;
  const std::vector<WORD> words = BuildTemplate(language, 107);
  if (words.size() * sizeof(WORD) <= kTemplateBytes) {
    auto* block = static_cast<WORD*>(GlobalLock(memory));
    std::copy(words.begin(), words.end(), block);
    AboutState state{MakeAboutBoxInfo(language), instance, {}, nullptr};
    g_about = &state;
    DialogBoxIndirectParamW(instance, reinterpret_cast<const DLGTEMPLATE*>(block), owner,
                            AboutDialogProc, 0);
    g_about = nullptr;
    GlobalUnlock(memory);
  }
  GlobalFree(memory);
}

}  // namespace sorrel::win32
