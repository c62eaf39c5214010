#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/evidence/suspects.h"

namespace quorvane {

// The suspects in words a person reads without statistics: the page and the
// doctor's summary use these, the exported table keeps its exact figures.

// "Strong", "Suggestive", "Not enough data", "Too little data", ...
std::string_view TierLabel(SuspectTier tier);
// One sentence: what the tier means for the person.
std::string_view TierMeaning(SuspectTier tier);

// "< 0.001" below a thousandth, otherwise two significant digits ("0.012",
// "0.50", "1").
std::string PlainProbability(double p);
// The figure in full, for a tooltip beside the plain one: six significant digits.
std::string ExactFigure(double value);

// How many times as often, as the sentence writes it: "31", "2.5", "0.42".
std::string TimesText(double value);

// A short phrase per flag bit (0 to 7), for the table's checks column.
std::string_view FlagLabel(int bit);
std::string FlagLabels(uint8_t flags);

// What the checks of one row found, one line each, with a mark that says
// whether the line speaks for the suspicion or against it.
enum class CheckMark { Passed, Doubt, Note };
struct CheckLine {
    CheckMark Mark = CheckMark::Note;
    std::string Text;
};
std::vector<CheckLine> SuspectCheckLines(const SuspectRow& row);

// The date a day's label starts with, when it reads as one: a month name and a
// day of the month in either order, and a year when one follows ("April 29",
// "March 1, 2026"). Weekdays and the day's foods are left out.
std::optional<std::string> DateOfLabel(std::string_view label);

}  // namespace quorvane
