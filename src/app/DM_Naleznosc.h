#pragma once
// Data module with the receivable queries; they run on the connections of TDM_Main.
// Created at start-up after TDM_Main, destroyed before it.

namespace pelmora::app {

class TDM_Main;

class TDM_Naleznosc {
public:
    explicit TDM_Naleznosc(TDM_Main& main);
    // Closes the module's queries.
    ~TDM_Naleznosc();
    TDM_Naleznosc(const TDM_Naleznosc&) = delete;
    TDM_Naleznosc& operator=(const TDM_Naleznosc&) = delete;

    TDM_Main& Main() const { return main_; }

private:
    void CloseQueries();

    TDM_Main& main_; // owner of the connections
};

} // namespace pelmora::app
