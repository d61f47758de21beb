#include "framework/classes/StringList.h"

#include "framework/base/Exceptions.h"
#include "framework/base/Rtti.h"
#include "framework/classes/Filer.h"

namespace framework {

FW_DEFINE_CLASS(TStrings)
FW_DEFINE_CLASS(TStringList)

void TStrings::Check(int index) const {
  if (index < 0 || index >= Count()) throw EListError();
}

const std::string& TStrings::Strings(int index) const {
  Check(index);
  return FItems[index].S;
}

void TStrings::SetString(int index, const std::string& value) {
  Check(index);
  FItems[index].S = value;
  Changed();
}

TObject* TStrings::Objects(int index) const {
  Check(index);
  return FItems[index].Object;
}

void TStrings::SetObject(int index, TObject* value) {
  Check(index);
  FItems[index].Object = value;
}

int TStrings::Add(const std::string& s, TObject* object) {
  FItems.push_back({s, object});
  Changed();
  return Count() - 1;
}

void TStrings::Insert(int index, const std::string& s) {
  if (index < 0 || index > Count()) throw EListError();
  FItems.insert(FItems.begin() + index, TItem{s, nullptr});
  Changed();
}

void TStrings::Delete(int index) {
  Check(index);
  FItems.erase(FItems.begin() + index);
  Changed();
}

void TStrings::Clear() {
  if (FItems.empty()) return;
  FItems.clear();
  Changed();
}

void TStrings::Move(int curIndex, int newIndex) {
  if (curIndex == newIndex) return;
  Check(curIndex);
  Check(newIndex);
  TItem item = FItems[curIndex];
  FItems.erase(FItems.begin() + curIndex);
  FItems.insert(FItems.begin() + newIndex, item);
  Changed();
}

void TStrings::Exchange(int a, int b) {
  Check(a);
  Check(b);
  std::swap(FItems[a], FItems[b]);
  Changed();
}

int TStrings::IndexOf(std::string_view s) const {
  for (int i = 0; i < Count(); ++i)
    if (SameText(FItems[i].S, s)) return i;
  return -1;
}

std::string TStrings::Text() const {
  std::string t;
  for (const auto& i : FItems) t += i.S + "\n";
  return t;
}

void TStrings::SetText(std::string_view text) {
  FItems.clear();
  size_t start = 0;
  while (start < text.size()) {
    size_t e = text.find('\n', start);
    if (e == std::string_view::npos) e = text.size();
    std::string line(text.substr(start, e - start));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    FItems.push_back({line, nullptr});
    start = e + 1;
  }
  Changed();
}

std::string TStrings::DelimitedText(char delimiter) const {
  std::string t;
  for (size_t i = 0; i < FItems.size(); ++i) {
    if (i) t += delimiter;
    t += FItems[i].S;
  }
  return t;
}

void TStrings::SetDelimitedText(std::string_view text, char delimiter) {
  FItems.clear();
  if (!text.empty())
    for (std::string& s : SplitString(text, delimiter)) FItems.push_back({std::move(s), nullptr});
  Changed();
}

std::vector<std::string> TStrings::ToVector() const {
  std::vector<std::string> v;
  for (const auto& i : FItems) v.push_back(i.S);
  return v;
}

void TStrings::Assign(const TPersistent& source) {
  if (auto s = dynamic_cast<const TStrings*>(&source)) {
    FItems = s->FItems;
    Changed();
    return;
  }
  TPersistent::Assign(source);
}

void TStrings::Changed() { OnChange(this); }

void TStrings::DefineProperties(TFiler& filer) {
  filer.DefineProperty(
      "Strings",
      [this](TReader& r) {
        FItems.clear();
        r.ReadListBegin();
        while (!r.EndOfList()) FItems.push_back({r.ReadString(), nullptr});
        r.ReadListEnd();
        Changed();
      },
      [this](TWriter& w) {
        w.WriteListBegin();
        for (const auto& i : FItems) w.WriteString(i.S);
        w.WriteListEnd();
      },
      Count() > 0);
}

}  // namespace framework
