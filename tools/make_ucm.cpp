// Turns the best-fit table of code page 932 (bestfit932.txt, or a table of the
// same layout: trail bytes 0x40-0x7E and 0x80-0xFC) into an ICU .ucm source
// for makeconv.
//
// Usage: make_ucm <bestfit table> <converter name> <output .ucm>
//
// Decoding follows the table's MBTABLE and DBCSTABLE records, encoding its
// WCTABLE. A code that decodes to a unit which encodes back to it is a round
// trip (|0); one whose unit encodes elsewhere is decode-only (|3); a WCTABLE
// record that no code decodes to is a best fit (|1), used only with fallbacks on.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

// A code of the page: one byte (< 0x100) or lead * 0x100 + trail.
using Code = uint32_t;

struct Table {
  uint32_t default_unit = 0;          // what unmapped codes decode to
  std::map<Code, uint32_t> decode;    // code -> unit
  std::map<uint32_t, Code> encode;    // unit -> code
  std::vector<uint32_t> lead_ranges;  // first, last, first, last ...
};

// The fields of one line, without its comment.
std::vector<std::string> Fields(const std::string& line) {
  std::istringstream in(line.substr(0, line.find(';')));
  std::vector<std::string> fields;
  for (std::string field; in >> field;) fields.push_back(field);
  return fields;
}

uint32_t Number(const std::string& text) {
  return static_cast<uint32_t>(std::stoul(text, nullptr, 0));
}

// Reads the records; false with a message on a malformed table.
bool ReadTable(std::istream& in, Table* table, std::string* error) {
  std::string section;     // the table the next records belong to
  uint32_t remaining = 0;  // records left in it
  uint32_t ranges_left = 0;
  uint32_t lead = 0;
  for (std::string line; std::getline(in, line);) {
    const std::vector<std::string> f = Fields(line);
    if (f.empty()) continue;
    if (f[0] == "ENDCODEPAGE") return true;
    if (f[0] == "CODEPAGE") continue;
    if (f[0] == "CPINFO" && f.size() == 4) {
      table->default_unit = Number(f[3]);
    } else if ((f[0] == "MBTABLE" || f[0] == "WCTABLE") && f.size() == 2) {
      section = f[0];
      remaining = Number(f[1]);
    } else if (f[0] == "DBCSRANGE" && f.size() == 2) {
      ranges_left = Number(f[1]);
    } else if (f[0] == "DBCSTABLE" && f.size() == 2) {
      if (table->lead_ranges.empty() || lead >= table->lead_ranges.back()) {
        *error = "DBCSTABLE outside the lead-byte ranges";
        return false;
      }
      section = f[0];
      remaining = Number(f[1]);
      ++lead;
    } else if (f.size() != 2) {
      *error = "unexpected line: " + line;
      return false;
    } else if (remaining > 0) {
      --remaining;
      if (section == "MBTABLE") table->decode[Number(f[0])] = Number(f[1]);
      if (section == "DBCSTABLE") table->decode[lead * 0x100 + Number(f[0])] = Number(f[1]);
      if (section == "WCTABLE") table->encode[Number(f[0])] = Number(f[1]);
    } else if (ranges_left > 0) {
      // A lead-byte range; the DBCSTABLEs that follow are its lead bytes in order.
      --ranges_left;
      table->lead_ranges.push_back(Number(f[0]));
      table->lead_ranges.push_back(Number(f[1]));
      lead = Number(f[0]) - 1;
    } else {
      *error = "record outside a table: " + line;
      return false;
    }
  }
  *error = "no ENDCODEPAGE";
  return false;
}

std::string Bytes(Code code) {
  char text[16];
  if (code < 0x100)
    std::snprintf(text, sizeof text, "\\x%02X", code);
  else
    std::snprintf(text, sizeof text, "\\x%02X\\x%02X", code >> 8, code & 0xFF);
  return text;
}

// A lead byte whose whole row is unmapped carries one record that decodes to
// the default unit; it marks the row, it is not a mapping.
bool IsPlaceholder(const Table& table, Code code, uint32_t unit) {
  if (unit != table.default_unit) return false;
  const auto it = table.encode.find(unit);
  return it == table.encode.end() || it->second != code;
}

void WriteUcm(const Table& table, const std::string& name, std::ostream& out) {
  out << "<code_set_name> \"" << name << "\"\n"
      << "<mb_cur_max> 2\n<mb_cur_min> 1\n<uconv_class> \"MBCS\"\n<subchar> \\x3F\n";
  // State 0: every byte that is not a lead byte is a single-byte code, so that
  // 0x80, 0xA0 and 0xFD-0xFF decode as the table says.
  out << std::hex << "<icu:state> ";
  uint32_t next = 0;
  for (size_t i = 0; i < table.lead_ranges.size(); i += 2) {
    if (table.lead_ranges[i] > next) out << next << '-' << table.lead_ranges[i] - 1 << ", ";
    out << table.lead_ranges[i] << '-' << table.lead_ranges[i + 1] << ":1, ";
    next = table.lead_ranges[i + 1] + 1;
  }
  out << next << "-ff\n" << std::dec << "<icu:state> 40-7e, 80-fc\nCHARMAP\n";

  std::multimap<uint32_t, std::string> lines;  // sorted by unit
  for (const auto& [code, unit] : table.decode) {
    if (IsPlaceholder(table, code, unit)) continue;
    const auto back = table.encode.find(unit);
    const bool round_trip = back != table.encode.end() && back->second == code;
    lines.emplace(unit, Bytes(code) + (round_trip ? " |0" : " |3"));
  }
  for (const auto& [unit, code] : table.encode) {
    const auto forth = table.decode.find(code);
    if (forth == table.decode.end() || forth->second != unit)
      lines.emplace(unit, Bytes(code) + " |1");
  }
  for (const auto& [unit, mapping] : lines) {
    char u[16];
    std::snprintf(u, sizeof u, "<U%04X> ", unit);
    out << u << mapping << '\n';
  }
  out << "END CHARMAP\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: make_ucm <bestfit table> <converter name> <output .ucm>\n";
    return 2;
  }
  std::ifstream in(argv[1]);
  if (!in) {
    std::cerr << "make_ucm: cannot open " << argv[1] << '\n';
    return 1;
  }
  Table table;
  std::string error;
  if (!ReadTable(in, &table, &error)) {
    std::cerr << "make_ucm: " << argv[1] << ": " << error << '\n';
    return 1;
  }
  std::ofstream out(argv[3]);
  WriteUcm(table, argv[2], out);
  out.close();
  if (!out) {
    std::cerr << "make_ucm: cannot write " << argv[3] << '\n';
    return 1;
  }
  return 0;
}
