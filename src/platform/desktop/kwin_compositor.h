#pragma once
// KDE Plasma: KWin on the session bus. Workspaces are its virtual desktops (org.kde.KWin
// /VirtualDesktopManager). Windows are only visible to KWin scripts, so each request (the
// window list, the active window, focusing or closing one) is a small script that KORU writes,
// loads and runs over org.kde.KWin /Scripting, and that reports back by calling an object KORU
// registers on its own bus connection. One script serves Plasma 5 and 6 alike.
//
// KWin delivers the report while the caller waits: the receiving object lives in a thread of
// its own with a Qt event loop, since the caller (the action thread) has none.
#include <chrono>
#include <memory>
#include <string>

#include "platform/desktop/compositor.h"

namespace koru {

class KWinCompositor : public Compositor {
 public:
  ~KWinCompositor() override;

  std::string DesktopName() const override { return "KDE Plasma"; }
  CompositorBackends Backends() const override;
  // Why each missing capability is missing, and what would enable it; empty where it works.
  CompositorBackends WhyNot() const override;
  CompositorBackends Remedies() const override;

  std::vector<CompositorWindow> Windows() override;
  std::optional<CompositorWindow> FocusedWindow() override;
  // kEntryNotFound when KWin no longer has the window, kTimedOut when the script never reported.
  status_t Focus(const CompositorWindow& window) override;
  status_t Close(const CompositorWindow& window) override;

  // The size of all screens together, in logical pixels: one script run.
  ScreenSize LayoutSize() override;

  int32_t CountWorkspaces() override;
  int32_t CurrentWorkspace() override;
  status_t ActivateWorkspace(int32_t index) override;

  // How long a request waits for its script's report.
  static constexpr std::chrono::milliseconds kReportTimeout{2000};

 private:
  struct Impl;
  friend std::unique_ptr<KWinCompositor> OpenKWinCompositor(std::string*,
                                                            std::chrono::milliseconds);
  explicit KWinCompositor(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

// The adapter when KWin is on the session bus and offers its virtual desktops or its scripting;
// else null with the reason.
std::unique_ptr<KWinCompositor> OpenKWinCompositor(
    std::string* why_not,
    std::chrono::milliseconds report_timeout = KWinCompositor::kReportTimeout);

}  // namespace koru
