#pragma once
// The text forms of an exact remote's file lines. The header holds the protocol and address all
// keys usually share ("NEC:0x04", "hash" for a remote of hash codes); a key of that protocol and
// address is written as its bare command ("0x08", for a hash remote the hash "0x1A2B3C4D"),
// any other key as a full field ("RC-5:0x1F:0x0C", "hash:1A2B3C4D"), a key not taught as "-".
#include <optional>
#include <string>
#include <string_view>

#include "receiver/exact/exact_code.h"

namespace koru {

// "NEC:0x04"; "hash" for a hash header (its address is not written).
std::string ExactHeadText(const ExactCode& head);
// The header of a "[ComHead]" value; nothing when the text is not one.
std::optional<ExactCode> ParseExactHead(std::string_view text);

// One "[ComData]" value for `code` (nothing taught: "-").
std::string ExactSlotText(const ExactCode& head, const std::optional<ExactCode>& code);
// The code of a "[ComData]" value; nothing for "-" and for a text that is no code.
std::optional<ExactCode> ParseExactSlot(const ExactCode& head, std::string_view text);

}  // namespace koru
