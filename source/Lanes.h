#pragma once

// Lane types: a value per voice, for code written once and compiled for one voice (plain float
// and double), four voices (SSE2) or eight (two SSE2 registers, or one AVX2 register).
//
// Every operation works lane by lane and rounds as the scalar operation does, so each lane of any
// type gives the very bits one voice gives alone; there is no fused multiply-add, which would
// round differently. A float lane type F offers:
//   F(x) in every lane, F::load / store (unaligned), F::from(lane -> value), get(v, lane),
//   + - * /, < > >= <= (giving F::Mask), select(mask, a, b), abs, copySign, toDouble, truncate;
// F::Double (double lanes): the same arithmetic, comparisons and select, minFirst, toFloat;
// F::Int (int lanes): + and & with an int, toFloat, select (with an F::Mask), get, store;
// masks: & and | between masks of one type, maskBits (bit n set for lane n), Mask::fromBits.
//
// Everything here has internal linkage: a translation unit compiled for AVX2 keeps its own
// copies, so none of its functions can stand in for a baseline one on a processor without AVX2.

#include <cmath>
#include <type_traits>

#include "source/DspMath.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__AVX2__)
#include <immintrin.h>
#endif

namespace skarvel::lanes {
namespace {

// ---------------------------------------------------------------------------------------------
// One lane: plain float, double and int.

struct Mask1 {
  static constexpr int width = 1;
  bool v;
  static Mask1 fromBits(unsigned bits) { return {(bits & 1u) != 0}; }
};
inline Mask1 operator&(Mask1 a, Mask1 b) { return {a.v && b.v}; }
inline Mask1 operator|(Mask1 a, Mask1 b) { return {a.v || b.v}; }
inline unsigned maskBits(Mask1 m) { return m.v ? 1u : 0u; }

struct Int1 {
  static constexpr int width = 1;
  int v;
  Int1() = default;
  explicit Int1(int x) : v(x) {}
  static Int1 load(const int* p) { return Int1(*p); }
  template <typename Lane>
  static Int1 from(Lane&& lane) { return Int1(lane(0)); }
};
inline Int1 operator+(Int1 a, int b) { return Int1(a.v + b); }
inline Int1 operator&(Int1 a, int b) { return Int1(a.v & b); }
inline int get(Int1 a, int) { return a.v; }
inline void store(Int1 a, int* p) { *p = a.v; }
inline Int1 select(Mask1 m, Int1 a, Int1 b) { return m.v ? a : b; }

struct Double1 {
  static constexpr int width = 1;
  using Mask = Mask1;
  double v;
  Double1() = default;
  explicit Double1(double x) : v(x) {}
  static Double1 load(const double* p) { return Double1(*p); }
  template <typename Lane>
  static Double1 from(Lane&& lane) { return Double1(lane(0)); }
};
inline double get(Double1 a, int) { return a.v; }
inline void store(Double1 a, double* p) { *p = a.v; }

struct Float1 {
  static constexpr int width = 1;
  using Mask = Mask1;
  using Double = Double1;
  using Int = Int1;
  float v;
  Float1() = default;
  explicit Float1(float x) : v(x) {}
  static Float1 load(const float* p) { return Float1(*p); }
  template <typename Lane>
  static Float1 from(Lane&& lane) { return Float1(lane(0)); }
};
inline float get(Float1 a, int) { return a.v; }
inline void store(Float1 a, float* p) { *p = a.v; }

#define SKARVEL_ONE_LANE_ARITHMETIC(Type)                                   \
  inline Type operator+(Type a, Type b) { return Type(a.v + b.v); }        \
  inline Type operator-(Type a, Type b) { return Type(a.v - b.v); }        \
  inline Type operator*(Type a, Type b) { return Type(a.v * b.v); }        \
  inline Type operator/(Type a, Type b) { return Type(a.v / b.v); }        \
  inline Mask1 operator<(Type a, Type b) { return {a.v < b.v}; }           \
  inline Mask1 operator>(Type a, Type b) { return {a.v > b.v}; }           \
  inline Mask1 operator>=(Type a, Type b) { return {a.v >= b.v}; }         \
  inline Mask1 operator<=(Type a, Type b) { return {a.v <= b.v}; }         \
  inline Type select(Mask1 m, Type a, Type b) { return m.v ? a : b; }
SKARVEL_ONE_LANE_ARITHMETIC(Float1)
SKARVEL_ONE_LANE_ARITHMETIC(Double1)
#undef SKARVEL_ONE_LANE_ARITHMETIC

inline Float1 abs(Float1 a) { return Float1(std::fabs(a.v)); }
inline Float1 copySign(Float1 magnitude, Float1 sign) { return Float1(std::copysign(magnitude.v, sign.v)); }
inline Double1 toDouble(Float1 a) { return Double1(a.v); }
inline Float1 toFloat(Double1 a) { return Float1(static_cast<float>(a.v)); }
inline Float1 toFloat(Int1 a) { return Float1(static_cast<float>(a.v)); }
inline Int1 truncate(Float1 a) { return Int1(static_cast<int>(a.v)); }
// a where a < b, b otherwise (also where either is NaN).
inline Double1 minFirst(Double1 a, Double1 b) { return a.v < b.v ? a : b; }

// ---------------------------------------------------------------------------------------------
// Pack<T, N>: N values of lane type T side by side, lanes of part 0 first. Used for masks too.

template <typename T, typename = void>
struct DoubleOf {
  using type = void;
};
template <typename T>
struct DoubleOf<T, std::void_t<typename T::Double>> {
  using type = typename T::Double;
};
template <typename T, typename = void>
struct IntOf {
  using type = void;
};
template <typename T>
struct IntOf<T, std::void_t<typename T::Int>> {
  using type = typename T::Int;
};
template <typename T, typename = void>
struct MaskOf {
  using type = void;
};
template <typename T>
struct MaskOf<T, std::void_t<typename T::Mask>> {
  using type = typename T::Mask;
};

template <typename T, int N>
struct Pack {
  static constexpr int width = T::width * N;
  template <typename U>
  using Of = std::conditional_t<std::is_void_v<U>, void, Pack<std::conditional_t<std::is_void_v<U>, T, U>, N>>;
  using Mask = Of<typename MaskOf<T>::type>;
  using Double = Of<typename DoubleOf<T>::type>;
  using Int = Of<typename IntOf<T>::type>;

  T part[N];

  Pack() = default;
  template <typename S, typename = std::enable_if_t<std::is_arithmetic_v<S>>>
  explicit Pack(S x) {
    for (T& p : part) p = T(x);
  }
  template <typename E>
  static Pack load(const E* p) {
    Pack r;
    for (int i = 0; i < N; ++i) r.part[i] = T::load(p + i * T::width);
    return r;
  }
  template <typename Lane>
  static Pack from(Lane&& lane) {
    Pack r;
    for (int i = 0; i < N; ++i) r.part[i] = T::from([&](int l) { return lane(i * T::width + l); });
    return r;
  }
  static Pack fromBits(unsigned bits) {
    Pack r;
    for (int i = 0; i < N; ++i) r.part[i] = T::fromBits(bits >> (i * T::width));
    return r;
  }
};

template <typename T, int N, typename F>
inline auto eachPart(const Pack<T, N>& a, F&& f) {
  Pack<decltype(f(a.part[0])), N> r;
  for (int i = 0; i < N; ++i) r.part[i] = f(a.part[i]);
  return r;
}
template <typename T, int N, typename U, typename F>
inline auto eachPart(const Pack<T, N>& a, const Pack<U, N>& b, F&& f) {
  Pack<decltype(f(a.part[0], b.part[0])), N> r;
  for (int i = 0; i < N; ++i) r.part[i] = f(a.part[i], b.part[i]);
  return r;
}

#define SKARVEL_PACK_BINARY(op)                                                          \
  template <typename T, int N>                                                           \
  inline auto operator op(const Pack<T, N>& a, const Pack<T, N>& b) {                    \
    return eachPart(a, b, [](const T& x, const T& y) { return x op y; });                \
  }
SKARVEL_PACK_BINARY(+)
SKARVEL_PACK_BINARY(-)
SKARVEL_PACK_BINARY(*)
SKARVEL_PACK_BINARY(/)
SKARVEL_PACK_BINARY(<)
SKARVEL_PACK_BINARY(>)
SKARVEL_PACK_BINARY(>=)
SKARVEL_PACK_BINARY(<=)
SKARVEL_PACK_BINARY(&)
SKARVEL_PACK_BINARY(|)
#undef SKARVEL_PACK_BINARY

template <typename T, int N>
inline Pack<T, N> operator+(const Pack<T, N>& a, int b) {
  return eachPart(a, [b](const T& x) { return x + b; });
}
template <typename T, int N>
inline Pack<T, N> operator&(const Pack<T, N>& a, int b) {
  return eachPart(a, [b](const T& x) { return x & b; });
}
template <typename M, typename T, int N>
inline Pack<T, N> select(const Pack<M, N>& m, const Pack<T, N>& a, const Pack<T, N>& b) {
  Pack<T, N> r;
  for (int i = 0; i < N; ++i) r.part[i] = select(m.part[i], a.part[i], b.part[i]);
  return r;
}
template <typename T, int N>
inline unsigned maskBits(const Pack<T, N>& m) {
  unsigned bits = 0;
  for (int i = 0; i < N; ++i) bits |= maskBits(m.part[i]) << (i * T::width);
  return bits;
}
template <typename T, int N>
inline auto get(const Pack<T, N>& a, int lane) {
  return get(a.part[lane / T::width], lane % T::width);
}
template <typename T, int N, typename E>
inline void store(const Pack<T, N>& a, E* p) {
  for (int i = 0; i < N; ++i) store(a.part[i], p + i * T::width);
}
template <typename T, int N>
inline Pack<T, N> abs(const Pack<T, N>& a) {
  return eachPart(a, [](const T& x) { return abs(x); });
}
template <typename T, int N>
inline Pack<T, N> copySign(const Pack<T, N>& magnitude, const Pack<T, N>& sign) {
  return eachPart(magnitude, sign, [](const T& x, const T& y) { return copySign(x, y); });
}
template <typename T, int N>
inline Pack<T, N> minFirst(const Pack<T, N>& a, const Pack<T, N>& b) {
  return eachPart(a, b, [](const T& x, const T& y) { return minFirst(x, y); });
}
template <typename T, int N>
inline auto toDouble(const Pack<T, N>& a) -> Pack<decltype(toDouble(a.part[0])), N> {
  return eachPart(a, [](const T& x) { return toDouble(x); });
}
template <typename T, int N>
inline auto toFloat(const Pack<T, N>& a) -> Pack<decltype(toFloat(a.part[0])), N> {
  return eachPart(a, [](const T& x) { return toFloat(x); });
}
template <typename T, int N>
inline auto truncate(const Pack<T, N>& a) -> Pack<decltype(truncate(a.part[0])), N> {
  return eachPart(a, [](const T& x) { return truncate(x); });
}

#if defined(__SSE2__)
// ---------------------------------------------------------------------------------------------
// SSE2: four float lanes in one register, double lanes two to a register.

struct MaskF4 {
  static constexpr int width = 4;
  __m128 v;
  static MaskF4 fromBits(unsigned bits) {
    return {_mm_castsi128_ps(_mm_setr_epi32(bits & 1u ? -1 : 0, bits & 2u ? -1 : 0, bits & 4u ? -1 : 0,
                                            bits & 8u ? -1 : 0))};
  }
};
inline MaskF4 operator&(MaskF4 a, MaskF4 b) { return {_mm_and_ps(a.v, b.v)}; }
inline MaskF4 operator|(MaskF4 a, MaskF4 b) { return {_mm_or_ps(a.v, b.v)}; }
inline unsigned maskBits(MaskF4 m) { return static_cast<unsigned>(_mm_movemask_ps(m.v)); }

struct MaskD2 {
  static constexpr int width = 2;
  __m128d v;
  static MaskD2 fromBits(unsigned bits) {
    return {_mm_castsi128_pd(_mm_setr_epi32(bits & 1u ? -1 : 0, bits & 1u ? -1 : 0, bits & 2u ? -1 : 0,
                                            bits & 2u ? -1 : 0))};
  }
};
inline MaskD2 operator&(MaskD2 a, MaskD2 b) { return {_mm_and_pd(a.v, b.v)}; }
inline MaskD2 operator|(MaskD2 a, MaskD2 b) { return {_mm_or_pd(a.v, b.v)}; }
inline unsigned maskBits(MaskD2 m) { return static_cast<unsigned>(_mm_movemask_pd(m.v)); }

struct Int4 {
  static constexpr int width = 4;
  __m128i v;
  Int4() = default;
  explicit Int4(__m128i x) : v(x) {}
  explicit Int4(int x) : v(_mm_set1_epi32(x)) {}
  static Int4 load(const int* p) { return Int4(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p))); }
  template <typename Lane>
  static Int4 from(Lane&& lane) { return Int4(_mm_setr_epi32(lane(0), lane(1), lane(2), lane(3))); }
};
inline Int4 operator+(Int4 a, int b) { return Int4(_mm_add_epi32(a.v, _mm_set1_epi32(b))); }
inline Int4 operator&(Int4 a, int b) { return Int4(_mm_and_si128(a.v, _mm_set1_epi32(b))); }
inline void store(Int4 a, int* p) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), a.v); }
inline int get(Int4 a, int lane) {
  alignas(16) int values[4];
  _mm_store_si128(reinterpret_cast<__m128i*>(values), a.v);
  return values[lane];
}
inline Int4 select(MaskF4 m, Int4 a, Int4 b) {
  const __m128i k = _mm_castps_si128(m.v);
  return Int4(_mm_or_si128(_mm_and_si128(k, a.v), _mm_andnot_si128(k, b.v)));
}

struct Double2 {
  static constexpr int width = 2;
  using Mask = MaskD2;
  __m128d v;
  Double2() = default;
  explicit Double2(__m128d x) : v(x) {}
  explicit Double2(double x) : v(_mm_set1_pd(x)) {}
  static Double2 load(const double* p) { return Double2(_mm_loadu_pd(p)); }
  template <typename Lane>
  static Double2 from(Lane&& lane) { return Double2(_mm_setr_pd(lane(0), lane(1))); }
};
inline Double2 operator+(Double2 a, Double2 b) { return Double2(_mm_add_pd(a.v, b.v)); }
inline Double2 operator-(Double2 a, Double2 b) { return Double2(_mm_sub_pd(a.v, b.v)); }
inline Double2 operator*(Double2 a, Double2 b) { return Double2(_mm_mul_pd(a.v, b.v)); }
inline Double2 operator/(Double2 a, Double2 b) { return Double2(_mm_div_pd(a.v, b.v)); }
inline MaskD2 operator<(Double2 a, Double2 b) { return {_mm_cmplt_pd(a.v, b.v)}; }
inline MaskD2 operator>(Double2 a, Double2 b) { return {_mm_cmpgt_pd(a.v, b.v)}; }
inline MaskD2 operator>=(Double2 a, Double2 b) { return {_mm_cmpge_pd(a.v, b.v)}; }
inline MaskD2 operator<=(Double2 a, Double2 b) { return {_mm_cmple_pd(a.v, b.v)}; }
inline Double2 select(MaskD2 m, Double2 a, Double2 b) {
  return Double2(_mm_or_pd(_mm_and_pd(m.v, a.v), _mm_andnot_pd(m.v, b.v)));
}
// minpd gives its second operand where the first is not the smaller, NaN included.
inline Double2 minFirst(Double2 a, Double2 b) { return Double2(_mm_min_pd(a.v, b.v)); }
inline void store(Double2 a, double* p) { _mm_storeu_pd(p, a.v); }
inline double get(Double2 a, int lane) {
  alignas(16) double values[2];
  _mm_store_pd(values, a.v);
  return values[lane];
}

struct Float4 {
  static constexpr int width = 4;
  using Mask = MaskF4;
  using Double = Pack<Double2, 2>;
  using Int = Int4;
  __m128 v;
  Float4() = default;
  explicit Float4(__m128 x) : v(x) {}
  explicit Float4(float x) : v(_mm_set1_ps(x)) {}
  static Float4 load(const float* p) { return Float4(_mm_loadu_ps(p)); }
  template <typename Lane>
  static Float4 from(Lane&& lane) { return Float4(_mm_setr_ps(lane(0), lane(1), lane(2), lane(3))); }
};
inline Float4 operator+(Float4 a, Float4 b) { return Float4(_mm_add_ps(a.v, b.v)); }
inline Float4 operator-(Float4 a, Float4 b) { return Float4(_mm_sub_ps(a.v, b.v)); }
inline Float4 operator*(Float4 a, Float4 b) { return Float4(_mm_mul_ps(a.v, b.v)); }
inline Float4 operator/(Float4 a, Float4 b) { return Float4(_mm_div_ps(a.v, b.v)); }
inline MaskF4 operator<(Float4 a, Float4 b) { return {_mm_cmplt_ps(a.v, b.v)}; }
inline MaskF4 operator>(Float4 a, Float4 b) { return {_mm_cmpgt_ps(a.v, b.v)}; }
inline MaskF4 operator>=(Float4 a, Float4 b) { return {_mm_cmpge_ps(a.v, b.v)}; }
inline MaskF4 operator<=(Float4 a, Float4 b) { return {_mm_cmple_ps(a.v, b.v)}; }
inline Float4 select(MaskF4 m, Float4 a, Float4 b) {
  return Float4(_mm_or_ps(_mm_and_ps(m.v, a.v), _mm_andnot_ps(m.v, b.v)));
}
inline Float4 abs(Float4 a) { return Float4(_mm_and_ps(a.v, _mm_castsi128_ps(_mm_set1_epi32(0x7FFFFFFF)))); }
inline Float4 copySign(Float4 magnitude, Float4 sign) {
  const __m128 signBit = _mm_castsi128_ps(_mm_set1_epi32(static_cast<int>(0x80000000u)));
  return Float4(_mm_or_ps(_mm_andnot_ps(signBit, magnitude.v), _mm_and_ps(signBit, sign.v)));
}
inline void store(Float4 a, float* p) { _mm_storeu_ps(p, a.v); }
inline float get(Float4 a, int lane) {
  alignas(16) float values[4];
  _mm_store_ps(values, a.v);
  return values[lane];
}
inline Pack<Double2, 2> toDouble(Float4 a) {
  Pack<Double2, 2> r;
  r.part[0] = Double2(_mm_cvtps_pd(a.v));
  r.part[1] = Double2(_mm_cvtps_pd(_mm_movehl_ps(a.v, a.v)));
  return r;
}
inline Float4 toFloat(const Pack<Double2, 2>& a) {
  return Float4(_mm_movelh_ps(_mm_cvtpd_ps(a.part[0].v), _mm_cvtpd_ps(a.part[1].v)));
}
inline Float4 toFloat(Int4 a) { return Float4(_mm_cvtepi32_ps(a.v)); }
inline Int4 truncate(Float4 a) { return Int4(_mm_cvttps_epi32(a.v)); }
#endif  // __SSE2__

#if defined(__AVX2__)
// ---------------------------------------------------------------------------------------------
// AVX2: eight float lanes in one register, double lanes four to a register.

struct MaskF8 {
  static constexpr int width = 8;
  __m256 v;
  static MaskF8 fromBits(unsigned bits) {
    const __m256i bit = _mm256_setr_epi32(1, 2, 4, 8, 16, 32, 64, 128);
    const __m256i set = _mm256_and_si256(_mm256_set1_epi32(static_cast<int>(bits & 0xFFu)), bit);
    return {_mm256_castsi256_ps(_mm256_cmpeq_epi32(set, bit))};
  }
};
inline MaskF8 operator&(MaskF8 a, MaskF8 b) { return {_mm256_and_ps(a.v, b.v)}; }
inline MaskF8 operator|(MaskF8 a, MaskF8 b) { return {_mm256_or_ps(a.v, b.v)}; }
inline unsigned maskBits(MaskF8 m) { return static_cast<unsigned>(_mm256_movemask_ps(m.v)); }

struct MaskD4 {
  static constexpr int width = 4;
  __m256d v;
  static MaskD4 fromBits(unsigned bits) {
    const __m256i bit = _mm256_setr_epi64x(1, 2, 4, 8);
    const __m256i set = _mm256_and_si256(_mm256_set1_epi64x(static_cast<long long>(bits & 0xFu)), bit);
    return {_mm256_castsi256_pd(_mm256_cmpeq_epi64(set, bit))};
  }
};
inline MaskD4 operator&(MaskD4 a, MaskD4 b) { return {_mm256_and_pd(a.v, b.v)}; }
inline MaskD4 operator|(MaskD4 a, MaskD4 b) { return {_mm256_or_pd(a.v, b.v)}; }
inline unsigned maskBits(MaskD4 m) { return static_cast<unsigned>(_mm256_movemask_pd(m.v)); }

struct Int8 {
  static constexpr int width = 8;
  __m256i v;
  Int8() = default;
  explicit Int8(__m256i x) : v(x) {}
  explicit Int8(int x) : v(_mm256_set1_epi32(x)) {}
  static Int8 load(const int* p) { return Int8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p))); }
  template <typename Lane>
  static Int8 from(Lane&& lane) {
    return Int8(_mm256_setr_epi32(lane(0), lane(1), lane(2), lane(3), lane(4), lane(5), lane(6), lane(7)));
  }
};
inline Int8 operator+(Int8 a, int b) { return Int8(_mm256_add_epi32(a.v, _mm256_set1_epi32(b))); }
inline Int8 operator&(Int8 a, int b) { return Int8(_mm256_and_si256(a.v, _mm256_set1_epi32(b))); }
inline void store(Int8 a, int* p) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), a.v); }
inline int get(Int8 a, int lane) {
  alignas(32) int values[8];
  _mm256_store_si256(reinterpret_cast<__m256i*>(values), a.v);
  return values[lane];
}
inline Int8 select(MaskF8 m, Int8 a, Int8 b) {
  return Int8(_mm256_castps_si256(
      _mm256_blendv_ps(_mm256_castsi256_ps(b.v), _mm256_castsi256_ps(a.v), m.v)));
}

struct Double4 {
  static constexpr int width = 4;
  using Mask = MaskD4;
  __m256d v;
  Double4() = default;
  explicit Double4(__m256d x) : v(x) {}
  explicit Double4(double x) : v(_mm256_set1_pd(x)) {}
  static Double4 load(const double* p) { return Double4(_mm256_loadu_pd(p)); }
  template <typename Lane>
  static Double4 from(Lane&& lane) { return Double4(_mm256_setr_pd(lane(0), lane(1), lane(2), lane(3))); }
};
inline Double4 operator+(Double4 a, Double4 b) { return Double4(_mm256_add_pd(a.v, b.v)); }
inline Double4 operator-(Double4 a, Double4 b) { return Double4(_mm256_sub_pd(a.v, b.v)); }
inline Double4 operator*(Double4 a, Double4 b) { return Double4(_mm256_mul_pd(a.v, b.v)); }
inline Double4 operator/(Double4 a, Double4 b) { return Double4(_mm256_div_pd(a.v, b.v)); }
inline MaskD4 operator<(Double4 a, Double4 b) { return {_mm256_cmp_pd(a.v, b.v, _CMP_LT_OQ)}; }
inline MaskD4 operator>(Double4 a, Double4 b) { return {_mm256_cmp_pd(a.v, b.v, _CMP_GT_OQ)}; }
inline MaskD4 operator>=(Double4 a, Double4 b) { return {_mm256_cmp_pd(a.v, b.v, _CMP_GE_OQ)}; }
inline MaskD4 operator<=(Double4 a, Double4 b) { return {_mm256_cmp_pd(a.v, b.v, _CMP_LE_OQ)}; }
inline Double4 select(MaskD4 m, Double4 a, Double4 b) { return Double4(_mm256_blendv_pd(b.v, a.v, m.v)); }
inline Double4 minFirst(Double4 a, Double4 b) { return Double4(_mm256_min_pd(a.v, b.v)); }
inline void store(Double4 a, double* p) { _mm256_storeu_pd(p, a.v); }
inline double get(Double4 a, int lane) {
  alignas(32) double values[4];
  _mm256_store_pd(values, a.v);
  return values[lane];
}

struct Float8 {
  static constexpr int width = 8;
  using Mask = MaskF8;
  using Double = Pack<Double4, 2>;
  using Int = Int8;
  __m256 v;
  Float8() = default;
  explicit Float8(__m256 x) : v(x) {}
  explicit Float8(float x) : v(_mm256_set1_ps(x)) {}
  static Float8 load(const float* p) { return Float8(_mm256_loadu_ps(p)); }
  template <typename Lane>
  static Float8 from(Lane&& lane) {
    return Float8(_mm256_setr_ps(lane(0), lane(1), lane(2), lane(3), lane(4), lane(5), lane(6), lane(7)));
  }
};
inline Float8 operator+(Float8 a, Float8 b) { return Float8(_mm256_add_ps(a.v, b.v)); }
inline Float8 operator-(Float8 a, Float8 b) { return Float8(_mm256_sub_ps(a.v, b.v)); }
inline Float8 operator*(Float8 a, Float8 b) { return Float8(_mm256_mul_ps(a.v, b.v)); }
inline Float8 operator/(Float8 a, Float8 b) { return Float8(_mm256_div_ps(a.v, b.v)); }
inline MaskF8 operator<(Float8 a, Float8 b) { return {_mm256_cmp_ps(a.v, b.v, _CMP_LT_OQ)}; }
inline MaskF8 operator>(Float8 a, Float8 b) { return {_mm256_cmp_ps(a.v, b.v, _CMP_GT_OQ)}; }
inline MaskF8 operator>=(Float8 a, Float8 b) { return {_mm256_cmp_ps(a.v, b.v, _CMP_GE_OQ)}; }
inline MaskF8 operator<=(Float8 a, Float8 b) { return {_mm256_cmp_ps(a.v, b.v, _CMP_LE_OQ)}; }
inline Float8 select(MaskF8 m, Float8 a, Float8 b) { return Float8(_mm256_blendv_ps(b.v, a.v, m.v)); }
inline Float8 abs(Float8 a) { return Float8(_mm256_and_ps(a.v, _mm256_castsi256_ps(_mm256_set1_epi32(0x7FFFFFFF)))); }
inline Float8 copySign(Float8 magnitude, Float8 sign) {
  const __m256 signBit = _mm256_castsi256_ps(_mm256_set1_epi32(static_cast<int>(0x80000000u)));
  return Float8(_mm256_or_ps(_mm256_andnot_ps(signBit, magnitude.v), _mm256_and_ps(signBit, sign.v)));
}
inline void store(Float8 a, float* p) { _mm256_storeu_ps(p, a.v); }
inline float get(Float8 a, int lane) {
  alignas(32) float values[8];
  _mm256_store_ps(values, a.v);
  return values[lane];
}
inline Pack<Double4, 2> toDouble(Float8 a) {
  Pack<Double4, 2> r;
  r.part[0] = Double4(_mm256_cvtps_pd(_mm256_castps256_ps128(a.v)));
  r.part[1] = Double4(_mm256_cvtps_pd(_mm256_extractf128_ps(a.v, 1)));
  return r;
}
inline Float8 toFloat(const Pack<Double4, 2>& a) {
  return Float8(_mm256_insertf128_ps(_mm256_castps128_ps256(_mm256_cvtpd_ps(a.part[0].v)),
                                     _mm256_cvtpd_ps(a.part[1].v), 1));
}
inline Float8 toFloat(Int8 a) { return Float8(_mm256_cvtepi32_ps(a.v)); }
inline Int8 truncate(Float8 a) { return Int8(_mm256_cvttps_epi32(a.v)); }
#endif  // __AVX2__

// ---------------------------------------------------------------------------------------------
// Lane arithmetic shared by every lane type.

// The render's denormal flush (see flushInRender for floats): nothing to do where SSE's
// flush-to-zero mode is on, lane by lane elsewhere.
inline Float1 flushInRender(Float1 x) { return Float1(skarvel::flushInRender(x.v)); }
#if defined(__SSE2__)
inline Float4 flushInRender(Float4 x) { return x; }
#endif
#if defined(__AVX2__)
inline Float8 flushInRender(Float8 x) { return x; }
#endif
template <typename T, int N>
inline Pack<T, N> flushInRender(const Pack<T, N>& x) {
  return eachPart(x, [](const T& v) { return flushInRender(v); });
}

// 0 below 0, 1 above 1, the value otherwise (NaN stays NaN).
template <typename F>
inline F clamp01(F x) {
  return select(x < F(0.0f), F(0.0f), select(x > F(1.0f), F(1.0f), x));
}

// Hyperbolic tangent to within a few float ulps of std::tanh, several times faster: the library
// call dominated the voices. Near zero an odd Taylor polynomial (no cancellation), beyond it the
// exponential form, which the voices seldom need (their osc1 high-pass output seldom leaves
// 0.4..9.1) and which goes lane by lane; |x| >= 9.1 is ±1 in float anyway. NaN stays NaN.
template <typename F>
inline F fastTanh(F x) {
  const F ax = abs(x);
  const auto small = ax < F(0.4f);
  const auto saturated = ax >= F(9.1f);
  const F x2 = x * x;
  // x − x³/3 + 2x⁵/15 − 17x⁷/315 + 62x⁹/2835 − 1382x¹¹/155925 + 21844x¹³/6081075
  F p = F(21844.0f / 6081075.0f);
  p = p * x2 - F(1382.0f / 155925.0f);
  p = p * x2 + F(62.0f / 2835.0f);
  p = p * x2 - F(17.0f / 315.0f);
  p = p * x2 + F(2.0f / 15.0f);
  p = p * x2 - F(1.0f / 3.0f);
  const F polynomial = x + x * x2 * p;
  F result = select(small, polynomial, copySign(F(1.0f), x));
  const unsigned middle = ~maskBits(small | saturated) & ((1u << F::width) - 1u);
  if (middle != 0) {
    result = F::from([&](int lane) {
      if (!(middle & (1u << lane))) return get(result, lane);
      const float v = get(x, lane);
      const float t = 1.0f - 2.0f / (std::exp(2.0f * std::fabs(v)) + 1.0f);
      return std::copysign(t, v);
    });
  }
  return result;
}

}  // namespace
}  // namespace skarvel::lanes
