#include "remotes/key_match.h"

#include "platform/messaging/trace.h"
#include "receiver/code_bytes.h"
#include "settings/label_table.h"

namespace koru {

KeyMatch MatchKey(const RemoteList& list, int32_t header, int32_t byte2, int32_t byte3,
                  bool hysteresis) {
  KeyMatch match;
  match.key_value = hysteresis ? byte2 / 10 : byte2;
  Trace(" ask Remote: %ld   Key:%ld|%ld  \n", static_cast<long>(header), static_cast<long>(byte2),
        static_cast<long>(byte3));
  for (auto it = list.rbegin(); it != list.rend(); ++it) {
    const RemoteDefinition* record = it->get();
    if (record) match.remote = record;
    if (!record || record->header_ != header) {
      match.remote_label = getLabel(kNoKeyFunction);
      continue;
    }
    match.remote_label = record->name_;
    if (record->IsTwoByte()) match.key_value = byte2 * 1000 + byte3;
    match.key_function = record->KeyFunctionOfCode(match.key_value);
    match.shown_value = true;
    if (match.key_function <= kNoKeyFunction) {
      match.key_label = getLabel(kNoKeyFunction);
      continue;
    }
    match.key_label = getLabel(match.key_function);
    match.found = true;
    break;
  }
  if (!match.found) {
    match.remote_label = getLabel(kUnknownRemote);
    match.key_label = getLabel(kNoKeyFunction);
  }
  return match;
}

KeyMatch MatchExactKey(const RemoteList& list, const ExactCode& code) {
  KeyMatch match;
  for (auto it = list.rbegin(); it != list.rend(); ++it) {
    const RemoteDefinition* record = it->get();
    if (!record || !record->IsExact()) continue;
    const int32_t keyfn = record->ExactFunction(code);
    if (keyfn == kNoKeyFunction) {
      const ExactCode& head = record->ExactHead();
      const bool same_head =
          head.protocol == code.protocol &&
          (code.protocol == ExactProtocol::kHash || code.protocol == ExactProtocol::kTimingHash ||
           head.address == code.address);
      if (same_head) match.key_function = kNoKeyFunction;
      continue;
    }
    match.key_function = keyfn;
    match.remote = record;
    match.remote_label = record->name_;
    match.key_label = getLabel(keyfn);
    match.shown_value = true;
    match.found = true;
    return match;
  }
  // Keys taught with the earlier hash: the same frame's earlier hash travels in the address.
  if (code.protocol == ExactProtocol::kTimingHash) {
    const KeyMatch earlier = MatchExactKey(list, ExactCode{ExactProtocol::kHash, 0, code.address});
    if (earlier.found || match.key_function == kUnknownRemote) return earlier;
  }
  match.remote_label = getLabel(kUnknownRemote);
  match.key_label = getLabel(kNoKeyFunction);
  return match;
}

bool MatchCodeText(const RemoteList& list, std::string_view code_text, bool hysteresis,
                   KeyMatch* match) {
  if (StripCodeSeparators(code_text).size() <= 12) return false;
  const int32_t header = CodeByteValue(code_text, 0) * 1000 + CodeByteValue(code_text, 1);
  *match =
      MatchKey(list, header, CodeByteValue(code_text, 2), CodeByteValue(code_text, 3), hysteresis);
  return true;
}

bool MatchReport(const RemoteList& list, const ReceiverReport& report, bool hysteresis,
                 KeyMatch* match) {
  if (report.exact) {
    *match = MatchExactKey(list, *report.exact);
    if (match->found) return true;
  }
  if (report.bytes.Classic()) {
    *match = MatchKey(list, report.bytes.Header(), report.bytes.Byte(2), report.bytes.Byte(3),
                      hysteresis);
    return true;
  }
  return report.exact.has_value();
}

}  // namespace koru
