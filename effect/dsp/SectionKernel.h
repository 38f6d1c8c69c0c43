// The section's arithmetic on both channels of one frame ([left, right]),
// written once for the files that run it. Each includes it inside its own
// anonymous namespace and compiles it for its own instructions.
// No include guard: it is meant to be compiled once per instruction set.

inline __m128d Magnitude(__m128d x) {
  return _mm_andnot_pd(_mm_set1_pd(-0.0), x);
}

inline bool BothFinite(__m128d x) {
  return _mm_movemask_pd(_mm_cmple_pd(Magnitude(x), _mm_set1_pd(DBL_MAX))) == 3;
}

// The memory's next value for input x.
inline __m128d NextMemory(__m128d gain, __m128d a1, __m128d a2, __m128d x, __m128d w1, __m128d w2) {
  return _mm_sub_pd(_mm_mul_pd(gain, x), _mm_add_pd(_mm_mul_pd(a2, w2), _mm_mul_pd(a1, w1)));
}

// scaled * wet + dry * in: the mix of the filtered signal, once scaled by
// its compensation, with the input.
inline __m128d WetAndDry(__m128d scaled, __m128d in, __m128d wet, __m128d dry) {
  return _mm_add_pd(_mm_mul_pd(scaled, wet), _mm_mul_pd(dry, in));
}

template <FilterKind kShape> __m128d Filtered(__m128d in, __m128d w0, __m128d w1, __m128d w2) {
  if (kShape == FilterKind::Lowpass)
    return _mm_add_pd(_mm_add_pd(w0, _mm_mul_pd(_mm_set1_pd(2.0), w1)), w2);
  if (kShape == FilterKind::Highpass)
    return _mm_sub_pd(_mm_sub_pd(_mm_sub_pd(in, w0), _mm_mul_pd(_mm_set1_pd(2.0), w1)), w2);
  return _mm_sub_pd(w0, w2);
}
