// Peak heap use of decoding the shared benchmark documents with the fast decoder, against a RapidJSON
// Document with its default allocator and, for context, nlohmann-json, with a table of the ratios at
// the end of the run.

#include "BenchmarkDocuments.h"
#include "json/fast/JSONDecoder.h"

#include <benchmark/benchmark.h>
#include <nlohmann/json.hpp>
#include <rapidjson/document.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <malloc.h>
#include <map>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// glibc's own entry points, which the replacements below forward to.
extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void* __libc_memalign(size_t, size_t);
void __libc_free(void*);
}

namespace {

// Live heap bytes (as malloc_usable_size counts them) and their highest mark. The benchmark runs on
// one thread, and every measurement runs in a child process of its own.
size_t g_liveBytes = 0;
size_t g_peakBytes = 0;

void* counted(void* block)
{
    if (block) {
        g_liveBytes += malloc_usable_size(block);
        if (g_liveBytes > g_peakBytes)
            g_peakBytes = g_liveBytes;
    }
    return block;
}

void uncount(void* block)
{
    if (block)
        g_liveBytes -= malloc_usable_size(block);
}

}

extern "C" {

void* malloc(size_t size) { return counted(__libc_malloc(size)); }
void* calloc(size_t count, size_t size) { return counted(__libc_calloc(count, size)); }
void* memalign(size_t alignment, size_t size) { return counted(__libc_memalign(alignment, size)); }
void* aligned_alloc(size_t alignment, size_t size) { return memalign(alignment, size); }

void free(void* block)
{
    uncount(block);
    __libc_free(block);
}

void* realloc(void* block, size_t size)
{
    uncount(block);
    void* moved = __libc_realloc(block, size);
    // A failed reallocation leaves the old block in place.
    return counted(moved || !size ? moved : block);
}

int posix_memalign(void** result, size_t alignment, size_t size)
{
    void* block = memalign(alignment, size);
    if (!block)
        return ENOMEM;
    *result = block;
    return 0;
}

}

namespace {

using namespace benchmarkDocuments;

// The highest number of heap bytes in use above the start while `decode` runs, measured in a child
// process so that memory kept by an earlier measurement (the decoder's pools) counts nowhere else.
size_t peakBytesInFreshProcess(const std::function<void()>& decode)
{
    int channel[2];
    if (pipe(channel))
        return 0;
    pid_t child = fork();
    if (!child) {
        close(channel[0]);
        size_t baseline = g_liveBytes;
        g_peakBytes = baseline;
        decode();
        size_t peak = g_peakBytes - baseline;
        ssize_t written = write(channel[1], &peak, sizeof peak);
        _exit(written == sizeof peak ? 0 : 1);
    }
    close(channel[1]);
    size_t peak = 0;
    if (read(channel[0], &peak, sizeof peak) != sizeof peak)
        peak = 0;
    close(channel[0]);
    waitpid(child, nullptr, 0);
    return peak;
}

// Each decodes the text and keeps the document alive until the end of the measurement.

void decodeBrenzo(const std::string& text)
{
    auto decoder = JSONDecoder::decoder();
    fnd::Id value = decoder->objectWithUTF8StringLength(text.data(), text.size());
    benchmark::DoNotOptimize(value.get());
}

void decodeRapidJSON(const std::string& text)
{
    rapidjson::Document document;
    document.Parse(text.data(), text.size());
    benchmark::DoNotOptimize(&document);
}

void decodeNlohmann(const std::string& text)
{
    auto value = nlohmann::json::parse(text);
    benchmark::DoNotOptimize(&value);
}

std::map<std::string, size_t>& peaks()
{
    static std::map<std::string, size_t> measured;
    return measured;
}

// Brenzo/lib is our peak divided by the library's: below 1 when we need less.
void printTable()
{
    std::printf("\n%-14s %-12s %14s %12s\n", "document", "library", "peak bytes", "Brenzo/lib");
    for (auto& document : documentNames) {
        size_t ours = peaks()["brenzo/" + document];
        for (std::string library : { "brenzo", "rapidjson", "nlohmann" }) {
            size_t theirs = peaks()[library + "/" + document];
            std::printf("%-14s %-12s %14zu %12.2f\n", document.c_str(), library.c_str(), theirs, theirs ? double(ours) / double(theirs) : 0.0);
        }
    }
}

}

int main(int argc, char** argv)
{
    if (!std::filesystem::is_directory(dataFolder())) {
        std::printf("Skipping the JSON memory benchmarks: %s is not there.\n", dataFolder().c_str());
        return 0;
    }
    std::map<std::string, std::string> documents;
    for (auto& name : documentNames) {
        auto path = dataFolder() / (name + ".json");
        if (std::filesystem::exists(path))
            documents[name] = readFile(path);
        else
            std::printf("Skipping %s: not found.\n", path.c_str());
    }

    using Function = void (*)(const std::string&);
    const std::vector<std::pair<std::string, Function>> libraries = {
        { "brenzo", decodeBrenzo },
        { "rapidjson", decodeRapidJSON },
        { "nlohmann", decodeNlohmann },
    };
    for (auto& [document, text] : documents) {
        for (auto& [library, function] : libraries) {
            std::string name = library + "/" + document;
            const std::string& input = text;
            benchmark::RegisterBenchmark(("memory/" + name).c_str(), [name, function, &input](benchmark::State& state) {
                size_t peak = 0;
                for (auto _ : state)
                    peak = peakBytesInFreshProcess([&] { function(input); });
                peaks()[name] = peak;
                state.counters["peak_bytes"] = static_cast<double>(peak);
                state.counters["peak_per_input_byte"] = static_cast<double>(peak) / static_cast<double>(input.size());
            })->Iterations(1);
        }
    }

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    printTable();
    benchmark::Shutdown();
    return 0;
}
