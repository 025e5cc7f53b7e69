#pragma once
// The desktop services of a dry run (--dry-run): keys are recognised and routed as usual, but
// what an action would change on the desktop is traced as "would ..." and not done. What the
// actions read (running applications, workspaces, the pointer, players, the mixer) still comes
// from the real services, so the trace shows the decisions a real run would take. The mute is
// kept here: the "MUTED" button shows what a real run would have made of it.
//
//   DesktopServices services = CreateDesktopServices();
//   if (dry_run) services = DryRunServices(std::move(services));
#include "platform/desktop_services.h"

namespace koru {

DesktopServices DryRunServices(DesktopServices real);

}  // namespace koru
