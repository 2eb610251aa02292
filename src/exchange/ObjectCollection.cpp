#include "exchange/ObjectCollection.h"

#include "core/ClassBuilder.h"

namespace pelmora::exchange {

const core::TClassInfo& TObjectCollectionItem::StaticClass() {
    static const core::TClassInfo info = core::TClassBuilder<TObjectCollectionItem>();
    return info;
}

const core::TClassInfo& TObjectCollection::StaticClass() {
    static const core::TClassInfo info = core::TClassBuilder<TObjectCollection>();
    return info;
}

} // namespace pelmora::exchange
