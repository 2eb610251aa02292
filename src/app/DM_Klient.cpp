#include "app/DM_Klient.h"

#include "app/DM_Main.h"

#include <stdexcept>

namespace pelmora::app {

namespace {

// The TDM_Klient that exists now; null before start-up and after shutdown.
TDM_Klient* g_instance = nullptr;

} // namespace

TDM_Klient::TDM_Klient(TDM_Main& main)
    : Q_UpdateKontrahent(
          main.ERP_Connection,
          db::SqlLines({"update CDN.Kontrahenci ", "set", "Knt_Nazwa1=:Nazwa,",
                        "Knt_Nazwa2=:Nazwa2,", "Knt_Miasto=:Miasto,", "Knt_KodPocztowy=:Kod,",
                        "Knt_Ulica=:Ulica,", "Knt_NrDomu=:NumerDomu,", "Knt_NipE=:NIP",
                        "where Knt_KntId=:KontrahentId"})),
      main_(main) {
    g_instance = this;
}

TDM_Klient::~TDM_Klient() {
    CloseQueries();
    if (g_instance == this)
        g_instance = nullptr;
}

void TDM_Klient::CloseQueries() {
    Q_UpdateKontrahent.Close();
}

TDM_Klient& DM_Klient() {
    if (!g_instance)
        throw std::logic_error("TDM_Klient does not exist");
    return *g_instance;
}

bool DM_KlientExists() {
    return g_instance != nullptr;
}

} // namespace pelmora::app
