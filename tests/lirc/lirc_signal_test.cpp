// The signals of LIRC buttons against what LIRC's irsimsend sends from the same configuration:
// the same periods, within 1 us, key after key, repeats included.
#include "lirc/lirc_signal.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>

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

// Two periods agree within 1 us.
MATCHER(WithinOneMicrosecond, "") {
  return std::abs(std::get<0>(arg) - std::get<1>(arg)) <= 1;
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
    EXPECT_THAT(AllKeys(remote, 3), testing::Pointwise(WithinOneMicrosecond(), *lirc));
  }
}

TEST(LircSignal, EveryRemoteOfTheDatabaseSendsWhatIrsimsendSends) {
  std::vector<std::string> refused;
  const auto all = LircDatabaseRemotes(&refused);
  if (!IrsimsendInstalled() || all.empty())
    GTEST_SKIP() << "irsimsend or the LIRC remote database is not installed";
  int32_t compared = 0;
  for (const auto& [file, remote] : all) {
    if (!LircSignalProblem(remote).empty() || remote.buttons.empty()) continue;
    if (IrsimsendSlipsPeriods(remote)) continue;
    SCOPED_TRACE(file + " " + remote.name);
    const auto lirc = IrsimsendPeriods(ReadAll(file), remote, 2);
    if (!lirc) continue;  // irsimsend refuses it too
    EXPECT_THAT(AllKeys(remote, 2), testing::Pointwise(WithinOneMicrosecond(), *lirc));
    ++compared;
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
