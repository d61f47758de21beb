// The table of wanted names and the lines a listing writes them on, from
// which the symbol index takes its declaration lines.
#include "codeweft/core/output/NameLines.h"

#include <gtest/gtest.h>

#include <string>

namespace codeweft {
namespace {

TEST(NameLines, KeysIgnoreCaseOfLettersOnly) {
  EXPECT_EQ(NameKey("TForm1"), NameKey("tform1"));
  EXPECT_EQ(NameKey("A_LONGER_NAME_THAN_EIGHT"), NameKey("a_longer_name_than_eight"));
  // Names that differ in any byte or in length have different keys (for
  // every length the key is made of: short, four to seven, eight and more).
  for (const char *Name : {"a", "ab", "abc", "abcd", "abcdefg", "abcdefgh", "abcdefghijk"}) {
    const std::string S = Name;
    EXPECT_NE(NameKey(S), NameKey(S + "x")) << S;
    EXPECT_NE(NameKey(S), NameKey("z" + S.substr(1))) << S;
    EXPECT_NE(NameKey(S), NameKey(S.substr(0, S.size() - 1) + "z")) << S;
    EXPECT_NE(NameKey(S), 0u);
  }
  EXPECT_NE(NameKey("a[b"), NameKey("a{b"));  // "[" and "{" are no letters
  EXPECT_NE(NameKey("\xC4x"), NameKey("\xE4x"));
}

TEST(NameLines, RecordsTheLinesOfWantedNamesOnly) {
  TNameLines Lines;
  Lines.Clear(2);
  Lines.Want("TThing");
  Lines.Want("Run");
  Lines.Saw("tthing", 4);
  Lines.Saw("Other", 5);
  Lines.Saw("RUN", 5);
  Lines.Saw("Run", 5);  // twice on one line counts once
  Lines.Saw("Run", 9);
  EXPECT_EQ(Lines.FirstLine("TThing"), 4);
  EXPECT_EQ(Lines.FirstLine("run"), 5);
  EXPECT_EQ(Lines.FirstLine("Run", 6), 9);  // the first at or after a class's line
  EXPECT_EQ(Lines.FirstLine("Run", 10), 0);
  EXPECT_EQ(Lines.FirstLine("Other"), 0);  // never wanted
  EXPECT_EQ(Lines.FirstLine("Missing"), 0);
  Lines.Clear();
  EXPECT_EQ(Lines.FirstLine("TThing"), 0);
}

TEST(NameLines, GrowsPastTheExpectedCount) {
  TNameLines Lines;
  Lines.Clear(1);
  for (int I = 0; I < 5000; ++I) Lines.Want("Name" + std::to_string(I));
  for (int I = 0; I < 5000; ++I) Lines.Saw("NAME" + std::to_string(I), I + 1);
  for (int I = 0; I < 5000; I += 97) EXPECT_EQ(Lines.FirstLine("name" + std::to_string(I)), I + 1);
}

}  // namespace
}  // namespace codeweft
