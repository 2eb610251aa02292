#include "app/DM_Naleznosc.h"

namespace pelmora::app {

TDM_Naleznosc::TDM_Naleznosc(TDM_Main& main) : main_(main) {}

TDM_Naleznosc::~TDM_Naleznosc() {
    CloseQueries();
}

void TDM_Naleznosc::CloseQueries() {
    // The module's queries are closed here.
}

} // namespace pelmora::app
