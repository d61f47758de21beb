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

bool IsRoutineKind(TRefKind kind) {
  return kind == TRefKind::rkFunction || kind == TRefKind::rkProcedure ||
         kind == TRefKind::rkConstructor || kind == TRefKind::rkDestructor;
}

// A class has its own row among the classes, with its members after it.
bool IsIdentRow(const TURElm &unit, const TRefElm &ident) {
  return ident.Kind != TRefKind::rkClass || FindSorted(unit.Classes, ident.Name) < 0;
}

// Bytes that page text cannot take as they are: entities, control bytes and
// bytes from 0x7F (checked and transcoded by HtmlPageText).
struct TTextMarks {
  bool Of[256] = {};
  constexpr TTextMarks() {
    for (const unsigned char c : {'&', '<', '>', '"'}) Of[c] = true;
    for (int c = 0; c < 0x20; ++c) Of[c] = true;
    for (int c = 0x7F; c < 0x100; ++c) Of[c] = true;
  }
};
constexpr TTextMarks TextMarks;

// The bytes of a row, gathered on the stack and appended to the page's
// buffer in one piece (rows are many and short; their pieces are shorter).
class TRowText {
 public:
  explicit TRowText(std::string &out) : FOut(out) {}
  TRowText(const TRowText &) = delete;
  TRowText &operator=(const TRowText &) = delete;
  ~TRowText() { Flush(); }

  TRowText &operator+=(std::string_view s) {
    if (FSize + s.size() > sizeof FText) {
      Flush();
      if (s.size() > sizeof FText) {
        FOut.append(s);
        return *this;
      }
    }
    std::memcpy(FText + FSize, s.data(), s.size());
    FSize += s.size();
    return *this;
  }
  TRowText &operator+=(char c) { return *this += std::string_view(&c, 1); }

  void Number(long long n) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, n);
    *this += std::string_view(digits, static_cast<std::size_t>(end.ptr - digits));
  }

  // Page text: almost every name needs no escaping, and goes as it is.
  void Text(std::string_view s) {
    for (const char c : s)
      if (TextMarks.Of[static_cast<unsigned char>(c)]) {
        *this += HtmlPageText(s);
        return;
      }
    *this += s;
  }

  // A link fragment as PageHref writes it: lower case, URL- and HTML-escaped.
  // Anchors are made of identifiers, "_" and the "." of an overload's number,
  // which need nothing but the case.
  void Fragment(std::string_view anchor) {
    for (const char c : anchor)
      if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
            c == '_' || c == '.')) {
        *this += std::string_view(PageHref("#" + std::string(anchor))).substr(1);
        return;
      }
    for (const char c : anchor)
      *this += static_cast<char>(LowerChar(static_cast<unsigned char>(c)));
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
  TIndexWriter(TOutputFile &file, const TIndexData &data, const TSymbolTable &symbols)
      : FFile(file), FOut(file.Buffer()), FData(data), FSymbols(symbols) {
    for (const std::string &page : data.Pages) FHrefs.push_back(FileHref(page));
    for (const TIndexData::TAnchor &a : data.Anchors)
      FPlaced.push_back(CallersKey(data.Pages[static_cast<std::size_t>(a.Page)], a.Name));
    std::sort(FPlaced.begin(), FPlaced.end());
  }

  void UnitRows(const TIndexData::TUnitRows &rows) {
    const TURElm &unit = FSymbols.Units.at(static_cast<std::size_t>(rows.Unit));
    const std::string &page = FData.Pages[static_cast<std::size_t>(rows.Page)];
    Row("u", unit.Name, {}, rows, 0, false);
    std::size_t i = 0;
    const auto line = [&rows, &i] { return i < rows.Lines.size() ? rows.Lines[i++] : 0; };
    // A routine links to its implementation when its anchor is on the page.
    const auto placed = [&](std::string_view className, const TRefElm &routine) {
      if (!IsRoutineKind(routine.Kind)) return false;
      FAnchor.assign(unit.Name);
      FAnchor += '_';
      if (!className.empty()) FAnchor.append(className).append("_");
      FAnchor += routine.Name;
      FAnchor += OverloadSuffix(routine.Overload);
      return std::binary_search(FPlaced.begin(), FPlaced.end(), CallersKey(page, FAnchor));
    };
    for (const TRefElm &ident : unit.Idents)
      if (IsIdentRow(unit, ident)) {
        const int at = line();
        Row(KindCode(ident.Kind), ident.Name, {}, rows, at, placed({}, ident));
      }
    for (const TCRElm &cls : unit.Classes) {
      Row(KindCode(TRefKind::rkClass), cls.Name, {}, rows, line(), false);
      for (const TRefElm &member : cls.Members) {
        const int at = line();
        Row(KindCode(member.Kind), cls.Name, member.Name, rows, at, placed(cls.Name, member));
      }
    }
  }

  // Routines the interface does not declare (and so the symbol table does
  // not hold) still have their implementation and callers.
  void AnchorRows() {
    for (const TIndexData::TAnchor &a : FData.Anchors) {
      if (FListed.count(CallersKey(FData.Pages[static_cast<std::size_t>(a.Page)], a.Name)))
        continue;
      const std::string &unit = FSymbols.Units.at(static_cast<std::size_t>(a.Unit)).Name;
      std::string_view shown = a.Name;
      if (shown.size() > unit.size() + 1 && shown[unit.size()] == '_' &&
          SameText(shown.substr(0, unit.size()), unit))
        shown.remove_prefix(unit.size() + 1);
      TIndexData::TUnitRows where;
      where.Unit = a.Unit;
      where.Page = a.Page;
      FAnchor = a.Name;
      Row("r", shown, {}, where, 0, true);
    }
  }

 private:
  static const char *KindCode(TRefKind kind) {
    static const char *const codes[] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
    const auto k = static_cast<std::size_t>(kind);
    return k < std::size(codes) ? codes[k] : "0";
  }

  // <tr class=kK><td>Name<td><td><a href="page">unit</a><td><a href="page#Ln">n</a><td>impl
  // (the implementation's anchor is FAnchor)
  void Row(const char *kind, std::string_view name, std::string_view member,
           const TIndexData::TUnitRows &rows, int line, bool implemented) {
    const std::string &href = FHrefs[static_cast<std::size_t>(rows.Page)];
    const std::string &unit = FSymbols.Units.at(static_cast<std::size_t>(rows.Unit)).Name;
    FOut += "<tr class=k";
    FOut += kind;
    FOut += "><td>";
    FOut.Text(name);
    if (!member.empty()) {
      FOut += '.';
      FOut.Text(member);
    }
    FOut += "<td><td><a href=\"";
    FOut += href;
    FOut += "\">";
    FOut.Text(unit);
    FOut += "</a><td>";
    if (line > 0) {
      FOut += "<a href=\"";
      FOut += href;
      FOut += "#L";
      FOut.Number(line);
      FOut += "\">";
      FOut.Number(line);
      FOut += "</a>";
    }
    FOut += "<td>";
    if (implemented) Implementation(rows, FAnchor);
    FOut += "\r\n";
    FOut.Flush();
    FFile.Commit();
  }

  void Implementation(const TIndexData::TUnitRows &rows, const std::string &anchor) {
    const std::string &page = FData.Pages[static_cast<std::size_t>(rows.Page)];
    FOut += "<a href=\"";
    FOut += FHrefs[static_cast<std::size_t>(rows.Page)];
    FOut += '#';
    FOut.Fragment(anchor);
    FOut += "\">implementation</a>";
    const std::uint64_t key = CallersKey(page, anchor);
    if (!FListed.insert(key).second) return;
    const auto it = FData.Callers.find(key);
    const std::size_t count = it == FData.Callers.end() ? 0 : it->second.size();
    FOut += "<details id=\"";
    FOut += CallersId(page, anchor);
    FOut += "\"><summary>called from ";
    FOut.Number(static_cast<long long>(count));
    FOut += count == 1 ? " place" : " places";
    FOut += "</summary><ul>";
    if (count > 0)
      for (const TCallSite &site : it->second) {
        FOut += "<li><a href=\"";
        FOut += FHrefs[static_cast<std::size_t>(site.Page)];
        FOut += "#L";
        FOut.Number(site.Line);
        FOut += "\">";
        FOut.Text(FSymbols.Units.at(static_cast<std::size_t>(site.Unit)).Name);
        FOut += ", line ";
        FOut.Number(site.Line);
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

int TIndexData::PageId(const std::string &page) {
  if (FLastPage >= 0 && Pages[static_cast<std::size_t>(FLastPage)] == page) return FLastPage;
  const auto [It, Added] = FPageIds.emplace(page, static_cast<int>(Pages.size()));
  if (Added) Pages.push_back(page);
  FLastPage = It->second;
  return FLastPage;
}

void WantIndexNames(TNameLines &names, const TURElm &unit) {
  std::size_t count = unit.Idents.size() + unit.Classes.size();
  for (const TCRElm &cls : unit.Classes) count += cls.Members.size();
  names.Clear(count);
  for (const TRefElm &ident : unit.Idents) names.Want(ident.Name);
  for (const TCRElm &cls : unit.Classes) {
    names.Want(cls.Name);
    for (const TRefElm &member : cls.Members) names.Want(member.Name);
  }
}

void AddIndexRows(TIndexData &data, const TSymbolTable &symbols, int unitIndex,
                  const std::string &page, const TNameLines &names) {
  const TURElm &unit = symbols.Units.at(static_cast<std::size_t>(unitIndex));
  TIndexData::TUnitRows rows;
  rows.Unit = unitIndex;
  rows.Page = data.PageId(page);
  for (const TRefElm &ident : unit.Idents)
    if (IsIdentRow(unit, ident))
      rows.Lines.push_back(names.FirstLine(ident.Name, 0, ident.Overload));
  for (const TCRElm &cls : unit.Classes) {
    const int classLine = names.FirstLine(cls.Name);
    rows.Lines.push_back(classLine);
    for (const TRefElm &member : cls.Members)
      rows.Lines.push_back(names.FirstLine(member.Name, classLine, member.Overload));
  }
  data.Units.push_back(std::move(rows));
}

void WriteSymbolIndex(const std::string &path, const TIndexData &data, const TSymbolTable &symbols,
                      const std::string &projectName) {
  TOutputFile file;
  file.Create(path);
  std::string &out = file.Buffer();
  out +=
      "<!DOCTYPE html>\r\n<html><head><meta charset=\"UTF-8\">"
      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
      "<title>Symbol index: ";
  out += HtmlPageText(projectName);
  out += "</title><style>";
  out += IndexStyle;
  out +=
      "</style></head>\r\n<body>\r\n<h3>Symbol index</h3>\r\n"
      "<p><input id=\"q\" type=\"search\" placeholder=\"Filter by name, kind or unit\" "
      "aria-label=\"Filter\" autofocus> <span id=\"n\"></span></p>\r\n"
      "<table id=\"symbols\"><thead><tr><th>Name</th><th>Kind</th><th>Unit</th>"
      "<th>Declaration</th><th>Implementation</th></tr></thead><tbody>\r\n";
  TIndexWriter writer(file, data, symbols);
  for (const TIndexData::TUnitRows &rows : data.Units) writer.UnitRows(rows);
  writer.AnchorRows();
  out += "</tbody></table>\r\n<script>";
  out += IndexScript;
  out += "</script>\r\n</body></html>\r\n";
  file.Close();
}

}  // namespace codeweft
