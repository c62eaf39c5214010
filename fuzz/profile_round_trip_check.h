#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quorvane::fuzzing {

// Takes arbitrary bytes as a settings file's content, writes a few keys through an
// in-memory ProfileFile, parses the stored bytes again and returns every broken
// round-trip rule as a sentence; empty when all held.
//
// Byte 0: bits 0-1 the number of writes less one, bit 2 a fresh ProfileFile for each
// write. Then per write: a section byte, a key byte (bit 7: the value starts with a
// 2040-byte run so its first line crosses the read limit), a length byte and that
// many value bytes. The remaining bytes are the file's initial content.
std::vector<std::string> CheckProfileRoundTrip(std::string_view input);

// The same input's writes made on a real file in `folder` (an empty folder the check
// owns; it is emptied on entry): the file must end up holding exactly the bytes the
// in-memory writes give, with no temporary file left behind.
std::vector<std::string> CheckProfileFileMatchesMemory(std::string_view input,
                                                       const std::string& folder);

}  // namespace quorvane::fuzzing
