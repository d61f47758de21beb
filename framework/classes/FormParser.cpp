#include "framework/classes/FormParser.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>

#include "framework/base/Exceptions.h"
#include "framework/base/StrUtils.h"

namespace framework {

static bool IsIdentStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
static bool IsIdentChar(char c) { return IsIdentStart(c) || std::isdigit(static_cast<unsigned char>(c)); }
static bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

TFormParser::TFormParser(std::string_view text) : FText(text) { Next(); }

void TFormParser::SkipBlanks() {
  while (FPos < FText.size()) {
    char c = FText[FPos];
    if (c == '\n')
      ++FLine;
    else if (static_cast<unsigned char>(c) > ' ')
      break;
    ++FPos;
  }
}

bool TFormParser::IsSymbol(std::string_view s) const {
  return FToken == ftSymbol && SameText(FString, s);
}

void TFormParser::Next() {
  FPreviousEnd = FPos;
  SkipBlanks();
  FTokenStart = FPos;
  FTokenLine = FLine;
  FString.clear();
  if (FPos >= FText.size()) {
    FToken = ftEOF;
    return;
  }
  char c = FText[FPos];
  if (IsIdentStart(c)) {
    size_t start = FPos;
    while (FPos < FText.size() && IsIdentChar(FText[FPos])) ++FPos;
    FString.assign(FText.substr(start, FPos - start));
    FToken = ftSymbol;
  } else if (IsDigit(c) || c == '$' ||
             ((c == '-' || c == '+') && FPos + 1 < FText.size() &&
              (IsDigit(FText[FPos + 1]) || FText[FPos + 1] == '$'))) {
    ReadNumber();
  } else if (c == '\'' || c == '#') {
    ReadString();
  } else {
    FToken = ftChar;
    FChar = c;
    ++FPos;
  }
}

void TFormParser::ReadNumber() {
  size_t start = FPos;
  bool neg = false;
  if (FText[FPos] == '-' || FText[FPos] == '+') neg = FText[FPos++] == '-';
  if (FPos < FText.size() && FText[FPos] == '$') {
    ++FPos;
    size_t digits = FPos;
    while (FPos < FText.size() && std::isxdigit(static_cast<unsigned char>(FText[FPos]))) ++FPos;
    uint64_t v = 0;
    auto r = std::from_chars(FText.data() + digits, FText.data() + FPos, v, 16);
    if (digits == FPos || r.ec != std::errc()) {
      FTokenLine = FLine;
      Error("Invalid hexadecimal number " + std::string(FText.substr(start, FPos - start)));
    }
    FInt = neg ? -static_cast<int64_t>(v) : static_cast<int64_t>(v);
    FToken = ftInteger;
    return;
  }
  bool isFloat = false;
  while (FPos < FText.size() && IsDigit(FText[FPos])) ++FPos;
  if (FPos + 1 < FText.size() && FText[FPos] == '.' && IsDigit(FText[FPos + 1])) {
    isFloat = true;
    ++FPos;
    while (FPos < FText.size() && IsDigit(FText[FPos])) ++FPos;
  }
  if (FPos < FText.size() && (FText[FPos] == 'e' || FText[FPos] == 'E')) {
    size_t save = FPos++;
    if (FPos < FText.size() && (FText[FPos] == '+' || FText[FPos] == '-')) ++FPos;
    if (FPos < FText.size() && IsDigit(FText[FPos])) {
      isFloat = true;
      while (FPos < FText.size() && IsDigit(FText[FPos])) ++FPos;
    } else {
      FPos = save;
    }
  }
  std::string text(FText.substr(start, FPos - start));
  if (isFloat) {
    FFloat = std::strtod(text.c_str(), nullptr);
    if (!std::isfinite(FFloat)) Error("Invalid number " + text);
    FToken = ftFloat;
  } else {
    int64_t v = 0;
    const char* b = text.c_str() + (text[0] == '+' ? 1 : 0);
    auto r = std::from_chars(b, text.c_str() + text.size(), v);
    if (r.ec != std::errc()) Error("Number out of range: " + text);
    FInt = v;
    FToken = ftInteger;
  }
  FString = text;
}

bool TFormParser::AtStringPart() const {
  return FPos < FText.size() && (FText[FPos] == '\'' || FText[FPos] == '#');
}

void TFormParser::ReadString() {
  FToken = ftString;
  for (;;) {
    while (AtStringPart()) {
      if (FText[FPos] == '\'') {
        ++FPos;
        for (;;) {
          if (FPos >= FText.size() || FText[FPos] == '\n' || FText[FPos] == '\r')
            Error("Unterminated string");
          if (FText[FPos] == '\'') {
            if (FPos + 1 < FText.size() && FText[FPos + 1] == '\'') {
              FString += '\'';
              FPos += 2;
              continue;
            }
            ++FPos;
            break;
          }
          FString += FText[FPos++];
        }
      } else {  // #nnn
        ++FPos;
        size_t start = FPos;
        while (FPos < FText.size() && IsDigit(FText[FPos])) ++FPos;
        unsigned v = 0;
        auto r = std::from_chars(FText.data() + start, FText.data() + FPos, v);
        if (start == FPos || r.ec != std::errc() || v > 0x10FFFF) Error("Invalid character code");
        if (v < 0x100) {
          FString += static_cast<char>(v);
        } else {  // wide characters become UTF-8
          if (v < 0x800) {
            FString += static_cast<char>(0xC0 | (v >> 6));
          } else {
            if (v < 0x10000) {
              FString += static_cast<char>(0xE0 | (v >> 12));
            } else {
              FString += static_cast<char>(0xF0 | (v >> 18));
              FString += static_cast<char>(0x80 | ((v >> 12) & 0x3F));
            }
            FString += static_cast<char>(0x80 | ((v >> 6) & 0x3F));
          }
          FString += static_cast<char>(0x80 | (v & 0x3F));
        }
      }
    }
    // A '+' after a string part continues the string on the next line.
    size_t save = FPos;
    int saveLine = FLine;
    SkipBlanks();
    if (FPos < FText.size() && FText[FPos] == '+') {
      ++FPos;
      SkipBlanks();
      if (AtStringPart()) continue;
    }
    FPos = save;
    FLine = saveLine;
    return;
  }
}

std::string TFormParser::Describe() const {
  switch (FToken) {
    case ftEOF:
      return "end of file";
    case ftSymbol:
      return "'" + FString + "'";
    case ftInteger:
    case ftFloat:
      return "number " + FString;
    case ftString:
      return "string '" + FString.substr(0, 40) + "'";
    case ftChar:
      return std::string("'") + FChar + "'";
  }
  return "?";
}

void TFormParser::Expected(std::string_view what) const {
  Error(std::string(what) + " expected but " + Describe() + " found");
}

void TFormParser::Error(const std::string& message) const { throw EReadError(message, FTokenLine); }

void TFormParser::ExpectChar(char c) {
  if (!IsChar(c)) Expected(std::string("'") + c + "'");
  Next();
}

std::string TFormParser::ExpectSymbol(std::string_view what) {
  if (FToken != ftSymbol) Expected(what);
  std::string s = FString;
  Next();
  return s;
}

}  // namespace framework
