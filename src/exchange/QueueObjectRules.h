#pragma once
// The rules of one queue, read from an entry of ObjectRules.xml: the display
// name of the object kind, the names that mark its exchange files in the work
// directory and the file names of its two style sheets.

#include "core/Persistent.h"

#include <string>

namespace pelmora::exchange {

class TQueueObjectRules : public core::TPersistent {
    PELMORA_CLASS(TQueueObjectRules, core::TPersistent)
public:
    TQueueObjectRules() = default;

    // Published text properties, in the order the serializer writes them.
    std::string ObjectName;        // display name; empty disables the queue
    std::string ERPSaveName;       // marks the files an ERP-side class reads
    std::string ERPLoadName;       // marks the files an ERP-side class writes
    std::string CRMSaveName;       // marks the files a CRM-side class reads
    std::string CRMLoadName;       // marks the files a CRM-side class writes
    std::string TransERPtoCRMName; // style sheet of the ERP to CRM direction
    std::string TransCRMtoERPName; // style sheet of the CRM to ERP direction
};

} // namespace pelmora::exchange
