// SPDX-License-Identifier: MIT
// The benchmark's own glVertex3d: it takes the vertices a frame emits instead of
// libGL, so the vertex work can be timed without a window or a driver.
#ifndef TESSARY_BENCH_VERTEX_SINK_H
#define TESSARY_BENCH_VERTEX_SINK_H

#include <vector>

namespace vertexsink {

struct Vertex {
    double x;
    double y;
    double z;
};

// Vertices taken so far, and the sum of all their coordinates. Both are written by
// every call, so no caller's arithmetic can be dropped as unused.
extern long long count;
extern double sum;

// When not null, every vertex is appended here as well; used once, outside the
// timed loops, to check that the two ways of computing a frame agree.
extern std::vector<Vertex>* recording;

}  // namespace vertexsink

#endif
