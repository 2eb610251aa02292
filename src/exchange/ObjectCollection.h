#pragma once
// The lines of an exchange document: a collection of one item class that the
// serializer writes as nested "class" elements and recreates when it reads.
//
//   class TJednostkiCollectionItem : public TObjectCollectionItem {
//       PELMORA_CLASS(TJednostkiCollectionItem, TObjectCollectionItem)
//   public:
//       using TObjectCollectionItem::TObjectCollectionItem;
//       core::Variant Id, Przelicznik;
//   };
//   class TJednostkiCollection
//       : public TObjectCollectionOf<TJednostkiCollectionItem> {
//       PELMORA_CLASS(TJednostkiCollection, TObjectCollection)
//   };

#include "core/Collection.h"

namespace pelmora::exchange {

class TObjectCollectionItem : public core::TCollectionItem {
    PELMORA_CLASS(TObjectCollectionItem, core::TCollectionItem)
public:
    // The serializer creates items through this constructor when it reads a file.
    explicit TObjectCollectionItem(core::TCollection* collection)
        : core::TCollectionItem(collection) {}
};

class TObjectCollection : public core::TCollection {
    PELMORA_CLASS(TObjectCollection, core::TCollection)
public:
    // `itemClass`: the item class of the concrete collection; Add appends and
    // returns a new item of it.
    explicit TObjectCollection(const core::TClassInfo& itemClass) : core::TCollection(itemClass) {}
};

// A concrete collection with typed Add, Insert and Items.
template <class TItem> using TObjectCollectionOf = core::TCollectionOf<TItem, TObjectCollection>;

} // namespace pelmora::exchange
