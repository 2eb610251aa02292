#include "app/Queue.h"

#include "app/DM_Main.h"
#include "app/QueueFactories.h"
#include "app/WorkDirectoryLock.h"
#include "core/Log.h"
#include "core/SystemFormats.h"
#include "core/Text.h"
#include "core/XMLSerializer.h"

#include <exception>
#include <filesystem>
#include <system_error>

namespace pelmora::app {

namespace fs = std::filesystem;

namespace {

constexpr const char* MsgNoRulesFile = "Brak pliku konfiguracyjnego zasad przetwarzania:\r\n   "
                                       "%s\r\nPrzetwarzanie danych przerwane.";
constexpr const char* MsgNoRules =
    "Brak parametrów obiektu %s w pliku konfiguracyjnym %s\r\nPrzetwarzanie obiektu przerwane";
constexpr const char* MsgStopped = "Proces przetwarzania przerwany";
// A row whose queue class this build lacks: the object kind, the class and the entry.
constexpr const char* MsgNoQueueClass =
    "Obiekt %s nie jest obsługiwany w tej wersji programu: brak kolejki %s (zasady %s)";
// The rules file is there but cannot be read: the path and the cause.
constexpr const char* MsgRulesUnreadable =
    "Błąd odczytu pliku konfiguracyjnego zasad przetwarzania:\r\n   %s\r\n   %s";
// The work-directory lock, when the run cannot take it.
constexpr const char* MsgDirectoryHeld =
    "Katalog roboczy jest używany przez inny proces przetwarzania:\r\n   %s\r\nPrzetwarzanie "
    "danych przerwane.";
constexpr const char* MsgNoWorkDirectory =
    "Brak katalogu roboczego:\r\n   %s\r\nPrzetwarzanie danych przerwane.";
constexpr const char* MsgLockFailed = "Nie można zablokować katalogu roboczego:\r\n   %s\r\n   "
                                      "%s\r\nPrzetwarzanie danych przerwane.";

// Object names whose runs are stamped into the registry.
constexpr const char* StampObjectWZ = "ERP_WydanieZMagazynu";
constexpr const char* StampObjectMM = "ERP_PrzesuniecieMM";

// NOTE: the one build table of the driver; the queues are built in this order.
constexpr TQueueBuildRow BuildTable[] = {
    {ERP_Produkt, "ERP_Produkt", "TM2CProduktListQueue", M2CProduktListQueueFactory, zsUnDef,
     dmUnDef, "ERP_Produkt"},
    {ERP_Produkt, "ERP_Produkt", "TM2CJednostkaListQueue", M2CJednostkaListQueueFactory, zsUnDef,
     dmUnDef, "ERP_Jednostka"},
    {ERP_Klient, "ERP_Klient", "TC2M_KlientListQueue", C2M_KlientListQueueFactory, zsUnDef, dmUnDef,
     "ERP_StanMagazynowy"},
    {CRM_Zamowienie, "CRM_Zamowienie", "TC2MZlecenieSPListQueue", C2MZlecenieSPListQueueFactory,
     zsZamowienie, dmUnDef, "CRM_Zamowienie"},
    {CRM_Faktura, "CRM_Faktura", "TC2MZlecenieSPListQueue", C2MZlecenieSPListQueueFactory,
     zsFaktura, dmUnDef, "CRM_Faktura"},
    {ERP_Faktura, "ERP_Faktura", "TM2CZlecenieSPListQueue", M2CZlecenieSPListQueueFactory,
     zsFaktura, dmUnDef, "ERP_Faktura"},
    {ERP_Faktura, "ERP_Faktura", "TM2CZlecenieSPListQueue", M2CZlecenieSPListQueueFactory,
     zsKorektaFaktury, dmUnDef, "ERP_FakturaKorygujaca"},
    {CRM_KasaPrzyjela, "CRM_KasaPrzyjela", "TC2MZlecenieSPListQueue", C2MZlecenieSPListQueueFactory,
     zsKasaPrzyjela, dmUnDef, "CRM_KasaPrzyjela"},
    {ERP_Naleznosc, "ERP_Naleznosc", "TM2CNaleznoscListQueue", M2CNaleznoscListQueueFactory,
     zsUnDef, dmUnDef, "ERP_Naleznosc"},
    {CRM_WydanieZMagazynu, "CRM_WydanieZMagazynu", "TM2CDokMagEXIDListQueue",
     M2CDokMagEXIDListQueueFactory, zsUnDef, dmWydanieZMagazynu, "ERP_EXID_WydanieZMagazynu"},
    {CRM_WydanieZMagazynu, "CRM_WydanieZMagazynu", "TC2MDokMagListQueue", C2MDokMagListQueueFactory,
     zsUnDef, dmWydanieZMagazynu, "CRM_WydanieZMagazynu"},
    {ERP_WydanieZMagazynu, "ERP_WydanieZMagazynu", "TM2CZlecenieSPEXIDListQueue",
     M2CZlecenieSPEXIDListQueueFactory, zsFaktura, dmUnDef, "ERP_EXID_Faktura"},
    {ERP_WydanieZMagazynu, "ERP_WydanieZMagazynu", "TM2CDokMagListQueue", M2CDokMagListQueueFactory,
     zsUnDef, dmWydanieZMagazynu, "ERP_WydanieZMagazynu"},
    {CRM_Zatowarowanie, "CRM_Zatowarowanie", "TM2CDokMagEXIDListQueue",
     M2CDokMagEXIDListQueueFactory, zsUnDef, dmZatowarowanie, "ERP_EXID_Zatowarowanie"},
    {CRM_Zatowarowanie, "CRM_Zatowarowanie", "TC2MDokMagListQueue", C2MDokMagListQueueFactory,
     zsUnDef, dmZatowarowanie, "CRM_Zatowarowanie"},
    {ERP_PrzesuniecieMM, "ERP_PrzesuniecieMM", "TM2CDokMagListQueue", M2CDokMagListQueueFactory,
     zsUnDef, dmPrzyjecieMM, "ERP_PrzesuniecieMM"},
    {CRM_Reklamacja, "CRM_Reklamacja", "TM2CDokMagEXIDListQueue", M2CDokMagEXIDListQueueFactory,
     zsUnDef, dmReklamacja, "ERP_EXID_Reklamacja"},
    {CRM_Reklamacja, "CRM_Reklamacja", "TC2MDokMagListQueue", C2MDokMagListQueueFactory, zsUnDef,
     dmReklamacja, "CRM_Reklamacja"},
};

} // namespace

std::span<const TQueueBuildRow> QueueBuildTable() {
    return BuildTable;
}

TQueue::TQueue(TDM_Main& main) : main_(main) {}

TQueue::~TQueue() = default;

exchange::QueueFactory TQueue::FactoryOf(const TQueueBuildRow& row) const {
    return row.Factory ? row.Factory() : nullptr;
}

bool TQueue::FindRulesFile() {
    const TSettings* settings = main_.Settings.get();
    const fs::path path = (settings ? fs::path(settings->XMLSubDir) : fs::path()) / RulesFileName;
    std::error_code ec;
    if (settings && fs::is_regular_file(path, ec)) {
        RulesFilePath = path.string();
        return true;
    }
    main_.Log().AddError(core::Format(MsgNoRulesFile, {path.string()}));
    return false;
}

void TQueue::ReadRules(const std::string& entry, exchange::TQueueObjectRules& rules) {
    try {
        std::unique_ptr<core::TXMLSerializer> serializer = main_.CreateSerializer();
        serializer->LoadFromFile(RulesFilePath);
        serializer->LoadObject(&rules, entry);
    } catch (const std::exception& e) {
        // Whatever was read is dropped: the queue then has no rules.
        rules.ObjectName.clear();
        main_.Log().AddError(
            core::Format(MsgRulesUnreadable, {RulesFilePath, core::Trim(e.what())}));
    }
}

bool TQueue::BuildQueues() {
    if (!FindRulesFile())
        return false;
    for (const TQueueBuildRow& row : QueueBuildTable()) {
        if ((ObjectList & row.Bit) == 0)
            continue;
        const exchange::QueueFactory factory = FactoryOf(row);
        if (factory == nullptr) {
            main_.Log().AddInfo(core::Format(MsgNoQueueClass,
                                             {row.ObjectListName, row.QueueClass, row.RulesEntry}));
            continue;
        }
        std::unique_ptr<exchange::TObjectListQueue> queue = factory(main_);
        queue->CrmConnection = &main_.CRM_Connection;
        queue->ErpConnection = &main_.ERP_Connection;
        queue->DocumentKind = row.DocumentKind;
        queue->WarehouseKind = row.WarehouseKind;
        queue->StyleSheets = &styleSheets_;
        ReadRules(row.RulesEntry, queue->Rules);
        if (queue->Rules.ObjectName.empty()) {
            main_.Log().AddError(core::Format(MsgNoRules, {row.RulesEntry, RulesFilePath}));
            continue;
        }
        Queues.push_back(std::move(queue));
    }
    return true;
}

void TQueue::Run() {
    const TWorkDirectoryLock lock(main_.SettingsFile().WorkDirectory);
    switch (lock.Outcome()) {
    case TWorkDirectoryLock::Result::Locked:
        break;
    case TWorkDirectoryLock::Result::HeldByOther:
        main_.Log().AddError(core::Format(MsgDirectoryHeld, {main_.SettingsFile().WorkDirectory}));
        return;
    case TWorkDirectoryLock::Result::NoDirectory:
        main_.Log().AddError(
            core::Format(MsgNoWorkDirectory, {main_.SettingsFile().WorkDirectory}));
        return;
    case TWorkDirectoryLock::Result::Failed:
        main_.Log().AddError(
            core::Format(MsgLockFailed, {lock.LockFilePath().string(), lock.Cause()}));
        return;
    }

    BuildQueues(); // with no rules file the list is simply empty
    TProgress& progress = main_.Progress();
    progress.StartObjectProgress(static_cast<int>(Queues.size()));
    for (const std::unique_ptr<exchange::TObjectListQueue>& queue : Queues) {
        const std::string name = queue->Rules.ObjectName;
        progress.ShowObjectName(name);
        queue->Process();
        progress.ObjectFinished(name);
        if (main_.StopRequested) {
            main_.Log().AddWarning(MsgStopped);
            return;
        }
        StampExchangeDate(name);
    }
}

void TQueue::StampExchangeDate(const std::string& objectName) {
    const char* entry = nullptr;
    if (objectName == StampObjectWZ)
        entry = StampNameWZ;
    else if (objectName == StampObjectMM)
        entry = StampNameMM;
    if (entry == nullptr)
        return;
    // WriteRegistryValue reports nothing; a missing entry is not created.
    main_.WriteRegistryValue(entry, core::DateToStr(core::Now()));
}

} // namespace pelmora::app
