#include "core/ClassInfo.h"

#include "core/ClassBuilder.h"
#include "core/Collection.h"
#include "core/ConvertError.h"
#include "core/Persistent.h"
#include "core/SystemFormats.h"
#include "core/Text.h"

#include <stdexcept>

namespace pelmora::core {

TEnumInfo::TEnumInfo(std::string typeName, std::string_view identifiers, bool isBoolean)
    : typeName_(std::move(typeName)), isBoolean_(isBoolean) {
    size_t start = 0;
    while (start <= identifiers.size()) {
        size_t end = identifiers.find(',', start);
        if (end == std::string_view::npos)
            end = identifiers.size();
        const std::string name = Trim(identifiers.substr(start, end - start));
        // Ordinals are positions, so explicit values would break the mapping.
        if (name.empty() || name.find('=') != std::string::npos)
            throw std::logic_error("Enumeration " + typeName_ + ": bad value list \"" +
                                   std::string(identifiers) + "\"");
        names_.push_back(name);
        start = end + 1;
    }
}

const std::string& TEnumInfo::Name(int64_t ordinal) const {
    static const std::string none;
    if (ordinal < 0 || ordinal >= Count())
        return none;
    return names_[static_cast<size_t>(ordinal)];
}

int TEnumInfo::Value(std::string_view identifier) const {
    for (size_t i = 0; i < names_.size(); ++i)
        if (SameText(names_[i], identifier))
            return static_cast<int>(i);
    return -1;
}

const TEnumInfo& BooleanEnumInfo() {
    static const TEnumInfo info("Boolean", "False, True", true);
    return info;
}

bool TPropertyInfo::HasWriter() const {
    switch (Kind) {
    case TPropertyKind::Class:
        return static_cast<bool>(SetObject);
    case TPropertyKind::Method:
        return false;
    default:
        return static_cast<bool>(Set);
    }
}

TClassInfo::TClassInfo(std::string name, const TClassInfo* parent,
                       std::vector<TPropertyInfo> properties, ItemFactory createItem)
    : name_(std::move(name)), parent_(parent), own_(std::move(properties)),
      createItem_(std::move(createItem)) {
    if (parent_)
        all_ = parent_->all_;
    for (const TPropertyInfo& p : own_) {
        bool replaced = false;
        for (auto& existing : all_)
            if (SameText(existing->Name, p.Name)) {
                existing = &p;
                replaced = true;
                break;
            }
        if (!replaced)
            all_.push_back(&p);
    }
}

bool TClassInfo::InheritsFrom(const TClassInfo& other) const {
    for (const TClassInfo* c = this; c; c = c->parent_)
        if (c == &other)
            return true;
    return false;
}

const TPropertyInfo* TClassInfo::FindProperty(std::string_view name) const {
    for (const TPropertyInfo* p : all_)
        if (p->Name == name)
            return p;
    for (const TPropertyInfo* p : all_)
        if (SameText(p->Name, name))
            return p;
    return nullptr;
}

std::unique_ptr<TCollectionItem> TClassInfo::CreateItem(TCollection& collection) const {
    if (!createItem_)
        throw std::logic_error("Class " + name_ + " is not a collection item class");
    return createItem_(collection);
}

namespace detail {

void CheckOrdinal(const TEnumInfo& info, int64_t ordinal) {
    if (ordinal < 0 || ordinal >= info.Count())
        throw ConvertError("'" + std::to_string(ordinal) + "' is not a value of " +
                           info.TypeName());
}

int64_t EnumOrdinalFromVariant(const TEnumInfo& info, const Variant& value) {
    if (value.IsText()) {
        const int ordinal = info.Value(Trim(value.ToString()));
        if (ordinal < 0)
            throw ConvertError("'" + value.ToString() + "' is not a value of " + info.TypeName());
        return ordinal;
    }
    if (value.Type() == varBoolean)
        return value.ToBool() ? 1 : 0;
    return value.ToInt64();
}

int64_t SetBitsFromVariant(const TEnumInfo& info, const Variant& value) {
    const int64_t all = info.Count() >= 32 ? 0xFFFFFFFFLL : (int64_t(1) << info.Count()) - 1;
    int64_t bits = 0;
    if (value.IsText() && !TryStrToInt64(value.ToString(), bits)) {
        // "[a,b]" or "a,b": the identifiers of the members.
        std::string text = Trim(value.ToString());
        if (text.size() >= 2 && text.front() == '[' && text.back() == ']')
            text = text.substr(1, text.size() - 2);
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find(',', start);
            if (end == std::string::npos)
                end = text.size();
            const std::string name = Trim(std::string_view(text).substr(start, end - start));
            const int ordinal = info.Value(name);
            if (ordinal < 0)
                throw ConvertError("'" + name + "' is not a value of " + info.TypeName());
            bits |= int64_t(1) << ordinal;
            start = end + 1;
        }
        return bits;
    }
    if (!value.IsText())
        bits = value.ToInt64();
    if (bits < 0 || (bits & ~all) != 0)
        throw ConvertError("'" + std::to_string(bits) + "' is not a set of " + info.TypeName());
    return bits;
}

void AssignOwnedObject(TPersistent* current, TPersistent* source, const std::string& property) {
    if (!source)
        throw EConvertError("Property " + property + " cannot be set to nothing");
    if (!current)
        throw EConvertError("Property " + property + " holds no object to assign to");
    if (current != source)
        current->Assign(*source);
}

} // namespace detail

} // namespace pelmora::core
