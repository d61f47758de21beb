#include "codeweft/core/lex/TokenStream.h"

#include "codeweft/core/lex/Keywords.h"
#include "codeweft/core/Text.h"

namespace codeweft {

namespace {

void ApplyDirective(TRunState &State) {
  const TDirectiveParts D = SplitDirective(State.Token.Text);
  if (SameText(D.Name, "DEFINE"))
    State.Defines.Define(D.Argument);
  else if (SameText(D.Name, "UNDEF"))
    State.Defines.Undefine(D.Argument);
  else if (SameText(D.Name, "IFDEF"))
    State.Skipping = !State.Defines.IsDefined(D.Argument);
  else if (SameText(D.Name, "IFNDEF"))
    State.Skipping = State.Defines.IsDefined(D.Argument);
  else if (SameText(D.Name, "ELSE"))
    State.Skipping = !State.Skipping;
  else if (SameText(D.Name, "ENDIF"))
    State.Skipping = false;
}

} // namespace

void Advance(TRunState &State) {
  for (;;) {
    if (State.Scanner.NextToken(State.Token) != scToken) State.AtEnd = true;
    ++State.TokensRead;
    if (State.TokenHook) State.TokenHook();
    if (State.Token.Kind == TTokenKind::tkDirective) ApplyDirective(State);
    if (State.AtEnd) return;
    if (!IsTrivia(State.Token.Kind) && !State.Skipping) return;
  }
}

TDirectiveParts SplitDirective(std::string_view Text) {
  TDirectiveParts D;
  if (Text.size() < 2) return D;
  std::size_t I = 2;
  while (I < Text.size() && Text[I] != ' ' && Text[I] != '}') ++I;
  D.Name = std::string(Text.substr(2, I - 2));
  if (I >= Text.size() || Text[I] == '}') return D;
  while (I < Text.size() && Text[I] == ' ') ++I;
  // Everything up to the last character, which is the closing brace.
  if (I < Text.size() - 1) D.Argument = std::string(Text.substr(I, Text.size() - 1 - I));
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
