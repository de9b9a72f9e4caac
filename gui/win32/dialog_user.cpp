// Boxes, the abort key, the result dialog and tool tips on Win32.
#include "gui/win32/dialog_user.h"

#include <commctrl.h>

#include <string>

#include "platform/win32/message_box.h"

namespace sorrel::win32 {
namespace {

constexpr int kResultTemplateJa = 131;
constexpr int kResultTemplateEn = 132;
constexpr int kSummaryId = 1031;
constexpr int kLogId = 1032;
constexpr int kOkId = 2;

struct ResultTexts {
  std::u16string summary;
  std::u16string log;
  const std::function<void()>* on_close;
};

INT_PTR CALLBACK ResultDialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG: {
      const auto* texts = reinterpret_cast<const ResultTexts*>(lparam);
      SetWindowLongPtrW(dialog, DWLP_USER, lparam);
      SetDlgItemTextW(dialog, kSummaryId, reinterpret_cast<const wchar_t*>(texts->summary.c_str()));
      SetDlgItemTextW(dialog, kLogId, reinterpret_cast<const wchar_t*>(texts->log.c_str()));
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wparam) == kOkId || LOWORD(wparam) == IDOK) {
        const auto* texts =
            reinterpret_cast<const ResultTexts*>(GetWindowLongPtrW(dialog, DWLP_USER));
        if (texts != nullptr && *texts->on_close) (*texts->on_close)();
        EndDialog(dialog, kOkId);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

platform::Answer DialogUser::MessageBox(std::u16string_view text, std::u16string_view caption,
                                        platform::Buttons buttons, platform::Icon icon) {
  return platform::ShowMessageBox(owner_, text, caption, buttons, icon);
}

bool DialogUser::IsForeground() {
  return owner_ != nullptr && GetForegroundWindow() == owner_;
}

bool DialogUser::IsAbortKeyDown() {
  return (GetAsyncKeyState(VK_ESCAPE) & 0x8000) != 0;
}

void DialogUser::ShowResult(std::u16string_view summary, std::u16string_view log,
                            const std::function<void()>& on_close) {
  ResultTexts texts{std::u16string(summary), std::u16string(log), &on_close};
  const int id = language_ == UiLanguage::Japanese ? kResultTemplateJa : kResultTemplateEn;
  DialogBoxParamW(instance_, MAKEINTRESOURCEW(id), owner_, ResultDialogProc,
                  reinterpret_cast<LPARAM>(&texts));
}

HWND CreateToolTips(HWND dialog, HINSTANCE instance, std::span<const ToolTipEntry> table) {
  HWND tips =
      CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                      CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr, instance, nullptr);
  if (tips == nullptr) return nullptr;
  for (const ToolTipEntry& entry : table) {
    if (entry.id == 0 || entry.text == nullptr) break;
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = dialog;
    tool.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(dialog, entry.id));
    tool.lpszText = const_cast<wchar_t*>(reinterpret_cast<const wchar_t*>(entry.text));
    SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
  return tips;
}

}  // namespace sorrel::win32
