#include "app/DM_Cennik.h"

namespace pelmora::app {

TDM_Cennik::TDM_Cennik(TDM_Main& main) : main_(main) {}

TDM_Cennik::~TDM_Cennik() {
    CloseQueries();
}

void TDM_Cennik::CloseQueries() {
    // The module's queries are closed here.
}

} // namespace pelmora::app
