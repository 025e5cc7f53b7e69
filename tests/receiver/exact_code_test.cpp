#include "receiver/exact/exact_code.h"

#include <gtest/gtest.h>

TEST(ExactCode, FieldAndReadableFormsRoundTrip) {
  const ExactCode rc5{ExactProtocol::kRc5, 0x1E, 0x0C, 14};
  EXPECT_EQ(ExactField(rc5), "RC-5:0x1E:0x0C");
  EXPECT_EQ(ExactReadable(rc5), "RC-5 addr 0x1E cmd 0x0C");
  const ExactCode hash{ExactProtocol::kHash, 0, 0x1A2B3C4D, 0};
  EXPECT_EQ(ExactField(hash), "hash:1A2B3C4D");
  EXPECT_EQ(ExactReadable(hash), "hash 1A2B3C4D");
  EXPECT_EQ(ExactField(ExactCode{ExactProtocol::kKaseikyo, 0x40040100, 0xBCBD, 48}),
            "Kaseikyo:0x40040100:0xBCBD");
  const ExactCode hash2{ExactProtocol::kTimingHash, 0x1A2B3C4D, 0x5E6F7A8B, 0};
  EXPECT_EQ(ExactField(hash2), "hash2:0x1A2B3C4D:0x5E6F7A8B");
  EXPECT_EQ(ExactReadable(hash2), "hash2 5E6F7A8B");

  for (const ExactCode& code : {rc5, hash, hash2}) {
    const std::optional<ExactCode> back = ParseExactField(ExactField(code));
    ASSERT_TRUE(back.has_value()) << ExactField(code);
    EXPECT_TRUE(back->SameKey(code));
  }
}

TEST(ExactCode, ParsingAcceptsAnyCaseAndRefusesMalformedFields) {
  const std::optional<ExactCode> lower = ParseExactField("rc-5x:1e:0x4c");
  ASSERT_TRUE(lower.has_value());
  EXPECT_EQ(lower->protocol, ExactProtocol::kRc5x);
  EXPECT_EQ(lower->address, 0x1Eu);
  EXPECT_EQ(lower->command, 0x4Cu);
  for (const char* bad : {"", "NEC", "NEC:0x04", "NEC:0x04:", "Foo:0x1:0x2", "NEC:0xZZ:0x01",
                          "NEC:0x123456789:0x01", "hash:", "hash:xyz"})
    EXPECT_FALSE(ParseExactField(bad).has_value()) << bad;
  for (int p = 0; p <= static_cast<int>(ExactProtocol::kSerial); ++p) {
    const auto protocol = static_cast<ExactProtocol>(p);
    EXPECT_EQ(ExactProtocolNamed(ExactProtocolName(protocol)), protocol);
  }
}
