#include "remotes/exact_remote_text.h"

namespace koru {

namespace {

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\r')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\r')) text.remove_suffix(1);
  return text;
}

bool SharesHead(const ExactCode& head, const ExactCode& code) {
  if (code.protocol != head.protocol) return false;
  return code.protocol == ExactProtocol::kHash || code.address == head.address;
}

}  // namespace

std::string ExactHeadText(const ExactCode& head) {
  if (head.protocol == ExactProtocol::kHash) return ExactProtocolName(head.protocol);
  return std::string(ExactProtocolName(head.protocol)) + ":" + ExactHex(head.address);
}

std::optional<ExactCode> ParseExactHead(std::string_view text) {
  text = Trimmed(text);
  if (ExactProtocolNamed(text) == ExactProtocol::kHash) return ExactCode{};
  if (text.find(':') == std::string_view::npos) return std::nullopt;
  std::optional<ExactCode> head = ParseExactField(std::string(text) + ":0");
  if (head && head->protocol == ExactProtocol::kHash) return std::nullopt;
  if (head) head->command = 0;
  return head;
}

std::string ExactSlotText(const ExactCode& head, const std::optional<ExactCode>& code) {
  if (!code) return "-";
  if (SharesHead(head, *code)) return ExactHex(code->command);
  return ExactField(*code);
}

std::optional<ExactCode> ParseExactSlot(const ExactCode& head, std::string_view text) {
  text = Trimmed(text);
  if (text.empty() || text == "-") return std::nullopt;
  if (text.find(':') != std::string_view::npos) return ParseExactField(text);
  // A bare command: the field parser reads the hexadecimal for us.
  std::optional<ExactCode> code = ParseExactField("hash:" + std::string(text));
  if (!code) return std::nullopt;
  code->protocol = head.protocol;
  code->address = head.protocol == ExactProtocol::kHash ? 0 : head.address;
  return code;
}

}  // namespace koru
