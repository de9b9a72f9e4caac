// sorrelc's steps in their order: usage, store choice, parse, one settings
// transaction, the start of the GUI program for the first target.
#include "cli/launcher.h"

#include <memory>
#include <span>

#include "base/exit_codes.h"
#include "base/ini_mode_name.h"
#include "base/utf.h"
#include "cli/parser.h"
#include "cli/settings_out.h"
#include "cli/texts.h"
#include "platform/paths.h"
#include "settings/settings_access.h"
#include "settings/settings_keys.h"
#include "settings/settings_store.h"

namespace sorrel::cli {
namespace {

// The run after a successful parse: the transaction, then the start.
class Launch {
 public:
  Launch(const CliEnvironment& env, CliHost* host, platform::SettingsFiles* files,
         platform::ProcessRunner* runner, const CliOptions& options)
      : env_(env), host_(host), files_(files), runner_(runner), options_(options) {}

  int Run(std::span<const std::string> targets);

 private:
  bool Begin(settings::SettingsStore* store);
  bool Store(settings::SettingsStore* store, const std::string& target);
  void Say(const TextPair& message, std::initializer_list<MessageArg> args) {
    host_->WriteError(FormatMessage(message, env_.lang, args));
  }

  const CliEnvironment& env_;
  CliHost* host_;
  platform::SettingsFiles* files_;
  platform::ProcessRunner* runner_;
  const CliOptions& options_;
  std::unique_ptr<settings::SettingsTransaction> transaction_;
};

// The settings file as messages name it; without a folder for it (neither
// XDG_CONFIG_HOME nor HOME is set) the rule that would have given it.
std::string ShownPath(const settings::SettingsStore& store) {
  return store.path().empty() ? "${XDG_CONFIG_HOME:-$HOME/.config}/sorrel/registry.reg"
                              : store.path();
}

bool Launch::Begin(settings::SettingsStore* store) {
  settings::StoreState state;
  int error = 0;
  transaction_ = store->Begin(&state, &error);
  if (transaction_ != nullptr) return true;
  if (state == settings::StoreState::NotRegular) {
    Say(messages::kSettingsNotRegular, {ShownPath(*store)});
  } else {
    const std::string reason = Utf16ToUtf8(store->ErrorText(error));
    Say(messages::kCannotStore, {ShownPath(*store), reason});
  }
  return false;
}

// Checks that every text reads back as written, then commits; target is the
// argument that gave TargetPath (empty when none was written).
bool Launch::Store(settings::SettingsStore* store, const std::string& target) {
  const std::vector<std::u16string> not_kept = transaction_->ValuesNotKept();
  if (!not_kept.empty()) {
    const std::u16string& key = not_kept.front();
    const std::string_view argument =
        key == settings::kBeforeReplace.name  ? options_.before_argument
        : key == settings::kAfterReplace.name ? options_.after_argument
                                              : target;
    Say(messages::kCannotStoreExactly, {argument});
    return false;
  }
  int error = 0;
  if (transaction_->Commit(&error)) return true;
  Say(messages::kCannotStore, {ShownPath(*store), Utf16ToUtf8(store->ErrorText(error))});
  return false;
}

int Launch::Run(std::span<const std::string> targets) {
  const bool ini_mode = IsIniModeName(env_.program_name);
  const LaunchPaths paths = MakeLaunchPaths(env_.program_folder, ini_mode);
  settings::SettingsStore store(
      files_, ini_mode, ini_mode ? paths.ini_file : settings::RegistryStorePath(files_), env_.lang,
      nullptr, [this](std::u16string_view line) { host_->WriteError(Utf16ToUtf8(line)); });
  if (!Begin(&store)) return 1;
  WriteCliSettings(options_, transaction_->context());

  platform::StartOptions start;
  start.environment = {{"SORREL_LANG", env_.lang == UiLanguage::Japanese ? "ja" : "en"}};
  start.started = [this] { transaction_.reset(); };
  bool committed = false;
  for (const std::string& target : targets) {
    std::string full_path;
    if (!platform::FormFullPath(env_.current_directory, target, &full_path)) {
      Say(messages::kInvalidFileName, {target});
      continue;
    }
    WriteTargetPath(full_path, transaction_->context());
    if (!Store(&store, target)) return 1;
    committed = true;
    start.hand_on = &transaction_->lock();
    const platform::RunResult run =
        runner_->RunAndWait(paths.program, {paths.program, kCuiModeArgument}, start);
    // A run that ended badly (its report lost, or the program killed) must not
    // pass for success.
    if (run.started) return run.exit_code;
    Say(messages::kCannotStart, {static_cast<uint32_t>(run.error), paths.command_line});
  }
  // The settings stay stored even when no run could be started.
  if (!committed && !Store(&store, {})) return 1;
  return 0;
}

}  // namespace

LaunchPaths MakeLaunchPaths(const std::string& program_folder, bool ini_mode) {
  LaunchPaths paths;
  if (!program_folder.empty()) {
    paths.program = platform::JoinPath(
        program_folder, platform::ExecutableFileName(ini_mode ? "sorrel_o" : "sorrel"));
    paths.ini_file = settings::IniPathIn(program_folder);
  }
  paths.command_line = "\"" + paths.program + "\" " + kCuiModeArgument;
  return paths;
}

int RunSorrelc(const std::vector<std::string>& args, const CliEnvironment& env, CliHost* host,
               platform::SettingsFiles* files, platform::ProcessRunner* runner) {
  if (IsUsageRequest(args)) {
    return host->WriteOut(UsageText(env.lang)) ? 0 : kOutputLostExitCode;
  }
  const ParseOutcome parsed =
      ParseCommandLine(args, [host](const std::string& name) { return host->NameExists(name); });
  if (!parsed.ok) {
    host->WriteError(FormatMessage(*parsed.message, env.lang, {parsed.argument}));
    return parsed.exit_code;
  }
  Launch launch(env, host, files, runner, parsed.options);
  return launch.Run(std::span<const std::string>(args).subspan(parsed.first_target));
}

}  // namespace sorrel::cli
