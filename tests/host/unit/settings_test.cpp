// INI files, the section rewrite of ktSavePhonebook, setting values and the start-up items.
#include <gtest/gtest.h>

#include "kt.h"
#include "phonebook.h"
#include "serial.h"
#include "startup.h"

TEST(Ini, SectionsAndKeysIgnoreCaseAndComments) {
  auto sections = ini_parse("; top\nstray=1\n[One]\n Key = v 1 \n;x=2\nkey=second\n[two]\nflag\n");
  ASSERT_EQ(sections.size(), 2u);
  EXPECT_EQ(sections[0].name, "One");
  ASSERT_TRUE(sections[0].keys.find("KEY"));
  EXPECT_EQ(*sections[0].keys.find("KEY"), "v 1");  // the first of two wins
  EXPECT_FALSE(sections[0].keys.find("x"));
  EXPECT_EQ(*sections[1].keys.find("flag"), "");
}

TEST(Ini, ReplacingASectionKeepsEveryOtherByte) {
  Settings keys;
  keys.set("Port", "24");
  keys.set("port", "25");
  const std::string text = "; book\r\n[a]\nPort=1\n\n; about b\n[B]\nPort=2\n; end of b\n\n[c]\nx=y";
  EXPECT_EQ(ini_replace_section(text, "b", keys),
            "; book\r\n[a]\nPort=1\n\n; about b\n[b]\nPort=25\n; end of b\n\n[c]\nx=y");
  EXPECT_EQ(ini_replace_section(text, "d", keys), text + "\n\n[d]\nPort=25\n");
  EXPECT_EQ(ini_replace_section("", "d", keys), "[d]\nPort=25\n");
  EXPECT_EQ(ini_replace_section("[c]\nx=y\n", "C", keys), "[C]\nPort=25\n");
}

TEST(Settings, DefaultsCodesAndChecks) {
  Settings s;
  EXPECT_EQ(setting_text(s, "LineEnd", "n"), "telnet");
  s.set("Telnet", "no");
  EXPECT_EQ(setting_text(s, "LineEnd", "n"), "crlf");
  EXPECT_EQ(setting_code("Parity", "MARK"), KT_PARITY_MARK);
  EXPECT_EQ(setting_code("Telnet", "off"), 0);
  EXPECT_EQ(setting_code("Flow", "dtr"), -1);
  EXPECT_TRUE(setting_valid("DataBits", "7"));
  EXPECT_FALSE(setting_valid("DataBits", "9"));
  EXPECT_FALSE(setting_valid("Port", "65536"));
  EXPECT_FALSE(setting_valid("Rows", "-3"));
  speed_t speed;
  EXPECT_TRUE(serial_speed(115200, &speed));
  EXPECT_EQ(speed, B115200);
  EXPECT_FALSE(serial_speed(12345, &speed));
}

TEST(Startup, ItemsBetweenTheBrackets) {
  StartupItems items = parse_startup_items("[ testhost connect=yes  colour=red ] script.c [entry=no]");
  EXPECT_EQ(items.entry, "testhost");
  EXPECT_TRUE(items.connect);
  EXPECT_EQ(items.unknown, std::vector<std::string>{"colour=red"});
  EXPECT_EQ(parse_startup_items("script.c").entry, "");
  EXPECT_EQ(parse_startup_items("[entry=x").entry, "");
}
