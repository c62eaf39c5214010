#include "record_analysis_check.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <optional>
#include <utility>

#include "core/analysis/analysis.h"
#include "core/analysis/correlation.h"
#include "core/analysis/record_reader.h"
#include "core/analysis/report.h"
#include "core/text/integer_text.h"
#include "core/text/quorvane_error.h"

namespace quorvane::fuzzing {
namespace {

constexpr char kControlZ = 26;
constexpr std::size_t kReportHeaderLines = 7;
constexpr int32_t kReportBlocks = 8;
constexpr std::size_t kMaxViolations = 20;
// The second run repeats every step on the reused state for small diaries and for one
// larger diary in eight; the others compare what the second read left (the items, the
// counts and the whole grid), which decides all later steps. The full repeat costs as
// much as the first run.
constexpr std::size_t kFullSecondRunBytes = 128;
constexpr uint64_t kFullSecondRunShare = 8;

struct Settings {
    std::string minimumText;
    std::optional<int64_t> minimum;  // none: the text is no integer
    int32_t width = 160;
    char separator = '.';
    bool oddSymptoms = false;
};

Settings DecodeSettings(unsigned char options) {
    struct Minimum {
        const char* text;
        std::optional<int64_t> value;
    };
    static const Minimum kMinimums[8] = {
        {"1", 1},
        {"2", 2},
        {"3", 3},
        {" +3", 3},
        {"0", 0},
        {"-5", -5},
        {"2147483647", 2147483647},
        {"hit 006.0  TEA  3 times", {}},
    };
    static const int32_t kWidths[8] = {170, 160, 10, 2, 1, 0, -3, 40};
    Settings settings;
    const Minimum& minimum = kMinimums[options & 7];
    settings.minimumText = minimum.text;
    settings.minimum = minimum.value;
    settings.width = kWidths[(options >> 3) & 7];
    settings.separator = (options & 0x40) != 0 ? ',' : '.';
    settings.oddSymptoms = (options & 0x80) != 0;
    return settings;
}

// Names that stress the symptom scan: a duplicate, an empty name, an item-like word,
// one that can never match (lower case), a full 30 bytes, and the sentinels' names.
void UseOddSymptoms(SymptomTable& symptoms) {
    symptoms.SetName(3, "HEADACHE");
    symptoms.SetName(5, "");
    symptoms.SetName(6, "TEA");
    symptoms.SetName(7, "fog");
    symptoms.SetName(8, "ABCDEFGHIJKLMNOPQRSTUVWXYZABCD");
    symptoms.SetName(9, "AAA");
    symptoms.SetName(10, "ZZZ");
    symptoms.SetName(11, "COFFEE ");
}

class Violations {
  public:
    void Add(std::string text) {
        if (list_.size() < kMaxViolations) {
            list_.push_back(std::move(text));
        }
    }
    std::vector<std::string> Take() { return std::move(list_); }

  private:
    std::vector<std::string> list_;
};

constexpr uint64_t kHashStart = 1469598103934665603ull;

// FNV-1a, continued from `hash`.
uint64_t Mix(uint64_t hash, std::string_view bytes) {
    for (const char c : bytes) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    }
    return hash;
}

// A number as one word: fixed width, so adjacent numbers stay apart.
uint64_t Mix(uint64_t hash, int64_t value) {
    return (hash ^ static_cast<uint64_t>(value)) * 1099511628211ull;
}

// The chunk splits are a pure function of the input, so a finding replays.
uint64_t Hash(std::string_view bytes) {
    return Mix(kHashStart, bytes) | 1;
}

std::vector<std::string_view> SplitChunks(std::string_view diary, uint64_t state) {
    auto next = [&state]() {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    };
    std::vector<std::string_view> chunks;
    std::size_t pos = 0;
    while (pos < diary.size()) {
        const uint64_t roll = next();
        // Mostly tiny chunks (empty ones included), now and then a long one.
        const std::size_t length = (roll & 15) == 0 ? static_cast<std::size_t>(next() % 4096)
                                                    : static_cast<std::size_t>(roll % 9);
        chunks.push_back(diary.substr(pos, length));
        pos += std::min(length, diary.size() - pos);
    }
    return chunks;
}

struct RunResult {
    int32_t itemCount = 0;
    SymptomCounters totals{};
    int dayEnds = 0;
    int overflowMessages = 0;
    uint64_t items = 0;      // every item's name, count and hits in list order, after the read
    uint64_t readCells = 0;  // the whole grid after the read, as `cells`
    int32_t rows = 0;
    uint64_t cells = 0;  // the whole grid, row by row, after the report: length, then text
    std::vector<std::string> report;
};

// The hits that are not 0, each with its symptom: most items have none, and an item
// whose counters were never written reads as all 0.
uint64_t ItemsFingerprint(const ItemList& items) {
    uint64_t hash = kHashStart;
    for (const TItemNode& node : items.Entries()) {
        hash = Mix(Mix(hash, node.Name), node.Count);
        if (node.SymptomHits.Empty()) {
            continue;
        }
        for (int j = 1; j <= kSymptomCount; ++j) {
            if (const int32_t hits = std::as_const(node.SymptomHits)[j]; hits != 0) {
                hash = Mix(Mix(hash, j), hits);
            }
        }
    }
    return hash;
}

// A fingerprint rather than a copy: the copy was most of a run's cost. Every name and
// count, and the value cells that are not empty with their columns: most rows have none.
uint64_t GridFingerprint(const TextGrid& grid) {
    uint64_t hash = Mix(kHashStart, static_cast<int64_t>(grid.ColCount()));
    const auto mixCell = [&hash](const std::string& cell) {
        hash = Mix(Mix(hash, static_cast<int64_t>(cell.size())), cell);
    };
    for (int32_t row = 0; row < grid.RowCount(); ++row) {
        mixCell(grid.Cell(0, row));
        mixCell(grid.Cell(1, row));
        if (!grid.HasValues(row)) {
            continue;
        }
        for (int32_t column = 2; column < grid.ColCount(); ++column) {
            if (const std::string& cell = grid.Cell(column, row); !cell.empty()) {
                hash = Mix(hash, column);
                mixCell(cell);
            }
        }
    }
    return hash;
}

// A loop in the list, found without remembering nodes: the pointer two steps at a time meets
// the one step at a time only on a loop.
bool LinksBackIntoItself(const TItemNode* first) {
    const TItemNode* slow = first;
    const TItemNode* fast = first;
    while (fast != nullptr && fast->Next != nullptr) {
        slow = slow->Next;
        fast = fast->Next->Next;
        if (slow == fast) {
            return true;
        }
    }
    return false;
}

void CheckItemList(const Analysis& state, Violations& out) {
    const TItemNode* first = state.Items().First();
    if (first == nullptr || first->Name != "AAA" || first->Count < 1) {
        out.Add("the list does not start with the \"AAA\" sentinel");
        return;
    }
    if (LinksBackIntoItself(first)) {
        out.Add("the item list links back into itself");
        return;
    }
    std::vector<const TItemNode*> nodes{first};
    const TItemNode* previous = first;
    int64_t between = 0;
    for (const TItemNode* node = first->Next; node != nullptr; node = node->Next) {
        nodes.push_back(node);
        if (!(previous->Name < node->Name)) {
            out.Add("items not strictly ascending: \"" + previous->Name + "\" then \"" +
                    node->Name + "\"");
        }
        if (node->Count < 1) {
            out.Add("item \"" + node->Name + "\" has count " + std::to_string(node->Count));
        }
        if (node->Next == nullptr) {
            if (node->Name != "ZZZ") {
                out.Add("the list ends in \"" + node->Name + "\", not the \"ZZZ\" sentinel");
            }
        } else {
            ++between;
            const std::string& name = node->Name;
            const bool wordBytes = std::all_of(name.begin(), name.end(), [](char c) {
                return (c >= 'A' && c <= 'Z') || c == ' ';
            });
            if (name.empty() || name.size() > 30 || name.front() == ' ' || !wordBytes) {
                out.Add("item name \"" + name + "\" is no diary word");
            }
        }
        for (int j = 1; j <= kSymptomCount && !node->SymptomHits.Empty(); ++j) {
            // One symptom occurrence credits each occurrence in the window at most once.
            const int64_t bound = static_cast<int64_t>(node->Count) * state.Totals()[j];
            if (node->SymptomHits[j] < 0 || node->SymptomHits[j] > bound) {
                out.Add("item \"" + node->Name + "\" has " + std::to_string(node->SymptomHits[j]) +
                        " hits for symptom " + std::to_string(j));
            }
        }
        previous = node;
    }
    if (between != state.Items().ItemCount()) {
        out.Add("ItemCount " + std::to_string(state.Items().ItemCount()) + " but " +
                std::to_string(between) + " items listed");
    }

    std::sort(nodes.begin(), nodes.end());
    const auto listed = [&nodes](const TItemNode* n) {
        return std::binary_search(nodes.begin(), nodes.end(), n);
    };
    const auto& days = state.Reader().Window.Days;
    for (std::size_t day = 0; day < days.size(); ++day) {
        const auto filled = std::find(days[day].begin(), days[day].end(), nullptr);
        if (std::any_of(filled, days[day].end(), [](const TItemNode* n) { return n != nullptr; })) {
            out.Add("day " + std::to_string(day) + " of the window has a gap");
        }
        if (std::any_of(days[day].begin(), filled,
                        [&listed](const TItemNode* n) { return !listed(n); })) {
            out.Add("day " + std::to_string(day) + " refers to a node outside the list");
        }
        if (day == 0 && filled - days[day].begin() != state.Reader().DayItemCount) {
            out.Add("DayItemCount " + std::to_string(state.Reader().DayItemCount) +
                    " disagrees with the filled slots of the current day");
        }
    }
}

struct ParsedCell {
    double value = 0;
    std::string_view name;
    std::string_view count;
};

// "<pad><digits><sep><digit>  <name>  <count> times"; nullopt when it is not that shape.
std::optional<ParsedCell> ParseCorrelationCell(std::string_view cell, char separator) {
    constexpr std::string_view kTimes = " times";
    if (cell.size() < kTimes.size() ||
        cell.compare(cell.size() - kTimes.size(), kTimes.size(), kTimes) != 0) {
        return std::nullopt;
    }
    const std::size_t valueEnd = cell.find("  ");
    const std::size_t countStart = cell.rfind("  ", cell.size() - kTimes.size()) + 2;
    if (valueEnd == std::string_view::npos || countStart <= valueEnd + 2) {
        return std::nullopt;
    }
    const std::string_view value = cell.substr(0, valueEnd);
    const std::size_t dot = value.find(separator);
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    if (dot == std::string_view::npos || dot == 0 || dot + 2 != value.size() ||
        !std::all_of(value.begin(), value.begin() + static_cast<std::ptrdiff_t>(dot), isDigit) ||
        !isDigit(value.back())) {
        return std::nullopt;
    }
    ParsedCell parsed;
    for (std::size_t i = 0; i < dot; ++i) {
        parsed.value = 10 * parsed.value + (value[i] - '0');
    }
    parsed.value += (value.back() - '0') / 10.0;
    parsed.name = cell.substr(valueEnd + 2, countStart - 2 - (valueEnd + 2));
    parsed.count = cell.substr(countStart, cell.size() - kTimes.size() - countStart);
    return parsed;
}

bool SameNumber(std::string_view text, int32_t number) {
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
    return text == std::string_view(digits, static_cast<std::size_t>(end - digits));
}

void CheckSortedGrid(const Analysis& state, const TextGrid& grid, const SymptomTable& symptoms,
                     const Settings& settings, Violations& out) {
    struct Qualifying {
        std::string_view name;
        const TItemNode* node;
        int32_t seenInColumn;  // the last column that listed it
    };
    // In list order, which CheckItemList holds to be ascending by name: a cell's item
    // is found by a binary search. Should the list be out of order, cells go
    // unfound and are reported here too.
    std::vector<Qualifying> qualifying;
    for (const TItemNode* node = state.Items().First()->Next; node->Next != nullptr;
         node = node->Next) {
        if (node->Count >= *settings.minimum) {
            qualifying.push_back(Qualifying{node->Name, node, -1});
        }
    }
    const auto find = [&qualifying](std::string_view name) {
        const auto at = std::lower_bound(
            qualifying.begin(), qualifying.end(), name,
            [](const Qualifying& item, std::string_view wanted) { return item.name < wanted; });
        return at != qualifying.end() && at->name == name ? at : qualifying.end();
    };
    for (int j = 1; j <= kSymptomCount; ++j) {
        const int32_t column = j + 1;
        // Named only on a finding: building it for every column cost more than the checks.
        const auto where = [column]() { return "column " + std::to_string(column); };
        if (grid.Cell(column, 0) != symptoms.Name(j) ||
            grid.Cell(column, 1) != std::to_string(state.Totals()[j])) {
            out.Add(where() + " lost its heading or total in the sort");
        }
        std::size_t seen = 0;
        bool eachOnce = true;
        int markers = 0;
        for (int32_t row = 2; row < grid.RowCount(); ++row) {
            const std::string& cell = grid.Cell(column, row);
            if (row + 1 < grid.RowCount() && SortsBefore(grid.Cell(column, row + 1), cell)) {
                out.Add(where() + " is out of order at row " + std::to_string(row));
            }
            if (cell.empty()) {
                continue;
            }
            if (cell == kSortMarker) {
                ++markers;
                continue;
            }
            const std::optional<ParsedCell> parsed = ParseCorrelationCell(cell, settings.separator);
            const auto item = parsed ? find(parsed->name) : qualifying.end();
            if (item == qualifying.end() || !SameNumber(parsed->count, item->node->Count)) {
                out.Add(where() + " holds a cell of no qualifying item: \"" + cell + "\"");
                continue;
            }
            if (parsed->value > 9.0 * state.Totals()[j] + 0.05) {
                out.Add(where() + " value above 9 x the symptom total: \"" + cell + "\"");
            }
            if (item->seenInColumn == column) {
                eachOnce = false;
            } else {
                item->seenInColumn = column;
                ++seen;
            }
        }
        if (markers > 2) {
            out.Add(where() + " holds " + std::to_string(markers) + " sort markers");
        }
        const bool columnQualifies = state.Totals()[j] != 0;
        const std::size_t expected = columnQualifies ? qualifying.size() : 0;
        if (seen != expected || !eachOnce) {
            out.Add(where() + " lists " + std::to_string(seen) + " items, expected " +
                    std::to_string(expected) + " each once");
        }
    }
}

void CheckReport(const std::vector<std::string>& report, const TextGrid& grid, int32_t width,
                 Violations& out) {
    if (report.size() < kReportHeaderLines + 3 * kReportBlocks) {
        out.Add("the report has only " + std::to_string(report.size()) + " lines");
        return;
    }
    std::size_t shownCells = 0;
    for (int32_t column = 2; column <= 23; ++column) {
        for (int32_t row = 0; row < grid.RowCount(); ++row) {
            const std::string& cell = grid.Cell(column, row);
            shownCells += !cell.empty() && cell != kSortMarker ? 1 : 0;
        }
    }
    std::size_t fields = 0;
    for (std::size_t i = kReportHeaderLines; i < report.size(); ++i) {
        const std::string& line = report[i];
        if (line.empty()) {
            continue;
        }
        const auto tabs = std::count(line.begin(), line.end(), '\t');
        if (line.front() != ' ' || line.back() != '\t' || tabs < 1 || tabs > 3) {
            out.Add("report line " + std::to_string(i) + " is malformed");
            continue;
        }
        std::size_t start = 1;
        for (std::size_t tab = line.find('\t'); tab != std::string::npos;
             tab = line.find('\t', start)) {
            const std::string_view field(line.data() + start, tab - start);
            if (field.empty() || field == kSortMarker ||
                (width > 1 && field.size() > static_cast<std::size_t>(width - 1))) {
                out.Add("report line " + std::to_string(i) + " has a bad field");
            }
            ++fields;
            start = tab + 1;
        }
    }
    if (fields != shownCells) {
        out.Add("the report shows " + std::to_string(fields) + " cells of the grid's " +
                std::to_string(shownCells));
    }
}

// `full`: every step after the read too; else the read and its checks only.
RunResult RunAnalysis(Analysis& analysis, const std::vector<std::string_view>& chunks,
                      const Settings& settings, bool full, Violations& out) {
    RunResult result;
    analysis.Reset();

    ReadHooks hooks;
    hooks.OnDayEnd = [&result]() { ++result.dayEnds; };
    hooks.OnTooManyItemsPerDay = [&result]() { ++result.overflowMessages; };
    const std::size_t endedAt = analysis.ReadChunks(chunks, hooks);
    std::size_t firstControlZ = chunks.size();
    int expectedDayEnds = 0;
    for (std::size_t i = 0; i < chunks.size() && firstControlZ == chunks.size(); ++i) {
        const std::string_view read = chunks[i].substr(0, chunks[i].find(kControlZ));
        expectedDayEnds += static_cast<int>(std::count(read.begin(), read.end(), '#'));
        if (read.size() != chunks[i].size()) {
            firstControlZ = i;
        }
    }
    if (endedAt != firstControlZ) {
        out.Add("the read reported the end of the record at the wrong chunk");
    }
    const SymptomTable& symptoms = analysis.Symptoms();
    const TextGrid& grid = analysis.Grid();

    result.itemCount = analysis.Items().ItemCount();
    result.totals = analysis.Totals();
    result.items = ItemsFingerprint(analysis.Items());
    CheckItemList(analysis, out);
    if (result.dayEnds != expectedDayEnds) {
        out.Add(std::to_string(result.dayEnds) + " day ends reported for " +
                std::to_string(expectedDayEnds) + " \"#\"");
    }
    if (result.overflowMessages > result.dayEnds + 1) {
        out.Add("\"too many items per day\" more than once a day");
    }
    if (grid.RowCount() != result.itemCount + 2) {
        out.Add("grid has " + std::to_string(grid.RowCount()) + " rows for " +
                std::to_string(result.itemCount) + " items");
    }
    result.readCells = GridFingerprint(grid);
    if (!full) {
        return result;
    }

    try {
        // Parsed at the edge, as the window and quorvane-report parse their minimum.
        const int32_t minimum = StrToInt(settings.minimumText);
        if (!settings.minimum) {
            out.Add("the minimum \"" + settings.minimumText + "\" was taken as a number");
            return result;
        }
        analysis.ComputeTotals(minimum);
        analysis.Correlate(minimum, settings.separator);
        analysis.SortColumns();
        CheckSortedGrid(analysis, grid, symptoms, settings, out);
        result.report = analysis.PrepareReport(settings.width);
        CheckReport(result.report, grid, settings.width, out);
    } catch (const QuorvaneError& error) {
        const std::string expected = "'" + settings.minimumText + "' is not a valid integer value";
        if (settings.minimum || error.what() != expected) {
            out.Add(std::string("unexpected error: ") + error.what());
        }
    }
    result.rows = grid.RowCount();
    result.cells = GridFingerprint(grid);
    return result;
}

// `analyse`: every step after the read too, else the read alone, twice.
std::vector<std::string> Check(std::string_view input, bool analyse) {
    Violations out;
    if (input.empty()) {
        return out.Take();
    }
    const Settings settings = DecodeSettings(static_cast<unsigned char>(input.front()));
    const std::string_view diary = input.substr(1);

    SymptomTable symptoms;
    if (settings.oddSymptoms) {
        UseOddSymptoms(symptoms);
    }
    Analysis analysis(symptoms);

    const RunResult whole = RunAnalysis(analysis, {diary}, settings, analyse, out);
    // The second run reuses the state, as the window's next analysis does, and must
    // not depend on where the reads split the file.
    const uint64_t hash = Hash(input);
    const bool full =
        analyse && (diary.size() <= kFullSecondRunBytes || (hash >> 8) % kFullSecondRunShare == 0);
    const RunResult split = RunAnalysis(analysis, SplitChunks(diary, hash), settings, full, out);
    if (whole.itemCount != split.itemCount || whole.totals != split.totals ||
        whole.dayEnds != split.dayEnds || whole.overflowMessages != split.overflowMessages) {
        out.Add("the counts depend on how the record was split");
    }
    if (whole.items != split.items) {
        out.Add("the items read depend on how the record was split");
    }
    // Also what a reset left of the previous run's results, for every diary.
    if (whole.readCells != split.readCells) {
        out.Add("the grid after the read depends on how the record was split");
    }
    if (!full) {
        return out.Take();
    }
    if (whole.rows != split.rows || whole.cells != split.cells) {
        out.Add("the results grid depends on how the record was split");
    }
    if (whole.report != split.report) {
        out.Add("the report depends on how the record was split");
    }
    return out.Take();
}

}  // namespace

std::vector<std::string> CheckRecordRead(std::string_view input) {
    return Check(input, false);
}

std::vector<std::string> CheckRecordAnalysis(std::string_view input) {
    return Check(input, true);
}

}  // namespace quorvane::fuzzing
