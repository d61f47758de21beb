#include "codeweft/core/lex/TokenStream.h"

#include <exception>
#include <memory>

#include "codeweft/core/Text.h"
#include "codeweft/core/lex/Keywords.h"

namespace codeweft {

namespace {

// Reports message about the current token of file. The passes read a file
// more than once: a warning already given for this place is not looked up
// again (finding its line means reading the file up to it).
void WarnHere(TRunState &s, const std::string &file, const std::string &message) {
  if (!s.Reporter) return;
  if (!s.Warned.insert(file + "@" + std::to_string(s.Source.TokenOffset) + ": " + message).second)
    return;
  WarnAt(s, file, LineAtOffset(file, s.Source.TokenOffset), message);
}

const std::string &CurrentFile(const TRunState &s) {
  return s.Source.Includes.empty() ? s.Source.Scanner.FileName()
                                   : s.Source.Includes.back().Scanner->FileName();
}

// Looks at a directive before TokenHook sees it: an include that is to be
// followed is found and noted in PendingInclude. A missing file, or one
// nested too deeply, is a warning and is passed over.
void NoteInclude(TRunState &s, const TDirectiveParts &d) {
  if (s.Source.Conditionals.Skipping()) return;
  const std::string name = IncludeName(d.Name, d.Argument);
  if (name.empty()) return;
  const std::string &file = CurrentFile(s);
  if (s.Source.Includes.size() >= MaxIncludeDepth) {
    WarnHere(s, file,
             "include file \"" + name + "\" not read: include files nested more than " +
                 std::to_string(MaxIncludeDepth) + " deep");
    return;
  }
  const std::size_t sep = file.find_last_of('/');
  std::string key =
      (sep == std::string::npos ? std::string() : file.substr(0, sep + 1)) + '\n' + name;
  const auto known = s.Source.IncludeFiles.find(key);
  if (known != s.Source.IncludeFiles.end())
    s.Source.PendingInclude = known->second;
  else
    s.Source.PendingInclude =
        s.Source.IncludeFiles.emplace(std::move(key), FindIncludeFile(file, name)).first->second;
  if (s.Source.PendingInclude.empty()) WarnHere(s, file, "include file \"" + name + "\" not found");
}

// Opens the include noted in PendingInclude; the tokens that follow are its own.
void EnterInclude(TRunState &s) {
  auto scanner = std::make_unique<TScanner>();
  const std::string path = std::move(s.Source.PendingInclude);
  s.Source.PendingInclude.clear();
  try {
    scanner->Open(path);
  } catch (const std::exception &e) {
    const std::string &file = CurrentFile(s);
    WarnHere(s, file, e.what());
    return;
  }
  s.Source.Includes.push_back({std::move(scanner), s.Source.NextOffset});
  s.Source.NextOffset = 0;
  if (s.Source.IncludeHook) s.Source.IncludeHook(true);
}

// The innermost include file has ended: back to the file that included it.
void LeaveInclude(TRunState &s) {
  if (s.Source.IncludeHook) s.Source.IncludeHook(false);
  s.Source.NextOffset = s.Source.Includes.back().OuterNextOffset;
  s.Source.Includes.pop_back();
}

void ApplyDirective(TRunState &s, const TDirectiveParts &d) {
  if (s.Source.Conditionals.Apply(d.Name, d.Argument) == TConditionals::coNotEvaluated) {
    const std::string &file = CurrentFile(s);
    WarnHere(
        s, file,
        "{$" + d.Name + "} not evaluated (" + s.Source.Conditionals.Error() + "): counts as false");
  }
}

} // namespace

void OpenSource(TRunState &state, const std::string &fileName) {
  state.Source.Includes.clear();
  state.Source.PendingInclude.clear();
  state.Source.Conditionals.Reset();
  state.Source.TokenOffset = state.Source.NextOffset = 0;
  state.Source.Scanner.Open(fileName);
  ++state.Source.SourcesOpened;
  state.AheadFile.clear();  // a file may change between runs: read it again
  state.Source.AtEnd = false;
}

void Advance(TRunState &state) {
  for (;;) {
    TScanner &scanner = state.Source.Includes.empty() ? state.Source.Scanner
                                                      : *state.Source.Includes.back().Scanner;
    if (scanner.NextToken(state.Source.Token) != scToken) {
      if (!state.Source.Includes.empty()) {
        LeaveInclude(state);
        continue;
      }
      state.Source.AtEnd = true;
    }
    state.Source.TokenOffset = state.Source.NextOffset;
    state.Source.NextOffset += state.Source.Token.Text.size();
    ++state.Source.TokensRead;
    if (state.Source.Token.Kind == TTokenKind::tkDirective) {
      const TDirectiveParts d = SplitDirective(state.Source.Token.Text);
      NoteInclude(state, d);
      if (state.Source.TokenHook) state.Source.TokenHook();
      ApplyDirective(state, d);
      if (!state.Source.PendingInclude.empty()) EnterInclude(state);
    } else if (state.Source.TokenHook) {
      state.Source.TokenHook();
    }
    if (state.Source.AtEnd) return;
    if (!IsTrivia(state.Source.Token.Kind) && !state.Source.Conditionals.Skipping()) return;
  }
}

TDirectiveParts SplitDirective(std::string_view text) {
  TDirectiveParts d;
  // "{$" ... "}" or "(*$" ... "*)".
  const bool paren = text.substr(0, 2) == "(*";
  const std::size_t open = paren ? 3 : 2, close = paren ? 2 : 1;
  if (text.size() < open + close) return d;
  const std::string_view body = text.substr(open, text.size() - open - close);
  std::size_t i = 0;
  while (i < body.size() && body[i] != ' ') ++i;
  d.Name = std::string(body.substr(0, i));
  while (i < body.size() && body[i] == ' ') ++i;
  // Everything up to the closing brace or "*)".
  d.Argument = std::string(body.substr(i));
  return d;
}

void BeginDeferral(TRunState &state) { state.Source.Deferring = true; }

void QueueCurrent(TRunState &state) {
  QueueToken(state, state.Source.Token.Text, {}, {}, StyleOf(state.Source.Token.Kind));
  state.Source.Deferring = false;
}

void QueueToken(TRunState &state, std::string_view text, std::string_view caption,
                std::string_view topic, TTokenStyle style) {
  TDelayedToken &t = state.Source.PendingTokens.emplace_back();
  t.Text.assign(text);
  if (!caption.empty()) t.Caption.assign(caption);
  if (!topic.empty()) t.Topic.assign(topic);
  t.Style = style;
}

void InsertToken(TRunState &state, std::size_t pos, std::string text, std::string caption,
                 std::string topic, TTokenStyle style) {
  if (pos > state.Source.PendingTokens.size()) pos = state.Source.PendingTokens.size();
  state.Source.PendingTokens.insert(
      state.Source.PendingTokens.begin() + static_cast<std::ptrdiff_t>(pos),
      {std::move(text), std::move(caption), std::move(topic), style});
}

void MakeLink(TRunState &state, int index, std::string href, std::string caption,
              std::string topic, TTokenStyle style) {
  if (index < 0 || index >= static_cast<int>(state.Source.PendingTokens.size())) return;
  TDelayedToken &t = state.Source.PendingTokens[index];
  t.Text = std::move(href);
  t.Caption = std::move(caption);
  t.Topic = std::move(topic);
  t.Style = style;
}

} // namespace codeweft
