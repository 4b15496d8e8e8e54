#include "modems/Modems.h"
#include "modems/StartModem.h"

#include <gtest/gtest.h>

#include <string>

namespace specterm {
namespace {

vb::DateTime At(int day, int hour, int minute, int second) { return {2024, 3, day, hour, minute, second}; }

Modems ThreeModems() {
  Modems m;
  m.Add("Alpha", "127.0.1.1", false, At(1, 10, 0, 0), 1, 0, "Alpha");
  m.Add("Bravo", "127.0.1.2", false, At(2, 10, 0, 0), 2, 0, "Bravo");
  m.Add("Charlie", "127.0.1.3", false, At(3, 10, 0, 0), 3, 0, "Charlie");
  return m;
}

TEST(ModemsTest, ItemsByPositionAndByKeyWithoutRegardToCase) {
  Modems m = ThreeModems();
  EXPECT_EQ(m.Count(), 3);
  EXPECT_EQ(m.Item(2)->Name, "Bravo");
  EXPECT_EQ(m.Item("bRAVO")->IP_Address, "127.0.1.2");
  EXPECT_TRUE(m.Exists("charlie"));
  EXPECT_FALSE(m.Exists("Delta"));
  EXPECT_FALSE(m.Exists(""));
  EXPECT_THROW(m.Item(0), std::out_of_range);
  EXPECT_THROW(m.Item(4), std::out_of_range);
  EXPECT_THROW(m.Item("Delta"), std::out_of_range);
}

TEST(ModemsTest, AddKeepsEveryPropertyAndRefusesATakenKey) {
  Modems m;
  auto added = m.Add("Rack 7", "127.0.2.7", true, At(5, 23, 59, 58), 4, 9, "Rack 7");
  EXPECT_EQ(added->Name, "Rack 7");
  EXPECT_TRUE(added->IsThere);
  EXPECT_EQ(added->LastComm.second, 58);
  EXPECT_EQ(added->Index, 4);
  EXPECT_EQ(added->Recent, 9);
  EXPECT_THROW(m.Add("RACK 7", "127.0.3.1", false, At(1, 0, 0, 0), 5, 0, "RACK 7"), std::invalid_argument);
  EXPECT_EQ(m.Count(), 1);
  // Without a key a second record of the same name is allowed.
  m.Add("Rack 7", "127.0.3.1", false, At(1, 0, 0, 0), 5, 0, "");
  EXPECT_EQ(m.Count(), 2);
  EXPECT_EQ(m.Item("rack 7")->Index, 4);
}

TEST(ModemsTest, RemoveByKeyOrPositionAndClear) {
  Modems m = ThreeModems();
  m.Remove("BRAVO");
  EXPECT_EQ(m.Count(), 2);
  EXPECT_EQ(m.Item(2)->Name, "Charlie");
  EXPECT_THROW(m.Remove("Bravo"), std::out_of_range);
  m.Remove(1);
  EXPECT_EQ(m.Item(1)->Name, "Charlie");
  m.Clear();
  EXPECT_EQ(m.Count(), 0);
}

TEST(ModemsTest, IndexMatchesTheNameExactly) {
  Modems m = ThreeModems();
  EXPECT_EQ(m.Index("Charlie"), 3);
  EXPECT_EQ(m.Index("charlie"), 0);
  EXPECT_EQ(m.Index("Nobody"), 0);
}

TEST(ModemsTest, RenameKeyRenamesAndRekeysEveryRecord) {
  Modems m = ThreeModems();
  m.Add("Loose", "127.0.1.9", false, At(4, 0, 0, 0), 4, 0, "");
  EXPECT_EQ(m.RenameKey("Bravo", "Bravo 2"), 2);
  EXPECT_EQ(m.Item(2)->Name, "Bravo 2");
  EXPECT_TRUE(m.Exists("bravo 2"));
  EXPECT_FALSE(m.Exists("Bravo"));
  // The record added without a key is now keyed by its name.
  EXPECT_TRUE(m.Exists("Loose"));
  EXPECT_EQ(m.RenameKey("Nobody", "X"), 0);
}

TEST(ModemsTest, RenameKeyOntoAnotherModemChangesNothing) {
  Modems m = ThreeModems();
  EXPECT_THROW(m.RenameKey("Bravo", "alpha"), std::invalid_argument);
  EXPECT_EQ(m.Item(2)->Name, "Bravo");
  EXPECT_TRUE(m.Exists("Bravo"));
}

TEST(ModemsTest, RecentListIsNewestFirst) {
  Modems m = ThreeModems();
  m.SetRecent();
  EXPECT_EQ(m.RecentList(1), 3);
  EXPECT_EQ(m.RecentList(2), 2);
  EXPECT_EQ(m.RecentList(3), 1);
  EXPECT_EQ(m.RecentList(4), 0);
  EXPECT_EQ(m.GetRecent(1), "Charlie");
  EXPECT_EQ(m.GetRecent(3), "Alpha");
}

TEST(ModemsTest, RecentListKeepsTheTenNewestOfTwelveWithTiesByIndex) {
  Modems m;
  // Modems 1..12 communicated on days 1..12, except that 5 and 9 share the
  // same second, and 11 and 12 share one too.
  for (int i = 1; i <= 12; ++i) {
    vb::DateTime when = At(i, 8, 30, 15);
    if (i == 5) when = At(9, 8, 30, 15);
    if (i == 12) when = At(11, 8, 30, 15);
    const std::string n = std::to_string(i);
    m.Add("M" + n, "127.0.1." + n, false, when, i, 0, "M" + n);
  }
  m.SetRecent();
  // Newest: day 11 (12 before 11: the higher index is newer), then day 10,
  // day 9 (9 before 5), 8, 7, 6, 4, 3.
  const int expected[10] = {12, 11, 10, 9, 5, 8, 7, 6, 4, 3};
  for (int n = 1; n <= 10; ++n) EXPECT_EQ(m.RecentList(n), expected[n - 1]) << n;
  EXPECT_EQ(m.GetRecent(1), "M12");
}

TEST(ModemsTest, RecentOrderComparesTheWholeTimeStamp) {
  Modems m;
  // Same day, times differing only in the seconds, and a later year with an
  // earlier month: the stamp sorts year first.
  m.Add("A", "1", false, {2023, 12, 31, 23, 59, 59}, 1, 0, "A");
  m.Add("B", "2", false, {2024, 1, 1, 0, 0, 0}, 2, 0, "B");
  m.Add("C", "3", false, {2024, 1, 1, 0, 0, 1}, 3, 0, "C");
  m.SetRecent();
  EXPECT_EQ(m.GetRecent(1), "C");
  EXPECT_EQ(m.GetRecent(2), "B");
  EXPECT_EQ(m.GetRecent(3), "A");
}

TEST(ModemsTest, RecentNamesFollowIndexNotPosition) {
  Modems m;
  m.Add("Second", "2", false, At(2, 0, 0, 0), 2, 0, "Second");
  m.Add("First", "1", false, At(1, 0, 0, 0), 1, 0, "First");
  m.SetRecent();
  EXPECT_EQ(m.GetRecent(1), "Second");
  EXPECT_EQ(m.GetRecent(2), "First");
}

TEST(ModemsTest, NoModemsLeaveTheRecentListEmpty) {
  Modems m = ThreeModems();
  m.SetRecent();
  m.Clear();
  m.SetRecent();
  for (int n = 1; n <= 10; ++n) EXPECT_EQ(m.RecentList(n), 0);
  EXPECT_EQ(m.GetRecent(1), "");
}

TEST(ModemsTest, EnumerationIsInCollectionOrder) {
  Modems m = ThreeModems();
  std::string names;
  for (const auto& modem : m) names += modem->Name + ",";
  EXPECT_EQ(names, "Alpha,Bravo,Charlie,");
}

}  // namespace
}  // namespace specterm

namespace specterm {
namespace {

struct StartCase {
  const char* modem;
  const char* name;
  const char* wantName;  // "" with an error
  const char* wantAddress;
  bool add;
};

class StartModemTest : public testing::TestWithParam<StartCase> {};

TEST_P(StartModemTest, ChoosesAStoredModemOrANewRecordOrSaysWhy) {
  Modems m;
  m.Add("Lab", "127.0.0.2:2121", false, {2024, 3, 1, 10, 0, 0}, 1, 0, "Lab");
  m.Add("Rack", "127.0.0.3", false, {2024, 3, 2, 10, 0, 0}, 2, 0, "Rack");
  const StartCase& c = GetParam();
  const StartModemChoice choice = ChooseStartModem(m, {c.modem, c.name});
  EXPECT_EQ(choice.Name, c.wantName);
  EXPECT_EQ(choice.Address, c.wantAddress);
  EXPECT_EQ(choice.Add, c.add);
  EXPECT_EQ(choice.Error.empty(), *c.wantName != '\0') << choice.Error;
}

INSTANTIATE_TEST_SUITE_P(Requests, StartModemTest,
                         testing::Values(StartCase{"lab", "", "Lab", "127.0.0.2:2121", false},    // a name, any case
                                         StartCase{"127.0.0.3", "", "Rack", "127.0.0.3", false},  // a stored address
                                         StartCase{"127.0.0.4:2121", "", "127.0.0.4:2121", "127.0.0.4:2121", true},
                                         StartCase{"127.0.0.3", "Spare", "Spare", "127.0.0.3",
                                                   true},  // stored again by name
                                         StartCase{"127.0.0.2:2121", "Lab", "Lab", "127.0.0.2:2121", false},
                                         StartCase{"127.0.0.5", "Lab", "", "", false},     // the name is taken
                                         StartCase{"Nowhere", "", "", "", false},          // no modem, no address
                                         StartCase{"127.0.0.1:99999", "", "", "", false},  // no port
                                         StartCase{"", "", "", "", false}));

}  // namespace
}  // namespace specterm
