// The private-profile rules over the lines of an INI file.
#include "settings/ini_document.h"

#include "base/utf.h"
#include "settings/names.h"

namespace sorrel::settings {
namespace {

bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t';
}

std::u16string_view TrimLeft(std::u16string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  return s;
}

std::u16string_view Trim(std::u16string_view s) {
  s = TrimLeft(s);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

std::u16string_view Unquote(std::u16string_view value) {
  if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

bool SectionName(std::u16string_view line, std::u16string_view* name) {
  line = TrimLeft(line);
  if (line.empty() || line.front() != u'[') return false;
  const size_t close = line.find(u']');
  if (close == std::u16string_view::npos) return false;
  *name = Trim(line.substr(1, close - 1));
  return true;
}

// A "name=value" line; lines starting with ';' are comments.
bool KeyEntry(std::u16string_view line, std::u16string_view* name, std::u16string_view* value) {
  line = TrimLeft(line);
  if (line.empty() || line.front() == u';') return false;
  const size_t eq = line.find(u'=');
  if (eq == std::u16string_view::npos) return false;
  *name = Trim(line.substr(0, eq));
  *value = Trim(line.substr(eq + 1));
  return !name->empty();
}

struct SectionRange {
  size_t header;
  size_t end;  // the next section's header, or the number of lines
};

std::optional<SectionRange> FindSection(const IniDocument& doc, std::u16string_view section) {
  std::u16string_view name;
  size_t i = 0;
  while (i < doc.lines.size() &&
         !(SectionName(doc.lines[i].text, &name) && SameName(name, section))) {
    ++i;
  }
  if (i == doc.lines.size()) return std::nullopt;
  SectionRange range{i, i + 1};
  while (range.end < doc.lines.size() && !SectionName(doc.lines[range.end].text, &name))
    ++range.end;
  return range;
}

std::optional<size_t> FindKeyLine(const IniDocument& doc, const SectionRange& range,
                                  std::u16string_view key) {
  std::u16string_view name;
  std::u16string_view value;
  for (size_t i = range.header + 1; i < range.end; ++i) {
    if (KeyEntry(doc.lines[i].text, &name, &value) && SameName(name, key)) return i;
  }
  return std::nullopt;
}

// The value as the line holds it: a value that reading would trim or unquote
// is written inside one more pair of quotes, so that it reads back as it was.
std::u16string Written(std::u16string_view value) {
  if (Trim(value).size() == value.size() && Unquote(value).size() == value.size()) {
    return std::u16string(value);
  }
  return u"\"" + std::u16string(value) + u"\"";
}

IniLine EditedLine(std::u16string text) {
  return IniLine{std::move(text), {}, true};
}

void AppendUtf16Le(std::string* out, std::u16string_view text) {
  for (char16_t unit : text) {
    out->push_back(static_cast<char>(unit & 0xFF));
    out->push_back(static_cast<char>(unit >> 8));
  }
}

std::vector<IniLine> SplitUtf16Le(std::string_view body) {
  std::vector<IniLine> lines;
  IniLine line;
  size_t i = 0;
  for (; i + 1 < body.size(); i += 2) {
    const char16_t unit = static_cast<char16_t>(static_cast<unsigned char>(body[i]) |
                                                static_cast<unsigned char>(body[i + 1]) << 8);
    if (unit == u'\n') {
      if (!line.text.empty() && line.text.back() == u'\r') {
        line.text.pop_back();
        line.raw.resize(line.raw.size() - 2);
      }
      lines.push_back(std::move(line));
      line = IniLine{};
      continue;
    }
    line.text.push_back(unit);
    line.raw.append(body.substr(i, 2));
  }
  // An odd last byte reads as a unit with a zero high byte, and is written as
  // one, so that the lines after it stay aligned. An odd LF ends the line as
  // its written unit will when the file is read again.
  if (i < body.size() && body[i] == '\n') {
    if (!line.text.empty() && line.text.back() == u'\r') {
      line.text.pop_back();
      line.raw.resize(line.raw.size() - 2);
    }
    lines.push_back(std::move(line));
    line = IniLine{};
  } else if (i < body.size()) {
    line.text.push_back(static_cast<unsigned char>(body[i]));
    line.raw.push_back(body[i]);
    line.raw.push_back('\0');
  }
  if (!line.raw.empty()) lines.push_back(std::move(line));
  return lines;
}

std::vector<IniLine> SplitUtf8(std::string_view body) {
  std::vector<IniLine> lines;
  while (!body.empty()) {
    const size_t lf = body.find('\n');
    std::string_view raw = body.substr(0, lf);
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    lines.push_back(IniLine{Utf8ToUtf16(raw), std::string(raw), false});
    if (lf == std::string_view::npos) break;
    body.remove_prefix(lf + 1);
  }
  if (!lines.empty() && !lines[0].text.empty() && lines[0].text[0] == 0xFEFF) {
    lines[0].text.erase(0, 1);
  }
  return lines;
}

// A UTF-16LE file that lost its mark: an INI file begins with an ASCII
// character ('[', ';', a key name or a line end), which UTF-16LE writes with a
// zero high byte, and text in UTF-8 never holds a zero byte. The first line
// is never rewritten, so a file read this way is written so again.
bool LooksLikeUtf16LeWithoutMark(std::string_view bytes) {
  return bytes.size() >= 2 && bytes[0] > 0 && bytes[0] < 0x7F && bytes[1] == 0;
}

}  // namespace

IniDocument ParseIni(std::string_view bytes) {
  IniDocument doc;
  if (bytes.empty()) {
    doc.has_bom = true;
  } else if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') {
    doc.has_bom = true;
    doc.lines = SplitUtf16Le(bytes.substr(2));
  } else if (LooksLikeUtf16LeWithoutMark(bytes)) {
    doc.lines = SplitUtf16Le(bytes);
  } else {
    doc.encoding = IniEncoding::Utf8;
    doc.lines = SplitUtf8(bytes);
  }
  return doc;
}

std::string SerializeIni(const IniDocument& doc) {
  std::string out;
  if (doc.encoding == IniEncoding::Utf16Le) {
    if (doc.has_bom) out = "\xFF\xFE";
    for (const IniLine& line : doc.lines) {
      if (line.edited) {
        AppendUtf16Le(&out, line.text);
      } else {
        out.append(line.raw);
      }
      AppendUtf16Le(&out, u"\r\n");
    }
    return out;
  }
  for (const IniLine& line : doc.lines) {
    out.append(line.edited ? Utf16ToUtf8(line.text) : line.raw).append("\r\n");
  }
  return out;
}

std::optional<std::u16string> FindIniValue(const IniDocument& doc, std::u16string_view section,
                                           std::u16string_view key) {
  const std::optional<SectionRange> range = FindSection(doc, section);
  if (!range) return std::nullopt;
  const std::optional<size_t> line = FindKeyLine(doc, *range, key);
  if (!line) return std::nullopt;
  std::u16string_view name;
  std::u16string_view value;
  KeyEntry(doc.lines[*line].text, &name, &value);
  return std::u16string(Unquote(value));
}

void SetIniValue(IniDocument* doc, std::u16string_view section, std::u16string_view key,
                 std::optional<std::u16string_view> value) {
  if (value) value = value->substr(0, value->find_first_of(std::u16string_view(u"\r\n\0", 3)));
  const std::optional<SectionRange> range = FindSection(*doc, section);
  if (!range) {
    if (!value) return;
    doc->lines.push_back(EditedLine(u"[" + std::u16string(section) + u"]"));
    doc->lines.push_back(EditedLine(std::u16string(key) + u"=" + Written(*value)));
    return;
  }
  if (const std::optional<size_t> line = FindKeyLine(*doc, *range, key)) {
    if (!value) {
      doc->lines.erase(doc->lines.begin() + static_cast<ptrdiff_t>(*line));
      return;
    }
    std::u16string_view name;
    std::u16string_view old_value;
    KeyEntry(doc->lines[*line].text, &name, &old_value);
    doc->lines[*line] = EditedLine(std::u16string(name) + u"=" + Written(*value));
    return;
  }
  if (!value) return;
  size_t at = range->end;
  while (at > range->header + 1 && Trim(doc->lines[at - 1].text).empty()) --at;
  doc->lines.insert(doc->lines.begin() + static_cast<ptrdiff_t>(at),
                    EditedLine(std::u16string(key) + u"=" + Written(*value)));
}

}  // namespace sorrel::settings
