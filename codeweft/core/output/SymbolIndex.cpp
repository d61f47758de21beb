#include "codeweft/core/output/SymbolIndex.h"

#include <unordered_map>
#include <unordered_set>

#include "codeweft/core/FileNames.h"
#include "codeweft/core/output/ListingWriter.h"
#include "codeweft/core/symbols/Overloads.h"

namespace codeweft {

namespace {

constexpr const char *IndexStyle =
    "body{background:#00007F;color:#FFFF00;font-family:sans-serif}"
    "a{color:#FFFF00}"
    "input{font-size:1.1em;width:20em;max-width:90%;margin-bottom:1em}"
    "table{border-collapse:collapse}"
    "th{text-align:left;color:#FFFFFF;border-bottom:1px solid #7F7F7F}"
    "td,th{padding:2px 12px 2px 0;vertical-align:top}"
    "td.k{color:#C0C0C0}"
    "summary{cursor:pointer;color:#C0C0C0}"
    "details ul{margin:2px 0;padding-left:1.5em}";

// Filters the rows by what the search box holds (every word must occur in
// the row's name, kind or unit), and opens the "called from" list that the
// address names. An address "?q=words" starts with those words in the box,
// so that a filtered list can be linked to.
constexpr const char *IndexScript =
    "(function(){"
    "var q=document.getElementById('q'),"
    "rows=document.getElementById('symbols').tBodies[0].rows,"
    "n=document.getElementById('n');"
    "function filter(){"
    "var w=q.value.toLowerCase().split(/\\s+/).filter(function(x){return x;}),c=0;"
    "for(var i=0;i<rows.length;i++){"
    "var k=rows[i].getAttribute('data-k'),ok=true;"
    "for(var j=0;j<w.length&&ok;j++)ok=k.indexOf(w[j])>=0;"
    "rows[i].style.display=ok?'':'none';if(ok)c++;}"
    "n.textContent=c+' of '+rows.length;}"
    "function open(){"
    "var d=location.hash&&document.getElementById(location.hash.slice(1));"
    "if(d&&d.tagName==='DETAILS'){d.open=true;d.scrollIntoView();}}"
    "var m=/[?&]q=([^&]*)/.exec(location.search);"
    "if(m)q.value=decodeURIComponent(m[1].replace(/\\+/g,' '));"
    "q.addEventListener('input',filter);"
    "window.addEventListener('hashchange',open);"
    "filter();open();"
    "})();";

// A routine or method kind: it has an implementation to link to.
bool IsRoutine(TRefKind Kind) {
  return Kind == TRefKind::rkFunction || Kind == TRefKind::rkProcedure ||
         Kind == TRefKind::rkConstructor || Kind == TRefKind::rkDestructor;
}

std::string KindText(TRefKind Kind) {
  std::string Text;
  KindName(Kind, Text);
  return Text;
}

void AddCell(std::string &Out, const std::string &Html, const char *Class = nullptr) {
  Out += Class ? std::string("<td class=\"") + Class + "\">" : std::string("<td>");
  Out += Html;
  Out += "</td>";
}

std::string Link(const std::string &Href, const std::string &Caption) {
  return "<a href=\"" + Href + "\">" + HtmlPageText(Caption) + "</a>";
}

std::string CallersList(const std::string &Id, const std::vector<TCallSite> &Sites) {
  std::string Out = "<details id=\"" + Id + "\"><summary>called from " +
                    std::to_string(Sites.size()) + (Sites.size() == 1 ? " place" : " places") +
                    "</summary><ul>";
  for (const TCallSite &Site : Sites)
    Out += "<li>" +
           Link(FileHref(Site.Page) + "#L" + std::to_string(Site.Line),
                Site.Unit + ", line " + std::to_string(Site.Line)) +
           "</li>";
  Out += "</ul></details>";
  return Out;
}

}  // namespace

void AddIndexRows(TIndexData &Data, const TURElm &Unit, const std::string &Page,
                  const std::vector<std::pair<std::string, int>> &Names,
                  const std::function<bool(const std::string &)> &HasAnchor) {
  // Every line a name appears on in the interface, in order.
  std::unordered_map<std::string, std::vector<int>> Lines;
  for (const auto &[Name, Line] : Names) {
    std::vector<int> &At = Lines[LowerCase(Name)];
    if (At.empty() || At.back() != Line) At.push_back(Line);
  }
  // The Nth line from From on where Name appears: overload N of a routine
  // is declared on it, the first one on the first.
  const auto FirstLine = [&Lines](const std::string &Name, int From, int N = 1) {
    const auto It = Lines.find(LowerCase(Name));
    if (It == Lines.end()) return 0;
    for (const int Line : It->second)
      if (Line >= From && --N <= 0) return Line;
    return 0;
  };
  const auto Add = [&](std::string Name, std::string Kind, int Line, std::string Anchor) {
    if (!Anchor.empty() && !HasAnchor(Anchor)) Anchor.clear();
    Data.Rows.push_back({std::move(Name), std::move(Kind), Unit.Name, Page, Line, Anchor});
  };

  Add(Unit.Name, "Unit", 0, {});
  const auto IsClass = [&Unit](const TRefElm &Ident) {
    return Ident.Kind == TRefKind::rkClass && FindFirst(Unit.Classes, Ident.Name) >= 0;
  };
  for (const TRefElm &Ident : Unit.Idents)
    if (!IsClass(Ident))  // a class has its own row, with its members after it
      Add(Ident.Name, KindText(Ident.Kind), FirstLine(Ident.Name, 0, Ident.Overload),
          IsRoutine(Ident.Kind) ? Unit.Name + "_" + Ident.Name + OverloadSuffix(Ident.Overload)
                                : std::string());
  for (const TCRElm &Class : Unit.Classes) {
    const int ClassLine = FirstLine(Class.Name, 0);
    Add(Class.Name, "Class/Object", ClassLine, {});
    for (const TRefElm &Member : Class.Members)
      Add(Class.Name + "." + Member.Name, KindText(Member.Kind),
          FirstLine(Member.Name, ClassLine, Member.Overload),
          IsRoutine(Member.Kind)
              ? Unit.Name + "_" + Class.Name + "_" + Member.Name + OverloadSuffix(Member.Overload)
              : std::string());
  }
}

std::string SymbolIndexText(const TIndexData &Data, const std::string &ProjectName) {
  std::string Out;
  Out.reserve(160 * (Data.Rows.size() + Data.Anchors.size()) + 4096); // one allocation
  Out +=
      "<!DOCTYPE html>\r\n<html><head><meta charset=\"UTF-8\">"
      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
      "<title>Symbol index: ";
  Out += HtmlPageText(ProjectName);
  Out += "</title><style>";
  Out += IndexStyle;
  Out +=
      "</style></head>\r\n<body>\r\n<h3>Symbol index</h3>\r\n"
      "<p><input id=\"q\" type=\"search\" placeholder=\"Filter by name, kind or unit\" "
      "aria-label=\"Filter\" autofocus> <span id=\"n\"></span></p>\r\n"
      "<table id=\"symbols\"><thead><tr><th>Name</th><th>Kind</th><th>Unit</th>"
      "<th>Declaration</th><th>Implementation</th></tr></thead><tbody>\r\n";

  std::unordered_set<std::string> Listed;  // CallersIds that have a row
  const auto Row = [&](const std::string &Name, const std::string &Kind, const std::string &Unit,
                       const std::string &Page, int DeclLine, const std::string &Anchor) {
    Out += "<tr data-k=\"";
    Out += HtmlPageText(LowerCase(Name + " " + Kind + " " + Unit));
    Out += "\">";
    AddCell(Out, HtmlPageText(Name));
    AddCell(Out, HtmlPageText(Kind), "k");
    AddCell(Out, Link(FileHref(Page), Unit));
    AddCell(Out, DeclLine > 0 ? Link(FileHref(Page) + "#L" + std::to_string(DeclLine),
                                     "line " + std::to_string(DeclLine))
                              : std::string());
    std::string Impl;
    if (!Anchor.empty()) {
      Impl = Link(PageHref(UrlEscaped(Page) + "#" + Anchor), "implementation");
      const std::string Id = CallersId(Page, Anchor);
      if (Listed.insert(Id).second) {
        const auto It = Data.Callers.find(Id);
        Impl += CallersList(Id, It == Data.Callers.end() ? std::vector<TCallSite>{} : It->second);
      }
    }
    AddCell(Out, Impl);
    Out += "</tr>\r\n";
  };
  for (const TIndexRow &R : Data.Rows) Row(R.Name, R.Kind, R.Unit, R.Page, R.DeclLine, R.Anchor);
  // Routines the interface does not declare (and so the symbol table does
  // not hold) still have their implementation and callers.
  for (const auto &[Page, UnitAndAnchor] : Data.Anchors) {
    const auto &[Unit, Anchor] = UnitAndAnchor;
    if (Listed.count(CallersId(Page, Anchor))) continue;
    const std::string Shown =
        Anchor.size() > Unit.size() + 1 && SameText(Anchor.substr(0, Unit.size() + 1), Unit + "_")
            ? Anchor.substr(Unit.size() + 1)
            : Anchor;
    Row(Shown, "Routine", Unit, Page, 0, Anchor);
  }
  Out += "</tbody></table>\r\n<script>";
  Out += IndexScript;
  Out += "</script>\r\n</body></html>\r\n";
  return Out;
}

}  // namespace codeweft
