#include "app/DM_StanMagazyn.h"

namespace pelmora::app {

TDM_StanMagazyn::TDM_StanMagazyn(TDM_Main& main) : main_(main) {}

TDM_StanMagazyn::~TDM_StanMagazyn() {
    CloseQueries();
}

void TDM_StanMagazyn::CloseQueries() {
    // The module's queries are closed here.
}

} // namespace pelmora::app
