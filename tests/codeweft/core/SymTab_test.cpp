#include "codeweft/core/symbols/SymTab.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace codeweft {
namespace {

using R = TRefKind;

// A table with a phase and current unit of its own, as the run state has.
struct SymTabTest : ::testing::Test {
  TPhase Phase = TPhase::phProject;
  std::string CurrentUnit;
  TSymbolTable T{Phase, CurrentUnit};

  std::vector<std::string> IdentNames(int Unit) {
    std::vector<std::string> N;
    for (const TRefElm &E : T.Units[Unit].Idents) N.push_back(E.Name);
    return N;
  }
};

TEST(KindNameTest, LowSevenBitsChooseTheNameAndUnknownKindsLeaveTheText) {
  std::string Text = "unchanged";
  KindName(2, Text);
  EXPECT_EQ(Text, "Class/Object");
  Text.clear();
  KindName(130, Text);
  EXPECT_EQ(Text, "Class/Object");
  KindName(R::rkRecord, Text);
  EXPECT_EQ(Text, "Record");
  KindName(0, Text);
  EXPECT_EQ(Text, "Variable");
  KindName(12, Text);
  EXPECT_EQ(Text, "Variable");
  KindName(255, Text); // 127 after masking
  EXPECT_EQ(Text, "Variable");
}

TEST_F(SymTabTest, AddUnitNamesTheUnitAfterItsFileOnlyWhileTheProjectIsScanned) {
  T.AddUnit("lib\\Tools.pas");
  T.AddUnit("src/Shapes.pp");
  T.AddUnit("Main.pas");
  ASSERT_EQ(T.Units.size(), 3u);
  EXPECT_EQ(T.Units[0].Name, "Tools");
  EXPECT_EQ(T.Units[0].FileName, "lib\\Tools.pas");
  EXPECT_EQ(T.Units[1].Name, "Shapes");
  Phase = TPhase::phSymbols;
  T.AddUnit("Late.pas");
  EXPECT_EQ(T.Units.size(), 3u);
  T.DeleteUnit(1);
  T.DeleteUnit(7);
  T.DeleteUnit(-1);
  ASSERT_EQ(T.Units.size(), 2u);
  EXPECT_EQ(T.Units[1].Name, "Main");
}

TEST_F(SymTabTest, RecordingHappensOnlyInTheSymbolPass) {
  T.AddUnit("Main.pas");
  Phase = TPhase::phInterface;
  T.AddIdent("Main", "X", R::rkVariable);
  T.AddClass("Main", "TFoo");
  EXPECT_TRUE(T.Units[0].Idents.empty());
  EXPECT_TRUE(T.Units[0].Classes.empty());
  Phase = TPhase::phSymbols;
  T.AddIdent("MAIN", "X", R::rkVariable); // unit found whatever the case
  T.AddClass("main", "TFoo");
  T.AddMember("Main", "tfoo", "Run", R::rkProcedure);
  T.AddMember("Main", "TMissing", "Lost", R::rkProcedure);
  T.AddIdent("Missing", "Y", R::rkVariable);
  ASSERT_EQ(T.Units[0].Idents.size(), 1u);
  ASSERT_EQ(T.Units[0].Classes.size(), 1u);
  ASSERT_EQ(T.Units[0].Classes[0].Members.size(), 1u);
  EXPECT_EQ(T.Units[0].Classes[0].Members[0].Name, "Run");
}

TEST_F(SymTabTest, SetLastKindChangesTheLastIdentifierOfTheCurrentUnit) {
  T.AddUnit("Main.pas");
  T.AddUnit("Other.pas");
  Phase = TPhase::phSymbols;
  CurrentUnit = "Main";
  T.SetLastKind(R::rkClass); // nothing recorded yet: nothing happens
  T.AddIdent("Main", "TFoo", R::rkType);
  T.AddIdent("Other", "TBar", R::rkType);
  T.SetLastKind(R::rkClass);
  EXPECT_EQ(T.Units[0].Idents[0].Kind, R::rkClass);
  EXPECT_EQ(T.Units[1].Idents[0].Kind, R::rkType);
  Phase = TPhase::phInterface;
  T.SetLastKind(R::rkRecord);
  EXPECT_EQ(T.Units[0].Idents[0].Kind, R::rkClass);
}

TEST_F(SymTabTest, ListsKeepInsertionOrderUntilSortAll) {
  T.AddUnit("Main.pas");
  T.AddUnit("Alpha.pas");
  Phase = TPhase::phSymbols;
  T.AddIdent("Main", "Beta", R::rkProcedure);
  T.AddIdent("Main", "alpha", R::rkVariable);
  T.AddClass("Main", "TZ");
  T.AddClass("Main", "ta");
  T.AddMember("Main", "TZ", "Zed", R::rkFunction);
  T.AddMember("Main", "TZ", "abc", R::rkFunction);
  EXPECT_EQ(IdentNames(0), (std::vector<std::string>{"Beta", "alpha"}));
  T.SortAll();
  EXPECT_EQ(T.Units[0].Name, "Alpha");
  EXPECT_EQ(IdentNames(1), (std::vector<std::string>{"alpha", "Beta"}));
  EXPECT_EQ(T.Units[1].Classes[0].Name, "ta");
  EXPECT_EQ(T.Units[1].Classes[1].Members[0].Name, "abc");
}

TEST_F(SymTabTest, LookupsIgnoreCaseAndReportMissingNames) {
  for (const char *F : {"Main.pas", "Tools.pas", "Beta.pas"}) T.AddUnit(F);
  Phase = TPhase::phSymbols;
  T.AddIdent("Tools", "DoIt", R::rkProcedure);
  T.AddIdent("Tools", "Count", R::rkVariable);
  // Before sorting, the symbol pass finds identifiers from the front.
  EXPECT_EQ(T.IdentIndex("tools", "COUNT"), 1);
  T.SortAll();
  Phase = TPhase::phInterface;
  EXPECT_EQ(T.UnitIndex("MAIN"), 1);
  EXPECT_EQ(T.UnitIndex("Main "), -1);
  EXPECT_EQ(T.UnitIndex("Nowhere"), -1);
  EXPECT_EQ(T.IdentIndex("TOOLS", "doit"), 1);
  EXPECT_EQ(T.IdentIndex("Tools", "Nothing"), -1);
  EXPECT_EQ(T.IdentIndex("Nowhere", "DoIt"), -1);
  EXPECT_EQ(T.IdentKind("tools", "DOIT"), R::rkProcedure);
  EXPECT_EQ(T.IdentKind("Nowhere", "DoIt"), R::rkVariable);
  EXPECT_EQ(T.IdentKind("Tools", "Nothing"), R::rkVariable);
}

TEST(BinarySearchTest, FindsEveryNameOfSortedListsOfAnySize) {
  for (int N = 0; N < 40; ++N) {
    std::vector<TRefElm> L;
    for (int i = 0; i < N; ++i) L.push_back({"n" + std::to_string(100 + i), R::rkType});
    for (int i = 0; i < N; ++i) EXPECT_EQ(FindSorted(L, "N" + std::to_string(100 + i)), i);
    EXPECT_EQ(FindSorted(L, "n099"), -1);
    EXPECT_EQ(FindSorted(L, "n1000"), -1);
    EXPECT_EQ(FindSorted(L, "zzz"), -1);
  }
}

TEST(BinarySearchTest, AmongEqualNamesTheFirstProbedIsFound) {
  // low 0, high 4: the first probe is index 2.
  std::vector<TRefElm> L = {{"a", R::rkType}, {"b", R::rkLabel}, {"B", R::rkRecord},
                            {"b", R::rkClass}, {"c", R::rkType}};
  EXPECT_EQ(FindSorted(L, "b"), 2);
}

TEST_F(SymTabTest, FlatRefsGatherTheVisibleIdentifiersOfSeveralUnits) {
  T.AddUnit("Main.pas");
  T.AddUnit("Tools.pas");
  Phase = TPhase::phSymbols;
  T.AddIdent("Main", "Init", R::rkProcedure);
  T.AddIdent("Main", "Zeta", R::rkVariable);
  T.AddIdent("Tools", "Init", R::rkFunction);
  T.AddIdent("Tools", "Alpha", R::rkConstant);
  T.AddClass("Tools", "TThing");
  T.AddMember("Tools", "TThing", "Method", R::rkProcedure);
  T.SortAll();

  T.BuildFlatRefs({0}); // not a writing phase: nothing
  EXPECT_TRUE(T.FlatRefs.empty());
  Phase = TPhase::phImplementation;
  T.BuildFlatRefs({T.UnitIndex("Main")});
  EXPECT_EQ(T.FlatRefs.size(), 2u);
  T.AddFlatRefs({T.UnitIndex("Tools"), -1, 99}); // indexes outside Units are passed over
  ASSERT_EQ(T.FlatRefs.size(), 4u);
  EXPECT_EQ(T.FlatRefs[0].Name, "Alpha");
  EXPECT_EQ(T.FlatRefs[0].UnitName, "Tools");
  EXPECT_EQ(T.FlatRefs[0].Kind, R::rkConstant);
  const int i = T.FlatRefIndex("INIT");
  ASSERT_GE(i, 0);
  EXPECT_EQ(T.FlatRefs[i].Name, "Init");
  EXPECT_EQ(T.FlatRefIndex("Method"), -1); // members never enter
  T.BuildFlatRefs({1}); // a new list
  EXPECT_EQ(T.FlatRefs.size(), 2u);
  T.FreeFlatRefs();
  EXPECT_TRUE(T.FlatRefs.empty());
  T.FreeSymbols();
  EXPECT_TRUE(T.Units.empty());
}

} // namespace
} // namespace codeweft
