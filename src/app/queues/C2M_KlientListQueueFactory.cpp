#include "app/QueueFactories.h"
#include "objects/customers/C2M_KlientListQueue.h"

namespace pelmora::app {

// TC2M_KlientListQueue (customers, CRM to ERP).
exchange::QueueFactory C2M_KlientListQueueFactory() {
    return &exchange::MakeQueue<objects::TC2M_KlientListQueue>;
}

} // namespace pelmora::app
