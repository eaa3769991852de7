// SPDX-License-Identifier: MIT
// Preloaded into the program by fps.sh (LD_PRELOAD): wraps glutSwapBuffers, counts
// the frames shown and keeps a small report in the file named by
// TESSARY_SWAPCOUNT_FILE. The program never exits on its own and is ended by a
// signal, so the report is rewritten every quarter second while it runs (into a
// temporary file renamed over the old one, so a reader never sees half a report)
// rather than written once at exit.
//
// Report lines:  frames=N        frames shown after the first
//                seconds=S       time from the first frame to the N-th after it
//                renderer=NAME   OpenGL's renderer string, to confirm which driver drew
#include <GL/glut.h>

#include <dlfcn.h>
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using SwapFunction = void (*)();
using GetStringFunction = const GLubyte* (*)(GLenum);

constexpr double REPORT_INTERVAL = 0.25;  // seconds between two rewrites of the report

SwapFunction realSwap = nullptr;
long long swaps = 0;
double firstSwap = 0;
double lastReport = 0;
std::string renderer = "unknown";

double now() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

void writeReport(double at) {
    const char* path = std::getenv("TESSARY_SWAPCOUNT_FILE");
    if (path == nullptr || swaps == 0) {
        return;
    }
    std::string temporary = std::string(path) + ".tmp";
    std::FILE* file = std::fopen(temporary.c_str(), "w");
    if (file == nullptr) {
        return;
    }
    std::fprintf(file, "frames=%lld\nseconds=%.6f\nrenderer=%s\n", swaps - 1, at - firstSwap,
                 renderer.c_str());
    bool written = std::fclose(file) == 0;
    if (written) {
        std::rename(temporary.c_str(), path);
    }
}

// The renderer string of the current context, found at run time so that this object
// needs no libGL of its own.
void noteRenderer() {
    auto getString = reinterpret_cast<GetStringFunction>(dlsym(RTLD_DEFAULT, "glGetString"));
    if (getString == nullptr) {
        return;
    }
    const GLubyte* name = getString(GL_RENDERER);
    if (name != nullptr) {
        renderer = reinterpret_cast<const char*>(name);
    }
}

}  // namespace

void glutSwapBuffers() {
    if (realSwap == nullptr) {
        realSwap = reinterpret_cast<SwapFunction>(dlsym(RTLD_NEXT, "glutSwapBuffers"));
        if (realSwap == nullptr) {
            std::fprintf(stderr, "swapcount: glutSwapBuffers not found after the preload\n");
            std::abort();
        }
        noteRenderer();
    }
    realSwap();
    double at = now();
    if (++swaps == 1) {
        firstSwap = at;
        lastReport = at;
    }
    if (at - lastReport >= REPORT_INTERVAL) {
        writeReport(at);
        lastReport = at;
    }
}
