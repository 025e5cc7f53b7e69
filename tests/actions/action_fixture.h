#pragma once
// Actions against fakes, on a virtual clock so that their pauses cost nothing.
#include <gtest/gtest.h>

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

  // The messages sent, as "TARGET 'what'" lines (targets: window, window*, app, app:SIG).
  std::vector<std::string> SentSummary() const {
    std::vector<std::string> lines;
    for (const FakeDesktop::Sent& sent : desktop.sent) {
      static const char* const kKinds[] = {"window", "window*", "app", "app:"};
      std::string target = kKinds[static_cast<int>(sent.target.kind)];
      if (sent.target.kind == MessageTarget::Kind::kApp) target += sent.target.signature;
      lines.push_back(target + " '" + FourCCText(sent.message.what) + "'");
    }
    return lines;
  }

  static std::vector<uint8_t> States(const Message& message) {
    const Message::RawData* data = nullptr;
    if (message.FindData("states", kUint8Type, &data) != kOk) return {};
    return *data;
  }

  static std::vector<std::string> FieldNames(const Message& message) {
    std::vector<std::string> names;
    for (int32_t i = 0; i < message.CountNames(); ++i) names.push_back(message.NameAt(i));
    return names;
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
