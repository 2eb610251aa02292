#include "app/QueueFactories.h"

namespace pelmora::app {

// TM2CDokMagEXIDListQueue (warehouse document identifier feedback, ERP to CRM): not in this build
// yet.
exchange::QueueFactory M2CDokMagEXIDListQueueFactory() {
    return nullptr;
}

} // namespace pelmora::app
