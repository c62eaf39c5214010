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

    // The keys of `section` in file order, each name once (the first line of a
    // name is the one ReadString reads), for sections whose keys are the user's
    // own words.
    std::vector<std::string> KeysOf(std::string_view section) const;

    // Creates the file, section and key as needed; raises "Unable to write to <path>"
    // when the file cannot be written, leaving file and memory as they were.
    void WriteString(std::string_view section, std::string_view key, std::string_view value);

  private:
    enum class LineEnd : unsigned char { None, CrLf, Cr, Lf };
    // A line and what every lookup asks of it, found once when the line is made: a
    // start-up makes some hundred lookups for a few dozen edits.
    struct Line {
        std::string Text;  // without its end
        LineEnd End = LineEnd::None;
        bool Blank = false;   // blanks only
        bool Header = false;  // "[" after blanks
        // A header's trimmed name, or a key line's trimmed key (the text before its
        // first "="); NameLength is npos on a line that is neither.
        std::size_t NameStart = 0;
        std::size_t NameLength = std::string::npos;
        std::size_t Equals = std::string::npos;  // a key line's first "="

        Line() = default;
        Line(std::string text, LineEnd end);
        std::string_view Name() const {
            return std::string_view(Text).substr(NameStart, NameLength);
        }
        bool IsKey() const { return !Header && Equals != std::string::npos; }
    };
    using Lines = std::vector<Line>;

    ProfileFile() = default;
    void Parse(std::string_view content);
    // The first header naming `section`, or npos.
    std::size_t FindSection(std::string_view section) const;
    static std::string Joined(const Lines& lines);
    // The first key line for `key` in the section at `header`, or npos.
    std::size_t FindKey(std::size_t header, std::string_view key) const;
    // Where a new key goes in the section at `header`: after its last non-blank line.
    static std::size_t NewKeyLine(const Lines& lines, std::size_t header);

    std::string path_;
    bool inMemory_ = false;
    Lines lines_;
    bool unreadable_ = false;  // the file exists but could not be read: never overwrite it
};

}  // namespace quorvane
