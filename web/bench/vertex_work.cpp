// SPDX-License-Identifier: MIT
// Times one frame's vertex work, the 6400 point calls that drawMesh makes, with every
// plane angle at 0 and with each advanced once. Built both as WebAssembly (run by node)
// and natively by measure.sh, so the two figures come from the same code. The vertices
// go to bench/vertex_sink.cpp's glVertex3d, an opaque call as libGL's is.
#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "complex.h"
#include "graph.h"
#include "graph_frame.h"
#include "vertex_sink.h"

namespace {

constexpr int FRAMES_PER_RUN = 50;
constexpr int RUNS = 10;

Graph<Complex> graph;

// The best of RUNS runs, in milliseconds per frame.
double bestFrameTime() {
    double best = 1e9;
    for (int run = 0; run < RUNS; ++run) {
        auto start = std::chrono::steady_clock::now();
        for (int f = 0; f < FRAMES_PER_RUN; ++f) graphframe::graphFrame(graph);
        std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count() / FRAMES_PER_RUN);
    }
    return best;
}

}  // namespace

int main() {
    double atStart = bestFrameTime();
    graph.xyRotate();
    graph.yzRotate();
    graph.zwRotate();
    double turned = bestFrameTime();
    long long expected = 2LL * RUNS * FRAMES_PER_RUN * 6400;
    std::printf("%.3f ms per frame with the angles at 0, %.3f ms turned (%lld vertices%s)\n", atStart, turned,
                vertexsink::count, vertexsink::count == expected ? "" : ", NOT the expected count");
    return vertexsink::count == expected ? 0 : 1;
}
