#pragma once
// The kinds of sales and warehouse documents, shared by the data modules, the
// queues and the exchange objects. Both are written into exchange files by
// name, so the identifiers are part of the file format.

#include "core/ClassInfo.h"

namespace pelmora::app {

// Kind of a sales document (ZSP_FLAGA2 / RodzDok codes 102, 104, 105, 106, 107).
PELMORA_ENUM(t_zlecenie_sp, zsUnDef, zsZamowienie, zsFaktura, zsKasaPrzyjela, zsKorektaFaktury,
             zsKasaWydala);

// Kind of a warehouse document (DMG_FLAGA2 / RodzDok codes 201 to 206).
PELMORA_ENUM(t_dokument_mag, dmUnDef, dmPrzyjecieMM, dmWydanieMM, dmWydanieZMagazynu,
             dmPrzyjecieZew, dmReklamacja, dmZatowarowanie);

} // namespace pelmora::app
