#include "codeweft/core/Errors.h"
#include "codeweft/core/lex/Keywords.h"
#include "codeweft/core/lex/Scanner.h"

#include "TestFiles.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <random>
#include <utility>
#include <vector>

namespace codeweft {
namespace {

using test::Scan;
using test::TTempDir;
using test::TScanResult;
using test::TScannedToken;
using K = TTokenKind;
using TExpected = std::vector<std::pair<TTokenKind, std::string>>;

std::string Describe(const TExpected &Tokens) {
  std::string S;
  for (const auto &[Kind, Text] : Tokens) S += std::to_string(Ord(Kind)) + "[" + Text + "] ";
  return S;
}

// Scans Source and compares the tokens (kind and text) and the final code.
void ExpectScan(const std::string &Source, const TExpected &Expected, int Code = scEnd) {
  const TScanResult R = Scan(Source);
  TExpected Got;
  for (const TScannedToken &T : R.Tokens) Got.emplace_back(T.Kind, T.Text);
  EXPECT_EQ(Describe(Got), Describe(Expected)) << "source: " << Source;
  EXPECT_EQ(R.Code, Code) << "source: " << Source;
}

const auto WS = K::tkWhitespace;

TEST(ScannerNumbers, IntegerBeforeRangeLeavesTheRangeForTheNextCall) {
  ExpectScan("1..10", {{K::tkInteger, "1"}, {K::tkRange, ".."}, {K::tkInteger, "10"}});
  ExpectScan("a[1..n]", {{K::tkIdentifier, "a"}, {K::tkLBracket, "["}, {K::tkInteger, "1"},
                         {K::tkRange, ".."}, {K::tkIdentifier, "n"}, {K::tkRBracket, "]"}});
}

TEST(ScannerNumbers, FractionsAndExponentsAreReal) {
  ExpectScan("1.5e-3", {{K::tkReal, "1.5e-3"}});
  ExpectScan("2E10", {{K::tkReal, "2E10"}});
  ExpectScan("3. ", {{K::tkReal, "3."}, {WS, " "}});
  ExpectScan("3.)", {{K::tkReal, "3."}, {K::tkRParen, ")"}});
  ExpectScan("7.25", {{K::tkReal, "7.25"}});
  // The exponent's first character is taken whatever it is.
  ExpectScan("1e+x2", {{K::tkReal, "1e+x2"}});
}

TEST(ScannerNumbers, ANumberEndingTheFileTakesNothingBeyondIt) {
  ExpectScan("1e", {{K::tkReal, "1e"}});
  ExpectScan("1e-", {{K::tkReal, "1e-"}});
  ExpectScan("4.", {{K::tkReal, "4."}});
}

TEST(ScannerNumbers, HexadecimalIntegers) {
  ExpectScan("$FF", {{K::tkInteger, "$FF"}});
  ExpectScan("$0aBc;", {{K::tkInteger, "$0aBc"}, {K::tkSemicolon, ";"}});
  ExpectScan("$ ", {{K::tkInteger, "$"}, {WS, " "}});
  ExpectScan("$G", {{K::tkInteger, "$"}, {K::tkIdentifier, "G"}});
}

TEST(ScannerStrings, QuotesCodesAndRunsOfBoth) {
  ExpectScan("'It''s'", {{K::tkString, "'It''s'"}});
  ExpectScan("#13#10", {{K::tkString, "#13#10"}});
  ExpectScan("'a'#9'b'", {{K::tkString, "'a'#9'b'"}});
  ExpectScan("#13#10'x'#0;", {{K::tkString, "#13#10'x'#0"}, {K::tkSemicolon, ";"}});
  ExpectScan("''", {{K::tkString, "''"}});
  ExpectScan("'{not a comment}'", {{K::tkString, "'{not a comment}'"}});
  // Hexadecimal character codes belong to the run.
  ExpectScan("#$0D", {{K::tkString, "#$0D"}});
}

TEST(ScannerStrings, AStringThatReachesItsLineEndOrTheInputEndIsAnError) {
  ExpectScan("x := 'abc\r\ny'", {{K::tkIdentifier, "x"}, {WS, " "}, {K::tkAssign, ":="},
                                  {WS, " "}}, scOpenString);
  ExpectScan("'abc\ny'", {}, scOpenString);
  ExpectScan("'abc", {}, scOpenString);
  ExpectScan("'a'#9'", {}, scOpenString);
}

TEST(ScannerComments, BraceCommentsAndDirectives) {
  ExpectScan("{$IFDEF X}", {{K::tkDirective, "{$IFDEF X}"}});
  ExpectScan("{ $IFDEF X}", {{K::tkComment, "{ $IFDEF X}"}});
  ExpectScan("{a\r\nb}x", {{K::tkComment, "{a\r\nb}"}, {K::tkIdentifier, "x"}});
  ExpectScan("{}", {{K::tkComment, "{}"}});
}

TEST(ScannerComments, ParenStarCommentsKeepTheirStarsAndWithADollarAreDirectives) {
  ExpectScan("(*$IFDEF X*)", {{K::tkDirective, "(*$IFDEF X*)"}});
  // A directive ends at its first "*)", also where comments nest.
  ExpectScan("(*$I a (*b*)x", {{K::tkDirective, "(*$I a (*b*)"}, {K::tkIdentifier, "x"}});
  ExpectScan("(* $I no *)", {{K::tkComment, "(* $I no *)"}});
  ExpectScan("(** a * b ***)z", {{K::tkComment, "(** a * b ***)"}, {K::tkIdentifier, "z"}});
  ExpectScan("(**)", {{K::tkComment, "(**)"}});
  ExpectScan("(a)", {{K::tkLParen, "("}, {K::tkIdentifier, "a"}, {K::tkRParen, ")"}});
}

TEST(ScannerComments, ACommentLeftOpenAtTheEndIsAnError) {
  ExpectScan("x {open", {{K::tkIdentifier, "x"}, {WS, " "}}, scOpenComment);
  ExpectScan("{$IFDEF", {}, scOpenComment);
  ExpectScan("(* open *", {}, scOpenComment);
  ExpectScan("(*)", {}, scOpenComment);
}

TEST(ScannerComments, LineCommentsTakeTheirLineEnd) {
  ExpectScan("// c\r\nx", {{K::tkComment, "// c\r\n"}, {K::tkIdentifier, "x"}});
  ExpectScan("// c\nx", {{K::tkComment, "// c\n"}, {K::tkIdentifier, "x"}});
  ExpectScan("// c\rx", {{K::tkComment, "// c\r"}, {K::tkIdentifier, "x"}});
  ExpectScan("x // last", {{K::tkIdentifier, "x"}, {WS, " "}, {K::tkComment, "// last"}});
  ExpectScan("//", {{K::tkComment, "//"}});
}

TEST(ScannerWords, KeywordsHaveTheKindOfTheirTablePlace) {
  ASSERT_EQ(KeywordTable.size(), 71u);
  for (std::size_t i = 0; i < KeywordTable.size(); ++i) {
    const std::string W(KeywordTable[i]);
    ExpectScan(W, {{static_cast<K>(31 + i), W}});
  }
  EXPECT_EQ(Ord(Keyword("implementation")), 56);
  EXPECT_EQ(Ord(Keyword("interface")), 61);
  EXPECT_EQ(Ord(Keyword("published")), 98);
  EXPECT_EQ(Ord(tkSlash), 42);
}

TEST(ScannerWords, CaseIsIgnoredForTheKindAndKeptInTheText) {
  ExpectScan("BEGIN Begin begin", {{Keyword("begin"), "BEGIN"}, {WS, " "},
                                   {Keyword("begin"), "Begin"}, {WS, " "},
                                   {Keyword("begin"), "begin"}});
  ExpectScan("AUTOMATED", {{static_cast<K>(101), "AUTOMATED"}});
  ExpectScan("Private", {{static_cast<K>(100), "Private"}});
}

TEST(ScannerWords, IdentifiersAreWordsOutsideTheTable) {
  ExpectScan("readln read string", {{K::tkIdentifier, "readln"}, {WS, " "},
                                    {K::tkIdentifier, "read"}, {WS, " "},
                                    {Keyword("string"), "string"}});
  ExpectScan("_x1 Begin2 beginx", {{K::tkIdentifier, "_x1"}, {WS, " "},
                                   {K::tkIdentifier, "Begin2"}, {WS, " "},
                                   {K::tkIdentifier, "beginx"}});
  ExpectScan("implementations", {{K::tkIdentifier, "implementations"}});
  ExpectScan("a", {{K::tkIdentifier, "a"}});
}

// The lookup compares a word in two eight-byte halves and caps the length it
// looks at: words around those edges that only begin like a keyword, and
// bytes that are no letters, must not be taken for keywords.
TEST(ScannerWords, WordsThatOnlyBeginLikeAKeywordAreIdentifiers) {
  for (const std::string W : {"finalizatio", "interfaces", "destructor_", "stringresourceX",
                              "implementationXY", "initializationXYZ", "RESOURCESTRINGabcdefgh"})
    ExpectScan(W, {{K::tkIdentifier, W}});
  ExpectScan("inLine DownTo", {{Keyword("inline"), "inLine"}, {WS, " "}, {Keyword("downto"), "DownTo"}});
  EXPECT_EQ(WordKind("In"), Keyword("in"));
  EXPECT_EQ(WordKind(std::string_view("in\0", 3)), K::tkIdentifier);
  EXPECT_EQ(WordKind("\x41\x4E\x44"), Keyword("and")); // "AND"
  EXPECT_EQ(WordKind("\x01\x0E\x04"), K::tkIdentifier); // "AND" less the letter bits
  EXPECT_EQ(WordKind(""), K::tkIdentifier);
}

TEST(ScannerSymbols, OperatorsAndPunctuation) {
  // "^" after "]" dereferences (after ":=" it would start a control character).
  ExpectScan("(),;.=<><<=>>=+-*:=@..[]^:",
             {{K::tkLParen, "("},    {K::tkRParen, ")"},        {K::tkComma, ","},
              {K::tkSemicolon, ";"}, {K::tkPeriod, "."},        {K::tkEqual, "="},
              {K::tkNotEqual, "<>"}, {K::tkLess, "<"},          {K::tkLessEqual, "<="},
              {K::tkGreater, ">"},   {K::tkGreaterEqual, ">="}, {K::tkPlus, "+"},
              {K::tkMinus, "-"},     {K::tkStar, "*"},          {K::tkAssign, ":="},
              {K::tkAt, "@"},        {K::tkRange, ".."},        {K::tkLBracket, "["},
              {K::tkRBracket, "]"},  {K::tkCaret, "^"},         {K::tkColon, ":"}});
  ExpectScan("<>>", {{K::tkNotEqual, "<>"}, {K::tkGreater, ">"}});
  ExpectScan("a/b", {{K::tkIdentifier, "a"}, {tkSlash, "/"}, {K::tkIdentifier, "b"}});
  // "(." and ".)" stand for the brackets.
  ExpectScan("(.x.)", {{K::tkLBracket, "(."}, {K::tkIdentifier, "x"}, {K::tkRBracket, ".)"}});
  ExpectScan("( .x. )", {{K::tkLParen, "("},
                         {WS, " "},
                         {K::tkPeriod, "."},
                         {K::tkIdentifier, "x"},
                         {K::tkPeriod, "."},
                         {WS, " "},
                         {K::tkRParen, ")"}});
}

TEST(ScannerWhitespace, EmptyAndBlankFiles) {
  ExpectScan("", {});
  ExpectScan(" \t\r\n ", {{WS, " \t\r\n "}});
}

TEST(ScannerBadInput, AStrayCharacterIsATokenOfItsOwnAndTheScanGoesOn) {
  TTempDir Dir;
  TScanner S;
  S.Open(Dir.Write("amp.pas", "x & y"));
  TToken T;
  EXPECT_EQ(S.NextToken(T), scToken);
  EXPECT_EQ(S.NextToken(T), scToken);
  EXPECT_EQ(S.NextToken(T), scToken);
  EXPECT_EQ(T.Kind, K::tkUnknown);
  EXPECT_EQ(T.Text, "&");
  EXPECT_EQ(S.NextToken(T), scToken);
  EXPECT_EQ(S.NextToken(T), scToken);
  EXPECT_EQ(T.Text, "y");
  EXPECT_EQ(S.NextToken(T), scEnd);
  EXPECT_EQ(S.StopChar(), -1);
  // Asking again stays at the end.
  EXPECT_EQ(S.NextToken(T), scEnd);
  EXPECT_EQ(T.Text, "");
}

TEST(ScannerBadInput, HighBytesNulsAndControlCharactersDoNotStopTheScan) {
  for (const std::string &Bad : std::vector<std::string>{"\x80", "\xff", std::string(1, '\0'), "\x7f", "\x01", "\"", "}",
                                "!", "%", "?", "\\", "`", "|", "~"}) {
    const TScanResult R = Scan("a " + Bad + " b");
    EXPECT_EQ(R.Code, scEnd) << int(static_cast<unsigned char>(Bad[0]));
    EXPECT_EQ(R.Joined(), "a " + Bad + " b");
    ASSERT_EQ(R.Tokens.size(), 5u);
    EXPECT_EQ(R.Tokens[2].Kind, K::tkUnknown);
  }
}

TEST(ScannerBadInput, AByteOrderMarkAtTheStartIsSkipped) {
  ExpectScan("\xEF\xBB\xBFunit", {{Keyword("unit"), "unit"}});
  ExpectScan("\xEF\xBB\xBF", {});
  ExpectScan("\xEF\xBB", {{K::tkUnknown, "\xEF"}, {K::tkUnknown, "\xBB"}});
  ExpectScan("a\xEF\xBB\xBF", {{K::tkIdentifier, "a"},
                               {K::tkUnknown, "\xEF"},
                               {K::tkUnknown, "\xBB"},
                               {K::tkUnknown, "\xBF"}});
}

TEST(ScannerFiles, AFileThatCannotBeOpenedNamesTheFileAndTheReason) {
  TScanner S;
  try {
    S.Open("no/such/x.pas");
    FAIL() << "no exception";
  } catch (const EFOpenError &E) {
    EXPECT_STREQ(E.what(), "Cannot open file \"no/such/x.pas\": No such file or directory");
  }
  TTempDir Dir;
  try {
    S.Open(Dir.Path().string());
    FAIL() << "no exception for a folder";
  } catch (const EFOpenError &E) {
    EXPECT_STREQ(E.what(), ("Cannot open file \"" + Dir.Path().string() + "\": Is a directory").c_str());
  }
  EXPECT_FALSE(S.IsOpen());
  TToken T;
  EXPECT_EQ(S.NextToken(T), scEnd); // still closed
}

// A device gives bytes without end and a FIFO blocks until a writer comes:
// neither is read, and neither makes Open wait.
TEST(ScannerFiles, OnlyRegularFilesAreRead) {
  TTempDir Dir;
  const std::string Fifo = (Dir.Path() / "fifo.pas").string();
  ASSERT_EQ(::mkfifo(Fifo.c_str(), 0600), 0);
  for (const std::string &Name : {std::string("/dev/zero"), std::string("/dev/null"), Fifo}) {
    TScanner S;
    try {
      S.Open(Name);
      FAIL() << "no exception for " << Name;
    } catch (const EFOpenError &E) {
      EXPECT_EQ(std::string(E.what()), "Cannot open file \"" + Name + "\": not a regular file");
    }
    EXPECT_FALSE(S.IsOpen());
  }
}

TEST(ScannerFiles, ReopeningStartsAfreshAndClearsThePendingRange) {
  TTempDir Dir;
  const std::string A = Dir.Write("a.pas", "1..2"), B = Dir.Write("b.pas", "x");
  TScanner S;
  TToken T;
  S.Open(A);
  EXPECT_EQ(S.NextToken(T), scToken); // 1, with ".." pending
  S.Open(B);
  EXPECT_EQ(S.NextToken(T), scToken);
  EXPECT_EQ(T.Text, "x");
  EXPECT_EQ(S.NextToken(T), scEnd);
  S.Close();
  S.Open(A);
  std::string Joined;
  while (S.NextToken(T) == scToken) Joined += T.Text;
  EXPECT_EQ(Joined, "1..2");
}

// Tokens of every kind cut at every place by the read buffer: the joined
// texts must give the input back, up to the error point if there is one.
TEST(ScannerRoundTrip, RandomSourcesComeBackWholeAcrossBufferBoundaries) {
  const std::vector<std::string> Pieces = {"begin",
                                           " ",
                                           "\r\n",
                                           "\t",
                                           "Ident_1",
                                           "12",
                                           "..",
                                           "3.5e+7",
                                           "$1F",
                                           "'It''s'",
                                           "#13#10",
                                           "{ c }",
                                           "{$DEFINE X}",
                                           "(* * *)",
                                           "// line\r\n",
                                           ":=",
                                           "<>",
                                           "(",
                                           ")",
                                           ".",
                                           ";",
                                           "/",
                                           "'a'#9'b'",
                                           "@",
                                           "^",
                                           "[",
                                           "]",
                                           std::string(300, 'x'),
                                           std::string(5000, ' '),
                                           "&begin",
                                           "&17",
                                           "%1_0",
                                           "#$0D",
                                           "^M",
                                           "\r\n'''\r\n a\r\n'''\r\n",
                                           "\xC3\xA9t\xC3\xA9",
                                           "\xC2\xA0",
                                           " ** ",
                                           "+=",
                                           "><",
                                           "@@",
                                           "(.",
                                           ".)",
                                           "!",
                                           std::string(1, '\0')};
  std::mt19937 Rng(12345);
  for (int Round = 0; Round < 12; ++Round) {
    std::string Src;
    const std::size_t Size = 60000 + Round * 3000; // around the 64 KiB buffer
    while (Src.size() < Size) Src += Pieces[Rng() % Pieces.size()];
    if (Round % 3 == 1) Src += "{ never closed";
    if (Round % 3 == 2) Src += " ?";
    const TScanResult R = Scan(Src);
    const std::string Joined = R.Joined();
    ASSERT_LE(Joined.size(), Src.size());
    EXPECT_EQ(Joined, Src.substr(0, Joined.size())) << "round " << Round;
    const int Expected[] = {scEnd, scOpenComment, scEnd};  // a stray "?" does not stop
    EXPECT_EQ(R.Code, Expected[Round % 3]) << "round " << Round;
  }
}

TEST(ScannerRoundTrip, ArbitraryBytesNeverHangAndComeBackUpToTheStop) {
  std::mt19937 Rng(777);
  for (int Round = 0; Round < 200; ++Round) {
    std::string Src(Rng() % 400, '\0');
    for (char &C : Src) C = static_cast<char>(Rng() % 128);
    const TScanResult R = Scan(Src);
    const std::string Joined = R.Joined();
    ASSERT_LE(Joined.size(), Src.size());
    EXPECT_EQ(Joined, Src.substr(0, Joined.size()));
    if (R.Code == scEnd) {
      EXPECT_EQ(Joined, Src);
    }
  }
}

} // namespace
} // namespace codeweft
