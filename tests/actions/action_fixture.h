#pragma once
// Actions against fakes, on a virtual clock so that their pauses cost nothing.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "actions/action_services.h"
#include "actions/actions.h"
#include "actions/key_message.h"
#include "platform/desktop/fake_desktop.h"
#include "platform/media/fake_media_players.h"
#include "platform/messaging/alert.h"
#include "platform/messaging/clock.h"
#include "platform/messaging/trace.h"

namespace koru {

// The mute button, as a test sees it.
struct Indicator : MuteIndicator {
  bool shown = false;
  bool IsShown() const override { return shown; }
  void SetShown(bool on) override { shown = on; }
};

class ActionTest : public ::testing::Test {
 protected:
  ActionTest() {
    SetThreadClock(&clock);
    services.desktop = &desktop;
    services.players = &players;
    services.mixer = &mixer;
    services.launcher = &launcher;
    SetAlertPresenter([this](const std::string& text) { alerts.push_back(text); });
  }
  ~ActionTest() override {
    SetAlertPresenter(nullptr);
    SetThreadClock(nullptr);
  }

  // The messages sent, one a line: "TARGET 'what'" (targets: window, window*, app, app:SIG),
  // then the keys and the modifiers the desktops act on ("key 0x57 mod 0x30").
  std::vector<std::string> SentSummary() const {
    std::vector<std::string> lines;
    for (const FakeDesktop::Sent& sent : desktop.sent) {
      static const char* const kKinds[] = {"window", "window*", "app", "app:"};
      std::string line = kKinds[static_cast<int>(sent.target.kind)];
      if (sent.target.kind == MessageTarget::Kind::kApp) line += sent.target.signature;
      line += " '" + FourCCText(sent.message.what) + "'";
      const auto hex = [](int32_t value) {
        char text[16];
        std::snprintf(text, sizeof text, "0x%x", static_cast<unsigned>(value));
        return std::string(text);
      };
      int32_t value = 0;
      for (int32_t i = 0; sent.message.FindInt32("key", &value, i) == kOk; ++i)
        line += " key " + hex(value);
      if (sent.message.FindInt32("modifiers", &value) == kOk) line += " mod " + hex(value);
      lines.push_back(line);
    }
    return lines;
  }

  VirtualClock clock{1'000'000};
  FakeDesktop desktop;
  FakeMediaPlayers players;
  FakeMixer mixer;
  FakeLauncher launcher;
  ActionServices services;
  std::vector<std::string> alerts;
  TraceCapture trace;
};

}  // namespace koru
