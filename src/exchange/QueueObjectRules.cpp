#include "exchange/QueueObjectRules.h"

#include "core/ClassBuilder.h"

namespace pelmora::exchange {

const core::TClassInfo& TQueueObjectRules::StaticClass() {
    using T = TQueueObjectRules;
    static const core::TClassInfo info = core::TClassBuilder<T>()
                                             .Text("ObjectName", &T::ObjectName)
                                             .Text("ERPSaveName", &T::ERPSaveName)
                                             .Text("ERPLoadName", &T::ERPLoadName)
                                             .Text("CRMSaveName", &T::CRMSaveName)
                                             .Text("CRMLoadName", &T::CRMLoadName)
                                             .Text("TransERPtoCRMName", &T::TransERPtoCRMName)
                                             .Text("TransCRMtoERPName", &T::TransCRMtoERPName);
    return info;
}

} // namespace pelmora::exchange
