#include "app/QueueFactories.h"

namespace pelmora::app {

// TM2CProduktListQueue (products, ERP to CRM): not in this build yet.
exchange::QueueFactory M2CProduktListQueueFactory() {
    return nullptr;
}

} // namespace pelmora::app
