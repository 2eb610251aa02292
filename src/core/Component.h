#pragma once
// A persistent object with an owner and a name. An owner keeps a list of the
// components it owns and destroys those still in it when it is destroyed; a
// component destroyed first takes itself out of its owner's list. So a
// component held elsewhere (a unique_ptr, a member) must go before its owner.

#include "core/Persistent.h"

#include <string>
#include <string_view>
#include <vector>

namespace pelmora::core {

class TComponent : public TPersistent {
    PELMORA_CLASS(TComponent, TPersistent)
public:
    explicit TComponent(TComponent* owner = nullptr);
    ~TComponent() override;

    TComponent* Owner() const { return owner_; }
    const std::string& Name() const { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }

    int ComponentCount() const { return static_cast<int>(components_.size()); }
    TComponent* Components(int index) const { return components_.at(index); }
    // The owned component of that name, ignoring case; none for an empty name.
    TComponent* FindComponent(std::string_view name) const;

private:
    TComponent* owner_;
    std::string name_;
    std::vector<TComponent*> components_; // owned, in creation order
};

// Components found by name from anywhere (the data modules), for component
// links written as "Module.Path". Registration is kept until unregistered.
void RegisterGlobalComponent(TComponent* component);
void UnregisterGlobalComponent(TComponent* component);
TComponent* FindGlobalComponent(std::string_view name);
// "A.B.C": the global component A, then B among its components, then C among B's.
TComponent* FindComponentPath(std::string_view path);

} // namespace pelmora::core
