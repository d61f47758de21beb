// Conditional compilation: the conditional symbols and the stack of open
// regions ({$IFDEF}, {$IF} ... {$ELSEIF} ... {$ELSE} ... {$ENDIF}).
//
// Regions nest as in every Object Pascal compiler: an inner region only ever
// narrows the outer one, {$ELSE} and {$ELSEIF} switch between the branches of
// their own region, and inside a switched-off region only the nesting is
// followed: no symbol is defined, no expression evaluated. Every source file
// starts afresh with the run's symbols and no open region, so a file that ends
// inside a region never switches off the start of the next one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace codeweft {

// Hash and equality that ignore the case of ASCII letters, for maps keyed by
// Object Pascal names that are looked up without building a lower-case copy.
struct TNoCaseHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view name) const noexcept;
};
struct TNoCaseEqual {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const noexcept;
};

// The conditional symbols: a set of names compared whole and without regard
// to case, each with an optional value ("VERSION=3" on the command line,
// {$DEFINE VERSION := 3} in a source). Defining a name again replaces its
// value; one removal takes it away.
class TDefines {
 public:
  void Define(std::string_view name, std::string_view value = {});
  void Undefine(std::string_view name);
  void ClearDefines();
  bool IsDefined(std::string_view name) const { return FNames.find(name) != FNames.end(); }
  // The value given with the name; nullptr when the name is not defined.
  const std::string *ValueOf(std::string_view name) const;
  // The names as written, in the order they were first defined.
  std::vector<std::string> Names() const;
  std::size_t Count() const { return FNames.size(); }

 private:
  struct TEntry {
    std::string Value;
    std::uint64_t Order = 0;
  };
  std::unordered_map<std::string, TEntry, TNoCaseHash, TNoCaseEqual> FNames;
  std::uint64_t FNextOrder = 0;
};

// Empties Defines and defines every word of text, split at ";" and at nothing
// else. Empty words are skipped; no word is trimmed. A word "NAME=VALUE"
// defines NAME with that value.
void FillDefines(TDefines &defines, std::string_view text);

// Values of the compiler constants that {$IF} expressions test when the
// command line gives none (a define "NAME=VALUE" takes precedence).
struct TCompilerConstant {
  const char *Name;
  double Value;
};
inline constexpr TCompilerConstant CompilerConstants[] = {
    {"CompilerVersion", 36.0}, {"RTLVersion", 36.0}, {"FPC_FULLVERSION", 30202},
    {"FPC_VERSION", 3},        {"FPC_RELEASE", 2},   {"FPC_PATCH", 2},
};

// The result of a {$IF} expression: Ok is false when it could not be
// evaluated (an unknown name, a function or operator not supported, a syntax
// error); Error then says what stopped it.
struct TEvaluation {
  bool Ok = false;
  bool Value = false;
  std::string Error;
};

// Whether an identifier is declared, for Declared(NAME): the run answers from
// the declarations it has read so far. Empty: none is known.
using TDeclaredLookup = std::function<bool(std::string_view name)>;

// The identifiers the compilers declare before any unit is read, as far as
// projects test for them with Declared(): the basic types of the System unit
// (integer, character, string, real, pointer and variant types, TObject,
// TClass, IInterface, IUnknown, TDateTime) and the size types of the compiler
// with nested comments (PtrInt, PtrUInt, SizeInt, SizeUInt, QWord).
bool IsPredeclared(std::string_view name);

// Evaluates the argument of {$IF} or {$ELSEIF}: integers and reals, names of
// defines with a value and of the compiler constants, True and False,
// Defined(NAME), Declared(NAME) (true for a predeclared name and for one that
// Declared knows), not/and/or/xor, + - * / div mod shl shr, = <> < > <= >= and
// parentheses, with Pascal's precedence. A result other than 0 is true.
TEvaluation EvaluateCondition(std::string_view expression, const TDefines &defines,
                              const TDeclaredLookup &declared = {});

// The open regions of the file being read, and the symbols they test.
class TConditionals {
 public:
  // The symbols every file starts with (the run's defines text).
  void SetInitial(const TDefines &defines) { FInitial = defines; }
  const TDefines &Initial() const { return FInitial; }
  // A new file: the run's symbols and no open region.
  void Reset();

  TDefines Defines;  // the symbols of the file being read
  TDeclaredLookup Declared;  // what Declared(NAME) asks beyond the predeclared names
  // True while a directive has switched the source off.
  bool Skipping() const { return FSkipping; }
  std::size_t Depth() const { return FRegions.size(); }

  // What a conditional directive did, for the token stream to report.
  enum TOutcome : std::uint8_t { coNone, coActed, coNotEvaluated };
  // Acts on one directive, given by its name and argument (SplitDirective).
  // Returns coNone for a directive that is not conditional, coNotEvaluated
  // when an {$IF}/{$ELSEIF} expression could not be evaluated (it counts as
  // false; Error() says why), else coActed.
  TOutcome Apply(std::string_view name, std::string_view argument);
  const std::string &Error() const { return FError; }

 private:
  struct TRegion {
    bool OuterOn = true;  // the source was switched on where the region opened
    bool Taken = false;   // one of its branches was switched on already
  };
  void Open(bool condition);
  bool Evaluate(std::string_view argument, TOutcome &outcome);
  void Update() { FSkipping = !FOn; }

  TDefines FInitial;
  std::vector<TRegion> FRegions;
  bool FOn = true;  // the current branch of the innermost region is on
  bool FSkipping = false;
  std::string FError;
};

}  // namespace codeweft
