#pragma once
// Contenders timed in interleaved repetitions: each repetition runs every contender once, in
// an order that rotates, so a slow spell of the shared machine hits all of them alike. A
// contender's figure is the median over the repetitions; a ratio is the median of the
// per-repetition ratios.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace pvlbench {

struct TContender {
    std::string Name;
    // Runs the work `iterations` times and returns the nanoseconds to count (a body may leave
    // its own set-up out of the figure).
    std::function<double(long iterations)> Run;
};

struct TRatio {
    std::string Numerator, Denominator;
    double Goal;  // at most; 0 for a ratio shown without a goal
};

class TInterleaved {
public:
    explicit TInterleaved(int repetitions = 15, double secondsPerRun = 0.02)
        : FRepetitions(repetitions), FSecondsPerRun(secondsPerRun)
    {
    }

    void Add(std::string name, std::function<double(long)> run) { FContenders.push_back({std::move(name), std::move(run)}); }

    // Returns the median nanoseconds per iteration of each contender.
    std::map<std::string, double> Run()
    {
        std::vector<long> iterations;
        for (const TContender& c : FContenders)
            iterations.push_back(Calibrate(c));
        const size_t count = FContenders.size();
        FSamples.assign(count, {});
        for (int r = 0; r < FRepetitions; ++r) {
            for (size_t k = 0; k < count; ++k) {
                const size_t i = (k + static_cast<size_t>(r)) % count;
                FSamples[i].push_back(FContenders[i].Run(iterations[i]) / static_cast<double>(iterations[i]));
            }
        }
        std::map<std::string, double> medians;
        for (size_t i = 0; i < count; ++i)
            medians[FContenders[i].Name] = Median(FSamples[i]);
        return medians;
    }

    void PrintTimes(const char* unit = "ns", double divisor = 1.0) const
    {
        std::printf("%-52s %12s %12s %12s   (%d interleaved repetitions)\n", "contender", "median", "min", "max",
                    FRepetitions);
        for (size_t i = 0; i < FContenders.size(); ++i) {
            const auto [lo, hi] = std::minmax_element(FSamples[i].begin(), FSamples[i].end());
            std::printf("%-52s %10.1f %s %10.1f %s %10.1f %s\n", FContenders[i].Name.c_str(), Median(FSamples[i]) / divisor,
                        unit, *lo / divisor, unit, *hi / divisor, unit);
        }
    }

    void PrintRatios(const std::vector<TRatio>& ratios) const
    {
        for (const TRatio& ratio : ratios) {
            const int a = Index(ratio.Numerator), b = Index(ratio.Denominator);
            if (a < 0 || b < 0)
                continue;
            std::vector<double> each;
            for (int r = 0; r < FRepetitions; ++r)
                each.push_back(FSamples[a][r] / FSamples[b][r]);
            const double median = Median(each);
            std::printf("  %-44s / %-36s %6.2f", ratio.Numerator.c_str(), ratio.Denominator.c_str(), median);
            if (ratio.Goal > 0)
                std::printf("   goal <= %.2f: %s", ratio.Goal, median <= ratio.Goal ? "met" : "MISSED");
            std::printf("\n");
        }
    }

private:
    // Iterations that make one run last about FSecondsPerRun.
    long Calibrate(const TContender& c) const
    {
        long n = 1;
        for (;;) {
            const double ns = c.Run(n);
            if (ns >= FSecondsPerRun * 1e9 || n > (1L << 26))
                return n;
            n = ns > 1e5 ? static_cast<long>(n * FSecondsPerRun * 1e9 / ns) + 1 : n * 10;
        }
    }

    int Index(const std::string& name) const
    {
        for (size_t i = 0; i < FContenders.size(); ++i)
            if (FContenders[i].Name == name)
                return static_cast<int>(i);
        return -1;
    }

    static double Median(std::vector<double> values)
    {
        if (values.empty())
            return 0;
        std::sort(values.begin(), values.end());
        const size_t m = values.size() / 2;
        return values.size() % 2 ? values[m] : (values[m - 1] + values[m]) / 2;
    }

    int FRepetitions;
    double FSecondsPerRun;
    std::vector<TContender> FContenders;
    std::vector<std::vector<double>> FSamples;
};

// Nanoseconds spent in body.
template <class Body>
double TimeNs(Body&& body)
{
    const auto start = std::chrono::steady_clock::now();
    body();
    return std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace pvlbench
