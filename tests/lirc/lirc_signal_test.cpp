// The signals of LIRC buttons against what LIRC's irsimsend sends from the same configuration:
// the same periods, within 1 us, key after key, repeats included.
#include "lirc/lirc_signal.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "irsimsend.h"

namespace {

constexpr const char* kDatabase = "/usr/share/lirc/remotes";

// Every key of the remote in file order, as irsimsend sends them: each a new press sent
// `count` times.
std::vector<int32_t> AllKeys(const LircRemote& remote, int32_t count) {
  std::vector<int32_t> all;
  for (size_t i = 0; i < remote.buttons.size(); ++i) {
    std::vector<int32_t> periods;
    std::string why;
    EXPECT_EQ(LircButtonSignal(remote, remote.buttons[i], count - 1, &periods, &why,
                               static_cast<int32_t>(i)),
              kOk)
        << remote.name << " " << remote.buttons[i].name << ": " << why;
    // The next press's pulse follows the gap; irsimsend's recording joins nothing else.
    all.insert(all.end(), periods.begin(), periods.end());
  }
  return all;
}

// "" when the two agree within 1 us, else where they part.
std::string Difference(const std::vector<int32_t>& ours, const std::vector<int32_t>& lirc) {
  for (size_t i = 0; i < ours.size() && i < lirc.size(); ++i)
    if (std::abs(ours[i] - lirc[i]) > 1) {
      std::ostringstream text;
      text << "period " << i << ": " << ours[i] << " here, " << lirc[i] << " from irsimsend";
      return text.str();
    }
  if (ours.size() != lirc.size())
    return std::to_string(ours.size()) + " periods here, " + std::to_string(lirc.size()) +
           " from irsimsend";
  return "";
}

std::string Remote(const std::string& flags, const std::string& body, const std::string& codes) {
  return "begin remote\n  name test\n  flags " + flags + "\n" + body + "  begin codes\n" + codes +
         "  end codes\nend remote\n";
}

constexpr const char* kNecTimings =
    "  bits 8\n  header 9000 4500\n  one 560 1690\n  zero 560 560\n  ptrail 560\n"
    "  gap 108000\n";
constexpr const char* kNecCodes = "    K1 0x81\n    K2 0x3C\n    K3 0x00\n";
constexpr const char* kBiphase =
    "  bits 6\n  one 889 889\n  zero 889 889\n  pre_data_bits 7\n  pre_data 0x3A\n"
    "  gap 113792\n  toggle_bit 2\n";
constexpr const char* kBiphaseCodes = "    K1 0x0C\n    K2 0x3F\n    K3 0x21\n";

struct Case {
  const char* what;
  std::string config;
};

TEST(LircSignal, EveryEncodingFlagSendsWhatIrsimsendSends) {
  if (!IrsimsendInstalled()) GTEST_SKIP() << "irsimsend is not installed";
  const std::string nec = kNecTimings;
  const Case cases[] = {
      {"space encoded, every frame part",
       Remote("SPACE_ENC",
              nec + "  plead 700\n  pre_data_bits 4\n  pre_data 0x9\n  pre 300 3000\n"
                    "  post 400 4000\n  post_data_bits 3\n  post_data 0x5\n  foot 800 8000\n",
              kNecCodes)},
      {"constant length", Remote("SPACE_ENC|CONST_LENGTH", nec + "  foot 800 8000\n", kNecCodes)},
      {"repeat code", Remote("SPACE_ENC|CONST_LENGTH", nec + "  repeat 9000 2250\n", kNecCodes)},
      {"repeat code with header and its own gap", Remote("SPACE_ENC|REPEAT_HEADER",
                                                         nec + "  plead 300\n  repeat 9000 2250\n"
                                                               "  repeat_gap 30000\n",
                                                         kNecCodes)},
      {"repeats without header and foot",
       Remote("SPACE_ENC|NO_HEAD_REP|NO_FOOT_REP", nec + "  foot 800 8000\n", kNecCodes)},
      {"repeats inverted in the repeat mask",
       Remote("SPACE_ENC", nec + "  repeat_mask 0x0F\n", kNecCodes)},
      {"least significant bit first",
       Remote("SPACE_ENC|REVERSE", nec + "  pre_data_bits 8\n  pre_data 0x1D\n", kNecCodes)},
      {"pulse width (12-bit)",
       Remote("SPACE_ENC|CONST_LENGTH",
              "  bits 7\n  header 2400 600\n  one 1200 600\n  zero 600 600\n"
              "  post_data_bits 5\n  post_data 0x1\n  gap 45000\n",
              kNecCodes)},
      {"space first", Remote("SPACE_FIRST", nec, kNecCodes)},
      {"several codes per button", Remote("SPACE_ENC", nec, "    K1 0x01 0x02\n    K2 0x03\n")},
      {"a toggle bit", Remote("SPACE_ENC", nec + "  toggle_bit 8\n", kNecCodes)},
      {"a toggle mask of several bits",
       Remote("SPACE_ENC", nec + "  toggle_bit_mask 0x3\n", kNecCodes)},
      {"RC-5 with its leading half bit",
       Remote("RC5|CONST_LENGTH", std::string(kBiphase) + "  plead 889\n", kBiphaseCodes)},
      {"shift encoded, opening with a space", Remote("SHIFT_ENC", kBiphase, kBiphaseCodes)},
      {"RC-6, the toggle bit at double length",
       Remote("RC6|CONST_LENGTH",
              "  bits 8\n  header 2667 889\n  one 444 444\n  zero 444 444\n"
              "  pre_data_bits 13\n  pre_data 0xEFB\n  gap 108000\n  toggle_bit 5\n",
              kBiphaseCodes)},
      {"RC-6 with an rc6_mask and a toggle in pre_data",
       Remote("RC6|CONST_LENGTH",
              "  bits 13\n  header 2740 860\n  one 482 420\n  zero 482 420\n"
              "  pre_data_bits 24\n  pre_data 0x1BFF83\n  gap 110890\n"
              "  toggle_bit_mask 0x8000\n  rc6_mask 0x100000000\n",
              "    K1 0x1BF3\n    K2 0x1BDB\n")},
      {"RC-MM, two bits a pulse",
       Remote("RCMM|CONST_LENGTH",
              "  bits 12\n  header 417 278\n  zero 167 278\n  one 167 444\n  two 167 611\n"
              "  three 167 778\n  ptrail 167\n  pre_data_bits 12\n  pre_data 0x123\n"
              "  gap 28000\n",
              "    K1 0x456\n    K2 0xFFF\n    K3 0x000\n")},
      {"XMP, four bits a pulse, the halves apart by pre",
       Remote("XMP",
              "  bits 24\n  one 0 137\n  zero 250 710\n  ptrail 250\n  pre_data_bits 32\n"
              "  pre_data 0x170F443E\n  post_data_bits 8\n  post_data 0x0\n"
              "  pre 250 12921\n  gap 81698\n",
              "    K1 0x1E0001\n    K2 0x150082\n    K3 0x000007\n")},
      {"raw codes",
       "begin remote\n  name test\n  flags RAW_CODES|CONST_LENGTH\n  gap 50000\n"
       "  begin raw_codes\n    name K1\n      900 450 560 560\n      560 1690 560\n"
       "    name K2\n      900 450 560 1690 560\n  end raw_codes\nend remote\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<LircRemote> remotes;
    std::string error;
    ASSERT_EQ(ParseLircConfig(c.config, "test", &remotes, nullptr, &error), kOk) << error;
    ASSERT_EQ(remotes.size(), 1u);
    const auto lirc = IrsimsendPeriods(c.config, "", 3);
    ASSERT_TRUE(lirc.has_value());
    EXPECT_EQ(Difference(AllKeys(remotes[0], 3), *lirc), "");
  }
}

TEST(LircSignal, EveryRemoteOfTheDatabaseSendsWhatIrsimsendSends) {
  if (!IrsimsendInstalled() || !std::filesystem::is_directory(kDatabase))
    GTEST_SKIP() << "irsimsend or the LIRC remote database is not installed";
  int32_t compared = 0;
  std::vector<std::string> refused;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(kDatabase)) {
    const std::string leaf = entry.path().filename().string();
    if (!entry.is_regular_file() || leaf.rfind("lircmd", 0) == 0 || leaf.rfind("lircrc", 0) == 0 ||
        leaf == "README")
      continue;
    std::ifstream in(entry.path());
    std::stringstream text;
    text << in.rdbuf();
    std::vector<LircRemote> remotes;
    std::string error;
    if (ParseLircConfig(text.str(), entry.path().string(), &remotes, nullptr, &error) != kOk) {
      refused.push_back(error);
      continue;
    }
    for (const LircRemote& remote : remotes) {
      if (!LircSignalProblem(remote).empty() || remote.buttons.empty()) continue;
      if (IrsimsendSlipsPeriods(remote)) continue;
      SCOPED_TRACE(entry.path().string() + " " + remote.name);
      const auto lirc = IrsimsendPeriods(OneRemoteText(text.str(), remote), "", 2);
      if (!lirc) continue;  // irsimsend refuses it too
      EXPECT_EQ(Difference(AllKeys(remote, 2), *lirc), "");
      ++compared;
    }
  }
  EXPECT_EQ(refused, std::vector<std::string>{});
  EXPECT_GT(compared, 30) << compared;
  RecordProperty("remotes", compared);
}

TEST(LircSignal, RemotesWithoutTimingsGapOrAKnownEncodingAreRefused) {
  const std::string codes = " begin codes\n  K 0x1\n end codes\nend remote\n";
  const std::string configs[] = {
      "begin remote\n name a\n bits 8\n one 0 0\n zero 0 0\n gap 40000\n" + codes,
      "begin remote\n name a\n bits 8\n flags RCMM\n one 500 500\n zero 500 500\n gap 40000\n" +
          codes,
      "begin remote\n name a\n bits 6\n flags XMP\n one 0 137\n zero 250 710\n gap 40000\n" + codes,
      "begin remote\n name a\n bits 8\n flags SPACE_ENC\n one 500 1500\n zero 500 500\n" + codes,
  };
  for (const std::string& config : configs) {
    std::vector<LircRemote> remotes;
    ASSERT_EQ(ParseLircConfig(config, "test", &remotes, nullptr, nullptr), kOk);
    EXPECT_NE(LircSignalProblem(remotes[0]), "") << config;
    std::vector<int32_t> periods;
    std::string why;
    EXPECT_EQ(LircButtonSignal(remotes[0], remotes[0].buttons[0], 0, &periods, &why), kBadValue);
    EXPECT_FALSE(why.empty());
  }
}

}  // namespace
