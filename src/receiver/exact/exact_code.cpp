#include "receiver/exact/exact_code.h"

#include <array>
#include <cctype>
#include <cstdio>

namespace koru {

namespace {

struct NamedProtocol {
  ExactProtocol protocol;
  const char* name;
};

constexpr std::array<NamedProtocol, 22> kNames = {{
    {ExactProtocol::kNec, "NEC"},           {ExactProtocol::kNecExtended, "NECx"},
    {ExactProtocol::kNec32, "NEC32"},       {ExactProtocol::kRc5, "RC-5"},
    {ExactProtocol::kRc5x, "RC-5X"},        {ExactProtocol::kRc6, "RC-6"},
    {ExactProtocol::kRc6A, "RC-6A"},        {ExactProtocol::kSony12, "Sony12"},
    {ExactProtocol::kSony15, "Sony15"},     {ExactProtocol::kSony20, "Sony20"},
    {ExactProtocol::kJvc, "JVC"},           {ExactProtocol::kSharp, "Sharp"},
    {ExactProtocol::kDenon, "Denon"},       {ExactProtocol::kSanyo, "Sanyo"},
    {ExactProtocol::kKaseikyo, "Kaseikyo"}, {ExactProtocol::kRcmm, "RCMM"},
    {ExactProtocol::kXmp, "XMP"},           {ExactProtocol::kPulseDistance, "PDist"},
    {ExactProtocol::kBiphase, "Biphase"},   {ExactProtocol::kHash, "hash"},
    {ExactProtocol::kTimingHash, "hash2"},  {ExactProtocol::kSerial, "Serial"},
}};

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

// A hexadecimal number of 1..8 digits, with or without "0x".
std::optional<uint32_t> ParseHex(std::string_view text) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
    text.remove_prefix(2);
  if (text.empty() || text.size() > 8) return std::nullopt;
  uint32_t value = 0;
  for (char c : text) {
    const int digit = std::isdigit(static_cast<unsigned char>(c))
                          ? c - '0'
                          : (std::isxdigit(static_cast<unsigned char>(c))
                                 ? std::tolower(static_cast<unsigned char>(c)) - 'a' + 10
                                 : -1);
    if (digit < 0) return std::nullopt;
    value = value * 16 + static_cast<uint32_t>(digit);
  }
  return value;
}

std::string HashDigits(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(value));
  return text;
}

}  // namespace

const char* ExactProtocolName(ExactProtocol protocol) {
  for (const NamedProtocol& named : kNames)
    if (named.protocol == protocol) return named.name;
  return "hash";
}

std::optional<ExactProtocol> ExactProtocolNamed(std::string_view name) {
  for (const NamedProtocol& named : kNames)
    if (EqualNoCase(name, named.name)) return named.protocol;
  return std::nullopt;
}

std::string ExactHex(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%02X", static_cast<unsigned>(value));
  return text;
}

std::string ExactField(const ExactCode& code) {
  if (code.protocol == ExactProtocol::kHash) return "hash:" + HashDigits(code.command);
  return std::string(ExactProtocolName(code.protocol)) + ":" + ExactHex(code.address) + ":" +
         ExactHex(code.command);
}

std::optional<ExactCode> ParseExactField(std::string_view text) {
  const size_t first = text.find(':');
  if (first == std::string_view::npos) return std::nullopt;
  const std::optional<ExactProtocol> protocol = ExactProtocolNamed(text.substr(0, first));
  if (!protocol) return std::nullopt;
  const std::string_view rest = text.substr(first + 1);
  ExactCode code;
  code.protocol = *protocol;
  if (*protocol == ExactProtocol::kHash) {
    const std::optional<uint32_t> hash = ParseHex(rest);
    if (!hash) return std::nullopt;
    code.command = *hash;
    return code;
  }
  const size_t second = rest.find(':');
  if (second == std::string_view::npos) return std::nullopt;
  const std::optional<uint32_t> address = ParseHex(rest.substr(0, second));
  const std::optional<uint32_t> command = ParseHex(rest.substr(second + 1));
  if (!address || !command) return std::nullopt;
  code.address = *address;
  code.command = *command;
  return code;
}

std::string ExactReadable(const ExactCode& code) {
  if (code.protocol == ExactProtocol::kHash) return "hash " + HashDigits(code.command);
  if (code.protocol == ExactProtocol::kTimingHash) return "hash2 " + HashDigits(code.command);
  return std::string(ExactProtocolName(code.protocol)) + " addr " + ExactHex(code.address) +
         " cmd " + ExactHex(code.command);
}

}  // namespace koru
