#include "core/diagnosis_probes.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <utility>

#include "core/address_guards.h"

namespace vantoric {

namespace {

using Clock = std::chrono::steady_clock;

bool IsLinkLocal(const std::string& address) {
  CIpv6Bytes bytes{};
  return ParseIpv6Bytes(address, bytes) && bytes[0] == 0xfe && (bytes[1] & 0xc0) == 0x80;
}

// A link-local address goes out through the diagnosed adapter's zone.
CProbeAddress OnLink(const std::string& address, std::uint32_t zone) {
  return {address, IsLinkLocal(address) ? zone : 0};
}

CProbeStep Step(ProbeKind kind, ProbePurpose purpose) {
  CProbeStep step;
  step.m_kind = kind;
  step.m_purpose = purpose;
  return step;
}

// The shared state of one run: the threads of the probes write their
// outcomes here, and may outlive the run that waited for them.
struct CRunState {
  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::vector<CProbeStep> m_steps;
  std::vector<CProbeOutcome> m_outcomes;
  std::vector<bool> m_finished;
  std::atomic<bool> m_stop{false};
};

CProbeOutcome CallProbe(CDiagnosisProbes& probes, const CProbeStep& step, const CProbeBudget& budget) {
  switch (step.m_kind) {
    case ProbeKind::Echo:
      return probes.Echo(step.m_to, step.m_nPayload, budget);
    case ProbeKind::Resolve:
      return probes.ResolveAaaa(step.m_strName, budget);
    case ProbeKind::Connect:
      return probes.Connect(step.m_to, REACHABILITY_PORT, budget);
  }
  return {};
}

void Finish(CRunState& state, std::size_t index, CProbeOutcome outcome) {
  if (state.m_finished[index]) return;
  state.m_outcomes[index] = std::move(outcome);
  state.m_finished[index] = true;
}

// Starts probe `index` on a thread of its own; false when no thread could
// be made (the probe then counts as failed).
bool Launch(const std::shared_ptr<CRunState>& state, std::size_t index, const std::shared_ptr<CDiagnosisProbes>& probes,
            std::uint32_t boundMs) {
  try {
    std::thread([state, index, probes, boundMs] {
      CProbeStep step;
      {
        const std::lock_guard<std::mutex> lock(state->m_mutex);
        step = state->m_steps[index];
      }
      const CProbeBudget budget{boundMs, &state->m_stop};
      const Clock::time_point started = Clock::now();
      CProbeOutcome outcome;
      try {
        outcome = CallProbe(*probes, step, budget);
      } catch (...) {
        outcome.m_result = ProbeResult::Failed;
      }
      outcome.m_nMs = static_cast<std::uint32_t>(
          std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started).count());
      {
        const std::lock_guard<std::mutex> lock(state->m_mutex);
        Finish(*state, index, std::move(outcome));
      }
      state->m_changed.notify_all();
    }).detach();
    return true;
  } catch (...) {
    CProbeOutcome failed;
    failed.m_result = ProbeResult::Failed;
    Finish(*state, index, failed);
    return false;
  }
}

CProbeOutcomes Collect(const CRunState& state, const std::string& targetAddress, bool bCancelled) {
  CProbeOutcomes outcomes;
  outcomes.m_strTargetAddress = targetAddress;
  outcomes.m_bCancelled = bCancelled;
  for (std::size_t i = 0; i < state.m_steps.size(); ++i) {
    const CProbeStep& step = state.m_steps[i];
    const CProbeOutcome& outcome = state.m_outcomes[i];
    switch (step.m_purpose) {
      case ProbePurpose::Router:
        outcomes.m_router = outcome;
        break;
      case ProbePurpose::DnsServer:
        if (outcomes.m_dnsServers.size() <= step.m_nServer) outcomes.m_dnsServers.resize(step.m_nServer + 1);
        outcomes.m_dnsServers[step.m_nServer] = outcome;
        break;
      case ProbePurpose::Resolve:
        outcomes.m_resolve = outcome;
        break;
      case ProbePurpose::Connect:
        outcomes.m_connect = outcome;
        break;
      case ProbePurpose::SmallEcho:
        outcomes.m_smallEcho = outcome;
        break;
      case ProbePurpose::LargeEcho:
        outcomes.m_largeEcho = outcome;
        break;
    }
  }
  return outcomes;
}

}  // namespace

bool CDiagnosisTarget::IsAddress() const {
  CIpv6Bytes bytes{};
  return ParseIpv6Bytes(m_strHost, bytes);
}

CProbeAddress CDiagnosisTarget::Address() const {
  if (!IsAddress()) return {};
  const std::size_t percent = m_strHost.find('%');
  CProbeAddress address{m_strHost.substr(0, percent), 0};
  if (percent == std::string::npos) return address;
  // Only a numeric zone names an interface here.
  std::uint32_t zone = 0;
  for (std::size_t i = percent + 1; i < m_strHost.size(); ++i) {
    const char c = m_strHost[i];
    if (c < '0' || c > '9' || zone > 0xFFFFFFFFu / 10) return address;
    zone = zone * 10 + static_cast<std::uint32_t>(c - '0');
  }
  address.m_nScopeId = zone;
  return address;
}

std::vector<CProbeStep> PlanProbes(const CProbeNeeds& needs, const CDiagnosisTarget& target) {
  std::vector<CProbeStep> plan;
  if (!needs.m_strRouter.empty()) {
    CProbeStep router = Step(ProbeKind::Echo, ProbePurpose::Router);
    router.m_to = OnLink(needs.m_strRouter, needs.m_nZone);
    router.m_nPayload = SMALL_ECHO_BYTES;
    plan.push_back(router);
  }
  for (std::size_t i = 0; i < needs.m_dnsServers.size(); ++i) {
    CProbeStep server = Step(ProbeKind::Echo, ProbePurpose::DnsServer);
    server.m_to = OnLink(needs.m_dnsServers[i], needs.m_nZone);
    server.m_nPayload = SMALL_ECHO_BYTES;
    server.m_nServer = i;
    plan.push_back(server);
  }
  const bool bByName = !target.IsAddress();
  if (bByName) {
    CProbeStep resolve = Step(ProbeKind::Resolve, ProbePurpose::Resolve);
    resolve.m_strName = target.m_strHost;
    plan.push_back(resolve);
  }
  const CProbeAddress address = target.Address();
  const auto toTarget = [&](ProbeKind kind, ProbePurpose purpose, std::size_t payload) {
    CProbeStep step = Step(kind, purpose);
    step.m_to = address;
    step.m_nPayload = payload;
    step.m_bAfterResolve = bByName;
    plan.push_back(step);
  };
  toTarget(ProbeKind::Connect, ProbePurpose::Connect, 0);
  toTarget(ProbeKind::Echo, ProbePurpose::SmallEcho, SMALL_ECHO_BYTES);
  toTarget(ProbeKind::Echo, ProbePurpose::LargeEcho, FULL_PACKET_ECHO_BYTES);
  return plan;
}

CProbeOutcomes RunProbes(const std::vector<CProbeStep>& plan, std::shared_ptr<CDiagnosisProbes> probes,
                         std::uint32_t boundMs, const std::function<bool()>& isCancelled,
                         const ProbeProgress& progress) {
  const auto state = std::make_shared<CRunState>();
  state->m_steps = plan;
  state->m_outcomes.resize(plan.size());
  state->m_finished.assign(plan.size(), false);
  const auto waitLimit = std::chrono::milliseconds(boundMs);
  const std::uint32_t budgetMs = boundMs - std::min(PROBE_GRACE_MS, boundMs / 4);
  std::vector<Clock::time_point> deadlines(plan.size(), Clock::time_point::max());
  std::string targetAddress;
  bool bTargetsDecided = true;
  bool bCancelled = false;

  std::unique_lock<std::mutex> lock(state->m_mutex);
  for (std::size_t i = 0; i < plan.size(); ++i) {
    if (plan[i].m_bAfterResolve) {
      bTargetsDecided = false;
      continue;
    }
    if (plan[i].m_purpose == ProbePurpose::Connect) targetAddress = plan[i].m_to.m_strAddress;
    deadlines[i] = Clock::now() + waitLimit;
    Launch(state, i, probes, budgetMs);
  }
  for (;;) {
    const Clock::time_point now = Clock::now();
    std::size_t done = 0;
    for (std::size_t i = 0; i < plan.size(); ++i) {
      if (!state->m_finished[i] && now >= deadlines[i]) {
        CProbeOutcome late;
        late.m_result = ProbeResult::TimedOut;
        late.m_nMs = boundMs;
        Finish(*state, i, late);
      }
      if (!bTargetsDecided && plan[i].m_purpose == ProbePurpose::Resolve && state->m_finished[i]) {
        // The lookup has answered: the target probes go to its first
        // address, or are not sent at all.
        bTargetsDecided = true;
        const CProbeOutcome& resolved = state->m_outcomes[i];
        const bool bFound = resolved.m_result == ProbeResult::Answered && !resolved.m_addresses.empty();
        if (bFound) targetAddress = resolved.m_addresses.front();
        for (std::size_t j = 0; j < plan.size(); ++j) {
          if (!plan[j].m_bAfterResolve) continue;
          if (!bFound) {
            Finish(*state, j, {});
            continue;
          }
          state->m_steps[j].m_to = {targetAddress, 0};
          deadlines[j] = Clock::now() + waitLimit;
          Launch(state, j, probes, budgetMs);
        }
      }
    }
    for (std::size_t i = 0; i < plan.size(); ++i) done += state->m_finished[i] ? 1 : 0;
    lock.unlock();
    if (progress) progress(done, plan.size());
    bCancelled = isCancelled && isCancelled();
    lock.lock();
    if (bCancelled || done == plan.size()) break;
    Clock::time_point wake = Clock::now() + std::chrono::milliseconds(25);
    for (const Clock::time_point& deadline : deadlines) wake = std::min(wake, deadline);
    state->m_changed.wait_until(lock, wake);
  }
  if (bCancelled) {
    CProbeOutcome cancelled;
    cancelled.m_result = ProbeResult::Cancelled;
    for (std::size_t i = 0; i < plan.size(); ++i) Finish(*state, i, cancelled);
  }
  // Probes still under way may stop early; their outcomes no longer count.
  state->m_stop = true;
  return Collect(*state, targetAddress, bCancelled);
}

}  // namespace vantoric
