#include "exchange/ObjectListQueue.h"

#include "app/DM_Main.h"

namespace pelmora::exchange {

core::TLog& TObjectListQueue::Log() const {
    return main_.Log();
}

app::TProgress& TObjectListQueue::Progress() const {
    return main_.Progress();
}

void TObjectListQueue::ProcessEvents() const {
    main_.ProcessEvents();
}

bool TObjectListQueue::StopRequested() const {
    return main_.StopRequested;
}

} // namespace pelmora::exchange
