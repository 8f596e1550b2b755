// The row kernels over a vector type V (see pixel_rows_avx2.cpp for what V provides), included by
// each width's file after it has defined V and switched the compiler to that width. Only V's
// operations and plain integer arithmetic are used here: no function of another file is called,
// so nothing compiled for a wider unit can be picked up by code that runs without it.
// All results are exactly those of the plain loops in pixel_rows.cpp and quad_rect.cpp.

namespace t4::platform::raster::px::lanes {

// (v + 127) / 255 in each 16-bit lane for v <= 255 x 255, as ((v + 127) x 0x8081) >> 23.
template <class V>
typename V::R Div255(typename V::R v) {
  return V::template Srl16<7>(V::MulHiU16(V::Add16(v, V::Set16(127)), V::Set16(0x8081)));
}

// Four 16-bit channel constants (blue, green, red, alpha) repeated across the vector.
template <class V>
typename V::R Channels(const uint32_t v[4]) {
  return V::Set64(uint64_t{v[0] & 0xFFFFu} | uint64_t{v[1] & 0xFFFFu} << 16 | uint64_t{v[2] & 0xFFFFu} << 32 |
                  uint64_t{v[3] & 0xFFFFu} << 48);
}

// Pixels widened to one 16-bit lane per channel: source-alpha blend and per-channel modulation.
template <class V>
typename V::R Blend(typename V::R c, typename V::R d) {
  const typename V::R a = V::Alpha16(c);
  return Div255<V>(V::Add16(V::MulLo16(c, a), V::MulLo16(d, V::Sub16(V::Set16(255), a))));
}
template <class V>
typename V::R Modulate(typename V::R c, typename V::R mul, typename V::R add) {
  return V::Add16(Div255<V>(V::MulLo16(c, mul)), add);
}

template <class V>
int BlendRow(uint32_t* d, const uint32_t* c, int n) {
  constexpr int P = V::kBytes / 4;
  int i = 0;
  for (; i + P <= n; i += P) {
    const typename V::R cv = V::Load(c + i), dv = V::Load(d + i);
    V::Store(d + i, V::Pack16(Blend<V>(V::Lo8(cv), V::Lo8(dv)), Blend<V>(V::Hi8(cv), V::Hi8(dv))));
  }
  return i;
}

// Mostly opaque or clear colours: a vector all opaque is stored, all clear left, anything else
// blended (the blend of alpha 255 gives the colour and of alpha 0 the target, exactly).
template <class V>
int StoreOrBlendRow(uint32_t* d, const uint32_t* c, int n) {
  constexpr int P = V::kBytes / 4;
  const typename V::R alpha = V::Set32(0xFF000000u);
  int i = 0;
  const typename V::R none = V::Set32(0), all = V::Set32(0xFFFFFFFFu);
  for (; i + P <= n; i += P) {
    const typename V::R cv = V::Load(c + i);
    if (V::AllSet(cv, alpha)) {
      V::Store(d + i, cv);
    } else if (!V::NoneSet(cv, alpha)) {
      const typename V::R dv = V::Load(d + i);
      // Keyed pictures have only those two alphas: a choice per lane gives the blend's result.
      const typename V::R a = V::And(cv, alpha);
      const typename V::R opaque = V::template Eq<uint32_t>(a, alpha);
      if (V::AllSet(V::Or(opaque, V::template Eq<uint32_t>(a, none)), all))
        V::Store(d + i, V::Select(opaque, cv, dv));
      else
        V::Store(d + i, V::Pack16(Blend<V>(V::Lo8(cv), V::Lo8(dv)), Blend<V>(V::Hi8(cv), V::Hi8(dv))));
    }
  }
  return i;
}

template <class V>
int ModulateRow(uint32_t* c, int n, const uint32_t mul[4], const uint32_t add[4]) {
  constexpr int P = V::kBytes / 4;
  const typename V::R m = Channels<V>(mul), k = Channels<V>(add);
  int i = 0;
  for (; i + P <= n; i += P) {
    const typename V::R cv = V::Load(c + i);
    V::Store(c + i, V::Pack16(Modulate<V>(V::Lo8(cv), m, k), Modulate<V>(V::Hi8(cv), m, k)));
  }
  return i;
}

template <class V>
int ModulateBlendRow(uint32_t* d, const uint32_t* c, int n, const uint32_t mul[4], const uint32_t add[4]) {
  constexpr int P = V::kBytes / 4;
  const typename V::R m = Channels<V>(mul), k = Channels<V>(add);
  int i = 0;
  for (; i + P <= n; i += P) {
    const typename V::R cv = V::Load(c + i), dv = V::Load(d + i);
    const typename V::R lo = Blend<V>(Modulate<V>(V::Lo8(cv), m, k), V::Lo8(dv));
    const typename V::R hi = Blend<V>(Modulate<V>(V::Hi8(cv), m, k), V::Hi8(dv));
    V::Store(d + i, V::Pack16(lo, hi));
  }
  return i;
}

// Copy where the source is not the key.
template <class V, typename T>
int KeyedRow(T* d, const T* s, int n, T key) {
  constexpr int P = V::kBytes / static_cast<int>(sizeof(T));
  const typename V::R k = V::template Set<T>(key);
  int i = 0;
  for (; i + P <= n; i += P) {
    const typename V::R sv = V::Load(s + i);
    const typename V::R clear = V::template Eq<T>(sv, k);
    if (V::NoneSet(clear, clear)) V::Store(d + i, sv);
    else V::Store(d + i, V::Select(clear, V::Load(d + i), sv));
  }
  return i;
}

template <class V, typename T>
int FillRow(T* d, int n, T v) {
  constexpr int P = V::kBytes / static_cast<int>(sizeof(T));
  const typename V::R k = V::template Set<T>(v);
  int i = 0;
  for (; i + P <= n; i += P) V::Store(d + i, k);
  return i;
}

template <class V>
int MaskRow32(uint32_t* d, const uint32_t* s, int n, uint32_t mask) {
  constexpr int P = V::kBytes / 4;
  const typename V::R m = V::Set32(mask);
  int i = 0;
  for (; i + P <= n; i += P) V::Store(d + i, V::And(V::Load(s + i), m));
  return i;
}

// The half-and-half mix of the colour bytes, (a + b) >> 1 per byte, as
// ((a & 0xFEFEFE) >> 1) + ((b & 0xFEFEFE) >> 1) + (a & b & 0x010101), which never carries
// across a byte (and, the low bit of every byte being cleared, shifts alike in 16-bit lanes).
template <class V, int MODE>
int HalfRow32(uint32_t* d, const uint32_t* s, int n, uint32_t key) {
  using R = typename V::R;
  constexpr int P = V::kBytes / 4;
  constexpr bool render = (MODE & HALF_RENDER) != 0, keyed = (MODE & HALF_KEYED) != 0;
  const R high = V::Set32(0xFEFEFEu), low = V::Set32(0x010101u), colour = V::Set32(0xFFFFFFu);
  const R top = V::Set32(0xFF000000u), k = V::Set32(key), zero = V::Set32(0);
  int i = 0;
  for (; i + P <= n; i += P) {
    const R p = V::Load(s + i), q = V::Load(d + i);
    const R half = V::Add32(V::Add32(V::template Srl16<1>(V::And(p, high)), V::template Srl16<1>(V::And(q, high))),
                            V::And(V::And(p, q), low));
    R out;
    if constexpr (render) {
      out = V::Or(top, half);
    } else {
      out = V::Or(V::And(q, top), V::Select(V::template Eq<uint32_t>(q, k), V::And(p, colour), half));
    }
    if constexpr (keyed) {
      const R skip = render ? V::template Eq<uint32_t>(V::And(p, top), zero) : V::template Eq<uint32_t>(p, k);
      out = V::Select(skip, q, out);
    }
    V::Store(d + i, out);
  }
  return i;
}

// ---- 16-bit pixels, one pixel per lane ----

// floor(v / d) for the divisions of HalfRow565, as (v x M) >> (16 + S) (exact over the ranges
// used: v <= 255 x 63).
template <class V, uint32_t M, int S>
typename V::R DivBy(typename V::R v) {
  return V::template Srl16<S>(V::MulHiU16(v, V::Set16(M)));
}

// One field of the blit mode's 16-bit half mix: both fields to 8 bits (f x 255 / mask), their
// mean, and back (m x mask / 255).
template <class V, int BITS>
typename V::R HalfField(typename V::R a, typename V::R b) {
  using R = typename V::R;
  constexpr uint32_t mask = (1u << BITS) - 1;
  const R k255 = V::Set16(255), km = V::Set16(mask);
  R a8, b8;
  if constexpr (BITS == 5) {
    a8 = DivBy<V, 8457, 2>(V::MulLo16(a, k255));
    b8 = DivBy<V, 8457, 2>(V::MulLo16(b, k255));
  } else {
    a8 = DivBy<V, 16645, 4>(V::MulLo16(a, k255));
    b8 = DivBy<V, 16645, 4>(V::MulLo16(b, k255));
  }
  return DivBy<V, 16449, 6>(V::MulLo16(V::template Srl16<1>(V::Add16(a8, b8)), km));
}

template <class V>
int HalfRow565(uint16_t* d, const uint16_t* s, int n, bool keyed, uint16_t key) {
  using R = typename V::R;
  constexpr int P = V::kBytes / 2;
  const R k = V::Set16(key), m5 = V::Set16(31), m6 = V::Set16(63);
  int i = 0;
  for (; i + P <= n; i += P) {
    const R p = V::Load(s + i), q = V::Load(d + i);
    const R r = HalfField<V, 5>(V::template Srl16<11>(p), V::template Srl16<11>(q));
    const R g = HalfField<V, 6>(V::And(V::template Srl16<5>(p), m6), V::And(V::template Srl16<5>(q), m6));
    const R b = HalfField<V, 5>(V::And(p, m5), V::And(q, m5));
    R out = V::Or(V::Or(V::template Sll16<11>(r), V::template Sll16<5>(g)), b);
    out = V::Select(V::template Eq<uint16_t>(q, k), p, out);
    if (keyed) out = V::Select(V::template Eq<uint16_t>(p, k), q, out);
    V::Store(d + i, out);
  }
  return i;
}

// Channel `SHIFT`/`BITS` of a 16-bit pixel widened to 8 bits by bit replication.
template <class V, int SHIFT, int BITS>
typename V::R Widen(typename V::R p) {
  typename V::R c = V::template Srl16<SHIFT>(p);
  if constexpr (SHIFT + BITS < 16) c = V::And(c, V::Set16((1u << BITS) - 1));
  return V::Or(V::template Sll16<8 - BITS>(c), V::template Srl16<2 * BITS - 8>(c));
}

template <int L>
struct Layout16;
template <>
struct Layout16<LANES_565> {
  static constexpr int R = 11, G = 5, GBITS = 6;
  static constexpr bool ALPHA = false;
};
template <>
struct Layout16<LANES_1555> {
  static constexpr int R = 10, G = 5, GBITS = 5;
  static constexpr bool ALPHA = true;
};

// A pixel of layout FROM as layout TO stores it (the same as through 0xAARRGGBB).
template <class V, int FROM, int TO>
typename V::R Convert16(typename V::R p) {
  if constexpr (FROM == TO) {
    return p;
  } else if constexpr (FROM == LANES_1555) {
    // 1555 -> 565: red and green move up a bit, green's top bit is replicated into its low bit.
    return V::Or(V::Or(V::template Sll16<1>(V::And(p, V::Set16(0x7FE0))), V::And(V::template Srl16<4>(p), V::Set16(0x20))),
                 V::And(p, V::Set16(0x1F)));
  } else {
    return V::Or(V::Or(V::Set16(0x8000), V::And(V::template Srl16<1>(p), V::Set16(0x7FE0))), V::And(p, V::Set16(0x1F)));
  }
}

// Texels written where opaque (`keyed`) or everywhere.
template <class V, int FROM, int TO>
int ConvertRow16(uint16_t* d, const uint16_t* s, int n, bool keyed) {
  constexpr int P = V::kBytes / 2;
  const typename V::R top = V::Set16(0x8000);
  int i = 0;
  for (; i + P <= n; i += P) {
    const typename V::R sv = V::Load(s + i);
    const typename V::R out = Convert16<V, FROM, TO>(sv);
    // The target is read only under texels of both kinds.
    if (!keyed || !Layout16<FROM>::ALPHA || V::AllSet(sv, top)) V::Store(d + i, out);
    else if (!V::NoneSet(sv, top)) V::Store(d + i, V::Select(V::template Sra16<15>(sv), out, V::Load(d + i)));
  }
  return i;
}

// One channel of the stage's colour blended over the target: ((c x mul + 127) / 255 + add) x a +
// d x (255 - a), rounded and divided by 255, cut to its top `BITS` bits (Div255's last shift and
// the cut in one).
// (The product with 255 plus 0 is the colour itself: `MODULATED` false skips it.)
template <class V, bool MODULATED, int BITS>
typename V::R MixChannel(typename V::R c, typename V::R mul, typename V::R add, typename V::R d, typename V::R a,
                         typename V::R na) {
  if constexpr (MODULATED) c = Modulate<V>(c, mul, add);
  const typename V::R v = V::Add16(V::MulLo16(c, a), V::MulLo16(d, na));
  return V::template Srl16<15 - BITS>(V::MulHiU16(V::Add16(v, V::Set16(127)), V::Set16(0x8081)));
}

// The textured quad's modulate-and-blend on 16-bit texels and targets.
template <class V, int FROM, int TO, bool MODULATED>
int ModulateBlendRow16(uint16_t* d, const uint16_t* s, int n, const uint32_t mul[4], const uint32_t add[4]) {
  using S = Layout16<FROM>;
  using D = Layout16<TO>;
  using R = typename V::R;
  constexpr int P = V::kBytes / 2;
  const R mb = V::Set16(mul[0]), mg = V::Set16(mul[1]), mr = V::Set16(mul[2]);
  const R kb = V::Set16(add[0]), kg = V::Set16(add[1]), kr = V::Set16(add[2]);
  // The texel's alpha is 0 or 255, so the stage's alpha is one of two values.
  const R opaque = V::Set16(((255 * mul[3] + 127) * 0x8081u >> 23) + add[3]), clear = V::Set16(add[3]);
  const R full = V::Set16(255);
  int i = 0;
  for (; i + P <= n; i += P) {
    const R sv = V::Load(s + i), dv = V::Load(d + i);
    R a = opaque;
    if constexpr (S::ALPHA) a = V::Select(V::template Sra16<15>(sv), opaque, clear);
    const R na = V::Sub16(full, a);
    const R r = MixChannel<V, MODULATED, 5>(Widen<V, S::R, 5>(sv), mr, kr, Widen<V, D::R, 5>(dv), a, na);
    const R g =
        MixChannel<V, MODULATED, D::GBITS>(Widen<V, S::G, S::GBITS>(sv), mg, kg, Widen<V, D::G, D::GBITS>(dv), a, na);
    const R b = MixChannel<V, MODULATED, 5>(Widen<V, 0, 5>(sv), mb, kb, Widen<V, 0, 5>(dv), a, na);
    R out = V::Or(V::Or(V::template Sll16<D::R>(r), V::template Sll16<D::G>(g)), b);
    if constexpr (D::ALPHA) {
      // The target's alpha (0 or 255) blended the same way; its top bit is the stored bit.
      const R da = V::And(V::template Sra16<15>(dv), full);
      const R oa = Div255<V>(V::Add16(V::MulLo16(a, a), V::MulLo16(da, na)));
      out = V::Or(out, V::template Sll16<8>(V::And(oa, V::Set16(0x80))));
    }
    V::Store(d + i, out);
  }
  return i;
}

}  // namespace t4::platform::raster::px::lanes

// The entry points of one width, in namespace T4_LANES_NS, over the vector type T4_LANES_VEC.
namespace t4::platform::raster::px::T4_LANES_NS {

using V = T4_LANES_VEC;

int BlendRow(uint32_t* d, const uint32_t* c, int n) { return lanes::BlendRow<V>(d, c, n); }
int StoreOrBlendRow(uint32_t* d, const uint32_t* c, int n) { return lanes::StoreOrBlendRow<V>(d, c, n); }
int ModulateRow(uint32_t* c, int n, const uint32_t mul[4], const uint32_t add[4]) {
  return lanes::ModulateRow<V>(c, n, mul, add);
}
int ModulateBlendRow(uint32_t* d, const uint32_t* c, int n, const uint32_t mul[4], const uint32_t add[4]) {
  return lanes::ModulateBlendRow<V>(d, c, n, mul, add);
}
int KeyedRow8(uint8_t* d, const uint8_t* s, int n, uint8_t key) { return lanes::KeyedRow<V>(d, s, n, key); }
int KeyedRow16(uint16_t* d, const uint16_t* s, int n, uint16_t key) { return lanes::KeyedRow<V>(d, s, n, key); }
int KeyedRow32(uint32_t* d, const uint32_t* s, int n, uint32_t key) { return lanes::KeyedRow<V>(d, s, n, key); }

int FillRow16(uint16_t* d, int n, uint16_t v) { return lanes::FillRow<V>(d, n, v); }
int FillRow32(uint32_t* d, int n, uint32_t v) { return lanes::FillRow<V>(d, n, v); }
int MaskRow32(uint32_t* d, const uint32_t* s, int n, uint32_t mask) { return lanes::MaskRow32<V>(d, s, n, mask); }
int HalfRow32(uint32_t* d, const uint32_t* s, int n, int mode, uint32_t key) {
  switch (mode) {
    case HALF_BLIT: return lanes::HalfRow32<V, HALF_BLIT>(d, s, n, key);
    case HALF_RENDER: return lanes::HalfRow32<V, HALF_RENDER>(d, s, n, key);
    case HALF_BLIT | HALF_KEYED: return lanes::HalfRow32<V, HALF_BLIT | HALF_KEYED>(d, s, n, key);
    default: return lanes::HalfRow32<V, HALF_RENDER | HALF_KEYED>(d, s, n, key);
  }
}

int HalfRow565(uint16_t* d, const uint16_t* s, int n, bool keyed, uint16_t key) {
  return lanes::HalfRow565<V>(d, s, n, keyed, key);
}

int ConvertRow16(int from, int to, bool keyed, uint16_t* d, const uint16_t* s, int n) {
  if (from == LANES_565)
    return to == LANES_565 ? lanes::ConvertRow16<V, LANES_565, LANES_565>(d, s, n, keyed)
                           : lanes::ConvertRow16<V, LANES_565, LANES_1555>(d, s, n, keyed);
  return to == LANES_565 ? lanes::ConvertRow16<V, LANES_1555, LANES_565>(d, s, n, keyed)
                         : lanes::ConvertRow16<V, LANES_1555, LANES_1555>(d, s, n, keyed);
}

namespace {
template <bool M>
int ModulateBlendLayouts16(int from, int to, uint16_t* d, const uint16_t* s, int n, const uint32_t mul[4],
                           const uint32_t add[4]) {
  if (from == LANES_565)
    return to == LANES_565 ? lanes::ModulateBlendRow16<V, LANES_565, LANES_565, M>(d, s, n, mul, add)
                           : lanes::ModulateBlendRow16<V, LANES_565, LANES_1555, M>(d, s, n, mul, add);
  return to == LANES_565 ? lanes::ModulateBlendRow16<V, LANES_1555, LANES_565, M>(d, s, n, mul, add)
                         : lanes::ModulateBlendRow16<V, LANES_1555, LANES_1555, M>(d, s, n, mul, add);
}

}  // namespace

int ModulateBlendRow16(int from, int to, uint16_t* d, const uint16_t* s, int n, const uint32_t mul[4],
                       const uint32_t add[4]) {
  const bool modulated = mul[0] != 255 || mul[1] != 255 || mul[2] != 255 || add[0] != 0 || add[1] != 0 || add[2] != 0;
  return modulated ? ModulateBlendLayouts16<true>(from, to, d, s, n, mul, add)
                   : ModulateBlendLayouts16<false>(from, to, d, s, n, mul, add);
}

}  // namespace t4::platform::raster::px::T4_LANES_NS
