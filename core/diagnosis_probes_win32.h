// The system's probes of the diagnosis: an ICMPv6 echo through the IP
// helper library, the AAAA records of a name through the DNS library (both
// loaded from the system folder at first use) and a TCP connection through
// Windows Sockets. And the seam through which the windows and /diagnose
// take them, which tests fill with a stand-in.
#pragma once

#include <functional>
#include <memory>

#include "core/diagnosis_probes.h"

namespace vantoric {

class CSystemProbes : public CDiagnosisProbes {
 public:
  CProbeOutcome Echo(const CProbeAddress& to, std::size_t payloadBytes, const CProbeBudget& budget) override;
  CProbeOutcome ResolveAaaa(const std::string& name, const CProbeBudget& budget) override;
  CProbeOutcome Connect(const CProbeAddress& to, std::uint16_t port, const CProbeBudget& budget) override;
};

// Makes the probe set of one diagnosis. An empty function makes the
// system's; tests install one that makes stand-ins.
using DiagnosisProbesMaker = std::function<std::shared_ptr<CDiagnosisProbes>()>;
void SetDiagnosisProbesSource(DiagnosisProbesMaker maker);
std::shared_ptr<CDiagnosisProbes> MakeDiagnosisProbes();

}  // namespace vantoric
