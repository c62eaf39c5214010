#pragma once

// What a person means by a food, as they tell it in the settings file: names
// that are another food written differently, dishes and what is in them, and the
// pairs they said were not the same. Only the suspects use it; the report, the
// grid and every dump read the diary as written.

#include <map>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quorvane {

class ProfileFile;

// "RAISEN=RAISIN": the key is the written name, the value the food it means.
inline constexpr std::string_view kAliasesSection = "Aliases";
// "PIZZA=WHEAT, CHEESE, TOMATO": a dish and its ingredients, commas between.
inline constexpr std::string_view kIngredientsSection = "Ingredients";
// "PEAR=PEAS, PEARL": suggestions refused; the key is the smaller name of a pair.
inline constexpr std::string_view kNotSameSection = "Not Same";

struct FoodGroups {
    // Names are upper case, as the reader gives the diary's items.
    std::map<std::string, std::string> Aliases;
    std::map<std::string, std::vector<std::string>> Ingredients;
    std::set<std::pair<std::string, std::string>> NotSame;  // smaller name first

    // No alias and no dish: the suspects read the diary as written.
    bool Empty() const { return Aliases.empty() && Ingredients.empty(); }
    // The food a written name means, aliases followed to their end; the names
    // on a cycle mean the smallest of them.
    std::string FoodOf(std::string_view name) const;
    // Every ingredient of a dish, those of ingredients that are dishes too,
    // each once, as foods.
    std::vector<std::string> IngredientsOf(std::string_view dish) const;
    bool Refused(std::string_view a, std::string_view b) const;
    // The entries of `more`, which win where both name the same key.
    void Add(const FoodGroups& more);
};

// "wheat, Cheese ,,tomato" -> WHEAT, CHEESE, TOMATO.
std::vector<std::string> SplitFoodNames(std::string_view list);
std::string JoinFoodNames(std::span<const std::string> names);

// The three sections; a missing file or section gives none. An empty alias or
// ingredient list, or an alias of a name to itself, counts as absent.
FoodGroups ReadFoodGroups(const ProfileFile& profile);

// Writes through the settings file's rules, touching only the one key. False
// when a name cannot stand as a key (empty, or holding "=" or "[" first).
bool WriteAlias(ProfileFile& profile, std::string_view name, std::string_view food);
bool WriteIngredients(ProfileFile& profile, std::string_view dish,
                      std::span<const std::string> ingredients);
bool WriteNotSame(ProfileFile& profile, std::string_view a, std::string_view b);

}  // namespace quorvane
