// The switch table of sorrelc and its parsing rules.
#include "cli/parser.h"

#include <string_view>

#include "cli/ascii_case.h"
#include "cli/code_names.h"
#include "cli/messages.h"
#include "cli/switch_number.h"

namespace sorrel::cli {

namespace {

enum class Form {
  Flag,        // nothing may follow the name
  Value,       // a colon and at least one character follow the name
  MaybeEmpty,  // a colon follows the name; the text after it may be empty
};

// Applies the text after the colon (empty for a flag); null when it is
// accepted, else the message of the failure.
using Apply = const TextPair* (*)(std::string_view value, CliOptions* options);

struct Switch {
  std::string_view name;  // lower case
  Form form;
  Apply apply;
};

template <bool CliOptions::*field, bool converts>
const TextPair* SetFlag(std::string_view, CliOptions* options) {
  options->*field = true;
  if (converts) options->conversion_chosen = true;
  return nullptr;
}

template <int32_t CliOptions::*field>
const TextPair* SetCount(std::string_view value, CliOptions* options) {
  options->*field = ReadSwitchNumber(value);
  options->conversion_chosen = true;
  return nullptr;
}

const TextPair* SetInputCode(std::string_view value, CliOptions* options) {
  if (!ReadCodeChoice(value, &options->input_code, &options->input_code_page)) {
    return &messages::kInvalidCharCode;
  }
  return nullptr;
}

const TextPair* SetOutputCode(std::string_view value, CliOptions* options) {
  if (!ReadCodeChoice(value, &options->output_code, &options->output_code_page)) {
    return &messages::kInvalidCharCode;
  }
  options->conversion_chosen = true;
  return nullptr;
}

const TextPair* SetLineEnd(std::string_view value, CliOptions* options) {
  if (!ReadLineEndKind(value, &options->line_end_kind)) return &messages::kInvalidNewline;
  options->line_end_unify = true;
  options->conversion_chosen = true;
  return nullptr;
}

const TextPair* SetTabWidth(std::string_view value, CliOptions* options) {
  const int32_t width = ReadSwitchNumber(value);
  if (width < 1 || width > 99) return &messages::kInvalidTabCount;
  options->tab_expand = true;
  options->tab_width = width;
  options->conversion_chosen = true;
  return nullptr;
}

// The replacement converts once both of its texts are given, in either order.
const TextPair* SetBefore(std::string_view value, CliOptions* options) {
  options->before_replace = std::string(value);
  if (options->after_replace) options->conversion_chosen = true;
  return nullptr;
}

const TextPair* SetAfter(std::string_view value, CliOptions* options) {
  options->after_replace = std::string(value);
  if (options->before_replace) options->conversion_chosen = true;
  return nullptr;
}

using O = CliOptions;
constexpr Switch kSwitches[] = {
    {"k", Form::Flag, SetFlag<&O::backup, false>},
    {"y", Form::Flag, SetFlag<&O::subfolders, false>},
    {"f", Form::Value, SetInputCode},
    {"m", Form::Value, SetCount<&O::insert_every_bytes>},
    {"l", Form::Value, SetCount<&O::insert_every_chars>},
    {"c", Form::Value, SetLineEnd},
    {"z", Form::Flag, SetFlag<&O::full_width_space, true>},
    {"w", Form::Flag, SetFlag<&O::trailing_space, true>},
    {"t", Form::Value, SetTabWidth},
    {"d", Form::Flag, SetFlag<&O::delete_control, true>},
    {"a", Form::Flag, SetFlag<&O::control_to_space, true>},
    {"o", Form::Value, SetOutputCode},
    {"q", Form::Flag, SetFlag<&O::keep_times, true>},
    {"rb", Form::Value, SetBefore},
    {"ra", Form::MaybeEmpty, SetAfter},
    {"e", Form::Flag, SetFlag<&O::use_regex, false>},
    {"p", Form::Flag, SetFlag<&O::ignore_case, false>},
    {"g", Form::Flag, SetFlag<&O::single_line, false>},
    {"n", Form::Flag, SetFlag<&O::dot_not_newline, false>},
};

// An argument that begins with '-' is a switch, and so is one that begins
// with '/' unless a second slash comes before any colon: no switch's name
// holds a slash, and on a system whose absolute paths begin with '/' such an
// argument can only be a path.
bool IsSwitch(std::string_view arg) {
  if (arg.empty()) return false;
  if (arg[0] == '-') return true;
  if (arg[0] != '/') return false;
  const std::string_view name = arg.substr(0, arg.find(':'));
  return name.find('/', 1) == std::string_view::npos;
}

// The text after the switch's colon when body (the argument without its
// prefix) has the switch's exact form; false otherwise.
bool MatchForm(std::string_view body, const Switch& entry, std::string_view* value) {
  const std::string_view rest = body.substr(entry.name.size());
  if (entry.form == Form::Flag) {
    *value = {};
    return rest.empty();
  }
  if (rest.empty() || rest[0] != ':') return false;
  *value = rest.substr(1);
  return entry.form == Form::MaybeEmpty || !value->empty();
}

// Null when arg is a known switch in its exact form and its value is
// accepted; else the message of the failure.
const TextPair* ApplySwitch(const std::string& arg, CliOptions* options) {
  const std::string_view body = std::string_view(arg).substr(1);
  for (const Switch& entry : kSwitches) {
    if (!StartsWithIgnoringAsciiCase(body, entry.name)) continue;
    std::string_view value;
    if (!MatchForm(body, entry, &value)) return &messages::kInvalidOption;
    return entry.apply(value, options);
  }
  return &messages::kInvalidOption;
}

ParseOutcome Failure(const TextPair& message, std::string argument) {
  ParseOutcome outcome;
  outcome.message = &message;
  outcome.argument = std::move(argument);
  outcome.exit_code = 1;
  return outcome;
}

}  // namespace

bool IsUsageRequest(const std::vector<std::string>& args) {
  return args.empty() || args[0] == "/?" || args[0] == "-?";
}

ParseOutcome ParseCommandLine(const std::vector<std::string>& args) {
  CliOptions options;
  for (size_t i = 0; i < args.size(); ++i) {
    if (!IsSwitch(args[i])) {
      if (!options.conversion_chosen) return Failure(messages::kNoConversion, {});
      ParseOutcome outcome;
      outcome.ok = true;
      outcome.options = std::move(options);
      outcome.first_target = i;
      return outcome;
    }
    if (const TextPair* failure = ApplySwitch(args[i], &options)) {
      return Failure(*failure, args[i]);
    }
  }
  return Failure(messages::kNoTarget, {});
}

}  // namespace sorrel::cli
