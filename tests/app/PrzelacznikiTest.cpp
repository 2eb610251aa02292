// The object switches: their order and allowed states, the mapping to and
// from the object-list set, the load modes, the click cycle and the hints.
#include "app/Przelaczniki.h"

#include "app/DM_Main.h"
#include "app/SettingsFile.h"
#include "app/TestInstallation.h"

#include <gtest/gtest.h>

using namespace pelmora;
using app::TPrzelaczniki;

namespace {

// States of Klienci, Zamówienia, Faktury and Kasa przyjęła.
struct States {
    int Klienci, Zamowienia, Faktury, Kasa;
    bool operator==(const States&) const = default;
};

States StatesOf(const TPrzelaczniki& p) {
    const auto& s = p.Switches();
    return {s[0].State, s[1].State, s[2].State, s[3].State};
}

std::ostream& operator<<(std::ostream& os, const States& s) {
    return os << s.Klienci << s.Zamowienia << s.Faktury << s.Kasa;
}

void SetStates(TPrzelaczniki& p, const States& states) {
    const int values[] = {states.Klienci, states.Zamowienia, states.Faktury, states.Kasa};
    for (size_t i = 0; i < 4; ++i) {
        app::RPrzelacznik sw = p.Switches()[i];
        sw.State = static_cast<uint8_t>(values[i]);
        ASSERT_TRUE(p.StoreSwitch(sw.Name, sw));
    }
}

} // namespace

TEST(PrzelacznikiTest, FourSwitchesInOrderAllowingCrmToErpAndNone) {
    TPrzelaczniki p;
    ASSERT_EQ(p.Switches().size(), 4u);
    const char* names[] = {"Klienci", "Zamówienia", "Faktury", "Kasa przyjęła"};
    for (size_t i = 0; i < 4; ++i) {
        const app::RPrzelacznik& sw = p.Switches()[i];
        EXPECT_EQ(sw.Name, names[i]);
        EXPECT_EQ(sw.AllowedStates, 0b1100) << sw.Name;
    }
    EXPECT_EQ(p.LoadMode, app::LoadModeFromConfiguration);
    // No start-up step has set them yet: nothing would be processed.
    EXPECT_EQ(StatesOf(p), (States{3, 3, 3, 3}));
}

TEST(PrzelacznikiTest, FromObjectList) {
    using namespace app;
    struct Case {
        TObjectListSet Set;
        States Expected;
    } cases[] = {
        {0, {3, 3, 3, 3}},
        {ERP_Klient, {2, 3, 3, 3}},
        {CRM_Zamowienie, {3, 2, 3, 3}},
        {ERP_Faktura, {3, 3, 1, 3}},
        {CRM_Faktura, {3, 3, 2, 3}},
        {ERP_Faktura | CRM_Faktura, {3, 3, 0, 3}},
        {CRM_KasaPrzyjela, {3, 3, 3, 2}},
        {ERP_Klient | CRM_Zamowienie | CRM_Faktura | CRM_KasaPrzyjela, {2, 2, 2, 2}},
        // Kinds no switch shows leave every switch at no processing.
        {ERP_Produkt | ERP_Naleznosc | ERP_FakturaKorygujaca | 0x8000, {3, 3, 3, 3}},
        {0xFFFF, {2, 2, 0, 2}},
    };
    for (const Case& c : cases) {
        TPrzelaczniki p;
        SetStates(p, {0, 1, 2, 0}); // every state is overwritten
        p.SwitchesFromObjectList(c.Set);
        EXPECT_EQ(StatesOf(p), c.Expected) << std::hex << c.Set;
    }
}

TEST(PrzelacznikiTest, ToObjectListHoldsOnlyTheSwitchBits) {
    using namespace app;
    struct Case {
        States Given;
        TObjectListSet Expected;
    } cases[] = {
        {{3, 3, 3, 3}, 0},
        {{2, 2, 2, 2}, ERP_Klient | CRM_Zamowienie | CRM_Faktura | CRM_KasaPrzyjela},
        {{3, 3, 0, 3}, ERP_Faktura | CRM_Faktura},
        {{3, 3, 1, 3}, ERP_Faktura},
        {{3, 3, 2, 3}, CRM_Faktura},
        // Only state 2 of the other switches writes their bit.
        {{0, 1, 3, 0}, 0},
        {{1, 0, 3, 1}, 0},
    };
    for (const Case& c : cases) {
        TPrzelaczniki p;
        SetStates(p, c.Given);
        EXPECT_EQ(p.SwitchesToObjectList(), c.Expected) << c.Given;
    }
    // A loaded set with other kinds comes back with the switch bits only.
    TPrzelaczniki p;
    p.SwitchesFromObjectList(ERP_Produkt | ERP_Klient | ERP_Naleznosc | ERP_Faktura);
    EXPECT_EQ(p.SwitchesToObjectList(), ERP_Klient | ERP_Faktura);
}

TEST(PrzelacznikiTest, ApplyLoadMode) {
    TPrzelaczniki p;
    p.LoadMode = app::LoadModeInteractive;
    p.ApplyLoadMode(app::ERP_Faktura);
    EXPECT_EQ(StatesOf(p), (States{2, 2, 2, 2}));
    p.LoadMode = app::LoadModeFromConfiguration;
    p.ApplyLoadMode(app::ERP_Faktura);
    EXPECT_EQ(StatesOf(p), (States{3, 3, 1, 3}));
}

TEST(PrzelacznikiTest, ClickCycle) {
    struct Case {
        int From;
        uint8_t Allowed;
        int To;
    } cases[] = {
        {2, app::StateSet({2, 3}), 3},
        {3, app::StateSet({2, 3}), 2},
        // A state a loaded configuration gave goes on to CRM to ERP.
        {0, app::StateSet({2, 3}), 2},
        {1, app::StateSet({2, 3}), 2},
        {3, app::StateSet({0, 1, 2, 3}), 0},
        {1, app::StateSet({1}), 1},
        // States above 3 are never reached by the cycle; nothing allowed keeps the state.
        {2, app::StateSet({5, 7}), 2},
    };
    for (const Case& c : cases) {
        app::RPrzelacznik sw{"x", c.Allowed, static_cast<uint8_t>(c.From)};
        app::AdvanceSwitchState(sw);
        EXPECT_EQ(sw.State, c.To) << c.From << " " << int(c.Allowed);
    }

    TPrzelaczniki p;
    p.SwitchesFromObjectList(app::ERP_Faktura);
    EXPECT_EQ(p.Click("Faktury"), 2);
    EXPECT_EQ(p.Click("Faktury"), 3);
    EXPECT_EQ(StatesOf(p), (States{3, 3, 3, 3}));
    EXPECT_EQ(p.Click("faktury"), -1); // names are matched exactly
}

TEST(PrzelacznikiTest, FindAndStoreMatchTheExactName) {
    TPrzelaczniki p;
    app::RPrzelacznik sw{"unchanged", 0, 0};
    EXPECT_FALSE(p.FindSwitch("Kasa przyjela", sw));
    EXPECT_EQ(sw.Name, "unchanged");
    ASSERT_TRUE(p.FindSwitch("Kasa przyjęła", sw));
    sw.State = 2;
    EXPECT_TRUE(p.StoreSwitch("Kasa przyjęła", sw));
    EXPECT_FALSE(p.StoreSwitch("KLIENCI", sw));
    EXPECT_EQ(StatesOf(p), (States{3, 3, 3, 2}));
}

TEST(PrzelacznikiTest, StateHints) {
    EXPECT_EQ(app::SwitchStateHint(0), "Przetwarzanie obiektu w obie strony");
    EXPECT_EQ(app::SwitchStateHint(1), "Przetwarzanie obiektu z systemu ERP do CRM");
    EXPECT_EQ(app::SwitchStateHint(2), "Przetwarzanie obiektu z systemu CRM do ERP");
    EXPECT_EQ(app::SwitchStateHint(3), "Brak przetwarzania");
    EXPECT_EQ(app::SwitchStateHint(4), "");
    EXPECT_EQ(app::SwitchStateHint(-1), "");
}

TEST(PrzelacznikiTest, StartupGivesLoadModeAndStates) {
    test::TestInstallation inst;
    const auto config = inst.Path("faktury.xml");
    {
        app::TSettingsFile configuration;
        configuration.ObjectList = app::ERP_Faktura | app::ERP_Produkt;
        ASSERT_TRUE(configuration.Save(config.string()));
    }
    struct Case {
        std::vector<std::string> Parameters;
        bool WithIni;
        uint8_t LoadMode;
        States Expected;
    } cases[] = {
        {{}, true, app::LoadModeInteractive, {2, 2, 2, 2}},
        {{config.string()}, true, app::LoadModeFromConfiguration, {3, 3, 1, 3}},
        // A file that does not exist loads nothing: the empty set.
        {{inst.Path("brak.xml").string()}, true, app::LoadModeFromConfiguration, {3, 3, 3, 3}},
        // Start-up ends before the configuration step: the switches as created.
        {{}, false, app::LoadModeFromConfiguration, {3, 3, 3, 3}},
    };
    for (const Case& c : cases) {
        if (c.WithIni)
            inst.WriteIni();
        else
            std::filesystem::remove(inst.IniPath());
        app::StartupOptions options;
        options.Parameters = c.Parameters;
        app::TDM_Main dm(options);
        EXPECT_EQ(dm.Przelaczniki().LoadMode, c.LoadMode) << c.Parameters.size();
        EXPECT_EQ(StatesOf(dm.Przelaczniki()), c.Expected) << c.Parameters.size();
    }
}
