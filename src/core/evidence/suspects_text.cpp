#include "core/evidence/suspects_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace quorvane {

namespace {

// printf's %.Nf, or %.Ng when `general`: tens of thousands of figures per table,
// so the common cases are written by hand and only the rest go to to_chars.
std::string Number(double value, int precision, bool general = false) {
    char text[64];
    if (std::isfinite(value) && value >= 0 && value < 1e12 && precision <= 6) {
        if (general && value == 1) {
            return "1";
        }
        if (!general || (value >= 1e-4 && value < 1)) {
            int decimals = precision;
            int leading = 0;  // zeros after the point before the digits, for general
            if (general) {
                int exponent = static_cast<int>(std::floor(std::log10(value)));
                decimals = precision - 1 - exponent;
                auto digits = std::llround(value * std::pow(10.0, decimals));
                if (digits >= 1000000) {  // rounded up to the next power of ten
                    ++exponent;
                    decimals = precision - 1 - exponent;
                    digits = std::llround(value * std::pow(10.0, decimals));
                }
                if (exponent >= 0) {
                    return "1";
                }
                leading = -exponent - 1;
                while (digits % 10 == 0) {
                    digits /= 10;
                    --decimals;
                }
                std::string out = "0.";
                out.append(static_cast<std::size_t>(leading), '0');
                out += std::to_string(digits);
                return out;
            }
            static constexpr std::array<double, 7> kScale = {1, 10, 100, 1e3, 1e4, 1e5, 1e6};
            auto scaled = static_cast<uint64_t>(
                std::llround(value * kScale[static_cast<std::size_t>(decimals)]));
            char* end = text + sizeof text;
            char* at = end;
            for (int digit = 0; digit < decimals; ++digit) {
                *--at = static_cast<char>('0' + scaled % 10);
                scaled /= 10;
            }
            if (decimals > 0) {
                *--at = '.';
            }
            do {
                *--at = static_cast<char>('0' + scaled % 10);
                scaled /= 10;
            } while (scaled > 0);
            return std::string(at, end);
        }
    }
    const auto [end, error] =
        std::to_chars(text, text + sizeof text, value,
                      general ? std::chars_format::general : std::chars_format::fixed, precision);
    return error == std::errc() ? std::string(text, end) : std::string("nan");
}

// "31", "2.5", "0.42": as many digits as a person reads.
std::string Times(double value) {
    if (value >= 9.95) {
        return Number(value, 0);
    }
    if (value >= 0.995) {
        return Number(value, 1);
    }
    return Number(value, 2);
}

std::string Percent(int64_t part, int64_t whole) {
    return whole == 0
               ? "0 %"
               : Number(100.0 * static_cast<double>(part) / static_cast<double>(whole), 0) + " %";
}

std::string Thousands(std::size_t value) {
    std::string digits = std::to_string(value);
    for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3) {
        digits.insert(static_cast<std::size_t>(at), 1, ',');
    }
    return digits;
}

std::string Fixed(double value) {
    return Number(value, 3);
}

std::string General(double value) {
    return Number(value, 6, true);
}

std::string Optional(const std::optional<double>& value) {
    return value ? Fixed(*value) : "";
}

const char* LagWords(int lag) {
    switch (lag) {
        case 0:
            return "later the same day as";
        case 1:
            return "the day after";
        default:
            return "two days after";
    }
}

// Columns whose fields are numbers, or empty when the figure does not exist.
bool NumericColumn(std::size_t column) {
    static constexpr std::array<bool, 24> numeric = {
        false, false, true, false, true,  true, true, true, true, true, true,  true,
        true,  true,  true, true,  false, true, true, true, true, true, false, false};
    return column < numeric.size() && numeric[column];
}

// Single-byte searches run many bytes at a time: cheaper than one pass that
// compares every byte with each of the characters.
bool HasAny(std::string_view field, std::string_view characters) {
    for (const char c : characters) {
        if (field.find(c) != std::string_view::npos) {
            return true;
        }
    }
    return false;
}

void AppendTsvField(std::string& buffer, std::string_view field) {
    const bool plain = !HasAny(field, "\t\r\n");
    if (plain) {
        buffer += field;
        return;
    }
    for (const char c : field) {
        buffer += c == '\t' || c == '\r' || c == '\n' ? ' ' : c;
    }
}

std::string CsvField(const std::string& field) {
    const bool plain = !HasAny(field, ",\"\r\n");
    if (plain) {
        return field;
    }
    std::string quoted = "\"";
    for (const char c : field) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + '"';
}

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte >= 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", byte);
            out += escape;
        } else {
            out += c;
        }
    }
    return out + '"';
}

}  // namespace

std::string SuspectSentence(const SuspectRow& row, std::size_t pairs) {
    const DayTable& t = row.Table;
    const int64_t exposed = t.A + t.B;
    const int64_t other = t.C + t.D;
    std::string s;
    s.reserve(400);
    s += row.SymptomName;
    s += " began ";
    s += LagWords(row.Lag);
    s += ' ';
    s += row.Item;
    // "none of" and "the one day" read as a person would say them; a share of
    // 0 % or of a single day adds nothing.
    if (exposed == 1) {
        s += t.A == 1 ? " on the one day you had it" : " not on the one day you had it";
    } else {
        s += t.A == 0 ? " on none of the " : " on " + std::to_string(t.A) + " of the ";
        s += std::to_string(exposed);
        s += " days you had it";
        if (t.A > 0) {
            s += " (" + Percent(t.A, exposed) + ")";
        }
    }
    if (t.C == 0) {
        s += other == 1 ? ", and not on the one other day. "
                        : ", and on none of the " + std::to_string(other) + " other days. ";
    } else {
        s += ", and on ";
        s += std::to_string(t.C);
        s += " of ";
        s += std::to_string(other);
        s += " other days (";
        s += Percent(t.C, other);
        s += "). ";
    }
    if (t.A == 0 && std::isfinite(row.Risk.High)) {
        // A ratio of 0.00 says less than the upper end does.
        s += "That is less often than on other days, though it could be up to ";
        s += Times(row.Risk.High);
        s += " times as often. ";
    } else if (std::isfinite(row.Risk.Ratio)) {
        s += "That is ";
        s += Times(row.Risk.Ratio);
        s += std::isfinite(row.Risk.High) ? " times as often (likely between "
                                          : " times as often "
                                            "(likely at least ";
        s += Times(row.Risk.Low);
        s += std::isfinite(row.Risk.High) ? " and " + Times(row.Risk.High) + " times). "
                                          : " times). ";
    } else {
        // With no episode on the other days there is no ratio, only a floor,
        // and a floor below 1 does not even say "more often".
        if (row.Risk.Low >= 1) {
            s += "How much more often the diary cannot say, only that it is likely at least ";
            s += Times(row.Risk.Low);
            s += " times as often. ";
        } else {
            s += "With so few days the diary cannot say whether that is more often at all. ";
        }
    }
    const std::string checked = Thousands(pairs) + " food-symptom pair" + (pairs == 1 ? "" : "s");
    switch (row.Tier) {
        case SuspectTier::Strong:
            s += "Strong: unlikely to be chance even after checking " + checked + ".";
            break;
        case SuspectTier::Suggestive:
            s += "Suggestive: worth a planned test, but after checking " + checked +
                 " it could still be chance.";
            break;
        case SuspectTier::NotEnoughData:
            if (row.CanReach && row.Risk.Low > 1) {
                s += "Not enough data: it stands out, but after checking " + checked +
                     " a few this strong are expected by chance.";
            } else if (row.CanReach) {
                s += "Not enough data: the diary cannot tell yet either way.";
            } else if (row.DaysNeeded > 0) {
                s += "Not enough data: even if " + row.SymptomName + " followed it every time, " +
                     std::to_string(exposed) + " day" + (exposed == 1 ? "" : "s") +
                     " could not show a link; about " + std::to_string(row.DaysNeeded - exposed) +
                     " more days with it would be needed.";
            } else {
                s += "Not enough data: too few episodes of " + row.SymptomName +
                     " to show a link with any food yet.";
            }
            break;
        case SuspectTier::ProbablyTolerated:
            s += "Probably tolerated: no sign that it brings on " + row.SymptomName + ".";
            break;
        case SuspectTier::PossiblyProtective:
            s += "Possibly protective: " + row.SymptomName + " began less often after it.";
            break;
        case SuspectTier::TooLittleData:
            s += "Too little data: " + std::to_string(exposed) + " day" +
                 (exposed == 1 ? " with it says" : "s with it say") +
                 " nothing either way; a food needs at least 3.";
            break;
    }
    if (row.ReverseTiming) {
        s += " You had it more often in the two days after an episode began than in the two "
             "days before: it may be a consequence or a craving.";
    }
    if (row.MoreAfterTwoHelpings) {
        s += " More often after two helpings: " + std::to_string(row.DoubleOnsets) + " of " +
             std::to_string(row.DoubleDays) + " such days.";
    }
    if (row.Inseparable) {
        s += " It cannot be told apart from " + row.Partner + ", eaten on nearly the same days.";
    } else if (row.ExplainedByPartner) {
        s += " Allowing for " + row.Partner + ", eaten on many of the same days, it is only " +
             Times(*row.AdjustedRatio) + " times as often: " + row.Partner + " may explain it.";
    } else if (row.AdjustedRatio) {
        s += " Allowing for " + row.Partner + ", it is " + Times(*row.AdjustedRatio) +
             " times as often.";
    }
    if (row.PWithoutTopDay && *row.PWithoutTopDay > 0.05) {
        s += " Without one of those days it would no longer stand out.";
    }
    if (!row.FromItems.empty()) {
        std::string from = row.FromItems;
        if (const std::size_t last = from.rfind(", "); last != std::string::npos) {
            from.replace(last, 2, " and ");
        }
        s += " Its days are those you wrote " + from + ".";
    }
    return s;
}

const std::vector<std::string>& SuspectColumns() {
    static const std::vector<std::string> columns = {"item",
                                                     "symptom",
                                                     "rank",
                                                     "tier",
                                                     "lag",
                                                     "exposed_days",
                                                     "episodes_after",
                                                     "other_days",
                                                     "episodes_other",
                                                     "risk_ratio",
                                                     "ci_low",
                                                     "ci_high",
                                                     "p_value",
                                                     "q_value",
                                                     "raw_p_value",
                                                     "days_needed",
                                                     "partner",
                                                     "days_without_partner",
                                                     "adjusted_risk_ratio",
                                                     "p_without_top_day",
                                                     "rr_first_half",
                                                     "rr_second_half",
                                                     "flags",
                                                     "sentence",
                                                     "from_items"};
    return columns;
}

void FillSuspectFields(const SuspectRow& row, std::size_t pairs, std::vector<std::string>& fields) {
    fields.resize(SuspectColumns().size());
    auto number = [](std::string& field, int64_t value) {
        char text[24];
        const auto [end, error] = std::to_chars(text, text + sizeof text, value);
        field.assign(text, error == std::errc() ? end : text);
    };
    fields[0] = row.Item;
    fields[1] = row.SymptomName;
    number(fields[2], row.Rank);
    fields[3] = TierName(row.Tier);
    number(fields[4], row.Lag);
    number(fields[5], row.Table.A + row.Table.B);
    number(fields[6], row.Table.A);
    number(fields[7], row.Table.C + row.Table.D);
    number(fields[8], row.Table.C);
    // No onset on the other days: the ratio and its upper bound have no limit,
    // which the table leaves empty rather than print a word no reader parses.
    fields[9] = std::isfinite(row.Risk.Ratio) ? Fixed(row.Risk.Ratio) : "";
    fields[10] = Fixed(row.Risk.Low);
    fields[11] = std::isfinite(row.Risk.High) ? Fixed(row.Risk.High) : "";
    fields[12] = General(row.PValue);
    fields[13] = General(row.QValue);
    fields[14] = General(row.RawP);
    number(fields[15], row.DaysNeeded);
    fields[16] = row.Partner;
    fields[17].clear();
    if (!row.Partner.empty()) {
        number(fields[17], row.DaysWithoutPartner);
    }
    fields[18] = Optional(row.AdjustedRatio);
    fields[19] = row.PWithoutTopDay ? General(*row.PWithoutTopDay) : "";
    fields[20] = Optional(row.FirstHalfRatio);
    fields[21] = Optional(row.SecondHalfRatio);
    fields[22].clear();
    for (int bit = 0; bit < kSuspectFlagCount; ++bit) {
        if ((row.Flags & (1 << bit)) != 0) {
            if (!fields[22].empty()) {
                fields[22] += ';';
            }
            fields[22] += SuspectFlagName(bit);
        }
    }
    fields[23] = SuspectSentence(row, pairs);
    fields[24] = row.FromItems;
}

std::vector<std::string> SuspectFields(const SuspectRow& row, std::size_t pairs) {
    std::vector<std::string> fields;
    FillSuspectFields(row, pairs, fields);
    return fields;
}

void WriteSuspectsTable(const SuspectsResult& result, TableFormat format, std::ostream& out) {
    const std::vector<std::string>& columns = SuspectColumns();
    if (format == TableFormat::Json) {
        out << '[';
        bool first = true;
        std::vector<std::string> fields;
        for (const SymptomSuspects& group : result.Symptoms) {
            for (const SuspectRow& row : group.Rows) {
                FillSuspectFields(row, result.PairsTested, fields);
                out << (first ? "\n" : ",\n") << '{';
                first = false;
                for (std::size_t i = 0; i < columns.size(); ++i) {
                    out << (i > 0 ? ", " : "") << JsonString(columns[i]) << ": ";
                    if (NumericColumn(i)) {
                        out << (fields[i].empty() ? "null" : fields[i]);
                    } else {
                        out << JsonString(fields[i]);
                    }
                }
                out << '}';
            }
        }
        out << (first ? "]\n" : "\n]\n");
        return;
    }
    const bool csv = format == TableFormat::Csv;
    const char separator = csv ? ',' : '\t';
    const char* end = csv ? "\r\n" : "\n";
    // One buffer, written in large pieces: the table of a long diary has
    // thousands of lines.
    std::string buffer;
    auto line = [&](const std::vector<std::string>& fields) {
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (i > 0) {
                buffer += separator;
            }
            if (NumericColumn(i)) {
                buffer += fields[i];  // digits, a point, an exponent: nothing to quote
            } else if (csv) {
                buffer += CsvField(fields[i]);
            } else {
                AppendTsvField(buffer, fields[i]);
            }
        }
        buffer += end;
        if (buffer.size() > 60000) {
            out << buffer;
            buffer.clear();
        }
    };
    line(columns);
    std::vector<std::string> fields;
    for (const SymptomSuspects& group : result.Symptoms) {
        for (const SuspectRow& row : group.Rows) {
            FillSuspectFields(row, result.PairsTested, fields);
            line(fields);
        }
    }
    out << buffer;
}

}  // namespace quorvane
