#include "core/evidence/suspects_plain.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "core/text/ascii.h"

namespace quorvane {

namespace {

std::string Printed(const char* format, double value) {
    char text[48];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string Printed(int decimals, double value) {
    char text[48];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

// A half's ratio: without an episode on that half's other days every one came
// after the food, which no figure says as well.
std::string HalfText(const std::optional<double>& ratio) {
    if (!ratio) {
        return "no days to compare";
    }
    return std::isfinite(*ratio) ? TimesText(*ratio) + " \xC3\x97" : "only after it";
}

constexpr std::array<std::string_view, 12> kMonths = {
    "january", "february", "march",     "april",   "may",      "june",
    "july",    "august",   "september", "october", "november", "december"};

// 1 to 12 for a month's name or its first three letters ("sept" too).
int MonthOf(std::string_view word) {
    std::string lower(word);
    for (char& c : lower) {
        c = LowerAscii(c);
    }
    for (std::size_t i = 0; i < kMonths.size(); ++i) {
        if (lower == kMonths[i] || (lower.size() >= 3 && kMonths[i].starts_with(lower) &&
                                    (lower.size() == 3 || lower == "sept"))) {
            return static_cast<int>(i) + 1;
        }
    }
    return 0;
}

bool IsWeekday(std::string_view word) {
    static constexpr std::array<std::string_view, 7> kDays = {
        "monday", "tuesday", "wednesday", "thursday", "friday", "saturday", "sunday"};
    std::string lower(word);
    for (char& c : lower) {
        c = LowerAscii(c);
    }
    return lower.size() >= 3 && std::any_of(kDays.begin(), kDays.end(), [&](std::string_view day) {
               return day.starts_with(lower);
           });
}

bool IsWordByte(char c) {
    return IsAsciiLetter(c) || (c >= '0' && c <= '9');
}

int NumberOf(std::string_view word) {
    if (word.empty() || word.size() > 4) {
        return -1;
    }
    int value = 0;
    for (const char c : word) {
        if (c < '0' || c > '9') {
            return -1;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

}  // namespace

std::string_view TierLabel(SuspectTier tier) {
    switch (tier) {
        case SuspectTier::Strong:
            return "Strong";
        case SuspectTier::Suggestive:
            return "Suggestive";
        case SuspectTier::NotEnoughData:
            return "Not enough data";
        case SuspectTier::ProbablyTolerated:
            return "Probably tolerated";
        case SuspectTier::PossiblyProtective:
            return "Possibly protective";
        case SuspectTier::TooLittleData:
            return "Too little data";
    }
    return "Not enough data";
}

std::string_view TierMeaning(SuspectTier tier) {
    switch (tier) {
        case SuspectTier::Strong:
            return "Unlikely to be chance, even after checking every food.";
        case SuspectTier::Suggestive:
            return "Worth a planned test, though some of these are chance.";
        case SuspectTier::NotEnoughData:
            return "The diary cannot tell yet whether it matters.";
        case SuspectTier::ProbablyTolerated:
            return "Had often with no sign that it brings the symptom on.";
        case SuspectTier::PossiblyProtective:
            return "The symptom began less often after it.";
        case SuspectTier::TooLittleData:
            return "Had on fewer than 3 days: not judged.";
    }
    return {};
}

std::string PlainProbability(double p) {
    if (std::isnan(p)) {
        return {};
    }
    if (p < 0.001) {
        return "< 0.001";
    }
    if (p >= 0.995) {
        return "1";
    }
    int decimals = 1 - static_cast<int>(std::floor(std::log10(p)));
    // 0.0996 rounds to 0.10, not 0.100.
    if (std::round(p * std::pow(10.0, decimals)) >= 100) {
        --decimals;
    }
    return Printed(decimals, p);
}

std::string ExactFigure(double value) {
    return Printed("%.6g", value);
}

std::string TimesText(double value) {
    if (!std::isfinite(value)) {
        return "no limit";
    }
    return Printed(value >= 9.95 ? 0 : value >= 0.995 ? 1 : 2, value);
}

std::string_view FlagLabel(int bit) {
    static constexpr std::array<std::string_view, kSuspectFlagCount> kLabels = {
        "too few days to show a link",   "no episode on other days", "eaten after episodes",
        "cannot tell from another food", "rests on one day",         "not in both halves",
        "another food may explain it",   "more after two helpings"};
    return bit >= 0 && bit < kSuspectFlagCount ? kLabels[static_cast<std::size_t>(bit)]
                                               : std::string_view();
}

std::string FlagLabels(uint8_t flags) {
    std::string text;
    for (int bit = 0; bit < kSuspectFlagCount; ++bit) {
        if ((flags & (1 << bit)) != 0) {
            text += text.empty() ? "" : "; ";
            text += FlagLabel(bit);
        }
    }
    return text;
}

std::vector<CheckLine> SuspectCheckLines(const SuspectRow& row) {
    std::vector<CheckLine> lines;
    if (!row.Checked) {
        lines.push_back(
            {CheckMark::Note, "Not a suspect, so its days were not looked into further"});
        return lines;
    }
    const std::string before = std::to_string(row.EpisodesWithBefore);
    const std::string after = std::to_string(row.EpisodesWithAfter);
    if (row.ReverseTiming) {
        lines.push_back({CheckMark::Doubt, "Eaten after episodes began as often as before (" +
                                               before + " before, " + after +
                                               " after): it may be a consequence or a craving"});
    } else {
        lines.push_back({CheckMark::Passed, "Eaten before episodes more than after them (" +
                                                before + " before, " + after + " after)"});
    }

    if (row.Partner.empty()) {
        lines.push_back({CheckMark::Passed, "No other suspect is eaten on the same days"});
    } else if (row.Inseparable) {
        lines.push_back(
            {CheckMark::Doubt, "Usually eaten with " + row.Partner + ": cannot tell them apart"});
    } else if (row.ExplainedByPartner && row.AdjustedRatio) {
        lines.push_back({CheckMark::Doubt, "Often eaten with " + row.Partner +
                                               ", which may explain it: allowing for it, only " +
                                               TimesText(*row.AdjustedRatio) + " times as often"});
    } else if (row.AdjustedRatio) {
        lines.push_back({CheckMark::Passed, "Still " + TimesText(*row.AdjustedRatio) +
                                                " times as often allowing for " + row.Partner +
                                                ", often eaten with it"});
    }

    if (row.PWithoutTopDay) {
        if ((row.Flags & kRestsOnOneDay) != 0) {
            lines.push_back({CheckMark::Doubt,
                             "Rests on its single most telling day: without it, it would not "
                             "stand out"});
        } else {
            lines.push_back({CheckMark::Passed,
                             std::string(row.Tier == SuspectTier::Strong ? "Still strong"
                                                                         : "Still stands out") +
                                 " without its single most telling day"});
        }
    }

    if (row.FirstHalfRatio || row.SecondHalfRatio) {
        const std::string halves =
            HalfText(row.FirstHalfRatio) + " and " + HalfText(row.SecondHalfRatio);
        if ((row.Flags & kNotInBothHalves) != 0) {
            lines.push_back({CheckMark::Doubt, "Not seen in both halves of the diary: " + halves});
        } else {
            lines.push_back({CheckMark::Passed, "Seen in both halves of the diary: " + halves});
        }
    }

    if (row.MoreAfterTwoHelpings) {
        lines.push_back({CheckMark::Passed, "More often after two helpings: on " +
                                                std::to_string(row.DoubleOnsets) + " of " +
                                                std::to_string(row.DoubleDays) + " such days"});
    }
    return lines;
}

std::optional<std::string> DateOfLabel(std::string_view label) {
    // The label's first words, split at anything that is no letter or digit.
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while (at < label.size() && words.size() < 5) {
        while (at < label.size() && !IsWordByte(label[at])) {
            ++at;
        }
        const std::size_t start = at;
        while (at < label.size() && IsWordByte(label[at])) {
            ++at;
        }
        if (at > start) {
            words.push_back(label.substr(start, at - start));
        }
    }
    // The date opens the label, after a weekday at most: "bread, may, 2 eggs"
    // is a day's foods.
    const std::size_t first = !words.empty() && IsWeekday(words[0]) ? 1 : 0;
    for (std::size_t i = 0; i <= first && i + 1 < words.size(); ++i) {
        int month = MonthOf(words[i]);
        int day = NumberOf(words[i + 1]);
        std::size_t next = i + 2;
        if (month == 0 || day < 1 || day > 31) {
            month = MonthOf(words[i + 1]);
            day = NumberOf(words[i]);
            if (month == 0 || day < 1 || day > 31) {
                continue;
            }
        }
        std::string name(kMonths[static_cast<std::size_t>(month - 1)]);
        name[0] = static_cast<char>(name[0] - 'a' + 'A');
        std::string date = name + " " + std::to_string(day);
        if (next < words.size()) {
            const int year = NumberOf(words[next]);
            if (year >= 1900 && year <= 2200) {
                date += ", " + std::to_string(year);
            }
        }
        return date;
    }
    return std::nullopt;
}

}  // namespace quorvane
