#pragma once
// Data module with the customer queries; they run on the connections of TDM_Main.
// Created at start-up after TDM_Main, destroyed before it.

namespace pelmora::app {

class TDM_Main;

class TDM_Klient {
public:
    explicit TDM_Klient(TDM_Main& main);
    // Closes the module's queries.
    ~TDM_Klient();
    TDM_Klient(const TDM_Klient&) = delete;
    TDM_Klient& operator=(const TDM_Klient&) = delete;

    TDM_Main& Main() const { return main_; }

private:
    void CloseQueries();

    TDM_Main& main_; // owner of the connections
};

} // namespace pelmora::app
