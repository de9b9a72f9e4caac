// sorrelc's command-line parser on any argument vector: it never crashes,
// parses the same vector the same way twice, and keeps its own promises (a
// success names a target among the arguments after the switches; a failure
// has a message and exit code 1).
//
// Input: the arguments, separated by zero bytes.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "cli/parser.h"

namespace sorrel::cli {
namespace {

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "property failed: %s\n", what);
  std::abort();
}

auto Fields(const CliOptions& o) {
  return std::tie(o.backup, o.subfolders, o.input_code, o.input_code_page, o.output_code,
                  o.output_code_page, o.line_end_unify, o.line_end_kind, o.full_width_space,
                  o.trailing_space, o.tab_expand, o.tab_width, o.delete_control, o.control_to_space,
                  o.keep_times, o.before_replace, o.after_replace, o.use_regex, o.ignore_case,
                  o.single_line, o.dot_not_newline, o.insert_every_bytes, o.insert_every_chars,
                  o.conversion_chosen, o.before_argument, o.after_argument);
}

bool SameOutcome(const ParseOutcome& a, const ParseOutcome& b) {
  return a.ok == b.ok && a.first_target == b.first_target && a.message == b.message &&
         a.argument == b.argument && a.exit_code == b.exit_code &&
         Fields(a.options) == Fields(b.options);
}

std::vector<std::string> Arguments(std::string_view bytes) {
  std::vector<std::string> args;
  if (bytes.empty()) return args;
  size_t start = 0;
  for (size_t i = 0; i <= bytes.size(); ++i) {
    if (i == bytes.size() || bytes[i] == '\0') {
      args.emplace_back(bytes.substr(start, i - start));
      start = i + 1;
    }
  }
  return args;
}

}  // namespace
}  // namespace sorrel::cli

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace sorrel::cli;
  const std::vector<std::string> args =
      Arguments(std::string_view(reinterpret_cast<const char*>(data), size));
  const bool usage = IsUsageRequest(args);
  if (usage != IsUsageRequest(args)) Fail("the usage test is not stable");
  if (args.empty() && !usage) Fail("no arguments is not a usage request");

  // Every other name exists, so that both ways an argument that begins with
  // '/' can go are taken.
  const NameExists exists = [](const std::string& name) { return name.size() % 2 == 0; };
  const ParseOutcome first = ParseCommandLine(args, exists);
  const ParseOutcome second = ParseCommandLine(args, exists);
  if (!SameOutcome(first, second)) Fail("the same arguments parse two ways");
  if (first.ok) {
    if (first.first_target >= args.size()) Fail("a success names no target");
    if (!first.options.conversion_chosen) Fail("a success without a conversion");
  } else {
    if (first.message == nullptr) Fail("a failure without a message");
    if (first.exit_code != 1) Fail("a failure whose exit code is not 1");
  }
  return 0;
}
