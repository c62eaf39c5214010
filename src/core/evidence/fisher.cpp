#include "core/evidence/fisher.h"

#include <algorithm>
#include <cmath>

namespace quorvane {

namespace {

long double LogChoose(int64_t n, int64_t k) {
    // lgammal keeps the log-factorials of millions of days exact to far below 1e-9;
    // the difference of three such values is what limits the precision.
    return std::lgammal(static_cast<long double>(n) + 1) -
           std::lgammal(static_cast<long double>(k) + 1) -
           std::lgammal(static_cast<long double>(n - k) + 1);
}

// Hypergeometric probability of x in the top left cell: C(r1,x) C(r2,k-x) / C(n,k).
long double LogProbability(int64_t x, int64_t r1, int64_t r2, int64_t k) {
    return LogChoose(r1, x) + LogChoose(r2, k - x) - LogChoose(r1 + r2, k);
}

}  // namespace

double FisherGreaterPValue(int64_t a, int64_t b, int64_t c, int64_t d) {
    if (a < 0 || b < 0 || c < 0 || d < 0) {
        return 1.0;
    }
    const int64_t r1 = a + b;  // exposed
    const int64_t r2 = c + d;  // not exposed
    const int64_t k = a + c;   // with the symptom
    const int64_t n = r1 + r2;
    const int64_t low = std::max<int64_t>(0, k - r2);
    const int64_t high = std::min(r1, k);
    if (n == 0 || a <= low) {
        return 1.0;  // every possible table has at least a
    }
    // The terms rise to the mode and fall after it. Summing away from the mode
    // lets each sum stop once its terms no longer change it: above the mode the
    // upper tail is summed directly, at or below it the lower tail, whose
    // complement loses at most one unit in the last place.
    const auto mode =
        static_cast<int64_t>(static_cast<long double>(r1 + 1) * static_cast<long double>(k + 1) /
                             static_cast<long double>(n + 2));
    long double sum = 0;
    if (a > mode) {
        long double term = std::exp(LogProbability(a, r1, r2, k));
        for (int64_t x = a; x <= high; ++x) {
            sum += term;
            // P(x+1) / P(x) = (r1 - x)(k - x) / ((x + 1)(r2 - k + x + 1))
            term *= static_cast<long double>(r1 - x) * static_cast<long double>(k - x) /
                    (static_cast<long double>(x + 1) * static_cast<long double>(r2 - k + x + 1));
            if (term <= sum * 1e-20L) {
                break;
            }
        }
        return static_cast<double>(std::min<long double>(sum, 1));
    }
    long double term = std::exp(LogProbability(a - 1, r1, r2, k));
    for (int64_t x = a - 1; x >= low; --x) {
        sum += term;
        // P(x-1) / P(x) = x (r2 - k + x) / ((r1 - x + 1)(k - x + 1))
        term *= static_cast<long double>(x) * static_cast<long double>(r2 - k + x) /
                (static_cast<long double>(r1 - x + 1) * static_cast<long double>(k - x + 1));
        if (term <= sum * 1e-20L) {
            break;
        }
    }
    return static_cast<double>(std::clamp<long double>(1 - sum, 0, 1));
}

}  // namespace quorvane
