#include "core/Collection.h"

#include "core/ClassBuilder.h"

#include <stdexcept>

namespace pelmora::core {

const TClassInfo& TCollectionItem::StaticClass() {
    static const TClassInfo info = TClassBuilder<TCollectionItem>();
    return info;
}

int TCollectionItem::Index() const {
    return collection_ ? collection_->IndexOf(this) : -1;
}

const TClassInfo& TCollection::StaticClass() {
    static const TClassInfo info = TClassBuilder<TCollection>();
    return info;
}

TCollection::TCollection(const TClassInfo& itemClass) : itemClass_(&itemClass) {
    if (!itemClass.CanCreateItem())
        throw std::logic_error("Class " + itemClass.ClassName() +
                               " is not a collection item class");
}

TCollection::~TCollection() = default;

int TCollection::IndexOf(const TCollectionItem* item) const {
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i].get() == item)
            return static_cast<int>(i);
    return -1;
}

TCollectionItem* TCollection::Add() {
    return Insert(Count());
}

TCollectionItem* TCollection::Insert(int index) {
    if (index < 0 || index > Count())
        throw std::out_of_range("Collection index out of bounds (" + std::to_string(index) + ")");
    auto item = itemClass_->CreateItem(*this);
    TCollectionItem* result = item.get();
    items_.insert(items_.begin() + index, std::move(item));
    return result;
}

void TCollection::Delete(int index) {
    if (index < 0 || index >= Count())
        throw std::out_of_range("Collection index out of bounds (" + std::to_string(index) + ")");
    // Out of the list first, so that the item never sees itself half removed.
    std::unique_ptr<TCollectionItem> item = std::move(items_[static_cast<size_t>(index)]);
    items_.erase(items_.begin() + index);
}

void TCollection::Clear() {
    while (!items_.empty())
        Delete(Count() - 1);
}

void TCollection::Assign(const TPersistent& source) {
    const auto* from = dynamic_cast<const TCollection*>(&source);
    if (!from) {
        TPersistent::Assign(source);
        return;
    }
    if (from == this)
        return;
    Clear();
    for (int i = 0; i < from->Count(); ++i)
        Add()->Assign(*from->Items(i));
}

} // namespace pelmora::core
