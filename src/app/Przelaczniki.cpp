#include "app/Przelaczniki.h"

#include "app/SettingsFile.h"

#include <algorithm>

namespace pelmora::app {

namespace {

// The states every switch may reach by clicks.
constexpr std::uint8_t DefaultAllowedStates = StateSet({SwitchStateCrmToErp, SwitchStateNone});

bool Has(std::uint16_t set, std::uint16_t bit) {
    return (set & bit) != 0;
}

} // namespace

std::string SwitchStateHint(int state) {
    switch (state) {
    case SwitchStateBoth:
        return "Przetwarzanie obiektu w obie strony";
    case SwitchStateErpToCrm:
        return "Przetwarzanie obiektu z systemu ERP do CRM";
    case SwitchStateCrmToErp:
        return "Przetwarzanie obiektu z systemu CRM do ERP";
    case SwitchStateNone:
        return "Brak przetwarzania";
    default:
        return {};
    }
}

void AdvanceSwitchState(RPrzelacznik& sw) {
    // At most one full turn: a switch that allows no state of the cycle would
    // otherwise never stop.
    int state = sw.State;
    for (int i = 0; i < SwitchStateCount; ++i) {
        state = (state + 1) % SwitchStateCount;
        if (sw.Allows(state)) {
            sw.State = static_cast<std::uint8_t>(state);
            return;
        }
    }
}

TPrzelaczniki::TPrzelaczniki() {
    for (const char* name : {SwitchKlienci, SwitchZamowienia, SwitchFaktury, SwitchKasaPrzyjela})
        switches_.push_back({name, DefaultAllowedStates, SwitchStateNone});
}

bool TPrzelaczniki::FindSwitch(const std::string& name, RPrzelacznik& out) const {
    const auto it = std::find_if(switches_.begin(), switches_.end(),
                                 [&](const RPrzelacznik& s) { return s.Name == name; });
    if (it == switches_.end())
        return false;
    out = *it;
    return true;
}

bool TPrzelaczniki::StoreSwitch(const std::string& name, const RPrzelacznik& sw) {
    const auto it = std::find_if(switches_.begin(), switches_.end(),
                                 [&](const RPrzelacznik& s) { return s.Name == name; });
    if (it == switches_.end())
        return false;
    *it = sw;
    return true;
}

int TPrzelaczniki::StateOf(const std::string& name) const {
    RPrzelacznik sw;
    return FindSwitch(name, sw) ? sw.State : -1;
}

void TPrzelaczniki::SetState(const std::string& name, std::uint8_t state) {
    RPrzelacznik sw;
    if (FindSwitch(name, sw)) {
        sw.State = state;
        StoreSwitch(name, sw);
    }
}

void TPrzelaczniki::SetInteractiveDefaults() {
    for (RPrzelacznik& sw : switches_)
        sw.State = SwitchStateCrmToErp;
}

void TPrzelaczniki::SwitchesFromObjectList(std::uint16_t set) {
    const auto single = [&](std::uint16_t bit) {
        return Has(set, bit) ? SwitchStateCrmToErp : SwitchStateNone;
    };
    SetState(SwitchKlienci, single(ERP_Klient));
    SetState(SwitchZamowienia, single(CRM_Zamowienie));
    const bool erp = Has(set, ERP_Faktura);
    const bool crm = Has(set, CRM_Faktura);
    SetState(SwitchFaktury, erp && crm ? SwitchStateBoth
                            : erp      ? SwitchStateErpToCrm
                            : crm      ? SwitchStateCrmToErp
                                       : SwitchStateNone);
    SetState(SwitchKasaPrzyjela, single(CRM_KasaPrzyjela));
}

std::uint16_t TPrzelaczniki::SwitchesToObjectList() const {
    std::uint16_t set = 0;
    if (StateOf(SwitchKlienci) == SwitchStateCrmToErp)
        set |= ERP_Klient;
    if (StateOf(SwitchZamowienia) == SwitchStateCrmToErp)
        set |= CRM_Zamowienie;
    const int faktury = StateOf(SwitchFaktury);
    if (faktury == SwitchStateBoth || faktury == SwitchStateErpToCrm)
        set |= ERP_Faktura;
    if (faktury == SwitchStateBoth || faktury == SwitchStateCrmToErp)
        set |= CRM_Faktura;
    if (StateOf(SwitchKasaPrzyjela) == SwitchStateCrmToErp)
        set |= CRM_KasaPrzyjela;
    return set;
}

void TPrzelaczniki::ApplyLoadMode(std::uint16_t objectList) {
    if (LoadMode == LoadModeFromConfiguration)
        SwitchesFromObjectList(objectList);
    else if (LoadMode == LoadModeInteractive)
        SetInteractiveDefaults();
}

int TPrzelaczniki::Click(const std::string& name) {
    RPrzelacznik sw;
    if (!FindSwitch(name, sw))
        return -1;
    AdvanceSwitchState(sw);
    StoreSwitch(name, sw);
    return sw.State;
}

} // namespace pelmora::app
