#pragma once
// A small timing harness for benchmarks that run under Wine, where Google Benchmark is not
// built: runs a body until enough time has passed and reports the best mean of a few rounds.
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

namespace pvlbench {

struct TResult {
    std::string Name;
    double NsPerIteration = 0;
};

// Calls body(iterations) with growing counts until a round lasts at least minSeconds, then
// keeps the fastest of `rounds` rounds.
inline TResult Measure(const std::string& name, const std::function<void(long)>& body, double minSeconds = 0.2,
                       int rounds = 5)
{
    using Clock = std::chrono::steady_clock;
    long iterations = 1;
    for (;;) {
        const auto start = Clock::now();
        body(iterations);
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        if (seconds >= minSeconds || iterations > (1L << 28))
            break;
        iterations *= seconds > 0.01 ? static_cast<long>(minSeconds / seconds * 1.2) + 1 : 10;
    }
    double best = 1e300;
    for (int r = 0; r < rounds; ++r) {
        const auto start = Clock::now();
        body(iterations);
        const double ns = std::chrono::duration<double, std::nano>(Clock::now() - start).count() / iterations;
        if (ns < best)
            best = ns;
    }
    std::printf("%-48s %12.1f ns/iteration\n", name.c_str(), best);
    return {name, best};
}

// Keeps the compiler from dropping a computed value.
template <class T>
inline void DoNotOptimize(const T& value)
{
    asm volatile("" : : "g"(&value) : "memory");
}

}  // namespace pvlbench
