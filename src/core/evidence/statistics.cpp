#include "core/evidence/statistics.h"

#include <algorithm>
#include <cmath>
#include <limits>
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

double NormalQuantile(double confidence) {
    const double tail = (1 - confidence) / 2;
    double low = 0;
    double high = 40;
    for (int i = 0; i < 200 && high - low > 1e-15; ++i) {
        const double mid = (low + high) / 2;
        (0.5 * std::erfc(mid / std::sqrt(2.0)) > tail ? low : high) = mid;
    }
    return (low + high) / 2;
}

double KoopmanScore(const DayTable& table, double theta) {
    const auto x1 = static_cast<double>(table.A);
    const auto n1 = static_cast<double>(table.A + table.B);
    const auto x2 = static_cast<double>(table.C);
    const auto n2 = static_cast<double>(table.C + table.D);
    // The unexposed rate that maximises the likelihood under p1 = theta p2: the
    // smaller root of a quadratic, written so that it does not cancel.
    const double a = (n1 + n2) * theta;
    const double b = -(theta * (n1 + x2) + x1 + n2);
    const double c = x1 + x2;
    const double root = -b + std::sqrt(std::max(0.0, b * b - 4 * a * c));
    const double p2 = root > 0 ? std::clamp(2 * c / root, 0.0, 1.0) : 0.0;
    const double p1 = std::min(1.0, theta * p2);
    const double difference = x1 / n1 - theta * x2 / n2;
    const double variance = p1 * (1 - p1) / n1 + theta * theta * p2 * (1 - p2) / n2;
    if (!(variance > 0)) {
        return difference > 0   ? std::numeric_limits<double>::infinity()
               : difference < 0 ? -std::numeric_limits<double>::infinity()
                                : 0.0;
    }
    return difference / std::sqrt(variance);
}

RiskRatioInterval KoopmanRiskRatio(const DayTable& table, double confidence) {
    // The window asks for thousands of intervals at one or two levels.
    thread_local double lastConfidence = -1;
    thread_local double z = 0;
    if (confidence != lastConfidence) {
        lastConfidence = confidence;
        z = NormalQuantile(confidence);
    }
    const auto n1 = static_cast<double>(table.A + table.B);
    const auto n2 = static_cast<double>(table.C + table.D);
    const double infinity = std::numeric_limits<double>::infinity();
    RiskRatioInterval interval;
    interval.Ratio =
        table.C == 0 ? infinity
                     : (static_cast<double>(table.A) / n1) / (static_cast<double>(table.C) / n2);
    // The score falls as the ratio rises: on a log scale, step out from the
    // estimate until the score crosses the quantile, then close in by the
    // Illinois rule; a bound takes some ten evaluations instead of fifty halvings.
    const auto crossing = [&](double target, double from, double outward) {
        const auto f = [&](double t) { return KoopmanScore(table, std::exp(t)) - target; };
        const bool lower = outward < 0;  // f > 0 below the lower bound, < 0 above the upper
        double inside = from;
        double fInside = f(inside);
        double step = outward;
        double outside = from + step;
        double fOutside = f(outside);
        while ((lower ? fOutside <= 0 : fOutside >= 0) && std::abs(outside) < 40) {
            inside = outside;
            fInside = fOutside;
            step *= 2;
            outside = std::clamp(from + step, -40.0, 40.0);
            fOutside = f(outside);
        }
        int side = 0;
        // Close enough in score: the bound moves by far less than a printed digit.
        constexpr double kScoreTolerance = 1e-9;
        for (int i = 0; i < 100 && std::abs(outside - inside) > 1e-9; ++i) {
            double t = (inside + outside) / 2;
            if (std::isfinite(fInside) && std::isfinite(fOutside) && fInside != fOutside) {
                t = inside - fInside * (outside - inside) / (fOutside - fInside);
            }
            const double ft = f(t);
            if (std::abs(ft) < kScoreTolerance) {
                return std::exp(t);
            }
            if ((ft > 0) == (fOutside > 0)) {
                outside = t;
                fOutside = ft;
                if (side == -1) {
                    fInside /= 2;
                }
                side = -1;
            } else {
                inside = t;
                fInside = ft;
                if (side == 1) {
                    fOutside /= 2;
                }
                side = 1;
            }
        }
        return std::exp((inside + outside) / 2);
    };
    constexpr double kLogRange = 30;
    const double centre = std::isfinite(interval.Ratio) && interval.Ratio > 0
                              ? std::clamp(std::log(interval.Ratio), -kLogRange, kLogRange)
                              : (table.A == 0 ? -kLogRange : kLogRange);
    interval.Low = table.A == 0 ? 0.0 : crossing(z, centre, -1);
    interval.High = table.C == 0 ? infinity : crossing(-z, centre, 1);
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
