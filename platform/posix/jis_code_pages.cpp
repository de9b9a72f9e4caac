// Half-width katakana in the JIS code pages; everything else is ICU's plain
// ISO-2022-JP.
#include "platform/posix/jis_code_pages.h"

#include <algorithm>

namespace sorrel::platform {
namespace {

constexpr char16_t kFirstKana = 0xFF61;  // ｡
constexpr char16_t kLastKana = 0xFF9F;   // ﾟ

// The full-width form of each half-width katakana, U+FF61 to U+FF9F, as
// JIS X 0208 holds it; the sound marks stay marks of their own.
constexpr char16_t kFullWidthKana[kLastKana - kFirstKana + 1] = {
    u'。', u'「', u'」', u'、', u'・', u'ヲ', u'ァ', u'ィ', u'ゥ', u'ェ', u'ォ', u'ャ', u'ュ',
    u'ョ', u'ッ', u'ー', u'ア', u'イ', u'ウ', u'エ', u'オ', u'カ', u'キ', u'ク', u'ケ', u'コ',
    u'サ', u'シ', u'ス', u'セ', u'ソ', u'タ', u'チ', u'ツ', u'テ', u'ト', u'ナ', u'ニ', u'ヌ',
    u'ネ', u'ノ', u'ハ', u'ヒ', u'フ', u'ヘ', u'ホ', u'マ', u'ミ', u'ム', u'メ', u'モ', u'ヤ',
    u'ユ', u'ヨ', u'ラ', u'リ', u'ル', u'レ', u'ロ', u'ワ', u'ン', u'゛', u'゜'};

bool IsHalfWidthKana(char16_t unit) {
  return unit >= kFirstKana && unit <= kLastKana;
}

// 50220: the kana in full width, then plain ISO-2022-JP.
bool EncodeWidened(std::u16string_view text, const PlainJisEncoder& encode_plain, std::string* out,
                   EncodeLosses* losses) {
  std::u16string widened(text);
  for (char16_t& unit : widened) {
    if (!IsHalfWidthKana(unit)) continue;
    unit = kFullWidthKana[unit - kFirstKana];
    ++losses->widened;
  }
  return encode_plain(widened, out, &losses->replaced);
}

// A designation at the end of out that the next one would override at once.
void DropIdleReturnToAscii(std::string* out) {
  if (out->ends_with("\x1B(B")) out->resize(out->size() - 3);
}

// 50221 and 50222: runs of kana in their 7-bit JIS X 0201 codes, set off by
// ESC ( I ... ESC ( B or by SO ... SI; the runs between in plain
// ISO-2022-JP, each of which starts and ends in the ASCII state.
bool EncodeKanaRuns(bool shift_out, std::u16string_view text, const PlainJisEncoder& encode_plain,
                    std::string* out, EncodeLosses* losses) {
  std::string piece;
  for (size_t begin = 0; begin < text.size();) {
    const auto kana_end = std::find_if_not(text.begin() + begin, text.end(), IsHalfWidthKana);
    const size_t end = static_cast<size_t>(kana_end - text.begin());
    if (end > begin) {
      if (shift_out) {
        out->push_back('\x0E');
      } else {
        DropIdleReturnToAscii(out);
        out->append("\x1B(I");
      }
      for (size_t i = begin; i < end; ++i) out->push_back(static_cast<char>(text[i] - 0xFF40));
      out->append(shift_out ? "\x0F" : "\x1B(B");
      begin = end;
      continue;
    }
    const auto plain_end = std::find_if(text.begin() + begin, text.end(), IsHalfWidthKana);
    const size_t next = static_cast<size_t>(plain_end - text.begin());
    if (!encode_plain(text.substr(begin, next - begin), &piece, &losses->replaced)) return false;
    if (piece.starts_with('\x1B')) DropIdleReturnToAscii(out);
    out->append(piece);
    begin = next;
  }
  return true;
}

}  // namespace

bool IsJisCodePage(uint32_t code_page) {
  return code_page == 50220 || code_page == 50221 || code_page == 50222;
}

bool EncodeJis(uint32_t code_page, std::u16string_view text, const PlainJisEncoder& encode_plain,
               std::string* out, EncodeLosses* losses) {
  out->clear();
  if (std::none_of(text.begin(), text.end(), IsHalfWidthKana)) {
    return encode_plain(text, out, &losses->replaced);
  }
  if (code_page == 50220) return EncodeWidened(text, encode_plain, out, losses);
  return EncodeKanaRuns(code_page == 50222, text, encode_plain, out, losses);
}

}  // namespace sorrel::platform
