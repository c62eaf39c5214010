#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quorvane::bench {

// The knobs of a diary as messy as real ones. The defaults are a tidy long-tail
// diary; each mess is switched on by its own knob.
struct PlantedTrigger {
    int Lag = 0;            // days from eating to onset: 0 later the same day
    double Rate = 0.10;     // share of days it is eaten on
    double Strength = 0.3;  // added chance of an onset, at the full dose
};

struct SymptomPlan {
    std::string Word;                      // as written; must be a name the reader knows
    double BaseRate = 0.04;                // onsets a day with no trigger behind them
    std::vector<PlantedTrigger> Triggers;  // none: a null symptom
    bool Partner = false;                  // a food eaten with the first trigger 70 % of the time
    bool Craving = false;                  // a food craved the day before onsets: a prodrome
};

struct MessyShape {
    int MinDays = 240;  // the diary's length is drawn between these
    int MaxDays = 240;
    int Foods = 150;           // ordinary foods, rates falling as 1 / rank^Zipf
    double TopRate = 0.45;     // the most eaten ordinary food's daily rate
    double Zipf = 1.0;         // 1 leaves about two thirds eaten three times or less
    int Staples = 3;           // eaten on nearly every day
    double StapleRate = 0.95;  // each staple's daily rate
    int WeekdayFoods = 2;      // each eaten mostly on one weekday
    double MondayFactor = 1;   // the base rate on Mondays, times this
    int SeasonalFoods = 0;     // eaten only in a season of three months
    double Seasonal = 0;       // the base rate swings by this share over a year
    bool LagJitter = false;    // an attack's lag is the trigger's, or one day off
    bool Dose = false;         // the full effect only on days with two helpings
    double OneHelping = 0.35;  // the share of the effect of a single helping
    int MaxAttackDays = 3;     // attacks last from one day to this many
    double Misspelled = 0;     // share of food mentions with a one-letter typo
    std::vector<SymptomPlan> Symptoms;
};

struct PlantedSymptom {
    std::string Name;                   // upper case, as the reader names it
    std::vector<std::string> Triggers;  // upper case; empty for a null symptom
    std::string Partner;
    std::string Craved;
    std::vector<int> Onsets;  // the days attacks began, from 0
};

struct MessyDiary {
    std::string Text;  // in the diary format, starting on Monday the first of January
    int Days = 0;
    std::vector<std::string> Foods;  // every correct name, upper case
    std::vector<PlantedSymptom> Symptoms;
    int Mentions = 0;  // food mentions written
    int Typos = 0;     // of them misspelled
};

// The same diary for the same seed and shape.
MessyDiary SimulateMessyDiary(uint64_t seed, const MessyShape& shape);

}  // namespace quorvane::bench
