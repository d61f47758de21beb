// Whole runs checked as a reader sees the result: an RTF topic read back by an
// RTF reader and an HTML page decoded by its declared charset both give the
// source's text; line anchors count the source's lines; page names never
// collide; links to pages of any name resolve; a failed start leaves nothing;
// the symbol index links declarations, implementations and callers.
#include <gtest/gtest.h>
#include <iconv.h>

#include <filesystem>
#include <set>

#include "codeweft/core/Errors.h"
#include "codeweft/core/Run.h"
#include "codeweft/core/output/ListingWriter.h"
#include "codeweft/core/symbols/SymTab.h"
#include "tests/codeweft/core/LinkCheck.h"
#include "tests/codeweft/core/TempDir.h"

namespace codeweft {
namespace {

namespace fs = std::filesystem;
using test::BrokenLinks;
using test::ListingSource;
using test::ReadBytes;
using test::TTempDir;

class TWarningLog : public TRunReporter {
 public:
  void ReportStatus(const std::string &) override {}
  void ReportProgress(int, int) override {}
  void ReportWarning(const std::string &) override {}
  void ReportError(const std::string &M) override { Errors += M + "\n"; }
  void ReportSourceWarning(const std::string &File, int Line, const std::string &M) override {
    Warnings += fs::path(File).filename().string() + ":" + std::to_string(Line) + ": " + M + "\n";
  }
  std::string Warnings, Errors;
};

// Windows-1252 text as UTF-8, by the C library's converter (not the one under
// test). Bytes 1252 leaves undefined become U+FFFD.
std::string FromCp1252(const std::string &Bytes) {
  std::string Out;
  iconv_t Cd = ::iconv_open("UTF-8", "CP1252");
  EXPECT_NE(Cd, reinterpret_cast<iconv_t>(-1));
  for (const char C : Bytes) {
    char In[1] = {C}, Buf[8];
    char *InP = In, *OutP = Buf;
    std::size_t InLeft = 1, OutLeft = sizeof Buf;
    if (::iconv(Cd, &InP, &InLeft, &OutP, &OutLeft) == static_cast<std::size_t>(-1))
      Out += "\xEF\xBF\xBD";
    else
      Out.append(Buf, OutP);
  }
  ::iconv_close(Cd);
  return Out;
}

// Code point C as UTF-8.
std::string Utf8Of(char32_t C) {
  std::string Out;
  if (C < 0x80) {
    Out += static_cast<char>(C);
  } else if (C < 0x800) {
    Out += static_cast<char>(0xC0 | (C >> 6));
    Out += static_cast<char>(0x80 | (C & 0x3F));
  } else if (C < 0x10000) {
    Out += static_cast<char>(0xE0 | (C >> 12));
    Out += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
    Out += static_cast<char>(0x80 | (C & 0x3F));
  } else {
    Out += static_cast<char>(0xF0 | (C >> 18));
    Out += static_cast<char>(0x80 | ((C >> 12) & 0x3F));
    Out += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
    Out += static_cast<char>(0x80 | (C & 0x3F));
  }
  return Out;
}

// A small RTF reader: the text of a document as UTF-8, "\n" for each \par;
// groups that start with \* (footnotes) or \v (hidden text), the font and
// colour tables are skipped; \'hh is a byte of code page 1252; \uN is a UTF-16 unit followed by
// one fallback character; other control words are formatting.
std::string RtfText(const std::string &Rtf) {
  std::string Out;
  std::vector<bool> Skip{false};
  char32_t High = 0;
  for (std::size_t I = 0; I < Rtf.size();) {
    const char C = Rtf[I];
    if (C == '#' && Rtf.compare(I + 1, 12, "{\\*\\footnote") == 0) {
      ++I;  // a footnote's mark: a topic name, not text
    } else if (C == '{') {
      const bool Hidden = Rtf.compare(I + 1, 2, "\\*") == 0 ||
                          (Rtf.compare(I + 1, 2, "\\v") == 0 &&
                           !std::isalpha(static_cast<unsigned char>(Rtf[I + 3]))) ||
                          Rtf.compare(I + 1, 8, "\\fonttbl") == 0 ||
                          Rtf.compare(I + 1, 9, "\\colortbl") == 0;
      Skip.push_back(Skip.back() || Hidden);
      ++I;
    } else if (C == '}') {
      if (Skip.size() > 1) Skip.pop_back();
      ++I;
    } else if (C == '\r' || C == '\n') {
      ++I;
    } else if (C != '\\') {
      if (!Skip.back()) Out += C;
      ++I;
    } else if (I + 1 < Rtf.size() && std::string("\\{}").find(Rtf[I + 1]) != std::string::npos) {
      if (!Skip.back()) Out += Rtf[I + 1];
      I += 2;
    } else if (Rtf.compare(I, 2, "\\'") == 0) {
      if (!Skip.back())
        Out += FromCp1252(
            std::string(1, static_cast<char>(std::stoi(Rtf.substr(I + 2, 2), nullptr, 16))));
      I += 4;
    } else {
      std::size_t J = I + 1;
      while (J < Rtf.size() && std::isalpha(static_cast<unsigned char>(Rtf[J]))) ++J;
      const std::string Word = Rtf.substr(I + 1, J - I - 1);
      std::size_t K = J;
      if (K < Rtf.size() && (Rtf[K] == '-' || std::isdigit(static_cast<unsigned char>(Rtf[K]))))
        ++K;
      while (K < Rtf.size() && std::isdigit(static_cast<unsigned char>(Rtf[K]))) ++K;
      const std::string Number = Rtf.substr(J, K - J);
      if (K < Rtf.size() && Rtf[K] == ' ') ++K;
      if (!Skip.back()) {
        if (Word == "par") {
          Out += '\n';
        } else if (Word == "u") {
          char32_t Unit = static_cast<char16_t>(std::stoi(Number));
          ++K;  // the fallback character
          if (Unit >= 0xD800 && Unit < 0xDC00) {
            High = Unit;
          } else if (Unit >= 0xDC00 && Unit < 0xE000) {
            Out += Utf8Of(0x10000 + ((High - 0xD800) << 10) + (Unit - 0xDC00));
          } else {
            Out += Utf8Of(Unit);
          }
        }
      }
      I = K;
    }
  }
  return Out;
}

// Source text with every line break (CR LF, LF, CR) as "\n".
std::string Lines(const std::string &Text) {
  std::string Out;
  for (std::size_t I = 0; I < Text.size(); ++I) {
    if (Text[I] == '\r') {
      Out += '\n';
      if (I + 1 < Text.size() && Text[I + 1] == '\n') ++I;
    } else {
      Out += Text[I];
    }
  }
  return Out;
}

struct TProject {
  TTempDir Src, Out;
  TWarningLog Log;
  // Writes the files (folders made as needed), then runs Project.
  void Run(const std::vector<std::pair<std::string, std::string>> &Files,
           const std::string &Project) {
    for (const auto &[Name, Bytes] : Files) {
      fs::create_directories((Src.Path() / Name).parent_path());
      Src.Write(Name, Bytes);
    }
    TRunState State;
    codeweft::Run(State, {(Src.Path() / Project).string(), Out.Dir(), "", ""}, Log);
  }
  std::string Page(const std::string &Name) const { return ReadBytes(Out.Dir() + Name); }
  std::set<std::string> Written() const {
    std::set<std::string> Names;
    for (const auto &E : fs::directory_iterator(Out.Path())) Names.insert(E.path().filename());
    return Names;
  }
};

std::string UnitSource(const std::string &Name, const std::string &Break,
                       const std::string &Comment) {
  return "unit " + Name + ";" + Break + "interface" + Break + "procedure DoIt;" + Break + "{ " +
         Comment + " }" + Break + "implementation" + Break + "procedure DoIt;" + Break + "begin" +
         Break + "  S := '" + Comment + "';" + Break + "end;" + Break + "end." + Break;
}

// Every line-break style and both charsets: the topic read back and the page
// read as text give the source's text, and each source line has its anchor.
TEST(PagesAndTopics, TopicsAndPagesGiveBackTheSourceText) {
  struct TCase {
    const char *Label, *Break, *Comment;
    bool Utf8;
  } const Cases[] = {
      {"CR LF, ASCII", "\r\n", "plain", true},
      {"LF, UTF-8", "\n", "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80", true},
      {"CR, UTF-8", "\r", "\xC3\xBC\xC3\x9F", true},
      {"LF, Windows-1252", "\n", "caf\xE9 \x80 \x93quoted\x94", false},
      {"CR LF, Windows-1252", "\r\n", "na\xEFve", false},
  };
  for (const TCase &C : Cases) {
    SCOPED_TRACE(C.Label);
    TProject P;
    const std::string Source = UnitSource("U", C.Break, C.Comment);
    P.Run({{"P.dpr", "program P;\nuses U in 'U.pas';\nbegin\nend.\n"}, {"U.pas", Source}}, "P.dpr");
    ASSERT_TRUE(P.Log.Errors.empty()) << P.Log.Errors;
    const std::string Text = C.Utf8 ? Source : FromCp1252(Source);

    const std::string Rtf = P.Page("U.rtf");
    EXPECT_NE(Rtf.find("\\ansicpg1252"), std::string::npos);
    for (const unsigned char B : Rtf) ASSERT_LT(B, 0x80) << "RTF is 7-bit";
    const std::string RtfRead = RtfText(Rtf);
    const std::string Title = "Unit U\n";
    ASSERT_EQ(RtfRead.substr(0, Title.size()), Title);
    EXPECT_EQ(RtfRead.substr(Title.size()), Lines(Text));

    const std::string Html = P.Page("U.html");
    EXPECT_NE(Html.find("<META CHARSET=\"UTF-8\">"), std::string::npos);
    EXPECT_EQ(ListingSource(Html), Text);
    // One anchor per line, numbered in order.
    const std::size_t LineCount = 10;
    for (std::size_t N = 1; N <= LineCount; ++N)
      EXPECT_NE(Html.find("<A ID=\"L" + std::to_string(N) + "\"></A>"), std::string::npos) << N;
    EXPECT_EQ(Html.find("<A ID=\"L" + std::to_string(LineCount + 1) + "\""), std::string::npos);
    EXPECT_NE(Html.find(std::string(C.Break) + "<A ID=\"L8\"></A>  S := "), std::string::npos);
  }
}

// A control byte is no HTML text: it is shown as its symbol, not written.
TEST(PagesAndTopics, ControlBytesAreShownAsTheirSymbols) {
  TProject P;
  P.Run({{"P.dpr", std::string("program P;\n{ a\x01"
                               "b\x1A }\nbegin\nend.\n")}},
        "P.dpr");
  const std::string Html = P.Page("P.html");
  EXPECT_NE(Html.find("a\xE2\x90\x81"
                      "b\xE2\x90\x9A"),
            std::string::npos);
  EXPECT_EQ(Html.find('\x01'), std::string::npos);
}

struct TClash {
  const char *Label;
  std::vector<std::pair<std::string, std::string>> Files;
  const char *Project;
  std::set<std::string> Pages;  // the .html pages expected besides the run's own
  const char *Warned;           // a text the clash warning holds
};

// Every clash of page names: each unit and the project keep a page of their
// own, every link reaches it, and a warning names the clash.
TEST(PagesAndTopics, PageNamesNeverCollide) {
  const auto Unit = [](const std::string &Name, const std::string &Body = "X") {
    return "unit " + Name + ";\ninterface\nprocedure " + Body + ";\nimplementation\nprocedure " +
           Body + ";\nbegin\nend;\nend.\n";
  };
  const TClash Cases[] = {
      {"a unit named index",
       {{"P.dpr", "program P;\nuses index in 'index.pas';\nbegin\nend.\n"},
        {"index.pas", Unit("index")}},
       "P.dpr",
       {"P.html", "index~2.html"},
       "unit index (index.pas)"},
      {"a unit named content",
       {{"P.dpr", "program P;\nuses Content in 'Content.pas';\nbegin\nend.\n"},
        {"Content.pas", Unit("Content")}},
       "P.dpr",
       {"P.html", "Content~2.html"},
       "unit Content"},
      {"two units of one file name",
       {{"P.dpr", "program P;\nuses A in 'a/Tools.pas', B in 'b/Tools.pas';\nbegin\nend.\n"},
        {"a/Tools.pas", Unit("Tools", "First")},
        {"b/Tools.pas", Unit("Tools", "Second")}},
       "P.dpr",
       {"P.html", "Tools.html", "Tools~2.html"},
       "(b/Tools.pas)"},
      {"a project and a unit of one name",
       {{"Demo.dpr", "program Demo;\nuses Demo in 'Demo.pas';\nbegin\nend.\n"},
        {"Demo.pas", Unit("Demo")}},
       "Demo.dpr",
       {"Demo.html", "Demo~2.html"},
       "unit Demo"},
      {"a project named index",
       {{"index.dpr", "program index;\nbegin\nend.\n"}},
       "index.dpr",
       {"index~2.html"},
       "project index.dpr"},
  };
  for (const TClash &C : Cases) {
    SCOPED_TRACE(C.Label);
    TProject P;
    P.Run(C.Files, C.Project);
    ASSERT_TRUE(P.Log.Errors.empty()) << P.Log.Errors;
    std::set<std::string> Pages;
    for (const std::string &Name : P.Written())
      if (Name.ends_with(".html")) Pages.insert(Name);
    for (const char *Own : {"index.html", "content.html", "symbol-index.html"})
      EXPECT_EQ(Pages.erase(Own), 1u) << Own;
    EXPECT_EQ(Pages, C.Pages);
    EXPECT_NE(P.Log.Warnings.find(C.Warned), std::string::npos) << P.Log.Warnings;
    EXPECT_NE(P.Log.Warnings.find("is taken"), std::string::npos);
    const std::vector<std::string> Broken = BrokenLinks(P.Out.Dir());
    EXPECT_TRUE(Broken.empty()) << Broken.front();
    // The frames still show the frame set's own contents page.
    EXPECT_NE(P.Page("index.html").find("<frame src=\"content.html\""), std::string::npos);
    EXPECT_NE(P.Page("content.html").find("<H3>Project</H3>"), std::string::npos);
  }
  // Both units of one file name are written whole, each to its own page.
  TProject P;
  P.Run(Cases[2].Files, "P.dpr");
  EXPECT_NE(P.Page("Tools.html").find("First"), std::string::npos);
  EXPECT_NE(P.Page("Tools~2.html").find("Second"), std::string::npos);
  EXPECT_NE(P.Page("P.hpj").find("\r\nTools~2.rtf\r\n"), std::string::npos);
}

// Links to a page whose name holds URL syntax are percent-encoded in every
// page, as in the contents, and reach the page.
TEST(PagesAndTopics, LinksToOddlyNamedPagesAreUrlEscaped) {
  TProject P;
  P.Run({{"P.dpr", "program P;\nuses CTools in 'C#Tools.pas';\nbegin\nend.\n"},
         {"C#Tools.pas",
          "unit CTools;\ninterface\nprocedure Go;\nimplementation\n"
          "procedure Go;\nbegin\nend;\nend.\n"}},
        "P.dpr");
  EXPECT_NE(P.Page("P.html").find("<A HREF = \"C%23Tools.html\">CTools</A>"), std::string::npos);
  EXPECT_NE(P.Page("content.html").find("<A HREF = \"C%23Tools.html\""), std::string::npos);
  const std::vector<std::string> Broken = BrokenLinks(P.Out.Dir());
  EXPECT_TRUE(Broken.empty()) << Broken.front();
  EXPECT_EQ(PageHref(PageLink("a b%") + "#Sec"), "a%20b%25.html#sec");
  EXPECT_EQ(PageHref("#Local"), "#local");
}

TEST(PagesAndTopics, AProjectThatCannotBeReadLeavesNoFiles) {
  TTempDir Src, Out;
  TWarningLog Log;
  TRunState State;
  EXPECT_THROW(
      codeweft::Run(State, {(Src.Path() / "nonexist.dpr").string(), Out.Dir(), "", ""}, Log),
      EFOpenError);
  EXPECT_TRUE(fs::is_empty(Out.Path()));
  EXPECT_NE(Log.Errors.find("nonexist.dpr"), std::string::npos);
}

// The symbol index lists the symbol table with kinds, declaration lines,
// implementations and the places that call each routine; every routine
// anchor of a page links to its callers there.
TEST(PagesAndTopics, TheSymbolIndexLinksBothWays) {
  TProject P;
  P.Run({{"P.dpr", "program P;\nuses A in 'A.pas', B in 'B.pas';\nbegin\nend.\n"},
         {"A.pas",
          "unit A;\ninterface\ntype\n  TThing = class\n    procedure Run;\n  end;\n"
          "procedure Helper;\nimplementation\nprocedure TThing.Run;\nbegin\n  Helper;\nend;\n"
          "procedure Helper;\nbegin\nend;\nend.\n"},
         {"B.pas",
          "unit B;\ninterface\nimplementation\nuses A;\nprocedure Use;\nbegin\n"
          "  Helper;\n  A.Helper;\nend;\nend.\n"}},
        "P.dpr");
  const std::string Index = P.Page("symbol-index.html");
  // A row: its kind code (shown as the kind's name by the page's style and
  // matched by its filter), name and unit, up to the line's end.
  const auto Row = [&Index](const std::string &Kind, const std::string &Name,
                            const std::string &Unit) {
    const std::size_t At = Index.find("<tr class=k" + Kind + "><td>" + Name + "<td><td><a href=\"" +
                                      Unit + ".html\">" + Unit + "</a>");
    return At == std::string::npos ? std::string() : Index.substr(At, Index.find("\r\n", At) - At);
  };
  const std::string Helper = Row("4", "Helper", "A");
  EXPECT_NE(Helper.find("<td><a href=\"A.html#L7\">7</a><td>"), std::string::npos) << Helper;
  EXPECT_NE(Helper.find("<a href=\"A.html#a_helper\">implementation</a>"), std::string::npos);
  EXPECT_NE(Helper.find("called from 3 places"), std::string::npos) << Helper;
  for (const char *Site : {"A.html#L11", "B.html#L7", "B.html#L8"})
    EXPECT_NE(Helper.find(Site), std::string::npos) << Site;
  const std::string Run = Row("4", "TThing.Run", "A");
  EXPECT_NE(Run.find("A.html#L5"), std::string::npos) << Run;
  EXPECT_NE(Run.find("called from 0 places"), std::string::npos);
  EXPECT_NE(Row("2", "TThing", "A").find("A.html#L4"), std::string::npos);
  EXPECT_NE(Row("u", "B", "B"), "");
  // A routine the interface does not declare still has its row and callers.
  EXPECT_NE(Row("r", "Use", "B"), "");
  // The page's marker beside the implementation leads to the callers' list.
  const std::string Id = CallersId("A.html", "a_helper");
  EXPECT_NE(P.Page("A.html").find("HREF=\"symbol-index.html#" + Id + "\""), std::string::npos);
  EXPECT_NE(Index.find("<details id=\"" + Id + "\">"), std::string::npos);
  const std::vector<std::string> Broken = BrokenLinks(P.Out.Dir());
  EXPECT_TRUE(Broken.empty()) << Broken.front();
  // Rows carry their kind as a code: the page's style shows, and its script
  // filters by, the name of every kind the symbol table knows.
  std::vector<std::pair<std::string, std::string>> Kinds = {{"u", "Unit"}, {"r", "Routine"}};
  for (int K = 0; K <= 9; ++K) {
    std::string Name;
    KindName(static_cast<std::uint8_t>(K), Name);
    Kinds.emplace_back(std::to_string(K), Name);
  }
  for (const auto &[Code, Name] : Kinds) {
    EXPECT_NE(Index.find(".k" + Code + ">td:nth-child(2)::before{content:\"" + Name + "\"}"),
              std::string::npos)
        << Name;
    EXPECT_NE(Index.find("k" + Code + ":'" + LowerCase(Name) + "'"), std::string::npos) << Name;
  }
}

}  // namespace
}  // namespace codeweft
