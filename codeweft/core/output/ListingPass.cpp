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

void TAnchorIndex::AddMoved(const std::string &Page, std::string_view Anchor,
                            const std::string &ToPage) {
  FMoved[Page].emplace(LowerCase(Anchor), ToPage);
}

const std::string *TAnchorIndex::MovedTo(const std::string &Page, std::string_view Anchor) const {
  const auto It = FMoved.find(Page);
  if (It == FMoved.end()) return nullptr;
  const auto Found = It->second.find(LowerCase(Anchor));
  return Found == It->second.end() ? nullptr : &Found->second;
}

void EmitEntry(TListingSink &Sink, const TDelayedToken &T) {
  TListingFiles *Out = Sink.Out();
  if (!Out) return;
  // The page the token lands on: an include file's own page, or the unit's.
  const std::string &Here = Out != &Sink.Files && !Out->PageName.empty() ? Out->PageName : Sink.Page;
  if (T.Style == TTokenStyle::tsLink && Sink.CheckLinks) {
    const std::size_t Hash = T.Text.find('#');
    if (Hash != std::string::npos) {
      const std::string_view Href(T.Text);
      const std::string Page = Hash == 0 ? Sink.Page : UrlUnescaped(Href.substr(0, Hash));
      const std::string_view Anchor = Href.substr(Hash + 1);
      if (!Sink.Anchors.Has(Page, Anchor)) {
        if (const std::string *Moved = Sink.Anchors.MovedTo(Page, Anchor))
          Out->EmitToken(*Moved + "#" + std::string(Anchor), T.Caption, T.Topic, T.Style);
        else
          Out->EmitToken(T.Caption, {}, {}, TTokenStyle::tsIdent);
        return;
      }
      // On an include file's page, the unit's own page is another page.
      if (Hash == 0 && !Sink.Includes.Out.empty()) {
        Out->EmitToken(Sink.Page + T.Text, T.Caption, T.Topic, T.Style);
        return;
      }
      // A link from an implementation part to a routine is a call of it.
      if (Sink.InImplementation && Sink.UnitIndex >= 0)
        Sink.Index.Callers[CallersKey(Page, Anchor)].push_back(
            {Sink.Index.PageId(Here), Sink.UnitIndex, Out->Line()});
    }
  } else if (T.Style == TTokenStyle::tsAnchor && Sink.UnitIndex >= 0) {
    Sink.Index.Anchors.push_back({Sink.Index.PageId(Here), Sink.UnitIndex, T.Topic});
  }
  Out->EmitToken(T);
}

void TokenHook(TRunState &S, TListingSink &Sink) {
  if (S.Phase == TPhase::phSymbols) return;
  // An include directive whose file has a page links to it.
  if (S.Token.Kind == TTokenKind::tkDirective && !S.PendingInclude.empty()) {
    const auto Page = Sink.Includes.PageOf.find(S.PendingInclude);
    if (Page != Sink.Includes.PageOf.end()) {
      if (!S.Deferring) FlushPending(S, Sink);
      QueueToken(S, Page->second + ".html", S.Token.Text, "unit_" + Page->second,
                 TTokenStyle::tsLink);
      if (!S.Deferring) FlushPending(S, Sink);
      return;
    }
  }
  if (S.Phase == TPhase::phImplementation && !Sink.InImplementation) {
    Sink.InImplementation = true;
    Sink.Files.NameLog = nullptr;  // the interface's names are all logged
  }
  if (S.Deferring) {
    if (IsTrivia(S.Token.Kind) || S.Conditionals.Skipping())
      QueueToken(S, S.Token.Text, {}, {}, StyleOf(S.Token.Kind));
    return;
  }
  FlushPending(S, Sink);
  if (TListingFiles *Out = Sink.Out()) Out->EmitToken(S.Token.Text, {}, {}, StyleOf(S.Token.Kind));
}

namespace {

// Hands the rest of a scanner that stopped at a scanning error to Out as
// plain text, so that a listing never loses source.
void EmitRest(TScanner &Scanner, TListingFiles *Out) {
  // A piece that ends in CR may be split from its LF: hold the CR back so
  // that the RTF side still sees the line break as one.
  std::string Text;
  while (Scanner.TakeRest(Text)) {
    const std::size_t Keep = Text.back() == '\r' ? 1 : 0;
    if (Out && Text.size() > Keep)
      Out->EmitToken(std::string_view(Text).substr(0, Text.size() - Keep), {}, {},
                     TTokenStyle::tsRaw);
    Text.erase(0, Text.size() - Keep);
  }
  if (Out && !Text.empty()) Out->EmitToken(Text, {}, {}, TTokenStyle::tsRaw);
}

}  // namespace

void IncludeHook(TRunState &S, TListingSink &Sink, bool Entering) {
  if (S.Phase == TPhase::phSymbols || S.Includes.empty()) return;
  TIncludePages &Pages = Sink.Includes;
  // What is queued was read before this move, so it belongs where the
  // tokens went until now.
  FlushPending(S, Sink);
  TScanner &Scanner = *S.Includes.back().Scanner;
  if (Entering) {
    std::unique_ptr<TListingFiles> Out;
    const auto Page = Pages.PageOf.find(Scanner.FileName());
    if (Page != Pages.PageOf.end() && Pages.Written.insert(Page->first).second) {
      Out = std::make_unique<TListingFiles>();
      Out->CallersPage = Sink.Files.CallersPage;
      Out->PageName = Page->second + ".html";
      Out->OpenListing(S.BuildDir + Page->second + ".html", S.BuildDir + Page->second + ".rtf",
                       Page->second, SourceCharsetOf(Scanner.FileName()));
    }
    Pages.Out.push_back(std::move(Out));
    return;
  }
  if (Pages.Out.empty()) return;
  const int Code = Scanner.LastCode();
  if (Code != scToken && Code != scEnd) EmitRest(Scanner, Pages.Out.back().get());
  if (Pages.Out.back()) Pages.Out.back()->CloseListing();
  Pages.Out.pop_back();
}

TTokenHookGuard::TTokenHookGuard(TRunState &State, TListingSink &Sink) : FState(State) {
  FState.TokenHook = [&State, &Sink] { TokenHook(State, Sink); };
  FState.IncludeHook = [&State, &Sink](bool Entering) { IncludeHook(State, Sink, Entering); };
}

TTokenHookGuard::~TTokenHookGuard() {
  FState.TokenHook = nullptr;
  FState.IncludeHook = nullptr;
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
  if (Code != scToken && Code != scEnd) EmitRest(S.Scanner, &Sink.Files);
  S.Scanner.Close();
}

namespace {

// The page of include file File, named now if it has none yet.
const std::string &IncludePage(TIncludePages &Pages, const std::string &File) {
  const auto Known = Pages.PageOf.find(File);
  if (Known != Pages.PageOf.end()) return Known->second;
  const std::string Base = PageName(ExtractFileName(File));
  std::string Name = Base;
  for (int N = 2; !Pages.Taken.insert(LowerCase(Name)).second; ++N)
    Name = Base + "~" + std::to_string(N);
  return Pages.PageOf.emplace(File, Name).first->second;
}

// The listing pass of one unit.
void ListUnit(TRunState &S, TListingSink &Sink, int Index) {
  const TURElm &Unit = S.Symbols.Units.at(static_cast<std::size_t>(Index));
  S.Phase = TPhase::phInterface;
  S.CurrentUnit = Unit.Name;
  S.Parser->Restart();
  S.Deferring = false;
  S.PendingTokens.clear();
  S.Symbols.BuildFlatRefs({S.Symbols.UnitIndex(S.CurrentUnit)});

  const std::string Page = UnitPage(Unit);
  const std::string Source = LocateSourceFile(Unit.FileName);
  Sink.Page = Page + ".html";
  Sink.Includes.Out.clear();
  Sink.Unit = Unit.Name;
  Sink.UnitIndex = Index;
  Sink.InImplementation = false;
  WantIndexNames(Sink.InterfaceNames, Unit);
  Sink.Files.NameLog = &Sink.InterfaceNames;
  Sink.Files.CallersPage = FileHref(std::string(SymbolIndexPage) + ".html");
  Sink.Files.PageName = Sink.Page;
  Sink.Files.OpenListing(S.BuildDir + Page + ".html", S.BuildDir + Page + ".rtf", S.CurrentUnit,
                         SourceCharsetOf(Source));
  OpenSource(S, Source);
  Advance(S);
  S.AtEnd = false;

  ListTokens(S, [&S, &Sink] { FlushPending(S, Sink); });

  FinishListedFile(S, Sink);
  Sink.Files.CloseListing();
  Sink.Files.NameLog = nullptr;
  S.Symbols.FreeFlatRefs();
  AddIndexRows(Sink.Index, S.Symbols, Index, Sink.Page, Sink.InterfaceNames);
  Sink.Unit.clear();
  Sink.UnitIndex = -1;
}

} // namespace

void ListTokens(TRunState &S, const std::function<void()> &Settled) {
  TParser &Parser = *S.Parser;
  while (!S.AtEnd) {
    if (Settled && S.PendingTokens.size() >= FlushAt) Settled();
    const std::uint64_t Before = S.TokensRead;
    const TTokenKind Kind = S.Token.Kind;
    if (Kind == TTokenKind::tkIdentifier)
      Parser.IdentifierChain();
    else if (Kind == Keyword("constructor"))
      Parser.ConstructorHeading();
    else if (Kind == Keyword("destructor"))
      Parser.DestructorHeading();
    else if (Kind == Keyword("function"))
      Parser.FunctionHeading();
    else if (Kind == Keyword("procedure"))
      Parser.ProcedureHeading();
    else if (Kind == Keyword("implementation")) {
      S.Phase = TPhase::phImplementation;
      Advance(S);
    } else if (Kind == Keyword("interface"))
      Parser.InterfaceSection();
    else if (Kind == Keyword("unit"))
      Parser.UnitHeading();
    else if (Kind == Keyword("uses"))
      Parser.UsesClause();
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

TSymbolPassEvents CollectingAnchors(TRunState &S, TListingSink &Sink, TSymbolPassEvents Events) {
  Sink.Anchors.Clear();
  Sink.Includes.Clear();
  for (const TURElm &U : S.Symbols.Units) Sink.Includes.Taken.insert(LowerCase(PageName(U.Name)));
  Sink.CheckLinks = true;
  // An anchor lies on the unit's page, or, for a routine read from an
  // include file, on that file's page, with the unit's page pointing there.
  // Only the first reading of an include file is written, so anchors found
  // in a later one are left out (links to them stay plain).
  Events.Anchors = [&Sink](const TURElm &Unit, const std::vector<TAnchorPlace> &Anchors) {
    const std::string Page = UnitPage(Unit) + ".html";
    Sink.Anchors.ClearPage(Page);
    for (const TAnchorPlace &A : Anchors) {
      if (A.IncludeFile.empty()) {
        Sink.Anchors.Add(Page, A.Anchor);
      } else if (A.FirstReading) {
        const std::string Include = IncludePage(Sink.Includes, A.IncludeFile) + ".html";
        Sink.Anchors.Add(Include, A.Anchor);
        Sink.Anchors.AddMoved(Page, A.Anchor, Include);
      }
    }
  };
  return Events;
}

int GenerateListings(TRunState &S, TListingSink &Sink, TRunReporter &Reporter) {
  Reporter.ReportStatus("Generating RTF and HTML ...");
  const int Count = static_cast<int>(S.Symbols.Units.size());
  Sink.Index.Clear();
  Reporter.ReportProgress(Count, 0);
  for (int I = 0; I < Count; ++I) {
    WriteUnitListing(S, Sink, I);
    Reporter.ReportProgress(Count, I + 1);
  }
  return 0;
}

} // namespace codeweft
