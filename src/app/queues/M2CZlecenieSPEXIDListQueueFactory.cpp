#include "app/QueueFactories.h"

namespace pelmora::app {

// TM2CZlecenieSPEXIDListQueue (sales document identifier feedback, ERP to CRM): not in this build
// yet.
exchange::QueueFactory M2CZlecenieSPEXIDListQueueFactory() {
    return nullptr;
}

} // namespace pelmora::app
