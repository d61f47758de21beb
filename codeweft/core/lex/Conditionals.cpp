#include "codeweft/core/lex/Conditionals.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

#include "codeweft/core/Text.h"

namespace codeweft {

std::size_t TNoCaseHash::operator()(std::string_view Name) const noexcept {
  std::size_t H = 14695981039346656037ull;
  for (const char C : Name) H = (H ^ LowerChar(static_cast<unsigned char>(C))) * 1099511628211ull;
  return H;
}

bool TNoCaseEqual::operator()(std::string_view A, std::string_view B) const noexcept {
  return SameText(A, B);
}

void TDefines::Define(std::string_view Name, std::string_view Value) {
  const auto It = FNames.find(Name);
  if (It != FNames.end()) {
    It->second.Value.assign(Value);
    return;
  }
  FNames.emplace(std::string(Name), TEntry{std::string(Value), FNextOrder++});
}

void TDefines::Undefine(std::string_view Name) {
  const auto It = FNames.find(Name);
  if (It != FNames.end()) FNames.erase(It);
}

void TDefines::ClearDefines() { FNames.clear(); }

const std::string *TDefines::ValueOf(std::string_view Name) const {
  const auto It = FNames.find(Name);
  return It == FNames.end() ? nullptr : &It->second.Value;
}

std::vector<std::string> TDefines::Names() const {
  std::vector<std::pair<std::uint64_t, std::string>> Ordered;
  Ordered.reserve(FNames.size());
  for (const auto &[Name, Entry] : FNames) Ordered.emplace_back(Entry.Order, Name);
  std::sort(Ordered.begin(), Ordered.end());
  std::vector<std::string> Result;
  Result.reserve(Ordered.size());
  for (auto &[Order, Name] : Ordered) Result.push_back(std::move(Name));
  return Result;
}

void FillDefines(TDefines &Defines, std::string_view Text) {
  Defines.ClearDefines();
  std::size_t Start = 0;
  while (Start <= Text.size()) {
    std::size_t End = Text.find(';', Start);
    if (End == std::string_view::npos) End = Text.size();
    const std::string_view Word = Text.substr(Start, End - Start);
    const std::size_t Equal = Word.find('=');
    if (Equal == std::string_view::npos) {
      if (!Word.empty()) Defines.Define(Word);
    } else if (Equal > 0) {
      Defines.Define(Word.substr(0, Equal), Word.substr(Equal + 1));
    }
    Start = End + 1;
  }
}

namespace {

bool IsIdentStart(char C) { return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z') || C == '_'; }
bool IsIdentChar(char C) { return IsIdentStart(C) || (C >= '0' && C <= '9'); }
bool IsDigit(char C) { return C >= '0' && C <= '9'; }

// A recursive-descent evaluator over the text of one expression. Every
// failure sets FError and makes the rest of the evaluation return 0.
class TEvaluator {
 public:
  TEvaluator(std::string_view Text, const TDefines &Defines, const TDeclaredLookup &Declared)
      : FText(Text), FDefines(Defines), FDeclared(Declared) {}

  TEvaluation Run() {
    TEvaluation Result;
    const double Value = Expression();
    SkipBlanks();
    if (FError.empty() && FPos < FText.size())
      Fail("unexpected \"" + std::string(FText.substr(FPos)) + "\"");
    if (FError.empty() && FText.find_first_not_of(" \t\r\n") == std::string_view::npos)
      Fail("empty expression");
    Result.Ok = FError.empty();
    Result.Value = Result.Ok && Value != 0;
    Result.Error = FError;
    return Result;
  }

 private:
  void Fail(std::string Message) {
    if (FError.empty()) FError = std::move(Message);
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
    std::size_t End = FPos;
    if (End < FText.size() && IsIdentStart(FText[End]))
      while (End < FText.size() && IsIdentChar(FText[End])) ++End;
    return FText.substr(FPos, End - FPos);
  }
  bool TakeWord(std::string_view Word) {
    if (!SameText(PeekWord(), Word)) return false;
    FPos += Word.size();
    return true;
  }
  bool TakeSymbol(std::string_view Symbol) {
    SkipBlanks();
    if (FText.substr(FPos, Symbol.size()) != Symbol) return false;
    FPos += Symbol.size();
    return true;
  }

  // Expression = Simple [ ("=" | "<>" | "<" | ">" | "<=" | ">=") Simple ] .
  double Expression() {
    const double Left = Simple();
    static constexpr std::string_view Ops[] = {"<>", "<=", ">=", "=", "<", ">"};
    for (const std::string_view Op : Ops) {
      if (!TakeSymbol(Op)) continue;
      const double Right = Simple();
      if (Op == "<>") return Left != Right;
      if (Op == "<=") return Left <= Right;
      if (Op == ">=") return Left >= Right;
      if (Op == "=") return Left == Right;
      if (Op == "<") return Left < Right;
      return Left > Right;
    }
    return Left;
  }

  // Simple = Term { ("+" | "-" | "or" | "xor") Term } .
  double Simple() {
    double Value = Term();
    while (!Failed()) {
      if (TakeSymbol("+"))
        Value += Term();
      else if (TakeSymbol("-"))
        Value -= Term();
      else if (TakeWord("or")) {
        const double Right = Term();
        Value = Logical(Value, Right, [](std::int64_t A, std::int64_t B) { return A | B; });
      } else if (TakeWord("xor")) {
        const double Right = Term();
        Value = Logical(Value, Right, [](std::int64_t A, std::int64_t B) { return A ^ B; });
      } else
        break;
    }
    return Value;
  }

  // Term = Factor { ("*" | "/" | "div" | "mod" | "and" | "shl" | "shr") Factor } .
  double Term() {
    double Value = Factor();
    while (!Failed()) {
      if (TakeSymbol("*"))
        Value *= Factor();
      else if (TakeSymbol("/")) {
        const double Right = Factor();
        if (Right == 0) Fail("division by zero");
        Value = Right == 0 ? 0 : Value / Right;
      } else if (TakeWord("div") || TakeWord("mod")) {
        const bool Div = SameText(FText.substr(FPos - 3, 3), "div");
        const std::int64_t Right = Whole(Factor());
        if (Right == 0) {
          Fail("division by zero");
          return 0;
        }
        const std::int64_t Left = Whole(Value);
        Value = static_cast<double>(Div ? Left / Right : Left % Right);
      } else if (TakeWord("and")) {
        const double Right = Factor();
        Value = Logical(Value, Right, [](std::int64_t A, std::int64_t B) { return A & B; });
      } else if (TakeWord("shl") || TakeWord("shr")) {
        const bool Left = SameText(FText.substr(FPos - 3, 3), "shl");
        const std::int64_t Count = Whole(Factor());
        const std::int64_t Base = Whole(Value);
        Value =
            Count < 0 || Count > 62 ? 0 : static_cast<double>(Left ? Base << Count : Base >> Count);
      } else
        break;
    }
    return Value;
  }

  // Factor = Number | Name | Name "(" Name ")" | "not" Factor | ("+" | "-") Factor
  //        | "(" Expression ")" .
  double Factor() {
    if (Failed()) return 0;
    if (++FDepth > 64) {
      Fail("expression nested too deeply");
      return 0;
    }
    const double Value = FactorBody();
    --FDepth;
    return Value;
  }

  double FactorBody() {
    SkipBlanks();
    if (FPos >= FText.size()) {
      Fail("expression ends early");
      return 0;
    }
    if (TakeWord("not")) {
      const double Operand = Factor();
      return IsBoolean(Operand) ? (Operand == 0) : static_cast<double>(~Whole(Operand));
    }
    if (TakeSymbol("-")) return -Factor();
    if (TakeSymbol("+")) return Factor();
    if (TakeSymbol("(")) {
      const double Value = Expression();
      if (!TakeSymbol(")")) Fail("\")\" expected");
      return Value;
    }
    const char C = FText[FPos];
    if (IsDigit(C) || C == '$') return Number();
    const std::string_view Name = PeekWord();
    if (Name.empty()) {
      Fail("unexpected \"" + std::string(FText.substr(FPos)) + "\"");
      return 0;
    }
    FPos += Name.size();
    if (TakeSymbol("(")) return Call(Name);
    return NameValue(Name);
  }

  double Number() {
    const std::size_t Start = FPos;
    if (FText[FPos] == '$') {
      ++FPos;
      while (FPos < FText.size() && std::isxdigit(static_cast<unsigned char>(FText[FPos]))) ++FPos;
      if (FPos == Start + 1) Fail("hexadecimal digits expected");
      return static_cast<double>(std::strtoll(
          std::string(FText.substr(Start + 1, FPos - Start - 1)).c_str(), nullptr, 16));
    }
    while (FPos < FText.size() && IsDigit(FText[FPos])) ++FPos;
    if (FPos + 1 < FText.size() && FText[FPos] == '.' && IsDigit(FText[FPos + 1])) {
      ++FPos;
      while (FPos < FText.size() && IsDigit(FText[FPos])) ++FPos;
    }
    return std::strtod(std::string(FText.substr(Start, FPos - Start)).c_str(), nullptr);
  }

  // Defined(NAME) and Declared(NAME); any other call cannot be evaluated.
  double Call(std::string_view Function) {
    const std::string_view Argument = PeekWord();
    const bool IsDefined = SameText(Function, "Defined");
    if (!IsDefined && !SameText(Function, "Declared")) {
      Fail("unknown function \"" + std::string(Function) + "\"");
      return 0;
    }
    if (Argument.empty()) {
      Fail("a name is expected in " + std::string(Function) + "()");
      return 0;
    }
    FPos += Argument.size();
    if (!TakeSymbol(")")) {
      Fail("\")\" expected");
      return 0;
    }
    if (IsDefined) return FDefines.IsDefined(Argument);
    return IsPredeclared(Argument) || (FDeclared && FDeclared(Argument));
  }

  double NameValue(std::string_view Name) {
    if (SameText(Name, "True")) return 1;
    if (SameText(Name, "False")) return 0;
    if (const std::string *Value = FDefines.ValueOf(Name); Value && !Value->empty()) {
      TEvaluator Inner(*Value, FDefines, FDeclared);
      Inner.FDepth = FDepth + 8;  // a value that names itself stops at the depth limit
      const double Result = Inner.Expression();
      Inner.SkipBlanks();
      if (Inner.Failed() || Inner.FPos < Inner.FText.size())
        Fail("the value of " + std::string(Name) + " is not a number");
      return Result;
    }
    for (const TCompilerConstant &K : CompilerConstants)
      if (SameText(Name, K.Name)) return K.Value;
    Fail("unknown name \"" + std::string(Name) + "\"");
    return 0;
  }

  static bool IsBoolean(double V) { return V == 0 || V == 1; }
  static std::int64_t Whole(double V) {
    if (!(std::fabs(V) < 9.2e18)) return 0;
    return static_cast<std::int64_t>(V);
  }
  // and/or/xor of two truth values, or bitwise on two integers.
  template <class Op>
  double Logical(double A, double B, Op Apply) {
    if (IsBoolean(A) && IsBoolean(B)) return static_cast<double>(Apply(A != 0, B != 0));
    return static_cast<double>(Apply(Whole(A), Whole(B)));
  }

  std::string_view FText;
  const TDefines &FDefines;
  const TDeclaredLookup &FDeclared;
  std::size_t FPos = 0;
  int FDepth = 0;
  std::string FError;
};

}  // namespace

bool IsPredeclared(std::string_view Name) {
  static constexpr std::string_view Names[] = {
      "AnsiChar",  "AnsiString",  "Boolean",    "Byte",      "ByteBool",      "Cardinal",
      "Char",      "Comp",        "Currency",   "Double",    "Extended",      "IInterface",
      "Int64",     "Integer",     "IUnknown",   "LongBool",  "LongInt",       "LongWord",
      "NativeInt", "NativeUInt",  "OleVariant", "PAnsiChar", "PChar",         "Pointer",
      "PtrInt",    "PtrUInt",     "PWideChar",  "QWord",     "RawByteString", "Real",
      "ShortInt",  "ShortString", "Single",     "SizeInt",   "SizeUInt",      "SmallInt",
      "TClass",    "TDateTime",   "TObject",    "UInt64",    "UnicodeString", "UTF8String",
      "Variant",   "WideChar",    "WideString", "Word",      "WordBool"};
  for (const std::string_view N : Names)
    if (SameText(N, Name)) return true;
  return false;
}

TEvaluation EvaluateCondition(std::string_view Expression, const TDefines &Defines,
                              const TDeclaredLookup &Declared) {
  return TEvaluator(Expression, Defines, Declared).Run();
}

void TConditionals::Reset() {
  Defines = FInitial;
  FRegions.clear();
  FOn = true;
  FSkipping = false;
  FError.clear();
}

void TConditionals::Open(bool Condition) {
  FRegions.push_back({FOn, Condition});
  FOn = FOn && Condition;
  Update();
}

bool TConditionals::Evaluate(std::string_view Argument, TOutcome &Outcome) {
  const TEvaluation E = EvaluateCondition(Argument, Defines, Declared);
  if (!E.Ok) {
    FError = E.Error;
    Outcome = coNotEvaluated;
  }
  return E.Value;
}

TConditionals::TOutcome TConditionals::Apply(std::string_view Name, std::string_view Argument) {
  TOutcome Outcome = coActed;
  if (SameText(Name, "IFDEF")) {
    Open(FOn && Defines.IsDefined(Argument));
  } else if (SameText(Name, "IFNDEF")) {
    Open(FOn && !Defines.IsDefined(Argument));
  } else if (SameText(Name, "IF")) {
    // Inside a switched-off region the expression is not looked at.
    Open(FOn && Evaluate(Argument, Outcome));
  } else if (SameText(Name, "IFOPT")) {
    Open(false);  // compiler switches are not known here
  } else if (SameText(Name, "ELSEIF")) {
    if (FRegions.empty()) return coNone;
    TRegion &R = FRegions.back();
    FOn = R.OuterOn && !R.Taken && Evaluate(Argument, Outcome);
    R.Taken = R.Taken || FOn;
  } else if (SameText(Name, "ELSE")) {
    if (FRegions.empty()) return coNone;
    TRegion &R = FRegions.back();
    FOn = R.OuterOn && !R.Taken;
    R.Taken = true;
  } else if (SameText(Name, "ENDIF") || SameText(Name, "IFEND")) {
    if (FRegions.empty()) return coNone;
    FOn = FRegions.back().OuterOn;
    FRegions.pop_back();
  } else if (SameText(Name, "DEFINE")) {
    if (!FOn) return coActed;
    // {$DEFINE NAME := VALUE} gives the name a value.
    const std::size_t Assign = Argument.find(":=");
    if (Assign == std::string_view::npos) {
      Defines.Define(Argument);
    } else {
      std::string_view Left = Argument.substr(0, Assign), Right = Argument.substr(Assign + 2);
      while (!Left.empty() && Left.back() == ' ') Left.remove_suffix(1);
      while (!Right.empty() && Right.front() == ' ') Right.remove_prefix(1);
      while (!Right.empty() && Right.back() == ' ') Right.remove_suffix(1);
      Defines.Define(Left, Right);
    }
  } else if (SameText(Name, "UNDEF")) {
    if (FOn) Defines.Undefine(Argument);
  } else {
    return coNone;
  }
  Update();
  return Outcome;
}

}  // namespace codeweft
