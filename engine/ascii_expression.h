// Which regular expressions only ever match ASCII: those can be matched on
// a text in which every other unit stands as one inert byte, a narrow
// expression over bytes giving the very matches of the wide one over units.
#pragma once

#include <string_view>

namespace sorrel {

struct AsciiExpression {
  // The expression (Perl syntax, case kept) is made only of ASCII literals,
  // escapes of ASCII characters and controls, \d, classes of those (not
  // negated), groups (plain or (?:...)), alternatives, repeats and the
  // anchors ^ and $, and matches nothing empty: every unit of every match is
  // then ASCII, and no other unit takes part in matching but through the
  // anchors.
  bool ascii_only = false;
  // It holds ^ or $, which look at the line separators around them.
  bool anchors = false;
  // It holds \d, whose class over units may take more than the ten ASCII
  // digits where the system's character classes do.
  bool digits = false;
};

// Reads pattern by the subset above. Anything else (a dot, a negated class,
// \w, \s, \b, a back reference, a look around, a flag, a comment, a POSIX
// class, a literal beyond ASCII) gives ascii_only false, as does a pattern
// the library would reject.
AsciiExpression ReadAsciiExpression(std::u16string_view pattern);

}  // namespace sorrel
