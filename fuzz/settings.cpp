// The settings file parsers: what one of them reads, written out and read
// again, gives the same values, and writing that again gives the same bytes.
//
// Input: byte 0 chooses the hive file (bit 0 clear) or the INI profile (set);
// the rest is the file.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/hive_format.h"
#include "settings/ini_document.h"

namespace sorrel::settings {
namespace {

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "property failed: %s\n", what);
  std::abort();
}

bool SameHive(const Hive& a, const Hive& b) {
  if (a.keys.size() != b.keys.size()) return false;
  for (size_t k = 0; k < a.keys.size(); ++k) {
    const HiveKey& x = a.keys[k];
    const HiveKey& y = b.keys[k];
    if (x.path != y.path || x.values.size() != y.values.size()) return false;
    for (size_t v = 0; v < x.values.size(); ++v) {
      const HiveValue& p = x.values[v];
      const HiveValue& q = y.values[v];
      if (p.name != q.name || p.type != q.type || p.data != q.data) return false;
    }
  }
  return true;
}

bool IsWellFormed(std::u16string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c >= 0xDC00 && c <= 0xDFFF) return false;
    if (c >= 0xD800 && c <= 0xDBFF) {
      if (i + 1 == text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) return false;
      ++i;
    }
  }
  return true;
}

// UTF-8 cannot hold a lone surrogate, so a key or value name with one (from
// a UTF-16 file) comes back as U+FFFD once written.
bool HasWellFormedNames(const Hive& hive) {
  for (const HiveKey& key : hive.keys) {
    if (!IsWellFormed(key.path)) return false;
    for (const HiveValue& value : key.values) {
      if (!IsWellFormed(value.name)) return false;
    }
  }
  return true;
}

void CheckHive(std::string_view bytes) {
  Hive first;
  if (!ParseHive(bytes, &first)) return;
  const std::string written = SerializeHive(first);
  Hive second;
  if (!ParseHive(written, &second)) Fail("a written hive does not parse");
  if (HasWellFormedNames(first) && !SameHive(first, second)) {
    Fail("a written hive reads back other values");
  }
  if (SerializeHive(second) != written) Fail("a hive is not written the same way twice");
}

// The section and key names the text could be asked for: every bracketed
// name and every name before an equals sign.
std::vector<std::u16string> CandidateNames(const IniDocument& doc) {
  std::vector<std::u16string> names;
  for (const IniLine& line : doc.lines) {
    const size_t open = line.text.find(u'[');
    const size_t close = line.text.find(u']');
    if (open != std::u16string::npos && close != std::u16string::npos && open < close) {
      names.push_back(line.text.substr(open + 1, close - open - 1));
    }
    const size_t equals = line.text.find(u'=');
    if (equals != std::u16string::npos) names.push_back(line.text.substr(0, equals));
  }
  if (names.size() > 16) names.resize(16);
  return names;
}

void CheckIni(std::string_view bytes) {
  IniDocument first = ParseIni(bytes);
  const std::string written = SerializeIni(first);
  const IniDocument second = ParseIni(written);
  if (second.encoding != first.encoding || second.lines.size() != first.lines.size()) {
    Fail("a written profile reads back in another shape");
  }
  for (size_t i = 0; i < first.lines.size(); ++i) {
    if (first.lines[i].text != second.lines[i].text) Fail("a written line reads back otherwise");
  }
  const std::vector<std::u16string> names = CandidateNames(first);
  for (const std::u16string& section : names) {
    for (const std::u16string& key : names) {
      if (FindIniValue(first, section, key) != FindIniValue(second, section, key)) {
        Fail("a written profile gives another value");
      }
    }
  }
  if (SerializeIni(second) != written) Fail("a profile is not written the same way twice");

  // A value set into the text is found again after a round trip.
  const std::u16string value = u"v" + std::u16string(bytes.size() % 7, u'x') + u"1";
  SetIniValue(&first, u"FuzzSection", u"FuzzKey", value);
  const IniDocument third = ParseIni(SerializeIni(first));
  if (FindIniValue(third, u"FuzzSection", u"FuzzKey") != value) {
    Fail("a value set into a profile is not read back");
  }
}

}  // namespace
}  // namespace sorrel::settings

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  if (data[0] & 1) {
    sorrel::settings::CheckIni(bytes);
  } else {
    sorrel::settings::CheckHive(bytes);
  }
  return 0;
}
