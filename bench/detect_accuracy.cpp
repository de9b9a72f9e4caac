// Measures how often automatic detection reads short texts right, beside
// uchardet alone on the very same bytes, and prints Markdown tables. A
// measurement, not a test: run it after a change to detection.
//
//   sorrel_detect_accuracy [--wrong] [data-folder]
//
// Each text of the corpus in data/ is encoded in each code page of its row
// and cut into windows that start at every k-th character (k chosen for at
// most 1,000 windows a cell): the longest run of whole characters that
// encodes to at most 8, 32, 128 or 512 bytes, or exactly 4, 8 or 16
// characters. Windows of ASCII alone are left out, since every answer that
// keeps ASCII reads them right. An answer is right when the strict decoding
// in the page it names gives back the window's text. uchardet's label goes
// through the same label table as detection; no label is a wrong answer.
// --wrong lists, for each cell, the wrong answers of detection.
#include <uchardet.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "base/utf.h"
#include "platform/posix/detect.h"
#include "platform/posix/icu_code_pages.h"
#include "platform/program.h"

namespace sorrel::platform {
namespace {

struct Row {
  const char* name;
  const char* file;
  uint32_t code_page;
};

constexpr Row kRows[] = {
    {"Shift-JIS", "japanese-prose.txt", 932},
    {"Shift-JIS, half-width kana", "japanese-halfwidth-kana.txt", 932},
    {"EUC-JP", "japanese-prose.txt", 51932},
    {"EUC-JP, half-width kana", "japanese-halfwidth-kana.txt", 51932},
    {"JIS (50220)", "japanese-prose.txt", 50220},
    {"JIS, half-width kana (50221)", "japanese-halfwidth-kana.txt", 50221},
    {"UTF-8", "japanese-prose.txt", 65001},
    {"UTF-8, half-width kana", "japanese-halfwidth-kana.txt", 65001},
    {"UTF-16LE, no mark", "japanese-prose.txt", 1200},
    {"UTF-16BE, no mark", "japanese-prose.txt", 1201},
    {"UTF-16LE, no mark, kanji only", "kanji-dense.txt", 1200},
    {"UTF-16BE, no mark, kanji only", "kanji-dense.txt", 1201},
    {"Hebrew windows-1255", "hebrew.txt", 1255},
    {"Greek windows-1253", "greek.txt", 1253},
    {"Greek ISO-8859-7", "greek.txt", 28597},
    {"Cyrillic windows-1251", "russian.txt", 1251},
    {"Cyrillic KOI8-R", "russian.txt", 20866},
    {"Latin-1 ISO-8859-1", "western-european.txt", 28591},
    {"Western European UTF-8", "western-european.txt", 65001},
    {"Greek UTF-8", "greek.txt", 65001},
    {"Cyrillic UTF-8", "russian.txt", 65001},
};

constexpr size_t kMaxWindows = 1000;
constexpr size_t kByteSizes[] = {8, 32, 128, 512};
constexpr size_t kCharacterSizes[] = {4, 8, 16};

struct Window {
  std::u16string text;
  std::string bytes;
};

struct Cell {
  size_t windows = 0;
  size_t detected = 0;
  size_t uchardet = 0;
  std::map<uint32_t, size_t> wrong;  // detection's wrong answers
};

std::u16string ReadText(const std::string& folder, const char* file) {
  std::ifstream in(folder + "/" + file, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  std::u16string text;
  if (!in || !Utf8ToUtf16Strict(content.str(), &text)) {
    std::fprintf(stderr, "cannot read %s/%s\n", folder.c_str(), file);
    std::exit(1);
  }
  return text;
}

bool IsAscii(std::u16string_view text) {
  return std::all_of(text.begin(), text.end(), [](char16_t unit) { return unit < 0x80; });
}

class Corpus {
 public:
  explicit Corpus(CodePageConverter* converter) : converter_(converter) {}

  // The bytes of text in code_page; empty when the page cannot hold it.
  std::string Encoded(uint32_t code_page, std::u16string_view text) {
    std::string bytes;
    EncodeLosses losses;
    if (converter_->Encode(code_page, text, &bytes, &losses) != EncodeStatus::Ok ||
        losses.replaced + losses.widened > 0) {
      return {};
    }
    return bytes;
  }

  // The windows of one cell: by bytes (at most size) or by characters.
  std::vector<Window> Windows(const std::u16string& text, uint32_t code_page, bool by_bytes,
                              size_t size) {
    std::vector<Window> windows;
    const size_t step = std::max<size_t>(1, (text.size() + kMaxWindows - 1) / kMaxWindows);
    for (size_t start = 0; start < text.size(); start += step) {
      const size_t length = by_bytes ? LongestFitting(text, start, code_page, size) : size;
      if (length == 0 || start + length > text.size()) continue;
      const std::u16string piece = text.substr(start, length);
      if (IsAscii(piece)) continue;
      std::string bytes = Encoded(code_page, piece);
      if (bytes.empty()) continue;
      windows.push_back({piece, std::move(bytes)});
    }
    return windows;
  }

  CodePageConverter* converter() { return converter_; }

  bool DecodesTo(uint32_t code_page, const std::string& bytes, std::u16string_view text) {
    std::u16string out;
    return code_page != 0 && converter_->Decode(code_page, bytes, &out) && out == text;
  }

 private:
  // The most characters from start on that encode to at most size bytes: the
  // encoded length grows with the characters, so a binary search finds it.
  size_t LongestFitting(const std::u16string& text, size_t start, uint32_t code_page, size_t size) {
    size_t low = 0;
    size_t high = std::min(size, text.size() - start);
    while (low < high) {
      const size_t middle = (low + high + 1) / 2;
      const std::string bytes = Encoded(code_page, std::u16string_view(text).substr(start, middle));
      if (!bytes.empty() && bytes.size() <= size) {
        low = middle;
      } else {
        high = middle - 1;
      }
    }
    return low;
  }

  CodePageConverter* converter_;
};

uint32_t UchardetAlone(const std::string& bytes) {
  uchardet_t detector = uchardet_new();
  std::string label;
  if (uchardet_handle_data(detector, bytes.data(), bytes.size()) == 0) {
    uchardet_data_end(detector);
    label = uchardet_get_charset(detector);
  }
  uchardet_delete(detector);
  return label.empty() ? 0 : CodePageForCharset(label);
}

Cell Measure(Corpus& corpus, const std::vector<Window>& windows) {
  Cell cell;
  for (const Window& window : windows) {
    ++cell.windows;
    uint32_t detected = 0;
    corpus.converter()->Detect(window.bytes, &detected);
    if (corpus.DecodesTo(detected, window.bytes, window.text)) {
      ++cell.detected;
    } else {
      ++cell.wrong[detected];
    }
    if (corpus.DecodesTo(UchardetAlone(window.bytes), window.bytes, window.text)) ++cell.uchardet;
  }
  return cell;
}

std::string Percent(size_t part, size_t whole) {
  if (whole == 0) return "-";
  char text[16];
  std::snprintf(text, sizeof text, "%.1f", 100.0 * static_cast<double>(part) / whole);
  return std::strcmp(text, "100.0") == 0 ? "100" : text;
}

void PrintTable(Corpus& corpus, const std::vector<std::u16string>& texts, bool by_bytes,
                const size_t* sizes, size_t size_count, bool list_wrong) {
  std::printf("| Text | Code page |");
  for (size_t i = 0; i < size_count; ++i) {
    std::printf(" %zu %s: auto | uchardet |", sizes[i], by_bytes ? "bytes" : "characters");
  }
  std::printf(" windows |\n|---|---:|");
  for (size_t i = 0; i < size_count; ++i) std::printf("---:|---:|");
  std::printf("---:|\n");
  for (size_t r = 0; r < std::size(kRows); ++r) {
    const Row& row = kRows[r];
    std::printf("| %s | %u |", row.name, row.code_page);
    size_t fewest = SIZE_MAX, most = 0;
    std::string wrong;
    for (size_t i = 0; i < size_count; ++i) {
      const Cell cell =
          Measure(corpus, corpus.Windows(texts[r], row.code_page, by_bytes, sizes[i]));
      const bool below = cell.detected < cell.uchardet;
      std::printf(" %s%s%s | %s |", below ? "**" : "", Percent(cell.detected, cell.windows).c_str(),
                  below ? "**" : "", Percent(cell.uchardet, cell.windows).c_str());
      fewest = std::min(fewest, cell.windows);
      most = std::max(most, cell.windows);
      for (const auto& [answer, count] : cell.wrong) {
        wrong += " " + std::to_string(sizes[i]) + ":" + std::to_string(answer) + "x" +
                 std::to_string(count);
      }
    }
    std::printf(" %zu–%zu |\n", fewest, most);
    if (list_wrong && !wrong.empty())
      std::fprintf(stderr, "%s wrong:%s\n", row.name, wrong.c_str());
  }
}

int Main(int argc, char** argv) {
  bool list_wrong = false;
  std::string folder = SORREL_DATA_SOURCE_DIR;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--wrong") == 0) {
      list_wrong = true;
    } else {
      folder = argv[i];
    }
  }
  IcuCodePageService service(ProgramFolder());
  CreateStatus status;
  std::unique_ptr<CodePageConverter> converter = service.Create(&status);
  if (!converter) {
    std::fprintf(stderr, "cannot create the code-page service\n");
    return 1;
  }
  Corpus corpus(converter.get());
  std::vector<std::u16string> texts;
  for (const Row& row : kRows) texts.push_back(ReadText(folder, row.file));

  std::printf(
      "Share of windows read right, in per cent: automatic detection | uchardet "
      "alone (bold: detection below uchardet).\n\nWindows of at most N bytes:\n\n");
  PrintTable(corpus, texts, true, kByteSizes, std::size(kByteSizes), list_wrong);
  std::printf("\nTexts of exactly N characters:\n\n");
  PrintTable(corpus, texts, false, kCharacterSizes, std::size(kCharacterSizes), list_wrong);
  return 0;
}

}  // namespace
}  // namespace sorrel::platform

int main(int argc, char** argv) {
  return sorrel::platform::Main(argc, argv);
}
