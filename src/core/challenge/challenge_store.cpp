#include "core/challenge/challenge_store.h"

#include <charconv>
#include <cstdio>
#include <string>

#include "core/settings/profile_file.h"
#include "core/text/quorvane_error.h"

namespace quorvane {

namespace {

// Quoted, since a read trims blanks and an item name may end in one.
std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

std::string Decimal(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}

[[noreturn]] void Damaged(const std::string& key) {
    throw QuorvaneError("The challenge plan in the settings file is damaged (" + key + ")");
}

template <typename Number>
Number Parse(const ProfileFile& profile, const char* key, Number low, Number high) {
    const std::string text = profile.ReadString(kChallengeSection, key, "");
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < low || value > high) {
        Damaged(key);
    }
    return value;
}

}  // namespace

void StoreChallengePlan(ProfileFile& profile, const ChallengePlan& plan) {
    const auto write = [&profile](const char* key, const std::string& value) {
        profile.WriteString(kChallengeSection, key, value);
    };
    write("Food", Quoted(plan.Food));
    write("Symptom", Quoted(plan.Symptom));
    write("StartDay", std::to_string(plan.StartDay));
    write("StartDate", plan.StartDate);
    write("Lag", std::to_string(plan.Lag));
    write("EpisodeDays", std::to_string(plan.EpisodeDays));
    write("WashoutDays", std::to_string(plan.WashoutDays));
    write("PeriodDays", std::to_string(plan.PeriodDays));
    write("Blocks", std::to_string(plan.Blocks));
    write("Seed", std::to_string(plan.Seed));
    write("Order", plan.Order);
    write("BaseRate", Decimal(plan.BaseRate));
    write("AssumedRatio", Decimal(plan.AssumedRatio));
    write("Power", Decimal(plan.Power));
}

std::optional<ChallengePlan> ReadChallengePlan(const ProfileFile& profile) {
    ChallengePlan plan;
    plan.Food = profile.ReadString(kChallengeSection, "Food", "");
    if (plan.Food.empty()) {
        return std::nullopt;
    }
    plan.Symptom = profile.ReadString(kChallengeSection, "Symptom", "");
    plan.StartDate = profile.ReadString(kChallengeSection, "StartDate", "");
    plan.StartDay = Parse<uint32_t>(profile, "StartDay", 0, UINT32_MAX - 1);
    plan.Lag = Parse<int>(profile, "Lag", 0, 2);
    plan.EpisodeDays = Parse<int>(profile, "EpisodeDays", 1, 366);
    plan.WashoutDays = Parse<int>(profile, "WashoutDays", 0, 366);
    plan.PeriodDays = Parse<int>(profile, "PeriodDays", 1, 366);
    plan.Blocks = Parse<int>(profile, "Blocks", 1, 24);
    plan.Seed = Parse<uint64_t>(profile, "Seed", 0, UINT64_MAX);
    plan.Order = profile.ReadString(kChallengeSection, "Order", "");
    plan.BaseRate = Parse<double>(profile, "BaseRate", 0, 1);
    plan.AssumedRatio = Parse<double>(profile, "AssumedRatio", 0, 1e9);
    plan.Power = Parse<double>(profile, "Power", 0, 1);
    if (plan.WashoutDays < plan.Lag || plan.WashoutDays >= plan.PeriodDays) {
        Damaged("WashoutDays");
    }
    if (plan.Order.size() != 2 * static_cast<std::size_t>(plan.Blocks)) {
        Damaged("Order");
    }
    for (std::size_t b = 0; b < plan.Order.size(); b += 2) {
        const std::string pair = plan.Order.substr(b, 2);
        if (pair != "EA" && pair != "AE") {
            Damaged("Order");
        }
    }
    return plan;
}

void ForgetChallengePlan(ProfileFile& profile) {
    profile.WriteString(kChallengeSection, "Food", "");
}

}  // namespace quorvane
