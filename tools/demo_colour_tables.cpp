// The 8-bit mixing tables of the demo, one per palette variation: entry [a + b * 256] is the palette
// index nearest to the half-and-half mix of index a over index b, on the palette as that variation
// arranges it (entries 16 to 207 turned by 16 x n, or one 16-colour block copied over them).
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "demo_project.h"

namespace demo {
namespace {

std::vector<uint32_t> VariationPalette(int n) {
  std::vector<uint32_t> p = Colours();
  if (n < 12) {
    std::rotate(p.begin() + 16, p.begin() + 16 + 16 * n, p.begin() + 208);
  } else {
    const std::vector<uint32_t> block(p.begin() + 16 * (n - 11), p.begin() + 16 * (n - 10));
    for (int b = 1; b <= 12; ++b) std::copy(block.begin(), block.end(), p.begin() + 16 * b);
  }
  return p;
}

int Channel(uint32_t c, int shift) { return static_cast<int>((c >> shift) & 0xFF); }

std::string MixingTable(const std::vector<uint32_t>& p) {
  std::string table(65536, '\0');
  for (int a = 0; a < 256; ++a)
    for (int b = 0; b <= a; ++b) {
      int best = 1, bestDistance = 1 << 30;
      // Index 0 is the transparent colour: a mix never lands on it.
      for (int i = 1; i < 256; ++i) {
        int distance = 0;
        for (int shift : {16, 8, 0}) {
          const int d = (Channel(p[a], shift) + Channel(p[b], shift)) / 2 - Channel(p[i], shift);
          distance += d * d;
        }
        if (distance < bestDistance) bestDistance = distance, best = i;
      }
      table[a + b * 256] = table[b + a * 256] = static_cast<char>(best);
    }
  return table;
}

}  // namespace

bool WriteColourTables() {
  for (int n = 0; n < 24; ++n) {
    char path[32];
    std::snprintf(path, sizeof(path), "bmp/hbt/hbt%02d.dat", n);
    if (!WriteBytes(path, MixingTable(VariationPalette(n)))) return false;
  }
  return true;
}

}  // namespace demo
