// Writes the benchmarks' input: seeded prose that mixes Japanese and ASCII,
// CR+LF line ends, some tabs, some trailing blanks and number pairs for the
// replacement, in UTF-8 or Shift-JIS. The same arguments give the same bytes
// on every run and every machine: the generator is std::mt19937_64, whose
// sequence the language fixes, reduced by plain modulo.
//
//   gen file utf8|sjis BYTES SEED PATH      one file of at most BYTES bytes
//   gen tree FILES FOLDERS BYTES SEED PATH  FILES UTF-8 files of at most BYTES
//                                           bytes each, dealt over FOLDERS
//                                           folders d000, d001, ... under PATH
#include <iconv.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

const char* const kJapaneseWords[] = {
    "日本語",     "文字コード", "改行",     "変換", "ファイル",   "東京",     "大阪",
    "漢字",       "ひらがな",   "カタカナ", "全角", "半角",       "速度",     "測定",
    "結果",       "表示",       "設定",     "保存", "確認",       "処理",     "今日",
    "明日",       "天気",       "会議",     "資料", "報告書",     "番号",     "住所",
    "電話",       "時間",       "問題",     "解決", "山田",       "鈴木",     "佐藤",
    "の",         "を",         "に",       "は",   "が",         "と",       "で",
    "します",     "しました",   "です",     "ます", "ありません", "ください", "コンピュータ",
    "プログラム", "データ",     "テキスト", "ｶﾀｶﾅ", "①",          "〒",
};

const char* const kAsciiWords[] = {
    "the",   "file",  "line",  "text",   "code",  "page",      "tab",   "space",
    "and",   "of",    "to",    "in",     "is",    "with",      "for",   "report",
    "data",  "value", "mode",  "Sorrel", "UTF-8", "Shift_JIS", "CR+LF", "version",
    "alpha", "beta",  "gamma", "delta",  "quick", "brown",     "fox",   "jumps",
};

constexpr size_t kJapaneseCount = sizeof kJapaneseWords / sizeof *kJapaneseWords;
constexpr size_t kAsciiCount = sizeof kAsciiWords / sizeof *kAsciiWords;

struct Vocabulary {
  std::vector<std::string> japanese;  // in the output's code page
  std::string comma;                  // 、
  std::string full_stop;              // 。
  std::string wide_space;             // U+3000
};

// Converts a UTF-8 word into the output's code page; exits on failure, since
// a word the page lacks is a fault of the list above.
std::string Encode(iconv_t cd, const std::string& word) {
  if (cd == nullptr) return word;
  std::string out(word.size() * 2 + 8, '\0');
  char* in = const_cast<char*>(word.data());
  size_t in_left = word.size();
  char* target = out.data();
  size_t out_left = out.size();
  if (iconv(cd, &in, &in_left, &target, &out_left) == static_cast<size_t>(-1)) {
    std::fprintf(stderr, "gen: cannot encode %s: %s\n", word.c_str(), std::strerror(errno));
    std::exit(1);
  }
  out.resize(out.size() - out_left);
  return out;
}

Vocabulary MakeVocabulary(bool sjis) {
  iconv_t cd = nullptr;
  if (sjis) {
    cd = iconv_open("CP932", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
      std::perror("gen: iconv_open CP932");
      std::exit(1);
    }
  }
  Vocabulary v;
  for (const char* word : kJapaneseWords) v.japanese.push_back(Encode(cd, word));
  v.comma = Encode(cd, "、");
  v.full_stop = Encode(cd, "。");
  v.wide_space = Encode(cd, "\u3000");
  if (cd != nullptr) iconv_close(cd);
  return v;
}

class LineMaker {
 public:
  LineMaker(const Vocabulary& v, uint64_t seed) : v_(v), random_(seed) {}

  // One line of prose with its CR+LF.
  std::string Next() {
    std::string line;
    if (Pick(6) == 0) line += '\t';
    switch (Pick(10)) {
      case 0:
      case 1:
      case 2:
      case 3:
        Japanese(&line);
        break;
      case 4:
      case 5:
      case 6:
        Ascii(&line);
        break;
      case 7:
      case 8:
        Ascii(&line);
        line += ' ';
        Japanese(&line);
        break;
      default:  // a table row
        line += kAsciiWords[Pick(kAsciiCount)];
        line += '\t';
        line += v_.japanese[Pick(kJapaneseCount)];
        line += '\t';
        line += std::to_string(Pick(100000));
        break;
    }
    if (Pick(3) == 0) {
      line += ' ';
      line += std::to_string(Pick(1000));
      line += '-';
      line += std::to_string(Pick(10000));
    }
    if (Pick(8) == 0) {
      for (uint64_t n = 1 + Pick(3); n > 0; --n) line += Pick(2) == 0 ? ' ' : '\t';
    }
    line += "\r\n";
    return line;
  }

 private:
  uint64_t Pick(uint64_t n) { return random_() % n; }

  void Japanese(std::string* line) {
    for (uint64_t n = 4 + Pick(12); n > 0; --n) {
      *line += v_.japanese[Pick(kJapaneseCount)];
      const uint64_t mark = Pick(12);
      if (mark == 0) *line += v_.comma;
      if (mark == 1) *line += v_.wide_space;
    }
    *line += v_.full_stop;
  }

  void Ascii(std::string* line) {
    for (uint64_t n = 5 + Pick(10); n > 0; --n) {
      *line += kAsciiWords[Pick(kAsciiCount)];
      if (n > 1) *line += ' ';
    }
    *line += '.';
  }

  const Vocabulary& v_;
  std::mt19937_64 random_;
};

// Lines until the next one would not fit in limit bytes.
std::string MakeText(LineMaker& maker, uint64_t limit) {
  std::string text;
  text.reserve(limit);
  for (;;) {
    const std::string line = maker.Next();
    if (text.size() + line.size() > limit) return text;
    text += line;
  }
}

void WriteFile(const std::string& path, const std::string& bytes) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size() ||
      std::fclose(file) != 0) {
    std::perror(("gen: " + path).c_str());
    std::exit(1);
  }
}

void MakeFolder(const std::string& path) {
  if (mkdir(path.c_str(), 0755) != 0 && errno != EEXIST) {
    std::perror(("gen: " + path).c_str());
    std::exit(1);
  }
}

// Writes one big file in pieces, so that the generator holds at most one
// piece however large the file.
void GenerateFile(bool sjis, uint64_t bytes, uint64_t seed, const std::string& path) {
  const Vocabulary v = MakeVocabulary(sjis);
  LineMaker maker(v, seed);
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) {
    std::perror(("gen: " + path).c_str());
    std::exit(1);
  }
  constexpr uint64_t kPiece = uint64_t{1} << 20;
  uint64_t written = 0;
  bool full = false;
  while (!full) {
    std::string piece;
    while (piece.size() < kPiece) {
      const std::string line = maker.Next();
      full = written + piece.size() + line.size() > bytes;
      if (full) break;
      piece += line;
    }
    if (std::fwrite(piece.data(), 1, piece.size(), file) != piece.size()) {
      std::perror(("gen: " + path).c_str());
      std::exit(1);
    }
    written += piece.size();
  }
  if (std::fclose(file) != 0) {
    std::perror(("gen: " + path).c_str());
    std::exit(1);
  }
}

void GenerateTree(uint64_t files, uint64_t folders, uint64_t bytes, uint64_t seed,
                  const std::string& path) {
  const Vocabulary v = MakeVocabulary(false);
  LineMaker maker(v, seed);
  MakeFolder(path);
  char name[64];
  for (uint64_t folder = 0; folder < folders; ++folder) {
    std::snprintf(name, sizeof name, "/d%03llu", static_cast<unsigned long long>(folder));
    MakeFolder(path + name);
  }
  for (uint64_t i = 0; i < files; ++i) {
    std::snprintf(name, sizeof name, "/d%03llu/f%06llu.txt",
                  static_cast<unsigned long long>(i % folders), static_cast<unsigned long long>(i));
    WriteFile(path + name, MakeText(maker, bytes));
  }
}

uint64_t Number(const char* text) {
  char* end = nullptr;
  const unsigned long long value = std::strtoull(text, &end, 10);
  if (end == text || *end != '\0') {
    std::fprintf(stderr, "gen: not a number: %s\n", text);
    std::exit(2);
  }
  return value;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "file" && argc == 6 &&
      (std::strcmp(argv[2], "utf8") == 0 || std::strcmp(argv[2], "sjis") == 0)) {
    GenerateFile(std::strcmp(argv[2], "sjis") == 0, Number(argv[3]), Number(argv[4]), argv[5]);
    return 0;
  }
  if (mode == "tree" && argc == 7 && Number(argv[3]) > 0) {
    GenerateTree(Number(argv[2]), Number(argv[3]), Number(argv[4]), Number(argv[5]), argv[6]);
    return 0;
  }
  std::fprintf(stderr,
               "usage: gen file utf8|sjis BYTES SEED PATH\n"
               "       gen tree FILES FOLDERS BYTES SEED PATH\n");
  return 2;
}
