#pragma once
// Data module with the stock-level queries; they run on the connections of TDM_Main.
// Created at start-up after TDM_Main, destroyed before it.

namespace pelmora::app {

class TDM_Main;

class TDM_StanMagazyn {
public:
    explicit TDM_StanMagazyn(TDM_Main& main);
    // Closes the module's queries.
    ~TDM_StanMagazyn();
    TDM_StanMagazyn(const TDM_StanMagazyn&) = delete;
    TDM_StanMagazyn& operator=(const TDM_StanMagazyn&) = delete;

    TDM_Main& Main() const { return main_; }

private:
    void CloseQueries();

    TDM_Main& main_; // owner of the connections
};

} // namespace pelmora::app
