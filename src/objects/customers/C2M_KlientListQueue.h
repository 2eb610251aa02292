#pragma once
// The customer queue: every customer whose CRM name, address or tax number
// differ from its ERP contractor has the CRM values written into the
// contractor. Unlike the other queues it passes no exchange files: one query
// compares the two databases (TDM_Main::Q_ZmianaDanychKlienta) and each row
// becomes one update of the ERP (TDM_Klient::Q_UpdateKontrahent). A customer
// stays selected as long as its data differ, so an update that did not happen
// is repeated by the next run.

#include "exchange/ObjectListQueue.h"

#include <string>
#include <vector>

namespace pelmora::objects {

// Longest name that goes whole into Knt_Nazwa1, in characters.
inline constexpr size_t KontrahentNazwa1Length = 50;

// One customer that differs: the columns of one row of the comparison, in the
// order of its select list, each as text (a NULL column as the empty text).
struct RObiektKlient : exchange::WorkItem {
    std::string CUS_GUID;
    std::string Knt_KntId;
    std::string CUS_LONG_NAME;
    std::string ADR_CITY;
    std::string ADR_POSTALCODE;
    std::string ADR_STREET;
    std::string ADR_HOUSENUMBER;
    std::string CUS_TAX_NUMBER;
};

// The two parts of a contractor's name: up to 50 characters (not bytes) whole
// in `nazwa` with `nazwa2` empty; a longer name's first 50 characters in
// `nazwa`, the rest from character 51 on in `nazwa2`. Nothing is trimmed here.
void SplitKontrahentName(const std::string& name, std::string& nazwa, std::string& nazwa2);

class TC2M_KlientListQueue : public exchange::TObjectListQueue {
public:
    explicit TC2M_KlientListQueue(app::TDM_Main& main) : TObjectListQueue(main) {}

    // The items of the current Process call, in the order the query gave them.
    std::vector<RObiektKlient> Items;
    // Number of items that came from the database (all of them).
    int DatabaseItemCount = 0;

    // Collects the customers that differ, then updates their contractors one
    // by one; a stop request is seen after every row and every item.
    void Process() override;

    // One item per row of Q_ZmianaDanychKlienta; false when a stop was
    // requested after a row or the query failed (its cause is logged).
    bool CollectFromDatabase();
    // Writes the item's values, split and trimmed, into its contractor with
    // Q_UpdateKontrahent; false on any failure (its cause is logged).
    bool UpdateKontrahent(const RObiektKlient& item);
};

} // namespace pelmora::objects
