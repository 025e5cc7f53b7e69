#include "lirc/keymap_import.h"

#include "receiver/exact/exact_encoder.h"
#include "receiver/exact/kernel_scancode_code.h"

namespace koru {

namespace {

std::string ProtocolText(const KernelKeymap& keymap) {
  return "'" + keymap.protocol + (keymap.variant.empty() ? "" : "/" + keymap.variant) + "'";
}

std::optional<LircReceived> Receive(const KernelKeymap& keymap, size_t index, std::string* why) {
  const uint64_t scancode = keymap.scancodes[index].first;
  const std::optional<uint32_t> protocol =
      KernelProtocolOfKeymap(keymap.protocol, keymap.variant, scancode);
  if (!protocol || !KernelProtocolDecoded(*protocol)) {
    *why = "the protocol " + ProtocolText(keymap) + " is not one KORU decodes";
    return std::nullopt;
  }
  const ExactCode code = ExactFromKernelScancode(*protocol, scancode);
  std::vector<int32_t> periods;
  if (!EncodeExactPress(code, 0, &periods)) {
    *why = "the scancode does not fit the protocol " + ProtocolText(keymap);
    return std::nullopt;
  }
  std::optional<LircReceived> received = ReceiveLircSignal(periods);
  if (!received || !received->exact) {
    *why = "the receiver found no code";
    return std::nullopt;
  }
  // The file must hold what a receiver in scancode mode reports as well.
  if (!received->exact->SameKey(code)) {
    *why = "the receiver read " + ExactField(*received->exact) + " for " + ExactField(code);
    return std::nullopt;
  }
  return received;
}

ImportedRemote FromKeymap(const KernelKeymap& keymap) {
  ImportedRemote imported;
  // A file's later [[protocols]] often go without a name: the protocol names them in the report.
  imported.name = keymap.name.empty() ? keymap.protocol : keymap.name;
  bool decoded = false;
  for (const auto& [scancode, key] : keymap.scancodes) {
    imported.buttons.push_back(key);
    const std::optional<uint32_t> protocol =
        KernelProtocolOfKeymap(keymap.protocol, keymap.variant, scancode);
    decoded = decoded || (protocol && KernelProtocolDecoded(*protocol));
  }
  if (!keymap.scancodes.empty() && !decoded)
    imported.problem = "the protocol " + ProtocolText(keymap) + " is not one KORU decodes";
  else if (keymap.name.empty())
    imported.problem = "the keymap has no name";
  imported.receive = [&keymap](size_t index, int32_t, std::string* why) {
    return Receive(keymap, index, why);
  };
  return imported;
}

}  // namespace

std::vector<LircImportReport> ImportKernelKeymaps(const std::vector<KernelKeymap>& keymaps,
                                                  const LircImportOptions& options) {
  std::vector<ImportedRemote> imported;
  for (const KernelKeymap& keymap : keymaps) imported.push_back(FromKeymap(keymap));
  return ImportRemotes(imported, options, "keymap import");
}

}  // namespace koru
