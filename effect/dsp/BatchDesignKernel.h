// The batched design's arithmetic, written once over four designs at a time.
// Each file that includes it (inside its own anonymous namespace) defines
// first the four-lane type Quad with + - * / & ^, Max, Min, Greater, Splat,
// Blend, MulAdd, Widen, StoreFour and Spill, in the instructions it is
// compiled for. Audio thread; allocation-free.
// No include guard: it is meant to be compiled once per instruction set.

// tan(y) = y + y z P(z) / Q(z), z = y^2, for 0 <= y <= pi/4: a minimax
// rational approximation within 2 units in the last place there.
constexpr double kP0 = -1.30936939181383777646e4;
constexpr double kP1 = 1.15351664838587416140e6;
constexpr double kP2 = -1.79565251976484877988e7;
constexpr double kQ0 = 1.36812963470692954678e4;
constexpr double kQ1 = -1.32089234440210967447e6;
constexpr double kQ2 = 2.50083801823357915839e7;
constexpr double kQ3 = -5.38695755929454629881e7;

constexpr double kPi = 3.141592653589793;
constexpr double kQuarterPi = 0.7853981633974483;
// pi/2 in two parts: above pi/4 the reduction pi/2 - w is then exact to the
// last bit of w (w and the first part are within a factor two).
constexpr double kHalfPiHigh = 1.5707963267948966;
constexpr double kHalfPiLow = 6.123233995736766e-17;

// Frames i .. i + 3 of a run of floats; past its end, the last frame again.
__m128 Four(const float* p, int i, int count) {
  if (i + 4 <= count) return _mm_loadu_ps(p + i);
  float lanes[4];
  for (int j = 0; j < 4; ++j)
    lanes[j] = p[i + j < count ? i + j : count - 1];
  return _mm_loadu_ps(lanes);
}

// The damping q = bandwidth * 15, formed in single precision; a NaN
// becomes the lowest damping.
Quad Damping(__m128 bandwidth) {
  return Max(Widen(_mm_mul_ps(bandwidth, _mm_set1_ps(kDampingPerBandwidth))),
             Splat(kLowestDamping));
}

// What prewarping needs of the rate, made once per run rather than per four
// designs.
struct Prewarp {
  explicit Prewarp(double rate)
      : lowest(Splat(kLowestDesignHz)), highest(Splat(rate * kHighestDesignRatio)),
        radiansPerHz(Splat(kPi / rate)) {}
  Quad lowest, highest, radiansPerHz;
};

// The cotangent of the prewarped frequency as a / b: above pi/4 it is
// tan(pi/2 - w), below 1 / tan(w).
[[gnu::always_inline]] inline void Cotangent(Quad hz, const Prewarp& prewarp, Quad& a, Quad& b) {
  hz = Min(Max(hz, prewarp.lowest), prewarp.highest);
  const Quad w = hz * prewarp.radiansPerHz;
  const Quad upper = Greater(w, Splat(kQuarterPi));
  const Quad y = Blend(upper, w, Splat(kHalfPiHigh) - w + Splat(kHalfPiLow));
  const Quad z = y * y;
  const Quad p = MulAdd(MulAdd(Splat(kP0), z, Splat(kP1)), z, Splat(kP2));
  const Quad d =
      MulAdd(MulAdd(MulAdd(z + Splat(kQ0), z, Splat(kQ1)), z, Splat(kQ2)), z, Splat(kQ3));
  const Quad n = MulAdd(y, d, y * z * p);
  const Quad swap = upper & (n ^ d);
  a = d ^ swap;
  b = n ^ swap;
}

[[gnu::always_inline]] inline void Store(const CoefficientArrays& out, int i, int count, Quad gain,
                                         Quad a1, Quad a2) {
  if (i + 4 <= count) {
    StoreFour(out.gain + i, gain);
    StoreFour(out.a1 + i, a1);
    StoreFour(out.a2 + i, a2);
    return;
  }
  double lanes[3][4];
  Spill(gain, lanes[0]);
  Spill(a1, lanes[1]);
  Spill(a2, lanes[2]);
  for (int j = 0; i + j < count; ++j) {
    out.gain[i + j] = lanes[0][j];
    out.a1[i + j] = lanes[1][j];
    out.a2[i + j] = lanes[2][j];
  }
}

double UsableRate(double rate) {
  return IsUsableRate(rate) ? rate : kFallbackDesignRate;
}

// Below this fraction of the rate the poles sit so near z = 1 that the
// output magnifies a coefficient's last-bit difference some millionfold:
// there each design is DesignFilter's own.
constexpr double kExactBelowRatio = 2e-4;

void DesignExactly(FilterKind kind, const float* freq, float fixedFreq, const float* bandwidth,
                   float fixedBandwidth, double rate, int i, int count,
                   const CoefficientArrays& out) {
  for (int j = i; j < i + 4 && j < count; ++j) {
    const FilterCoefficients c = DesignFilter(kind, freq ? freq[j] : fixedFreq,
                                              bandwidth ? bandwidth[j] : fixedBandwidth, rate);
    out.gain[j] = c.gain;
    out.a1[j] = c.a1;
    out.a2[j] = c.a2;
  }
}

// With k = a/b, r = 1 / ((q + k) k + 1) = b^2 / den: every coefficient
// shares the one division.
void SweepFrequency(FilterKind kind, const float* freq, float bandwidth, double rate, int count,
                    const CoefficientArrays& out) {
  rate = UsableRate(rate);
  const bool bandpass = kind == FilterKind::Bandpass;
  const Quad q = Damping(_mm_set1_ps(bandwidth));
  const __m128 exactBelow = _mm_set1_ps(static_cast<float>(rate * kExactBelowRatio));
  const Prewarp prewarp(rate);
  for (int i = 0; i < count; i += 4) {
    const __m128 hz = Four(freq, i, count);
    // Not greater also catches a NaN, which the exact design clamps alike.
    if (_mm_movemask_ps(_mm_cmpgt_ps(hz, exactBelow)) != 15) {
      DesignExactly(kind, freq, 0.0f, nullptr, bandwidth, rate, i, count, out);
      continue;
    }
    Quad a, b;
    Cotangent(Widen(hz), prewarp, a, b);
    const Quad bb = b * b, qb = q * b;
    const Quad inv = Splat(1.0) / MulAdd(qb + a, a, bb);
    const Quad a1 = Splat(2.0) * (bb - a * a) * inv;
    const Quad a2 = MulAdd(a - qb, a, bb) * inv;
    Store(out, i, count, (bandpass ? qb * a : bb) * inv, a1, a2);
  }
}

void SweepBandwidth(FilterKind kind, float freq, const float* bandwidth, double rate, int count,
                    const CoefficientArrays& out) {
  rate = UsableRate(rate);
  const bool bandpass = kind == FilterKind::Bandpass;
  if (!(freq > rate * kExactBelowRatio)) {
    for (int i = 0; i < count; i += 4)
      DesignExactly(kind, nullptr, freq, bandwidth, 0.0f, rate, i, count, out);
    return;
  }
  Quad a, b;
  Cotangent(Splat(static_cast<double>(freq)), Prewarp(rate), a, b);
  const Quad aa = a * a, bb = b * b, ab = a * b, sum = aa + bb;
  const Quad a1Numerator = Splat(2.0) * (bb - aa);
  for (int i = 0; i < count; i += 4) {
    const Quad qab = Damping(Four(bandwidth, i, count)) * ab;
    const Quad inv = Splat(1.0) / (qab + sum);
    Store(out, i, count, (bandpass ? qab : bb) * inv, a1Numerator * inv, (sum - qab) * inv);
  }
}
