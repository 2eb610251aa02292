#include "core/Component.h"

#include "core/ClassBuilder.h"
#include "core/Text.h"

#include <algorithm>

namespace pelmora::core {

namespace {

// The components registered by RegisterGlobalComponent, in registration order.
std::vector<TComponent*>& GlobalComponents() {
    static std::vector<TComponent*> list;
    return list;
}

} // namespace

const TClassInfo& TComponent::StaticClass() {
    static const TClassInfo info = TClassBuilder<TComponent>();
    return info;
}

TComponent::TComponent(TComponent* owner) : owner_(owner) {
    if (owner_)
        owner_->components_.push_back(this);
}

TComponent::~TComponent() {
    // Each owned component takes itself out of the list as it goes.
    while (!components_.empty())
        delete components_.back();
    if (owner_) {
        auto& list = owner_->components_;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
    UnregisterGlobalComponent(this);
}

TComponent* TComponent::FindComponent(std::string_view name) const {
    if (name.empty())
        return nullptr;
    for (TComponent* c : components_)
        if (SameText(c->name_, name))
            return c;
    return nullptr;
}

void RegisterGlobalComponent(TComponent* component) {
    auto& list = GlobalComponents();
    if (component && std::find(list.begin(), list.end(), component) == list.end())
        list.push_back(component);
}

void UnregisterGlobalComponent(TComponent* component) {
    auto& list = GlobalComponents();
    list.erase(std::remove(list.begin(), list.end(), component), list.end());
}

TComponent* FindGlobalComponent(std::string_view name) {
    if (name.empty())
        return nullptr;
    for (TComponent* c : GlobalComponents())
        if (SameText(c->Name(), name))
            return c;
    return nullptr;
}

TComponent* FindComponentPath(std::string_view path) {
    size_t dot = path.find('.');
    TComponent* c = FindGlobalComponent(path.substr(0, dot));
    while (c && dot != std::string_view::npos) {
        const size_t start = dot + 1;
        dot = path.find('.', start);
        c = c->FindComponent(path.substr(start, dot == std::string_view::npos ? dot : dot - start));
    }
    return c;
}

} // namespace pelmora::core
