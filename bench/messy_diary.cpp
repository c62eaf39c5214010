#include "messy_diary.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "diary_calendar.h"
#include "food_names.h"
#include "seeded_random.h"

namespace quorvane::bench {

namespace {

struct SymptomFoods {
    std::vector<int> Triggers;  // into the diary's foods
    int Partner = -1;
    int Craved = -1;
};

// One symptom's attacks: -1 a day without, 0 an onset, 1 and on its later days.
struct Attacks {
    std::vector<int> Day;
    std::vector<bool> AfterSameDayTrigger;  // an onset the day's own trigger brought on
};

Attacks PlantAttacks(Random& random, const MessyShape& shape, const SymptomPlan& plan,
                     const std::vector<std::vector<int>>& helpings, int days) {
    std::vector<double> spared(static_cast<std::size_t>(days), 1.0);
    std::vector<bool> sameDay(static_cast<std::size_t>(days), false);
    for (std::size_t k = 0; k < plan.Triggers.size(); ++k) {
        const PlantedTrigger& trigger = plan.Triggers[k];
        for (int day = 0; day < days; ++day) {
            const int eaten = helpings[k][static_cast<std::size_t>(day)];
            if (eaten == 0) {
                continue;
            }
            int lag = trigger.Lag;
            if (shape.LagJitter) {
                static constexpr int kJitter[] = {-1, 0, 0, 1};
                lag = std::max(0, lag + kJitter[random.Below(4)]);
            }
            const int at = day + lag;
            if (at >= days) {
                continue;
            }
            const double effect =
                trigger.Strength * (shape.Dose && eaten < 2 ? shape.OneHelping : 1);
            spared[static_cast<std::size_t>(at)] *= 1 - effect;
            sameDay[static_cast<std::size_t>(at)] =
                sameDay[static_cast<std::size_t>(at)] || lag == 0;
        }
    }
    const double peak = random.Below(365);
    Attacks attacks;
    attacks.Day.assign(static_cast<std::size_t>(days), -1);
    attacks.AfterSameDayTrigger.assign(static_cast<std::size_t>(days), false);
    for (int day = 0; day < days; ++day) {
        const auto d = static_cast<std::size_t>(day);
        if (attacks.Day[d] >= 0) {
            continue;
        }
        double base = plan.BaseRate * (day % 7 == 0 ? shape.MondayFactor : 1);
        base *= 1 + shape.Seasonal * std::cos(2 * std::numbers::pi * (day % 365 - peak) / 365);
        if (!random.Chance(1 - (1 - base) * spared[d])) {
            continue;
        }
        const int length = 1 + random.Below(std::max(1, shape.MaxAttackDays));
        for (int i = 0; i < length && day + i < days; ++i) {
            attacks.Day[d + static_cast<std::size_t>(i)] = i;
        }
        attacks.AfterSameDayTrigger[d] = sameDay[d];
    }
    return attacks;
}

}  // namespace

MessyDiary SimulateMessyDiary(uint64_t seed, const MessyShape& shape) {
    Random random(seed * 0x9E6C63D0676A9A99ULL + 0x51ED);
    MessyDiary diary;
    const int days = shape.MinDays + random.Below(std::max(1, shape.MaxDays - shape.MinDays + 1));
    diary.Days = days;

    int planted = 0;
    for (const SymptomPlan& plan : shape.Symptoms) {
        planted += static_cast<int>(plan.Triggers.size()) + plan.Partner + plan.Craving;
    }
    // Food indices: ordinary foods, staples, weekday foods, seasonal foods, then
    // each symptom's triggers, partner and craved food.
    const int ordinary = shape.Foods;
    const int firstWeekday = ordinary + shape.Staples;
    const int firstSeasonal = firstWeekday + shape.WeekdayFoods;
    int next = firstSeasonal + shape.SeasonalFoods;
    const std::vector<std::string> names = MakeFoodNames(random, next + planted);
    for (const std::string& name : names) {
        diary.Foods.push_back(Upper(name));
    }
    std::vector<int> seasonStart;
    for (int f = 0; f < shape.SeasonalFoods; ++f) {
        seasonStart.push_back(random.Below(365));
    }
    std::vector<SymptomFoods> planFoods(shape.Symptoms.size());
    for (std::size_t s = 0; s < shape.Symptoms.size(); ++s) {
        const SymptomPlan& plan = shape.Symptoms[s];
        PlantedSymptom& out = diary.Symptoms.emplace_back();
        out.Name = Upper(plan.Word);
        for (std::size_t k = 0; k < plan.Triggers.size(); ++k) {
            planFoods[s].Triggers.push_back(next);
            out.Triggers.push_back(diary.Foods[static_cast<std::size_t>(next++)]);
        }
        if (plan.Partner && !plan.Triggers.empty()) {
            planFoods[s].Partner = next;
            out.Partner = diary.Foods[static_cast<std::size_t>(next++)];
        }
        if (plan.Craving) {
            planFoods[s].Craved = next;
            out.Craved = diary.Foods[static_cast<std::size_t>(next++)];
        }
    }

    // What was eaten: a food twice on a day of two helpings.
    std::vector<std::vector<int>> eaten(static_cast<std::size_t>(days));
    std::vector<std::vector<std::vector<int>>> helpings(shape.Symptoms.size());
    for (std::size_t s = 0; s < shape.Symptoms.size(); ++s) {
        helpings[s].assign(shape.Symptoms[s].Triggers.size(),
                           std::vector<int>(static_cast<std::size_t>(days), 0));
    }
    for (int day = 0; day < days; ++day) {
        std::vector<int>& list = eaten[static_cast<std::size_t>(day)];
        for (int f = 0; f < ordinary; ++f) {
            if (random.Chance(shape.TopRate / std::pow(f + 1, shape.Zipf))) {
                list.push_back(f);
            }
        }
        for (int f = ordinary; f < firstWeekday; ++f) {
            if (random.Chance(shape.StapleRate)) {
                list.push_back(f);
            }
        }
        for (int f = firstWeekday; f < firstSeasonal; ++f) {
            // Sunday (before the Mondays' extra onsets: a lag-1 look-alike), then
            // Thursday, Monday, Friday, ...; day 0 is a Monday.
            const bool itsDay = day % 7 == (6 + 4 * (f - firstWeekday)) % 7;
            if (random.Chance(itsDay ? 0.7 : 0.03)) {
                list.push_back(f);
            }
        }
        for (int f = 0; f < shape.SeasonalFoods; ++f) {
            const int into = (day % 365 - seasonStart[static_cast<std::size_t>(f)] + 365) % 365;
            if (into < 91 && random.Chance(0.35)) {
                list.push_back(firstSeasonal + f);
            }
        }
        for (std::size_t s = 0; s < shape.Symptoms.size(); ++s) {
            const SymptomPlan& plan = shape.Symptoms[s];
            const SymptomFoods& foods = planFoods[s];
            bool withFirst = false;
            for (std::size_t k = 0; k < plan.Triggers.size(); ++k) {
                if (!random.Chance(plan.Triggers[k].Rate)) {
                    continue;
                }
                const int count = shape.Dose && random.Chance(0.5) ? 2 : 1;
                helpings[s][k][static_cast<std::size_t>(day)] = count;
                list.insert(list.end(), static_cast<std::size_t>(count), foods.Triggers[k]);
                withFirst = withFirst || k == 0;
            }
            if (foods.Partner >= 0 && random.Chance(withFirst ? 0.7 : 0.03)) {
                list.push_back(foods.Partner);
            }
            if (foods.Craved >= 0 && random.Chance(0.03)) {
                list.push_back(foods.Craved);
            }
        }
    }

    std::vector<Attacks> attacks;
    for (std::size_t s = 0; s < shape.Symptoms.size(); ++s) {
        attacks.push_back(PlantAttacks(random, shape, shape.Symptoms[s], helpings[s], days));
        for (int day = 0; day < days; ++day) {
            if (attacks[s].Day[static_cast<std::size_t>(day)] != 0) {
                continue;
            }
            diary.Symptoms[s].Onsets.push_back(day);
            const int craved = planFoods[s].Craved;
            if (craved >= 0 && day > 0 && random.Chance(0.6)) {
                eaten[static_cast<std::size_t>(day - 1)].push_back(craved);
            }
        }
    }

    std::string& text = diary.Text;
    text.reserve(static_cast<std::size_t>(days) * 160);
    DiaryCalendar calendar;
    for (int day = 0; day < days; ++day) {
        const auto d = static_cast<std::size_t>(day);
        std::vector<int> order = eaten[d];
        for (std::size_t i = order.size(); i > 1; --i) {
            std::swap(order[i - 1],
                      order[static_cast<std::size_t>(random.Below(static_cast<int>(i)))]);
        }
        // Where each symptom goes: after its trigger when that brought it on today.
        std::vector<std::pair<std::size_t, std::size_t>> symptomAt;  // place, symptom
        for (std::size_t s = 0; s < shape.Symptoms.size(); ++s) {
            if (attacks[s].Day[d] < 0) {
                continue;
            }
            std::size_t first = 0;
            if (attacks[s].AfterSameDayTrigger[d]) {
                for (std::size_t i = 0; i < order.size(); ++i) {
                    const std::vector<int>& triggers = planFoods[s].Triggers;
                    if (std::find(triggers.begin(), triggers.end(), order[i]) != triggers.end()) {
                        first = i + 1;
                    }
                }
            }
            symptomAt.emplace_back(first + static_cast<std::size_t>(random.Below(
                                               static_cast<int>(order.size() - first) + 1)),
                                   s);
        }
        text += calendar.NextDateLine();
        const std::size_t perMeal = std::max<std::size_t>(1, (order.size() + 2) / 3);
        for (std::size_t i = 0; i <= order.size(); ++i) {
            for (const auto& [place, s] : symptomAt) {
                if (place == i) {
                    text += shape.Symptoms[s].Word + ", ";
                }
            }
            if (i == order.size()) {
                break;
            }
            const std::string& name = names[static_cast<std::size_t>(order[i])];
            ++diary.Mentions;
            if (random.Chance(shape.Misspelled)) {
                const std::string typo = Misspell(random, name);
                diary.Typos += typo != name;
                text += typo;
            } else {
                text += name;
            }
            text += ", ";
            if ((i + 1) % perMeal == 0) {
                text += "$,\r\n";
            }
        }
        text += "$, #,\r\n\r\n";
    }
    return diary;
}

}  // namespace quorvane::bench
