// Token forms of today's Object Pascal beyond the classic grammar, by
// construct: each case is a source text and the tokens (kind and text) it
// must give. The last group checks that every form comes out the same where
// the read buffer cuts it.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "TestFiles.h"
#include "codeweft/core/lex/Keywords.h"
#include "codeweft/core/lex/Scanner.h"

namespace codeweft {
namespace {

using test::Scan;
using test::TScanResult;
using K = TTokenKind;
using TTokens = std::vector<std::pair<TTokenKind, std::string>>;

struct TCase {
  std::string Source;
  TTokens Tokens;
  int Code = scEnd;
};

std::string Describe(const TTokens &Tokens) {
  std::string S;
  for (const auto &[Kind, Text] : Tokens) S += std::to_string(Ord(Kind)) + "[" + Text + "] ";
  return S;
}

TTokens Tokens(const TScanResult &R) {
  TTokens T;
  for (const auto &Token : R.Tokens) T.emplace_back(Token.Kind, Token.Text);
  return T;
}

void ExpectCases(const std::vector<TCase> &Cases) {
  for (const TCase &C : Cases) {
    const TScanResult R = Scan(C.Source);
    EXPECT_EQ(Describe(Tokens(R)), Describe(C.Tokens)) << "source: " << C.Source;
    EXPECT_EQ(R.Code, C.Code) << "source: " << C.Source;
  }
}

const auto WS = K::tkWhitespace;
const auto Id = K::tkIdentifier;
const auto Int = K::tkInteger;
const auto Str = K::tkString;
const auto Unk = K::tkUnknown;

TEST(ScannerFormsNumbers, BinaryOctalAndDigitSeparators) {
  ExpectCases({
      {"%1010", {{Int, "%1010"}}},
      {"%1010_0101;", {{Int, "%1010_0101"}, {K::tkSemicolon, ";"}}},
      {"%2", {{Unk, "%"}, {Int, "2"}}},
      {"% 1", {{Unk, "%"}, {WS, " "}, {Int, "1"}}},
      {"&17", {{Int, "&17"}}},
      {"&7_7)", {{Int, "&7_7"}, {K::tkRParen, ")"}}},
      {"&8", {{Unk, "&"}, {Int, "8"}}},
      {"1_000_000", {{Int, "1_000_000"}}},
      {"$FF_FF", {{Int, "$FF_FF"}}},
      {"1_000.000_1e1_0", {{K::tkReal, "1_000.000_1e1_0"}}},
      {"1_0..2_0", {{Int, "1_0"}, {K::tkRange, ".."}, {Int, "2_0"}}},
  });
}

TEST(ScannerFormsNames, EscapedNamesAreIdentifiersEvenWhenTheyAreKeywords) {
  ExpectCases({
      {"&begin", {{Id, "&begin"}}},
      {"&Type.&End", {{Id, "&Type"}, {K::tkPeriod, "."}, {Id, "&End"}}},
      {"&_x1", {{Id, "&_x1"}}},
      {"& x", {{Unk, "&"}, {WS, " "}, {Id, "x"}}},
      {"&&x", {{Unk, "&"}, {Id, "&x"}}},
      {"&\xC3\xA9t\xC3\xA9", {{Id, "&\xC3\xA9t\xC3\xA9"}}},
  });
}

TEST(ScannerFormsNames, Utf8LettersBelongToNames) {
  ExpectCases({
      // été, Größe, 名前 (CJK), Ωmega, x𝔸 (a letter outside the first plane)
      {"\xC3\xA9t\xC3\xA9", {{Id, "\xC3\xA9t\xC3\xA9"}}},
      {"Gr\xC3\xB6\xC3\x9F"
       "e:=1",
       {{Id,
         "Gr\xC3\xB6\xC3\x9F"
         "e"},
        {K::tkAssign, ":="},
        {Int, "1"}}},
      {"\xE5\x90\x8D\xE5\x89\x8D", {{Id, "\xE5\x90\x8D\xE5\x89\x8D"}}},
      {"\xCE\xA9mega", {{Id, "\xCE\xA9mega"}}},
      {"x\xF0\x9D\x94\xB8", {{Id, "x\xF0\x9D\x94\xB8"}}},
      // A keyword with a letter after it is a name.
      {"begin\xC3\xA9", {{Id, "begin\xC3\xA9"}}},
  });
}

TEST(ScannerFormsNames, BytesThatAreNoLettersStandAloneAndScanningGoesOn) {
  ExpectCases({
      // A no-break space and a multiplication sign are no letters.
      {"a\xC2\xA0"
       "b",
       {{Id, "a"}, {Unk, "\xC2"}, {Unk, "\xA0"}, {Id, "b"}}},
      {"a\xC3\x97"
       "b",
       {{Id, "a"}, {Unk, "\xC3"}, {Unk, "\x97"}, {Id, "b"}}},
      // Single-byte text (é in Latin-1) and a broken sequence.
      {"caf\xE9;", {{Id, "caf"}, {Unk, "\xE9"}, {K::tkSemicolon, ";"}}},
      {"\xE5\x90x", {{Unk, "\xE5"}, {Unk, "\x90"}, {Id, "x"}}},
      // An overlong encoding of "/" and an encoded surrogate are no letters.
      {"\xC0\xAF", {{Unk, "\xC0"}, {Unk, "\xAF"}}},
      {"\xED\xA0\x80", {{Unk, "\xED"}, {Unk, "\xA0"}, {Unk, "\x80"}}},
      {"\xEF\xBB\xBF"
       "a\xEF\xBB\xBF",
       {{Id, "a"}, {Unk, "\xEF"}, {Unk, "\xBB"}, {Unk, "\xBF"}}},
  });
}

TEST(ScannerFormsStrings, CharacterCodesInEveryBase) {
  ExpectCases({
      {"#$0D#$0A", {{Str, "#$0D#$0A"}}},
      {"#%1101'x'", {{Str, "#%1101'x'"}}},
      {"#&15;", {{Str, "#&15"}, {K::tkSemicolon, ";"}}},
      {"#1_0", {{Str, "#1_0"}}},
      {"#$", {{Str, "#$"}}},
  });
}

TEST(ScannerFormsStrings, CaretIsAControlCharacterUnlessItDereferences) {
  ExpectCases({
      {"x:=^M;", {{Id, "x"}, {K::tkAssign, ":="}, {Str, "^M"}, {K::tkSemicolon, ";"}}},
      {"'a'^M^J'b'", {{Str, "'a'^M^J'b'"}}},
      {"[^A..^Z]",
       {{K::tkLBracket, "["}, {Str, "^A"}, {K::tkRange, ".."}, {Str, "^Z"}, {K::tkRBracket, "]"}}},
      {"c = ^[", {{Id, "c"}, {WS, " "}, {K::tkEqual, "="}, {WS, " "}, {Str, "^["}}},
      {"case C of ^A:",
       {{Keyword("case"), "case"},
        {WS, " "},
        {Id, "C"},
        {WS, " "},
        {Keyword("of"), "of"},
        {WS, " "},
        {Str, "^A"},
        {K::tkColon, ":"}}},
      // After an operand, "^" dereferences it, whatever follows.
      {"P^[1]",
       {{Id, "P"}, {K::tkCaret, "^"}, {K::tkLBracket, "["}, {Int, "1"}, {K::tkRBracket, "]"}}},
      {"f(x)^ A",
       {{Id, "f"},
        {K::tkLParen, "("},
        {Id, "x"},
        {K::tkRParen, ")"},
        {K::tkCaret, "^"},
        {WS, " "},
        {Id, "A"}}},
      {"P {c} ^ .X",
       {{Id, "P"},
        {WS, " "},
        {K::tkComment, "{c}"},
        {WS, " "},
        {K::tkCaret, "^"},
        {WS, " "},
        {K::tkPeriod, "."},
        {Id, "X"}}},
      // A pointer type: after ":", or before a longer name.
      {"p: ^A;",
       {{Id, "p"},
        {K::tkColon, ":"},
        {WS, " "},
        {K::tkCaret, "^"},
        {Id, "A"},
        {K::tkSemicolon, ";"}}},
      {"= ^Integer", {{K::tkEqual, "="}, {WS, " "}, {K::tkCaret, "^"}, {Id, "Integer"}}},
      // Nothing before it, or only a long name: a caret.
      {"^A", {{K::tkCaret, "^"}, {Id, "A"}}},
      {std::string(60, 'x') + " ^A",
       {{Id, std::string(60, 'x')}, {WS, " "}, {K::tkCaret, "^"}, {Id, "A"}}},
      {"&of ^A", {{Id, "&of"}, {WS, " "}, {K::tkCaret, "^"}, {Id, "A"}}},
  });
}

TEST(ScannerFormsStrings, MultiLineStrings) {
  const std::string Text = "'''\r\n  It's\r\n  ''\r\n  '''";
  ExpectCases({
      {"s := " + Text + ";",
       {{Id, "s"}, {WS, " "}, {K::tkAssign, ":="}, {WS, " "}, {Str, Text}, {K::tkSemicolon, ";"}}},
      {"'''  \n'''", {{Str, "'''  \n'''"}}},
      // Five quotes let three stand in the text.
      {"'''''\n'''\n'''''", {{Str, "'''''\n'''\n'''''"}}},
      // Three quotes before more text are the classic doubled quote: 'x.
      {"'''x'", {{Str, "'''x'"}}},
      {"''''", {{Str, "''''"}}},
      {"'''\nnever closed\n", {}, scOpenString},
      {"'''\n''", {}, scOpenString},
  });
}

TEST(ScannerFormsSymbols, OperatorsOfBothDialects) {
  ExpectCases({
      {"a**b", {{Id, "a"}, {K::tkPower, "**"}, {Id, "b"}}},
      {"i+=1", {{Id, "i"}, {K::tkPlusAssign, "+="}, {Int, "1"}}},
      {"i-=1", {{Id, "i"}, {K::tkMinusAssign, "-="}, {Int, "1"}}},
      {"i*=2", {{Id, "i"}, {K::tkStarAssign, "*="}, {Int, "2"}}},
      {"x/=2", {{Id, "x"}, {K::tkSlashAssign, "/="}, {Int, "2"}}},
      {"s><t", {{Id, "s"}, {K::tkSymmetricDiff, "><"}, {Id, "t"}}},
      {"@@P", {{K::tkAtAt, "@@"}, {Id, "P"}}},
      {"a<>b", {{Id, "a"}, {K::tkNotEqual, "<>"}, {Id, "b"}}},
      // A number takes the point before ")" as in 3.), so "(.1.)" ends in ")".
      {"(.1.)", {{K::tkLBracket, "(."}, {K::tkReal, "1."}, {K::tkRParen, ")"}}},
      {"a(.i.)", {{Id, "a"}, {K::tkLBracket, "(."}, {Id, "i"}, {K::tkRBracket, ".)"}}},
      {"***", {{K::tkPower, "**"}, {K::tkStar, "*"}}},
      // "..." is one token: the ")" after it stays a parenthesis.
      {"(a; ...)",
       {{K::tkLParen, "("},
        {Id, "a"},
        {K::tkSemicolon, ";"},
        {K::tkWhitespace, " "},
        {K::tkRange, "..."},
        {K::tkRParen, ")"}}},
      {"1....2", {{Int, "1"}, {K::tkRange, "..."}, {K::tkPeriod, "."}, {Int, "2"}}},
  });
}

TEST(ScannerFormsStray, EveryByteNoFormAcceptsIsATokenOfItsOwn) {
  std::vector<TCase> Cases;
  for (const std::string &Bad :
       std::vector<std::string>{"\"", "!", "?", "\\", "`", "|", "~", "}", "\x7f", "\x01", "\x80",
                                "\xff", std::string(1, '\0')})
    Cases.push_back({"a " + Bad + Bad + " b",
                     {{Id, "a"}, {WS, " "}, {Unk, Bad}, {Unk, Bad}, {WS, " "}, {Id, "b"}}});
  ExpectCases(Cases);
  // A NUL inside a comment or string is text.
  ExpectCases({
      {std::string("{a\0b}x", 6), {{K::tkComment, std::string("{a\0b}", 5)}, {Id, "x"}}},
      {std::string("'a\0b'", 5), {{Str, std::string("'a\0b'", 5)}}},
      {std::string("(*\0*)", 5), {{K::tkComment, std::string("(*\0*)", 5)}}},
      {std::string("//\0\nx", 5), {{K::tkComment, std::string("//\0\n", 4)}, {Id, "x"}}},
  });
}

// Scans Source written to a file of the given name (its extension counts).
TTokens ScanNamed(const std::string &Name, const std::string &Source, int &Code) {
  test::TTempDir Dir;
  TScanner S;
  S.Open(Dir.Write(Name, Source));
  TTokens T;
  TToken Token;
  while ((Code = S.NextToken(Token)) == scToken) T.emplace_back(Token.Kind, Token.Text);
  return T;
}

TEST(ScannerFormsComments, CommentsNestWhereTheModeSaysSo) {
  const auto Cm = K::tkComment;
  const auto Dir = K::tkDirective;
  const std::string Nest = "{ a { b } c }";
  const TTokens Flat = {{Cm, "{ a { b }"}, {WS, " "}, {Id, "c"}, {WS, " "}, {Unk, "}"}};
  struct TNestCase {
    std::string File, Source;
    TTokens Tokens;
    int Code = scEnd;
  };
  std::vector<TNestCase> Cases = {
      {"u.pas", Nest, Flat},
      {"u.pp", Nest, {{Cm, Nest}}},
      {"u.LPR", Nest, {{Cm, Nest}}},
      {"u.pas", "{$mode objfpc}" + Nest, {{Dir, "{$mode objfpc}"}, {Cm, Nest}}},
      {"u.pas", "{$MODE FPC}" + Nest, {{Dir, "{$MODE FPC}"}, {Cm, Nest}}},
      {"u.pp",
       "{$Mode Delphi}" + Nest,
       {{Dir, "{$Mode Delphi}"}, Flat[0], Flat[1], Flat[2], Flat[3], Flat[4]}},
      {"u.pas",
       "{$modeswitch nestedcomments}" + Nest,
       {{Dir, "{$modeswitch nestedcomments}"}, {Cm, Nest}}},
      {"u.pp",
       "{$modeswitch nestedcomments-}" + Nest,
       {{Dir, "{$modeswitch nestedcomments-}"}, Flat[0], Flat[1], Flat[2], Flat[3], Flat[4]}},
      // Other directives change nothing; a directive ends at its first "}".
      {"u.pp", "{$H+}{$I {x}" + Nest, {{Dir, "{$H+}"}, {Dir, "{$I {x}"}, {Cm, Nest}}},
      {"u.pp", "(* a (* b *) c *)x", {{Cm, "(* a (* b *) c *)"}, {Id, "x"}}},
      {"u.pas", "(* a (* b *) c", {{Cm, "(* a (* b *)"}, {WS, " "}, {Id, "c"}}},
      {"u.pp", "{ a { b }", {}, scOpenComment},
  };
  for (const TNestCase &C : Cases) {
    int Code = 0;
    EXPECT_EQ(Describe(ScanNamed(C.File, C.Source, Code)), Describe(C.Tokens))
        << C.File << ": " << C.Source;
    EXPECT_EQ(Code, C.Code) << C.File << ": " << C.Source;
  }
}

// Each form placed so that the 64 KiB read buffer ends at every byte of it
// and just after it: the tokens must be the same as where it lies whole.
TEST(ScannerFormsBuffer, FormsCutByTheBufferEndComeOutTheSame) {
  const std::vector<std::string> Forms = {"&begin",
                                          "&17",
                                          "%1010_1",
                                          "1_000.5e-3",
                                          "1..2",
                                          "$FF_FF",
                                          "#$0D#10'x'",
                                          "'a'^M^J",
                                          "x:=^M",
                                          "'''\r\n a\r\n '''",
                                          "\xC3\xA9t\xC3\xA9",
                                          "ab\xE5\x90\x8D",
                                          "a\xC2\xA0",
                                          "(.1.)",
                                          "of ^A",
                                          "x := ^M",
                                          "**",
                                          "+=",
                                          "><",
                                          "@@",
                                          "//c\r\n",
                                          "{c}",
                                          "(*c*)",
                                          "'It''s'",
                                          "P^.X",
                                          "3.)"};
  constexpr std::size_t Buffer = 64 * 1024;
  for (const std::string &Form : Forms) {
    const std::string Tail = Form + " ;";
    const TTokens Whole = Tokens(Scan(Tail));
    for (std::size_t Cut = 0; Cut <= Form.size() + 1; ++Cut) {
      // One whitespace token, then the form from byte Buffer - Cut on.
      const std::string Pad(Buffer - Cut, ' ');
      const TScanResult R = Scan(Pad + Tail);
      ASSERT_FALSE(R.Tokens.empty());
      EXPECT_EQ(R.Tokens.front().Text, Pad);
      TTokens Rest = Tokens(R);
      Rest.erase(Rest.begin());
      EXPECT_EQ(Describe(Rest), Describe(Whole)) << Form << " cut " << Cut;
      EXPECT_EQ(R.Code, scEnd);
    }
  }
}

}  // namespace
}  // namespace codeweft
