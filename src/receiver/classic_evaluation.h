#pragma once
// The classic bookkeeping of the receiver thread over one level period at a time: the duration
// table, the wall count (the table is emptied at the 4th wall, the burst is evaluated at the 7th
// wall or once 67 periods are stored, the no-code report comes at the 9th), the evaluation by
// valid-bit count and the loop counter. It does no waiting and sends nothing: the thread does
// that with what Add() returns, so the same steps also run on periods that come from elsewhere
// (the burst evaluation replays a burst through it).
//
//   ClassicEvaluation classic(port, &flags, true);
//   for (;;) {
//     ... wait for the next change ...
//     switch (classic.Add(period)) { ... send classic.Code() etc. ... }
//     classic.FinishCycle();
//   }
#include <cstdint>

#include "platform/lines/receiver_port.h"
#include "receiver/duration_table.h"
#include "receiver/protocol_decoders.h"
#include "receiver/receiver_flags.h"

namespace koru {

class ClassicEvaluation {
 public:
  enum class Outcome {
    kCollecting,  // nothing to send
    kNoCode,      // the 9th wall: the no-code report ("-", family 0, 0 bits)
    kDecoded,     // a decoder ran: Code(), Family() and ValidBits() are the report
  };

  // `port` gets its queues cleared where the classic loop clears them, `flags` the
  // `scanning` writes; either may be null. `trace` writes the loop's trace lines.
  ClassicEvaluation(ReceiverPort* port, ReceiverFlags* flags, bool trace);

  // The state a fresh thread starts with (empty table, no walls, start text).
  void Start();
  // Stores one period and runs the wall handling and the evaluation (steps 3 to 6). After
  // kDecoded the table is already empty again; the caller sends, sleeps and suspends.
  Outcome Add(int32_t period);
  // Drops the periods stored so far (edges were lost on the line).
  void DropBurst();
  // The end of every cycle (loop counter, the cut code text after an evaluation).
  void FinishCycle();

  const char* Code() const { return code_; }
  int32_t Family() const { return family_; }
  int32_t ValidBits() const { return reported_bits_; }
  const int32_t* Table() const { return table_; }
  int32_t* Table() { return table_; }
  int32_t Walls() const { return walls_; }
  // The decoders' work buffers of this evaluation; whoever decodes on its behalf uses them.
  DecoderWork& Work() { return work_; }

 private:
  void Clear(bool with_port, bool stop_scanning);

  ReceiverPort* const port_;
  ReceiverFlags* const flags_;
  const bool trace_;

  DurationTable table_{};
  DecoderWork work_;
  char code_[kCodeTextSize] = {};
  int32_t n_ = 0;
  int32_t walls_ = 0;
  int32_t great_walls_ = 0;
  int32_t loops_ = 0;
  int32_t family_ = 0;
  int32_t reported_bits_ = 0;
  bool evaluate_ = false;
  bool forced_ = false;  // this cycle ran an evaluation
};

}  // namespace koru
