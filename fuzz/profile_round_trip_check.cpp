#include "profile_round_trip_check.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <utility>

#include "core/settings/profile_file.h"
#include "core/text/quorvane_error.h"

namespace quorvane::fuzzing {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kMaxValueLength = 2047;
constexpr std::size_t kMaxProbes = 64;
constexpr std::string_view kAbsent =
    "\x01"
    "absent";

// The program's own sections and keys, with case and blank variants of some.
const char* const kSections[] = {"Active",   "Configuration", "configuration",
                                 "Options",  "Symptoms",      " Symptoms ",
                                 "Composer", "COMPOSER",      "Fresh"};
const char* const kKeys[] = {"main", "MainFile", "MAINFILE", "Name", "Sound",  " Level ",
                             "2",    "21",       "0",        "47",   "new key"};

struct Write {
    std::string section;
    std::string key;
    std::string value;
};

// Views of the names above or of the content, which outlives the probes.
using Probe = std::pair<std::string_view, std::string_view>;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool SameName(std::string_view a, std::string_view b) {
    a = Trim(a);
    b = Trim(b);
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return (x >= 'A' && x <= 'Z' ? x - 'A' + 'a' : x) ==
                      (y >= 'A' && y <= 'Z' ? y - 'A' + 'a' : y);
           });
}

// What a read must give back for a written value: its first line, without blanks
// around it and without one matching pair of quotes, cut to the read limit.
std::string ReadBackOf(std::string_view value) {
    const auto brk =
        std::find_if(value.begin(), value.end(), [](char c) { return c == '\r' || c == '\n'; });
    std::string_view line = Trim(value.substr(0, static_cast<std::size_t>(brk - value.begin())));
    if (line.size() >= 2 && (line.front() == '"' || line.front() == '\'') &&
        line.back() == line.front()) {
        line = line.substr(1, line.size() - 2);
    }
    return std::string(line.substr(0, kMaxValueLength));
}

// The file's lines without their ends, as views into `content`; CR LF, CR and LF
// each end a line.
std::vector<std::string_view> SplitLines(std::string_view content) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t brk = start;
        while (brk < content.size() && content[brk] != '\r' && content[brk] != '\n') {
            ++brk;
        }
        lines.emplace_back(content.substr(start, brk - start));
        if (brk == content.size()) {
            break;
        }
        start =
            brk +
            (content[brk] == '\r' && brk + 1 < content.size() && content[brk + 1] == '\n' ? 2 : 1);
    }
    return lines;
}

// The key part of a key line, or nullopt for any other line.
std::optional<std::string_view> KeyOf(std::string_view line) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
        return std::nullopt;
    }
    return Trim(line.substr(0, equals));
}

// Section and key names found in the content, as probes of keys no write touches.
// Keys must start like the program's own; a ";" line is inert only by convention.
void AddContentProbes(const std::vector<std::string_view>& lines, std::vector<Probe>& probes) {
    std::string_view section;
    std::size_t added = 0;
    for (const std::string_view line : lines) {
        const std::string_view rest = Trim(line);
        if (!rest.empty() && rest.front() == '[') {
            const std::string_view inner = rest.substr(1);
            section = Trim(inner.substr(0, inner.find(']')));
            continue;
        }
        const std::optional<std::string_view> key = KeyOf(line);
        if (!section.empty() && key && !key->empty() &&
            std::isalnum(static_cast<unsigned char>(key->front())) && added < kMaxProbes) {
            probes.emplace_back(section, *key);
            ++added;
        }
    }
}

class Reader {
  public:
    explicit Reader(std::string_view input) : input_(input) {}
    std::optional<unsigned char> Byte() {
        if (input_.empty()) {
            return std::nullopt;
        }
        const auto byte = static_cast<unsigned char>(input_.front());
        input_.remove_prefix(1);
        return byte;
    }
    std::string_view Take(std::size_t count) {
        const std::string_view taken = input_.substr(0, count);
        input_.remove_prefix(taken.size());
        return taken;
    }
    std::string_view Rest() const { return input_; }

  private:
    std::string_view input_;
};

struct Scenario {
    std::vector<Write> writes;
    bool reopenEachWrite = false;
    std::string content;
};

std::optional<Scenario> Decode(std::string_view input) {
    Reader reader(input);
    const std::optional<unsigned char> options = reader.Byte();
    if (!options) {
        return std::nullopt;
    }
    Scenario scenario;
    for (int i = 0; i <= (*options & 3); ++i) {
        const auto section = reader.Byte();
        const auto key = reader.Byte();
        const auto length = reader.Byte();
        if (!length) {
            break;
        }
        Write write;
        write.section = kSections[*section % std::size(kSections)];
        write.key = kKeys[(*key & 0x7f) % std::size(kKeys)];
        if ((*key & 0x80) != 0) {
            write.value.assign(2040, 'v');
        }
        write.value += reader.Take(*length);
        scenario.writes.push_back(std::move(write));
    }
    scenario.reopenEachWrite = (*options & 4) != 0;
    scenario.content = std::string(reader.Rest());
    return scenario;
}

}  // namespace

std::vector<std::string> CheckProfileRoundTrip(std::string_view input) {
    std::vector<std::string> out;
    const std::optional<Scenario> scenario = Decode(input);
    if (!scenario) {
        return out;
    }
    const std::vector<Write>& writes = scenario->writes;
    const std::vector<std::string_view> originalLines = SplitLines(scenario->content);

    std::vector<Probe> probes;
    probes.reserve(std::size(kSections) * std::size(kKeys) + kMaxProbes);
    for (const char* section : kSections) {
        for (const char* key : kKeys) {
            probes.emplace_back(section, key);
        }
    }
    AddContentProbes(originalLines, probes);

    ProfileFile profile = ProfileFile::FromBytes(scenario->content);
    if (profile.Bytes() != scenario->content) {
        out.push_back("the content does not come back byte for byte before any write");
    }
    std::vector<std::string> before;
    before.reserve(probes.size());
    for (const Probe& probe : probes) {
        before.push_back(profile.ReadString(probe.first, probe.second, kAbsent));
    }

    for (const Write& write : writes) {
        if (scenario->reopenEachWrite) {
            profile = ProfileFile::FromBytes(profile.Bytes());
        }
        try {
            profile.WriteString(write.section, write.key, write.value);
        } catch (const QuorvaneError& error) {
            out.push_back(std::string("write refused: ") + error.what());
            return out;
        }
    }

    // What a later run would parse from the stored bytes.
    const std::string stored = profile.Bytes();
    const ProfileFile reread = ProfileFile::FromBytes(stored);
    for (std::size_t i = 0; i < probes.size(); ++i) {
        const auto& [section, key] = probes[i];
        // The last write of a key decides what it reads back.
        std::optional<std::string> expected;
        for (const Write& write : writes) {
            if (SameName(write.section, section) && SameName(write.key, key)) {
                expected = ReadBackOf(write.value);
            }
        }
        // Named only on a finding: most probes find nothing.
        const auto what = [&probe = probes[i]]() {
            return "[" + std::string(probe.first) + "] " + std::string(probe.second);
        };
        const std::string fromBytes = reread.ReadString(section, key, kAbsent);
        const std::string inMemory = profile.ReadString(section, key, kAbsent);
        if (fromBytes != inMemory) {
            out.push_back(what() + " reads differently from memory and from its stored bytes");
        }
        if (expected && fromBytes != *expected) {
            out.push_back(what() + " reads back \"" + fromBytes + "\", written \"" + *expected +
                          "\"");
        }
        if (!expected && fromBytes != before[i]) {
            out.push_back(what() + " changed without being written: \"" + before[i] + "\" -> \"" +
                          fromBytes + "\"");
        }
    }

    // Every line no write replaced survives, byte for byte and in order.
    const std::vector<std::string_view> newLines = SplitLines(stored);
    std::size_t at = 0;
    for (const std::string_view line : originalLines) {
        const std::optional<std::string_view> key = KeyOf(line);
        const bool maybeReplaced =
            key && std::any_of(writes.begin(), writes.end(),
                               [&key](const Write& write) { return SameName(write.key, *key); });
        if (maybeReplaced) {
            continue;
        }
        while (at < newLines.size() && newLines[at] != line) {
            ++at;
        }
        if (at == newLines.size()) {
            out.push_back("the untouched line \"" + std::string(line) + "\" was lost or moved");
            break;
        }
        ++at;
    }
    return out;
}

std::vector<std::string> CheckProfileFileMatchesMemory(std::string_view input,
                                                       const std::string& folder) {
    std::vector<std::string> out;
    const std::optional<Scenario> scenario = Decode(input);
    if (!scenario) {
        return out;
    }
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        fs::remove_all(entry.path());
    }
    const fs::path path = fs::path(folder) / "Quorvane.ini";
    std::ofstream(path, std::ios::binary) << scenario->content;

    auto onDisk = std::make_unique<ProfileFile>(path.string());
    ProfileFile inMemory = ProfileFile::FromBytes(scenario->content);
    for (const Write& write : scenario->writes) {
        if (scenario->reopenEachWrite) {
            onDisk = std::make_unique<ProfileFile>(path.string());
            inMemory = ProfileFile::FromBytes(inMemory.Bytes());
        }
        try {
            onDisk->WriteString(write.section, write.key, write.value);
            inMemory.WriteString(write.section, write.key, write.value);
        } catch (const QuorvaneError& error) {
            out.push_back(std::string("write refused: ") + error.what());
            return out;
        }
    }
    std::ifstream in(path, std::ios::binary);
    const std::string disk((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (disk != inMemory.Bytes()) {
        out.push_back("the file's bytes differ from the same writes made in memory");
    }
    if (onDisk->Bytes() != disk) {
        out.push_back("the file's bytes differ from what its writer holds");
    }
    std::size_t entries = 0;
    for ([[maybe_unused]] const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        ++entries;
    }
    if (entries != 1) {
        out.push_back("the folder holds " + std::to_string(entries) +
                      " entries after the writes, not just the settings file");
    }
    return out;
}

}  // namespace quorvane::fuzzing
