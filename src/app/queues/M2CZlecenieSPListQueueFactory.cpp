#include "app/QueueFactories.h"

namespace pelmora::app {

// TM2CZlecenieSPListQueue (ERP invoices and corrections, ERP to CRM): not in this build yet.
exchange::QueueFactory M2CZlecenieSPListQueueFactory() {
    return nullptr;
}

} // namespace pelmora::app
