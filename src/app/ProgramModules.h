#pragma once
// The data modules of the program, created in the program entry's order
// (TDM_Main first, whose creation is the start-up) and destroyed in the
// reverse order (TDM_Main last, whose destruction is the shutdown).

#include "app/DM_Cennik.h"
#include "app/DM_DokumentMag.h"
#include "app/DM_Klient.h"
#include "app/DM_Main.h"
#include "app/DM_Naleznosc.h"
#include "app/DM_Produkt.h"
#include "app/DM_StanMagazyn.h"
#include "app/DM_ZlecenieSP.h"

#include <memory>

namespace pelmora::app {

class ProgramModules {
public:
    // TDM_Main, TDM_Produkt, TDM_StanMagazyn, TDM_ZlecenieSP, TDM_DokumentMag,
    // TDM_Cennik, TDM_Klient, TDM_Naleznosc.
    explicit ProgramModules(const StartupOptions& options = {});
    ~ProgramModules();
    ProgramModules(const ProgramModules&) = delete;
    ProgramModules& operator=(const ProgramModules&) = delete;

    TDM_Main& Main() { return *main_; }
    TDM_Produkt& Produkt() { return *produkt_; }
    TDM_StanMagazyn& StanMagazyn() { return *stanMagazyn_; }
    TDM_ZlecenieSP& ZlecenieSP() { return *zlecenieSP_; }
    TDM_DokumentMag& DokumentMag() { return *dokumentMag_; }
    TDM_Cennik& Cennik() { return *cennik_; }
    TDM_Klient& Klient() { return *klient_; }
    TDM_Naleznosc& Naleznosc() { return *naleznosc_; }

private:
    std::unique_ptr<TDM_Main> main_;
    std::unique_ptr<TDM_Produkt> produkt_;
    std::unique_ptr<TDM_StanMagazyn> stanMagazyn_;
    std::unique_ptr<TDM_ZlecenieSP> zlecenieSP_;
    std::unique_ptr<TDM_DokumentMag> dokumentMag_;
    std::unique_ptr<TDM_Cennik> cennik_;
    std::unique_ptr<TDM_Klient> klient_;
    std::unique_ptr<TDM_Naleznosc> naleznosc_;
};

} // namespace pelmora::app
