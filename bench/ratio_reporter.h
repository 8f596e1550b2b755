// Time ratios taken within one run, so that the load of a shared machine cancels out: every case
// reports the bytes of its frame ("frame_bytes"), and its processor time is divided by the time of
// memcpy of as many bytes (BM_Memcpy/<bytes>) measured in the same run. A case named
// BM_Fx_<what> is also divided by BM_Ref_<what>, the straightforward loop written beside it. Each
// case runs several times (five unless --benchmark_repetitions says otherwise) and its minimum is
// taken. Goals on the ratios are checked at the end: a missed one prints "over goal" and makes the
// program exit with 1 (a goal whose case was filtered out is "not measured").
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

// A ceiling on one case's ratio, to memcpy of its bytes or to its straightforward loop.
struct RatioGoal {
  const char* name;  // the case, as the table names it
  const char* what;  // what the figure is, for the goal table
  bool toLoop;
  double most;
};

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  explicit RatioReporter(std::vector<RatioGoal> goals) : m_goals(std::move(goals)) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs) {
      if (r.run_type != Run::RT_Iteration || r.error_occurred) continue;
      const std::string name = r.run_name.str();
      const double ns = r.GetAdjustedCPUTime();
      auto [it, fresh] = m_min.try_emplace(name, ns);
      if (!fresh && ns < it->second) it->second = ns;
      if (fresh) m_order.push_back(name);
      const auto bytes = r.counters.find("frame_bytes");
      if (bytes != r.counters.end()) m_bytes[name] = static_cast<double>(bytes->second);
    }
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    std::printf("\n%-40s %12s %10s %10s\n", "case (minimum of the repetitions)", "cpu us", "x memcpy", "x loop");
    for (const std::string& name : m_order) {
      if (name.rfind("BM_Memcpy", 0) == 0 || name.rfind("BM_Ref_", 0) == 0) continue;
      std::printf("%-40s %12.1f", name.c_str(), m_min[name] / 1000);
      const double copy = ToMemcpy(name), loop = ToLoop(name);
      if (copy > 0)
        std::printf(" %10.2f", copy);
      else
        std::printf(" %10s", "-");
      if (loop > 0) std::printf(" %10.2f", loop);
      std::printf("\n");
    }
    std::printf("\n");
    for (const RatioGoal& g : m_goals) {
      const double ratio = g.toLoop ? ToLoop(g.name) : ToMemcpy(g.name);
      const bool met = ratio > 0 && ratio <= g.most;
      if (ratio > 0 && !met) m_missed = true;
      std::printf("goal | %-44s | %10.2f %-9s | <= %8.2f | %s\n", g.what, ratio, g.toLoop ? "x loop" : "x memcpy",
                  g.most,
                  ratio <= 0 ? "not measured"
                  : met      ? "met"
                             : "over goal");
    }
  }
  bool Missed() const { return m_missed; }

 private:
  static std::string MemcpyName(double bytes) { return "BM_Memcpy/" + std::to_string(static_cast<long long>(bytes)); }
  // The ratio of a case to memcpy of its bytes, or to its straightforward loop; 0 when either is
  // missing.
  double ToMemcpy(const std::string& name) {
    const auto bytes = m_bytes.find(name);
    const auto copy = bytes == m_bytes.end() ? m_min.end() : m_min.find(MemcpyName(bytes->second));
    const auto own = m_min.find(name);
    return copy == m_min.end() || own == m_min.end() ? 0 : own->second / copy->second;
  }
  double ToLoop(const std::string& name) {
    const auto ref = name.rfind("BM_Fx_", 0) == 0 ? m_min.find("BM_Ref_" + name.substr(6)) : m_min.end();
    const auto own = m_min.find(name);
    return ref == m_min.end() || own == m_min.end() ? 0 : own->second / ref->second;
  }

  std::vector<RatioGoal> m_goals;
  std::map<std::string, double> m_min;
  std::map<std::string, double> m_bytes;
  std::vector<std::string> m_order;
  bool m_missed = false;
};

// Runs the registered cases with five repetitions of at least a tenth of a second each (unless
// the command line sets them), prints the ratio table and checks `goals`; 1 when one is missed.
inline int RunWithRatios(int argc, char** argv, std::vector<RatioGoal> goals) {
  std::vector<char*> args(argv, argv + argc);
  bool reps = false, minTime = false;
  for (int i = 1; i < argc; ++i) {
    reps = reps || std::strncmp(argv[i], "--benchmark_repetitions", 23) == 0;
    minTime = minTime || std::strncmp(argv[i], "--benchmark_min_time", 20) == 0;
  }
  static char repsArg[] = "--benchmark_repetitions=5", minTimeArg[] = "--benchmark_min_time=0.1s";
  if (!reps) args.push_back(repsArg);
  if (!minTime) args.push_back(minTimeArg);
  int n = static_cast<int>(args.size());
  benchmark::Initialize(&n, args.data());
  RatioReporter reporter(std::move(goals));
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return reporter.Missed() ? 1 : 0;
}

}  // namespace t4::bench
