#pragma once
// pelmora-cli setup DIR [--demo]: lays out a complete embedded installation in
// a new directory: Pelmora.ini (the one under deploy/, whose data sources are
// embedded "sqlite:" ones), the log, XML, work and style-sheet directories it
// names, ObjectRules.xml, the style sheets, fresh CRM and ERP databases from
// deploy/schema and a run configuration of the customer transfer. With
// --demo the databases also get the data set of deploy/demo. An existing
// directory that is not empty is refused and left as it is.

#include <filesystem>
#include <string>

namespace pelmora::cli {

// The run configuration the set-up writes into the installation.
inline constexpr const char* CustomerRunConfiguration = "Klienci.xml";

// Exit statuses of the set-up.
inline constexpr int ExitSetupDone = 0;
inline constexpr int ExitSetupFailed = 1; // refused or failed; nothing is left behind

// Lays out the installation in `dir`; prints what it did, or why not.
int SetupCommand(const std::filesystem::path& dir, bool demo);

} // namespace pelmora::cli
