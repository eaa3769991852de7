// SPDX-License-Identifier: MIT
// Times one frame's vertex work: the 6400 calls of Graph<Complex>::point that the
// program's drawMesh makes, against a baseline that does the same arithmetic written
// plainly in one loop. Their ratio is the price of the number classes and the graph
// template over the bare formulas; the goal is at most 1.1.
//
// Both variants run with every plane angle at 0, as at start-up ("rotations:0"), and
// with each plane angle advanced once ("rotations:1"): sine and cosine of 0 take a
// short path in the maths library, so the start-up case alone would understate the
// cost of a turned graph.
//
// By default each benchmark is repeated ten times, in random order, and only the
// aggregates are shown; the last lines give the ratios. Any of these defaults can be
// overridden with the usual --benchmark_* flags.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "complex.h"
#include "graph.h"
#include "graph_frame.h"
#include "vertex_sink.h"

namespace {

using graphframe::graphFrame;
using graphframe::MESH_END;
using graphframe::MESH_START;
using graphframe::MESH_STEP;

constexpr long long VERTICES_PER_FRAME = 6400;

// Graphs at namespace scope, like the program's complexGraph: the sink is an opaque
// call, so the plane angles are reloaded for every vertex, as in the program.
Graph<Complex> graphAtStart;
Graph<Complex> graphTurned;

// The baseline's inputs live in memory for the same reason: the base and the angles
// are re-read for every vertex, so neither the logarithm of the base nor any sine or
// cosine can be folded at compile time or hoisted out of the loops.
struct PlainInputs {
    double baseReal;
    double baseImag;
    double xyAngle;
    double yzAngle;
    double zwAngle;
};
PlainInputs plainAtStart{2.718, 0, 0, 0, 0};
PlainInputs plainTurned{2.718, 0, 0, 0, 0};

Graph<Complex>& graphFor(long long rotations) {
    return rotations == 0 ? graphAtStart : graphTurned;
}

PlainInputs& plainFor(long long rotations) {
    return rotations == 0 ? plainAtStart : plainTurned;
}

void turnOnce() {
    graphTurned.xyRotate();
    graphTurned.yzRotate();
    graphTurned.zwRotate();
    plainTurned.xyAngle = graphTurned.getXyAngle();
    plainTurned.yzAngle = graphTurned.getYzAngle();
    plainTurned.zwAngle = graphTurned.getZwAngle();
}

// One vertex with the program's formulas and nothing around them: the base's
// logarithm from its magnitude and argument, the product with the exponent a + bi,
// exp, cos and sin of that, then the three plane rotations with their twelve sines
// and cosines.
inline void plainVertex(const PlainInputs& in, double a, double b) {
    double logReal = std::log(std::sqrt(in.baseReal * in.baseReal + in.baseImag * in.baseImag));
    double logImag = std::atan2(in.baseImag, in.baseReal);
    double powerReal = a * logReal - b * logImag;
    double powerImag = a * logImag + b * logReal;
    double growth = std::exp(powerReal);
    double x = a;
    double y = b;
    double z = growth * std::cos(powerImag);
    double w = growth * std::sin(powerImag);
    double x0 = x;
    double y0 = y;
    double z0 = z;
    double w0 = w;

    // The rotations term for term as Graph::point writes them, w included, so the
    // compiler may treat both alike.
    x = std::cos(in.xyAngle) * x0 - std::sin(in.xyAngle) * y0;
    y = std::sin(in.xyAngle) * x0 + std::cos(in.xyAngle) * y0;
    x0 = x;
    y0 = y;

    y = std::cos(in.yzAngle) * y0 - std::sin(in.yzAngle) * z0;
    z = std::sin(in.yzAngle) * y0 + std::cos(in.yzAngle) * z0;
    y0 = y;
    z0 = z;

    z = std::cos(in.zwAngle) * z0 - std::sin(in.zwAngle) * w0;
    w = std::sin(in.zwAngle) * z0 + std::cos(in.zwAngle) * w0;

    glVertex3d(x, y, z);
}

void plainFrame(const PlainInputs& in) {
    double step = MESH_STEP;
    for (double j = MESH_START; j <= MESH_END; j += step) {
        for (double i = MESH_START; i <= MESH_END; i += step) {
            plainVertex(in, j, i);
            plainVertex(in, j, i + step);
            plainVertex(in, j + step, i);
            plainVertex(in, j + step, i + step);
        }
    }
}

template <typename Frame>
void timeFrames(benchmark::State& state, Frame frame) {
    long long before = vertexsink::count;
    for (auto _ : state) {
        frame();
        benchmark::DoNotOptimize(vertexsink::sum);
        benchmark::ClobberMemory();
    }
    // Reported per frame, so a wrong mesh size shows at once.
    state.counters["vertices"] = benchmark::Counter(static_cast<double>(vertexsink::count - before),
                                                    benchmark::Counter::kAvgIterations);
}

void BM_GraphFrame(benchmark::State& state) {
    Graph<Complex>& graph = graphFor(state.range(0));
    timeFrames(state, [&graph] { graphFrame(graph); });
}

void BM_PlainFrame(benchmark::State& state) {
    const PlainInputs& in = plainFor(state.range(0));
    timeFrames(state, [&in] { plainFrame(in); });
}

double smallest(const std::vector<double>& values) {
    return values.empty() ? 0 : *std::min_element(values.begin(), values.end());
}

BENCHMARK(BM_GraphFrame)->ArgName("rotations")->Arg(0)->Arg(1)->ComputeStatistics("min", smallest);
BENCHMARK(BM_PlainFrame)->ArgName("rotations")->Arg(0)->Arg(1)->ComputeStatistics("min", smallest);

// Records one frame each way and compares them vertex by vertex. The baseline forms
// the base's magnitude without the library's rescaling, so the two may differ in the
// last bits; anything larger means the baseline no longer does the program's work.
bool framesAgree(long long rotations) {
    std::vector<vertexsink::Vertex> fromGraph;
    std::vector<vertexsink::Vertex> fromPlain;
    vertexsink::recording = &fromGraph;
    graphFrame(graphFor(rotations));
    vertexsink::recording = &fromPlain;
    plainFrame(plainFor(rotations));
    vertexsink::recording = nullptr;

    double largest = 0;
    bool sameSize = fromGraph.size() == fromPlain.size();
    for (std::size_t k = 0; sameSize && k < fromGraph.size(); ++k) {
        largest = std::fmax(largest, std::fabs(fromGraph[k].x - fromPlain[k].x));
        largest = std::fmax(largest, std::fabs(fromGraph[k].y - fromPlain[k].y));
        largest = std::fmax(largest, std::fabs(fromGraph[k].z - fromPlain[k].z));
    }
    bool agree =
        sameSize && static_cast<long long>(fromGraph.size()) == VERTICES_PER_FRAME && largest <= 1e-12;
    std::printf(
        "rotations:%lld check: %zu graph vertices, %zu plain vertices, "
        "largest difference %.3g%s\n",
        rotations, fromGraph.size(), fromPlain.size(), largest, agree ? "" : " -- MISMATCH");
    return agree;
}

// Whether a run ended in an error or a skip, so it has no times to report. Google
// Benchmark 1.8 replaced Run::error_occurred with Run::skipped (Debian 12 ships 1.7,
// Debian 13 ships 1.9); overload resolution picks whichever member this version has.
template <typename Run>
auto runHasNoTimes(const Run& run, int) -> decltype(static_cast<bool>(run.skipped)) {
    return static_cast<bool>(run.skipped);
}
template <typename Run>
bool runHasNoTimes(const Run& run, long) {
    return run.error_occurred;
}

// The console table, then one line per angle setting with both times per frame and
// their ratio, from the medians and from the minima of the repetitions (or from the one
// run without them). CPU time is used: the work is single-threaded, and on a shared
// machine the wall clock also counts the time the process waited for a core. The
// minimum is the figure least disturbed by other work on the machine.
class FrameReporter : public benchmark::ConsoleReporter {
public:
    explicit FrameReporter(OutputOptions options) : ConsoleReporter(options) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (runHasNoTimes(run, 0)) {
                continue;
            }
            double ns = run.GetAdjustedCPUTime() * (1e9 / benchmark::GetTimeUnitMultiplier(run.time_unit));
            Figures& figures = figures_[run.run_name.str()];
            if (run.run_type == Run::RT_Iteration) {
                figures.single = ns;
            } else if (run.aggregate_name == "median") {
                figures.median = ns;
            } else if (run.aggregate_name == "min") {
                figures.min = ns;
            }
        }
    }

    void Finalize() override {
        for (const char* rotations : {"0", "1"}) {
            std::string suffix = std::string("/rotations:") + rotations;
            auto graph = figures_.find("BM_GraphFrame" + suffix);
            auto plain = figures_.find("BM_PlainFrame" + suffix);
            if (graph == figures_.end() || plain == figures_.end()) {
                continue;
            }
            double graphMedian = graph->second.medianOrSingle();
            double graphMin = graph->second.minOrSingle();
            double plainMedian = plain->second.medianOrSingle();
            double plainMin = plain->second.minOrSingle();
            char line[256];
            std::snprintf(line, sizeof line,
                          "frame rotations:%s cpu_ns_per_frame graph_median=%.0f graph_min=%.0f "
                          "plain_median=%.0f plain_min=%.0f ratio_median=%.3f ratio_min=%.3f\n",
                          rotations, graphMedian, graphMin, plainMedian, plainMin, graphMedian / plainMedian,
                          graphMin / plainMin);
            GetOutputStream() << line;
        }
        GetOutputStream().flush();
    }

private:
    struct Figures {
        double single = 0;
        double median = 0;
        double min = 0;
        double medianOrSingle() const { return median > 0 ? median : single; }
        double minOrSingle() const { return min > 0 ? min : single; }
    };

    std::map<std::string, Figures> figures_;
};

// Defaults that make the ratio trustworthy on a busy machine: the load from other work
// drifts over seconds, so the repetitions of all benchmarks are run in random order,
// letting each variant meet the same conditions. Flags given on the command line come
// later and so take precedence.
std::vector<char*> withDefaults(int argc, char** argv) {
    static char repetitions[] = "--benchmark_repetitions=10";
    static char interleaving[] = "--benchmark_enable_random_interleaving=true";
    static char aggregatesOnly[] = "--benchmark_report_aggregates_only=true";
    std::vector<char*> args{argv[0], repetitions, interleaving, aggregatesOnly};
    args.insert(args.end(), argv + 1, argv + argc);
    args.push_back(nullptr);
    return args;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<char*> args = withDefaults(argc, argv);
    int count = static_cast<int>(args.size()) - 1;
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) {
        return 1;
    }
    turnOnce();
    if (!framesAgree(0) || !framesAgree(1)) {
        return 1;
    }
    FrameReporter reporter(isatty(STDOUT_FILENO) ? benchmark::ConsoleReporter::OO_ColorTabular
                                                 : benchmark::ConsoleReporter::OO_Tabular);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
