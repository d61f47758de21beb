#include "codeweft/core/RunState.h"

#include <gtest/gtest.h>

namespace codeweft {
namespace {

TEST(ChangeExtTest, ReplacesTheExtensionOfTheFileNamePart) {
  EXPECT_EQ(ChangeExt("C:\\src\\Demo.dpr", "html"), "C:\\src\\Demo.html");
  EXPECT_EQ(ChangeExt("Demo.dpr", "html"), "Demo.html");
  EXPECT_EQ(ChangeExt("Demo.pas", ""), "Demo");
  EXPECT_EQ(ChangeExt("lib\\Tools.pp", ""), "lib\\Tools");
  EXPECT_EQ(ChangeExt("a.b/Demo.x.pas", "rtf"), "a.b/Demo.x.rtf");
}

TEST(ChangeExtTest, AppendsAnExtensionWhenThereIsNone) {
  EXPECT_EQ(ChangeExt("Demo", "dpr"), "Demo.dpr");
  EXPECT_EQ(ChangeExt("C:\\tools\\hcrtf", "exe"), "C:\\tools\\hcrtf.exe");
  EXPECT_EQ(ChangeExt("/usr/v1.2/hcrtf", "exe"), "/usr/v1.2/hcrtf.exe");
  EXPECT_EQ(ChangeExt("Demo", ""), "Demo");
}

TEST(ChangeExtTest, EmptyAndQuotedNames) {
  EXPECT_EQ(ChangeExt("", "dpr"), "");
  EXPECT_EQ(ChangeExt("\"C:\\Demo.dpr\"", "hpj"), "C:\\Demo.hpj");
  EXPECT_EQ(ChangeExt("\"My Dir/Demo\"", "dpr"), "My Dir/Demo.dpr");
  EXPECT_EQ(ChangeExt("\"", "dpr"), "");
  EXPECT_EQ(ChangeExt("\"\"", "dpr"), "");
}

TEST(UnitNameFromFileTest, DropsDirectoryAndExtension) {
  EXPECT_EQ(UnitNameFromFile("lib\\Tools.pas"), "Tools");
  EXPECT_EQ(UnitNameFromFile("lib/Tools.pp"), "Tools");
  EXPECT_EQ(UnitNameFromFile("Tools"), "Tools");
  EXPECT_EQ(UnitNameFromFile("a.dir\\Tools"), "Tools");
  EXPECT_EQ(UnitNameFromFile("Main.pas"), "Main");
}

TEST(RunStateTest, TheSymbolTableFollowsTheRunsPhase) {
  TRunState S;
  S.Symbols.AddUnit("Main.pas");
  S.Phase = TPhase::phSymbols;
  S.CurrentUnit = "Main";
  S.Symbols.AddIdent("Main", "X", TRefKind::rkType);
  S.Symbols.SetLastKind(TRefKind::rkRecord);
  ASSERT_EQ(S.Symbols.Units[0].Idents.size(), 1u);
  EXPECT_EQ(S.Symbols.Units[0].Idents[0].Kind, TRefKind::rkRecord);
}

} // namespace
} // namespace codeweft
