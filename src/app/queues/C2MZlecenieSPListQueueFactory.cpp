#include "app/QueueFactories.h"

namespace pelmora::app {

// TC2MZlecenieSPListQueue (CRM orders, invoices and cash receipts, CRM to ERP): not in this build
// yet.
exchange::QueueFactory C2MZlecenieSPListQueueFactory() {
    return nullptr;
}

} // namespace pelmora::app
