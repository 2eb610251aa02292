#include "app/QueueFactories.h"

namespace pelmora::app {

// TM2CDokMagListQueue (ERP warehouse documents, ERP to CRM): not in this build yet.
exchange::QueueFactory M2CDokMagListQueueFactory() {
    return nullptr;
}

} // namespace pelmora::app
