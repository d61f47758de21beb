// TStrings / TStringList: a list of strings, each with an optional object. Stored in a form
// as the custom property "Strings" (a list of string values).
#pragma once

#include <string>
#include <vector>

#include "framework/base/Events.h"
#include "framework/classes/Persistent.h"

namespace framework {

class TStrings : public TPersistent {
  FW_CLASS(TStrings, TPersistent)
 public:
  int Count() const { return static_cast<int>(FItems.size()); }
  const std::string& Strings(int index) const;  // EListError outside range
  const std::string& operator[](int index) const { return Strings(index); }
  void SetString(int index, const std::string& value);
  TObject* Objects(int index) const;
  void SetObject(int index, TObject* value);
  int Add(const std::string& s, TObject* object = nullptr);
  void Insert(int index, const std::string& s);
  void Delete(int index);
  void Clear();
  void Move(int curIndex, int newIndex);
  void Exchange(int a, int b);
  int IndexOf(std::string_view s) const;  // case-insensitive; -1 when absent
  // The lines joined with line feeds (each line ended), and split back.
  std::string Text() const;
  void SetText(std::string_view text);
  // Items separated by a delimiter (e.g. "a|b|c" with '|').
  std::string DelimitedText(char delimiter) const;
  void SetDelimitedText(std::string_view text, char delimiter);
  std::vector<std::string> ToVector() const;

  void Assign(const TPersistent& source) override;
  void DefineProperties(TFiler& filer) override;

  TNotifyEvent OnChange;

 protected:
  virtual void Changed();

 private:
  struct TItem {
    std::string S;
    TObject* Object = nullptr;
  };
  void Check(int index) const;
  std::vector<TItem> FItems;
};

class TStringList : public TStrings {
  FW_CLASS(TStringList, TStrings)
};

}  // namespace framework
