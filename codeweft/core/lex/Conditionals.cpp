#include "codeweft/core/lex/Conditionals.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

#include "codeweft/core/Text.h"

namespace codeweft {

std::size_t TNoCaseHash::operator()(std::string_view name) const noexcept {
  std::size_t h = 14695981039346656037ull;
  for (const char c : name) h = (h ^ LowerChar(static_cast<unsigned char>(c))) * 1099511628211ull;
  return h;
}

bool TNoCaseEqual::operator()(std::string_view a, std::string_view b) const noexcept {
  return SameText(a, b);
}

void TDefines::Define(std::string_view name, std::string_view value) {
  const auto it = FNames.find(name);
  if (it != FNames.end()) {
    it->second.Value.assign(value);
    return;
  }
  FNames.emplace(std::string(name), TEntry{std::string(value), FNextOrder++});
}

void TDefines::Undefine(std::string_view name) {
  const auto it = FNames.find(name);
  if (it != FNames.end()) FNames.erase(it);
}

void TDefines::ClearDefines() { FNames.clear(); }

const std::string *TDefines::ValueOf(std::string_view name) const {
  const auto it = FNames.find(name);
  return it == FNames.end() ? nullptr : &it->second.Value;
}

std::vector<std::string> TDefines::Names() const {
  std::vector<std::pair<std::uint64_t, std::string>> ordered;
  ordered.reserve(FNames.size());
  for (const auto &[Name, Entry] : FNames) ordered.emplace_back(Entry.Order, Name);
  std::sort(ordered.begin(), ordered.end());
  std::vector<std::string> result;
  result.reserve(ordered.size());
  for (auto &[Order, Name] : ordered) result.push_back(std::move(Name));
  return result;
}

void FillDefines(TDefines &defines, std::string_view text) {
  defines.ClearDefines();
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find(';', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view word = text.substr(start, end - start);
    const std::size_t equal = word.find('=');
    if (equal == std::string_view::npos) {
      if (!word.empty()) defines.Define(word);
    } else if (equal > 0) {
      defines.Define(word.substr(0, equal), word.substr(equal + 1));
    }
    start = end + 1;
  }
}

namespace {

bool IsIdentStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsIdentChar(char c) { return IsIdentStart(c) || (c >= '0' && c <= '9'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A recursive-descent evaluator over the text of one expression. Every
// failure sets FError and makes the rest of the evaluation return 0.
class TEvaluator {
 public:
  TEvaluator(std::string_view text, const TDefines &defines, const TDeclaredLookup &declared)
      : FText(text), FDefines(defines), FDeclared(declared) {}

  TEvaluation Run() {
    TEvaluation result;
    const double value = Expression();
    SkipBlanks();
    if (FError.empty() && FPos < FText.size())
      Fail("unexpected \"" + std::string(FText.substr(FPos)) + "\"");
    if (FError.empty() && FText.find_first_not_of(" \t\r\n") == std::string_view::npos)
      Fail("empty expression");
    result.Ok = FError.empty();
    result.Value = result.Ok && value != 0;
    result.Error = FError;
    return result;
  }

 private:
  void Fail(std::string message) {
    if (FError.empty()) FError = std::move(message);
  }
  bool Failed() const { return !FError.empty(); }

  void SkipBlanks() {
    while (FPos < FText.size() && (FText[FPos] == ' ' || FText[FPos] == '\t' ||
                                   FText[FPos] == '\r' || FText[FPos] == '\n'))
      ++FPos;
  }

  // The next word (identifier), without consuming it; empty if none.
  std::string_view PeekWord() {
    SkipBlanks();
    std::size_t end = FPos;
    if (end < FText.size() && IsIdentStart(FText[end]))
      while (end < FText.size() && IsIdentChar(FText[end])) ++end;
    return FText.substr(FPos, end - FPos);
  }
  bool TakeWord(std::string_view word) {
    if (!SameText(PeekWord(), word)) return false;
    FPos += word.size();
    return true;
  }
  bool TakeSymbol(std::string_view symbol) {
    SkipBlanks();
    if (FText.substr(FPos, symbol.size()) != symbol) return false;
    FPos += symbol.size();
    return true;
  }

  // Expression = Simple [ ("=" | "<>" | "<" | ">" | "<=" | ">=") Simple ] .
  double Expression() {
    const double left = Simple();
    static constexpr std::string_view ops[] = {"<>", "<=", ">=", "=", "<", ">"};
    for (const std::string_view op : ops) {
      if (!TakeSymbol(op)) continue;
      const double right = Simple();
      if (op == "<>") return left != right;
      if (op == "<=") return left <= right;
      if (op == ">=") return left >= right;
      if (op == "=") return left == right;
      if (op == "<") return left < right;
      return left > right;
    }
    return left;
  }

  // Simple = Term { ("+" | "-" | "or" | "xor") Term } .
  double Simple() {
    double value = Term();
    while (!Failed()) {
      if (TakeSymbol("+"))
        value += Term();
      else if (TakeSymbol("-"))
        value -= Term();
      else if (TakeWord("or")) {
        const double right = Term();
        value = Logical(value, right, [](std::int64_t a, std::int64_t b) { return a | b; });
      } else if (TakeWord("xor")) {
        const double right = Term();
        value = Logical(value, right, [](std::int64_t a, std::int64_t b) { return a ^ b; });
      } else
        break;
    }
    return value;
  }

  // Term = Factor { ("*" | "/" | "div" | "mod" | "and" | "shl" | "shr") Factor } .
  double Term() {
    double value = Factor();
    while (!Failed()) {
      if (TakeSymbol("*"))
        value *= Factor();
      else if (TakeSymbol("/")) {
        const double right = Factor();
        if (right == 0) Fail("division by zero");
        value = right == 0 ? 0 : value / right;
      } else if (TakeWord("div") || TakeWord("mod")) {
        const bool div = SameText(FText.substr(FPos - 3, 3), "div");
        const std::int64_t right = Whole(Factor());
        if (right == 0) {
          Fail("division by zero");
          return 0;
        }
        const std::int64_t left = Whole(value);
        value = static_cast<double>(div ? left / right : left % right);
      } else if (TakeWord("and")) {
        const double right = Factor();
        value = Logical(value, right, [](std::int64_t a, std::int64_t b) { return a & b; });
      } else if (TakeWord("shl") || TakeWord("shr")) {
        const bool left = SameText(FText.substr(FPos - 3, 3), "shl");
        const std::int64_t count = Whole(Factor());
        const std::int64_t base = Whole(value);
        value =
            count < 0 || count > 62 ? 0 : static_cast<double>(left ? base << count : base >> count);
      } else
        break;
    }
    return value;
  }

  // Factor = Number | Name | Name "(" Name ")" | "not" Factor | ("+" | "-") Factor
  //        | "(" Expression ")" .
  double Factor() {
    if (Failed()) return 0;
    if (++FDepth > 64) {
      Fail("expression nested too deeply");
      return 0;
    }
    const double value = FactorBody();
    --FDepth;
    return value;
  }

  double FactorBody() {
    SkipBlanks();
    if (FPos >= FText.size()) {
      Fail("expression ends early");
      return 0;
    }
    if (TakeWord("not")) {
      const double operand = Factor();
      return IsBoolean(operand) ? (operand == 0) : static_cast<double>(~Whole(operand));
    }
    if (TakeSymbol("-")) return -Factor();
    if (TakeSymbol("+")) return Factor();
    if (TakeSymbol("(")) {
      const double value = Expression();
      if (!TakeSymbol(")")) Fail("\")\" expected");
      return value;
    }
    const char c = FText[FPos];
    if (IsDigit(c) || c == '$') return Number();
    const std::string_view name = PeekWord();
    if (name.empty()) {
      Fail("unexpected \"" + std::string(FText.substr(FPos)) + "\"");
      return 0;
    }
    FPos += name.size();
    if (TakeSymbol("(")) return Call(name);
    return NameValue(name);
  }

  double Number() {
    const std::size_t start = FPos;
    if (FText[FPos] == '$') {
      ++FPos;
      while (FPos < FText.size() && std::isxdigit(static_cast<unsigned char>(FText[FPos]))) ++FPos;
      if (FPos == start + 1) Fail("hexadecimal digits expected");
      return static_cast<double>(std::strtoll(
          std::string(FText.substr(start + 1, FPos - start - 1)).c_str(), nullptr, 16));
    }
    while (FPos < FText.size() && IsDigit(FText[FPos])) ++FPos;
    if (FPos + 1 < FText.size() && FText[FPos] == '.' && IsDigit(FText[FPos + 1])) {
      ++FPos;
      while (FPos < FText.size() && IsDigit(FText[FPos])) ++FPos;
    }
    return std::strtod(std::string(FText.substr(start, FPos - start)).c_str(), nullptr);
  }

  // Defined(NAME) and Declared(NAME); any other call cannot be evaluated.
  double Call(std::string_view function) {
    const std::string_view argument = PeekWord();
    const bool isDefined = SameText(function, "Defined");
    if (!isDefined && !SameText(function, "Declared")) {
      Fail("unknown function \"" + std::string(function) + "\"");
      return 0;
    }
    if (argument.empty()) {
      Fail("a name is expected in " + std::string(function) + "()");
      return 0;
    }
    FPos += argument.size();
    if (!TakeSymbol(")")) {
      Fail("\")\" expected");
      return 0;
    }
    if (isDefined) return FDefines.IsDefined(argument);
    return IsPredeclared(argument) || (FDeclared && FDeclared(argument));
  }

  double NameValue(std::string_view name) {
    if (SameText(name, "True")) return 1;
    if (SameText(name, "False")) return 0;
    if (const std::string *value = FDefines.ValueOf(name); value && !value->empty()) {
      TEvaluator inner(*value, FDefines, FDeclared);
      inner.FDepth = FDepth + 8;  // a value that names itself stops at the depth limit
      const double result = inner.Expression();
      inner.SkipBlanks();
      if (inner.Failed() || inner.FPos < inner.FText.size())
        Fail("the value of " + std::string(name) + " is not a number");
      return result;
    }
    for (const TCompilerConstant &k : CompilerConstants)
      if (SameText(name, k.Name)) return k.Value;
    Fail("unknown name \"" + std::string(name) + "\"");
    return 0;
  }

  static bool IsBoolean(double v) { return v == 0 || v == 1; }
  static std::int64_t Whole(double v) {
    if (!(std::fabs(v) < 9.2e18)) return 0;
    return static_cast<std::int64_t>(v);
  }
  // and/or/xor of two truth values, or bitwise on two integers.
  template <class Op>
  double Logical(double a, double b, Op apply) {
    if (IsBoolean(a) && IsBoolean(b)) return static_cast<double>(apply(a != 0, b != 0));
    return static_cast<double>(apply(Whole(a), Whole(b)));
  }

  std::string_view FText;
  const TDefines &FDefines;
  const TDeclaredLookup &FDeclared;
  std::size_t FPos = 0;
  int FDepth = 0;
  std::string FError;
};

}  // namespace

bool IsPredeclared(std::string_view name) {
  static constexpr std::string_view names[] = {
      "AnsiChar",  "AnsiString",  "Boolean",    "Byte",      "ByteBool",      "Cardinal",
      "Char",      "Comp",        "Currency",   "Double",    "Extended",      "IInterface",
      "Int64",     "Integer",     "IUnknown",   "LongBool",  "LongInt",       "LongWord",
      "NativeInt", "NativeUInt",  "OleVariant", "PAnsiChar", "PChar",         "Pointer",
      "PtrInt",    "PtrUInt",     "PWideChar",  "QWord",     "RawByteString", "Real",
      "ShortInt",  "ShortString", "Single",     "SizeInt",   "SizeUInt",      "SmallInt",
      "TClass",    "TDateTime",   "TObject",    "UInt64",    "UnicodeString", "UTF8String",
      "Variant",   "WideChar",    "WideString", "Word",      "WordBool"};
  for (const std::string_view n : names)
    if (SameText(n, name)) return true;
  return false;
}

TEvaluation EvaluateCondition(std::string_view expression, const TDefines &defines,
                              const TDeclaredLookup &declared) {
  return TEvaluator(expression, defines, declared).Run();
}

void TConditionals::Reset() {
  Defines = FInitial;
  FRegions.clear();
  FOn = true;
  FSkipping = false;
  FError.clear();
}

void TConditionals::Open(bool condition) {
  FRegions.push_back({FOn, condition});
  FOn = FOn && condition;
  Update();
}

bool TConditionals::Evaluate(std::string_view argument, TOutcome &outcome) {
  const TEvaluation e = EvaluateCondition(argument, Defines, Declared);
  if (!e.Ok) {
    FError = e.Error;
    outcome = coNotEvaluated;
  }
  return e.Value;
}

TConditionals::TOutcome TConditionals::Apply(std::string_view name, std::string_view argument) {
  TOutcome outcome = coActed;
  if (SameText(name, "IFDEF")) {
    Open(FOn && Defines.IsDefined(argument));
  } else if (SameText(name, "IFNDEF")) {
    Open(FOn && !Defines.IsDefined(argument));
  } else if (SameText(name, "IF")) {
    // Inside a switched-off region the expression is not looked at.
    Open(FOn && Evaluate(argument, outcome));
  } else if (SameText(name, "IFOPT")) {
    Open(false);  // compiler switches are not known here
  } else if (SameText(name, "ELSEIF")) {
    if (FRegions.empty()) return coNone;
    TRegion &r = FRegions.back();
    FOn = r.OuterOn && !r.Taken && Evaluate(argument, outcome);
    r.Taken = r.Taken || FOn;
  } else if (SameText(name, "ELSE")) {
    if (FRegions.empty()) return coNone;
    TRegion &r = FRegions.back();
    FOn = r.OuterOn && !r.Taken;
    r.Taken = true;
  } else if (SameText(name, "ENDIF") || SameText(name, "IFEND")) {
    if (FRegions.empty()) return coNone;
    FOn = FRegions.back().OuterOn;
    FRegions.pop_back();
  } else if (SameText(name, "DEFINE")) {
    if (!FOn) return coActed;
    // {$DEFINE NAME := VALUE} gives the name a value.
    const std::size_t assign = argument.find(":=");
    if (assign == std::string_view::npos) {
      Defines.Define(argument);
    } else {
      std::string_view left = argument.substr(0, assign), right = argument.substr(assign + 2);
      while (!left.empty() && left.back() == ' ') left.remove_suffix(1);
      while (!right.empty() && right.front() == ' ') right.remove_prefix(1);
      while (!right.empty() && right.back() == ' ') right.remove_suffix(1);
      Defines.Define(left, right);
    }
  } else if (SameText(name, "UNDEF")) {
    if (FOn) Defines.Undefine(argument);
  } else {
    return coNone;
  }
  Update();
  return outcome;
}

}  // namespace codeweft
