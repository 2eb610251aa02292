#include "app/QueueFactories.h"

namespace pelmora::app {

// TM2CNaleznoscListQueue (receivables, ERP to CRM): not in this build yet.
exchange::QueueFactory M2CNaleznoscListQueueFactory() {
    return nullptr;
}

} // namespace pelmora::app
