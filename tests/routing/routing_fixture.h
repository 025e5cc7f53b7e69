#pragma once
// The main window on fakes: receiver reports in, actions out on a recording desktop.
#include <QCheckBox>
#include <QLabel>
#include <QTextEdit>
#include <bitset>
#include <fstream>

#include "platform/fake_desktop.h"
#include "platform/fake_media_players.h"
#include "platform/trace.h"
#include "shell/shell_fixture.h"

class RoutingTest : public ShellTest {
 protected:
  // A code text as the receiver sends it: signature prefix, the bytes, family suffix.
  static std::string CodeText(int header, int byte2, int byte3) {
    return "-" + std::bitset<8>(header / 1000).to_string() +
           std::bitset<8>(header % 1000).to_string() + "-" + std::bitset<8>(byte2).to_string() +
           std::bitset<8>(byte3).to_string() + "-1x";
  }
  void Report(const std::string& blink, int32_t type = 1) {
    Message report(FourCC("irCE"));
    report.AddString("_blink", blink);
    report.AddInt32("_remotetype", type);
    report.AddInt32("_ValidBits", 33);
    report.AddPointer("_BitDatas", nullptr);
    report.AddBool("_runCont", true);
    report.AddBool("_slowdown", false);
    Window()->MessageReceived(&report);
    Window()->WaitForActions();
  }
  void Key(int header, int byte2, int byte3 = 0) { Report(CodeText(header, byte2, byte3)); }
  void WritePresets(const std::string& lines) {
    std::ofstream(Program() / "_Remotes_" / "_preset_") << lines;
    Post(FourCC("irRP"));
  }
  std::string Log() { return Window()->fTextView->toPlainText().toStdString(); }
};

// Codes of built-in remotes: LR-SAT (one byte), DENON (two bytes).
constexpr int kLrSat = 253128;
constexpr int kLrSatN1 = 179, kLrSatN2 = 211, kLrSatN3 = 147;
constexpr int kLrSatN0 = 243, kLrSatN4 = 227, kLrSatUp = 221, kLrSatVolUp = 205, kLrSatMute = 245;
constexpr int kLrSatOk = 213, kLrSatMenu = 149, kLrSatFav = 197;
