#pragma once
// The queue pattern, written once for every queue that passes exchange files.
// A queue first collects its work items: the records its database query
// returns (stage 0) and the XML files an earlier run left in the work
// directory (stage 1: source files, stage 2: target files). It then drives
// every item through the stages: the source object is read from its database
// and written to a source file; the style sheet turns that file into a target
// file; the target object reads it and writes itself to the target database.
// Each file is deleted as soon as the next stage has succeeded, so whatever a
// stop or a failure leaves in the work directory is taken up by the next run
// at the stage where it stopped.
//
// A family's queue supplies only its query, its item keys, its two classes and
// its direction (which picks the rule names):
//
//   struct RObiektProdukt : exchange::WorkItem {
//       std::string QueueId, ObjectId;
//   };
//   class TM2CProduktListQueue
//       : public exchange::TExchangeListQueueOf<RObiektProdukt, TERPProductObject,
//                                               TCRMProductObject, exchange::ErpToCrm> {
//   public:
//       using TExchangeListQueueOf::TExchangeListQueueOf;
//   protected:
//       db::Query* SelectQuery() override;   // null: the kind is not served
//       void ReadRow(const db::Query& row, RObiektProdukt& item) override;
//       exchange::TItemKey ItemKey(const RObiektProdukt& item) const override;
//       void SetExportKeys(const RObiektProdukt& item, TERPProductObject& o) override;
//       exchange::TItemKey SourceKey(const TERPProductObject& o) const override;
//       exchange::TItemKey TargetKey(const TCRMProductObject& o) const override;
//   };

#include "exchange/InterfaceObject.h"
#include "exchange/ObjectListQueue.h"

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <type_traits>
#include <unordered_set>
#include <vector>

namespace pelmora::core {
class TStylesheetCache;
}
namespace pelmora::db {
class Query;
}

namespace pelmora::exchange {

// Which way a queue carries its records; it picks the rule names, the classes'
// sides and the connections.
enum TQueueDirection {
    ErpToCrm, // source ERPLoadName, style sheet TransERPtoCRMName, target CRMSaveName
    CrmToErp, // source CRMLoadName, style sheet TransCRMtoERPName, target ERPSaveName
};

// The key texts that identify a record, compared all together, exactly and
// case-sensitively.
using TItemKey = std::vector<std::string>;

struct ItemKeyHash {
    std::size_t operator()(const TItemKey& key) const noexcept;
};

class TExchangeListQueue : public TObjectListQueue {
public:
    TExchangeListQueue(app::TDM_Main& main, TQueueDirection direction);
    ~TExchangeListQueue() override;

    // The items of the current Process call; the DatabaseItemCount items from
    // the database stand at the front, in query order, then the file items in
    // name order.
    std::vector<std::unique_ptr<WorkItem>> Items;
    int DatabaseItemCount = 0;

    TQueueDirection Direction() const { return direction_; }
    // The rule names of the direction.
    const std::string& SourceName() const;
    const std::string& TargetName() const;
    const std::string& StyleSheetName() const;
    // The connections of the direction.
    db::Connection* SourceConnection() const;
    db::Connection* TargetConnection() const;

    // Runs the queue to its end or to a stop: collect from the database, then
    // from the work directory, then every item by its stage. A failed item
    // never stops the queue. Nothing happens when SelectQuery gives none; after
    // a failed collection the element counters are reset to 0, so the queue's
    // summary does not repeat the previous queue's counts.
    void Process() override;

    // The collection, steps 1 to 3 of Process: Items emptied, then filled from
    // the database and from the work directory. False when the kind is not
    // served, the rules lack the direction's file names (an error entry: a
    // file written under an empty name would never be found again) or a
    // collection failed.
    bool CollectItems();

    // The steps, each true on success; a failure raised inside a step is caught
    // there and turned into false.
    // Appends a stage 0 item per row of `query` (closed and reopened first);
    // a database failure gets an error entry with its cause.
    virtual bool CollectFromDatabase(db::Query& query);
    // Appends a stage 1 item per XML file whose name contains the source name
    // and a stage 2 item per one whose name contains the target name (both
    // for a name that holds both), unless the file's key is that of a
    // database item, in which case the file is deleted.
    bool CollectFromWorkDirectory();
    // Whether `key` is that of one of the DatabaseItemCount database items;
    // no as soon as a stop is requested. A key of empty texts only (a file
    // whose key could not be read) is never a database item.
    bool IsDatabaseItem(const TItemKey& key);
    // Source object from the database into a new source file (FileName).
    virtual bool ExportSource(WorkItem& item);
    // The item's source file through the style sheet into a new target file (FileName).
    virtual bool TransformSource(WorkItem& item);
    // The target object from the item's file into the target database; false
    // when the file is not there (nothing would be read but an empty record).
    virtual bool ImportTarget(WorkItem& item);
    // Stage 0: export, transform, import, deleting each file after the next stage.
    bool RunFromDatabase(WorkItem& item);
    // Stage 1: transform, import, deleting each file after the next stage.
    bool RunFromSourceFile(WorkItem& item);

    // The run configuration's work directory, read afresh at every use.
    std::filesystem::path WorkDirectory() const;
    // The full path of a bare file name in the work directory.
    std::filesystem::path FilePath(const std::string& fileName) const;
    // A new exchange file name: name + "__" + a new GUID in braces + ".xml";
    // empty when no GUID could be made.
    virtual std::string NewFileName(const std::string& name) const;

protected:
    // ---- What a family supplies (TExchangeListQueueOf turns them typed).
    // The query of the queue's kind (with its parameters set); null when the
    // kind is not served. May be asked more than once per Process call.
    virtual db::Query* SelectQuery() = 0;
    // The first line of the database collection.
    virtual std::string CollectionStartText() const;
    virtual std::unique_ptr<WorkItem> NewItem() const = 0;
    virtual void ReadItemRow(const db::Query& row, WorkItem& item) = 0;
    virtual TItemKey DatabaseKeyOf(const WorkItem& item) const = 0;
    virtual std::unique_ptr<TInterfaceObject> NewSourceObject() const = 0;
    virtual std::unique_ptr<TInterfaceObject> NewTargetObject() const = 0;
    virtual void SetSourceKeys(const WorkItem& item, TInterfaceObject& source) = 0;
    virtual TItemKey SourceKeyOf(const TInterfaceObject& source) const = 0;
    virtual TItemKey TargetKeyOf(const TInterfaceObject& target) const = 0;
    // After a successful LoadFromDB and SaveToXML; its result is the export's.
    virtual bool AfterExportOf(WorkItem& item) = 0;

private:
    // Steps 3 to 6 of a stage 0 item: transform, delete the source file,
    // import, delete the target file.
    bool TransformAndImport(WorkItem& item);
    // One work-directory entry as an item of `stage` unless a database item
    // supersedes it (its file then deleted); true when the item was appended.
    bool CollectFile(const std::string& name, std::uint8_t stage);
    // The keys of the database items, indexed once per collection.
    void IndexDatabaseItems();
    void DeleteWorkFile(const std::string& fileName) const;
    core::TStylesheetCache& StyleSheetCache();

    TQueueDirection direction_;
    std::unordered_set<TItemKey, ItemKeyHash> databaseKeys_; // keys of the database items
    std::unique_ptr<core::TStylesheetCache> ownStyleSheets_; // when the driver gave none
};

// The typed form of the pattern: TItem the work-item record, TSource and
// TTarget the exchange classes of the direction's source and target sides.
template <class TItem, class TSource, class TTarget, TQueueDirection Dir>
class TExchangeListQueueOf : public TExchangeListQueue {
    static_assert(std::is_base_of_v<WorkItem, TItem>, "a work item derives from WorkItem");
    static_assert(std::is_base_of_v<TInterfaceObject, TSource> &&
                      std::is_base_of_v<TInterfaceObject, TTarget>,
                  "exchange classes derive from TInterfaceObject");

public:
    explicit TExchangeListQueueOf(app::TDM_Main& main) : TExchangeListQueue(main, Dir) {}

    TItem& Item(int index) const { return static_cast<TItem&>(*Items.at(index)); }

protected:
    // Fills the key texts of a stage 0 item from the current row.
    virtual void ReadRow(const db::Query& row, TItem& item) = 0;
    // The key texts a file's key is compared with.
    virtual TItemKey ItemKey(const TItem& item) const = 0;
    // Copies the item's key texts into the source object's key properties.
    virtual void SetExportKeys(const TItem& item, TSource& source) = 0;
    // The key of a stage 1 file, from the source object that read it.
    virtual TItemKey SourceKey(const TSource& source) const = 0;
    // The key of a stage 2 file, from the target object that read it.
    virtual TItemKey TargetKey(const TTarget& target) const = 0;
    // A follow-up step of the export (the source file has been written).
    virtual bool AfterExport(TItem&) { return true; }

private:
    std::unique_ptr<WorkItem> NewItem() const final { return std::make_unique<TItem>(); }
    void ReadItemRow(const db::Query& row, WorkItem& item) final {
        ReadRow(row, static_cast<TItem&>(item));
    }
    TItemKey DatabaseKeyOf(const WorkItem& item) const final {
        return ItemKey(static_cast<const TItem&>(item));
    }
    std::unique_ptr<TInterfaceObject> NewSourceObject() const final {
        return std::make_unique<TSource>();
    }
    std::unique_ptr<TInterfaceObject> NewTargetObject() const final {
        return std::make_unique<TTarget>();
    }
    void SetSourceKeys(const WorkItem& item, TInterfaceObject& source) final {
        SetExportKeys(static_cast<const TItem&>(item), static_cast<TSource&>(source));
    }
    TItemKey SourceKeyOf(const TInterfaceObject& source) const final {
        return SourceKey(static_cast<const TSource&>(source));
    }
    TItemKey TargetKeyOf(const TInterfaceObject& target) const final {
        return TargetKey(static_cast<const TTarget&>(target));
    }
    bool AfterExportOf(WorkItem& item) final { return AfterExport(static_cast<TItem&>(item)); }
};

} // namespace pelmora::exchange
