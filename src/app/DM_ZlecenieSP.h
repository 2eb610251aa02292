#pragma once
// Data module with the sales-document queries; they run on the connections of TDM_Main.
// Created at start-up after TDM_Main, destroyed before it.

namespace pelmora::app {

class TDM_Main;

class TDM_ZlecenieSP {
public:
    explicit TDM_ZlecenieSP(TDM_Main& main);
    // Closes the module's queries.
    ~TDM_ZlecenieSP();
    TDM_ZlecenieSP(const TDM_ZlecenieSP&) = delete;
    TDM_ZlecenieSP& operator=(const TDM_ZlecenieSP&) = delete;

    TDM_Main& Main() const { return main_; }

private:
    void CloseQueries();

    TDM_Main& main_; // owner of the connections
};

} // namespace pelmora::app
