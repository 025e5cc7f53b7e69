// The router tells its key listener (the lircd socket's feed) every recognised key and every
// remote list, and nothing else.
#include "router_fixture.h"

namespace koru {

TEST_F(RouterTest, OnlyRecognisedKeysReachTheListenerInEveryRoute) {
  Play("listener.txt");
}

TEST_F(RouterTest, AHeldKeyCountsItsRepeatsOnTheLircdLine) {
  Play("lircd.txt");
}

}  // namespace koru
