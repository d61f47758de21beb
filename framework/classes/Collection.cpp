#include "framework/classes/Collection.h"

#include <algorithm>

#include "framework/base/Exceptions.h"
#include "framework/base/Rtti.h"

namespace framework {

FW_DEFINE_CLASS(TCollectionItem)
FW_DEFINE_CLASS(TCollection)

TCollectionItem::TCollectionItem(TCollection* collection) : FCollection(collection) {
  if (FCollection) FCollection->FItems.push_back(this);
}

TCollectionItem::~TCollectionItem() {
  if (FCollection) {
    std::erase(FCollection->FItems, this);
    FCollection->Update(nullptr);
  }
}

int TCollectionItem::Index() const {
  if (!FCollection) return -1;
  auto& v = FCollection->FItems;
  return static_cast<int>(std::find(v.begin(), v.end(), this) - v.begin());
}

void TCollectionItem::Changed() {
  if (FCollection) FCollection->Update(this);
}

TCollection::TCollection(TItemFactory factory) : FFactory(std::move(factory)) {}

TCollection::~TCollection() {
  OnUpdate = nullptr;
  Clear();
}

TCollectionItem* TCollection::Items(int index) const {
  if (index < 0 || index >= Count()) throw EListError();
  return FItems[index];
}

TCollectionItem* TCollection::Add() {
  TCollectionItem* item = FFactory(this);
  Update(nullptr);
  return item;
}

void TCollection::Delete(int index) { delete Items(index); }

void TCollection::Clear() {
  while (!FItems.empty()) {
    TCollectionItem* item = FItems.back();
    FItems.pop_back();
    item->FCollection = nullptr;
    delete item;
  }
  Update(nullptr);
}

void TCollection::Update(TCollectionItem* item) {
  if (OnUpdate) OnUpdate(item);
}

void TCollection::Assign(const TPersistent& source) {
  auto s = dynamic_cast<const TCollection*>(&source);
  if (!s) return TPersistent::Assign(source);
  Clear();
  for (TCollectionItem* i : s->FItems) Add()->Assign(*i);
}

}  // namespace framework
