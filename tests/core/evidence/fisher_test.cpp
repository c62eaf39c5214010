#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>

#include "core/evidence/fisher.h"

namespace quorvane {
namespace {

__extension__ using Exact = unsigned __int128;

Exact Choose(int64_t n, int64_t k) {
    if (k < 0 || k > n) {
        return 0;
    }
    Exact value = 1;
    for (int64_t i = 1; i <= k; ++i) {
        value =
            value * static_cast<Exact>(n - k + i) / static_cast<Exact>(i);  // exact at each step
    }
    return value;
}

// The upper tail by exact integer sums of binomial products, divided once.
long double ExactUpperTail(int64_t a, int64_t b, int64_t c, int64_t d) {
    const int64_t r1 = a + b, r2 = c + d, k = a + c;
    Exact numerator = 0;
    for (int64_t x = a; x <= std::min(r1, k); ++x) {
        numerator += Choose(r1, x) * Choose(r2, k - x);
    }
    return static_cast<long double>(numerator) / static_cast<long double>(Choose(r1 + r2, k));
}

// Every term from its own log-factorials, no recurrence and no early stop.
long double DirectUpperTail(int64_t a, int64_t b, int64_t c, int64_t d) {
    const int64_t r1 = a + b, r2 = c + d, k = a + c, n = r1 + r2;
    auto logFactorial = [](int64_t m) { return std::lgammal(static_cast<long double>(m) + 1); };
    long double sum = 0;
    for (int64_t x = a; x <= std::min(r1, k); ++x) {
        sum += std::exp(logFactorial(r1) - logFactorial(x) - logFactorial(r1 - x) +
                        logFactorial(r2) - logFactorial(k - x) - logFactorial(r2 - k + x) -
                        logFactorial(n) + logFactorial(k) + logFactorial(n - k));
    }
    return sum;
}

TEST(FisherGreaterPValue, HandComputedTables) {
    struct Case {
        int64_t a, b, c, d;
        double p;
    };
    const Case cases[] = {
        {3, 1, 1, 3, 17.0 / 70},                 // the tea-tasting table: (16 + 1) / 70
        {2, 2, 0, 2, 6.0 / 15},                  //
        {2, 2, 1, 2, 22.0 / 35},                 //
        {1, 0, 0, 1, 0.5},                       //
        {0, 5, 3, 2, 1.0},                       // a at its least possible value
        {1, 1, 0, 0, 1.0},                       // every day exposed
        {0, 0, 0, 0, 1.0},                       // no days
        {5, 0, 0, 5, 1.0 / 252},                 // 1 / C(10,5)
        {10, 0, 0, 90, 1.0 / 17310309456440.0},  // 1 / C(100,10)
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(FisherGreaterPValue(c.a, c.b, c.c, c.d), c.p, 1e-12 * std::max(c.p, 1e-3))
            << c.a << " " << c.b << " " << c.c << " " << c.d;
    }
}

TEST(FisherGreaterPValue, MatchesExactSumsOnSmallTables) {
    std::mt19937 random(7);
    for (int i = 0; i < 400; ++i) {
        const auto cell = [&random] { return static_cast<int64_t>(random() % 25); };
        const int64_t a = cell(), b = cell(), c = cell(), d = cell();
        const long double expected = ExactUpperTail(a, b, c, d);
        EXPECT_NEAR(FisherGreaterPValue(a, b, c, d), static_cast<double>(expected), 1e-12)
            << a << " " << b << " " << c << " " << d;
    }
}

TEST(FisherGreaterPValue, TenYearsOfDaysStayExact) {
    struct Case {
        int64_t a, b, c, d;
    };
    // 3650 days: staples, rare items, both tails and the middle.
    const Case cases[] = {
        {440, 702, 814, 1694}, {20, 121, 182, 3327},  {1800, 1700, 50, 100},
        {3, 40, 300, 3307},    {150, 150, 150, 3200}, {60, 5, 200, 3385},
    };
    for (const Case& c : cases) {
        const double p = FisherGreaterPValue(c.a, c.b, c.c, c.d);
        const long double direct = DirectUpperTail(c.a, c.b, c.c, c.d);
        EXPECT_NEAR(p, static_cast<double>(direct), 1e-9 * std::max<long double>(direct, 1e-6L))
            << c.a << " " << c.b << " " << c.c << " " << c.d;
        // The upper tail from a and the lower tail below it make one.
        const double lower = FisherGreaterPValue(c.b + 1, c.a - 1, c.d - 1, c.c + 1);
        EXPECT_NEAR(p + lower, 1.0, 1e-12);
    }
}

}  // namespace
}  // namespace quorvane
