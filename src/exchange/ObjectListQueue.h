#pragma once
// The base of every queue: a queue moves all pending records of one object
// kind, in one direction, from one system to the other. The driver (TQueue)
// builds it for one run, sets its connections, kind and rules, and calls
// Process once. Queues that pass exchange files follow the pattern of
// TExchangeListQueue (ExchangeListQueue.h); the customer queue, which passes
// none, derives from this class directly.

#include "app/DocumentKinds.h"
#include "exchange/QueueObjectRules.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace pelmora::app {
class TDM_Main;
class TProgress;
} // namespace pelmora::app
namespace pelmora::core {
class TLog;
class TStylesheetCache;
} // namespace pelmora::core
namespace pelmora::db {
class Connection;
}

namespace pelmora::exchange {

// Stages of a work item.
inline constexpr std::uint8_t StageDatabase = 0;   // collected from the database, nothing written
inline constexpr std::uint8_t StageSourceFile = 1; // source XML file found in the work directory
inline constexpr std::uint8_t StageTargetFile = 2; // target XML file found in the work directory

// The head of every work item; a queue's record adds the texts that identify
// its record (all key values are held as text).
struct WorkItem {
    virtual ~WorkItem() = default;

    std::uint8_t Stage = StageDatabase;
    // Bare name of the item's current XML file in the work directory; empty
    // for a stage 0 item until its export.
    std::string FileName;
};

class TObjectListQueue {
public:
    // `main` gives the log, the progress calls, the stop flag, the run
    // configuration and the shared operations; it must outlive the queue.
    explicit TObjectListQueue(app::TDM_Main& main) : main_(main) {}
    virtual ~TObjectListQueue() = default;
    TObjectListQueue(const TObjectListQueue&) = delete;
    TObjectListQueue& operator=(const TObjectListQueue&) = delete;

    db::Connection* CrmConnection = nullptr; // CRM_Connection, set by the driver; not owned
    db::Connection* ErpConnection = nullptr; // ERP_Connection, set by the driver; not owned
    // Kind of sales document handled; set by the driver for the sales queues.
    app::t_zlecenie_sp DocumentKind = app::zsUnDef;
    // Kind of warehouse document handled; set by the driver for the warehouse queues.
    app::t_dokument_mag WarehouseKind = app::dmUnDef;
    // The queue's entry of ObjectRules.xml.
    TQueueObjectRules Rules;
    // The run's compiled style sheets, owned by the driver; null: the queue
    // keeps its own for its Process call.
    core::TStylesheetCache* StyleSheets = nullptr;

    // Runs the queue to its end or to a stop; the base does nothing.
    virtual void Process() {}

    app::TDM_Main& Main() const { return main_; }

protected:
    core::TLog& Log() const;
    app::TProgress& Progress() const;
    // Lets the front end handle its waiting events (repaints, the Stop button).
    void ProcessEvents() const;
    // The operator asked the run to stop.
    bool StopRequested() const;

private:
    app::TDM_Main& main_;
};

// Creates a queue of one class; the build table of the driver holds one per
// queue class that this build has.
using QueueFactory = std::unique_ptr<TObjectListQueue> (*)(app::TDM_Main& main);

// The factory of queue class Q (constructible from a TDM_Main&).
template <class Q> std::unique_ptr<TObjectListQueue> MakeQueue(app::TDM_Main& main) {
    return std::make_unique<Q>(main);
}

} // namespace pelmora::exchange
