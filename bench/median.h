#pragma once

// Benchmarks time a piece of work as the median of several rounds after one round that warms the
// file cache and the allocator, so that a slow round on a shared machine moves no figure.

#include <QElapsedTimer>

#include <algorithm>
#include <ctime>
#include <functional>
#include <vector>

// Wall time and the CPU time of the process, each the median of the rounds, in milliseconds.
struct Timing {
    double wallMs = 0;
    double cpuMs = 0;
};

inline double cpuNowMs() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

inline Timing medianTiming(const std::function<void()>& work, int rounds = 15) {
    work();
    std::vector<double> walls;
    std::vector<double> cpus;
    for (int k = 0; k < rounds; ++k) {
        const double cpuStart = cpuNowMs();
        QElapsedTimer timer;
        timer.start();
        work();
        walls.push_back(double(timer.nsecsElapsed()) / 1e6);
        cpus.push_back(cpuNowMs() - cpuStart);
    }
    std::sort(walls.begin(), walls.end());
    std::sort(cpus.begin(), cpus.end());
    return {walls[walls.size() / 2], cpus[cpus.size() / 2]};
}

inline double medianMs(const std::function<void()>& work, int rounds = 15) {
    return medianTiming(work, rounds).wallMs;
}

// The wall time and the processor time of the process (all its threads) of the same rounds, each
// the median of its own: on a shared machine the wall time shows what the operator waits, the
// processor time what the work costs whatever else runs.
struct MedianTimes {
    double wallMs = 0.0;
    double cpuMs = 0.0;
};

inline double processCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

inline MedianTimes medianTimes(const std::function<void()>& work, int rounds = 15) {
    work();
    std::vector<double> walls, cpus;
    for (int k = 0; k < rounds; ++k) {
        const double cpuStart = processCpuMs();
        QElapsedTimer timer;
        timer.start();
        work();
        walls.push_back(timer.nsecsElapsed() / 1e6);
        cpus.push_back(processCpuMs() - cpuStart);
    }
    std::sort(walls.begin(), walls.end());
    std::sort(cpus.begin(), cpus.end());
    return {walls[walls.size() / 2], cpus[cpus.size() / 2]};
}
