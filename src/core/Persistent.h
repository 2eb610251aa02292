#pragma once
// The root of every class whose published properties the XML serializer can
// walk. A class states its place in the hierarchy with PELMORA_CLASS in its
// body and defines StaticClass() with a TClassBuilder (ClassBuilder.h):
//
//   class TCRMProductObject : public TInterfaceObject {
//       PELMORA_CLASS(TCRMProductObject, TInterfaceObject)
//   public:
//       Variant ID, EXID;
//   };
//
//   const TClassInfo& TCRMProductObject::StaticClass() {
//       using T = TCRMProductObject;
//       static const TClassInfo info = TClassBuilder<T>()
//           .Variant("ID", &T::ID)
//           .Variant("EXID", &T::EXID);
//       return info;
//   }

#include "core/ClassInfo.h"

#include <stdexcept>
#include <string>

namespace pelmora::core {

// Raised by Assign when the source cannot be copied into the target.
class EConvertError : public std::runtime_error {
public:
    explicit EConvertError(const std::string& message) : std::runtime_error(message) {}
};

class TPersistent {
public:
    TPersistent() = default;
    virtual ~TPersistent() = default;
    // Persistent objects have identity; copy them with Assign.
    TPersistent(const TPersistent&) = delete;
    TPersistent& operator=(const TPersistent&) = delete;

    static const char* StaticClassName() { return "TPersistent"; }
    static const TClassInfo& StaticClass();
    virtual const TClassInfo& ClassType() const { return StaticClass(); }
    const std::string& ClassName() const { return ClassType().ClassName(); }
    bool InheritsFrom(const TClassInfo& cls) const { return ClassType().InheritsFrom(cls); }

    // Copies `source` into this object: by default source.AssignTo(*this).
    virtual void Assign(const TPersistent& source);

protected:
    // By default: an object of the same class gets every published property
    // copied (owned objects through their own Assign); any other target raises
    // EConvertError "Cannot assign a <source class> to a <target class>".
    virtual void AssignTo(TPersistent& dest) const;
};

// Copies every published property with a writer from `source` to `dest`, which
// must be of the same class: values, ordinals, owned objects (Assign) and links.
void CopyPublishedProperties(const TPersistent& source, TPersistent& dest);

} // namespace pelmora::core

// Declares the class information hooks of a persistent class; put it first in
// the class body (it leaves the access at private). `Base` is the nearest base
// class with class information of its own (TCollectionOf<...> has none).
#define PELMORA_CLASS(Class, Base)                                                                 \
public:                                                                                            \
    using inherited = Base;                                                                        \
    static const char* StaticClassName() {                                                         \
        return #Class;                                                                             \
    }                                                                                              \
    static const ::pelmora::core::TClassInfo& StaticClass();                                       \
    const ::pelmora::core::TClassInfo& ClassType() const override {                                \
        return StaticClass();                                                                      \
    }                                                                                              \
                                                                                                   \
private:
