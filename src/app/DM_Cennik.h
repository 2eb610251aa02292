#pragma once
// Data module with the price-list queries; they run on the connections of TDM_Main.
// Created at start-up after TDM_Main, destroyed before it.

namespace pelmora::app {

class TDM_Main;

class TDM_Cennik {
public:
    explicit TDM_Cennik(TDM_Main& main);
    // Closes the module's queries.
    ~TDM_Cennik();
    TDM_Cennik(const TDM_Cennik&) = delete;
    TDM_Cennik& operator=(const TDM_Cennik&) = delete;

    TDM_Main& Main() const { return main_; }

private:
    void CloseQueries();

    TDM_Main& main_; // owner of the connections
};

} // namespace pelmora::app
