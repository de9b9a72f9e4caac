// Encodes one file's final text and writes it back over the file.
#pragma once

#include <cstdint>
#include <string>

#include "engine/job_context.h"
#include "engine/text_buffer.h"
#include "platform/file_system.h"

namespace sorrel {

// Encodes text (which the writer consumes) into code_page, puts the mark of a
// UTF-8 or UTF-16 output first when the input had one (bom 1), and rewrites
// name all or nothing, provided it still matches snapshot. True when the file
// was written. what and detail (empty on entry) receive the texts of a
// failure or of a warning; a true result may come with the warning that
// characters were replaced. A failure leaves the file as it was. Output of
// 4 GiB or more throws std::bad_alloc before the file is touched.
bool WriteTextFile(JobContext& ctx, const std::string& name, TextBuffer text, uint32_t code_page,
                   uint32_t bom, const platform::FileSnapshot& snapshot, std::u16string* what,
                   std::u16string* detail);

// WriteTextFile's first half, which touches no file and may run on any
// thread: the bytes to write for text (consumed), encoded into code_page with
// the mark in front, in *data. False, with what and detail set, when the text
// cannot be encoded; true may come with the warning texts. Output of 4 GiB or
// more throws std::bad_alloc.
bool EncodeForWriting(const JobContext& ctx, TextBuffer text, uint32_t code_page, uint32_t bom,
                      std::string* data, std::u16string* what, std::u16string* detail);

// The same for a text that is already bytes of code_page, without a mark:
// only the encoding is left out.
bool MarkForWriting(const JobContext& ctx, std::string bytes, uint32_t code_page, uint32_t bom,
                    std::string* data, std::u16string* what, std::u16string* detail);

// WriteTextFile's last word: true when result says the file was written;
// otherwise what and detail tell why (they replace a warning).
bool RewriteOutcome(const JobContext& ctx, const platform::RewriteResult& result,
                    std::u16string* what, std::u16string* detail);

// The system's text for an error code in the job's language.
std::u16string SystemErrorText(const JobContext& ctx, int code);

}  // namespace sorrel
