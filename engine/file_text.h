// One file's content from its reading to its writing: the text the steps run
// on, decoded to UTF-16 as the design has it, or the bytes themselves where
// every chosen step gives on them what it gives on the text
// (byte_transforms.h), which spares decoding and encoding a file whose page
// is ASCII-compatible. The text stays the reference: what is done on bytes
// is only done where the outcome is provably the same to the byte.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "engine/conversion_options.h"
#include "engine/job_context.h"
#include "engine/reader.h"
#include "engine/text_buffer.h"
#include "base/byte_page.h"

namespace sorrel {

struct FileText {
  TextBuffer text;
  // Set when the steps run on bytes: the body of the file in byte_page's code
  // page (the output page), without a mark.
  const platform::BytePage* byte_page = nullptr;
  std::string bytes;
};

// Makes the content of a file read as input_page that is to be written as
// output_page, consuming raw. Thread: any. It stays bytes when no string replacement is
// chosen, input_page has tables, and the bytes are valid and plain in it;
// then the output page must be input_page, or UTF-8 (the bytes are turned
// into UTF-8 straight away). Otherwise it is decoded. CannotDecode where the
// bytes do not decode strictly in input_page, as decoding would tell;
// std::bad_alloc for a text beyond kMaxTextUnits.
ReadResult PrepareFileText(const JobContext& ctx, FileBytes raw, uint32_t input_page,
                           uint32_t output_page, const ConversionOptions& o, FileText* out);

// Runs the stages (a) to (h) in their fixed order, each whose gate holds;
// before each, aborted() is asked, and the first true ends the run with
// false, the content then half done. A stage that changes the content sets
// *changed. An expression's match asks aborted() as it goes (replacement.h).
// *entered counts the stages begun. Thread: any, when aborted() may be
// asked there.
bool RunStages(const JobContext& ctx, FileText& content, const ConversionOptions& o,
               const std::function<bool()>& aborted, bool* changed, int* entered);

// The bytes to write for the content in output_page, with EncodeForWriting
// or, for bytes, MarkForWriting (writer.h). Thread: any.
bool EncodeFileText(const JobContext& ctx, FileText content, uint32_t output_page, uint32_t bom,
                    std::string* data, std::u16string* what, std::u16string* detail);

}  // namespace sorrel
