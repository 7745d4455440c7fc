// The XML model against plain libxml2 on a generated 5 MB document: parsing (and freeing), walking
// every element, serialising pretty-printed, and the three together. The plain runs parse with the
// model's options; ParsePlainDefault shows libxml2's default (a name dictionary, which makes freeing
// slower on large documents). Repetitions run interleaved, and a closing table gives the model's
// time against libxml2's for each step from their medians.

#include "xml/DDXMLDocument.h"
#include "xml/DDXMLElement.h"
#include "support/ThroughputRecorder.h"

#include <benchmark/benchmark.h>

#include <libxml/parser.h>

#include <cstdio>
#include <string>

namespace {

constexpr size_t documentSize = 5 * 1024 * 1024;
constexpr int parseOptions = XML_PARSE_NOBLANKS | XML_PARSE_NODICT | XML_PARSE_NONET;
constexpr int defaultParseOptions = XML_PARSE_NOBLANKS | XML_PARSE_NONET;

// Boards of pictures, nested two and three levels, with the attributes and texts the board writes.
std::string generateDocument()
{
    std::string text = "<boards>\n";
    uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245 + 12345;
        return (seed >> 8) % 1000;
    };
    auto picture = [&](int depth) {
        text.append(size_t(depth) * 2, ' ');
        text += "<floor>\n";
        text += "  <background>image" + std::to_string(next()) + ".png</background>\n";
        text += "  <type>tel</type>\n  <parameters>tel:0612" + std::to_string(next()) + "</parameters>\n";
        text += "  <title>Contact &amp; friend " + std::to_string(next()) + "</title>\n  <id>" + std::to_string(next()) + "</id>\n";
        text += "  <center x=\"" + std::to_string(next()) + ".000000\" y=\"" + std::to_string(next()) + ".000000\"></center>\n";
        text += "  <badge string=\"" + std::to_string(next()) + "\" color=\"0.5,0.25,1.0,1.0\"></badge>\n";
        text += "  <size width=\"90.000000\" height=\"90.000000\"></size>\n";
        text += "  <transform a=\"1.000000\" b=\"0.000000\" c=\"0.000000\" d=\"1.000000\" tx=\"0.000000\" ty=\"0.000000\"></transform>\n";
    };
    while (text.size() < documentSize) {
        picture(1);
        for (int child = 0; child < 12; ++child) {
            picture(2);
            if (child % 4 == 0) {
                picture(3);
                text += "      </floor>\n";
            }
            text += "    </floor>\n";
        }
        text += "  </floor>\n";
    }
    text += "</boards>\n";
    return text;
}

const std::string& document()
{
    static const std::string text = generateDocument();
    return text;
}

size_t walkModel(const fnd::Ref<DDXMLNode>& node)
{
    size_t visited = node->name()->size();
    auto children = node->children();
    for (auto& child : *children) {
        if (child->kind() == DDXMLElementKind)
            visited += walkModel(child);
    }
    return visited;
}

size_t walkPlain(xmlNodePtr node)
{
    size_t visited = std::string_view(reinterpret_cast<const char*>(node->name)).size();
    for (xmlNodePtr child = node->children; child; child = child->next) {
        if (child->type == XML_ELEMENT_NODE)
            visited += walkPlain(child);
    }
    return visited;
}

std::string serialisePlain(xmlDocPtr parsed)
{
    xmlSaveNoEmptyTags = 1;
    xmlIndentTreeOutput = 1;
    xmlBufferPtr buffer = xmlBufferCreate();
    xmlNodeDump(buffer, parsed, reinterpret_cast<xmlNodePtr>(parsed), 0, 1);
    std::string text(reinterpret_cast<const char*>(xmlBufferContent(buffer)), xmlBufferLength(buffer));
    xmlBufferFree(buffer);
    return text;
}

fnd::Ref<DDXMLDocument> parseModel()
{
    return DDXMLDocument::createWithXMLStringOptionsError(document(), 0, nullptr);
}

xmlDocPtr parsePlain(int options = parseOptions)
{
    return xmlReadMemory(document().data(), int(document().size()), nullptr, nullptr, options);
}

void setBytes(benchmark::State& state)
{
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(document().size()));
}

void ParseModel(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(parseModel());
    setBytes(state);
}

void ParsePlain(benchmark::State& state)
{
    for (auto _ : state) {
        xmlDocPtr parsed = parsePlain();
        benchmark::DoNotOptimize(parsed);
        xmlFreeDoc(parsed);
    }
    setBytes(state);
}

void ParsePlainDefault(benchmark::State& state)
{
    for (auto _ : state) {
        xmlDocPtr parsed = parsePlain(defaultParseOptions);
        benchmark::DoNotOptimize(parsed);
        xmlFreeDoc(parsed);
    }
    setBytes(state);
}

void WalkModel(benchmark::State& state)
{
    auto parsed = parseModel();
    for (auto _ : state)
        benchmark::DoNotOptimize(walkModel(parsed->rootElement()));
    setBytes(state);
}

void WalkPlain(benchmark::State& state)
{
    xmlDocPtr parsed = parsePlain();
    for (auto _ : state)
        benchmark::DoNotOptimize(walkPlain(xmlDocGetRootElement(parsed)));
    xmlFreeDoc(parsed);
    setBytes(state);
}

void SerialiseModel(benchmark::State& state)
{
    auto parsed = parseModel();
    for (auto _ : state)
        benchmark::DoNotOptimize(parsed->XMLStringWithOptions(DDXMLNodePrettyPrint));
    setBytes(state);
}

void SerialisePlain(benchmark::State& state)
{
    xmlDocPtr parsed = parsePlain();
    for (auto _ : state)
        benchmark::DoNotOptimize(serialisePlain(parsed));
    xmlFreeDoc(parsed);
    setBytes(state);
}

void AllModel(benchmark::State& state)
{
    for (auto _ : state) {
        auto parsed = parseModel();
        benchmark::DoNotOptimize(walkModel(parsed->rootElement()));
        benchmark::DoNotOptimize(parsed->XMLStringWithOptions(DDXMLNodePrettyPrint));
    }
    setBytes(state);
}

void AllPlain(benchmark::State& state)
{
    for (auto _ : state) {
        xmlDocPtr parsed = parsePlain();
        benchmark::DoNotOptimize(walkPlain(xmlDocGetRootElement(parsed)));
        benchmark::DoNotOptimize(serialisePlain(parsed));
        xmlFreeDoc(parsed);
    }
    setBytes(state);
}


void printTable(const benchmarkSupport::ThroughputRecorder& recorder)
{
    double megabytes = double(document().size()) / 1e6;
    std::printf("\n%-10s %10s %10s %12s\n", "step", "model ms", "plain ms", "model/plain");
    for (auto step : { "Parse", "Walk", "Serialise", "All" }) {
        double model = recorder.megabytesPerSecond(std::string(step) + "Model");
        double plain = recorder.megabytesPerSecond(std::string(step) + "Plain");
        if (model <= 0 || plain <= 0)
            continue;
        std::printf("%-10s %10.2f %10.2f %12.2f\n", step, 1000 * megabytes / model, 1000 * megabytes / plain, plain / model);
    }
}

}

BENCHMARK(ParseModel)->Unit(benchmark::kMillisecond);
BENCHMARK(ParsePlain)->Unit(benchmark::kMillisecond);
BENCHMARK(ParsePlainDefault)->Unit(benchmark::kMillisecond);
BENCHMARK(WalkModel)->Unit(benchmark::kMillisecond);
BENCHMARK(WalkPlain)->Unit(benchmark::kMillisecond);
BENCHMARK(SerialiseModel)->Unit(benchmark::kMillisecond);
BENCHMARK(SerialisePlain)->Unit(benchmark::kMillisecond);
BENCHMARK(AllModel)->Unit(benchmark::kMillisecond);
BENCHMARK(AllPlain)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    auto arguments = benchmarkSupport::argumentsWithSteadyDefaults(argc, argv);
    int argumentCount = int(arguments.size());
    benchmark::Initialize(&argumentCount, arguments.data());
    benchmarkSupport::ThroughputRecorder recorder;
    benchmark::RunSpecifiedBenchmarks(&recorder);
    printTable(recorder);
    benchmark::Shutdown();
    return 0;
}
