// Validation of UTF-8 at memory speed. Where the processor has AVX2, 32
// bytes are checked at a time with three table lookups per byte pair (the
// classification of the first byte's two halves and the second byte's high
// half: any pair that cannot follow in well-formed UTF-8 is flagged by all
// three), and the bytes that must be a second or third continuation are
// checked against the lead two and three bytes back. Everything else, and
// the last few bytes, is checked one sequence at a time.
#include <cstdint>
#include <cstring>

#include "base/utf.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define SORREL_UTF8_AVX2 1
#endif

namespace sorrel {
namespace {

bool AsciiWord(const unsigned char* p) {
  uint64_t word;
  std::memcpy(&word, p, sizeof word);
  return (word & 0x8080808080808080u) == 0;
}

bool IsContinuation(unsigned char b) {
  return (b & 0xC0) == 0x80;
}

// The length of the well-formed sequence at p (p < end, *p >= 0x80), or 0:
// the ranges of the Unicode standard's table of well-formed sequences.
size_t SequenceLength(const unsigned char* p, const unsigned char* end) {
  const unsigned char b0 = p[0];
  const size_t left = static_cast<size_t>(end - p);
  if (b0 >= 0xE1 && b0 <= 0xEF && b0 != 0xED && left >= 3) {  // most of CJK
    return IsContinuation(p[1]) && IsContinuation(p[2]) ? 3 : 0;
  }
  if (b0 >= 0xC2 && b0 <= 0xDF) return left >= 2 && IsContinuation(p[1]) ? 2 : 0;
  if (b0 >= 0xE0 && b0 <= 0xEF) {
    if (left < 3 || !IsContinuation(p[1]) || !IsContinuation(p[2])) return 0;
    if (b0 == 0xE0 && p[1] < 0xA0) return 0;  // overlong
    if (b0 == 0xED && p[1] > 0x9F) return 0;  // a surrogate
    return 3;
  }
  if (b0 >= 0xF0 && b0 <= 0xF4) {
    if (left < 4 || !IsContinuation(p[1]) || !IsContinuation(p[2]) || !IsContinuation(p[3])) {
      return 0;
    }
    if (b0 == 0xF0 && p[1] < 0x90) return 0;  // overlong
    if (b0 == 0xF4 && p[1] > 0x8F) return 0;  // beyond U+10FFFF
    return 4;
  }
  return 0;
}

bool IsUtf8Scalar(const unsigned char* p, const unsigned char* end) {
  while (p < end) {
    while (end - p >= 16 && AsciiWord(p) && AsciiWord(p + 8)) p += 16;
    if (p == end) break;
    if (*p < 0x80) {
      ++p;
      continue;
    }
    const size_t length = SequenceLength(p, end);
    if (length == 0) return false;
    p += length;
  }
  return true;
}

#ifdef SORREL_UTF8_AVX2

// What a pair of bytes may be wrong by, one bit each; a pair is ill-formed
// when the three lookups agree on a bit.
constexpr uint8_t kTooShort = 1 << 0;      // a lead, then no continuation
constexpr uint8_t kTooLong = 1 << 1;       // ASCII, then a continuation
constexpr uint8_t kOverlong3 = 1 << 2;     // E0, then 80-9F
constexpr uint8_t kTooLarge = 1 << 3;      // F4, then 90-BF; F5-FF
constexpr uint8_t kSurrogate = 1 << 4;     // ED, then A0-BF
constexpr uint8_t kOverlong2 = 1 << 5;     // C0 or C1
constexpr uint8_t kTooLarge1000 = 1 << 6;  // F5-FF, then 80-8F
constexpr uint8_t kOverlong4 = 1 << 6;     // F0, then 80-8F
constexpr uint8_t kTwoConts = 1 << 7;      // a continuation after a continuation
constexpr uint8_t kCarry = kTooShort | kTooLong | kTwoConts;

#define SORREL_TABLE(...) _mm256_setr_epi8(__VA_ARGS__, __VA_ARGS__)

__attribute__((target("avx2"))) __m256i Prev(__m256i input, __m256i previous, int n) {
  const __m256i joined = _mm256_permute2x128_si256(previous, input, 0x21);
  switch (n) {
    case 1:
      return _mm256_alignr_epi8(input, joined, 15);
    case 2:
      return _mm256_alignr_epi8(input, joined, 14);
    default:
      return _mm256_alignr_epi8(input, joined, 13);
  }
}

__attribute__((target("avx2"))) __m256i HighHalf(__m256i v) {
  return _mm256_and_si256(_mm256_srli_epi16(v, 4), _mm256_set1_epi8(0x0F));
}

// Flags where input (after previous) is ill-formed.
__attribute__((target("avx2"))) __m256i BlockErrors(__m256i input, __m256i previous) {
  const __m256i first_high =
      SORREL_TABLE(kTooLong, kTooLong, kTooLong, kTooLong, kTooLong, kTooLong, kTooLong, kTooLong,
                   kTwoConts, kTwoConts, kTwoConts, kTwoConts, kTooShort | kOverlong2, kTooShort,
                   kTooShort | kOverlong3 | kSurrogate,
                   static_cast<char>(kTooShort | kTooLarge | kTooLarge1000 | kOverlong4));
  const __m256i first_low = SORREL_TABLE(
      static_cast<char>(kCarry | kOverlong3 | kOverlong2 | kOverlong4),
      static_cast<char>(kCarry | kOverlong2), static_cast<char>(kCarry), static_cast<char>(kCarry),
      static_cast<char>(kCarry | kTooLarge), static_cast<char>(kCarry | kTooLarge | kTooLarge1000),
      static_cast<char>(kCarry | kTooLarge | kTooLarge1000),
      static_cast<char>(kCarry | kTooLarge | kTooLarge1000),
      static_cast<char>(kCarry | kTooLarge | kTooLarge1000),
      static_cast<char>(kCarry | kTooLarge | kTooLarge1000),
      static_cast<char>(kCarry | kTooLarge | kTooLarge1000),
      static_cast<char>(kCarry | kTooLarge | kTooLarge1000),
      static_cast<char>(kCarry | kTooLarge | kTooLarge1000),
      static_cast<char>(kCarry | kTooLarge | kTooLarge1000 | kSurrogate),
      static_cast<char>(kCarry | kTooLarge | kTooLarge1000),
      static_cast<char>(kCarry | kTooLarge | kTooLarge1000));
  const __m256i second_high = SORREL_TABLE(
      kTooShort, kTooShort, kTooShort, kTooShort, kTooShort, kTooShort, kTooShort, kTooShort,
      static_cast<char>(kTooLong | kOverlong2 | kTwoConts | kOverlong3 | kTooLarge1000 |
                        kOverlong4),
      static_cast<char>(kTooLong | kOverlong2 | kTwoConts | kOverlong3 | kTooLarge),
      static_cast<char>(kTooLong | kOverlong2 | kTwoConts | kSurrogate | kTooLarge),
      static_cast<char>(kTooLong | kOverlong2 | kTwoConts | kSurrogate | kTooLarge), kTooShort,
      kTooShort, kTooShort, kTooShort);
  const __m256i prev1 = Prev(input, previous, 1);
  const __m256i special = _mm256_and_si256(
      _mm256_and_si256(
          _mm256_shuffle_epi8(first_high, HighHalf(prev1)),
          _mm256_shuffle_epi8(first_low, _mm256_and_si256(prev1, _mm256_set1_epi8(0x0F)))),
      _mm256_shuffle_epi8(second_high, HighHalf(input)));
  // A byte two after a lead of three or more, or three after one of four,
  // must be a continuation: exactly where kTwoConts is expected.
  const __m256i third = _mm256_subs_epu8(Prev(input, previous, 2), _mm256_set1_epi8(0xE0 - 0x80));
  const __m256i fourth =
      _mm256_subs_epu8(Prev(input, previous, 3), _mm256_set1_epi8(static_cast<char>(0xF0 - 0x80)));
  const __m256i must_continue =
      _mm256_and_si256(_mm256_or_si256(third, fourth), _mm256_set1_epi8(static_cast<char>(0x80)));
  return _mm256_xor_si256(must_continue, special);
}

#undef SORREL_TABLE

// Checks the whole blocks of 32 bytes from p; false on an error among them.
// A sequence that the last block leaves open is not judged: *checked is
// where the scalar check is to go on, at the last lead in the last three
// bytes of the blocks, or right after them.
__attribute__((target("avx2"))) bool BlocksAreUtf8(const unsigned char* p, size_t size,
                                                   size_t* checked) {
  const size_t blocks = size / 32;
  __m256i previous = _mm256_setzero_si256();
  bool previous_ascii = true;
  __m256i errors = _mm256_setzero_si256();
  for (size_t i = 0; i < blocks; ++i) {
    const __m256i input = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32 * i));
    const bool ascii = _mm256_movemask_epi8(input) == 0;
    if (!ascii || !previous_ascii) errors = _mm256_or_si256(errors, BlockErrors(input, previous));
    previous = input;
    previous_ascii = ascii;
    if ((i & 63) == 63 && !_mm256_testz_si256(errors, errors)) return false;
  }
  if (!_mm256_testz_si256(errors, errors)) return false;
  size_t end = blocks * 32;
  *checked = end;
  for (size_t back = 1; back <= 3 && back <= end; ++back) {
    if (p[end - back] >= 0xC0) {
      *checked = end - back;
      break;
    }
  }
  return true;
}

bool HasAvx2() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}

#endif

}  // namespace

bool IsUtf8(std::string_view bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  size_t checked = 0;
#ifdef SORREL_UTF8_AVX2
  if (HasAvx2() && !BlocksAreUtf8(p, bytes.size(), &checked)) return false;
#endif
  return IsUtf8Scalar(p + checked, p + bytes.size());
}

}  // namespace sorrel
