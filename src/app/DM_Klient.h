#pragma once
// Data module with the customer queries; they run on the connections of TDM_Main.
// Created at start-up after TDM_Main, destroyed before it.

#include "db/Query.h"

namespace pelmora::app {

class TDM_Main;

class TDM_Klient {
public:
    explicit TDM_Klient(TDM_Main& main);
    // Closes the module's queries.
    ~TDM_Klient();
    TDM_Klient(const TDM_Klient&) = delete;
    TDM_Klient& operator=(const TDM_Klient&) = delete;

    TDM_Main& Main() const { return main_; }

    // Writes a customer's CRM values into its ERP contractor, on ERP_Connection.
    // Parameters: Nazwa, Nazwa2, Miasto, Ulica, NumerDomu (wide texts), Kod,
    // NIP (texts), KontrahentId (integer).
    db::Query Q_UpdateKontrahent;

private:
    void CloseQueries();

    TDM_Main& main_; // owner of the connections
};

// The one TDM_Klient of the program; raises std::logic_error when none exists.
TDM_Klient& DM_Klient();
// True while a TDM_Klient exists.
bool DM_KlientExists();

} // namespace pelmora::app
