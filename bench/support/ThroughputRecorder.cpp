#include "support/ThroughputRecorder.h"

#include <algorithm>
#include <string_view>

namespace benchmarkSupport {

void ThroughputRecorder::ReportRuns(const std::vector<Run>& runs)
{
    for (auto& run : runs) {
        auto rate = run.counters.find("bytes_per_second");
        if (rate == run.counters.end())
            continue;
        std::string name = run.run_name.str();
        if (run.aggregate_name == "median")
            m_medians[name] = rate->second.value / 1e6;
        else if (run.aggregate_name.empty())
            m_single[name] = rate->second.value / 1e6;
    }
    ConsoleReporter::ReportRuns(runs);
}

double ThroughputRecorder::megabytesPerSecond(const std::string& name) const
{
    if (auto median = m_medians.find(name); median != m_medians.end())
        return median->second;
    auto found = m_single.find(name);
    return found == m_single.end() ? 0 : found->second;
}

std::vector<char*> argumentsWithSteadyDefaults(int argc, char** argv)
{
    static char repetitions[] = "--benchmark_repetitions=5";
    static char interleaving[] = "--benchmark_enable_random_interleaving=true";
    std::vector<char*> arguments(argv, argv + argc);
    auto given = [&](std::string_view flag) {
        return std::any_of(arguments.begin(), arguments.end(), [&](const char* argument) { return std::string_view(argument).starts_with(flag); });
    };
    if (!given("--benchmark_repetitions"))
        arguments.push_back(repetitions);
    if (!given("--benchmark_enable_random_interleaving"))
        arguments.push_back(interleaving);
    return arguments;
}

}
