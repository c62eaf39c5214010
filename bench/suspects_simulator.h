#pragma once

#include <cstdint>
#include <string>

namespace quorvane::bench {

// A diary with a known answer: one symptom, at most one food that brings it on.
struct SimulationShape {
    int Days = 730;
    int Foods = 100;            // ordinary foods, each with its own daily rate
    int Staples = 3;            // eaten every day
    double BaseRate = 0.03;     // onsets a day without the trigger
    bool Planted = true;        // false: a null diary, no food matters
    int Lag = 1;                // 0: later the same day, 1 or 2 days later
    double TriggerRate = 0.12;  // days with the trigger
    double Strength = 0.25;     // the added chance of an onset after it
    bool WeekdayHabits = true;  // a weekend food, and onsets likelier on Mondays
    bool CoEatenPair = false;   // a partner eaten on 70 % of the trigger's days
    bool Craving = true;        // a food eaten in the days after an onset
};

struct SimulatedDiary {
    std::string Text;  // in the diary format: dated days, "$" after meals, "#" after days
    std::string Symptom = "HEADACHE";
    std::string Trigger;  // upper case, as the reader names it; empty in a null diary
    std::string Partner;
    std::string Craved;
};

// The same diary for the same seed and shape.
SimulatedDiary SimulateDiary(uint64_t seed, const SimulationShape& shape);

}  // namespace quorvane::bench
