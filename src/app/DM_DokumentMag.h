#pragma once
// Data module with the warehouse-document queries; they run on the connections of TDM_Main.
// Created at start-up after TDM_Main, destroyed before it.

namespace pelmora::app {

class TDM_Main;

class TDM_DokumentMag {
public:
    explicit TDM_DokumentMag(TDM_Main& main);
    // Closes the module's queries.
    ~TDM_DokumentMag();
    TDM_DokumentMag(const TDM_DokumentMag&) = delete;
    TDM_DokumentMag& operator=(const TDM_DokumentMag&) = delete;

    TDM_Main& Main() const { return main_; }

private:
    void CloseQueries();

    TDM_Main& main_; // owner of the connections
};

} // namespace pelmora::app
