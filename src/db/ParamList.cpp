#include "db/ParamList.h"

#include "core/Text.h"
#include "db/DbError.h"

namespace pelmora::db {

core::Variant& ParamList::Add(std::string_view name) {
    if (core::Variant* existing = Find(name))
        return *existing;
    items_.push_back(Param{std::string(name), core::Variant()});
    return items_.back().Value;
}

core::Variant* ParamList::Find(std::string_view name) {
    for (Param& p : items_)
        if (core::SameText(p.Name, name))
            return &p.Value;
    return nullptr;
}

const core::Variant* ParamList::Find(std::string_view name) const {
    return const_cast<ParamList*>(this)->Find(name);
}

core::Variant& ParamList::ByName(std::string_view name) {
    if (core::Variant* v = Find(name))
        return *v;
    throw DbError(DbErrorKind::Other, "Parameter '" + std::string(name) + "' not found");
}

const core::Variant& ParamList::ByName(std::string_view name) const {
    return const_cast<ParamList*>(this)->ByName(name);
}

} // namespace pelmora::db
