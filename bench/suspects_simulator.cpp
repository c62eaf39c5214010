#include "suspects_simulator.h"
#include "diary_calendar.h"
#include "seeded_random.h"

#include <algorithm>
#include <vector>

namespace quorvane::bench {

namespace {

using quorvane::bench::Random;

std::string FoodName(int index) {
    // Letters only: the reader drops digits.
    std::string name = "food ";
    do {
        name += static_cast<char>('a' + index % 26);
        index /= 26;
    } while (index > 0);
    return name;
}

std::string Upper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

}  // namespace

SimulatedDiary SimulateDiary(uint64_t seed, const SimulationShape& shape) {
    Random random(seed * 0x2545F4914F6CDD1DULL + 17);
    SimulatedDiary diary;
    std::vector<std::string> staples = {"water", "bread", "coffee", "butter", "milk"};
    staples.resize(static_cast<std::size_t>(std::clamp(shape.Staples, 0, 5)));
    std::vector<double> rates;
    for (int f = 0; f < shape.Foods; ++f) {
        rates.push_back(0.01 + 0.25 * random.Unit() * random.Unit());
    }
    const std::string trigger = "red wine";
    const std::string partner = "cheese";
    const std::string craved = "chocolate";
    const std::string weekend = "pizza";
    if (shape.Planted) {
        diary.Trigger = Upper(trigger);
    }
    if (shape.CoEatenPair) {
        diary.Partner = Upper(partner);
    }
    if (shape.Craving) {
        diary.Craved = Upper(craved);
    }

    const int days = shape.Days;
    std::vector<std::vector<std::string>> eaten(static_cast<std::size_t>(days));
    std::vector<bool> hadTrigger(static_cast<std::size_t>(days), false);
    for (int day = 0; day < days; ++day) {
        auto& list = eaten[static_cast<std::size_t>(day)];
        for (int f = 0; f < shape.Foods; ++f) {
            if (random.Chance(rates[static_cast<std::size_t>(f)])) {
                list.push_back(FoodName(f));
            }
        }
        if (shape.WeekdayHabits && day % 7 >= 5 && random.Chance(0.8)) {
            list.push_back(weekend);
        }
        if (random.Chance(shape.TriggerRate)) {
            hadTrigger[static_cast<std::size_t>(day)] = true;
            if (shape.CoEatenPair && random.Chance(0.7)) {
                list.push_back(partner);
            }
        } else if (shape.CoEatenPair && random.Chance(0.03)) {
            list.push_back(partner);
        }
        if (shape.Craving && random.Chance(0.03)) {
            list.push_back(craved);
        }
    }

    // Onsets, episodes of one to three days, and cravings in the days after.
    std::vector<int> episodeDay(static_cast<std::size_t>(days), -1);  // -1 none, 0 onset, >0 later
    for (int day = 0; day < days; ++day) {
        if (episodeDay[static_cast<std::size_t>(day)] >= 0) {
            continue;
        }
        double p = shape.BaseRate;
        if (shape.WeekdayHabits && day % 7 == 0) {
            p *= 2;  // Mondays
        }
        const int from = day - shape.Lag;
        if (shape.Planted && from >= 0 && hadTrigger[static_cast<std::size_t>(from)]) {
            p = 1 - (1 - p) * (1 - shape.Strength);
        }
        if (!random.Chance(p)) {
            continue;
        }
        const int length = 1 + random.Below(3);
        for (int i = 0; i < length && day + i < days; ++i) {
            episodeDay[static_cast<std::size_t>(day + i)] = i;
        }
        if (shape.Craving) {
            for (int after = 1; after <= 2 && day + after < days; ++after) {
                if (random.Chance(0.6)) {
                    eaten[static_cast<std::size_t>(day + after)].push_back(craved);
                }
            }
        }
    }

    std::string& text = diary.Text;
    text.reserve(static_cast<std::size_t>(days) * 200);
    DiaryCalendar calendar;
    for (int day = 0; day < days; ++day) {
        std::vector<std::string> items = eaten[static_cast<std::size_t>(day)];
        for (std::size_t i = items.size(); i > 1; --i) {
            std::swap(items[i - 1],
                      items[static_cast<std::size_t>(random.Below(static_cast<int>(i)))]);
        }
        items.insert(items.begin(), staples.begin(), staples.end());
        // The trigger at a random place; a same-day trigger's symptom follows it.
        std::size_t triggerAt = items.size();
        if (hadTrigger[static_cast<std::size_t>(day)]) {
            triggerAt = static_cast<std::size_t>(random.Below(static_cast<int>(items.size()) + 1));
            items.insert(items.begin() + static_cast<std::ptrdiff_t>(triggerAt), trigger);
        }
        std::size_t symptomAt = items.size() + 1;  // none
        const int episode = episodeDay[static_cast<std::size_t>(day)];
        if (episode >= 0) {
            const bool after =
                shape.Planted && shape.Lag == 0 && episode == 0 && triggerAt < items.size();
            const std::size_t first = after ? triggerAt + 1 : 0;
            symptomAt = first + static_cast<std::size_t>(
                                    random.Below(static_cast<int>(items.size() - first) + 1));
        }
        text += calendar.NextDateLine();
        const std::size_t perMeal = std::max<std::size_t>(1, (items.size() + 2) / 3);
        for (std::size_t i = 0; i <= items.size(); ++i) {
            if (i == symptomAt) {
                text += "Headache, ";
            }
            if (i == items.size()) {
                break;
            }
            text += items[i] + ", ";
            if ((i + 1) % perMeal == 0) {
                text += "$,\r\n";
            }
        }
        text += "$, #,\r\n\r\n";
    }
    return diary;
}

}  // namespace quorvane::bench
