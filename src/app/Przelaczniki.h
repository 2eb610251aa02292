#pragma once
// The object switches of the main window: which object kinds a run processes
// and in which direction. They translate to and from the 16-bit object-list
// set of the run configuration, which the processing driver turns into queues.
// Owned by TDM_Main; the window only shows them and passes clicks on.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace pelmora::app {

// Switch states; a state is also the image index of its list item.
inline constexpr std::uint8_t SwitchStateBoth = 0;     // both directions
inline constexpr std::uint8_t SwitchStateErpToCrm = 1; // ERP to CRM
inline constexpr std::uint8_t SwitchStateCrmToErp = 2; // CRM to ERP
inline constexpr std::uint8_t SwitchStateNone = 3;     // no processing
// Number of states (and of the list's images).
inline constexpr int SwitchStateCount = 4;

// Load modes: where the switches take their states from.
inline constexpr std::uint8_t LoadModeFromConfiguration = 0; // the run configuration's set
inline constexpr std::uint8_t LoadModeInteractive = 1;       // every switch CRM to ERP

// Captions of the four switches, in the order shown.
inline constexpr const char* SwitchKlienci = "Klienci";
inline constexpr const char* SwitchZamowienia = "Zamówienia";
inline constexpr const char* SwitchFaktury = "Faktury";
inline constexpr const char* SwitchKasaPrzyjela = "Kasa przyjęła";

// The hint shown over a list item in `state`; empty for a state outside 0..3.
std::string SwitchStateHint(int state);

// A set of states 0..7, one bit per state.
constexpr std::uint8_t StateSet(std::initializer_list<int> states) {
    std::uint8_t set = 0;
    for (int s : states)
        set = static_cast<std::uint8_t>(set | (1u << s));
    return set;
}

// One switch.
struct RPrzelacznik {
    std::string Name;                     // caption in the list; the key FindSwitch looks for
    std::uint8_t AllowedStates = 0;       // the states the click cycle may reach (bit n: state n)
    std::uint8_t State = SwitchStateNone; // the current state, also the item's image index

    bool Allows(int state) const {
        return state >= 0 && state < 8 && (AllowedStates & (1u << state)) != 0;
    }
};

// The click cycle: state := (state + 1) mod 4 until the state is allowed. A
// switch that allows none of 0..3 keeps its state.
void AdvanceSwitchState(RPrzelacznik& sw);

class TPrzelaczniki {
public:
    // The four switches, all allowing {2, 3}, in state 3 until start-up sets
    // them; load mode 0.
    TPrzelaczniki();

    // The switches in the order shown.
    const std::vector<RPrzelacznik>& Switches() const { return switches_; }

    // Where ApplyLoadMode takes the states from (LoadMode* constants).
    std::uint8_t LoadMode = LoadModeFromConfiguration;

    // A copy of the switch with exactly that name into `out`; false (and `out`
    // unchanged) when there is none.
    bool FindSwitch(const std::string& name, RPrzelacznik& out) const;
    // Replaces the switch with exactly that name; false when there is none.
    bool StoreSwitch(const std::string& name, const RPrzelacznik& sw);

    // Every switch to state 2 (CRM to ERP).
    void SetInteractiveDefaults();
    // The states from an object-list set:
    //   Klienci 0x0001 -> 2, else 3; Zamówienia 0x0010 -> 2, else 3;
    //   Faktury 0x0040 and 0x0020 -> 0, only 0x0040 -> 1, only 0x0020 -> 2, neither -> 3;
    //   Kasa przyjęła 0x0100 -> 2, else 3.
    void SwitchesFromObjectList(std::uint16_t objectList);
    // The object-list set from the states, every other bit clear:
    //   Klienci 2 -> 0x0001; Zamówienia 2 -> 0x0010;
    //   Faktury 0 or 1 -> 0x0040, 0 or 2 -> 0x0020; Kasa przyjęła 2 -> 0x0100.
    std::uint16_t SwitchesToObjectList() const;
    // Load mode 0: SwitchesFromObjectList(objectList); 1: SetInteractiveDefaults.
    void ApplyLoadMode(std::uint16_t objectList);

    // One click on the switch with that name: the click cycle, then stored.
    // The new state, or -1 when there is no such switch.
    int Click(const std::string& name);

private:
    // The state of the named switch, or -1.
    int StateOf(const std::string& name) const;
    void SetState(const std::string& name, std::uint8_t state);

    std::vector<RPrzelacznik> switches_;
};

} // namespace pelmora::app
