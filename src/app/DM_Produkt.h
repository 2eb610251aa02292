#pragma once
// Data module with the product and unit-of-measure queries; they run on the connections of
// TDM_Main. Created at start-up after TDM_Main, destroyed before it.

namespace pelmora::app {

class TDM_Main;

class TDM_Produkt {
public:
    explicit TDM_Produkt(TDM_Main& main);
    // Closes the module's queries.
    ~TDM_Produkt();
    TDM_Produkt(const TDM_Produkt&) = delete;
    TDM_Produkt& operator=(const TDM_Produkt&) = delete;

    TDM_Main& Main() const { return main_; }

private:
    void CloseQueries();

    TDM_Main& main_; // owner of the connections
};

} // namespace pelmora::app
