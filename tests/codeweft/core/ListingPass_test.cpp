// The token hook and the listing pass of one unit: every byte of a source
// reaches both listings once and in order, also where parsing had to stop.
#include "codeweft/core/output/ListingPass.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "codeweft/core/lex/Keywords.h"
#include "codeweft/core/lex/TokenStream.h"
#include "tests/codeweft/core/LinkCheck.h"
#include "tests/codeweft/core/TempDir.h"

namespace codeweft {
namespace {

using test::ListingSource;
using test::ReadBytes;
using test::TTempDir;

class TNullReporter : public TRunReporter {
public:
  void ReportStatus(const std::string &) override {}
  void ReportProgress(int, int) override {}
  void ReportWarning(const std::string &) override {}
  void ReportError(const std::string &) override {}
};

class ListingPassTest : public ::testing::Test {
protected:
  ListingPassTest() : Hook(State, Sink) { State.Paths.BuildDir = Out.Dir(); }

  // Writes Source as unit U (alone in the unit list) and returns its page.
  std::string List(const std::string &Source) {
    State.Symbols.CreateSymbols();
    State.Phase = TPhase::phProject;
    State.Symbols.AddUnit(Src.Write("U.pas", Source));
    BuildSymbolTable(State, CollectingAnchors(State, Sink));
    TNullReporter Reporter;
    GenerateListings(State, Sink, Reporter);
    return test::WithoutLineAnchors(ReadBytes(Out.Dir() + "U.html"));
  }

  TTempDir Src, Out;
  TRunState State;
  TListingSink Sink;
  TTokenHookGuard Hook;
};

TEST_F(ListingPassTest, TheHookQueuesTriviaWhileDeferringAndWritesInOrderAfter) {
  Sink.Files.OpenListing(Out.Dir() + "H.html", Out.Dir() + "H.rtf", "H");
  State.Phase = TPhase::phImplementation;
  State.Source.Scanner.Open(Src.Write("H.pas", "a {c} b c"));
  Advance(State); // "a", written at once
  BeginDeferral(State);
  Advance(State); // " ", "{c}", " " queued; "b" left to the rule
  ASSERT_EQ(State.Source.PendingTokens.size(), 3u);
  EXPECT_EQ(State.Source.PendingTokens[1].Style, TTokenStyle::tsComment);
  QueueToken(State, "#x", "b", "t", TTokenStyle::tsLink);
  State.Source.Deferring = false;
  Advance(State); // " " then "c": the queue first, then each token
  EXPECT_TRUE(State.Source.PendingTokens.empty());
  FinishListedFile(State, Sink);
  Sink.Files.CloseListing();
  const std::string Html = ReadBytes(Out.Dir() + "H.html");
  EXPECT_NE(Html.find("a <I><FONT COLOR=\"#7F7F7F\">{c}</FONT></I> "
                      "<A HREF = \"#x\">b</A> c"),
            std::string::npos);
}

// Runs of "identifier ;" keep deferral going from one statement to the next:
// the queue is written out as it goes, not held until the unit ends.
TEST_F(ListingPassTest, LongRunsOfStatementsDoNotPileUpInTheQueue) {
  std::string Source = "unit U;\r\ninterface\r\nimplementation\r\nbegin\r\n";
  for (int I = 0; I < 20000; ++I) Source += "alpha; beta;\r\n";
  Source += "end.\r\n";
  std::size_t Largest = 0;
  const std::function<void()> Inner = State.Source.TokenHook;
  State.Source.TokenHook = [&] {
    Inner();
    Largest = std::max(Largest, State.Source.PendingTokens.size());
  };
  EXPECT_EQ(ListingSource(List(Source)), Source);
  EXPECT_LT(Largest, 4 * FlushAt);
}

TEST_F(ListingPassTest, NothingIsWrittenInTheSymbolPhase) {
  Sink.Files.OpenListing(Out.Dir() + "H.html", Out.Dir() + "H.rtf", "H");
  State.Phase = TPhase::phSymbols;
  State.Source.Scanner.Open(Src.Write("H.pas", "unit H; {x}"));
  while (!State.Source.AtEnd) Advance(State);
  State.Source.Scanner.Close();
  EXPECT_TRUE(State.Source.PendingTokens.empty());
  Sink.Files.CloseListing();
  EXPECT_EQ(ReadBytes(Out.Dir() + "H.html").find("<B>"), std::string::npos);
}

TEST_F(ListingPassTest, AnEmptyFileGivesHeaderAndTrailerOnly) {
  const std::string Html = List("");
  EXPECT_EQ(Html,
            "<!DOCTYPE html>\r\n<HTML><HEAD><META CHARSET=\"UTF-8\"><META NAME=\"viewport\" "
            "CONTENT=\"width=device-width, initial-scale=1\"><TITLE>U.html</TITLE><STYLE>" +
                std::string(ListingStyle) +
                "</STYLE></HEAD>\r\n"
                "<BODY BGCOLOR=\"#00007F\" VLINK=\"#FFFF00\" LINK=\"#FFFF00\"><PRE>"
                "<FONT COLOR=\"#FFFF00\">\r\n<A NAME = \"unit_u\"></A>\r\n"
                "</FONT></PRE></BODY></HTML>\r\n");
}

// After a scanning error the parse stops, but the rest of the file is written
// as plain escaped text to both listings.
TEST_F(ListingPassTest, AScanningErrorKeepsTheRestOfTheFileAsPlainText) {
  const std::string Tail = "\r\nprocedure Later;\r\nbegin DoIt; end; // <b>&\"\r\nend.\r\n";
  for (const std::string &Error : {std::string("'open string"), std::string("'''\r\n open"),
                                   std::string("{ open comment"), std::string("(* open")}) {
    const std::string Source = "unit U;\r\ninterface\r\nprocedure DoIt;\r\nimplementation\r\n"
                               "procedure DoIt;\r\nbegin\r\n  X := " +
                               Error + Tail;
    const std::string Html = List(Source);
    EXPECT_EQ(ListingSource(Html), Source) << Error;
    // Nothing after the error point is parsed: "Later" gets no anchor.
    EXPECT_EQ(Html.find("u_later"), std::string::npos);
    EXPECT_EQ(Html.find("<b>"), std::string::npos);
    EXPECT_NE(Html.find("// &lt;b&gt;&amp;&quot;\r\nend."), std::string::npos);
    const std::string Rtf = ReadBytes(Out.Dir() + "U.rtf");
    EXPECT_NE(Rtf.find("begin DoIt; end; // <b>&\"\\par end.\\par "), std::string::npos)
        << Error;
    EXPECT_EQ(Rtf.substr(Rtf.size() - 3), "}\r\n");
  }
}

TEST_F(ListingPassTest, TheRestAfterAnErrorKeepsLineBreaksAcrossBufferPieces) {
  std::string Long(200000, 'x');
  for (std::size_t I = 100; I < Long.size(); I += 97) {
    Long[I - 1] = '\r';
    Long[I] = '\n';
  }
  const std::string Source = "unit U;\r\n'" + Long;
  const std::string Html = List(Source);
  EXPECT_EQ(ListingSource(Html), Source);
  // Every CR LF of the rest became one "\par ", whatever piece it fell in.
  const std::string Rtf = ReadBytes(Out.Dir() + "U.rtf");
  auto Count = [](const std::string &S, const std::string &What) {
    std::size_t N = 0;
    for (std::size_t P = S.find(What); P != std::string::npos; P = S.find(What, P + 1)) ++N;
    return N;
  };
  EXPECT_EQ(Count(Rtf.substr(Rtf.find("'x")), "\\par "), Count(Long, "\r\n"));
}

// Bytes and forms outside the classic grammar no longer end the listing: the
// routine after them still gets its anchor.
TEST_F(ListingPassTest, StrayBytesAndNewFormsLeaveTheRestOfTheFileListed) {
  const std::string Source =
      "unit U;\r\ninterface\r\nprocedure DoIt;\r\nimplementation\r\n"
      "procedure DoIt;\r\nbegin\r\n  X := ? %101 + &17 ! \xC3\xA9t\xC3\xA9 ** 2;\r\n"
      "  &begin := '''\r\n  text\r\n  ''';\r\nend;\r\n\r\n"
      "procedure Later;\r\nbegin\r\nend;\r\nend.\r\n";
  const std::string Html = List(Source);
  EXPECT_EQ(ListingSource(Html), Source);
  EXPECT_NE(Html.find("<A NAME = \"u_later\">"), std::string::npos);
  EXPECT_NE(Html.find("<FONT COLOR=\"#00FF00\">%101</FONT>"), std::string::npos);
}

TEST_F(ListingPassTest, UnitHeadingNamesTheAnchorsInLowerCase) {
  const std::string Html =
      List("unit MyUnit;\r\ninterface\r\nprocedure Run;\r\nimplementation\r\n"
           "procedure Run;\r\nbegin\r\nend;\r\nend.\r\n");
  EXPECT_NE(Html.find("<A HREF = \"#myunit_run\">Run</A>"), std::string::npos);
  EXPECT_NE(Html.find("<A NAME = \"myunit_run\"></A>Run"), std::string::npos);
}

TEST(AnchorIndexTest, AnchorsCompareWithoutCaseAndPagesExactly) {
  TAnchorIndex A;
  A.Add("Tools.html", "tools_DoIt");
  EXPECT_TRUE(A.Has("Tools.html", "TOOLS_doit"));
  EXPECT_FALSE(A.Has("tools.html", "tools_doit"));
  A.ClearPage("Tools.html");
  EXPECT_FALSE(A.Has("Tools.html", "tools_doit"));
}

} // namespace
} // namespace codeweft
