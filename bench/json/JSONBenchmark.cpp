// Throughput of the fast JSON codec against RapidJSON, simdjson and nlohmann-json on the shared
// benchmark documents, with a table of MB/s and ratios at the end of the run.

#include "json/fast/FastJSONSerializing.h"
#include "BenchmarkDocuments.h"
#include "json/fast/JSONDecoder.h"
#include "support/ThroughputRecorder.h"

#include <benchmark/benchmark.h>
#include <nlohmann/json.hpp>
#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>
#include <simdjson.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace benchmarkDocuments;

std::map<std::string, std::string>& documents()
{
    static std::map<std::string, std::string> loaded;
    return loaded;
}

void setThroughput(benchmark::State& state, size_t bytes)
{
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

// Decoding: each parse builds the library's document and destroys it again.

void decodeFreshDecoder(benchmark::State& state, const std::string& text)
{
    for (auto _ : state) {
        auto decoder = JSONDecoder::decoder();
        fnd::Id value = decoder->objectWithUTF8StringLength(text.data(), text.size());
        if (!value)
            state.SkipWithError("parse failed");
        benchmark::DoNotOptimize(value.get());
    }
    setThroughput(state, text.size());
}

void decodeWarmDecoder(benchmark::State& state, const std::string& text)
{
    auto decoder = JSONDecoder::decoder();
    for (auto _ : state) {
        fnd::Id value = decoder->objectWithUTF8StringLength(text.data(), text.size());
        if (!value)
            state.SkipWithError("parse failed");
        benchmark::DoNotOptimize(value.get());
    }
    setThroughput(state, text.size());
}

template<unsigned flags>
void decodeRapidJSON(benchmark::State& state, const std::string& text)
{
    for (auto _ : state) {
        rapidjson::Document document;
        document.Parse<flags>(text.data(), text.size());
        if (document.HasParseError())
            state.SkipWithError("parse failed");
        benchmark::DoNotOptimize(&document);
    }
    setThroughput(state, text.size());
}

void decodeSimdjson(benchmark::State& state, const std::string& text)
{
    simdjson::dom::parser parser;
    simdjson::padded_string padded(text);
    for (auto _ : state) {
        simdjson::dom::element element;
        if (parser.parse(padded).get(element))
            state.SkipWithError("parse failed");
        benchmark::DoNotOptimize(element);
    }
    setThroughput(state, text.size());
}

void decodeNlohmann(benchmark::State& state, const std::string& text)
{
    for (auto _ : state) {
        auto value = nlohmann::json::parse(text);
        benchmark::DoNotOptimize(&value);
    }
    setThroughput(state, text.size());
}

// Encoding: each library writes compact text from its own document of the same file. Throughput
// counts the bytes of the input document.

void encodeBrenzo(benchmark::State& state, const std::string& text)
{
    fnd::Id value = JSONDecoder::decoder()->objectWithUTF8StringLength(text.data(), text.size());
    auto dictionary = fnd::as<fnd::Dictionary>(value);
    auto array = fnd::as<fnd::Array>(value);
    for (auto _ : state) {
        auto data = dictionary ? FastJSONSerializing::JSONData(dictionary) : FastJSONSerializing::JSONData(array);
        if (!data)
            state.SkipWithError("encode failed");
        benchmark::DoNotOptimize(data.get());
    }
    setThroughput(state, text.size());
}

void encodeRapidJSON(benchmark::State& state, const std::string& text)
{
    rapidjson::Document document;
    document.Parse(text.data(), text.size());
    for (auto _ : state) {
        rapidjson::StringBuffer buffer;
        rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
        document.Accept(writer);
        benchmark::DoNotOptimize(buffer.GetString());
    }
    setThroughput(state, text.size());
}

void encodeNlohmann(benchmark::State& state, const std::string& text)
{
    auto value = nlohmann::json::parse(text);
    for (auto _ : state) {
        std::string output = value.dump();
        benchmark::DoNotOptimize(output.data());
    }
    setThroughput(state, text.size());
}

// The closing table: each library's MB/s and how our codec's speed compares with it.
void printTable(const benchmarkSupport::ThroughputRecorder& recorder)
{
    auto printGroup = [&](const std::string& document, const std::string& ours, const std::vector<std::string>& others) {
        double own = recorder.megabytesPerSecond(ours + "/" + document);
        std::printf("%-14s %-24s %10.1f %12s\n", document.c_str(), ours.c_str(), own, "");
        for (auto& other : others) {
            double theirs = recorder.megabytesPerSecond(other + "/" + document);
            std::printf("%-14s %-24s %10.1f %12.2f\n", document.c_str(), other.c_str(), theirs, theirs > 0 ? own / theirs : 0.0);
        }
    };
    std::printf("\n%-14s %-24s %10s %12s\n", "document", "library", "MB/s", "Brenzo/lib");
    for (auto& document : documentNames) {
        printGroup(document, "decode/brenzo-fresh", { "decode/brenzo-warm", "decode/rapidjson", "decode/rapidjson-exact", "decode/simdjson", "decode/nlohmann" });
        printGroup(document, "encode/brenzo", { "encode/rapidjson", "encode/nlohmann" });
    }
}

}

int main(int argc, char** argv)
{
    if (!std::filesystem::is_directory(dataFolder())) {
        std::printf("Skipping the JSON benchmarks: %s is not there.\n", dataFolder().c_str());
        return 0;
    }
    for (auto& name : documentNames) {
        auto path = dataFolder() / (name + ".json");
        if (std::filesystem::exists(path))
            documents()[name] = readFile(path);
        else
            std::printf("Skipping %s: not found.\n", path.c_str());
    }

    using Function = void (*)(benchmark::State&, const std::string&);
    const std::vector<std::pair<std::string, Function>> benchmarks = {
        { "decode/brenzo-fresh", decodeFreshDecoder },
        { "decode/brenzo-warm", decodeWarmDecoder },
        { "decode/rapidjson", decodeRapidJSON<rapidjson::kParseDefaultFlags> },
        // The same work as ours: correctly rounded doubles and the input checked to be UTF-8.
        { "decode/rapidjson-exact", decodeRapidJSON<rapidjson::kParseFullPrecisionFlag | rapidjson::kParseValidateEncodingFlag> },
        { "decode/simdjson", decodeSimdjson },
        { "decode/nlohmann", decodeNlohmann },
        { "encode/brenzo", encodeBrenzo },
        { "encode/rapidjson", encodeRapidJSON },
        { "encode/nlohmann", encodeNlohmann },
    };
    for (auto& [document, text] : documents()) {
        for (auto& [name, function] : benchmarks) {
            const std::string& input = text;
            benchmark::RegisterBenchmark((name + "/" + document).c_str(), [function, &input](benchmark::State& state) { function(state, input); })
                ->Unit(benchmark::kMillisecond);
        }
    }

    auto arguments = benchmarkSupport::argumentsWithSteadyDefaults(argc, argv);
    int argumentCount = static_cast<int>(arguments.size());
    benchmark::Initialize(&argumentCount, arguments.data());
    benchmarkSupport::ThroughputRecorder recorder;
    benchmark::RunSpecifiedBenchmarks(&recorder);
    printTable(recorder);
    benchmark::Shutdown();
    return 0;
}
