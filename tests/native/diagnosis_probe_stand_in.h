// A stand-in for the diagnosis's probe set, for tests and benchmarks: each
// probe answers as the test's script says, after the script's delay (cut
// short when the run is cancelled), and every probe sent is recorded.
// Nothing leaves the process.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/diagnosis_probes.h"

namespace vantoric::test {

class CStandInProbes : public CDiagnosisProbes {
 public:
  struct CScript {
    CProbeOutcome outcome;
    std::uint32_t delayMs = 0;
  };
  // The answer to a probe described as "echo <address> <bytes>", "resolve
  // <name>" or "connect <address> <port>"; Answered at once without one.
  std::function<CScript(const std::string& what)> m_script;

  CProbeOutcome Echo(const CProbeAddress& to, std::size_t bytes, const CProbeBudget& budget) override {
    return Run("echo " + to.m_strAddress + " " + std::to_string(bytes), budget);
  }
  CProbeOutcome ResolveAaaa(const std::string& name, const CProbeBudget& budget) override {
    return Run("resolve " + name, budget);
  }
  CProbeOutcome Connect(const CProbeAddress& to, std::uint16_t port, const CProbeBudget& budget) override {
    return Run("connect " + to.m_strAddress + " " + std::to_string(port), budget);
  }
  // Every probe sent, in the order they began.
  std::vector<std::string> Sent() {
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_sent;
  }

 private:
  CProbeOutcome Run(const std::string& what, const CProbeBudget& budget) {
    {
      const std::lock_guard<std::mutex> lock(m_mutex);
      m_sent.push_back(what);
    }
    CScript script;
    script.outcome.m_result = ProbeResult::Answered;
    if (m_script) script = m_script(what);
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(script.delayMs);
    while (std::chrono::steady_clock::now() < end && !budget.Cancelled())
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    return script.outcome;
  }
  std::mutex m_mutex;
  std::vector<std::string> m_sent;
};

}  // namespace vantoric::test
