#include "core/Persistent.h"

namespace pelmora::core {

const TClassInfo& TPersistent::StaticClass() {
    static const TClassInfo info(StaticClassName(), nullptr, {});
    return info;
}

void TPersistent::Assign(const TPersistent& source) {
    source.AssignTo(*this);
}

void TPersistent::AssignTo(TPersistent& dest) const {
    if (&dest.ClassType() != &ClassType())
        throw EConvertError("Cannot assign a " + ClassName() + " to a " + dest.ClassName());
    CopyPublishedProperties(*this, dest);
}

void CopyPublishedProperties(const TPersistent& source, TPersistent& dest) {
    if (&dest == &source)
        return;
    if (&dest.ClassType() != &source.ClassType())
        throw EConvertError("Cannot assign a " + source.ClassName() + " to a " + dest.ClassName());
    for (const TPropertyInfo* p : source.ClassType().Properties()) {
        if (!p->HasWriter())
            continue;
        switch (p->Kind) {
        case TPropertyKind::Method:
            break;
        case TPropertyKind::Class:
            if (p->IsLink) {
                p->SetObject(dest, p->GetObject(source));
            } else {
                TPersistent* from = p->GetObject(source);
                TPersistent* to = p->GetObject(dest);
                if (from && to)
                    to->Assign(*from);
            }
            break;
        case TPropertyKind::Enumeration:
        case TPropertyKind::Set:
            p->SetOrdinal(dest, p->GetOrdinal(source));
            break;
        default:
            p->Set(dest, p->Get(source));
            break;
        }
    }
}

} // namespace pelmora::core
