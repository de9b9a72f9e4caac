// Reads one file whole, settles its code page, and decodes it to UTF-16.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "engine/job_context.h"
#include "engine/text_buffer.h"
#include "platform/file_system.h"

namespace sorrel {

enum class ReadResult {
  Ok = 0,
  CannotOpen = 1,
  Empty = 2,
  ReadError = 3,
  NoService = 4,
  CannotDecode = 5,
  Aborted = 6,
  Binary = 7,       // under detection: NUL bytes in data that is not UTF-16
  NotFollowed = 8,  // a symbolic link of another user on the way to the file
  Unasked = 9,      // an odd cut of UTF-16 waits for the question that only
                    // the job's own thread asks (SettleFileBytes)
  Utf32 = 10,       // a UTF-32 byte-order mark: not a page the reader edits
};

// A file's bytes as the reader has them just before decoding: NUL bytes
// removed and line ends put in as asked, the mark (if any) still in front;
// and the converter that is to decode them.
struct FileBytes {
  std::string bytes;
  size_t mark_length = 0;
  std::unique_ptr<platform::CodePageConverter> converter;
  // How many zero bytes, in UTF-16 zero units, were cut out.
  size_t nul_removed = 0;
  // UTF-16 that a mark or the list settled: decoded unit by unit, lone
  // surrogates too, as the writer writes them, so that a file a rewrite
  // left with one is never unreadable.
  bool utf16_units = false;

  std::string_view body() const { return std::string_view(bytes).substr(mark_length); }
};

// Reads name into text. The code page goes in as CharEncodeOther and comes
// out as the page the text was decoded from (valid on Ok, CannotDecode and
// Aborted); bom is 1 when a byte-order mark was found. With n > 0 a line end
// of kind is put after every n raw bytes behind the mark; for an odd n in a
// UTF-16 file the user is asked first, and No gives Aborted. Decoding is
// strict: a byte sequence that is not valid in the code page gives
// CannotDecode; but UTF-16 settled by a mark or the list is taken unit by
// unit (FileBytes::utf16_units). Under detection (read index 0) a file
// without a mark whose bytes hold a NUL and are not taken for UTF-16 is
// Binary: it is not text, and removing its NUL bytes would destroy it. A
// symbolic link that the file system will not follow gives NotFollowed. A
// file that begins with a UTF-32 mark (FF FE 00 00 or 00 00 FE FF) and
// whose length is a multiple of four gives Utf32 whatever the list says:
// read as UTF-16 or as bytes it would be torn apart. snapshot receives the
// file's state for the rewrite. A text too long to hold throws
// std::bad_alloc. The file is never written.
ReadResult ReadTextFile(JobContext& ctx, const std::string& name, TextBuffer& text,
                        short read_index, uint32_t& code_page, uint32_t& bom, LineEndKind kind,
                        uint32_t n, platform::FileSnapshot* snapshot);

// The reader up to the decoding: as ReadTextFile, with the bytes to decode
// in *out instead of the text (Ok is then not yet a text that decodes).
ReadResult ReadFileBytes(JobContext& ctx, const std::string& name, short read_index,
                         uint32_t& code_page, uint32_t& bom, LineEndKind kind, uint32_t n,
                         platform::FileSnapshot* snapshot, FileBytes* out);

// ReadFileBytes in two: the file system's part, which reads name whole...
ReadResult ReadRawFile(JobContext& ctx, const std::string& name, std::string* bytes,
                       platform::FileSnapshot* snapshot);

// ... and the rest, on the bytes it read. This part touches no file and, but
// for the question of an odd cut of UTF-16, may run on any thread: with
// may_ask false it gives Unasked instead of asking.
ReadResult SettleFileBytes(JobContext& ctx, const std::string& name, std::string bytes,
                           short read_index, uint32_t& code_page, uint32_t& bom, LineEndKind kind,
                           uint32_t n, bool may_ask, FileBytes* out);

// The last step of the reader: decodes the body of bytes from code_page
// into text, strictly but for utf16_units; CannotDecode when it does not
// decode.
ReadResult DecodeFileBytes(const FileBytes& bytes, uint32_t code_page, TextBuffer& text);

// The byte-buffer edits of the reader, each in one linear pass.

// Cuts out zero bytes; in UTF-16 only whole zero units, pairing from the
// first byte (a lone last byte stays). Gives how many bytes or units went.
size_t RemoveNulBytes(std::string& bytes, bool utf16);

// Puts the line end of kind between pieces of n bytes behind the first
// skip bytes, none after the last piece. UTF-16 line ends are units in the
// file's byte order; with an even n a piece that would end between the
// halves of a surrogate pair takes the pair whole (n + 2 bytes). A kind
// other than 0, 1 and 2 inserts nothing.
void InsertLineEndEveryNBytes(std::string& bytes, size_t skip, uint32_t n, LineEndKind kind,
                              uint32_t code_page);

}  // namespace sorrel
