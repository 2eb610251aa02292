#pragma once
// The processing driver: one run of the program is one life of a TQueue. It
// turns the run's set of object kinds into queues in the fixed order of the
// build table, gives every queue its entry of ObjectRules.xml, and runs the
// queues one after another, reporting progress and ending early when the
// operator asks to stop. While it runs it holds the work directory's lock, so
// that no other run works on the same exchange files and identifier ranges.
//
//   TQueue queue(dm);
//   queue.ObjectList = dm.SettingsFile().ObjectList;
//   queue.Run();

#include "app/DocumentKinds.h"
#include "app/SettingsFile.h"
#include "core/StylesheetCache.h"
#include "exchange/ObjectListQueue.h"

#include <memory>
#include <span>
#include <string>
#include <vector>

namespace pelmora::app {

class TDM_Main;

// The rules file in the settings' XMLSubDir.
inline constexpr const char* RulesFileName = "ObjectRules.xml";
// Registry entries stamped with the date of a run of the ERP warehouse queues.
inline constexpr const char* StampNameWZ = "interfejs_wymiana_dokument_wz";
inline constexpr const char* StampNameMM = "interfejs_wymiana_dokument_mm";

// One row of the build table: a queue of class QueueClass, with its kind,
// built when Bit is in the run's set, with the rules of entry RulesEntry.
struct TQueueBuildRow {
    TObjectListSet Bit;
    const char* ObjectListName; // the name of Bit in the object list
    const char* QueueClass;     // class name of the queue
    // The class's factory; it gives none while this build lacks the class
    // (QueueFactories.h).
    exchange::QueueFactory (*Factory)();
    t_zlecenie_sp DocumentKind;   // for the sales queues, otherwise zsUnDef
    t_dokument_mag WarehouseKind; // for the warehouse queues, otherwise dmUnDef
    const char* RulesEntry;       // entry name in ObjectRules.xml (matched ignoring case)
};

// The build table, in build order.
std::span<const TQueueBuildRow> QueueBuildTable();

class TQueue {
public:
    // An empty queue list; `main` must outlive the TQueue.
    explicit TQueue(TDM_Main& main);
    virtual ~TQueue();
    TQueue(const TQueue&) = delete;
    TQueue& operator=(const TQueue&) = delete;

    // The queues of this run, in build order.
    std::vector<std::unique_ptr<exchange::TObjectListQueue>> Queues;
    // The kinds to process (bits of SettingsFile.h); copied in before the run.
    TObjectListSet ObjectList = 0;
    // Full path of ObjectRules.xml once FindRulesFile has found it.
    std::string RulesFilePath;

    // Locks the work directory, builds the queues and runs them in order: for
    // each, ShowObjectName, Process, ObjectFinished; after a stop the warning
    // "Proces przetwarzania przerwany" ends the run, otherwise the queue's
    // date stamp follows. A work directory that another run holds (or that
    // cannot be locked) gets an error entry and nothing is processed.
    void Run();
    // RulesFilePath := XMLSubDir/ObjectRules.xml when that file exists;
    // otherwise an error entry and false.
    bool FindRulesFile();
    // The queues of the rows whose bit is in ObjectList, each with its own
    // rules entry read afresh; a queue whose ObjectName is empty is left out
    // with an error entry, a row whose class this build lacks with an info
    // entry. False (nothing built) when the rules file is missing.
    bool BuildQueues();
    // The registry date stamp for the object names "ERP_WydanieZMagazynu" and
    // "ERP_PrzesuniecieMM" (exactly); nothing for other names.
    void StampExchangeDate(const std::string& objectName);

protected:
    // The factory of a row's queue class; none when this build lacks it.
    // The default asks the row.
    virtual exchange::QueueFactory FactoryOf(const TQueueBuildRow& row) const;

private:
    // Reads the rules of `entry` from RulesFilePath with a new serializer.
    void ReadRules(const std::string& entry, exchange::TQueueObjectRules& rules);

    TDM_Main& main_;
    core::TStylesheetCache styleSheets_; // compiled style sheets of this run, for every queue
};

} // namespace pelmora::app
