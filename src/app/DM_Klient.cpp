#include "app/DM_Klient.h"

namespace pelmora::app {

TDM_Klient::TDM_Klient(TDM_Main& main) : main_(main) {}

TDM_Klient::~TDM_Klient() {
    CloseQueries();
}

void TDM_Klient::CloseQueries() {
    // The module's queries are closed here.
}

} // namespace pelmora::app
