#pragma once
// An owned, ordered list of items of one item class; the serializer writes the
// items as nested elements and can create and delete them when it reads.
//
// An item class derives from TCollectionItem and has a constructor taking the
// collection (`using TCollectionItem::TCollectionItem;` is enough); declaring
// its class information with TClassBuilder then lets the collection create it.

#include "core/Persistent.h"

#include <memory>
#include <vector>

namespace pelmora::core {

class TCollection;

class TCollectionItem : public TPersistent {
    PELMORA_CLASS(TCollectionItem, TPersistent)
public:
    explicit TCollectionItem(TCollection* collection) : collection_(collection) {}

    TCollection* Collection() const { return collection_; }
    // Position in the collection from 0; -1 when it is in none.
    int Index() const;

private:
    TCollection* collection_;
};

class TCollection : public TPersistent {
    PELMORA_CLASS(TCollection, TPersistent)
public:
    // `itemClass` must be a collection item class (TClassInfo::CanCreateItem).
    explicit TCollection(const TClassInfo& itemClass);
    ~TCollection() override;

    const TClassInfo& ItemClass() const { return *itemClass_; }
    int Count() const { return static_cast<int>(items_.size()); }
    // Raises std::out_of_range for a bad index.
    TCollectionItem* Items(int index) const { return items_.at(index).get(); }
    int IndexOf(const TCollectionItem* item) const;

    // Appends a new item of the item class and returns it.
    TCollectionItem* Add();
    // Inserts a new item at `index` (0..Count) and returns it.
    TCollectionItem* Insert(int index);
    // Destroys the item at `index`; raises std::out_of_range for a bad index.
    void Delete(int index);
    void Clear();

    // From another collection: the items are replaced by new ones, each
    // assigned from the source item at the same position.
    void Assign(const TPersistent& source) override;

private:
    const TClassInfo* itemClass_;
    std::vector<std::unique_ptr<TCollectionItem>> items_;
};

// Typed access over a collection whose items are all of class TItem:
//   class TJednostkiCollection : public TCollectionOf<TJednostkiCollectionItem, TObjectCollection>
template <class TItem, class TBase = TCollection> class TCollectionOf : public TBase {
public:
    TCollectionOf() : TBase(TItem::StaticClass()) {}
    TItem* Add() { return static_cast<TItem*>(TBase::Add()); }
    TItem* Insert(int index) { return static_cast<TItem*>(TBase::Insert(index)); }
    TItem* Items(int index) const { return static_cast<TItem*>(TBase::Items(index)); }
};

} // namespace pelmora::core
