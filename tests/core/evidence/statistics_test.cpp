#include "core/evidence/statistics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/evidence/fisher.h"

namespace {

using quorvane::DayTable;

TEST(Statistics, FisherFromTheTableMatchesTheExactTest) {
    const quorvane::LogFactorials lf(400);
    // The tea-tasting table: 3 of 4 cups right, P(X >= 3) = 17/70.
    EXPECT_NEAR(quorvane::FisherGreaterPValue(DayTable{3, 1, 1, 3}, lf), 17.0 / 70.0, 1e-12);
    EXPECT_DOUBLE_EQ(quorvane::FisherGreaterPValue(DayTable{0, 4, 4, 0}, lf), 1.0);
    for (int64_t a = 0; a <= 12; a += 3) {
        for (int64_t b = 0; b <= 30; b += 7) {
            for (int64_t c = 0; c <= 20; c += 4) {
                for (const int64_t d : {0, 5, 60, 300}) {
                    EXPECT_NEAR(quorvane::FisherGreaterPValue(DayTable{a, b, c, d}, lf),
                                quorvane::FisherGreaterPValue(a, b, c, d), 1e-10)
                        << a << ' ' << b << ' ' << c << ' ' << d;
                }
            }
        }
    }
}

TEST(Statistics, BenjaminiHochbergWorkedExamples) {
    // Sorted 0.005, 0.01, 0.03, 0.04: m p / rank = 0.02, 0.02, 0.04, 0.04.
    const std::vector<double> q = quorvane::BenjaminiHochberg(std::vector{0.01, 0.04, 0.03, 0.005});
    const std::vector<double> expected = {0.02, 0.04, 0.04, 0.02};
    ASSERT_EQ(q.size(), expected.size());
    for (std::size_t i = 0; i < q.size(); ++i) {
        EXPECT_NEAR(q[i], expected[i], 1e-12) << i;
    }
    // A later smaller ratio carries back: all five become 0.05; large p cap at 1.
    for (const double v : quorvane::BenjaminiHochberg(std::vector{0.01, 0.02, 0.03, 0.04, 0.05})) {
        EXPECT_NEAR(v, 0.05, 1e-12);
    }
    EXPECT_DOUBLE_EQ(quorvane::BenjaminiHochberg(std::vector{0.9, 0.8})[0], 0.9);
    EXPECT_TRUE(quorvane::BenjaminiHochberg(std::vector<double>{}).empty());

    // p m / m rounds below p for these; a q is never below its own p.
    for (const std::vector<double>& ps :
         {std::vector{0.1, 0.2, 0.9014274576114836},
          std::vector{0.21659939713061338, 0.21659939713061338, 0.3, 0.4, 0.21659939713061338},
          std::vector{0.5, 0.24273997354306764, 0.24273997354306764, 0.24273997354306764, 0.9,
                      0.24273997354306764, 0.24273997354306764}}) {
        const std::vector<double> qs = quorvane::BenjaminiHochberg(ps);
        for (std::size_t i = 0; i < ps.size(); ++i) {
            EXPECT_GE(qs[i], ps[i]) << i << " of " << ps.size();
        }
    }
}

TEST(Statistics, KatzIntervalByHandAndWithTheZeroCellCorrection) {
    // RR = (10/30) / (5/50); SE of log RR = sqrt(1/10 - 1/30 + 1/5 - 1/50).
    const quorvane::RiskRatioInterval plain = quorvane::KatzRiskRatio(DayTable{10, 20, 5, 45});
    EXPECT_NEAR(plain.Ratio, 10.0 / 3.0, 1e-12);
    EXPECT_NEAR(plain.Low, 1.2592873291, 1e-9);
    EXPECT_NEAR(plain.High, 8.8233327330, 1e-9);
    EXPECT_FALSE(plain.Corrected);
    // A zero cell: 0.5 added to all four, (0.5 / 11) / (5.5 / 11).
    const quorvane::RiskRatioInterval zero = quorvane::KatzRiskRatio(DayTable{0, 10, 5, 5});
    EXPECT_TRUE(zero.Corrected);
    EXPECT_NEAR(zero.Ratio, 1.0 / 11.0, 1e-12);
    EXPECT_NEAR(zero.Low, 0.0056862578, 1e-9);
    EXPECT_NEAR(zero.High, 1.4534097912, 1e-9);
}

TEST(Statistics, KoopmanIntervalMatchesPublishedValues) {
    struct Case {
        DayTable Table;
        double Confidence;
        double Low;
        double High;
    };
    const Case cases[] = {
        // Koopman (1984): 36 of 40 against 16 of 80.
        {{36, 4, 16, 64}, 0.95, 2.9396, 7.1522},
        // Fagerland, Lydersen & Laake's high-dose epinephrine trial: 7 of 34 against 1 of 34.
        {{7, 27, 1, 33}, 0.95, 1.2209, 42.5757},
        // statsmodels' score interval without correction, at the three-lag level.
        {{7, 27, 1, 33}, 1 - 0.05 / 3, 0.917792, 57.546791},
        {{5, 6, 17, 212}, 1 - 0.05 / 3, 2.116648, 13.926974},
        {{3, 2, 2, 98}, 0.95, 6.591663, 121.834633},
        // 1 of 1 and 2 of 2: Koopman's chi-square solved with scipy (statsmodels' closed
        // form breaks down when every exposed day had the event).
        {{1, 0, 21, 218}, 0.95, 2.272728, 17.185865},
        {{1, 0, 21, 218}, 1 - 0.05 / 3, 1.630735, 18.820793},
        {{2, 0, 20, 218}, 1 - 0.05 / 3, 2.884248, 19.935604},
    };
    for (const Case& c : cases) {
        const quorvane::RiskRatioInterval interval =
            quorvane::KoopmanRiskRatio(c.Table, c.Confidence);
        const double digits = c.Low < 10 && c.High < 100 ? 5e-5 : 5e-4;
        EXPECT_NEAR(interval.Low, c.Low, c.Low * digits) << c.Table.A << '/' << c.Table.B;
        EXPECT_NEAR(interval.High, c.High, c.High * digits) << c.Table.A << '/' << c.Table.B;
        EXPECT_LT(interval.Low, interval.Ratio);
        EXPECT_GT(interval.High, interval.Ratio);
    }
    // The one-evaluation test agrees with the bounds on either side.
    const DayTable table{5, 6, 17, 212};
    const double z = quorvane::NormalQuantile(0.95);
    EXPECT_NEAR(z, 1.959963984540054, 1e-12);
    EXPECT_GT(quorvane::KoopmanScore(table, 2.5), z);
    EXPECT_LT(quorvane::KoopmanScore(table, 2.6), z);
    EXPECT_LT(quorvane::KoopmanScore(table, 12.3), -z);

    // A zero cell opens one side instead of being patched.
    const quorvane::RiskRatioInterval none = quorvane::KoopmanRiskRatio(DayTable{0, 10, 5, 45});
    EXPECT_EQ(none.Low, 0);
    EXPECT_NEAR(none.High, 3.141376, 1e-5);
    const quorvane::RiskRatioInterval all = quorvane::KoopmanRiskRatio(DayTable{10, 0, 0, 20});
    EXPECT_TRUE(std::isinf(all.Ratio));
    EXPECT_TRUE(std::isinf(all.High));
    EXPECT_NEAR(all.Low, 6.206355, 1e-5);
}

TEST(Statistics, SmallestPAndMantelHaenszel) {
    // 2 exposed days, 5 event days of 10: at best both exposed days are event days,
    // P = C(5,2) / C(10,2).
    EXPECT_NEAR(quorvane::SmallestFisherP(2, 5, 10), 10.0 / 45.0, 1e-12);
    EXPECT_DOUBLE_EQ(quorvane::SmallestFisherP(0, 5, 10), 1.0);
    EXPECT_DOUBLE_EQ(quorvane::SmallestFisherP(3, 0, 10), 1.0);

    // Each stratum has a ratio of 2, so the pooled ratio is 2 too.
    double ratio = 0;
    const std::vector<DayTable> both = {{4, 6, 2, 8}, {10, 10, 5, 15}};
    ASSERT_TRUE(quorvane::MantelHaenszelRiskRatio(both, ratio));
    EXPECT_NEAR(ratio, 2.0, 1e-12);
    // A confounder: crude (6/20) / (4/24) = 1.8, yet within each stratum the food
    // changes nothing.
    const std::vector<DayTable> confounded = {{5, 5, 2, 2}, {1, 9, 2, 18}};
    ASSERT_TRUE(quorvane::MantelHaenszelRiskRatio(confounded, ratio));
    EXPECT_NEAR(ratio, 1.0, 1e-12);
    const std::vector<DayTable> none = {{3, 3, 0, 4}};
    EXPECT_FALSE(quorvane::MantelHaenszelRiskRatio(none, ratio));
}

}  // namespace
