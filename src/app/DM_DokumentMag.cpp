#include "app/DM_DokumentMag.h"

namespace pelmora::app {

TDM_DokumentMag::TDM_DokumentMag(TDM_Main& main) : main_(main) {}

TDM_DokumentMag::~TDM_DokumentMag() {
    CloseQueries();
}

void TDM_DokumentMag::CloseQueries() {
    // The module's queries are closed here.
}

} // namespace pelmora::app
