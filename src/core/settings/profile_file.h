#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

// An INI file edited line by line with the classic profile rules: values trimmed
// and unquoted, one line per value, names compared without case, and every line
// the program does not touch kept byte for byte. Each write reaches the disk at
// once through a temporary file and a rename, so an interrupted write leaves the
// old file whole.
class ProfileFile {
  public:
    // Loads the file if it exists; a missing or unreadable file reads as empty.
    explicit ProfileFile(std::string path);

    // A profile held in memory only, parsed from `content` by the same rules as a
    // file; its writes change memory and never touch the disk. Path() is empty.
    static ProfileFile FromBytes(std::string_view content);

    const std::string& Path() const { return path_; }

    // The content as a write stores it: every line with its own end, byte for byte.
    std::string Bytes() const;

    // The stored value, or `fallback` when the section or key is absent. At most
    // 2047 characters come back.
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view fallback) const;

    // Creates the file, section and key as needed; raises "Unable to write to <path>"
    // when the file cannot be written, leaving file and memory as they were.
    void WriteString(std::string_view section, std::string_view key, std::string_view value);

  private:
    ProfileFile() = default;
    void Parse(std::string_view content);
    // The first header naming `section` in lines_, or npos. The header lines are
    // found once per change: a start-up reads and writes some hundred keys.
    std::size_t FindSection(std::string_view section) const;

    std::string path_;
    bool inMemory_ = false;
    std::vector<std::string> lines_;  // without their line ends
    std::vector<std::string> ends_;   // each line's own end, kept as found ("" on a last line)
    bool unreadable_ = false;         // the file exists but could not be read: never overwrite it
    // A header line's index and where its trimmed name lies in that line.
    struct Header {
        std::size_t Line;
        std::size_t NameStart;
        std::size_t NameLength;
    };
    static Header HeaderAt(const std::string& line, std::size_t index);
    // Keeps the known headers in step with a write that rewrote line `replaced`
    // (npos: none) and then inserted `count` lines at `at`.
    void NoteEdit(std::size_t replaced, std::size_t at, std::size_t count);

    mutable std::vector<Header> headers_;  // by rising line, while known
    mutable bool headersKnown_ = false;
    // The last section looked up and its header line (or npos), while the headers are
    // known: reads and writes come in runs of one section. A write looks its section
    // up first and adds lines only after that header, so only a new header can make
    // the remembered line wrong.
    mutable std::string lastSection_;
    mutable std::size_t lastHeader_ = std::string::npos;
    mutable bool lastKnown_ = false;
};

}  // namespace quorvane
