#include "app/QueueFactories.h"

namespace pelmora::app {

// TC2MDokMagListQueue (CRM warehouse documents, CRM to ERP): not in this build yet.
exchange::QueueFactory C2MDokMagListQueueFactory() {
    return nullptr;
}

} // namespace pelmora::app
