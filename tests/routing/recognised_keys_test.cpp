// The router tells its key listener (the lircd socket's feed) every recognised key and every
// remote list, and nothing else.
#include "lircd/lircd_key_feed.h"
#include "platform/messaging/clock.h"
#include "router_fixture.h"

namespace koru {

TEST_F(RouterTest, OnlyRecognisedKeysReachTheListenerInEveryRoute) {
  Play("listener.txt");
}

TEST_F(RouterTest, AHeldKeyCountsItsRepeatsOnTheLircdLine) {
  VirtualClock clock(1000000);
  SetThreadClock(&clock);
  LircdKeyFeed feed("1.0");
  std::vector<std::string> lines;
  feed.SetBroadcast([&lines](std::string line) { lines.push_back(std::move(line)); });
  keys_ = &feed;
  Start();
  Key(kLrSat, kLrSatN1);
  clock.AdvanceTo(1300000);
  Key(kLrSat, kLrSatN1);
  clock.AdvanceTo(3000000);
  Key(kLrSat, kLrSatN1);
  SetThreadClock(nullptr);
  // header 253128 = 0x3dcc8, N1 = 179 = 0xb3
  EXPECT_EQ(lines, (std::vector<std::string>{"0003dcc8000000b3 00 N1 LR-SAT\n",
                                             "0003dcc8000000b3 01 N1 LR-SAT\n",
                                             "0003dcc8000000b3 00 N1 LR-SAT\n"}));
  const std::string list = feed.Answer("LIST");
  EXPECT_NE(list.find("\nDATA\n35\n"), std::string::npos) << list;
  EXPECT_NE(feed.Answer("LIST LR-SAT").find("\n0003dcc8000000b3 N1\n"), std::string::npos);
}

}  // namespace koru
