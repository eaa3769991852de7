// SPDX-License-Identifier: MIT
// Kept in a translation unit of its own: without link-time optimisation the timed
// loops see glVertex3d only as an opaque call, as they see libGL's in the program,
// so they must compute every argument and reload any global state after each call.
#include "vertex_sink.h"

#include <GL/gl.h>

namespace vertexsink {

long long count = 0;
double sum = 0;
std::vector<Vertex>* recording = nullptr;

}  // namespace vertexsink

// The declaration in <GL/gl.h> gives this definition C linkage and the exact signature
// the graph code calls; libGL is not linked into the benchmark.
void GLAPIENTRY glVertex3d(GLdouble x, GLdouble y, GLdouble z) {
    ++vertexsink::count;
    vertexsink::sum += x + y + z;
    if (vertexsink::recording != nullptr) {
        vertexsink::recording->push_back({x, y, z});
    }
}
