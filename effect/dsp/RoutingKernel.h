// The routing's arithmetic, written once for one value and for a register
// of them: the same single-precision operations either way. Each file that
// includes it (inside its own anonymous namespace) first defines Lanes, a
// register of floats with + - * /, Abs, Load, Store, its count kCount and
// a constructor that fills every lane with one float, in the instructions it
// is compiled for. No include guard: it is compiled once per instruction set.

// Builtins only: a library function inlined here could be linked into
// the files built for other instructions.
float Abs(float x) {
  return __builtin_fabsf(x);
}

// Division by the range's span. By a power of two, multiplying by its
// reciprocal is exact and gives the same bits for a fraction of the cost.
struct Divided {
  float span;
  template <class T> T operator()(T x) const { return x / T(span); }
};
struct Scaled {
  float reciprocal;
  template <class T> T operator()(T x) const { return x * T(reciprocal); }
};

template <bool kUp> struct Value {
  float depth, base;
  template <class T> T operator()(T level) const {
    if (kUp) return T(depth) * level + T(base);
    return (T(1.0f) - level) * T(depth) + T(base);
  }
};

template <CompMode kMode, class Over> struct Factor {
  float gain, lowest, highest; // gain: compGain - 1
  Over over;
  template <class T> T operator()(T v) const {
    if (kMode == CompMode::Left) return over((T(highest) - v) * T(gain)) + T(1.0f);
    if (kMode == CompMode::Right) return over((v - T(lowest)) * T(gain)) + T(1.0f);
    return Abs(over((v - T(lowest)) * T(2.0f)) - T(1.0f)) * T(gain) + T(1.0f);
  }
};

// Applies op to kCount values at a time, then to the rest one by one.
template <class Op> void ForEach(const float* in, int frames, float* out, const Op& op) {
  int i = 0;
  for (; i + Lanes::kCount <= frames; i += Lanes::kCount)
    Store(out + i, op(Lanes::Load(in + i)));
  for (; i < frames; ++i)
    out[i] = op(in[i]);
}

// For the mix target: each level's wet (its value), dry (1 - wet) and, where
// factors is given, its compensation, in one pass.
template <class ValueOp, class FactorOp>
void MixEach(const float* levels, int frames, float* wets, float* drys, float* factors,
             const ValueOp& value, const FactorOp& factor) {
  const auto one = [&](auto level, auto store) {
    using T = decltype(level);
    const T wet = value(level);
    store(wets, wet);
    store(drys, T(1.0f) - wet);
    if (factors != nullptr) store(factors, factor(wet));
  };
  int i = 0;
  for (; i + Lanes::kCount <= frames; i += Lanes::kCount)
    one(Lanes::Load(levels + i), [i](float* to, Lanes x) { Store(to + i, x); });
  for (; i < frames; ++i)
    one(levels[i], [i](float* to, float x) { to[i] = x; });
}

// Calls go(value) with the operation the routing's direction names.
template <class Go> void WithValue(const TargetRouting& r, const Go& go) {
  if (r.directionUp)
    go(Value<true>{r.modDepth, r.modBase});
  else
    go(Value<false>{r.modDepth, r.modBase});
}

// Calls go(factor) with the compensation the routing's mode names;
// powerOfTwo tells that the range's span is one, with an exact reciprocal.
template <class Go> void WithFactor(const TargetRouting& r, bool powerOfTwo, const Go& go) {
  const float span = r.highest - r.lowest, gain = r.compGain - 1.0f;
  const auto withOver = [&](const auto& over) {
    using Over = std::decay_t<decltype(over)>;
    switch (r.compMode) {
    case CompMode::Left:
      go(Factor<CompMode::Left, Over>{gain, r.lowest, r.highest, over});
      break;
    case CompMode::Right:
      go(Factor<CompMode::Right, Over>{gain, r.lowest, r.highest, over});
      break;
    default:
      go(Factor<CompMode::Both, Over>{gain, r.lowest, r.highest, over});
      break;
    }
  };
  if (powerOfTwo)
    withOver(Scaled{1.0f / span});
  else
    withOver(Divided{span});
}

void MixPass(const TargetRouting& r, bool powerOfTwo, const float* levels, int frames, float* wets,
             float* drys, float* factors) {
  WithValue(r, [&](const auto& value) {
    WithFactor(r, powerOfTwo, [&](const auto& factor) {
      MixEach(levels, frames, wets, drys, factors, value, factor);
    });
  });
}
