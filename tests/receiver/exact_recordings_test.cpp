// Recordings of remotes (made with irsimsend from lircd.conf files: one press and one
// repeat of each key) decode to one exact code per key, the same for every burst of the key,
// with and without 200 us of jitter.
#include <gtest/gtest.h>

#include <map>
#include <random>

#include "exact_bursts.h"
#include "platform/lines/mode2_recording.h"
#include "receiver/exact/exact_decoder.h"
#include "sectioned_file.h"

namespace {

// The periods of each key of a recording, by the "# key NAME" lines before them.
std::map<std::string, std::vector<int32_t>> KeysOf(const std::string& file) {
  std::map<std::string, std::vector<int32_t>> keys;
  for (const auto& [name, text] :
       ReadSections(KORU_SOURCE_DIR "/tests/receiver/exact/" + file, "# key ")) {
    Mode2Recording recording;
    std::string error;
    EXPECT_EQ(ParseMode2(text, file, &recording, &error), kOk) << error;
    for (const Mode2Entry& entry : recording)
      keys[name].push_back(static_cast<int32_t>(entry.microseconds));
  }
  return keys;
}

TEST(ExactRecordings, EveryKeyHasOneCodeOfItsOwn) {
  const struct {
    const char* file;
    const char* protocol;         // of every key
    const char* key_1 = nullptr;  // the code of KEY_1, where the file's codes are known
  } remotes[] = {
      {"nec_avermedia.mode2", "NEC"},
      {"nec_creative.mode2", "NECx"},
      {"sanyo_flyvideo.mode2", "Sanyo"},
      {"nec_packard_bell.mode2", "NEC"},
      {"pdist_animax.mode2", "PDist"},
      {"pdist_technisat.mode2", "PDist"},
      {"rc5_streamzap_keys.mode2", "RC-5"},
      // From hand-written files (no real remote's) that put known codes in irsimsend's bit order.
      {"kaseikyo_panasonic.mode2", "Kaseikyo", "Kaseikyo:0x20020800:0x01"},
      {"sony12_tv.mode2", "Sony12", "Sony12:0x01:0x01"},
      {"jvc_vcr.mode2", "JVC", "JVC:0x03:0x01"},
      {"denon_amp.mode2", "Denon", "Denon:0x02:0x01"},
  };
  std::mt19937 rng(2026);
  for (const auto& remote : remotes) {
    const std::map<std::string, std::vector<int32_t>> keys = KeysOf(remote.file);
    ASSERT_GE(keys.size(), 5u) << remote.file;
    std::map<std::string, std::string> owner;  // code field -> key
    for (const auto& [name, periods] : keys) {
      std::optional<std::string> field;
      for (int32_t jitter : {0, 200, 200, 200}) {
        ExactDecoder decoder;
        const std::vector<TimedBurst> bursts = SplitBursts(Jittered(periods, jitter, &rng));
        ASSERT_FALSE(bursts.empty()) << remote.file << " " << name;
        for (const TimedBurst& burst : bursts) {
          const std::optional<ExactCode> code = decoder.Burst(burst.periods, burst.end_us);
          ASSERT_TRUE(code.has_value())
              << remote.file << " " << name << " " << jitter << " " << burst.periods.size() << " "
              << burst.periods[0] << " " << burst.periods[1] << " " << burst.periods[2];
          EXPECT_STREQ(ExactProtocolName(code->protocol), remote.protocol)
              << remote.file << " " << name;
          if (!field) field = ExactField(*code);
          EXPECT_EQ(ExactField(*code), *field)
              << remote.file << " " << name << " jitter " << jitter;
        }
      }
      if (remote.key_1 != nullptr && name == "KEY_1") {
        EXPECT_EQ(*field, remote.key_1);
      }
      const auto [it, fresh] = owner.emplace(*field, name);
      EXPECT_TRUE(fresh) << remote.file << ": " << name << " and " << it->second << " share "
                         << *field;
    }
  }
}

}  // namespace
