#include "codeweft/core/lex/Keywords.h"
#include "codeweft/core/lex/TokenStream.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace codeweft {
namespace {

// A run state whose hook records every scanned token, and helpers to read a
// source through Advance.
struct TokenStreamTest : ::testing::Test {
  test::TTempDir Dir;
  TRunState S;
  std::string Hooked;                 // texts of every token the hook saw
  std::vector<bool> SkippingAtHook;   // the skipping flag when the hook ran
  int HookCalls = 0;

  TokenStreamTest() {
    S.Source.TokenHook = [this] {
      ++HookCalls;
      Hooked += S.Source.Token.Text;
      SkippingAtHook.push_back(S.Source.Conditionals.Skipping());
    };
  }

  void Open(const std::string &Source) {
    OpenSource(S, Dir.Write("s" + std::to_string(++Files) + ".pas", Source));
  }

  // The symbols every file starts with, as the defines text gives them.
  void Defines(const std::string &Text) {
    TDefines D;
    FillDefines(D, Text);
    S.Source.Conditionals.SetInitial(D);
  }

  // The significant tokens of Source as the grammar sees them, space-separated.
  std::string Significant(const std::string &Source) {
    Open(Source);
    std::string Out;
    for (Advance(S); !S.Source.AtEnd; Advance(S)) {
      EXPECT_FALSE(IsTrivia(S.Source.Token.Kind)) << S.Source.Token.Text;
      Out.append(Out.empty() ? "" : " ").append(S.Source.Token.Text);
    }
    EXPECT_EQ(S.Source.Token.Kind, TTokenKind::tkEnd);
    S.Source.Scanner.Close();
    return Out;
  }

  int Files = 0;
};

TEST_F(TokenStreamTest, AdvanceSkipsTriviaButTheHookSeesEveryToken) {
  const std::string Src = "unit A; { c } (* d *)\r\n// e\r\n{$R *.res} interface";
  EXPECT_EQ(Significant(Src), "unit A ; interface");
  EXPECT_EQ(Hooked, Src);
  EXPECT_EQ(HookCalls, 14); // 13 tokens and the final tkEnd
}

TEST_F(TokenStreamTest, AtTheEndTkEndStaysCurrentAndAdvancingAgainReturns) {
  Open("x");
  Advance(S);
  EXPECT_FALSE(S.Source.AtEnd);
  Advance(S);
  EXPECT_TRUE(S.Source.AtEnd);
  EXPECT_EQ(S.Source.Token.Kind, TTokenKind::tkEnd);
  Advance(S);
  EXPECT_TRUE(S.Source.AtEnd);
  EXPECT_EQ(S.Source.Token.Kind, TTokenKind::tkEnd);
}

TEST_F(TokenStreamTest, AScanningErrorEndsTheStreamLikeTheEndOfInput) {
  EXPECT_EQ(Significant("a b 'c"), "a b");
  EXPECT_EQ(Hooked, "a b ");
}

TEST_F(TokenStreamTest, IfdefAndIfndefTestTheDefinesText) {
  Defines("DEBUG");
  EXPECT_EQ(Significant("a {$IFDEF DEBUG} b {$ENDIF} c"), "a b c");
  EXPECT_EQ(Significant("a {$IFNDEF DEBUG} b {$ENDIF} c"), "a c");
  EXPECT_EQ(Significant("a {$ifdef debug} b {$else} x {$EndIf} c"), "a b c");
  EXPECT_EQ(Significant("a {$IFDEF NONE} b {$ELSE} x {$ENDIF} c"), "a x c");
  Defines("DEBUG;TRACE");
  EXPECT_EQ(Significant("{$IFDEF TRACE} t {$ENDIF}"), "t");
  Defines("DEBUG; TRACE");
  EXPECT_EQ(Significant("{$IFDEF TRACE} t {$ENDIF}"), "");
}

TEST_F(TokenStreamTest, RegionsNestAndDirectivesInsideSkippedRegionsDoNotAct) {
  EXPECT_EQ(Significant("{$IFDEF A} a {$IFDEF B} b {$ENDIF} c {$ENDIF} d"), "d");
  EXPECT_EQ(Significant("{$IFDEF NONE} {$DEFINE LATE} {$ENDIF} {$IFDEF LATE} y {$ENDIF}"), "");
  EXPECT_EQ(Significant("{$UNDEF NEVER} z"), "z");
}

TEST_F(TokenStreamTest, OneUndefRemovesANameDefinedTwice) {
  EXPECT_EQ(Significant("{$DEFINE X}{$DEFINE x}{$UNDEF X}{$IFDEF X} a {$ENDIF}"), "");
  EXPECT_EQ(Significant("{$UNDEF X}{$IFDEF X} a {$ENDIF} b"), "b");
}

TEST_F(TokenStreamTest, ArgumentsKeepTrailingBlanksAndTabsBelongToTheName) {
  Defines("D");
  EXPECT_EQ(Significant("{$IFDEF D } a {$ENDIF} b"), "b");
  // "IFDEF<tab>D" is the name of an unknown directive: nothing is switched off.
  EXPECT_EQ(Significant("{$IFDEF\tD} a {$ENDIF} b"), "a b");
}

TEST_F(TokenStreamTest, TheHookRunsBeforeTheDirectiveActsAndSkippedTokensStillReachIt) {
  const std::string Src = "{$IFDEF NONE} hidden {$ENDIF} shown";
  EXPECT_EQ(Significant(Src), "shown");
  EXPECT_EQ(Hooked, Src);
  ASSERT_GE(SkippingAtHook.size(), 3u);
  EXPECT_FALSE(SkippingAtHook[0]); // the IFDEF itself: not yet skipping
  EXPECT_TRUE(SkippingAtHook[1]);  // the blank after it
  EXPECT_TRUE(SkippingAtHook[2]);  // hidden
}

TEST_F(TokenStreamTest, SkippingNeverCarriesOverToTheNextFile) {
  EXPECT_EQ(Significant("a {$IFDEF NONE} b"), "a");
  EXPECT_TRUE(S.Source.Conditionals.Skipping());
  EXPECT_EQ(Significant("c {$ENDIF} d"), "c d");
  EXPECT_FALSE(S.Source.Conditionals.Skipping());
}

TEST(SplitDirectiveTest, NameAndArgument) {
  struct TCase {
    const char *Text, *Name, *Argument;
  } Cases[] = {
      {"{$IFDEF DEBUG}", "IFDEF", "DEBUG"},
      {"{$ENDIF}", "ENDIF", ""},
      {"{$DEFINE   X  }", "DEFINE", "X  "},
      {"{$IFDEF }", "IFDEF", ""},
      {"{$IFDEF\tX}", "IFDEF\tX", ""},
      {"{$R *.res}", "R", "*.res"},
      {"{$I+}", "I+", ""},
      {"{$}", "", ""},
      {"{$ X}", "", "X"},
      // The other bracket of directives.
      {"(*$IFDEF DEBUG*)", "IFDEF", "DEBUG"},
      {"(*$ENDIF*)", "ENDIF", ""},
      {"(*$I  inc/a.inc *)", "I", "inc/a.inc "},
      {"(*$*)", "", ""},
  };
  for (const TCase &C : Cases) {
    const TDirectiveParts D = SplitDirective(C.Text);
    EXPECT_EQ(D.Name, C.Name) << C.Text;
    EXPECT_EQ(D.Argument, C.Argument) << C.Text;
  }
}

// The queue operations as a grammar rule uses them, with a hook that keeps
// the writer's contract: trivia and skipped tokens are queued while deferring,
// otherwise the queue and then the token are written out.
TEST_F(TokenStreamTest, DeferredTokensReachTheOutputOnceAndInOrder) {
  std::string Out;
  S.Source.TokenHook = [&] {
    if (S.Source.Deferring) {
      if (IsTrivia(S.Source.Token.Kind) || S.Source.Conditionals.Skipping())
        QueueToken(S, S.Source.Token.Text, "", "", StyleOf(S.Source.Token.Kind));
      return;
    }
    for (const TDelayedToken &T : S.Source.PendingTokens)
      Out += T.Style == TTokenStyle::tsLink ? "<" + T.Caption + ">" : T.Text;
    S.Source.PendingTokens.clear();
    Out += S.Source.Token.Text;
  };
  Open("uses A, B; x");
  Advance(S); // uses
  BeginDeferral(S);
  Advance(S); // A
  const int A = static_cast<int>(S.Source.PendingTokens.size());
  QueueToken(S, S.Source.Token.Text, "", "", StyleOf(S.Source.Token.Kind));
  MakeLink(S, A, "A.html", "A", "unit_A", TTokenStyle::tsLink);
  MakeLink(S, 99, "x", "x", "x", TTokenStyle::tsLink); // outside the queue: ignored
  Advance(S); // ,
  QueueToken(S, S.Source.Token.Text, "", "", StyleOf(S.Source.Token.Kind));
  const std::size_t BeforeB = S.Source.PendingTokens.size(); // the blank after "," is queued later
  Advance(S); // B
  InsertToken(S, BeforeB, "", "", "anchor", TTokenStyle::tsAnchor);
  QueueToken(S, S.Source.Token.Text, "", "", StyleOf(S.Source.Token.Kind));
  Advance(S); // ;
  QueueCurrent(S);
  EXPECT_FALSE(S.Source.Deferring);
  Advance(S); // x: writes the queue, then x
  EXPECT_EQ(Out, "uses <A>, B; x");
  EXPECT_EQ(S.Source.PendingTokens.size(), 0u);
}

TEST_F(TokenStreamTest, InsertTokenPlacesEntriesAtANotedPosition) {
  QueueToken(S, "a", "", "", TTokenStyle::tsIdent);
  QueueToken(S, " ", "", "", TTokenStyle::tsSpace);
  InsertToken(S, 1, "", "", "anchor", TTokenStyle::tsAnchor);
  InsertToken(S, 50, "z", "", "", TTokenStyle::tsIdent);
  ASSERT_EQ(S.Source.PendingTokens.size(), 4u);
  EXPECT_EQ(S.Source.PendingTokens[1].Topic, "anchor");
  EXPECT_EQ(S.Source.PendingTokens[2].Text, " ");
  EXPECT_EQ(S.Source.PendingTokens[3].Text, "z");
}

} // namespace
} // namespace codeweft
