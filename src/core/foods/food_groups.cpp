#include "core/foods/food_groups.h"

#include <algorithm>

#include "core/settings/profile_file.h"
#include "core/text/ascii.h"

namespace quorvane {

namespace {

std::string_view Trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string FoodName(std::string_view text) {
    return UpperAscii(Trim(text));
}

bool UsableKey(std::string_view name) {
    return !name.empty() && name.find('=') == std::string_view::npos && name.front() != '[';
}

std::pair<std::string, std::string> Ordered(std::string_view a, std::string_view b) {
    std::string x = FoodName(a);
    std::string y = FoodName(b);
    return x < y ? std::pair{std::move(x), std::move(y)} : std::pair{std::move(y), std::move(x)};
}

}  // namespace

std::string FoodGroups::FoodOf(std::string_view name) const {
    std::vector<std::string> path{std::string(name)};
    for (auto at = Aliases.find(path.back()); at != Aliases.end(); at = Aliases.find(path.back())) {
        const auto seen = std::find(path.begin(), path.end(), at->second);
        if (seen != path.end()) {
            // A cycle: every name on it means the same food, whichever one a
            // lookup starts from.
            return *std::min_element(seen, path.end());
        }
        path.push_back(at->second);
    }
    return path.back();
}

std::vector<std::string> FoodGroups::IngredientsOf(std::string_view dish) const {
    // A dish may be written under an alias; its lists join its food's.
    std::map<std::string, std::vector<const std::vector<std::string>*>> dishes;
    for (const auto& [name, ingredients] : Ingredients) {
        dishes[FoodOf(name)].push_back(&ingredients);
    }
    std::vector<std::string> found;
    std::set<std::string> seen{FoodOf(dish)};
    std::vector<std::string> pending{*seen.begin()};
    while (!pending.empty()) {
        const auto at = dishes.find(pending.back());
        pending.pop_back();
        if (at == dishes.end()) {
            continue;
        }
        for (const std::vector<std::string>* list : at->second) {
            for (const std::string& ingredient : *list) {
                std::string food = FoodOf(ingredient);
                if (seen.insert(food).second) {
                    found.push_back(food);
                    pending.push_back(std::move(food));
                }
            }
        }
    }
    return found;
}

bool FoodGroups::Refused(std::string_view a, std::string_view b) const {
    return NotSame.count(Ordered(a, b)) != 0;
}

void FoodGroups::Add(const FoodGroups& more) {
    for (const auto& [name, food] : more.Aliases) {
        Aliases[name] = food;
    }
    for (const auto& [dish, ingredients] : more.Ingredients) {
        Ingredients[dish] = ingredients;
    }
    NotSame.insert(more.NotSame.begin(), more.NotSame.end());
}

std::vector<std::string> SplitFoodNames(std::string_view list) {
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t end = std::min(list.find(',', start), list.size());
        std::string name = FoodName(list.substr(start, end - start));
        if (!name.empty() && std::find(names.begin(), names.end(), name) == names.end()) {
            names.push_back(std::move(name));
        }
        start = end + 1;
    }
    return names;
}

std::string JoinFoodNames(std::span<const std::string> names) {
    std::string text;
    for (const std::string& name : names) {
        text += text.empty() ? "" : ", ";
        text += name;
    }
    return text;
}

FoodGroups ReadFoodGroups(const ProfileFile& profile) {
    FoodGroups groups;
    for (const std::string& key : profile.KeysOf(kAliasesSection)) {
        std::string food = FoodName(profile.ReadString(kAliasesSection, key, ""));
        std::string name = FoodName(key);
        if (!food.empty() && food != name) {
            groups.Aliases[std::move(name)] = std::move(food);
        }
    }
    for (const std::string& key : profile.KeysOf(kIngredientsSection)) {
        std::string dish = FoodName(key);
        std::vector<std::string> ingredients =
            SplitFoodNames(profile.ReadString(kIngredientsSection, key, ""));
        std::erase(ingredients, dish);
        if (!ingredients.empty()) {
            groups.Ingredients[std::move(dish)] = std::move(ingredients);
        }
    }
    for (const std::string& key : profile.KeysOf(kNotSameSection)) {
        for (const std::string& other :
             SplitFoodNames(profile.ReadString(kNotSameSection, key, ""))) {
            groups.NotSame.insert(Ordered(key, other));
        }
    }
    return groups;
}

bool WriteAlias(ProfileFile& profile, std::string_view name, std::string_view food) {
    const std::string key = FoodName(name);
    if (!UsableKey(key) || FoodName(food).empty()) {
        return false;
    }
    profile.WriteString(kAliasesSection, key, FoodName(food));
    return true;
}

bool WriteIngredients(ProfileFile& profile, std::string_view dish,
                      std::span<const std::string> ingredients) {
    const std::string key = FoodName(dish);
    if (!UsableKey(key)) {
        return false;
    }
    std::vector<std::string> names;
    for (const std::string& ingredient : ingredients) {
        for (std::string& name : SplitFoodNames(ingredient)) {
            if (name != key && std::find(names.begin(), names.end(), name) == names.end()) {
                names.push_back(std::move(name));
            }
        }
    }
    profile.WriteString(kIngredientsSection, key, JoinFoodNames(names));
    return true;
}

bool WriteNotSame(ProfileFile& profile, std::string_view a, std::string_view b) {
    const auto [key, other] = Ordered(a, b);
    if (!UsableKey(key) || other.empty() || key == other) {
        return false;
    }
    std::vector<std::string> refused = SplitFoodNames(profile.ReadString(kNotSameSection, key, ""));
    if (std::find(refused.begin(), refused.end(), other) == refused.end()) {
        refused.push_back(other);
        profile.WriteString(kNotSameSection, key, JoinFoodNames(refused));
    }
    return true;
}

}  // namespace quorvane
