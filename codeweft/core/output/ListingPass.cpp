#include "codeweft/core/output/ListingPass.h"

#include "codeweft/core/lex/Keywords.h"
#include "codeweft/core/parse/Parser.h"
#include "codeweft/core/symbols/SymbolPass.h"
#include "codeweft/core/lex/TokenStream.h"

namespace codeweft {

void TAnchorIndex::Add(const std::string &Page, std::string_view Anchor) {
  FPages[Page].insert(LowerCase(Anchor));
}

bool TAnchorIndex::Has(const std::string &Page, std::string_view Anchor) const {
  const auto It = FPages.find(Page);
  return It != FPages.end() && It->second.count(LowerCase(Anchor)) != 0;
}

void EmitEntry(TListingSink &Sink, const TDelayedToken &T) {
  if (T.Style == TTokenStyle::tsLink && Sink.CheckLinks) {
    const std::size_t Hash = T.Text.find('#');
    if (Hash != std::string::npos) {
      const std::string_view Href(T.Text);
      const std::string Page = Hash == 0 ? Sink.Page : UrlUnescaped(Href.substr(0, Hash));
      const std::string_view Anchor = Href.substr(Hash + 1);
      if (!Sink.Anchors.Has(Page, Anchor)) {
        Sink.Files.EmitToken(T.Caption, {}, {}, TTokenStyle::tsIdent);
        return;
      }
      // A link from an implementation part to a routine is a call of it.
      if (Sink.InImplementation && !Sink.Unit.empty())
        Sink.Index.Callers[CallersId(Page, Anchor)].push_back(
            {Sink.Page, Sink.Unit, Sink.Files.Line()});
    }
  } else if (T.Style == TTokenStyle::tsAnchor && !Sink.Unit.empty()) {
    Sink.Index.Anchors.push_back({Sink.Page, {Sink.Unit, T.Topic}});
  }
  Sink.Files.EmitToken(T);
}

void TokenHook(TRunState &S, TListingSink &Sink) {
  if (S.Phase == TPhase::phSymbols || Sink.Collecting)
    return;
  if (S.Phase == TPhase::phImplementation && !Sink.InImplementation) {
    Sink.InImplementation = true;
    Sink.Files.NameLog = nullptr;  // the interface's names are all logged
  }
  if (S.Deferring) {
    if (IsTrivia(S.Token.Kind) || S.Skipping)
      QueueToken(S, S.Token.Text, {}, {}, StyleOf(S.Token.Kind));
    return;
  }
  FlushPending(S, Sink);
  Sink.Files.EmitToken(S.Token.Text, {}, {}, StyleOf(S.Token.Kind));
}

TTokenHookGuard::TTokenHookGuard(TRunState &State, TListingSink &Sink) : FState(State) {
  FState.TokenHook = [&State, &Sink] { TokenHook(State, Sink); };
}

TTokenHookGuard::~TTokenHookGuard() {
  FState.TokenHook = nullptr;
}

void FlushPending(TRunState &S, TListingSink &Sink) {
  if (S.PendingTokens.empty())
    return;
  for (const TDelayedToken &T : S.PendingTokens)
    EmitEntry(Sink, T);
  S.PendingTokens.clear();
}

void FinishListedFile(TRunState &S, TListingSink &Sink) {
  FlushPending(S, Sink);
  const int Code = S.Scanner.LastCode();
  if (Code != scToken && Code != scEnd) {
    // A piece that ends in CR may be split from its LF: hold the CR back so
    // that the RTF side still sees the line break as one.
    std::string Text;
    while (S.Scanner.TakeRest(Text)) {
      const std::size_t Keep = Text.back() == '\r' ? 1 : 0;
      if (Text.size() > Keep)
        Sink.Files.EmitToken(std::string_view(Text).substr(0, Text.size() - Keep), {}, {},
                             TTokenStyle::tsRaw);
      Text.erase(0, Text.size() - Keep);
    }
    if (!Text.empty())
      Sink.Files.EmitToken(Text, {}, {}, TTokenStyle::tsRaw);
  }
  S.Scanner.Close();
}

namespace {

bool IsRoutineWord(TTokenKind K) {
  return K == Keyword("procedure") || K == Keyword("function") || K == Keyword("constructor") ||
         K == Keyword("destructor");
}

// The anchors that the listing pass of entry Index will place: one for every
// routine heading of the implementation part, named as the heading rules name
// it (the unit heading's name in lower case, the class if qualified, the
// routine). The same token stream as the listing pass, read without the
// grammar: a heading is the routine word, a name, and "." and a name.
void CollectUnitAnchors(TRunState &S, TListingSink &Sink, int Index) {
  const TURElm &Unit = S.Symbols.Units.at(static_cast<std::size_t>(Index));
  Sink.Page = UnitPage(Unit) + ".html";
  Sink.Anchors.ClearPage(Sink.Page);
  std::string UnitPart = Unit.Name;
  bool InImplementation = false;
  S.Scanner.Open(LocateSourceFile(Unit.FileName));
  Advance(S);
  S.AtEnd = false;
  while (!S.AtEnd) {
    const TTokenKind Kind = S.Token.Kind;
    if (Kind == Keyword("unit")) {
      Advance(S);
      if (S.Token.Kind == TTokenKind::tkIdentifier)
        UnitPart = S.Token.Text;
      continue;
    }
    if (Kind == Keyword("implementation")) {
      InImplementation = true;
    } else if (InImplementation && IsRoutineWord(Kind)) {
      Advance(S);
      if (S.Token.Kind != TTokenKind::tkIdentifier)
        continue;
      const std::string First(S.Token.Text);
      Advance(S);
      if (S.Token.Kind != TTokenKind::tkPeriod) {
        Sink.Anchors.Add(Sink.Page, UnitPart + "_" + First);
        continue;
      }
      Advance(S);
      if (S.Token.Kind != TTokenKind::tkIdentifier)
        continue;
      Sink.Anchors.Add(Sink.Page, (UnitPart + "_" + First + "_").append(S.Token.Text));
    }
    Advance(S);
  }
  S.Scanner.Close();
}

// The listing pass of one unit.
void ListUnit(TRunState &S, TListingSink &Sink, int Index) {
  const TURElm &Unit = S.Symbols.Units.at(static_cast<std::size_t>(Index));
  S.Phase = TPhase::phInterface;
  S.CurrentUnit = Unit.Name;
  S.CurrentClass.clear();
  S.Deferring = false;
  S.PendingTokens.clear();
  S.Symbols.BuildFlatRefs({S.Symbols.UnitIndex(S.CurrentUnit)});

  const std::string Page = UnitPage(Unit);
  const std::string Source = LocateSourceFile(Unit.FileName);
  Sink.Page = Page + ".html";
  Sink.Unit = Unit.Name;
  Sink.InImplementation = false;
  Sink.InterfaceNames.clear();
  Sink.Files.NameLog = &Sink.InterfaceNames;
  Sink.Files.CallersPage = FileHref(std::string(SymbolIndexPage) + ".html");
  Sink.Files.PageName = Sink.Page;
  Sink.Files.OpenListing(S.BuildDir + Page + ".html", S.BuildDir + Page + ".rtf", S.CurrentUnit,
                         SourceCharsetOf(Source));
  S.Scanner.Open(Source);
  Advance(S);
  S.AtEnd = false;

  ListTokens(S, [&S, &Sink] { FlushPending(S, Sink); });

  FinishListedFile(S, Sink);
  Sink.Files.CloseListing();
  Sink.Files.NameLog = nullptr;
  S.Symbols.FreeFlatRefs();
  AddIndexRows(Sink.Index, Unit, Sink.Page, Sink.InterfaceNames,
               [&Sink](const std::string &Anchor) { return Sink.Anchors.Has(Sink.Page, Anchor); });
  Sink.Unit.clear();
}

} // namespace

void ListTokens(TRunState &S, const std::function<void()> &Settled) {
  while (!S.AtEnd) {
    if (Settled && S.PendingTokens.size() >= FlushAt) Settled();
    const std::uint64_t Before = S.TokensRead;
    const TTokenKind Kind = S.Token.Kind;
    if (Kind == TTokenKind::tkIdentifier)
      IdentifierChain(S);
    else if (Kind == Keyword("constructor"))
      ConstructorHeading(S);
    else if (Kind == Keyword("destructor"))
      DestructorHeading(S);
    else if (Kind == Keyword("function"))
      FunctionHeading(S);
    else if (Kind == Keyword("procedure"))
      ProcedureHeading(S);
    else if (Kind == Keyword("implementation")) {
      S.Phase = TPhase::phImplementation;
      Advance(S);
    } else if (Kind == Keyword("interface"))
      InterfaceSection(S);
    else if (Kind == Keyword("unit"))
      UnitHeading(S);
    else if (Kind == Keyword("uses"))
      UsesClause(S);
    else {
      // No rule claims the token: defer before reading past it, so that an
      // identifier after it reaches IdentifierChain with Deferring set.
      BeginDeferral(S);
      Advance(S);
      if (S.Token.Kind != TTokenKind::tkIdentifier) {
        S.Deferring = false;
        if (S.TokenHook)
          S.TokenHook(); // the same token, now to be written
      }
    }
    // Every step must read; one that did not would repeat for ever.
    if (S.TokensRead == Before && !S.AtEnd) {
      if (S.Deferring)
        QueueCurrent(S);
      Advance(S);
    }
  }
}

int WriteUnitListing(TRunState &S, TListingSink &Sink, int Index) {
  ListUnit(S, Sink, Index);
  return 0;
}

TConditionals SaveConditionals(const TRunState &S) {
  return {S.Defines.Names(), S.Skipping};
}

void LoadConditionals(TRunState &S, const TConditionals &C) {
  S.Defines.Assign(C.Defines);
  S.Skipping = C.Skipping;
}

void CollectAnchors(TRunState &S, TListingSink &Sink) {
  const TConditionals Before = SaveConditionals(S);
  Sink.Anchors.Clear();
  TSuspendedHook NoHook(S);
  Sink.Collecting = true;
  try {
    for (int I = 0; I < static_cast<int>(S.Symbols.Units.size()); ++I)
      CollectUnitAnchors(S, Sink, I);
  } catch (...) {
    Sink.Collecting = false;
    throw;
  }
  Sink.Collecting = false;
  Sink.CheckLinks = true;
  LoadConditionals(S, Before);
}

int GenerateListings(TRunState &S, TListingSink &Sink, TRunReporter &Reporter) {
  Reporter.ReportStatus("Generating RTF and HTML ...");
  const int Count = static_cast<int>(S.Symbols.Units.size());
  CollectAnchors(S, Sink);
  Sink.Index.Clear();
  Reporter.ReportProgress(Count, 0);
  for (int I = 0; I < Count; ++I) {
    WriteUnitListing(S, Sink, I);
    Reporter.ReportProgress(Count, I + 1);
  }
  return 0;
}

} // namespace codeweft
