#include "CodePage.h"

#include <gtest/gtest.h>

#include "ScopedEnv.h"

TEST(CodePage, SystemCodePageFromLocaleAndOverride) {
  struct Case {
    const char* name;
    std::optional<std::string> override, lcAll, lang;
    int expected;
  } cases[] = {
      {"PRC locale", std::nullopt, std::nullopt, "zh_CN.UTF-8", 936},
      {"Singapore locale", std::nullopt, std::nullopt, "zh_SG.GBK", 936},
      {"Taiwan locale", std::nullopt, std::nullopt, "zh_TW.UTF-8", 950},
      {"Hong Kong via LC_ALL", std::nullopt, "zh_HK.UTF-8", "en_US.UTF-8", 950},
      {"English locale", std::nullopt, std::nullopt, "en_US.UTF-8", 437},
      {"no locale", std::nullopt, std::nullopt, std::nullopt, 437},
      {"override wins", "1252", std::nullopt, "zh_CN.UTF-8", 1252},
      {"bad override ignored", "abc", std::nullopt, "zh_TW.UTF-8", 950},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScopedEnv cp("ORVANT_CODEPAGE", c.override), all("LC_ALL", c.lcAll),
        ctype("LC_CTYPE", std::nullopt), lang("LANG", c.lang);
    EXPECT_EQ(GetACP(), c.expected);
  }
}

TEST(CodePage, EncodeDecodeRoundTripsAndRefusals) {
  EXPECT_EQ(EncodeToCodePage("中文", 936), std::optional<std::string>("\xD6\xD0\xCE\xC4"));
  EXPECT_EQ(EncodeToCodePage("中文", 950), std::optional<std::string>("\xA4\xA4\xA4\xE5"));
  EXPECT_EQ(DecodeFromCodePage("\xD6\xD0\xCE\xC4", 936), std::optional<std::string>("中文"));
  EXPECT_EQ(EncodeToCodePage("中", 437), std::nullopt);
  EXPECT_EQ(EncodeToCodePage("abc", 12345), std::nullopt);
  EXPECT_EQ(DecodeFromCodePage("\xD6", 936), std::nullopt);  // a lead byte without its trail
  EXPECT_EQ(EncodeLossy("a中b", 437), "a?b");
  EXPECT_EQ(DecodeLossy("a\xD6\xD0\xFF", 936), "a中?");
}

TEST(CodePage, AnsiByteLengthCountsChineseAsTwo) {
  struct Case {
    const char* text;
    int codePage, expected;
  } cases[] = {
      {"", 936, 0},     {"abc", 936, 3},  {"中文", 936, 4},
      {"中文", 950, 4}, {"a中b", 936, 4}, {"中", 437, 1},  // not in CP437: one "?" byte
      {"简", 950, 1},                                      // simplified only: not in BIG5
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " in " + std::to_string(c.codePage));
    EXPECT_EQ(AnsiByteLength(c.text, c.codePage), c.expected);
  }
}

TEST(CodePage, AnsiLeftNeverSplitsACharacter) {
  EXPECT_EQ(AnsiLeft("ab中文", 3, 936), "ab");
  EXPECT_EQ(AnsiLeft("ab中文", 4, 936), "ab中");
  EXPECT_EQ(AnsiLeft("ab中文", 100, 936), "ab中文");
  EXPECT_EQ(AnsiLeft("中", 1, 936), "");
}

TEST(CodePage, TextFilesHonourTheByteOrderMark) {
  ScopedEnv cp("ORVANT_CODEPAGE", "936");
  EXPECT_EQ(DecodeTextFile("\xEF\xBB\xBF中文"), "中文");
  EXPECT_EQ(DecodeTextFile("\xD6\xD0\xCE\xC4"), "中文");
}
