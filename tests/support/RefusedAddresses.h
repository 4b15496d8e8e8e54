#pragma once

// Addresses that the programs' address checks must refuse. Every other
// address a test gives a program is on loopback (127.0.0.0/8): this table is
// the only place in tests/, scripts/, bench/ and fuzz/ where a dotted
// address outside it may stand, and scripts/check-loopback fails on any
// other. None of these can be connected to: each has a section over 255.

namespace testsupport::refused {

// loopback-check: refused addresses begin
inline constexpr const char* kThirdSectionOutOfRange = "10.0.300.5";
inline constexpr const char* kSectionOutOfRange = "192.168.256.1";
inline constexpr const char* kFirstSectionOutOfRange = "300.1.1.1";
// loopback-check: refused addresses end

}  // namespace testsupport::refused
