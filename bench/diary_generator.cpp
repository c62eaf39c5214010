#include "diary_generator.h"
#include "diary_calendar.h"
#include "seeded_random.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>
#include <vector>

namespace quorvane::bench {

namespace {

using quorvane::bench::Random;

constexpr std::array kFoods = {
    "apple",   "banana",     "bread",    "butter", "cheese",    "chicken", "coffee",  "tea",
    "egg",     "ham",        "potato",   "rice",   "pasta",     "tomato",  "onion",   "garlic",
    "carrot",  "lettuce",    "cucumber", "pepper", "beef",      "pork",    "lamb",    "salmon",
    "tuna",    "shrimp",     "yoghurt",  "milk",   "cream",     "oats",    "cereal",  "honey",
    "jam",     "peanut",     "almond",   "walnut", "chocolate", "cake",    "biscuit", "pie",
    "orange",  "lemon",      "grape",    "pear",   "peach",     "plum",    "cherry",  "melon",
    "bean",    "lentil",     "pea",      "corn",   "mushroom",  "spinach", "cabbage", "broccoli",
    "sausage", "bacon",      "soup",     "salad",  "pizza",     "noodle",  "tofu",    "wine",
    "beer",    "juice",      "water",    "soda",   "sugar",     "salt",    "vinegar", "mustard",
    "ketchup", "mayonnaise", "curry",    "chili",  "ginger",    "mint",    "basil",   "olive"};

constexpr std::array kModifiers = {
    "green",   "red",    "white",   "brown",   "fried",   "boiled", "baked", "roast",   "smoked",
    "fresh",   "dried",  "sweet",   "sour",    "spicy",   "cold",   "hot",   "organic", "whole",
    "low fat", "frozen", "pickled", "grilled", "steamed", "raw",    "creamy"};

constexpr std::array kSymptoms = {"random",       "headache",   "weight gain",
                                  "stomach ache", "poor sleep", "ibs",
                                  "mental fog",   "stressed",   "mouth ulcer"};

std::vector<std::string> MakeVocabulary(Random& random, int count) {
    std::set<std::string> seen;
    std::vector<std::string> items;
    for (const char* food : kFoods) {
        if (static_cast<int>(items.size()) < count && seen.insert(food).second) {
            items.emplace_back(food);
        }
    }
    const int combinations = static_cast<int>(kFoods.size() * kModifiers.size());
    while (static_cast<int>(items.size()) < std::min(count, combinations + 80)) {
        std::string item = std::string(kModifiers[random.Below(kModifiers.size())]) + " " +
                           kFoods[random.Below(kFoods.size())];
        if (seen.insert(item).second) {
            items.push_back(std::move(item));
        }
    }
    return items;
}

void AppendRandomCase(Random& random, std::string_view word, std::string& out) {
    for (const char c : word) {
        const bool upper = c >= 'a' && c <= 'z' && random.Below(2) == 0;
        out += upper ? static_cast<char>(c - 'a' + 'A') : c;
    }
}

}  // namespace

std::string GenerateDiary(uint64_t seed, const DiaryShape& shape) {
    Random random(seed);
    const std::vector<std::string> items = MakeVocabulary(random, shape.DistinctItems);

    // A long tail: a few staples every day, most items now and then.
    std::vector<double> cumulative;
    double sum = 0;
    for (std::size_t rank = 0; rank < items.size(); ++rank) {
        sum += 1.0 / std::pow(static_cast<double>(rank) + 1.0, 0.8);
        cumulative.push_back(sum);
    }
    auto pick = [&]() -> const std::string& {
        const double target = random.Unit() * sum;
        const auto it = std::lower_bound(cumulative.begin(), cumulative.end(), target);
        return items[std::min<std::size_t>(it - cumulative.begin(), items.size() - 1)];
    };

    std::string diary;
    diary.reserve(static_cast<std::size_t>(shape.Days) * 480);
    DiaryCalendar calendar;
    for (int day = 0; day < shape.Days; ++day) {
        diary += calendar.NextDateLine();
        const int meals = 3 + random.Below(3);
        for (int meal = 0; meal < meals; ++meal) {
            const int count = 6 + random.Below(8);
            for (int i = 0; i < count; ++i) {
                diary += pick();
                diary += ", ";
                // About one symptom every other day, anywhere in the day.
                if (random.Below(80) == 0) {
                    AppendRandomCase(random, kSymptoms[random.Below(kSymptoms.size())], diary);
                    diary += ", ";
                }
            }
            diary += "$,\r\n";
        }
        diary += "#,\r\n\r\n";
    }
    return diary;
}

std::string DiaryPathFromArguments(int argc, char** argv) {
    if (argc > 1 && argv[1][0] != '\0') {
        return argv[1];
    }
    const std::string path =
        (std::filesystem::temp_directory_path() / "quorvane-bench-diary.txt").string();
    const std::string diary = GenerateDiary(1);
    std::ofstream(path, std::ios::binary)
        .write(diary.data(), static_cast<std::streamsize>(diary.size()));
    return path;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace quorvane::bench
