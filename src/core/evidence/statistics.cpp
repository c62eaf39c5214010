#include "core/evidence/statistics.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "core/evidence/fisher.h"

namespace quorvane {

LogFactorials::LogFactorials(int64_t upTo) {
    values_.resize(static_cast<std::size_t>(std::max<int64_t>(upTo, 0)) + 1);
    long double sum = 0;  // summed in long double: millions of terms lose nothing
    for (std::size_t n = 1; n < values_.size(); ++n) {
        sum += std::log(static_cast<long double>(n));
        values_[n] = static_cast<double>(sum);
    }
}

double FisherGreaterPValue(const DayTable& table, const LogFactorials& lf) {
    const int64_t a = table.A;
    if (a < 0 || table.B < 0 || table.C < 0 || table.D < 0) {
        return 1.0;
    }
    const int64_t r1 = a + table.B;
    const int64_t r2 = table.C + table.D;
    const int64_t k = a + table.C;
    const int64_t n = r1 + r2;
    const int64_t low = std::max<int64_t>(0, k - r2);
    const int64_t high = std::min(r1, k);
    if (n == 0 || a <= low) {
        return 1.0;
    }
    // log C(r1,x) C(r2,k-x) / C(n,k)
    const double fixed = lf(r1) + lf(r2) + lf(k) + lf(n - k) - lf(n);
    auto logP = [&](int64_t x) { return fixed - lf(x) - lf(r1 - x) - lf(k - x) - lf(r2 - k + x); };
    // As FisherGreaterPValue: sum away from the mode until the terms stop counting.
    const auto mode = static_cast<int64_t>(static_cast<double>(r1 + 1) *
                                           static_cast<double>(k + 1) / static_cast<double>(n + 2));
    double sum = 0;
    if (a > mode) {
        double term = std::exp(logP(a));
        for (int64_t x = a; x <= high; ++x) {
            sum += term;
            term *= static_cast<double>(r1 - x) * static_cast<double>(k - x) /
                    (static_cast<double>(x + 1) * static_cast<double>(r2 - k + x + 1));
            if (term <= sum * 1e-17) {
                break;
            }
        }
        return std::min(sum, 1.0);
    }
    double term = std::exp(logP(a - 1));
    for (int64_t x = a - 1; x >= low; --x) {
        sum += term;
        term *= static_cast<double>(x) * static_cast<double>(r2 - k + x) /
                (static_cast<double>(r1 - x + 1) * static_cast<double>(k - x + 1));
        if (term <= sum * 1e-17) {
            break;
        }
    }
    return std::clamp(1 - sum, 0.0, 1.0);
}

RiskRatioInterval KatzRiskRatio(const DayTable& table, double z) {
    RiskRatioInterval interval;
    auto a = static_cast<double>(table.A);
    auto b = static_cast<double>(table.B);
    auto c = static_cast<double>(table.C);
    auto d = static_cast<double>(table.D);
    if (table.A == 0 || table.B == 0 || table.C == 0 || table.D == 0) {
        a += 0.5;
        b += 0.5;
        c += 0.5;
        d += 0.5;
        interval.Corrected = true;
    }
    const double exposed = a + b;
    const double other = c + d;
    const double logRatio = std::log(a / exposed) - std::log(c / other);
    const double se = std::sqrt(1 / a - 1 / exposed + 1 / c - 1 / other);
    interval.Ratio = std::exp(logRatio);
    interval.Low = std::exp(logRatio - z * se);
    interval.High = std::exp(logRatio + z * se);
    return interval;
}

std::vector<double> BenjaminiHochberg(std::span<const double> pValues) {
    const std::size_t m = pValues.size();
    std::vector<std::size_t> order(m);
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t x, std::size_t y) { return pValues[x] < pValues[y]; });
    std::vector<double> q(m, 1.0);
    double running = 1.0;
    for (std::size_t rank = m; rank > 0; --rank) {
        const std::size_t i = order[rank - 1];
        running =
            std::min(running, pValues[i] * static_cast<double>(m) / static_cast<double>(rank));
        // m p / rank is never below p; its rounding can be, by an ulp.
        running = std::max(running, pValues[i]);
        q[i] = std::min(running, 1.0);
    }
    return q;
}

double SmallestFisherP(int64_t exposedDays, int64_t eventDays, int64_t allDays) {
    const int64_t a = std::min(exposedDays, eventDays);
    if (a <= 0 || exposedDays >= allDays) {
        return 1.0;
    }
    return FisherGreaterPValue(a, exposedDays - a, eventDays - a,
                               allDays - exposedDays - eventDays + a);
}

bool MantelHaenszelRiskRatio(std::span<const DayTable> strata, double& ratio) {
    double numerator = 0;
    double denominator = 0;
    for (const DayTable& s : strata) {
        const auto n = static_cast<double>(s.A + s.B + s.C + s.D);
        if (n == 0) {
            continue;
        }
        numerator += static_cast<double>(s.A) * static_cast<double>(s.C + s.D) / n;
        denominator += static_cast<double>(s.C) * static_cast<double>(s.A + s.B) / n;
    }
    if (denominator == 0) {
        return false;
    }
    ratio = numerator / denominator;
    return true;
}

}  // namespace quorvane
