#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/evidence/diary_evidence.h"
#include "core/evidence/suspects.h"

namespace quorvane {

// The doctor's summary as blocks of text and places for pictures, so that the
// PDF only lays them out.

struct DiaryFacts {
    // Dates when both the first and the last day's labels read as dates,
    // otherwise "day 1" and "day N".
    std::string FirstDay;
    std::string LastDay;
    uint32_t Days = 0;
    std::string Version;
    std::string Sha256;  // of the diary file's bytes, hex
    // A planned test's verdict, heading first; empty when none is planned.
    std::vector<std::string> Challenge;
};
DiaryFacts FactsOf(const DiaryEvidence& evidence, std::string version, std::string sha256);

struct SummaryBlock {
    enum Kind { Title, Heading, Text, Forest, Calendar };
    Kind Type = Text;
    std::string Words;  // for Calendar: the food whose days it marks, or empty
};

// The first page: every monitored symptom with its episodes and top suspects.
std::vector<SummaryBlock> SummaryOverview(const SuspectsResult& result, const DiaryFacts& facts);
// One symptom's page: its suspects, the interval chart, the calendar, the
// probably tolerated foods, the method and the reproducibility line.
std::vector<SummaryBlock> DoctorSummaryPage(const SuspectsResult& result,
                                            const SymptomSuspects& suspects,
                                            const DiaryFacts& facts);
// The food a symptom's calendar marks: its strongest suspect, if it has one.
const SuspectRow* CalendarFood(const SymptomSuspects& suspects);

}  // namespace quorvane
