// The main dialog's procedure over the toolkit-free model.
#include "gui/win32/main_dialog.h"

#include <commdlg.h>
#include <shellapi.h>

#include <memory>
#include <string>

#include "base/main_dialog_ids.h"
#include "engine/job.h"
#include "gui/main_dialog_model.h"
#include "gui/main_dialog_texts.h"
#include "gui/startup_texts.h"
#include "gui/tooltips.h"
#include "gui/win32/about_box.h"
#include "gui/win32/control_sync.h"
#include "gui/win32/dialog_resizer.h"
#include "gui/win32/dialog_user.h"
#include "platform/paths.h"
#include "platform/program.h"
#include "platform/win32/wide.h"

namespace sorrel::win32 {
namespace {

constexpr int kMainTemplateJa = 103;
constexpr int kMainTemplateEn = 104;
constexpr int kIconId = 107;
constexpr size_t kPathUnits = 520;  // the file-name buffers, terminator included

// Everything one opening of the dialog owns.
struct Session {
  Session(HINSTANCE instance, UiLanguage language, SessionServices* services)
      : instance(instance),
        language(language),
        user(instance, language),
        settings(services->OpenSettings(&user)),
        job(services->Job(&store, /*cui_mode=*/false, &user, nullptr)) {}

  HINSTANCE instance;
  UiLanguage language;
  DialogUser user;
  std::unique_ptr<settings::SettingsStore> settings;
  ControlStore store;
  JobContext job;
  HWND dialog = nullptr;
  std::unique_ptr<MainDialogModel> model;
  std::unique_ptr<ControlSync> sync;
  std::unique_ptr<DialogResizer> resizer;
};

// The help beside the program; the English dialog opens the same Japanese
// page.
void ShowHelp(HWND owner) {
  const std::wstring page = platform::Wide(platform::JoinPath(
      platform::JoinPath(platform::ProgramFolder(), "_RESOURCE"), "HLP000001.html"));
  ShellExecuteW(owner, L"open", page.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

// The open-file dialog; the chosen path goes into the target.
void Browse(Session& s) {
  std::wstring file(kPathUnits, L'\0');
  std::wstring filter(platform::AsWide(main_dialog_texts::kBrowseFilter.In(s.language)));
  filter.push_back(L'\0');
  filter += L"*.*";
  filter.push_back(L'\0');
  const std::wstring title(platform::AsWide(main_dialog_texts::kBrowseTitle.In(s.language)));
  OPENFILENAMEW request{};
  request.lStructSize = sizeof request;
  request.hwndOwner = s.dialog;
  request.lpstrFilter = filter.c_str();
  request.lpstrFile = file.data();
  request.nMaxFile = static_cast<DWORD>(kPathUnits);
  request.lpstrTitle = title.c_str();
  request.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
  if (!GetOpenFileNameW(&request)) return;
  file.resize(wcslen(file.c_str()));
  if (s.model->SetTargetPath(std::u16string(platform::AsUtf16(file)))) {
    SetFocus(GetDlgItem(s.dialog, ids::kTargetPath));
  }
}

void OnDropFiles(Session& s, HDROP drop) {
  SetForegroundWindow(s.dialog);
  wchar_t path[kPathUnits] = {};
  if (DragQueryFileW(drop, 0, path, static_cast<UINT>(kPathUnits)) > 0) {
    s.model->SetTargetPath(std::u16string(platform::AsUtf16(path)));
  }
  DragFinish(drop);
}

MainDialogModel::Hooks Hooks(Session& s) {
  MainDialogModel::Hooks hooks;
  hooks.load_settings = [&s](ControlStore& store) {
    WarnAboutSettings(*s.settings, s.settings->Load(&store), &s.user,
                      startup_texts::kTitle.In(s.language));
  };
  hooks.save_settings = [&s](const ControlStore& store) { s.settings->Save(store); };
  hooks.run_job = [&s] {
    RunConversionJob(s.job);
    // Keys pressed during the run (the Esc that stopped it) are not meant
    // for the dialog that waits afterwards.
    MSG message;
    while (PeekMessageW(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
    }
  };
  hooks.show_help = [&s] { ShowHelp(s.dialog); };
  hooks.show_about = [&s] { ShowAboutBox(s.dialog, s.instance, s.language); };
  return hooks;
}

void Initialise(Session& s, HWND dialog) {
  s.dialog = dialog;
  s.user.set_owner(dialog);
  s.job.save_settings = [&s] { s.settings->Save(s.store); };
  SendMessageW(dialog, WM_SETICON, ICON_BIG,
               reinterpret_cast<LPARAM>(LoadIconW(s.instance, MAKEINTRESOURCEW(kIconId))));
  CreateToolTips(dialog, s.instance, MainDialogToolTips(s.language));
  s.sync = std::make_unique<ControlSync>(s.store, dialog);
  s.model = std::make_unique<MainDialogModel>(s.store, s.language, /*cui_mode=*/false, Hooks(s));
  s.model->Initialise(GetTickCount64());
  s.resizer = std::make_unique<DialogResizer>(
      dialog, std::vector<AnchorEntry>{{ids::kTargetPath, Anchor::WidthHeight},
                                       {ids::kBrowse, Anchor::Right},
                                       {ids::kReplaceGroup, Anchor::WidthHeight},
                                       {ids::kBeforeReplace, Anchor::WidthHeight},
                                       {ids::kAfterReplace, Anchor::WidthHeight}});
  // As wide as the user likes, never narrower than at start, and always as
  // tall as at start.
  s.resizer->SetTrackingLimits(s.resizer->initial_width(), s.resizer->initial_height(), -1,
                               s.resizer->initial_height());
}

void EndIfEnded(Session& s) {
  if (s.model->ended()) EndDialog(s.dialog, s.model->result());
}

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* s = reinterpret_cast<Session*>(GetWindowLongPtrW(dialog, DWLP_USER));
  if (message == WM_INITDIALOG) {
    s = reinterpret_cast<Session*>(lparam);
    SetWindowLongPtrW(dialog, DWLP_USER, lparam);
    Initialise(*s, dialog);
    return TRUE;
  }
  if (s == nullptr || !s->model) return FALSE;
  switch (message) {
    case WM_COMMAND: {
      const int id = LOWORD(wparam);
      bool selection_changed = false;
      if (lparam != 0 && !s->sync->FromUser(id, HIWORD(wparam), &selection_changed)) return TRUE;
      // Enter reaches a disabled Start as its default button.
      if (id == ids::kStart && !s->store.Enabled(ids::kStart)) return TRUE;
      if (id == ids::kBrowse) {
        Browse(*s);
      } else {
        s->model->OnCommand(id == IDCANCEL ? ids::kClose : id, selection_changed);
      }
      EndIfEnded(*s);
      return TRUE;
    }
    case WM_DROPFILES:
      OnDropFiles(*s, reinterpret_cast<HDROP>(wparam));
      return TRUE;
    case WM_HELP:
      ShowHelp(dialog);
      return TRUE;
    case WM_QUERYENDSESSION:
      // Windows may end the process right after the session ends: the
      // settings are saved now, while the answer is still awaited.
      s->settings->Save(s->store);
      SetWindowLongPtrW(dialog, DWLP_MSGRESULT, TRUE);
      return TRUE;
    case WM_ENDSESSION:
      s->model->OnEndSession(wparam != FALSE);
      EndIfEnded(*s);
      return TRUE;
    case WM_SIZE:
      if (s->resizer) s->resizer->Layout();
      return TRUE;
    case WM_GETMINMAXINFO:
      if (s->resizer) s->resizer->ApplyLimits(reinterpret_cast<MINMAXINFO*>(lparam));
      return TRUE;
    case WM_DESTROY:
      s->resizer.reset();
      s->sync.reset();
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

void RunMainDialog(HINSTANCE instance, UiLanguage language, SessionServices* services) {
  Session session(instance, language, services);
  const int id = language == UiLanguage::Japanese ? kMainTemplateJa : kMainTemplateEn;
  DialogBoxParamW(instance, MAKEINTRESOURCEW(id), nullptr, MainDialogProc,
                  reinterpret_cast<LPARAM>(&session));
}

}  // namespace sorrel::win32
