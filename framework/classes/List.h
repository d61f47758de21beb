// TList: a list of pointers with the framework's index checks. Every access outside
// 0..Count-1 raises EListError "Index out of bounds.". Items may be null (Pack drops them).
#pragma once

#include <algorithm>
#include <vector>

#include "framework/base/Exceptions.h"

namespace framework {

template <class T>
class TList {
 public:
  virtual ~TList() = default;

  int Count() const { return static_cast<int>(FItems.size()); }
  // Growing fills with nulls; shrinking drops the last items.
  void SetCount(int count) {
    if (count < 0) throw EListError();
    FItems.resize(count, nullptr);
  }
  T* Items(int index) const {
    Check(index);
    return FItems[index];
  }
  T* operator[](int index) const { return Items(index); }
  void SetItem(int index, T* item) {
    Check(index);
    FItems[index] = item;
  }
  int Add(T* item) {
    FItems.push_back(item);
    return Count() - 1;
  }
  void Insert(int index, T* item) {
    if (index < 0 || index > Count()) throw EListError();
    FItems.insert(FItems.begin() + index, item);
  }
  void Delete(int index) {
    Check(index);
    FItems.erase(FItems.begin() + index);
  }
  int IndexOf(const T* item) const {
    auto it = std::find(FItems.begin(), FItems.end(), item);
    return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
  }
  int Remove(const T* item) {
    int i = IndexOf(item);
    if (i >= 0) Delete(i);
    return i;
  }
  // Takes the item out of curIndex and puts it at newIndex.
  void Move(int curIndex, int newIndex) {
    if (curIndex == newIndex) return;
    Check(curIndex);
    Check(newIndex);
    T* item = FItems[curIndex];
    FItems.erase(FItems.begin() + curIndex);
    FItems.insert(FItems.begin() + newIndex, item);
  }
  void Exchange(int a, int b) {
    Check(a);
    Check(b);
    std::swap(FItems[a], FItems[b]);
  }
  void Pack() { std::erase(FItems, nullptr); }
  void Clear() { FItems.clear(); }
  T* First() const { return Items(0); }
  T* Last() const { return Items(Count() - 1); }
  auto begin() const { return FItems.begin(); }
  auto end() const { return FItems.end(); }

 private:
  void Check(int index) const {
    if (index < 0 || index >= Count()) throw EListError();
  }
  std::vector<T*> FItems;
};

}  // namespace framework
