// SPDX-License-Identifier: MIT
// One frame's vertex work as drawMesh does it, for the benchmarks: the same mesh, the
// same loops, the vertices going to whatever glVertex3d the binary links.
#ifndef TESSARY_BENCH_GRAPH_FRAME_H
#define TESSARY_BENCH_GRAPH_FRAME_H

#include "complex.h"
#include "graph.h"

namespace graphframe {

// The mesh as drawMesh walks it.
constexpr double MESH_START = -0.5;
constexpr double MESH_END = 0.5;
constexpr double MESH_STEP = 0.025;

// drawMesh's loops without glBegin and glEnd: the loop variables advance by repeated
// addition (40 values each), four point calls per cell.
inline void graphFrame(Graph<Complex>& graph) {
    GraphFunction<Complex> func;
    graph.setFunction(func);
    double step = MESH_STEP;
    for (double j = MESH_START; j <= MESH_END; j += step) {
        for (double i = MESH_START; i <= MESH_END; i += step) {
            graph.point(j, i);
            graph.point(j, i + step);
            graph.point(j + step, i);
            graph.point(j + step, i + step);
        }
    }
}

}  // namespace graphframe

#endif
