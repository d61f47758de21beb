// String helpers with the framework's rules: names compare without regard to case.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace framework {

std::string UpperCase(std::string_view s);
std::string LowerCase(std::string_view s);
bool SameText(std::string_view a, std::string_view b);
// An identifier: a letter or underscore, then letters, digits and underscores.
bool IsValidIdent(std::string_view s);
std::string IntToStr(int64_t value);
// Decimal integer (optionally signed, or $hex); anything else raises EConvertError.
int64_t StrToInt(std::string_view s);
int64_t StrToIntDef(std::string_view s, int64_t def);
std::string Trim(std::string_view s);
std::vector<std::string> SplitString(std::string_view s, char separator);
// The text a caption shows: "&&" is a literal ampersand, a single "&" marks the following
// character as the accelerator and is not shown (a trailing one is dropped).
std::string StripHotkey(std::string_view caption);

// Case-insensitive ordering for maps keyed by names.
struct TTextLess {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const;
};

}  // namespace framework
