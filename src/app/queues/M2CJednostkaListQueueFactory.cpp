#include "app/QueueFactories.h"

namespace pelmora::app {

// TM2CJednostkaListQueue (units of measure, ERP to CRM): not in this build yet.
exchange::QueueFactory M2CJednostkaListQueueFactory() {
    return nullptr;
}

} // namespace pelmora::app
