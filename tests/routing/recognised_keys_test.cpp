// The router tells its key listener (the lircd socket's feed) every recognised key and every
// remote list, and nothing else.
#include "lircd/lircd_key_feed.h"
#include "media_list/media_list_messages.h"
#include "platform/messaging/clock.h"
#include "router_fixture.h"
#include "routing/routing_messages.h"

namespace koru {

namespace {

class Heard : public RecognisedKeyListener {
 public:
  std::vector<std::pair<std::string, int32_t>> keys;
  std::vector<size_t> lists;  // the size of each remote list told
  void KeyRecognised(const RemoteDefinition& remote, int32_t keyfn,
                     const ReceiverReport&) override {
    keys.emplace_back(remote.name_, keyfn);
  }
  void RemotesChanged(const RemoteList& remotes) override { lists.push_back(remotes.size()); }
};

}  // namespace

TEST_F(RouterTest, OnlyRecognisedKeysReachTheListenerInEveryRoute) {
  Heard heard;
  keys_ = &heard;
  Start();
  ASSERT_EQ(heard.lists.size(), 1u);
  EXPECT_EQ(heard.lists[0], 35u);

  Key(kLrSat, kLrSatN1);
  Key(kLrSat, 1);         // a header without that code
  Key(123123, kLrSatN1);  // no remote with the header
  Report("-0101-");       // too short: slow-down
  Post(kOpenMediaList);   // media list mode: the key still counts
  Key(kLrSat, kLrSatMute);
  Post(kCloseMediaList);
  prefs_.use_splitting = true;  // splitting: the same
  Key(kLrSat, kLrSatN2);
  using Heard_ = std::vector<std::pair<std::string, int32_t>>;
  EXPECT_EQ(heard.keys, (Heard_{{"LR-SAT", 52}, {"LR-SAT", 67}, {"LR-SAT", 53}}));

  Post(kTeachStart);  // a key taught is no key pressed
  Key(kLrSat, kLrSatN3);
  EXPECT_EQ(heard.keys.size(), 3u);
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
