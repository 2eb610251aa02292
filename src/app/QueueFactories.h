#pragma once
// The factory of every queue class of the driver's build table (Queue.cpp).
// Each is defined in its own small file, src/app/queues/<class without T>Factory.cpp,
// and gives none while this build does not have the class; the rows of that
// class then build nothing and say so in the log. Adding a queue class to the
// build is a change of that one file:
//
//   #include "app/QueueFactories.h"
//   #include "objects/products/M2CProduktListQueue.h"
//   namespace pelmora::app {
//   exchange::QueueFactory M2CProduktListQueueFactory() {
//       return &exchange::MakeQueue<objects::TM2CProduktListQueue>;
//   }
//   }
//
// NOTE: the build table refers to every function here, so each file is linked
// into the program whatever else uses its class.

#include "exchange/ObjectListQueue.h"

namespace pelmora::app {

exchange::QueueFactory M2CProduktListQueueFactory();        // TM2CProduktListQueue
exchange::QueueFactory M2CJednostkaListQueueFactory();      // TM2CJednostkaListQueue
exchange::QueueFactory C2M_KlientListQueueFactory();        // TC2M_KlientListQueue
exchange::QueueFactory C2MZlecenieSPListQueueFactory();     // TC2MZlecenieSPListQueue
exchange::QueueFactory M2CZlecenieSPListQueueFactory();     // TM2CZlecenieSPListQueue
exchange::QueueFactory M2CZlecenieSPEXIDListQueueFactory(); // TM2CZlecenieSPEXIDListQueue
exchange::QueueFactory M2CNaleznoscListQueueFactory();      // TM2CNaleznoscListQueue
exchange::QueueFactory M2CDokMagListQueueFactory();         // TM2CDokMagListQueue
exchange::QueueFactory C2MDokMagListQueueFactory();         // TC2MDokMagListQueue
exchange::QueueFactory M2CDokMagEXIDListQueueFactory();     // TM2CDokMagEXIDListQueue

} // namespace pelmora::app
