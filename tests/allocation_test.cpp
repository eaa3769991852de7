// SPDX-License-Identifier: MIT
// The viewer allocates nothing per frame or per key. This binary replaces the global
// operator new with a counting one and, where the linker wraps it (see CMakeLists.txt),
// counts the malloc family of every object linked in statically as well.
#include <cstdlib>
#include <new>
#include <vector>

#include <gtest/gtest.h>

#include "support/fake_gl.h"

void displayCallback();
void keyboardCallback(unsigned char, int, int);

namespace {

// Volatile: the compiler takes malloc for a function that reads no program state and
// would otherwise drop the switching on around a bare malloc call as a dead store.
volatile bool counting = false;
volatile long allocations = 0;

void* counted(std::size_t size) noexcept {
    if (counting) {
        allocations = allocations + 1;
    }
    return std::malloc(size == 0 ? 1 : size);
}

void* countedOrThrow(std::size_t size) {
    void* p = counted(size);
    return p != nullptr ? p : throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t n) {
    return countedOrThrow(n);
}
void* operator new[](std::size_t n) {
    return countedOrThrow(n);
}
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
    return counted(n);
}
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept {
    return counted(n);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}

#ifdef TESSARY_WRAP_MALLOC
extern "C" void* __real_malloc(std::size_t);
extern "C" void* __wrap_malloc(std::size_t n) {
    if (counting) {
        allocations = allocations + 1;
    }
    return __real_malloc(n);
}
#endif

namespace {

void* volatile sink;  // keeps the sanity checks' allocations from being optimised away

template <typename F>
long allocationsDuring(F f) {
    allocations = 0;
    counting = true;
    f();
    counting = false;
    return allocations;
}

}  // namespace

TEST(Allocation, FramesAndKeysAllocateNothing) {
    EXPECT_GE(allocationsDuring([] { sink = std::vector<int>(100).data(); }), 1);
#ifdef TESSARY_WRAP_MALLOC
    EXPECT_EQ(allocationsDuring([] { sink = std::malloc(64); }), 1);
    std::free(sink);
#endif
    auto frameAndEveryKey = [] {
        fakegl::reset();
        displayCallback();
        for (int key = 0; key < 256; ++key) {
            keyboardCallback(static_cast<unsigned char>(key), 0, 0);
        }
    };
    frameAndEveryKey();  // warm-up: anything set up lazily on first use
    EXPECT_EQ(allocationsDuring(frameAndEveryKey), 0);
    EXPECT_EQ(fakegl::record.vertexCount, 6400);
}
