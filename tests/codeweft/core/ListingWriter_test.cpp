#include "codeweft/core/output/ListingWriter.h"

#include <csignal>
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <filesystem>
#include <vector>

#include "tests/codeweft/core/TempDir.h"

namespace codeweft {
namespace {

using test::Golden;
using test::ReadBytes;
using test::TTempDir;
using S = TTokenStyle;

TEST(EscapeTest, RtfEscapesBackslashBracesAndLineBreaks) {
  EXPECT_EQ(RtfEscape("'C:\\'"), "'C:\\\\'");
  EXPECT_EQ(RtfEscape("{ a<b }"), "\\{ a<b \\}");
  EXPECT_EQ(RtfEscape("\r\n  "), "\\par   ");
  // A lone CR or LF and tabs stay; "\\{" is escaped as backslash, then brace.
  // Every line break ends a paragraph: CR LF, a lone LF and a lone CR.
  EXPECT_EQ(RtfEscape("a\rb\nc\td"), "a\\par b\\par c\td");
  EXPECT_EQ(RtfEscape("\\{"), "\\\\\\{");
  EXPECT_EQ(RtfEscape("\r\r\n\n"), "\\par \\par \\par ");
  EXPECT_EQ(RtfEscape(""), "");
}

TEST(EscapeTest, HtmlEscapesAmpersandAnglesAndQuote) {
  EXPECT_EQ(HtmlEscape("{ a<b }"), "{ a&lt;b }");
  EXPECT_EQ(HtmlEscape("a & \"b\" > c"), "a &amp; &quot;b&quot; &gt; c");
  // An entity already in the text is shown as written, not interpreted.
  EXPECT_EQ(HtmlEscape("&lt;"), "&amp;lt;");
  EXPECT_EQ(HtmlEscape("plain\r\n"), "plain\r\n");
}

TEST(EscapeTest, LinkTargetsLowerOnlyTheFragment) {
  EXPECT_EQ(HtmlLinkTarget("Tools.html#Tools_DoIt"), "Tools.html#tools_doit");
  EXPECT_EQ(HtmlLinkTarget("#tools_DoIt"), "#tools_doit");
  EXPECT_EQ(HtmlLinkTarget("Tools.html"), "Tools.html");
  EXPECT_EQ(LowerCase("AbZ_09\xC9"), "abz_09\xC9");
}

// The pieces one entry produces in each file: the listing minus its header
// and trailer.
struct TPieces {
  std::string Rtf, Html;
};

class EmitTokenTest : public ::testing::Test {
protected:
  TPieces Emit(const std::vector<TDelayedToken> &Tokens) {
    TListingFiles Files;
    Files.OpenListing(Dir.Dir() + "U.html", Dir.Dir() + "U.rtf", "U");
    for (const TDelayedToken &T : Tokens)
      Files.EmitToken(T);
    Files.CloseListing();
    return {Strip(ReadBytes(Dir.Dir() + "U.rtf"), RtfHead, "}\r\n"),
            Strip(ReadBytes(Dir.Dir() + "U.html"), HtmlHead, "</FONT></PRE></BODY></HTML>\r\n")};
  }
  void SetUp() override {
    TListingFiles Files;
    Files.OpenListing(Dir.Dir() + "U.html", Dir.Dir() + "U.rtf", "U");
    Files.CloseListing();
    RtfHead = ReadBytes(Dir.Dir() + "U.rtf");
    HtmlHead = ReadBytes(Dir.Dir() + "U.html");
    RtfHead.resize(RtfHead.size() - 3);
    HtmlHead.resize(HtmlHead.size() - 29);
  }
  static std::string Strip(const std::string &All, const std::string &Head,
                           const std::string &Tail) {
    EXPECT_EQ(All.substr(0, Head.size()), Head);
    EXPECT_EQ(All.substr(All.size() - Tail.size()), Tail);
    return All.substr(Head.size(), All.size() - Head.size() - Tail.size());
  }
  TTempDir Dir;
  std::string RtfHead, HtmlHead;
};

TEST_F(EmitTokenTest, EveryStyleHasItsFormat) {
  const TPieces P = Emit({{"begin", "", "", S::tsKeyword},
                          {"{ a<b }", "", "", S::tsComment},
                          {"\r\n  ", "", "", S::tsSpace},
                          {"'C:\\'", "", "", S::tsString},
                          {"<", "", "", S::tsSymbol},
                          {"Name", "", "", S::tsIdent},
                          {"$FF", "", "", S::tsNumber},
                          {"", "", "tools_DoIt", S::tsAnchor},
                          {"Tools.html#Tools_DoIt", "DoIt", "Tools_DoIt", S::tsLink},
                          {"private", "", "", S::tsRaw}});
  EXPECT_EQ(P.Rtf, "\\b\\cf16 begin\\b0\\cf12\r\n"
                   "\\i\\cf8 \\{ a<b \\}\\i0\\cf12\r\n"
                   "\\par   \r\n"
                   "\\cf9 'C:\\\\'\\cf12\r\n"
                   "<\r\n"
                   "Name\r\n"
                   "\\cf11 $FF\\cf12\r\n"
                   "#{\\*\\footnote tools_DoIt}\r\n"
                   "{\\uldb DoIt}{\\v*Tools_DoIt}\r\n"
                   "private\r\n");
  EXPECT_EQ(P.Html,
            "<A ID=\"L1\"></A><B><FONT COLOR=\"#FFFFFF\">begin</FONT></B>"
            "<I><FONT COLOR=\"#7F7F7F\">{ a&lt;b }</FONT></I>"
            "\r\n<A ID=\"L2\"></A>  "
            "<FONT COLOR=\"#C0C0C0\">'C:\\'</FONT>"
            "&lt;"
            "Name"
            "<FONT COLOR=\"#00FF00\">$FF</FONT>"
            "<A NAME = \"tools_doit\"></A>"
            "<A HREF = \"Tools.html#tools_doit\">DoIt</A>"
            "private");
}

TEST_F(EmitTokenTest, StyleValuesAboveTheTableAreWrittenRaw) {
  const TPieces P = Emit({{"x{y}", "", "", static_cast<S>(200)}});
  EXPECT_EQ(P.Rtf, "x\\{y\\}\r\n");
  EXPECT_EQ(P.Html, "<A ID=\"L1\"></A>x{y}");
}

TEST_F(EmitTokenTest, HostileTextNeverBecomesMarkup) {
  // Raw text (e.g. the rest of a file after a scanning error), link captions,
  // targets and anchor names are escaped in both files.
  const TPieces P = Emit({{"</PRE><script>\\{x}\r\n", "", "", S::tsRaw},
                          {"a\"><b>#X\"", "<i>", "T}{\\v", S::tsLink},
                          {"", "", "N\"><x", S::tsAnchor}});
  EXPECT_EQ(P.Rtf, "</PRE><script>\\\\\\{x\\}\\par \r\n"
                   "{\\uldb <i>}{\\v*T\\}\\{\\\\v}\r\n"
                   "#{\\*\\footnote N\"><x}\r\n");
  EXPECT_EQ(P.Html,
            "<A ID=\"L1\"></A>&lt;/PRE&gt;&lt;script&gt;\\{x}\r\n"
            "<A ID=\"L2\"></A><A HREF = \"a&quot;&gt;&lt;b&gt;#x&quot;\">&lt;i&gt;</A>"
            "<A NAME = \"n&quot;&gt;&lt;x\"></A>");
}

TEST(ListingFilesTest, UnitListingMatchesGoldenFiles) {
  using K = TTokenStyle;
  const std::vector<TDelayedToken> Tokens = {
      {"unit", "", "", K::tsKeyword},
      {" ", "", "", K::tsSpace},
      {"Tools", "", "", K::tsIdent},
      {";", "", "", K::tsSymbol},
      {"\r\n\r\n", "", "", K::tsSpace},
      {"interface", "", "", K::tsKeyword},
      {"\r\n\r\n", "", "", K::tsSpace},
      {"procedure", "", "", K::tsKeyword},
      {" ", "", "", K::tsSpace},
      {"#tools_DoIt", "DoIt", "tools_DoIt", K::tsLink},
      {";", "", "", K::tsSymbol},
      {"   ", "", "", K::tsSpace},
      {"{ a<b }", "", "", K::tsComment},
      {"\r\n\r\n", "", "", K::tsSpace},
      {"implementation", "", "", K::tsKeyword},
      {"\r\n\r\n", "", "", K::tsSpace},
      {"uses", "", "", K::tsKeyword},
      {" ", "", "", K::tsSpace},
      {"Util.html", "Util", "unit_Util", K::tsLink},
      {";", "", "", K::tsSymbol},
      {"\r\n\r\n", "", "", K::tsSpace},
      {"procedure", "", "", K::tsKeyword},
      {" ", "", "", K::tsSpace},
      {"", "", "tools_DoIt", K::tsAnchor},
      {"DoIt", "", "", K::tsIdent},
      {";", "", "", K::tsSymbol},
      {"\r\n", "", "", K::tsSpace},
      {"begin", "", "", K::tsKeyword},
      {"\r\n  ", "", "", K::tsSpace},
      {"if", "", "", K::tsKeyword},
      {" ", "", "", K::tsSpace},
      {"A", "", "", K::tsIdent},
      {"<", "", "", K::tsSymbol},
      {"B", "", "", K::tsIdent},
      {" ", "", "", K::tsSpace},
      {"then", "", "", K::tsKeyword},
      {" ", "", "", K::tsSpace},
      {"Util.html#Util_Clamp", "Clamp", "Util_Clamp", K::tsLink},
      {"(", "", "", K::tsSymbol},
      {"$FF", "", "", K::tsNumber},
      {",", "", "", K::tsSymbol},
      {" ", "", "", K::tsSpace},
      {"1.5e-3", "", "", K::tsNumber},
      {")", "", "", K::tsSymbol},
      {";", "", "", K::tsSymbol},
      {"\r\n  ", "", "", K::tsSpace},
      {"S", "", "", K::tsIdent},
      {" ", "", "", K::tsSpace},
      {":=", "", "", K::tsSymbol},
      {" ", "", "", K::tsSpace},
      {"'C:\\'", "", "", K::tsString},
      {" ", "", "", K::tsSpace},
      {"+", "", "", K::tsSymbol},
      {" ", "", "", K::tsSpace},
      {"#13#10'x'", "", "", K::tsString},
      {" ", "", "", K::tsSpace},
      {"+", "", "", K::tsSymbol},
      {" ", "", "", K::tsSpace},
      {"'<'", "", "", K::tsString},
      {";", "", "", K::tsSymbol},
      {"\r\n  ", "", "", K::tsSpace},
      {"{$IFDEF DEBUG}", "", "", K::tsComment},
      {" ", "", "", K::tsSpace},
      {"(* a & \"b\"\r\n  c *)", "", "", K::tsComment},
      {"\r\n", "", "", K::tsSpace},
      {"end", "", "", K::tsKeyword},
      {";", "", "", K::tsSymbol},
      {"\r\n\r\n", "", "", K::tsSpace},
      {"end", "", "", K::tsKeyword},
      {".", "", "", K::tsSymbol},
      {"\r\n", "", "", K::tsSpace}};
  TTempDir Dir;
  TListingFiles Files;
  Files.OpenListing(Dir.Dir() + "Tools.html", Dir.Dir() + "Tools.rtf", "Tools");
  for (const TDelayedToken &T : Tokens)
    Files.EmitToken(T);
  Files.CloseListing();
  EXPECT_FALSE(Files.IsOpen());
  EXPECT_EQ(ReadBytes(Dir.Dir() + "Tools.rtf"), Golden("listing/Tools.rtf"));
  EXPECT_EQ(ReadBytes(Dir.Dir() + "Tools.html"), Golden("listing/Tools.html"));
}

TEST(ListingFilesTest, HeaderEscapesHostileUnitAndFileNames) {
  TTempDir Dir;
  TListingFiles Files;
  Files.OpenListing(Dir.Dir() + "a<&>\".html", Dir.Dir() + "a.rtf", "X}{\\b Y\"<");
  Files.CloseListing();
  const std::string Html = ReadBytes(Dir.Dir() + "a<&>\".html");
  EXPECT_NE(Html.find("<TITLE>a&lt;&amp;&gt;&quot;.html</TITLE>"), std::string::npos);
  EXPECT_NE(Html.find("\r\n<A NAME = \"unit_x}{\\b y&quot;&lt;\"></A>\r\n"), std::string::npos);
  const std::string Rtf = ReadBytes(Dir.Dir() + "a.rtf");
  EXPECT_NE(Rtf.find("\r\n#{\\*\\footnote Unit_X\\}\\{\\\\b Y\"<}{\\fs32\\b Unit X\\}\\{\\\\b "
                     "Y\"<}\\par\\pard\r\n}\r\n"),
            std::string::npos);
}

TEST(ListingFilesTest, CreateFailureNamesTheFileAndReason) {
  TTempDir Dir;
  const std::string Missing = Dir.Dir() + "no/such/";
  TListingFiles Files;
  try {
    Files.OpenListing(Missing + "A.html", Missing + "A.rtf", "A");
    FAIL() << "no exception";
  } catch (const EFCreateError &E) {
    EXPECT_EQ(std::string(E.what()),
              "Cannot create file \"" + Missing + "A.html\": No such file or directory");
  }
  // The RTF file failing after the HTML file was started: the unfinished
  // HTML file is removed by Close, and no file of either name is left.
  try {
    Files.OpenListing(Dir.Dir() + "B.html", Missing + "B.rtf", "B");
    FAIL() << "no exception";
  } catch (const EFCreateError &E) {
    EXPECT_EQ(std::string(E.what()),
              "Cannot create file \"" + Missing + "B.rtf\": No such file or directory");
  }
  Files.Close();
  EXPECT_FALSE(Files.IsOpen());
  EXPECT_TRUE(std::filesystem::is_empty(Dir.Path()));
}

int OpenDescriptors() {
  int Count = 0;
  if (DIR *D = ::opendir("/proc/self/fd")) {
    while (::readdir(D))
      ++Count;
    ::closedir(D);
  }
  return Count;
}

// A listing that ends unfinished leaves the files of that name as they were
// (here, the previous run's) and no temporary file.
TEST(ListingFilesTest, FailedRunClosesItsFilesAndLeavesThePreviousOnes) {
  TTempDir Dir;
  Dir.Write("C.html", "previous html");
  Dir.Write("C.rtf", "previous rtf");
  const int Before = OpenDescriptors();
  {
    TListingFiles Files;
    Files.OpenListing(Dir.Dir() + "C.html", Dir.Dir() + "C.rtf", "C");
    Files.EmitToken("begin", "", "", TTokenStyle::tsKeyword);
    EXPECT_EQ(OpenDescriptors(), Before + 2);
    // The run ends here by an exception: the destructor closes both files.
  }
  EXPECT_EQ(OpenDescriptors(), Before);
  EXPECT_EQ(ReadBytes(Dir.Dir() + "C.rtf"), "previous rtf");
  EXPECT_EQ(ReadBytes(Dir.Dir() + "C.html"), "previous html");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Dir.Path()),
                          std::filesystem::directory_iterator()),
            2);
}

// A file size limit makes writes fail with EFBIG, as a full disk would with
// ENOSPC, for as long as the object lives.
class TFileSizeLimit {
public:
  explicit TFileSizeLimit(rlim_t Bytes) {
    ::getrlimit(RLIMIT_FSIZE, &FBefore);
    FSignal = std::signal(SIGXFSZ, SIG_IGN);
    rlimit Limit = FBefore;
    Limit.rlim_cur = Bytes;
    ::setrlimit(RLIMIT_FSIZE, &Limit);
  }
  ~TFileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &FBefore);
    std::signal(SIGXFSZ, FSignal);
  }

private:
  rlimit FBefore{};
  void (*FSignal)(int) = nullptr;
};

// A write failure ends the listing at once with the file's name and reason,
// and closes both files; the next listing starts clean.
TEST(ListingFilesTest, WriteFailureEndsTheListingAndNamesTheFile) {
  TTempDir Dir;
  const int Before = OpenDescriptors();
  TListingFiles Files;
  Files.OpenListing(Dir.Dir() + "D.html", Dir.Dir() + "D.rtf", "D");
  const std::string Line(100, 'x');
  std::string Message;
  int Emitted = 0;
  try {
    const TFileSizeLimit Limit(1 << 20);
    for (; Emitted < 100000; ++Emitted)
      Files.EmitToken(Line, "", "", TTokenStyle::tsComment);
    Files.CloseListing();
  } catch (const EFWriteError &E) {
    Message = E.what();
  }
  EXPECT_TRUE(Message == "Cannot write file \"" + Dir.Dir() + "D.rtf\": File too large" ||
              Message == "Cannot write file \"" + Dir.Dir() + "D.html\": File too large")
      << Message;
  EXPECT_LT(Emitted, 100000) << "the failure surfaced only at the end";
  EXPECT_TRUE(std::filesystem::is_empty(Dir.Path()));
  EXPECT_FALSE(Files.IsOpen());
  EXPECT_EQ(OpenDescriptors(), Before);
  // The next listing starts clean.
  Files.OpenListing(Dir.Dir() + "E.html", Dir.Dir() + "E.rtf", "E");
  Files.EmitToken("end", "", "", TTokenStyle::tsKeyword);
  Files.CloseListing();
  EXPECT_TRUE(ReadBytes(Dir.Dir() + "E.rtf").ends_with("\\b\\cf16 end\\b0\\cf12\r\n}\r\n"));
}

TEST(OutputFileTest, WriteFailureNamesTheFile) {
  TTempDir Dir;
  TOutputFile File;
  File.Create(Dir.Dir() + "F.html");
  File.Write(std::string(1 << 17, 'x'));
  try {
    const TFileSizeLimit Limit(1 << 16);
    File.Close();
    FAIL() << "no exception";
  } catch (const EFWriteError &E) {
    EXPECT_EQ(std::string(E.what()),
              "Cannot write file \"" + Dir.Dir() + "F.html\": File too large");
  }
  EXPECT_FALSE(File.IsOpen());
  EXPECT_TRUE(std::filesystem::is_empty(Dir.Path()));
}

// A symbolic link at an output's name is replaced by the file, not followed:
// neither the file it points to nor a dangling link's target is written.
TEST(OutputFileTest, ASymbolicLinkAtTheNameIsReplacedNotFollowed) {
  TTempDir Dir, Outside;
  Outside.Write("victim.txt", "precious");
  std::filesystem::create_symlink(Outside.Path() / "victim.txt", Dir.Path() / "A.html");
  std::filesystem::create_symlink(Outside.Path() / "new.txt", Dir.Path() / "B.html");
  for (const std::string Name : {"A.html", "B.html"}) {
    TOutputFile File;
    File.Create(Dir.Dir() + Name);
    File.Write("listing");
    File.Close();
    EXPECT_FALSE(std::filesystem::is_symlink(Dir.Path() / Name));
    EXPECT_EQ(ReadBytes(Dir.Dir() + Name), "listing");
  }
  EXPECT_EQ(ReadBytes(Outside.Dir() + "victim.txt"), "precious");
  EXPECT_FALSE(std::filesystem::exists(Outside.Path() / "new.txt"));
}

} // namespace
} // namespace codeweft
