#include "modems/IpAddress.h"

#include <gtest/gtest.h>

namespace specterm {
namespace {

TEST(IpAddressTest, Table) {
  struct Case {
    const char* address;
    AddressCheck expected;
  };
  const Case cases[] = {
      {"192.168.1.20", AddressCheck::Valid},
      {"0.0.0.0", AddressCheck::Valid},
      {"255.255.255.255", AddressCheck::Valid},
      {"192.168.1", AddressCheck::WrongSectionCount},
      {"192.168.1.2.3", AddressCheck::WrongSectionCount},
      {"192", AddressCheck::WrongSectionCount},
      {"192.168.256.1", AddressCheck::SectionOutOfRange},
      {"300.1.1.1", AddressCheck::SectionOutOfRange},
      {"1.1.1.99999999999999999999", AddressCheck::SectionOutOfRange},
      // The scan stops at the first section out of range: a wrong count
      // after it is not reported.
      {"1.300", AddressCheck::SectionOutOfRange},
      // An empty section counts as 0.
      {"10..1.2", AddressCheck::Valid},
      {"...", AddressCheck::Valid},
      // The address part of address:port; the port is a number 1..65535.
      {"127.0.0.1:2121", AddressCheck::Valid},
      {"127.0.0.1:65535", AddressCheck::Valid},
      {"127.0.0.1:0", AddressCheck::PortOutOfRange},
      {"127.0.0.1:65536", AddressCheck::PortOutOfRange},
      {"127.0.0.1:", AddressCheck::PortOutOfRange},
      {"127.0.0.1:21:22", AddressCheck::PortOutOfRange},
      {"127.0.1:2121", AddressCheck::WrongSectionCount},
      {"127.0.0.256:2121", AddressCheck::SectionOutOfRange},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.address);
    EXPECT_EQ(CheckIpAddress(c.address), c.expected);
  }
  EXPECT_STREQ(AddressCheckMessage(AddressCheck::SectionOutOfRange),
               "One or more address sections for this IP address are out of range!");
  EXPECT_STREQ(AddressCheckMessage(AddressCheck::WrongSectionCount),
               "There are an incorrect amount of address sections for this IP address!");
  EXPECT_STREQ(AddressCheckMessage(AddressCheck::Valid), "");
}

}  // namespace
}  // namespace specterm
