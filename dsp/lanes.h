// Four floats worked on side by side: every vector operation of the engine, and nothing else.
// One back end per processor family and a plain one for the rest; all do the same IEEE
// operations in the same order, so every build gives the same bits. Define
// HALLMERE_PORTABLE_LANES to use the plain back end on any processor.
#pragma once

#include <cstdint>
#include <cstring>

#if defined(__SSE2__) && !defined(HALLMERE_PORTABLE_LANES)
#include <emmintrin.h>
#define HALLMERE_SSE2_LANES 1
#endif

namespace lanes {

#if HALLMERE_SSE2_LANES

// The compiler's own vector types: arithmetic and comparisons are single SSE instructions.
typedef float Lanes __attribute__((vector_size(16)));
typedef int32_t Mask __attribute__((vector_size(16)));  // all bits set where true

inline Lanes where(Mask m, Lanes x) { return (Lanes)(m & (Mask)x); }

inline Lanes magnitude(Lanes x) { return (Lanes)((Mask)x & INT32_MAX); }

// a > b ? a : b in every lane: a NaN on either side leaves b.
inline Lanes largest(Lanes a, Lanes b) { return _mm_max_ps(a, b); }

inline bool any(Mask m) { return _mm_movemask_ps((Lanes)m) != 0; }

template <int j>
inline Lanes spread(Lanes v) {
    return (Lanes)_mm_shuffle_epi32((__m128i)v, j * 0x55);
}

inline Lanes interleaveLow(Lanes a, Lanes b) { return _mm_unpacklo_ps(a, b); }

inline Lanes interleaveHigh(Lanes a, Lanes b) { return _mm_unpackhi_ps(a, b); }

inline Lanes lowHalves(Lanes a, Lanes b) { return _mm_movelh_ps(a, b); }

inline Lanes highHalves(Lanes a, Lanes b) { return _mm_movehl_ps(b, a); }

#else

// Plain arrays, each operation a loop over the four lanes the compiler may vectorise.
struct Mask {
    int32_t bits[4];
};

struct Lanes {
    float v[4];

    Lanes() : v{} {}
    Lanes(float a, float b, float c, float d) : v{a, b, c, d} {}
    float operator[](int j) const { return v[j]; }
    float& operator[](int j) { return v[j]; }
};

template <class Op>
inline Lanes eachLane(Lanes a, Lanes b, Op op) {
    Lanes r;
    for (int j = 0; j < 4; ++j) r.v[j] = op(a.v[j], b.v[j]);
    return r;
}

template <class Op>
inline Mask eachTest(Lanes a, Lanes b, Op op) {
    Mask r;
    for (int j = 0; j < 4; ++j) r.bits[j] = op(a.v[j], b.v[j]) ? -1 : 0;
    return r;
}

inline Lanes operator+(Lanes a, Lanes b) {
    return eachLane(a, b, [](float x, float y) { return x + y; });
}
inline Lanes operator-(Lanes a, Lanes b) {
    return eachLane(a, b, [](float x, float y) { return x - y; });
}
inline Lanes operator*(Lanes a, Lanes b) {
    return eachLane(a, b, [](float x, float y) { return x * y; });
}
inline Lanes operator+(Lanes a, float b) { return a + Lanes{b, b, b, b}; }
inline Lanes operator-(float a, Lanes b) { return Lanes{a, a, a, a} - b; }
inline Lanes operator*(Lanes a, float b) { return a * Lanes{b, b, b, b}; }
inline Lanes operator*(float a, Lanes b) { return Lanes{a, a, a, a} * b; }
inline Mask operator>(Lanes a, Lanes b) {
    return eachTest(a, b, [](float x, float y) { return x > y; });
}
inline Mask operator>=(Lanes a, float b) {
    return eachTest(a, Lanes{b, b, b, b}, [](float x, float y) { return x >= y; });
}
inline Mask operator<(Lanes a, float b) {
    return eachTest(a, Lanes{b, b, b, b}, [](float x, float y) { return x < y; });
}

inline Lanes where(Mask m, Lanes x) {
    Lanes r;
    for (int j = 0; j < 4; ++j) r.v[j] = m.bits[j] ? x.v[j] : 0.0f;
    return r;
}

inline Lanes magnitude(Lanes x) {
    Lanes r;
    for (int j = 0; j < 4; ++j) {
        uint32_t bits;
        std::memcpy(&bits, &x.v[j], sizeof bits);
        bits &= INT32_MAX;
        std::memcpy(&r.v[j], &bits, sizeof bits);
    }
    return r;
}

// a > b ? a : b in every lane: a NaN on either side leaves b.
inline Lanes largest(Lanes a, Lanes b) {
    return eachLane(a, b, [](float x, float y) { return x > y ? x : y; });
}

inline bool any(Mask m) { return (m.bits[0] | m.bits[1] | m.bits[2] | m.bits[3]) != 0; }

template <int j>
inline Lanes spread(Lanes v) {
    return Lanes{v.v[j], v.v[j], v.v[j], v.v[j]};
}

inline Lanes interleaveLow(Lanes a, Lanes b) { return Lanes{a.v[0], b.v[0], a.v[1], b.v[1]}; }

inline Lanes interleaveHigh(Lanes a, Lanes b) { return Lanes{a.v[2], b.v[2], a.v[3], b.v[3]}; }

inline Lanes lowHalves(Lanes a, Lanes b) { return Lanes{a.v[0], a.v[1], b.v[0], b.v[1]}; }

inline Lanes highHalves(Lanes a, Lanes b) { return Lanes{a.v[2], a.v[3], b.v[2], b.v[3]}; }

#endif

// What follows is the same for every back end. The overloads for a single float let a step
// be written once for one frame and for four.

inline Lanes splat(float x) { return Lanes{x, x, x, x}; }

inline Lanes load(const float* p) {
    Lanes v;
    std::memcpy(static_cast<void*>(&v), p, sizeof v);
    return v;
}

inline void store(float* p, Lanes v) { std::memcpy(p, &v, sizeof v); }

template <class T>
inline T loadAs(const float* p);

template <>
inline float loadAs<float>(const float* p) {
    return *p;
}

template <>
inline Lanes loadAs<Lanes>(const float* p) {
    return load(p);
}

inline void store(float* p, float x) { *p = x; }

inline float magnitude(float x) {
    uint32_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    bits &= INT32_MAX;
    std::memcpy(&x, &bits, sizeof bits);
    return x;
}

inline float largest(float a, float b) { return a > b ? a : b; }

// The last of the frames.
inline float lastOf(float x) { return x; }

inline float lastOf(Lanes v) { return v[3]; }

// Lane j of the result is lane 0 of the j-th argument.
inline Lanes gather(Lanes a, Lanes b, Lanes c, Lanes d) { return lowHalves(interleaveLow(a, b), interleaveLow(c, d)); }

// Frames by line into lines by frame, and back.
inline void transpose(Lanes& a, Lanes& b, Lanes& c, Lanes& d) {
    const Lanes abLow = interleaveLow(a, b);
    const Lanes abHigh = interleaveHigh(a, b);
    const Lanes cdLow = interleaveLow(c, d);
    const Lanes cdHigh = interleaveHigh(c, d);
    a = lowHalves(abLow, cdLow);
    b = highHalves(abLow, cdLow);
    c = lowHalves(abHigh, cdHigh);
    d = highHalves(abHigh, cdHigh);
}

}  // namespace lanes
