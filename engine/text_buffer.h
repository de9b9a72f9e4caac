// One file's decoded text and the line-end kinds the transforms know.
#pragma once

#include <cstddef>
#include <new>
#include <string>

namespace sorrel {

// UTF-16 code units without terminator or byte-order mark.
using TextBuffer = std::u16string;

// 0 = CR+LF, 1 = LF, 2 = CR: the index of the line-end list.
using LineEndKind = short;
inline constexpr LineEndKind kLineEndCrLf = 0;
inline constexpr LineEndKind kLineEndLf = 1;
inline constexpr LineEndKind kLineEndCr = 2;

// No text may grow beyond this many units; a step that would make it longer
// fails as if memory had run out, and the file is left untouched.
inline constexpr size_t kMaxTextUnits = size_t{1} << 31;

// Throws std::bad_alloc when a text of units units would be too long.
inline void CheckTextLength(size_t units) {
  if (units > kMaxTextUnits) throw std::bad_alloc();
}

}  // namespace sorrel
