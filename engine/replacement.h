// String replacement: prepared once per job, applied to every file's text.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "engine/job_context.h"
#include "engine/text_buffer.h"

namespace sorrel {

// A compiled wide-character regular expression (defined where it is built).
struct CompiledExpression;

struct PreparedReplacement {
  bool enabled = false;
  bool use_regex = false;
  bool ignore_case = false;
  bool single_line = false;
  bool dot_not_newline = false;
  std::u16string literal_pattern;                        // literal mode only
  std::shared_ptr<const CompiledExpression> expression;  // regular-expression mode only
  std::u16string replacement;
  uint32_t match_flags = 0;  // the regex library's match flags
};

// Builds the prepared replacement of one job: copies both texts, sets the match flags and,
// with use_regex, compiles search as a Perl expression (case-blind with
// ignore_case). prepared->enabled is the caller's and is kept. On failure the
// message has been shown through ShowJobError (no memory for either text, an
// expression the library rejects, any other error while compiling) and false
// is returned; prepared is then left empty.
bool PrepareReplacement(JobContext& ctx, std::u16string_view search, std::u16string_view replace,
                        bool use_regex, bool ignore_case, bool single_line, bool dot_not_newline,
                        PreparedReplacement* prepared);

// Thrown out of ApplyReplacement when should_stop says the run is to stop.
struct ReplacementAborted {};

// Replaces every match in text, whether or not prepared.enabled is set (the gate
// is the caller's); true when the text changed, false when the result equals
// the text. Exceptions of the regex library (a match too complex) and of
// memory pass to the caller, as does std::bad_alloc for a result longer than
// kMaxTextUnits, which is refused before it is built; text is then unchanged.
// The expression sees every UTF-16 unit as one character. While an
// expression matches, should_stop (when set) is asked about every 20 ms; when
// it says so, ReplacementAborted is thrown and text is unchanged. The result
// is built at its exact size, so that the memory it takes stays near the
// text's and the result's own.
bool ApplyReplacement(TextBuffer& text, const PreparedReplacement& prepared,
                      const std::function<bool()>& should_stop = {});

// Whether ApplyReplacementToUtf8 gives, for the UTF-8 bytes of a text, the
// UTF-8 of what ApplyReplacement gives for the text: for a regular
// expression that matches ASCII only (ascii_expression.h), case kept, with
// a replacement of plain units and references, over bytes that hold no line
// separator beyond ASCII where the expression looks for line starts or ends.
bool ReplacesUtf8(const PreparedReplacement& prepared, std::string_view utf8);

// ApplyReplacement on the UTF-8 bytes of a text, for which ReplacesUtf8
// holds: the expression runs over the text with every unit beyond ASCII
// standing as one byte it never matches, and the result is built from the
// bytes. The same answers, exceptions, aborts and limits, counted in units.
bool ApplyReplacementToUtf8(std::string& bytes, const PreparedReplacement& prepared,
                            const std::function<bool()>& should_stop = {});

// Replaces every occurrence of pattern in text, left to right, without looking
// inside what was inserted, in time linear in text and pattern. With
// ignore_case only A-Z and a-z are folded. An empty pattern replaces nothing.
// A result longer than kMaxTextUnits throws std::bad_alloc and leaves text as
// it was.
void ReplaceLiteral(std::u16string& text, std::u16string_view pattern,
                    std::u16string_view replacement, bool ignore_case);

}  // namespace sorrel
