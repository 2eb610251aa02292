#include "exchange/ExchangeListQueue.h"

#include "app/DM_Main.h"
#include "core/Log.h"
#include "core/StylesheetCache.h"
#include "core/Text.h"
#include "core/TransformationObject.h"
#include "db/Query.h"

#include <algorithm>
#include <exception>
#include <functional>
#include <system_error>

namespace pelmora::exchange {

namespace fs = std::filesystem;

namespace {

constexpr const char* MsgDatabaseStart = "Rozpoczęcie zbierania obiektów z bazy danych";
constexpr const char* MsgDatabaseEnd = "Zakończenie zbierania obiektów z bazy danych";
constexpr const char* MsgFilesStart =
    "Rozpoczęcie zbierania obiektów z plików z katalogu roboczego";
constexpr const char* MsgFilesEnd = "Zakończenie zbierania obiektów z plików z katalogu roboczego";
constexpr const char* MsgItemCount = "Liczba elementów: %d";
// The database refused the collection query: the cause, so the operator sees why.
constexpr const char* MsgDatabaseFailed = "Błąd zbierania obiektów z bazy danych:\r\n   %s";
// The work directory cannot be listed: nothing is collected or written.
constexpr const char* MsgNoWorkDirectory =
    "Brak katalogu roboczego:\r\n   %s\r\nPrzetwarzanie obiektu przerwane";
// A rules entry without the file names of its direction: files written under
// an empty name would never be found again, so the queue does not run.
constexpr const char* MsgNoFileNames =
    "Brak nazw plików wymiany obiektu %s w pliku konfiguracyjnym\r\nPrzetwarzanie obiektu "
    "przerwane";

// Separates the rule name from the GUID in an exchange file name.
constexpr const char* FileNameSeparator = "__";
// Ending of the exchange files (matched without regard to case when listing).
constexpr std::string_view XmlExtension = ".xml";

// Whether `name` contains the rule name; an empty rule name matches nothing.
bool ContainsRuleName(const std::string& name, const std::string& ruleName) {
    return !ruleName.empty() && name.find(ruleName) != std::string::npos;
}

bool HasXmlExtension(const std::string& name) {
    return name.size() >= XmlExtension.size() &&
           core::SameText(std::string_view(name).substr(name.size() - XmlExtension.size()),
                          XmlExtension);
}

bool AllEmpty(const TItemKey& key) {
    return std::all_of(key.begin(), key.end(), [](const std::string& s) { return s.empty(); });
}

} // namespace

std::size_t ItemKeyHash::operator()(const TItemKey& key) const noexcept {
    std::size_t h = key.size();
    for (const std::string& text : key)
        h ^= std::hash<std::string>{}(text) + 0x9e3779b97f4a7c15ull + (h << 6) + (h >> 2);
    return h;
}

TExchangeListQueue::TExchangeListQueue(app::TDM_Main& main, TQueueDirection direction)
    : TObjectListQueue(main), direction_(direction) {}

TExchangeListQueue::~TExchangeListQueue() = default;

const std::string& TExchangeListQueue::SourceName() const {
    return direction_ == ErpToCrm ? Rules.ERPLoadName : Rules.CRMLoadName;
}

const std::string& TExchangeListQueue::TargetName() const {
    return direction_ == ErpToCrm ? Rules.CRMSaveName : Rules.ERPSaveName;
}

const std::string& TExchangeListQueue::StyleSheetName() const {
    return direction_ == ErpToCrm ? Rules.TransERPtoCRMName : Rules.TransCRMtoERPName;
}

db::Connection* TExchangeListQueue::SourceConnection() const {
    return direction_ == ErpToCrm ? ErpConnection : CrmConnection;
}

db::Connection* TExchangeListQueue::TargetConnection() const {
    return direction_ == ErpToCrm ? CrmConnection : ErpConnection;
}

fs::path TExchangeListQueue::WorkDirectory() const {
    return fs::path(Main().SettingsFile().WorkDirectory);
}

fs::path TExchangeListQueue::FilePath(const std::string& fileName) const {
    return WorkDirectory() / fileName;
}

std::string TExchangeListQueue::NewFileName(const std::string& name) const {
    std::string guid;
    if (!Main().NewFileGuid(guid) || guid.empty())
        return {};
    return name + FileNameSeparator + guid + std::string(XmlExtension);
}

std::string TExchangeListQueue::CollectionStartText() const {
    return MsgDatabaseStart;
}

bool TExchangeListQueue::CollectItems() {
    Items.clear();
    DatabaseItemCount = 0;
    databaseKeys_.clear();
    db::Query* query = SelectQuery();
    if (query == nullptr)
        return false;
    if (SourceName().empty() || TargetName().empty()) {
        Log().AddError(core::Format(MsgNoFileNames, {Rules.ObjectName}));
        return false;
    }
    return CollectFromDatabase(*query) && CollectFromWorkDirectory();
}

void TExchangeListQueue::Process() {
    if (SelectQuery() == nullptr)
        return; // a kind this queue does not serve
    ownStyleSheets_.reset();
    if (!CollectItems()) {
        // The summary then counts this queue's nothing, not the previous queue's items.
        Progress().StartElementProgress(0);
        return;
    }

    Progress().StartElementProgress(static_cast<int>(Items.size()));
    for (size_t i = 0; i < Items.size(); ++i) {
        WorkItem& item = *Items[i];
        Progress().ShowElement(static_cast<int>(i + 1));
        bool ok = false;
        try {
            switch (item.Stage) {
            case StageDatabase:
                ok = RunFromDatabase(item);
                break;
            case StageSourceFile:
                ok = RunFromSourceFile(item);
                break;
            case StageTargetFile:
                ok = ImportTarget(item);
                if (ok)
                    DeleteWorkFile(item.FileName);
                break;
            default:
                break;
            }
        } catch (...) {
            ok = false;
        }
        if (ok)
            Progress().ElementProcessed();
        else
            Progress().ElementNotProcessed();
        Progress().StepElement();
        ProcessEvents();
        if (StopRequested())
            break;
    }
}

bool TExchangeListQueue::CollectFromDatabase(db::Query& query) {
    Log().AddInfo(CollectionStartText());
    try {
        query.Close();
        query.Open();
        query.First();
        while (!query.Eof()) {
            std::unique_ptr<WorkItem> item = NewItem();
            item->Stage = StageDatabase;
            ReadItemRow(query, *item);
            Items.push_back(std::move(item));
            query.Next();
            ProcessEvents();
            if (StopRequested())
                return false;
        }
    } catch (const std::exception& e) {
        Log().AddError(core::Format(MsgDatabaseFailed, {core::Trim(e.what())}));
        return false;
    } catch (...) {
        return false;
    }
    DatabaseItemCount = static_cast<int>(Items.size());
    Log().AddInfo(core::Format(MsgItemCount, {DatabaseItemCount}));
    Log().AddInfo(MsgDatabaseEnd);
    return true;
}

void TExchangeListQueue::IndexDatabaseItems() {
    databaseKeys_.clear();
    const int count = std::min(DatabaseItemCount, static_cast<int>(Items.size()));
    databaseKeys_.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        databaseKeys_.insert(DatabaseKeyOf(*Items[static_cast<size_t>(i)]));
}

bool TExchangeListQueue::IsDatabaseItem(const TItemKey& key) {
    ProcessEvents();
    if (StopRequested())
        return false;
    if (AllEmpty(key))
        return false;
    return databaseKeys_.contains(key);
}

bool TExchangeListQueue::CollectFromWorkDirectory() {
    Log().AddInfo(MsgFilesStart);
    const fs::path dir = WorkDirectory();
    std::vector<std::string> names;
    try {
        std::error_code ec;
        fs::directory_iterator it(dir, ec);
        if (ec || !fs::is_directory(dir)) {
            Log().AddError(core::Format(MsgNoWorkDirectory, {dir.string()}));
            return false;
        }
        for (const fs::directory_entry& entry : it) {
            std::error_code typeError;
            if (!entry.is_regular_file(typeError))
                continue;
            std::string name = entry.path().filename().string();
            if (HasXmlExtension(name))
                names.push_back(std::move(name));
        }
    } catch (...) {
        Log().AddError(core::Format(MsgNoWorkDirectory, {dir.string()}));
        return false;
    }
    // Name order, so the order of the file items does not depend on the file system.
    std::sort(names.begin(), names.end());

    IndexDatabaseItems();
    int added = 0;
    for (const std::string& name : names) {
        if (ContainsRuleName(name, SourceName()) && CollectFile(name, StageSourceFile))
            ++added;
        if (ContainsRuleName(name, TargetName()) && CollectFile(name, StageTargetFile))
            ++added;
        ProcessEvents();
        if (StopRequested())
            return false;
    }
    Log().AddInfo(core::Format(MsgItemCount, {added}));
    Log().AddInfo(MsgFilesEnd);
    return true;
}

bool TExchangeListQueue::CollectFile(const std::string& name, std::uint8_t stage) {
    // The file may be gone: deleted above as the source file of a database item.
    std::error_code ec;
    if (!fs::is_regular_file(FilePath(name), ec))
        return false;
    std::unique_ptr<WorkItem> item = NewItem();
    item->Stage = stage;
    item->FileName = name;
    TItemKey key;
    try {
        const bool source = stage == StageSourceFile;
        std::unique_ptr<TInterfaceObject> object = source ? NewSourceObject() : NewTargetObject();
        object->Connection = source ? SourceConnection() : TargetConnection();
        object->XmlFilePath = FilePath(name).string();
        object->LoadFromXML(); // a file it cannot read leaves the key empty
        key = source ? SourceKeyOf(*object) : TargetKeyOf(*object);
    } catch (...) {
        key.clear();
    }
    if (IsDatabaseItem(key)) {
        // The record is pending again: it goes through the whole chain afresh.
        DeleteWorkFile(name);
        return false;
    }
    Items.push_back(std::move(item));
    return true;
}

bool TExchangeListQueue::ExportSource(WorkItem& item) {
    try {
        std::unique_ptr<TInterfaceObject> source = NewSourceObject();
        source->Connection = SourceConnection();
        SetSourceKeys(item, *source);
        item.FileName = NewFileName(SourceName());
        if (item.FileName.empty())
            return false;
        source->XmlFilePath = FilePath(item.FileName).string();
        if (!source->LoadFromDB())
            return false;
        if (!source->SaveToXML())
            return false;
        return AfterExportOf(item);
    } catch (...) {
        return false;
    }
}

core::TStylesheetCache& TExchangeListQueue::StyleSheetCache() {
    if (StyleSheets != nullptr)
        return *StyleSheets;
    if (!ownStyleSheets_)
        ownStyleSheets_ = std::make_unique<core::TStylesheetCache>();
    return *ownStyleSheets_;
}

bool TExchangeListQueue::TransformSource(WorkItem& item) {
    try {
        const app::TSettings* settings = Main().Settings.get();
        core::TTransformationObject transformation(
            Log(), WorkDirectory(), settings ? fs::path(settings->TransforSubDir) : fs::path(),
            StyleSheetCache());
        transformation.SourceName = item.FileName;
        transformation.StyleSheetName = StyleSheetName();
        item.FileName = NewFileName(TargetName());
        if (item.FileName.empty())
            return false;
        transformation.TargetName = item.FileName;
        return transformation.Transform();
    } catch (...) {
        return false;
    }
}

bool TExchangeListQueue::ImportTarget(WorkItem& item) {
    try {
        // LoadFromXML reads nothing from a missing file and succeeds, so the
        // target would write an empty record: the file of a name with both
        // rule names is gone once its stage 1 item has run.
        std::error_code ec;
        if (item.FileName.empty() || !fs::is_regular_file(FilePath(item.FileName), ec))
            return false;
        std::unique_ptr<TInterfaceObject> target = NewTargetObject();
        target->Connection = TargetConnection();
        target->XmlFilePath = FilePath(item.FileName).string();
        return target->LoadFromXML() && target->SaveToDB();
    } catch (...) {
        return false;
    }
}

bool TExchangeListQueue::RunFromDatabase(WorkItem& item) {
    if (!ExportSource(item))
        return false;
    ProcessEvents();
    if (StopRequested())
        return false; // the source file stays
    return TransformAndImport(item);
}

bool TExchangeListQueue::RunFromSourceFile(WorkItem& item) {
    return TransformAndImport(item);
}

bool TExchangeListQueue::TransformAndImport(WorkItem& item) {
    const std::string sourceFile = item.FileName;
    if (!TransformSource(item))
        return false; // the source file stays
    DeleteWorkFile(sourceFile);
    ProcessEvents();
    if (StopRequested())
        return false; // the target file stays
    if (!ImportTarget(item))
        return false; // the target file stays
    DeleteWorkFile(item.FileName);
    return true;
}

void TExchangeListQueue::DeleteWorkFile(const std::string& fileName) const {
    if (fileName.empty())
        return;
    std::error_code ec; // a failed delete is not checked
    fs::remove(FilePath(fileName), ec);
}

} // namespace pelmora::exchange
