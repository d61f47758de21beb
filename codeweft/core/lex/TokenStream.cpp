#include "codeweft/core/lex/TokenStream.h"

#include <exception>
#include <memory>

#include "codeweft/core/Text.h"
#include "codeweft/core/lex/Keywords.h"

namespace codeweft {

namespace {

// Reports Message about the current token of File. The passes read a file
// more than once: a warning already given for this place is not looked up
// again (finding its line means reading the file up to it).
void WarnHere(TRunState &S, const std::string &File, const std::string &Message) {
  if (!S.Reporter) return;
  if (!S.Warned.insert(File + "@" + std::to_string(S.TokenOffset) + ": " + Message).second) return;
  WarnAt(S, File, LineAtOffset(File, S.TokenOffset), Message);
}

const std::string &CurrentFile(const TRunState &S) {
  return S.Includes.empty() ? S.Scanner.FileName() : S.Includes.back().Scanner->FileName();
}

// Looks at a directive before TokenHook sees it: an include that is to be
// followed is found and noted in PendingInclude. A missing file, or one
// nested too deeply, is a warning and is passed over.
void NoteInclude(TRunState &S, const TDirectiveParts &D) {
  if (S.Conditionals.Skipping()) return;
  const std::string Name = IncludeName(D.Name, D.Argument);
  if (Name.empty()) return;
  const std::string &File = CurrentFile(S);
  if (S.Includes.size() >= MaxIncludeDepth) {
    WarnHere(S, File,
             "include file \"" + Name + "\" not read: include files nested more than " +
                 std::to_string(MaxIncludeDepth) + " deep");
    return;
  }
  const std::size_t Sep = File.find_last_of('/');
  std::string Key =
      (Sep == std::string::npos ? std::string() : File.substr(0, Sep + 1)) + '\n' + Name;
  const auto Known = S.IncludeFiles.find(Key);
  if (Known != S.IncludeFiles.end())
    S.PendingInclude = Known->second;
  else
    S.PendingInclude =
        S.IncludeFiles.emplace(std::move(Key), FindIncludeFile(File, Name)).first->second;
  if (S.PendingInclude.empty()) WarnHere(S, File, "include file \"" + Name + "\" not found");
}

// Opens the include noted in PendingInclude; the tokens that follow are its own.
void EnterInclude(TRunState &S) {
  auto Scanner = std::make_unique<TScanner>();
  const std::string Path = std::move(S.PendingInclude);
  S.PendingInclude.clear();
  try {
    Scanner->Open(Path);
  } catch (const std::exception &E) {
    const std::string &File = CurrentFile(S);
    WarnHere(S, File, E.what());
    return;
  }
  S.Includes.push_back({std::move(Scanner), S.NextOffset});
  S.NextOffset = 0;
  if (S.IncludeHook) S.IncludeHook(true);
}

// The innermost include file has ended: back to the file that included it.
void LeaveInclude(TRunState &S) {
  if (S.IncludeHook) S.IncludeHook(false);
  S.NextOffset = S.Includes.back().OuterNextOffset;
  S.Includes.pop_back();
}

void ApplyDirective(TRunState &S, const TDirectiveParts &D) {
  if (S.Conditionals.Apply(D.Name, D.Argument) == TConditionals::coNotEvaluated) {
    const std::string &File = CurrentFile(S);
    WarnHere(S, File,
             "{$" + D.Name + "} not evaluated (" + S.Conditionals.Error() + "): counts as false");
  }
}

} // namespace

void OpenSource(TRunState &State, const std::string &FileName) {
  State.Includes.clear();
  State.PendingInclude.clear();
  State.Conditionals.Reset();
  State.TokenOffset = State.NextOffset = 0;
  State.Scanner.Open(FileName);
  ++State.SourcesOpened;
  State.AheadFile.clear();  // a file may change between runs: read it again
  State.AtEnd = false;
}

void Advance(TRunState &State) {
  for (;;) {
    TScanner &Scanner = State.Includes.empty() ? State.Scanner : *State.Includes.back().Scanner;
    if (Scanner.NextToken(State.Token) != scToken) {
      if (!State.Includes.empty()) {
        LeaveInclude(State);
        continue;
      }
      State.AtEnd = true;
    }
    State.TokenOffset = State.NextOffset;
    State.NextOffset += State.Token.Text.size();
    ++State.TokensRead;
    if (State.Token.Kind == TTokenKind::tkDirective) {
      const TDirectiveParts D = SplitDirective(State.Token.Text);
      NoteInclude(State, D);
      if (State.TokenHook) State.TokenHook();
      ApplyDirective(State, D);
      if (!State.PendingInclude.empty()) EnterInclude(State);
    } else if (State.TokenHook) {
      State.TokenHook();
    }
    if (State.AtEnd) return;
    if (!IsTrivia(State.Token.Kind) && !State.Conditionals.Skipping()) return;
  }
}

TDirectiveParts SplitDirective(std::string_view Text) {
  TDirectiveParts D;
  // "{$" ... "}" or "(*$" ... "*)".
  const bool Paren = Text.substr(0, 2) == "(*";
  const std::size_t Open = Paren ? 3 : 2, Close = Paren ? 2 : 1;
  if (Text.size() < Open + Close) return D;
  const std::string_view Body = Text.substr(Open, Text.size() - Open - Close);
  std::size_t I = 0;
  while (I < Body.size() && Body[I] != ' ') ++I;
  D.Name = std::string(Body.substr(0, I));
  while (I < Body.size() && Body[I] == ' ') ++I;
  // Everything up to the closing brace or "*)".
  D.Argument = std::string(Body.substr(I));
  return D;
}

void BeginDeferral(TRunState &State) { State.Deferring = true; }

void QueueCurrent(TRunState &State) {
  QueueToken(State, State.Token.Text, {}, {}, StyleOf(State.Token.Kind));
  State.Deferring = false;
}

void QueueToken(TRunState &State, std::string_view Text, std::string_view Caption,
                std::string_view Topic, TTokenStyle Style) {
  TDelayedToken &T = State.PendingTokens.emplace_back();
  T.Text.assign(Text);
  if (!Caption.empty()) T.Caption.assign(Caption);
  if (!Topic.empty()) T.Topic.assign(Topic);
  T.Style = Style;
}

void InsertToken(TRunState &State, std::size_t Pos, std::string Text, std::string Caption,
                 std::string Topic, TTokenStyle Style) {
  if (Pos > State.PendingTokens.size()) Pos = State.PendingTokens.size();
  State.PendingTokens.insert(State.PendingTokens.begin() + static_cast<std::ptrdiff_t>(Pos),
                             {std::move(Text), std::move(Caption), std::move(Topic), Style});
}

void MakeLink(TRunState &State, int Index, std::string Href, std::string Caption,
              std::string Topic, TTokenStyle Style) {
  if (Index < 0 || Index >= static_cast<int>(State.PendingTokens.size())) return;
  TDelayedToken &T = State.PendingTokens[Index];
  T.Text = std::move(Href);
  T.Caption = std::move(Caption);
  T.Topic = std::move(Topic);
  T.Style = Style;
}

} // namespace codeweft
