// The "Diagnose" page of Advanced Settings: why IPv6 does or does not work
// on the chosen adapter. Run reads and probes on a thread of its own (the
// page shows the progress, and Run becomes Cancel meanwhile), then lists
// each check with its verdict; the highlighted check's evidence and what to
// do show below, with a button that opens the page that does it. The
// conclusion line sums it up; Copy report and Save report hand the report
// on as text or JSON. Nothing on the machine is changed.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "controls/sortable_list_win32.h"
#include "core/diagnosis_reading_win32.h"
#include "dialogs/settings_page_win32.h"

namespace vantoric {

class CDiagnosePage : public CAdapterSettingsPage {
 public:
  // Chooser entry i is adapterNames[i].
  explicit CDiagnosePage(std::vector<std::string> adapterNames);
  ~CDiagnosePage() override;

 protected:
  void OnInitPage() override;
  // Another adapter was chosen: the report of the one before goes.
  void ReadAgain() override;
  bool OnCommand(UINT nId, UINT nCode, HWND hCtl) override;
  bool OnNotify(NMHDR* pHdr, LRESULT& result) override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
  void OnDestroy() override;

  void OnRun();
  void OnCancelRun();
  void OnFix();
  void OnCopy();
  void OnSave();
  // The run's progress, and its end.
  void OnProgress(std::size_t done, std::size_t planned);
  void OnRunEnded();

  void ShowRunning(bool bRunning);
  void ShowReport();
  // The highlighted check's evidence and advice, and its page button.
  void ShowDetails();
  const CCheckResult* SelectedCheck() const;
  // Waits for the run's thread (after telling it to stop).
  void JoinRun();

  // What the run's thread and the page share: the thread may outlive the
  // page's interest in it, never the page's window.
  struct CRun {
    std::atomic<bool> m_bCancel{false};
    std::mutex m_mutex;
    CDiagnosisReading m_reading;  // what was read (its state tells a failure)
    CDiagnosisReport m_report;
  };

  CBrekListCtrl m_listChecks;
  std::shared_ptr<CRun> m_pRun;
  std::thread m_thread;
  bool m_bRunning = false;
  bool m_bHasReport = false;
  CDiagnosisReport m_report;
};

}  // namespace vantoric
