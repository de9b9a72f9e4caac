// The name tables of the code-page and line-end switches.
#include "cli/code_names.h"

#include "cli/ascii_case.h"
#include "cli/switch_number.h"

namespace sorrel::cli {

namespace {

struct NamedValue {
  const char* name;
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

}  // namespace

bool ReadCodeChoice(std::string_view name, int32_t* choice, int32_t* code_page) {
  if (FindName(kCodeNames, name, choice)) return true;
  const int32_t number = ReadSwitchNumber(name);
  if (number <= 0) return false;
  *choice = kOtherCodePage;
  *code_page = number;
  return true;
}

bool ReadLineEndKind(std::string_view name, int32_t* kind) {
  return FindName(kLineEndNames, name, kind);
}

}  // namespace sorrel::cli
