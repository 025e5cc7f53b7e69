// The signals of LIRC buttons against what LIRC's irsimsend sends from the same configuration:
// the same periods, within 1 us, key after key, repeats included.
#include "lirc/lirc_signal.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "irsimsend.h"
#include "test_files.h"

namespace koru {

namespace {

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

TEST(LircSignal, EveryEncodingFlagSendsWhatIrsimsendSends) {
  if (!IrsimsendInstalled()) GTEST_SKIP() << "irsimsend is not installed";
  const std::string file = ReadAll(KORU_SOURCE_DIR "/tests/lirc/data/encodings.conf");
  std::vector<LircRemote> remotes;
  std::string error;
  ASSERT_EQ(ParseLircConfig(file, "encodings.conf", &remotes, nullptr, &error), kOk) << error;
  ASSERT_EQ(remotes.size(), 19u);
  for (const LircRemote& remote : remotes) {
    SCOPED_TRACE(remote.name);
    const auto lirc = IrsimsendPeriods(file, remote, 3);
    ASSERT_TRUE(lirc.has_value());
    EXPECT_EQ(Difference(AllKeys(remote, 3), *lirc), "");
  }
}

TEST(LircSignal, EveryRemoteOfTheDatabaseSendsWhatIrsimsendSends) {
  const std::vector<std::string> files = LircDatabaseFiles();
  if (!IrsimsendInstalled() || files.empty())
    GTEST_SKIP() << "irsimsend or the LIRC remote database is not installed";
  int32_t compared = 0;
  std::vector<std::string> refused;
  for (const std::string& file : files) {
    const std::string text = ReadAll(file);
    std::vector<LircRemote> remotes;
    std::string error;
    if (ParseLircConfig(text, file, &remotes, nullptr, &error) != kOk) {
      refused.push_back(error);
      continue;
    }
    for (const LircRemote& remote : remotes) {
      if (!LircSignalProblem(remote).empty() || remote.buttons.empty()) continue;
      if (IrsimsendSlipsPeriods(remote)) continue;
      SCOPED_TRACE(file + " " + remote.name);
      const auto lirc = IrsimsendPeriods(text, remote, 2);
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
  std::vector<LircRemote> remotes;
  ASSERT_EQ(ReadLircConfigFile(KORU_SOURCE_DIR "/tests/lirc/data/untimed.conf", &remotes, nullptr,
                               nullptr),
            kOk);
  ASSERT_EQ(remotes.size(), 4u);
  for (const LircRemote& remote : remotes) {
    EXPECT_NE(LircSignalProblem(remote), "") << remote.name;
    std::vector<int32_t> periods;
    std::string why;
    EXPECT_EQ(LircButtonSignal(remote, remote.buttons[0], 0, &periods, &why), kBadValue);
    EXPECT_FALSE(why.empty());
  }
}

}  // namespace

}  // namespace koru
