#include "receiver/sampling_thread.h"

#include <cstring>
#include <limits>

#include "platform/four_cc.h"
#include "platform/message.h"
#include "platform/messenger.h"
#include "platform/threads.h"
#include "platform/trace.h"
#include "receiver/duration_table.h"
#include "receiver/protocol_decoders.h"
#include "receiver/pulse_analysis.h"
#include "receiver/receiver_flags.h"

namespace {

constexpr int32_t kWall = 10000;        // a longer period is a gap between frames
constexpr int32_t kForcedPeriods = 66;  // more stored periods force an evaluation
constexpr int32_t kForcedWalls = 6;     // more walls force an evaluation
constexpr int32_t kClearWall = 4;       // the table is emptied at this wall
constexpr int32_t kNoCodeWalls = 8;     // more walls give the no-code report
constexpr int32_t kLoopReset = 245;
constexpr bigtime_t kReportPause = 10000;

// One set for the single receiver thread.
DurationTable g_table;
char g_code[kCodeTextSize];

// The Part's "lower 32 bits" would turn a long idle time into a negative period; a long
// period stays the longest one the table can hold.
int32_t TablePeriod(bigtime_t period) {
  if (period < 0) return 0;
  if (period > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(period);
}

void Send(const Message& message) {
  AppMessenger().SendMessage(message);
}

// A thread that leaves its sampling loop (killed, or its port gone) no longer scans: the flag
// must not keep the next receiver thread from starting.
struct LeavingLoopClearsFlag {
  ~LeavingLoopClearsFlag() { CHECK_SCAN_IR.store(0); }
};

}  // namespace

void ClearDataField(int32_t* table, ReceiverPort* port) {
  CHECK_SCAN_IR.store(0);
  std::memset(table, 0, sizeof(int32_t) * kDurationTableSize);
  if (port != nullptr) {
    port->ClearInput();
    port->ClearOutput();
  }
}

int32_t STH_scan_IR_pulse(void* data) {
  if (CHECK_SCAN_IR.load() != 0) {
    Send(Message(FourCC("irCE")));
    return SCIR_OOPS;
  }
  const auto* start = static_cast<const Message*>(data);
  if (start == nullptr) {
    Trace("BAD DATA-MESSAGE \n");
    Trace("idat==NULL\n");
    return 0;
  }
  const void* pointer = nullptr;
  start->FindPointer("_serPtr", &pointer);
  auto* port = static_cast<ReceiverPort*>(const_cast<void*>(pointer));
  if (port == nullptr) {
    Trace("** STH_scan_M_infrared no device **\n");
    Send(Message(FourCC("ir--")));
    return SCIR_NO_DEVICE;
  }

  CHECK_SCAN_IR.store(1);
  const LeavingLoopClearsFlag clear_on_exit;
  std::strcpy(g_code, "-------- -------- ");
  std::memset(g_table, 0, sizeof g_table);
  int32_t walls = 0;
  int32_t great_walls = 0;
  bool evaluate = false;
  int32_t n = 0;
  int32_t valid_bits = 0;

  port->SetDTR(true);
  port->SetTimeout(250000);

  Message report(FourCC("irCE"));
  report.AddString("_blink", g_code);
  report.AddInt32("_remotetype", 0);
  report.AddInt32("_ValidBits", 0);
  report.AddPointer("_BitDatas", g_table);
  report.AddBool("_runCont", true);
  report.AddBool("_slowdown", false);
  Send(report);
  snooze(kReportPause);

  int32_t loops = 0;
  for (;;) {
    // 1-3: time one level period from the start of this cycle's wait.
    CHECK_SCAN_IR.store(1);
    int32_t force = 0;
    const bigtime_t t0 = system_time();
    bigtime_t measured = 0;
    const status_t status = port->WaitForChange(t0, &measured);
    if (status == kTimedOut) return 0;  // a recording on a virtual clock has ended
    if (status != kOk) {
      // The device went away (an unplugged adapter): report a port without device.
      Trace("** snif_thread: %s **\n", StatusText(status).c_str());
      CHECK_SCAN_IR.store(0);
      Send(Message(FourCC("ir--")));
      return SCIR_NO_DEVICE;
    }
    const int32_t period = TablePeriod(measured);
    if (n >= kDurationTableSize) n = 0;  // cannot happen: evaluation empties it at 67
    g_table[n++] = period;

    // 4: walls.
    if (period > kWall) {
      ++walls;
      CHECK_SCAN_IR.store(1);
      if (walls == kClearWall) {
        ClearDataField(g_table, port);
        n = 0;
      }
      if (walls > kNoCodeWalls) {
        ClearDataField(g_table, port);
        walls = 0;
        g_code[1] = '\0';
        report.ReplaceString("_blink", g_code);
        report.ReplaceBool("_slowdown", SLOWDOWN_GLOBAL.load());
        CHECK_SCAN_IR.store(0);
        valid_bits = 0;
        report.ReplaceInt32("_ValidBits", 0);
        great_walls = 0;
        evaluate = false;
        n = 0;
        report.ReplaceInt32("_remotetype", 0);
        Send(report);
      }
    }

    // 5: evaluation triggers.
    if (n > kForcedPeriods) {
      evaluate = true;
      force = kWall + 1;
      Trace("** erzwingen-DNr \n");
    }
    if (walls > kForcedWalls) {
      evaluate = true;
      force = kWall + 1;
      Trace("** erzwingen-VB \n");
    }

    // 6: evaluation.
    if (evaluate && force > kWall) {
      loops = 0;
      port->ClearInput();
      std::strcpy(g_code, "-empty-");
      valid_bits = CountValidBits(g_table, false);
      report.ReplaceInt32("_ValidBits", valid_bits);
      Trace(" GWall %ld ValidBits %ld \n", static_cast<long>(walls), static_cast<long>(valid_bits));
      int32_t family = 0;
      if (ProtocolDecoder decoder = DecoderForValidBits(valid_bits, &family)) {
        decoder(g_table, g_code);
        g_code[0] = '-';
        report.ReplaceInt32("_remotetype", family);
        report.ReplaceString("_blink", g_code);
        walls = 0;
        SLOWDOWN_GLOBAL.store(false);
        report.ReplaceBool("_slowdown", false);
        Send(report);
        snooze(kReportPause);
        great_walls = 0;
        evaluate = false;
        valid_bits = 0;
        report.ReplaceInt32("_ValidBits", 0);
        CHECK_SCAN_IR.store(0);
        ClearDataField(g_table, port);
        n = 0;
        suspend_thread(find_thread(nullptr));
      } else {
        ShowTiming(g_table, n + 4);
        valid_bits = 0;
        great_walls = 0;
        report.ReplaceInt32("_ValidBits", 0);
        report.ReplaceInt32("_remotetype", 0);
        evaluate = false;
        ClearDataField(g_table, nullptr);
        n = 0;
      }
    }

    // 7-9.
    if (loops == kLoopReset) {
      loops = 0;
      port->ClearInput();
      port->ClearOutput();
      Trace(" +reset loops\n");
    }
    if (force > kWall) {
      n = 0;
      evaluate = false;
      g_code[1] = '\0';
      ++great_walls;
      Trace(" GREATWALL %ld \n", static_cast<long>(great_walls));
    }
    ++loops;
  }
}
