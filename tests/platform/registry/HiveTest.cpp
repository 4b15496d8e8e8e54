#include "registry/Hive.h"

#include <gtest/gtest.h>

namespace {

using registry::detail::Hive;
using registry::detail::KeyPath;
using registry::detail::ParseHive;
using registry::detail::Value;
using registry::detail::WriteHive;

constexpr const char* Root = "HKEY_CURRENT_USER";

const Value* Find(const Hive& hive, const KeyPath& path, const char* name) {
  const auto* key = hive.Find(path);
  return key == nullptr ? nullptr : Hive::FindValue(*key, name);
}

TEST(HiveTextTest, WritesTheExportFormat) {
  Hive hive;
  auto& key = hive.Create({"Software", "Tavlor", "Orbscope"});
  Hive::SetValue(key, Value{"DataFile", 1, "C:\\img\\\"a\".bin"});
  Hive::SetValue(key, Value{"ImageType", 4, std::string("\xff\xff\xff\xff", 4)});
  Hive::SetValue(key, Value{"", 1, "default"});
  EXPECT_EQ(WriteHive(hive, "HKEY_LOCAL_MACHINE"),
            "REGEDIT4\n"
            "\n[HKEY_LOCAL_MACHINE\\Software]\n"
            "\n[HKEY_LOCAL_MACHINE\\Software\\Tavlor]\n"
            "\n[HKEY_LOCAL_MACHINE\\Software\\Tavlor\\Orbscope]\n"
            "\"DataFile\"=\"C:\\\\img\\\\\\\"a\\\".bin\"\n"
            "\"ImageType\"=dword:ffffffff\n"
            "@=\"default\"\n"
            "\n");
}

TEST(HiveTextTest, EveryValueFormRoundTrips) {
  Hive hive;
  auto& key = hive.Create({"A"});
  const std::vector<Value> values = {
      {"quote\"name\\", 1, "say \"hi\" \\ a=b \xc3\xa9\xff"},
      {"empty", 1, ""},
      {"lines", 1, "one\r\ntwo"},
      {"nul", 1, std::string("a\0b", 3)},
      {"dword", 4, std::string("\x0a\x00\x00\x00", 4)},
      {"short dword", 4, std::string("\x01\x02", 2)},
      {"binary", 3, std::string("\x00\x10\xfe", 3)},
      {"expand", 2, std::string("%HOME%\0", 7)},
      {"no bytes", 3, ""},
  };
  for (const Value& v : values) Hive::SetValue(key, v);
  const std::string text = WriteHive(hive, Root);
  const auto parsed = ParseHive(text, Root);
  EXPECT_TRUE(parsed.problems.empty()) << parsed.problems.front();
  for (const Value& v : values) {
    const Value* back = Find(parsed.hive, {"a"}, v.name.c_str());
    ASSERT_NE(back, nullptr) << v.name;
    EXPECT_EQ(back->type, v.type) << v.name;
    EXPECT_EQ(back->data, v.data) << v.name;
  }
  EXPECT_EQ(WriteHive(parsed.hive, Root), text);
}

TEST(HiveTextTest, ReadsWhatOtherWritersProduce) {
  const std::string text =
      "REGEDIT4\r\n\r\n"
      "[HKEY_CURRENT_USER\\Deep\\Key]\r\n"
      "\"Path\"=\"C:\\dir\\file\"\r\n"
      "\"Wrapped\"=hex:01,02,\\\r\n"
      "  03,04\r\n"
      "\"Count\"=DWORD:1A\r\n"
      "@=\"x\"\r\n";
  const auto parsed = ParseHive(text, Root);
  EXPECT_TRUE(parsed.problems.empty());
  // Parents of a section exist as keys of their own.
  EXPECT_NE(parsed.hive.Find({"deep"}), nullptr);
  EXPECT_EQ(Find(parsed.hive, {"Deep", "Key"}, "Path")->data, "C:\\dir\\file");
  EXPECT_EQ(Find(parsed.hive, {"Deep", "Key"}, "Wrapped")->data, std::string("\x01\x02\x03\x04", 4));
  EXPECT_EQ(Find(parsed.hive, {"Deep", "Key"}, "count")->data, std::string("\x1a\x00\x00\x00", 4));
  EXPECT_EQ(Find(parsed.hive, {"Deep", "Key"}, "")->data, "x");
}

TEST(HiveTextTest, DamagedPartsAreReportedAndTheRestKept) {
  const std::string text =
      "\"Orphan\"=\"before any key\"\n"
      "[HKEY_CURRENT_USER\\Good]\n"
      "\"Kept\"=\"yes\"\n"
      "\"Broken\"=\"no end\n"
      "garbage line\n"
      "\"Count\"=dword:123456789\n"
      "\"Twice\"=\"1\"\n"
      "\"twice\"=\"2\"\n"
      "[HKEY_LOCAL_MACHINE\\Other]\n"
      "\"Lost\"=\"x\"\n"
      "[HKEY_CURRENT_USER\\Good\\Sub]\n"
      "\"Also\"=dword:00000001\n";
  const auto parsed = ParseHive(text, Root);
  // Missing header, orphan, unterminated text, garbage, long dword, the
  // repeated name, the foreign key and its value.
  EXPECT_EQ(parsed.problems.size(), 8u);
  EXPECT_EQ(Find(parsed.hive, {"Good"}, "Kept")->data, "yes");
  EXPECT_EQ(Find(parsed.hive, {"Good"}, "Twice")->data, "2");
  EXPECT_EQ(Find(parsed.hive, {"Good", "Sub"}, "Also")->type, 4u);
  EXPECT_EQ(Find(parsed.hive, {"Good"}, "Broken"), nullptr);
  EXPECT_EQ(parsed.hive.Find({"Other"}), nullptr);
}

TEST(HiveTextTest, ValuesAfterACutKeyLineStayOutOfTheKeyBefore) {
  const auto parsed = ParseHive(
      "REGEDIT4\n[HKEY_CURRENT_USER\\Good]\n[HKEY_CURRENT_USER\\Cut\n\"Stray\"=\"x\"\n"
      "[HKEY_CURRENT_USER\\Next]\n\"Found\"=\"y\"\n",
      Root);
  EXPECT_EQ(parsed.problems.size(), 2u);  // the cut line and the value under it
  EXPECT_EQ(Find(parsed.hive, {"Good"}, "Stray"), nullptr);
  EXPECT_EQ(Find(parsed.hive, {"Next"}, "Found")->data, "y");
}

TEST(HiveTextTest, EmptyTextIsAnEmptyHive) {
  const auto parsed = ParseHive("", Root);
  EXPECT_TRUE(parsed.problems.empty());
  EXPECT_EQ(parsed.hive.Keys().size(), 1u);
  EXPECT_EQ(WriteHive(parsed.hive, Root), "REGEDIT4\n\n");
}

TEST(HiveModelTest, NamesCompareWithoutCaseAndKeepTheirFirstSpelling) {
  Hive hive;
  hive.Create({"Software", "Halden"});
  bool created = true;
  auto& again = hive.Create({"SOFTWARE", "halden"}, &created);
  EXPECT_FALSE(created);
  EXPECT_EQ(again.path, (KeyPath{"Software", "Halden"}));
  Hive::SetValue(again, Value{"LastPath", 1, "a"});
  Hive::SetValue(again, Value{"LASTPATH", 1, "b"});
  ASSERT_EQ(again.values.size(), 1u);
  EXPECT_EQ(again.values[0].name, "LastPath");
  EXPECT_EQ(again.values[0].data, "b");
}

TEST(HiveModelTest, SubkeysAndErase) {
  Hive hive;
  hive.Create({"A", "B"});
  hive.Create({"AB"});
  EXPECT_TRUE(hive.HasSubkeys({"a"}));
  EXPECT_FALSE(hive.HasSubkeys({"AB"}));  // a name prefix is not a parent
  hive.Erase({"A", "b"});
  EXPECT_FALSE(hive.HasSubkeys({"A"}));
  EXPECT_NE(hive.Find({"A"}), nullptr);
}

TEST(HiveModelTest, SplitPath) {
  KeyPath path;
  EXPECT_TRUE(registry::detail::SplitPath("\\Software\\\\Halden\\", path));
  EXPECT_EQ(path, (KeyPath{"Software", "Halden"}));
  EXPECT_FALSE(registry::detail::SplitPath("bad\nname", path));
  EXPECT_FALSE(registry::detail::SplitPath(std::string(256, 'x'), path));
}

}  // namespace
