// Four doubles processed together. The compiler maps them onto whatever vector unit the
// function is compiled for: two SSE2 halves by default, one AVX2 register in the clone that
// LUMITRA_VECTOR_CLONES adds on x86-64 (chosen at load time by the processor it runs on).
// Only .cpp files include this header, compiled with -Wno-psabi and with -fno-math-errno (so
// that a square root of lanes is one vector instruction). Every helper that takes or returns
// lanes is LANES_INLINE: inlined even in an unoptimised build, so that lanes never cross a
// call between the default code and the AVX2 clone, whose calling conventions differ.
#pragma once

#include <cstring>

using Lanes = double __attribute__((vector_size(32)));
#define LANES_INLINE inline __attribute__((always_inline))
inline constexpr int kLaneCount = 4;

LANES_INLINE Lanes load_lanes(const double* p) {
    Lanes v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

LANES_INLINE void store_lanes(double* p, Lanes v) {
    std::memcpy(p, &v, sizeof v);
}

LANES_INLINE Lanes splat(double x) {
    return Lanes{x, x, x, x};
}

LANES_INLINE Lanes sqrt_lanes(Lanes v) {
    return Lanes{__builtin_sqrt(v[0]), __builtin_sqrt(v[1]), __builtin_sqrt(v[2]),
                 __builtin_sqrt(v[3])};
}

// ThreadSanitizer instruments the clones' resolver, which the loader runs before the
// sanitizer is set up: a build for it has the default code only.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && !defined(__SANITIZE_THREAD__)
#define LUMITRA_VECTOR_CLONES __attribute__((target_clones("arch=x86-64-v3", "default")))
#else
#define LUMITRA_VECTOR_CLONES
#endif
