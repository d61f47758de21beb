// TCollection: an owned list of persistent items of one class, stored in a form text as
// "Name = < item ... end item ... end >".
#pragma once

#include <functional>
#include <vector>

#include "framework/classes/Persistent.h"

namespace framework {

class TCollection;

class TCollectionItem : public TPersistent {
  FW_CLASS(TCollectionItem, TPersistent)
 public:
  explicit TCollectionItem(TCollection* collection);
  ~TCollectionItem() override;
  TCollection* Collection() const { return FCollection; }
  int Index() const;

 protected:
  void Changed();  // tells the collection that this item changed

 private:
  friend class TCollection;
  TCollection* FCollection = nullptr;
};

class TCollection : public TPersistent {
  FW_CLASS(TCollection, TPersistent)
 public:
  using TItemFactory = std::function<TCollectionItem*(TCollection*)>;
  explicit TCollection(TItemFactory factory);
  ~TCollection() override;

  int Count() const { return static_cast<int>(FItems.size()); }
  TCollectionItem* Items(int index) const;  // EListError outside range
  TCollectionItem* Add();
  void Delete(int index);
  void Clear();
  void Assign(const TPersistent& source) override;
  // Called after any item was added, removed or changed (item: the changed one or nullptr).
  std::function<void(TCollectionItem*)> OnUpdate;

 private:
  friend class TCollectionItem;
  void Update(TCollectionItem* item);
  TItemFactory FFactory;
  std::vector<TCollectionItem*> FItems;
};

}  // namespace framework
