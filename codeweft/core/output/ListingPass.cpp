#include "codeweft/core/output/ListingPass.h"

#include "codeweft/core/lex/Keywords.h"
#include "codeweft/core/parse/Parser.h"
#include "codeweft/core/symbols/SymbolPass.h"
#include "codeweft/core/lex/TokenStream.h"

namespace codeweft {

void TAnchorIndex::Add(const std::string &page, std::string_view anchor) {
  FPages[page].insert(LowerCase(anchor));
}

bool TAnchorIndex::Has(const std::string &page, std::string_view anchor) const {
  const auto it = FPages.find(page);
  return it != FPages.end() && it->second.count(LowerCase(anchor)) != 0;
}

void TAnchorIndex::AddMoved(const std::string &page, std::string_view anchor,
                            const std::string &toPage) {
  FMoved[page].emplace(LowerCase(anchor), toPage);
}

const std::string *TAnchorIndex::MovedTo(const std::string &page, std::string_view anchor) const {
  const auto it = FMoved.find(page);
  if (it == FMoved.end()) return nullptr;
  const auto found = it->second.find(LowerCase(anchor));
  return found == it->second.end() ? nullptr : &found->second;
}

void EmitEntry(TListingSink &sink, const TDelayedToken &t) {
  TListingFiles *out = sink.Out();
  if (!out) return;
  // The page the token lands on: an include file's own page, or the unit's.
  const std::string &here =
      out != &sink.Files && !out->PageName.empty() ? out->PageName : sink.Page;
  if (t.Style == TTokenStyle::tsLink && sink.CheckLinks) {
    const std::size_t hash = t.Text.find('#');
    if (hash != std::string::npos) {
      const std::string_view href(t.Text);
      const std::string page = hash == 0 ? sink.Page : UrlUnescaped(href.substr(0, hash));
      const std::string_view anchor = href.substr(hash + 1);
      if (!sink.Anchors.Has(page, anchor)) {
        if (const std::string *moved = sink.Anchors.MovedTo(page, anchor))
          out->EmitToken(*moved + "#" + std::string(anchor), t.Caption, t.Topic, t.Style);
        else
          out->EmitToken(t.Caption, {}, {}, TTokenStyle::tsIdent);
        return;
      }
      // On an include file's page, the unit's own page is another page.
      if (hash == 0 && !sink.Includes.Out.empty()) {
        out->EmitToken(sink.Page + t.Text, t.Caption, t.Topic, t.Style);
        return;
      }
      // A link from an implementation part to a routine is a call of it.
      if (sink.InImplementation && sink.UnitIndex >= 0)
        sink.Index.Callers[CallersKey(page, anchor)].push_back(
            {sink.Index.PageId(here), sink.UnitIndex, out->Line()});
    }
  } else if (t.Style == TTokenStyle::tsAnchor && sink.UnitIndex >= 0) {
    sink.Index.Anchors.push_back({sink.Index.PageId(here), sink.UnitIndex, t.Topic});
  }
  out->EmitToken(t);
}

void TokenHook(TRunState &s, TListingSink &sink) {
  if (s.Phase == TPhase::phSymbols) return;
  // An include directive whose file has a page links to it.
  if (s.Source.Token.Kind == TTokenKind::tkDirective && !s.Source.PendingInclude.empty()) {
    const auto page = sink.Includes.PageOf.find(s.Source.PendingInclude);
    if (page != sink.Includes.PageOf.end()) {
      if (!s.Source.Deferring) FlushPending(s, sink);
      QueueToken(s, page->second + ".html", s.Source.Token.Text, "unit_" + page->second,
                 TTokenStyle::tsLink);
      if (!s.Source.Deferring) FlushPending(s, sink);
      return;
    }
  }
  if (s.Phase == TPhase::phImplementation && !sink.InImplementation) {
    sink.InImplementation = true;
    sink.Files.NameLog = nullptr;  // the interface's names are all logged
  }
  if (s.Source.Deferring) {
    if (IsTrivia(s.Source.Token.Kind) || s.Source.Conditionals.Skipping())
      QueueToken(s, s.Source.Token.Text, {}, {}, StyleOf(s.Source.Token.Kind));
    return;
  }
  FlushPending(s, sink);
  if (TListingFiles *out = sink.Out())
    out->EmitToken(s.Source.Token.Text, {}, {}, StyleOf(s.Source.Token.Kind));
}

namespace {

// Hands the rest of a scanner that stopped at a scanning error to Out as
// plain text, so that a listing never loses source.
void EmitRest(TScanner &scanner, TListingFiles *out) {
  // A piece that ends in CR may be split from its LF: hold the CR back so
  // that the RTF side still sees the line break as one.
  std::string text;
  while (scanner.TakeRest(text)) {
    const std::size_t keep = text.back() == '\r' ? 1 : 0;
    if (out && text.size() > keep)
      out->EmitToken(std::string_view(text).substr(0, text.size() - keep), {}, {},
                     TTokenStyle::tsRaw);
    text.erase(0, text.size() - keep);
  }
  if (out && !text.empty()) out->EmitToken(text, {}, {}, TTokenStyle::tsRaw);
}

}  // namespace

void IncludeHook(TRunState &s, TListingSink &sink, bool entering) {
  if (s.Phase == TPhase::phSymbols || s.Source.Includes.empty()) return;
  TIncludePages &pages = sink.Includes;
  // What is queued was read before this move, so it belongs where the
  // tokens went until now.
  FlushPending(s, sink);
  TScanner &scanner = *s.Source.Includes.back().Scanner;
  if (entering) {
    std::unique_ptr<TListingFiles> out;
    const auto page = pages.PageOf.find(scanner.FileName());
    if (page != pages.PageOf.end() && pages.Written.insert(page->first).second) {
      out = std::make_unique<TListingFiles>();
      out->CallersPage = sink.Files.CallersPage;
      out->PageName = page->second + ".html";
      out->OpenListing(s.Paths.BuildDir + page->second + ".html",
                       s.Paths.BuildDir + page->second + ".rtf", page->second,
                       SourceCharsetOf(scanner.FileName()));
    }
    pages.Out.push_back(std::move(out));
    return;
  }
  if (pages.Out.empty()) return;
  const int code = scanner.LastCode();
  if (code != scToken && code != scEnd) EmitRest(scanner, pages.Out.back().get());
  if (pages.Out.back()) pages.Out.back()->CloseListing();
  pages.Out.pop_back();
}

TTokenHookGuard::TTokenHookGuard(TRunState &state, TListingSink &sink) : FState(state) {
  FState.Source.TokenHook = [&state, &sink] { TokenHook(state, sink); };
  FState.Source.IncludeHook = [&state, &sink](bool entering) {
    IncludeHook(state, sink, entering);
  };
}

TTokenHookGuard::~TTokenHookGuard() {
  FState.Source.TokenHook = nullptr;
  FState.Source.IncludeHook = nullptr;
}

void FlushPending(TRunState &s, TListingSink &sink) {
  if (s.Source.PendingTokens.empty())
    return;
  for (const TDelayedToken &t : s.Source.PendingTokens)
    EmitEntry(sink, t);
  s.Source.PendingTokens.clear();
}

void FinishListedFile(TRunState &s, TListingSink &sink) {
  FlushPending(s, sink);
  const int code = s.Source.Scanner.LastCode();
  if (code != scToken && code != scEnd) EmitRest(s.Source.Scanner, &sink.Files);
  s.Source.Scanner.Close();
}

namespace {

// The page of include file file, named now if it has none yet.
const std::string &IncludePage(TIncludePages &pages, const std::string &file) {
  const auto known = pages.PageOf.find(file);
  if (known != pages.PageOf.end()) return known->second;
  const std::string base = PageName(ExtractFileName(file));
  std::string name = base;
  for (int n = 2; !pages.Taken.insert(LowerCase(name)).second; ++n)
    name = base + "~" + std::to_string(n);
  return pages.PageOf.emplace(file, name).first->second;
}

// The listing pass of one unit.
void ListUnit(TRunState &s, TListingSink &sink, int index) {
  const TURElm &unit = s.Symbols.Units.at(static_cast<std::size_t>(index));
  s.Phase = TPhase::phInterface;
  s.CurrentUnit = unit.Name;
  s.Parser->Restart();
  s.Source.Deferring = false;
  s.Source.PendingTokens.clear();
  s.Symbols.BuildFlatRefs({s.Symbols.UnitIndex(s.CurrentUnit)});

  const std::string page = UnitPage(unit);
  const std::string source = LocateSourceFile(unit.FileName);
  sink.Page = page + ".html";
  sink.Includes.Out.clear();
  sink.Unit = unit.Name;
  sink.UnitIndex = index;
  sink.InImplementation = false;
  WantIndexNames(sink.InterfaceNames, unit);
  sink.Files.NameLog = &sink.InterfaceNames;
  sink.Files.CallersPage = FileHref(std::string(SymbolIndexPage) + ".html");
  sink.Files.PageName = sink.Page;
  sink.Files.OpenListing(s.Paths.BuildDir + page + ".html", s.Paths.BuildDir + page + ".rtf",
                         s.CurrentUnit, SourceCharsetOf(source));
  OpenSource(s, source);
  Advance(s);
  s.Source.AtEnd = false;

  ListTokens(s, [&s, &sink] { FlushPending(s, sink); });

  FinishListedFile(s, sink);
  sink.Files.CloseListing();
  sink.Files.NameLog = nullptr;
  s.Symbols.FreeFlatRefs();
  AddIndexRows(sink.Index, s.Symbols, index, sink.Page, sink.InterfaceNames);
  sink.Unit.clear();
  sink.UnitIndex = -1;
}

} // namespace

void ListTokens(TRunState &s, const std::function<void()> &settled) {
  TParser &parser = *s.Parser;
  while (!s.Source.AtEnd) {
    if (settled && s.Source.PendingTokens.size() >= FlushAt) settled();
    const std::uint64_t before = s.Source.TokensRead;
    const TTokenKind kind = s.Source.Token.Kind;
    if (kind == TTokenKind::tkIdentifier)
      parser.IdentifierChain();
    else if (kind == Keyword("constructor"))
      parser.ConstructorHeading();
    else if (kind == Keyword("destructor"))
      parser.DestructorHeading();
    else if (kind == Keyword("function"))
      parser.FunctionHeading();
    else if (kind == Keyword("procedure"))
      parser.ProcedureHeading();
    else if (kind == Keyword("implementation")) {
      s.Phase = TPhase::phImplementation;
      Advance(s);
    } else if (kind == Keyword("interface"))
      parser.InterfaceSection();
    else if (kind == Keyword("unit"))
      parser.UnitHeading();
    else if (kind == Keyword("uses"))
      parser.UsesClause();
    else {
      // No rule claims the token: defer before reading past it, so that an
      // identifier after it reaches IdentifierChain with Deferring set.
      BeginDeferral(s);
      Advance(s);
      if (s.Source.Token.Kind != TTokenKind::tkIdentifier) {
        s.Source.Deferring = false;
        if (s.Source.TokenHook)
          s.Source.TokenHook(); // the same token, now to be written
      }
    }
    // Every step must read; one that did not would repeat for ever.
    if (s.Source.TokensRead == before && !s.Source.AtEnd) {
      if (s.Source.Deferring)
        QueueCurrent(s);
      Advance(s);
    }
  }
}

int WriteUnitListing(TRunState &s, TListingSink &sink, int index) {
  ListUnit(s, sink, index);
  return 0;
}

TSymbolPassEvents CollectingAnchors(TRunState &s, TListingSink &sink, TSymbolPassEvents events) {
  sink.Anchors.Clear();
  sink.Includes.Clear();
  for (const TURElm &u : s.Symbols.Units) sink.Includes.Taken.insert(LowerCase(PageName(u.Name)));
  sink.CheckLinks = true;
  // An anchor lies on the unit's page, or, for a routine read from an
  // include file, on that file's page, with the unit's page pointing there.
  // Only the first reading of an include file is written, so anchors found
  // in a later one are left out (links to them stay plain).
  events.Anchors = [&sink](const TURElm &unit, const std::vector<TAnchorPlace> &anchors) {
    const std::string page = UnitPage(unit) + ".html";
    sink.Anchors.ClearPage(page);
    for (const TAnchorPlace &a : anchors) {
      if (a.IncludeFile.empty()) {
        sink.Anchors.Add(page, a.Anchor);
      } else if (a.FirstReading) {
        const std::string include = IncludePage(sink.Includes, a.IncludeFile) + ".html";
        sink.Anchors.Add(include, a.Anchor);
        sink.Anchors.AddMoved(page, a.Anchor, include);
      }
    }
  };
  return events;
}

int GenerateListings(TRunState &s, TListingSink &sink, TRunReporter &reporter) {
  reporter.ReportStatus("Generating RTF and HTML ...");
  const int count = static_cast<int>(s.Symbols.Units.size());
  sink.Index.Clear();
  reporter.ReportProgress(count, 0);
  for (int i = 0; i < count; ++i) {
    WriteUnitListing(s, sink, i);
    reporter.ReportProgress(count, i + 1);
  }
  return 0;
}

} // namespace codeweft
