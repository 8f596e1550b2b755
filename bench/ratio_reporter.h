// Time ratios taken within one run, so that the load of a shared machine cancels out: every case
// reports the bytes of its frame ("frame_bytes"), and its time is divided by the time of memcpy of
// as many bytes (BM_Memcpy/<bytes>) measured in the same run. A case named BM_Fx_<what> is also
// divided by BM_Ref_<what>, the straightforward loop written beside it. With repetitions the
// minimum of each case is taken.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace t4::bench {

inline void MemcpyCase(benchmark::State& state) {
  const auto bytes = static_cast<size_t>(state.range(0));
  std::vector<uint8_t> a(bytes, 1), b(bytes);
  for (auto _ : state) {
    std::memcpy(b.data(), a.data(), bytes);
    benchmark::DoNotOptimize(b.data());
    benchmark::ClobberMemory();
  }
  state.counters["frame_bytes"] = static_cast<double>(bytes);
}

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs) {
      if (r.run_type != Run::RT_Iteration || r.error_occurred) continue;
      const std::string name = r.run_name.str();
      const double ns = r.GetAdjustedRealTime();
      auto [it, fresh] = m_min.try_emplace(name, ns);
      if (!fresh && ns < it->second) it->second = ns;
      if (fresh) m_order.push_back(name);
      const auto bytes = r.counters.find("frame_bytes");
      if (bytes != r.counters.end()) m_bytes[name] = static_cast<double>(bytes->second);
    }
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    std::printf("\n%-40s %12s %10s %10s\n", "case (minimum of the repetitions)", "time us", "x memcpy", "x loop");
    for (const std::string& name : m_order) {
      if (name.rfind("BM_Memcpy", 0) == 0 || name.rfind("BM_Ref_", 0) == 0) continue;
      const double ns = m_min[name];
      std::printf("%-40s %12.1f", name.c_str(), ns / 1000);
      const auto bytes = m_bytes.find(name);
      const auto copy = bytes == m_bytes.end() ? m_min.end() : m_min.find(MemcpyName(bytes->second));
      if (copy != m_min.end()) std::printf(" %10.2f", ns / copy->second);
      else std::printf(" %10s", "-");
      const auto ref = name.rfind("BM_Fx_", 0) == 0 ? m_min.find("BM_Ref_" + name.substr(6)) : m_min.end();
      if (ref != m_min.end()) std::printf(" %10.2f", ns / ref->second);
      std::printf("\n");
    }
  }

 private:
  static std::string MemcpyName(double bytes) { return "BM_Memcpy/" + std::to_string(static_cast<long long>(bytes)); }
  std::map<std::string, double> m_min;
  std::map<std::string, double> m_bytes;
  std::vector<std::string> m_order;
};

inline int RunWithRatios(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}

}  // namespace t4::bench
