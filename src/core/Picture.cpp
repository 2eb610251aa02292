#include "core/Picture.h"

#include "core/ClassBuilder.h"

namespace pelmora::core {

const TClassInfo& TPicture::StaticClass() {
    static const TClassInfo info = TClassBuilder<TPicture>();
    return info;
}

void TPicture::Assign(const TPersistent& source) {
    if (const auto* from = dynamic_cast<const TPicture*>(&source)) {
        bitmap_ = from->bitmap_;
        return;
    }
    TPersistent::Assign(source);
}

} // namespace pelmora::core
