// A press the kernel decoded gives the codes KORU's receiver reads from the same press's
// periods: each scancode (in the kernel's layout) against the frame of its exact code played
// through the receiver thread.
#include <gtest/gtest.h>

#include <set>

#include "lirc/lirc_import.h"
#include "receiver/exact/exact_encoder.h"
#include "receiver/exact/kernel_scancode_code.h"
#include "receiver/scancode_evaluation.h"

namespace {

struct Case {
  uint32_t protocol;
  uint64_t scancode;
  ExactCode code;
};

const Case kCases[] = {
    {kRcNec, 0x0408, {ExactProtocol::kNec, 0x04, 0x08, 32}},
    {kRcNecx, 0x123456, {ExactProtocol::kNecExtended, 0x3412, 0x56, 32}},
    {kRcNecx, 0x04FB08, {ExactProtocol::kNec, 0x04, 0x08, 32}},  // the bytes invert: NEC
    {kRcNec32, 0x12345678, {ExactProtocol::kNec32, 0x1234, 0x5678, 32}},
    {kRcNec32, 0x1234F708, {ExactProtocol::kNecExtended, 0x1234, 0x08, 32}},
    {kRcRc5, 0x1E0C, {ExactProtocol::kRc5, 0x1E, 0x0C, 14}},
    {kRcRc5, 0x0552, {ExactProtocol::kRc5x, 0x05, 0x52, 14}},
    {kRcRc6_0, 0x0C21, {ExactProtocol::kRc6, 0x0C, 0x21, 16}},
    {kRcRc6_6a20, 0x12345, {ExactProtocol::kRc6A, 0x123, 0x45, 20}},
    {kRcRc6_6a24, 0x123456, {ExactProtocol::kRc6A, 0x1234, 0x56, 24}},
    {kRcRc6Mce, 0x800F040D, {ExactProtocol::kRc6A, 0x800F04, 0x0D, 32}},
    {kRcRc6_6a32, 0x800F840D, {ExactProtocol::kRc6A, 0x800F04, 0x0D, 32}},  // toggle set
    {kRcSony12, 0x010015, {ExactProtocol::kSony12, 0x01, 0x15, 12}},
    {kRcSony15, 0x970042, {ExactProtocol::kSony15, 0x97, 0x42, 15}},
    {kRcSony20, 0x1A3B05, {ExactProtocol::kSony20, 0x3B1A, 0x05, 20}},
    {kRcJvc, 0x03A7, {ExactProtocol::kJvc, 0x03, 0xA7, 16}},
    {kRcSanyo, 0x123455, {ExactProtocol::kSanyo, 0x1234, 0x55, 42}},
    {kRcSharp, 0x1122, {ExactProtocol::kSharp, 0x11, 0x22, 15}},
};

TEST(KernelScancode, GivesTheCodesTheReceiverReadsFromTheSamePress) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(ExactField(c.code));
    const ExactCode from_scancode = ExactFromKernelScancode(c.protocol, c.scancode);
    EXPECT_TRUE(from_scancode.SameKey(c.code)) << ExactField(from_scancode);
    EXPECT_TRUE(KernelProtocolDecoded(c.protocol));

    std::vector<int32_t> periods;
    ASSERT_TRUE(EncodeExactPress(c.code, 0, &periods));
    const std::optional<LircReceived> raw = ReceiveLircSignal(periods);
    ASSERT_TRUE(raw && raw->exact);
    EXPECT_TRUE(raw->exact->SameKey(from_scancode)) << ExactField(*raw->exact);

    // The report of the kernel's press carries the classic code of the raw one too.
    ScancodeEvaluation evaluation;
    evaluation.Evaluate({0, c.protocol, c.scancode, false, false});
    ASSERT_TRUE(evaluation.Exact());
    EXPECT_TRUE(evaluation.Exact()->SameKey(c.code));
    EXPECT_EQ(evaluation.Family() == 0 ? std::string() : std::string(evaluation.Code()),
              raw->code_text);
  }
}

TEST(KernelScancode, ProtocolsKoruCannotReadGiveCodesOfTheirOwn) {
  // XMP, RC-MM, RC-5X-20, iMON ...: one code per key, the same for every press, none shared
  // with another protocol's key of the same scancode.
  std::set<std::string> fields;
  for (const uint32_t protocol : {kRcXmp, kRcRcmm32, kRcRc5x20, kRcImon, kRcUnknown})
    for (const uint64_t scancode : {0x1234ull, 0x1235ull}) {
      const ExactCode code = ExactFromKernelScancode(protocol, scancode);
      EXPECT_EQ(code.protocol, ExactProtocol::kHash);
      EXPECT_TRUE(code.SameKey(ExactFromKernelScancode(protocol, scancode)));
      fields.insert(ExactField(code));
    }
  EXPECT_EQ(fields.size(), 10u);
  EXPECT_FALSE(KernelProtocolDecoded(kRcXmp));

  ScancodeEvaluation evaluation;
  evaluation.Evaluate({0, kRcXmp, 0x1234, false, false});
  EXPECT_EQ(evaluation.Family(), 0);
  ASSERT_TRUE(evaluation.Exact());
  EXPECT_EQ(evaluation.Exact()->protocol, ExactProtocol::kHash);
}

TEST(KernelScancode, KeymapProtocolsAndVariants) {
  struct Named {
    const char* protocol;
    const char* variant;
    uint64_t scancode;
    std::optional<uint32_t> expected;
  };
  const Named kNamed[] = {
      {"nec", "", 0x0408, kRcNec},
      {"nec", "", 0x123456, kRcNecx},
      {"nec", "", 0x12345678, kRcNec32},
      {"nec", "nec", 0x0408, kRcNec},
      {"nec", "necx", 0x0408, kRcNecx},  // the variant decides, not the width
      {"nec", "nec32", 0x0408, kRcNec32},
      {"rc5", "rc5", 0x1E0C, kRcRc5},
      {"rc6", "rc6_mce", 0x800F040D, kRcRc6Mce},
      {"sony", "sony15", 0x970042, kRcSony15},
      {"rc-5-sz", "", 0x1234, kRcRc5Sz},
      {"pulse_distance", "", 0x1234, std::nullopt},
  };
  for (const Named& n : kNamed) {
    SCOPED_TRACE(std::string(n.protocol) + "/" + n.variant);
    EXPECT_EQ(KernelProtocolOfKeymap(n.protocol, n.variant, n.scancode), n.expected);
  }
}

}  // namespace
