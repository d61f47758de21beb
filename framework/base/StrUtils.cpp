#include "framework/base/StrUtils.h"

#include <cctype>
#include <charconv>

#include "framework/base/Exceptions.h"
#include "framework/base/Types.h"

namespace framework {

std::string ToString(const TRect& r) {
  return "(" + std::to_string(r.Left) + "," + std::to_string(r.Top) + "," +
         std::to_string(r.Right) + "," + std::to_string(r.Bottom) + ")";
}

static char Up(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

std::string UpperCase(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = Up(c);
  return r;
}

std::string LowerCase(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return r;
}

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Up(a[i]) != Up(b[i])) return false;
  return true;
}

bool TTextLess::operator()(std::string_view a, std::string_view b) const {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    char x = Up(a[i]), y = Up(b[i]);
    if (x != y) return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
  }
  return a.size() < b.size();
}

bool IsValidIdent(std::string_view s) {
  if (s.empty()) return false;
  auto alpha = [](char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; };
  if (!alpha(s[0])) return false;
  for (char c : s)
    if (!alpha(c) && !std::isdigit(static_cast<unsigned char>(c))) return false;
  return true;
}

std::string IntToStr(int64_t value) { return std::to_string(value); }

int64_t StrToInt(std::string_view text) {
  std::string s = Trim(text);
  std::string_view v = s;
  bool neg = false;
  if (!v.empty() && (v[0] == '-' || v[0] == '+')) {
    neg = v[0] == '-';
    v.remove_prefix(1);
  }
  int base = 10;
  if (!v.empty() && v[0] == '$') {
    base = 16;
    v.remove_prefix(1);
  }
  uint64_t value = 0;
  auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), value, base);
  if (v.empty() || ec != std::errc() || end != v.data() + v.size() ||
      value > (neg ? uint64_t{1} << 63 : uint64_t{INT64_MAX}))
    throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
  return neg ? static_cast<int64_t>(0 - value) : static_cast<int64_t>(value);
}

int64_t StrToIntDef(std::string_view s, int64_t def) {
  try {
    return StrToInt(s);
  } catch (const EConvertError&) {
    return def;
  }
}

std::string Trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return std::string(s.substr(b, e - b));
}

std::vector<std::string> SplitString(std::string_view s, char separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    size_t p = s.find(separator, start);
    parts.emplace_back(s.substr(start, p == std::string_view::npos ? p : p - start));
    if (p == std::string_view::npos) break;
    start = p + 1;
  }
  return parts;
}

std::string StripHotkey(std::string_view caption) {
  std::string shown;
  shown.reserve(caption.size());
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] != '&') {
      shown += caption[i];
    } else if (i + 1 < caption.size() && caption[i + 1] == '&') {
      shown += '&';
      ++i;
    }
  }
  return shown;
}

}  // namespace framework
