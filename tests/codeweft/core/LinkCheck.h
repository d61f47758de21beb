// Checks over a build location: every link reaches a page that exists and, with
// a "#" fragment, an anchor in it; and a listing page read as text (tags
// removed, entities decoded) gives back its source.
#pragma once

#include <cctype>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "tests/codeweft/core/TempDir.h"

namespace codeweft::test {

// "&amp;" "&lt;" "&gt;" "&quot;" decoded; any other "&" stays as it is.
inline std::string DecodeEntities(const std::string &S) {
  static const std::pair<const char *, char> Entities[] = {
      {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}};
  std::string Out;
  Out.reserve(S.size());
  for (std::size_t I = 0; I < S.size();) {
    bool Done = false;
    if (S[I] == '&')
      for (const auto &[Name, C] : Entities)
        if (S.compare(I, std::char_traits<char>::length(Name), Name) == 0) {
          Out += C;
          I += std::char_traits<char>::length(Name);
          Done = true;
          break;
        }
    if (!Done) Out += S[I++];
  }
  return Out;
}

// The text of a page: everything outside "<...>", entities decoded.
inline std::string PageText(const std::string &Html) {
  std::string Text;
  Text.reserve(Html.size());
  for (std::size_t I = 0; I < Html.size(); ++I) {
    if (Html[I] == '<') {
      const std::size_t End = Html.find('>', I);
      if (End == std::string::npos) break;
      I = End;
    } else {
      Text += Html[I];
    }
  }
  return DecodeEntities(Text);
}

// The source text of a listing page: its body between the page's own anchor
// line and the trailer, as text.
inline std::string ListingSource(const std::string &Html) {
  const std::string Trailer = "</FONT></PRE></BODY></HTML>\r\n";
  std::size_t Start = Html.find("<A NAME = ");
  Start = Start == std::string::npos ? 0 : Html.find("\r\n", Start);
  Start = Start == std::string::npos ? 0 : Start + 2;
  std::size_t End = Html.size();
  if (Html.size() >= Trailer.size() && Html.compare(End - Trailer.size(), Trailer.size(), Trailer) == 0)
    End -= Trailer.size();
  return PageText(Html.substr(Start, End - Start));
}

// Values of the attribute Name (any case; blanks around "=" allowed) in Html.
inline std::vector<std::string> AttributeValues(const std::string &Html, const std::string &Name) {
  std::vector<std::string> Values;
  std::string Lower = Html;
  for (char &C : Lower) C = static_cast<char>(std::tolower(static_cast<unsigned char>(C)));
  for (std::size_t I = Lower.find(Name); I != std::string::npos; I = Lower.find(Name, I + 1)) {
    if (I > 0 && Lower[I - 1] != ' ') continue;
    std::size_t P = I + Name.size();
    while (P < Lower.size() && Lower[P] == ' ') ++P;
    if (P >= Lower.size() || Lower[P] != '=') continue;
    ++P;
    while (P < Lower.size() && Lower[P] == ' ') ++P;
    if (P >= Lower.size() || Lower[P] != '"') continue;
    const std::size_t End = Html.find('"', P + 1);
    if (End == std::string::npos) break;
    Values.push_back(DecodeEntities(Html.substr(P + 1, End - P - 1)));
  }
  return Values;
}

// Html without its line anchors (<A ID="L12"></A>), for checks of the text
// and markup around them.
inline std::string WithoutLineAnchors(const std::string &Html) {
  std::string Out;
  Out.reserve(Html.size());
  for (std::size_t I = 0; I < Html.size();) {
    if (Html.compare(I, 8, "<A ID=\"L") == 0) {
      const std::size_t End = Html.find("\"></A>", I);
      if (End != std::string::npos) {
        I = End + 6;
        continue;
      }
    }
    Out += Html[I++];
  }
  return Out;
}

// "%XX" decoded.
inline std::string PercentDecoded(const std::string &S) {
  std::string Out;
  for (std::size_t I = 0; I < S.size(); ++I) {
    if (S[I] == '%' && I + 2 < S.size() + 0 &&
        std::isxdigit(static_cast<unsigned char>(S[I + 1])) &&
        std::isxdigit(static_cast<unsigned char>(S[I + 2]))) {
      Out += static_cast<char>(std::stoi(S.substr(I + 1, 2), nullptr, 16));
      I += 2;
    } else {
      Out += S[I];
    }
  }
  return Out;
}

// Every link (href, frame src) of every .html file in Dir that does not reach
// an existing file, or an existing anchor (name or id) of it, as "page: target".
// A query ("?q=...") is no part of the file.
inline std::vector<std::string> BrokenLinks(const std::string &Dir, std::size_t *Checked = nullptr) {
  namespace fs = std::filesystem;
  std::map<std::string, std::set<std::string>> Anchors;
  std::map<std::string, std::vector<std::string>> Links;
  for (const auto &E : fs::directory_iterator(Dir)) {
    const std::string Name = E.path().filename().string();
    if (E.path().extension() != ".html") continue;
    const std::string Html = ReadBytes(E.path().string());
    for (const std::string &A : AttributeValues(Html, "name")) Anchors[Name].insert(A);
    for (const std::string &A : AttributeValues(Html, "id")) Anchors[Name].insert(A);
    for (const std::string &L : AttributeValues(Html, "href")) Links[Name].push_back(L);
    for (const std::string &L : AttributeValues(Html, "src")) Links[Name].push_back(L);
  }
  std::vector<std::string> Broken;
  std::size_t Count = 0;
  for (const auto &[Page, Targets] : Links)
    for (const std::string &Target : Targets) {
      ++Count;
      const std::size_t Hash = Target.find('#');
      std::string File = Hash == 0 ? Page : PercentDecoded(Target.substr(0, Hash));
      if (Hash != 0) File = File.substr(0, File.find('?'));
      bool Ok = fs::is_regular_file(fs::path(Dir) / File);
      if (Ok && Hash != std::string::npos) {
        const auto It = Anchors.find(File);
        Ok = It != Anchors.end() && It->second.count(PercentDecoded(Target.substr(Hash + 1))) != 0;
      }
      if (!Ok) Broken.push_back(Page + ": " + Target);
    }
  if (Checked) *Checked = Count;
  return Broken;
}

} // namespace codeweft::test
