#include "codeweft/core/output/SymbolIndex.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <unordered_set>

#include "codeweft/core/FileNames.h"
#include "codeweft/core/output/OutputFile.h"
#include "codeweft/core/symbols/Overloads.h"

namespace codeweft {

namespace {

// The kind of a row is a short class on the row ("k4"); the style sheet
// shows its name in the kind column and the script filters by it, so each
// of the many rows carries two bytes instead of the name. Codes 0..9 are the
// symbol table's kinds; "u" marks a unit, "r" a routine the interface does
// not declare.
constexpr const char *IndexStyle =
    "body{background:#00007F;color:#FFFF00;font-family:sans-serif}"
    "a{color:#FFFF00}"
    "input{font-size:1.1em;width:20em;max-width:90%;margin-bottom:1em}"
    "table{border-collapse:collapse}"
    "th{text-align:left;color:#FFFFFF;border-bottom:1px solid #7F7F7F}"
    "td,th{padding:2px 12px 2px 0;vertical-align:top}"
    "td:nth-child(2){color:#C0C0C0}"
    "td:nth-child(4) a::before{content:\"line \"}"
    ".k0>td:nth-child(2)::before{content:\"Variable\"}"
    ".k1>td:nth-child(2)::before{content:\"Constant\"}"
    ".k2>td:nth-child(2)::before{content:\"Class/Object\"}"
    ".k3>td:nth-child(2)::before{content:\"Function\"}"
    ".k4>td:nth-child(2)::before{content:\"Procedure\"}"
    ".k5>td:nth-child(2)::before{content:\"Type\"}"
    ".k6>td:nth-child(2)::before{content:\"Label\"}"
    ".k7>td:nth-child(2)::before{content:\"Constructor\"}"
    ".k8>td:nth-child(2)::before{content:\"Destructor\"}"
    ".k9>td:nth-child(2)::before{content:\"Record\"}"
    ".ku>td:nth-child(2)::before{content:\"Unit\"}"
    ".kr>td:nth-child(2)::before{content:\"Routine\"}"
    "summary{cursor:pointer;color:#C0C0C0}"
    "details ul{margin:2px 0;padding-left:1.5em}";

// Filters the rows by what the search box holds (every word must occur in
// the row's name, kind or unit), and opens the "called from" list that the
// address names. An address "?q=words" starts with those words in the box,
// so that a filtered list can be linked to. The text each row is matched
// against is made once, on the first filtering.
constexpr const char *IndexScript =
    "(function(){"
    "var q=document.getElementById('q'),"
    "rows=document.getElementById('symbols').tBodies[0].rows,"
    "n=document.getElementById('n'),keys=null,"
    "kinds={k0:'variable',k1:'constant',k2:'class/object',k3:'function',k4:'procedure',"
    "k5:'type',k6:'label',k7:'constructor',k8:'destructor',k9:'record',ku:'unit',"
    "kr:'routine'};"
    "function key(r){var c=r.cells;"
    "return (c[0].textContent+' '+(kinds[r.className]||'')+' '+c[2].textContent)"
    ".toLowerCase();}"
    "function filter(){"
    "var w=q.value.toLowerCase().split(/\\s+/).filter(function(x){return x;}),c=0;"
    "if(!keys&&w.length){keys=[];for(var i=0;i<rows.length;i++)keys.push(key(rows[i]));}"
    "for(var i=0;i<rows.length;i++){"
    "var ok=true;"
    "for(var j=0;j<w.length&&ok;j++)ok=keys[i].indexOf(w[j])>=0;"
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

bool IsRoutineKind(TRefKind Kind) {
  return Kind == TRefKind::rkFunction || Kind == TRefKind::rkProcedure ||
         Kind == TRefKind::rkConstructor || Kind == TRefKind::rkDestructor;
}

// A class has its own row among the classes, with its members after it.
bool IsIdentRow(const TURElm &Unit, const TRefElm &Ident) {
  return Ident.Kind != TRefKind::rkClass || FindSorted(Unit.Classes, Ident.Name) < 0;
}

// Bytes that page text cannot take as they are: entities, control bytes and
// bytes from 0x7F (checked and transcoded by HtmlPageText).
struct TTextMarks {
  bool Of[256] = {};
  constexpr TTextMarks() {
    for (const unsigned char C : {'&', '<', '>', '"'}) Of[C] = true;
    for (int C = 0; C < 0x20; ++C) Of[C] = true;
    for (int C = 0x7F; C < 0x100; ++C) Of[C] = true;
  }
};
constexpr TTextMarks TextMarks;

// The bytes of a row, gathered on the stack and appended to the page's
// buffer in one piece (rows are many and short; their pieces are shorter).
class TRowText {
 public:
  explicit TRowText(std::string &Out) : FOut(Out) {}
  TRowText(const TRowText &) = delete;
  TRowText &operator=(const TRowText &) = delete;
  ~TRowText() { Flush(); }

  TRowText &operator+=(std::string_view S) {
    if (FSize + S.size() > sizeof FText) {
      Flush();
      if (S.size() > sizeof FText) {
        FOut.append(S);
        return *this;
      }
    }
    std::memcpy(FText + FSize, S.data(), S.size());
    FSize += S.size();
    return *this;
  }
  TRowText &operator+=(char C) { return *this += std::string_view(&C, 1); }

  void Number(long long N) {
    char Digits[24];
    const auto End = std::to_chars(Digits, Digits + sizeof Digits, N);
    *this += std::string_view(Digits, static_cast<std::size_t>(End.ptr - Digits));
  }

  // Page text: almost every name needs no escaping, and goes as it is.
  void Text(std::string_view S) {
    for (const char C : S)
      if (TextMarks.Of[static_cast<unsigned char>(C)]) {
        *this += HtmlPageText(S);
        return;
      }
    *this += S;
  }

  // A link fragment as PageHref writes it: lower case, URL- and HTML-escaped.
  // Anchors are made of identifiers, "_" and the "." of an overload's number,
  // which need nothing but the case.
  void Fragment(std::string_view Anchor) {
    for (const char C : Anchor)
      if (!((C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z') || (C >= '0' && C <= '9') ||
            C == '_' || C == '.')) {
        *this += std::string_view(PageHref("#" + std::string(Anchor))).substr(1);
        return;
      }
    for (const char C : Anchor)
      *this += static_cast<char>(LowerChar(static_cast<unsigned char>(C)));
  }

  void Flush() {
    FOut.append(FText, FSize);
    FSize = 0;
  }

 private:
  std::string &FOut;
  char FText[512];
  std::size_t FSize = 0;
};

// Writes the rows into the file's buffer, handing it over as it fills.
class TIndexWriter {
 public:
  TIndexWriter(TOutputFile &File, const TIndexData &Data, const TSymbolTable &Symbols)
      : FFile(File), FOut(File.Buffer()), FData(Data), FSymbols(Symbols) {
    for (const std::string &Page : Data.Pages) FHrefs.push_back(FileHref(Page));
    for (const TIndexData::TAnchor &A : Data.Anchors)
      FPlaced.push_back(CallersKey(Data.Pages[static_cast<std::size_t>(A.Page)], A.Name));
    std::sort(FPlaced.begin(), FPlaced.end());
  }

  void UnitRows(const TIndexData::TUnitRows &Rows) {
    const TURElm &Unit = FSymbols.Units.at(static_cast<std::size_t>(Rows.Unit));
    const std::string &Page = FData.Pages[static_cast<std::size_t>(Rows.Page)];
    Row("u", Unit.Name, {}, Rows, 0, false);
    std::size_t I = 0;
    const auto Line = [&Rows, &I] { return I < Rows.Lines.size() ? Rows.Lines[I++] : 0; };
    // A routine links to its implementation when its anchor is on the page.
    const auto Placed = [&](std::string_view Class, const TRefElm &Routine) {
      if (!IsRoutineKind(Routine.Kind)) return false;
      FAnchor.assign(Unit.Name);
      FAnchor += '_';
      if (!Class.empty()) FAnchor.append(Class).append("_");
      FAnchor += Routine.Name;
      FAnchor += OverloadSuffix(Routine.Overload);
      return std::binary_search(FPlaced.begin(), FPlaced.end(), CallersKey(Page, FAnchor));
    };
    for (const TRefElm &Ident : Unit.Idents)
      if (IsIdentRow(Unit, Ident)) {
        const int At = Line();
        Row(KindCode(Ident.Kind), Ident.Name, {}, Rows, At, Placed({}, Ident));
      }
    for (const TCRElm &Class : Unit.Classes) {
      Row(KindCode(TRefKind::rkClass), Class.Name, {}, Rows, Line(), false);
      for (const TRefElm &Member : Class.Members) {
        const int At = Line();
        Row(KindCode(Member.Kind), Class.Name, Member.Name, Rows, At, Placed(Class.Name, Member));
      }
    }
  }

  // Routines the interface does not declare (and so the symbol table does
  // not hold) still have their implementation and callers.
  void AnchorRows() {
    for (const TIndexData::TAnchor &A : FData.Anchors) {
      if (FListed.count(CallersKey(FData.Pages[static_cast<std::size_t>(A.Page)], A.Name)))
        continue;
      const std::string &Unit = FSymbols.Units.at(static_cast<std::size_t>(A.Unit)).Name;
      std::string_view Shown = A.Name;
      if (Shown.size() > Unit.size() + 1 && Shown[Unit.size()] == '_' &&
          SameText(Shown.substr(0, Unit.size()), Unit))
        Shown.remove_prefix(Unit.size() + 1);
      TIndexData::TUnitRows Where;
      Where.Unit = A.Unit;
      Where.Page = A.Page;
      FAnchor = A.Name;
      Row("r", Shown, {}, Where, 0, true);
    }
  }

 private:
  static const char *KindCode(TRefKind Kind) {
    static const char *const Codes[] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
    const auto K = static_cast<std::size_t>(Kind);
    return K < std::size(Codes) ? Codes[K] : "0";
  }

  // <tr class=kK><td>Name<td><td><a href="page">unit</a><td><a href="page#Ln">n</a><td>impl
  // (the implementation's anchor is FAnchor)
  void Row(const char *Kind, std::string_view Name, std::string_view Member,
           const TIndexData::TUnitRows &Rows, int Line, bool Implemented) {
    const std::string &Href = FHrefs[static_cast<std::size_t>(Rows.Page)];
    const std::string &Unit = FSymbols.Units.at(static_cast<std::size_t>(Rows.Unit)).Name;
    FOut += "<tr class=k";
    FOut += Kind;
    FOut += "><td>";
    FOut.Text(Name);
    if (!Member.empty()) {
      FOut += '.';
      FOut.Text(Member);
    }
    FOut += "<td><td><a href=\"";
    FOut += Href;
    FOut += "\">";
    FOut.Text(Unit);
    FOut += "</a><td>";
    if (Line > 0) {
      FOut += "<a href=\"";
      FOut += Href;
      FOut += "#L";
      FOut.Number(Line);
      FOut += "\">";
      FOut.Number(Line);
      FOut += "</a>";
    }
    FOut += "<td>";
    if (Implemented) Implementation(Rows, FAnchor);
    FOut += "\r\n";
    FOut.Flush();
    FFile.Commit();
  }

  void Implementation(const TIndexData::TUnitRows &Rows, const std::string &Anchor) {
    const std::string &Page = FData.Pages[static_cast<std::size_t>(Rows.Page)];
    FOut += "<a href=\"";
    FOut += FHrefs[static_cast<std::size_t>(Rows.Page)];
    FOut += '#';
    FOut.Fragment(Anchor);
    FOut += "\">implementation</a>";
    const std::uint64_t Key = CallersKey(Page, Anchor);
    if (!FListed.insert(Key).second) return;
    const auto It = FData.Callers.find(Key);
    const std::size_t Count = It == FData.Callers.end() ? 0 : It->second.size();
    FOut += "<details id=\"";
    FOut += CallersId(Page, Anchor);
    FOut += "\"><summary>called from ";
    FOut.Number(static_cast<long long>(Count));
    FOut += Count == 1 ? " place" : " places";
    FOut += "</summary><ul>";
    if (Count > 0)
      for (const TCallSite &Site : It->second) {
        FOut += "<li><a href=\"";
        FOut += FHrefs[static_cast<std::size_t>(Site.Page)];
        FOut += "#L";
        FOut.Number(Site.Line);
        FOut += "\">";
        FOut.Text(FSymbols.Units.at(static_cast<std::size_t>(Site.Unit)).Name);
        FOut += ", line ";
        FOut.Number(Site.Line);
        FOut += "</a>";
        FOut.Flush();
        FFile.Commit();
      }
    FOut += "</ul></details>";
  }

  TOutputFile &FFile;
  TRowText FOut;  // into the file's buffer
  const TIndexData &FData;
  const TSymbolTable &FSymbols;
  std::vector<std::string> FHrefs;            // per page: its link target
  std::unordered_set<std::uint64_t> FListed;  // CallersKeys that have a row
  std::vector<std::uint64_t> FPlaced;         // CallersKeys of the anchors placed, sorted
  std::string FAnchor;                        // the anchor of the row being written
};

}  // namespace

int TIndexData::PageId(const std::string &Page) {
  if (FLastPage >= 0 && Pages[static_cast<std::size_t>(FLastPage)] == Page) return FLastPage;
  const auto [It, Added] = FPageIds.emplace(Page, static_cast<int>(Pages.size()));
  if (Added) Pages.push_back(Page);
  FLastPage = It->second;
  return FLastPage;
}

void WantIndexNames(TNameLines &Names, const TURElm &Unit) {
  std::size_t Count = Unit.Idents.size() + Unit.Classes.size();
  for (const TCRElm &Class : Unit.Classes) Count += Class.Members.size();
  Names.Clear(Count);
  for (const TRefElm &Ident : Unit.Idents) Names.Want(Ident.Name);
  for (const TCRElm &Class : Unit.Classes) {
    Names.Want(Class.Name);
    for (const TRefElm &Member : Class.Members) Names.Want(Member.Name);
  }
}

void AddIndexRows(TIndexData &Data, const TSymbolTable &Symbols, int UnitIndex,
                  const std::string &Page, const TNameLines &Names) {
  const TURElm &Unit = Symbols.Units.at(static_cast<std::size_t>(UnitIndex));
  TIndexData::TUnitRows Rows;
  Rows.Unit = UnitIndex;
  Rows.Page = Data.PageId(Page);
  for (const TRefElm &Ident : Unit.Idents)
    if (IsIdentRow(Unit, Ident))
      Rows.Lines.push_back(Names.FirstLine(Ident.Name, 0, Ident.Overload));
  for (const TCRElm &Class : Unit.Classes) {
    const int ClassLine = Names.FirstLine(Class.Name);
    Rows.Lines.push_back(ClassLine);
    for (const TRefElm &Member : Class.Members)
      Rows.Lines.push_back(Names.FirstLine(Member.Name, ClassLine, Member.Overload));
  }
  Data.Units.push_back(std::move(Rows));
}

void WriteSymbolIndex(const std::string &Path, const TIndexData &Data, const TSymbolTable &Symbols,
                      const std::string &ProjectName) {
  TOutputFile File;
  File.Create(Path);
  std::string &Out = File.Buffer();
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
  TIndexWriter Writer(File, Data, Symbols);
  for (const TIndexData::TUnitRows &Rows : Data.Units) Writer.UnitRows(Rows);
  Writer.AnchorRows();
  Out += "</tbody></table>\r\n<script>";
  Out += IndexScript;
  Out += "</script>\r\n</body></html>\r\n";
  File.Close();
}

}  // namespace codeweft
