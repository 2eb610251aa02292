#include "app/DM_ZlecenieSP.h"

namespace pelmora::app {

TDM_ZlecenieSP::TDM_ZlecenieSP(TDM_Main& main) : main_(main) {}

TDM_ZlecenieSP::~TDM_ZlecenieSP() {
    CloseQueries();
}

void TDM_ZlecenieSP::CloseQueries() {
    // The module's queries are closed here.
}

} // namespace pelmora::app
