#include "app/ProgramModules.h"

namespace pelmora::app {

ProgramModules::ProgramModules(const StartupOptions& options)
    : main_(std::make_unique<TDM_Main>(options)), produkt_(std::make_unique<TDM_Produkt>(*main_)),
      stanMagazyn_(std::make_unique<TDM_StanMagazyn>(*main_)),
      zlecenieSP_(std::make_unique<TDM_ZlecenieSP>(*main_)),
      dokumentMag_(std::make_unique<TDM_DokumentMag>(*main_)),
      cennik_(std::make_unique<TDM_Cennik>(*main_)), klient_(std::make_unique<TDM_Klient>(*main_)),
      naleznosc_(std::make_unique<TDM_Naleznosc>(*main_)) {}

ProgramModules::~ProgramModules() {
    // Last created, first destroyed; TDM_Main's shutdown comes last.
    naleznosc_.reset();
    klient_.reset();
    cennik_.reset();
    dokumentMag_.reset();
    zlecenieSP_.reset();
    stanMagazyn_.reset();
    produkt_.reset();
    main_.reset();
}

} // namespace pelmora::app
