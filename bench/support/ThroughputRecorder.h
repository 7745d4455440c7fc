#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace benchmarkSupport {

// Prints the runs as the console does and remembers each benchmark's throughput for a closing table:
// the median when the run repeats (--benchmark_repetitions=N), else the single measurement.
class ThroughputRecorder : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override;

    // MB/s of the benchmark by its name, 0 when it did not run.
    double megabytesPerSecond(const std::string& name) const;

private:
    std::map<std::string, double> m_single;
    std::map<std::string, double> m_medians;
};

// The arguments with five interleaved repetitions unless the command line sets either. A table
// compares runs made at different moments, which on a shared machine drift apart; medians of
// interleaved repetitions keep its ratios steady.
std::vector<char*> argumentsWithSteadyDefaults(int argc, char** argv);

}
