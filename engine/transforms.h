// The text transforms of per-file processing, in their pipeline order. Each
// edits the text in place, runs in time linear in the text, and returns true
// when it changed it. A text that would grow beyond kMaxTextUnits throws
// std::bad_alloc and is left as it was.
#pragma once

#include <bitset>
#include <cstdint>

#include "engine/text_buffer.h"

namespace sorrel {

// (a) Every CR, LF and CR+LF becomes the line end of kind; an LF followed by
// a CR is two line ends. A kind other than 0, 1 and 2 changes nothing.
bool UnifyLineEnds(TextBuffer& text, LineEndKind kind);

// (b) Every U+3000 becomes two U+0020.
bool SplitFullWidthSpaces(TextBuffer& text);

// (c) Runs of SPACE and TAB before a CR, an LF or the end of the text go.
bool DeleteTrailingWhiteSpace(TextBuffer& text);

// (d) Tabs become spaces up to the next multiple of width, the column
// restarting after every CR and LF and a unit counting two columns when
// double_byte has it (code page 932). A width of 0 changes nothing.
bool ExpandTabs(TextBuffer& text, uint32_t width, const std::bitset<65536>& double_byte);

// (e) Invalid control codes (below U+0020 but TAB, LF, CR and U+001A) go.
bool DeleteControlCodes(TextBuffer& text);

// (f) Invalid control codes become SPACE.
bool ControlCodesToSpaces(TextBuffer& text);

// (g) A line end of kind after every n characters, counted from the start
// of the text, none after the last piece; a surrogate pair is one character
// and never cut in two. n = 0 changes nothing. A kind other than 0, 1 and 2
// inserts nothing but still reports a change when the text is longer than n
// characters.
bool InsertLineEndEveryNChars(TextBuffer& text, uint32_t n, LineEndKind kind);

}  // namespace sorrel
