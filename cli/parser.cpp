// The switch table of sorrelc, its name tables and its parsing rules.
#include "cli/parser.h"

#include <cstdlib>
#include <limits>
#include <string_view>

#include "base/ascii_case.h"
#include "cli/texts.h"

namespace sorrel::cli {

namespace {

// Reads text as strtol does with base 10 where long is 32 bits: leading white
// space and one sign are skipped, reading stops at the first non-digit, a
// text without digits reads as 0, and a number out of range gives the
// nearest 32-bit limit.
int32_t ReadSwitchNumber(std::string_view text) {
  // strtol needs a terminated text; an argument never holds a NUL byte.
  const std::string terminated(text);
  const long value = std::strtol(terminated.c_str(), nullptr, 10);
  if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}

struct NamedValue {
  std::string_view name;  // lower case
  int32_t value;
};

constexpr NamedValue kCodeNames[] = {
    {"auto", 0},        {"sjis", 1},     {"s-jis", 1},  {"shiftjis", 1}, {"shift-jis", 1},
    {"unicode", 2},     {"utf16", 2},    {"utf-16", 2}, {"utf16le", 2},  {"utf-16le", 2},
    {"utf16be", 3},     {"utf-16be", 3}, {"utf8", 4},   {"utf-8", 4},    {"utf7", 5},
    {"utf-7", 5},       {"euc", 6},      {"eucjp", 6},  {"euc-jp", 6},   {"jis", 7},
    {"iso-2022-jp", 7}, {"ebcdic", 8},   {"ebcdik", 8},
};

constexpr NamedValue kLineEndNames[] = {{"lf", 1}, {"cr", 2}, {"crlf", 3}};

template <size_t N>
bool FindName(const NamedValue (&table)[N], std::string_view name, int32_t* value) {
  for (const NamedValue& entry : table) {
    if (EqualsIgnoringAsciiCase(name, entry.name)) {
      *value = entry.value;
      return true;
    }
  }
  return false;
}

constexpr int32_t kOtherCodePage = 9;

// A character-code name, or any other text whose leading number is above 0:
// then 9 and that number in *code_page, which is left alone otherwise.
bool ReadCodeChoice(std::string_view name, int32_t* choice, int32_t* code_page) {
  if (FindName(kCodeNames, name, choice)) return true;
  const int32_t number = ReadSwitchNumber(name);
  if (number <= 0) return false;
  *choice = kOtherCodePage;
  *code_page = number;
  return true;
}

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
  if (!FindName(kLineEndNames, value, &options->line_end_kind)) return &messages::kInvalidNewline;
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

// The entry of the switch table that body (an argument without its prefix)
// names, and the text after its colon; null when it names none in its exact
// form.
const Switch* FindSwitch(std::string_view body, std::string_view* value) {
  for (const Switch& entry : kSwitches) {
    if (!StartsWithIgnoringAsciiCase(body, entry.name)) continue;
    return MatchForm(body, entry, value) ? &entry : nullptr;
  }
  return nullptr;
}

enum class Kind { Switch, Target, EndOfSwitches };

bool HasWildcardInLastPart(std::string_view arg) {
  const size_t slash = arg.rfind('/');
  const std::string_view last = slash == std::string_view::npos ? arg : arg.substr(slash + 1);
  return last.find_first_of("*?") != std::string_view::npos;
}

// No switch's name holds a slash, so an argument that begins with '/' and is
// not one of them in its exact form is a path when it looks like one or is
// there; otherwise it is a mistyped switch and gets its message.
Kind Classify(const std::string& arg, const NameExists& exists) {
  if (arg == "--") return Kind::EndOfSwitches;
  if (arg.empty() || (arg[0] != '-' && arg[0] != '/')) return Kind::Target;
  if (arg[0] == '-' || arg == "/?") return Kind::Switch;
  std::string_view value;
  if (FindSwitch(std::string_view(arg).substr(1), &value) != nullptr) return Kind::Switch;
  const std::string_view name = std::string_view(arg).substr(0, arg.find(':'));
  if (name.find('/', 1) != std::string_view::npos || HasWildcardInLastPart(arg) ||
      (exists && exists(arg))) {
    return Kind::Target;
  }
  return Kind::Switch;
}

// Null when arg is a known switch in its exact form and its value is
// accepted; else the message of the failure.
const TextPair* ApplySwitch(const std::string& arg, CliOptions* options) {
  std::string_view value;
  const Switch* entry = FindSwitch(std::string_view(arg).substr(1), &value);
  if (entry == nullptr) return &messages::kInvalidOption;
  const TextPair* failure = entry->apply(value, options);
  if (failure == nullptr && entry->name == "rb") options->before_argument = arg;
  if (failure == nullptr && entry->name == "ra") options->after_argument = arg;
  return failure;
}

ParseOutcome Success(CliOptions options, size_t first_target) {
  ParseOutcome outcome;
  outcome.ok = true;
  outcome.options = std::move(options);
  outcome.first_target = first_target;
  return outcome;
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

ParseOutcome ParseCommandLine(const std::vector<std::string>& args, const NameExists& exists) {
  CliOptions options;
  for (size_t i = 0; i < args.size(); ++i) {
    const Kind kind = Classify(args[i], exists);
    if (kind == Kind::Switch) {
      if (const TextPair* failure = ApplySwitch(args[i], &options)) {
        return Failure(*failure, args[i]);
      }
      continue;
    }
    const size_t first_target = kind == Kind::EndOfSwitches ? i + 1 : i;
    if (first_target == args.size()) break;
    if (!options.conversion_chosen) return Failure(messages::kNoConversion, {});
    return Success(std::move(options), first_target);
  }
  return Failure(messages::kNoTarget, {});
}

}  // namespace sorrel::cli
