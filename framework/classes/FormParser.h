// The tokenizer of the text form format. Tokens: identifiers (dotted paths are read as
// identifier '.' identifier), integers (decimal or $hex, with sign), floats, strings
// ('quoted' parts with '' for a quote, #n character codes, parts joined directly or by '+'
// across lines), and single punctuation characters. Errors name the line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace framework {

enum TFormToken { ftEOF, ftSymbol, ftInteger, ftFloat, ftString, ftChar };

class TFormParser {
 public:
  explicit TFormParser(std::string_view text);

  TFormToken Token() const { return FToken; }
  char TokenChar() const { return FChar; }
  const std::string& TokenString() const { return FString; }  // symbol text or string value
  int64_t TokenInt() const { return FInt; }
  double TokenFloat() const { return FFloat; }
  int Line() const { return FTokenLine; }
  // Offsets into the text: where the current token starts, where the token before it
  // ended; Source gives the text between two offsets.
  size_t TokenStart() const { return FTokenStart; }
  size_t PreviousEnd() const { return FPreviousEnd; }
  std::string_view Source(size_t from, size_t to) const { return FText.substr(from, to - from); }

  void Next();
  bool IsChar(char c) const { return FToken == ftChar && FChar == c; }
  bool IsSymbol(std::string_view s) const;  // case-insensitive
  void ExpectChar(char c);                  // consumes it or raises
  std::string ExpectSymbol(std::string_view what);  // consumes an identifier or raises
  // Raises EReadError "Line N: <expected> expected but <current token> found".
  [[noreturn]] void Expected(std::string_view what) const;
  [[noreturn]] void Error(const std::string& message) const;
  std::string Describe() const;  // the current token, for messages

 private:
  void SkipBlanks();
  void ReadNumber();
  void ReadString();
  bool AtStringPart() const;

  std::string_view FText;
  size_t FPos = 0;
  size_t FTokenStart = 0;
  size_t FPreviousEnd = 0;
  int FLine = 1;
  int FTokenLine = 1;
  TFormToken FToken = ftEOF;
  char FChar = 0;
  std::string FString;
  int64_t FInt = 0;
  double FFloat = 0;
};

}  // namespace framework
