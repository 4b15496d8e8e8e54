#include "RefusedAddresses.h"
#include "modems/IpAddress.h"

#include <gtest/gtest.h>

namespace specterm {
namespace {

TEST(IpAddressTest, Table) {
  using enum AddressCheck;
  const std::pair<const char*, AddressCheck> cases[] = {
      {"127.0.2.20", Valid},
      {"127.255.255.255", Valid},
      {"127.0.2", WrongSectionCount},
      {"127.2.3.4.5", WrongSectionCount},
      {testsupport::refused::kSectionOutOfRange, SectionOutOfRange},
      {testsupport::refused::kFirstSectionOutOfRange, SectionOutOfRange},
      // The scan stops at the first section out of range.
      {"127.300", SectionOutOfRange},
      {"127.1.1.99999999999999999999", SectionOutOfRange},
      // An empty section counts as 0.
      {"127..1.2", Valid},
      {"127.0.0.1:2121", Valid},
      {"127.0.0.1:0", PortOutOfRange},
      {"127.0.0.1:65536", PortOutOfRange},
      {"127.0.0.1:", PortOutOfRange},
      {"127.0.1:2121", WrongSectionCount},
  };
  for (const auto& [address, expected] : cases) EXPECT_EQ(CheckIpAddress(address), expected) << address;
  EXPECT_STREQ(AddressCheckMessage(SectionOutOfRange),
               "One or more address sections for this IP address are out of range!");
  EXPECT_STREQ(AddressCheckMessage(WrongSectionCount),
               "There are an incorrect amount of address sections for this IP address!");
}

}  // namespace
}  // namespace specterm
