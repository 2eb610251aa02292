#pragma once
// Named parameter values of a query or stored procedure, in the order they were
// declared; names compare without regard to case.

#include "core/Variant.h"

#include <string>
#include <string_view>
#include <vector>

namespace pelmora::db {

struct Param {
    std::string Name;    // without the colon
    core::Variant Value; // Empty or Null is bound as SQL NULL
};

class ParamList {
public:
    // Adds a parameter unless one of that name exists; returns its value.
    core::Variant& Add(std::string_view name);
    // The value of a parameter, or nullptr when there is none of that name.
    core::Variant* Find(std::string_view name);
    const core::Variant* Find(std::string_view name) const;
    // The value of a parameter; raises DbError when there is none of that name.
    core::Variant& ByName(std::string_view name);
    const core::Variant& ByName(std::string_view name) const;
    void Clear() { items_.clear(); }

    size_t Count() const { return items_.size(); }
    const std::vector<Param>& Items() const { return items_; }
    std::vector<Param>& Items() { return items_; }

private:
    std::vector<Param> items_;
};

} // namespace pelmora::db
