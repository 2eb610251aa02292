#include "app/DM_Produkt.h"

namespace pelmora::app {

TDM_Produkt::TDM_Produkt(TDM_Main& main) : main_(main) {}

TDM_Produkt::~TDM_Produkt() {
    CloseQueries();
}

void TDM_Produkt::CloseQueries() {
    // The module's queries are closed here.
}

} // namespace pelmora::app
