#include "settings/ini_profile.h"

#include <gtest/gtest.h>

#include <string>

namespace tsukio {
namespace {

TEST(IniProfile, ReadsAsTheWindowsProfileFunctionsDo) {
  const IniProfile ini(
      "; a comment\n"
      "[other]\nMonth=5\n"
      "[PAGELEAF]\n"
      "  month = 1 \n"
      "WEEK=0x10\n"
      "Time=$1f\n"
      "Number=12abc\n"
      "ntpServer=\"ntp.example.jp\"\n"
      "httpServer= 'www.example.jp/index.html' \n"
      "Month=2\n"
      "[pageleaf]\nEtc=1\n");
  EXPECT_EQ(ini.ReadInteger("Pageleaf", "Month", 0), 1);  // the first key of a name wins
  EXPECT_EQ(ini.ReadInteger("Pageleaf", "Week", 0), 16);
  EXPECT_EQ(ini.ReadInteger("Pageleaf", "Time", 0), 31);
  EXPECT_EQ(ini.ReadInteger("Pageleaf", "Number", -1), -1);  // not a number: the default
  EXPECT_EQ(ini.ReadInteger("Pageleaf", "Missing", 7), 7);
  EXPECT_EQ(ini.ReadString("pageleaf", "NTPSERVER").value(), "ntp.example.jp");
  EXPECT_EQ(ini.ReadString("Pageleaf", "httpServer").value(), "www.example.jp/index.html");
  EXPECT_FALSE(ini.ReadString("Pageleaf", "Etc"));  // only the first section of a name counts
}

TEST(IniProfile, Integers) {
  EXPECT_EQ(ParseIniInteger("-5"), -5);
  EXPECT_EQ(ParseIniInteger(" 300 "), 300);
  EXPECT_EQ(ParseIniInteger("0x7FFFFFFF"), 2147483647);
  EXPECT_EQ(ParseIniInteger("-2147483648"), -2147483647 - 1);
  EXPECT_FALSE(ParseIniInteger("2147483648"));
  EXPECT_FALSE(ParseIniInteger("99999999999999999999999"));
  EXPECT_FALSE(ParseIniInteger("0x"));
  EXPECT_FALSE(ParseIniInteger("$"));
  EXPECT_FALSE(ParseIniInteger(""));
  EXPECT_FALSE(ParseIniInteger("1 2"));
  EXPECT_FALSE(ParseIniInteger("0x1G"));
}

TEST(IniProfile, WritingChangesOnlyTheKeysLine) {
  const std::string text =
      "\xEF\xBB\xBF; Tsukio\r\n"
      "[Pageleaf]\r\n"
      "Week=1\r\n"
      "; keep me\r\n"
      "Month=0\r\n"
      "\r\n"
      "[Other]\r\n"
      "x=y\r\n";
  IniProfile ini(text);
  ini.Write("Pageleaf", "month", "1");  // in place, the key spelt as written now
  ini.Write("Pageleaf", "Etc", "1");    // new: at the end of its section, before the blank
  EXPECT_EQ(ini.Text(),
            "\xEF\xBB\xBF; Tsukio\r\n"
            "[Pageleaf]\r\n"
            "Week=1\r\n"
            "; keep me\r\n"
            "month=1\r\n"
            "Etc=1\r\n"
            "\r\n"
            "[Other]\r\n"
            "x=y\r\n");
}

// Each line keeps its own ending: a file edited on both kinds of system, or with a stray CR,
// comes back byte for byte apart from the line that was written.
TEST(IniProfile, LinesKeepTheirOwnEndings) {
  const std::string text =
      "; from Windows\r\n"
      "[Pageleaf]\n"
      "Month=0\r\n"
      "; odd\r\r\n"
      "Week=1\n"
      "x=y";
  IniProfile ini(text);
  EXPECT_EQ(ini.Text(), text);
  EXPECT_EQ(ini.ReadString("Pageleaf", "Month").value(), "0");
  ini.Write("Pageleaf", "Month", "1");
  ini.Write("Pageleaf", "Week", "0");
  EXPECT_EQ(ini.Text(),
            "; from Windows\r\n"
            "[Pageleaf]\n"
            "Month=1\r\n"
            "; odd\r\r\n"
            "Week=0\n"
            "x=y");
  ini.Write("Pageleaf", "Etc", "1");  // new, after a last line that had no ending
  EXPECT_EQ(ini.Text().substr(text.size() - 3), "x=y\r\nEtc=1\r\n");  // CR LF: the majority

  IniProfile stray("[Pageleaf]\r\r\nMonth=1\r\r\n");
  EXPECT_EQ(stray.ReadInteger("Pageleaf", "Month", 0), 1);
  stray.Write("Pageleaf", "Week", "1");
  EXPECT_EQ(stray.Text(), "[Pageleaf]\r\r\nMonth=1\r\r\nWeek=1\r\n");
}

TEST(IniProfile, NewSectionsAndFiles) {
  IniProfile empty("");
  empty.Write("Pageleaf", "Month", "1");
  empty.Write("Pageleaf", "Week", "0");
  EXPECT_EQ(empty.Text(), "[Pageleaf]\nMonth=1\nWeek=0\n");

  IniProfile other("[Other]\nx=1");  // no final newline
  other.Write("Pageleaf", "Month", "1");
  EXPECT_EQ(other.Text(), "[Other]\nx=1\n\n[Pageleaf]\nMonth=1\n");

  IniProfile noSectionYet("Month=9\n");  // a key outside any section is not the section's
  noSectionYet.Write("Pageleaf", "Month", "1");
  EXPECT_EQ(noSectionYet.Text(), "Month=9\n\n[Pageleaf]\nMonth=1\n");
  EXPECT_EQ(IniProfile(noSectionYet.Text()).ReadInteger("Pageleaf", "Month", 0), 1);
}

TEST(IniProfile, BadFilesGiveDefaultsWithoutHarm) {
  std::string garbage;
  for (int i = 0; i < 5000; ++i) garbage += static_cast<char>((i * 7919) % 256);
  const IniProfile binary(garbage);
  EXPECT_EQ(binary.ReadInteger("Pageleaf", "Month", 0), 0);

  const std::string longLine =
      "[Pageleaf]\nntpServer=" + std::string(10 * 1024 * 1024, 'a') + "\nMonth=1\n";
  IniProfile huge(longLine);
  EXPECT_EQ(huge.ReadInteger("Pageleaf", "Month", 0), 1);
  huge.Write("Pageleaf", "Week", "1");
  EXPECT_EQ(huge.Text().size(), longLine.size() + 7);

  const IniProfile unterminated("[Pageleaf\nMonth=1\n[\n]\n=\n==\n");
  EXPECT_EQ(unterminated.ReadInteger("Pageleaf", "Month", 0), 0);
}

}  // namespace
}  // namespace tsukio
