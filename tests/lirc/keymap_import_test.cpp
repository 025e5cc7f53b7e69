// The kernel's keymaps: the reader of their TOML, and the import of every keymap the kernel's
// tools ship, each imported key recognised from a recording of its scancode and from the
// report of a receiver in scancode mode.
#include "lirc/keymap_import.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "lirc/lirc_key_names.h"
#include "platform/messaging/four_cc.h"
#include "platform/messaging/trace.h"
#include "receiver/exact/exact_encoder.h"
#include "receiver/exact/kernel_scancode_code.h"
#include "receiver/scancode_evaluation.h"
#include "remotes/key_match.h"
#include "remotes/remote_folder.h"
#include "sectioned_file.h"

namespace koru {

namespace {

constexpr const char* kShippedKeymaps = "/lib/udev/rc_keymaps";

TEST(KernelKeymap, ReadsWhatTheKeymapsUse) {
  const std::string text = ReadAll(KORU_SOURCE_DIR "/tests/lirc/data/keymap.toml");
  std::vector<KernelKeymap> keymaps;
  std::string message;
  ASSERT_TRUE(ParseKernelKeymaps(text, &keymaps, &message)) << message;
  ASSERT_EQ(keymaps.size(), 2u);
  EXPECT_EQ(keymaps[0].name, "first \"one\"");
  EXPECT_EQ(keymaps[0].protocol, "nec");
  EXPECT_EQ(keymaps[0].variant, "necx");
  using Entries = std::vector<std::pair<uint64_t, std::string>>;
  EXPECT_EQ(keymaps[0].scancodes, (Entries{{0x801a, "KEY_NUMERIC_1"}, {0x0408, "KEY_POWER"}}));
  EXPECT_EQ(keymaps[1].variant, "");
  EXPECT_EQ(keymaps[1].scancodes, (Entries{{7692, "KEY_0"}}));

  const auto refused = ReadSections(KORU_SOURCE_DIR "/tests/lirc/data/broken_keymaps.txt", "=== ");
  ASSERT_EQ(refused.size(), 6u);
  for (const auto& [expected, broken] : refused) {
    std::vector<KernelKeymap> ignored;
    EXPECT_FALSE(ParseKernelKeymaps(broken, &ignored, &message)) << broken;
    EXPECT_EQ(message, expected);
  }
}

bool NecFamilyOrRc5(const KernelKeymap& keymap) {
  if (keymap.scancodes.empty()) return false;
  const std::optional<uint32_t> protocol =
      KernelProtocolOfKeymap(keymap.protocol, keymap.variant, keymap.scancodes.front().first);
  return protocol == kRcNec || protocol == kRcNecx || protocol == kRcNec32 || protocol == kRcRc5;
}

class KeymapImport : public RemoteFolderTest {
 protected:
  TraceCapture quiet_;
};

TEST_F(KeymapImport, EveryShippedNecAndRc5KeyIsRecognisedFromItsScancode) {
  ASSERT_TRUE(std::filesystem::is_directory(kShippedKeymaps))
      << "the ir-keytable package (.ci/packages) ships the kernel's keymaps";
  int32_t keymaps_checked = 0, keys_checked = 0, skipped = 0;
  for (const auto& entry : std::filesystem::directory_iterator(kShippedKeymaps)) {
    if (entry.path().extension() != ".toml") continue;
    SCOPED_TRACE(entry.path().string());
    std::vector<KernelKeymap> keymaps;
    std::string message;
    ASSERT_EQ(ReadKernelKeymapFile(entry.path(), &keymaps, &message), kOk) << message;
    const std::vector<LircImportReport> reports =
        ImportKernelKeymaps(keymaps, {.folder = folder_, .replace = true});
    ASSERT_EQ(reports.size(), keymaps.size());
    for (size_t k = 0; k < keymaps.size(); ++k) {
      const KernelKeymap& keymap = keymaps[k];
      const LircImportReport& report = reports[k];
      if (!NecFamilyOrRc5(keymap)) {
        // Skipped keymaps say why: never a remote file that cannot match.
        if (report.file.empty()) ++skipped;
        continue;
      }
      ASSERT_FALSE(report.file.empty()) << LircImportText(report);
      EXPECT_EQ(report.undecoded, std::vector<std::string>{}) << LircImportText(report);
      ++keymaps_checked;
      RemoteList list;
      list.push_back(Load(report.file));
      for (const auto& [scancode, name] : keymap.scancodes) {
        const int32_t function = KeyFunctionOfLircName(name);
        const uint32_t protocol =
            *KernelProtocolOfKeymap(keymap.protocol, keymap.variant, scancode);
        const ExactCode code = ExactFromKernelScancode(protocol, scancode);
        // Only the scancode imported for the name (a keymap may name a key twice).
        const std::string field = " " + ExactField(code);
        if (std::ranges::none_of(report.imported, [&](const std::string& line) {
              return line.starts_with(name + " ") && line.ends_with(field);
            }))
          continue;
        // The recording of the scancode's press, through the receiver thread.
        std::vector<int32_t> periods;
        ASSERT_TRUE(EncodeExactPress(code, 0, &periods));
        const std::optional<LircReceived> received = ReceiveLircSignal(periods);
        ASSERT_TRUE(received && received->exact) << name;
        const KeyMatch from_recording = MatchExactKey(list, *received->exact);
        // The same press as a receiver in scancode mode reports it.
        ScancodeEvaluation evaluation;
        evaluation.Evaluate({0, protocol, scancode, false, false});
        const ReceiverReport report =
            MakeReceiverReport(evaluation.Code(), evaluation.Family(), evaluation.ValidBits(),
                               false, evaluation.Exact());
        KeyMatch from_scancode;
        ASSERT_TRUE(MatchReport(list, report, false, &from_scancode));
        EXPECT_EQ(from_recording.key_function, function) << name;
        EXPECT_EQ(from_scancode.key_function, function) << name;
        ++keys_checked;
      }
    }
  }
  EXPECT_GT(keymaps_checked, 50);
  EXPECT_GT(skipped, 70);
  RecordProperty("keymaps", keymaps_checked);
  RecordProperty("keys", keys_checked);
}

}  // namespace

}  // namespace koru
