#pragma once
// Finding the remote and the key function of a received code: the list is walked from the last
// record to the first, so later records take precedence.
#include <cstdint>
#include <string>
#include <string_view>

#include "receiver/receiver_report.h"
#include "remotes/remote_definition.h"

namespace koru {

struct KeyMatch {
  int32_t key_function = kUnknownRemote;  // 51..100, 49 code not found, 50 no such header
  int32_t key_value = 0;                  // the code last looked up (as the walk left it)
  bool found = false;
  bool shown_value = false;  // a record with the header was met (key value label set)
  std::string remote_label;  // name of the matched record, "-unknown-" without a match
  std::string key_label;     // label of the key function, "-?-" without a match
  // The matched record; without a match the last record tried (the first of the list); null
  // for an empty list.
  const RemoteDefinition* remote = nullptr;
};

// header = byte0 * 1000 + byte1. One-byte remotes look up byte2 (byte2 / 10 with hysteresis),
// two-byte remotes byte2 * 1000 + byte3. A record whose header matches but which lacks the code
// passes the key value as it now is on to the records before it.
KeyMatch MatchKey(const RemoteList& list, int32_t header, int32_t byte2, int32_t byte3,
                  bool hysteresis);

// The exact remote (mode 40) holding a key that is the same key as `code`, walking from the
// last record to the first; classic records are passed over. Without a match the key function
// is 49 when an exact remote has the code's protocol and address in its header, else 50.
KeyMatch MatchExactKey(const RemoteList& list, const ExactCode& code);

// Matches a receiver report's code text as the main window does: only a text that holds more
// than 12 characters without separators reaches the matching (false otherwise); its bytes 0..3
// give the header and the key bytes.
bool MatchCodeText(const RemoteList& list, std::string_view code_text, bool hysteresis,
                   KeyMatch* match);

// Matches a receiver report as the routing does: its exact code among the exact remotes first,
// then its classic code bytes as MatchCodeText; false when neither could be
// looked up.
bool MatchReport(const RemoteList& list, const ReceiverReport& report, bool hysteresis,
                 KeyMatch* match);

}  // namespace koru
