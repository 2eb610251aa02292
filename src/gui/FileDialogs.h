#pragma once
// The dialogs through which the main window asks for a file or a folder. The
// window calls them through this class, so tests put answers of their own in
// place of the platform's modal dialogs.

#include <string>

class QWidget;

namespace pelmora::gui {

// Filter of the run configuration files, in Qt's form.
inline constexpr const char* ConfigFileFilter = "Config File (*.xml)";
// Extension given to a chosen name that has none.
inline constexpr const char* ConfigFileSuffix = "xml";
// Title of the folder browser of the work directory.
inline constexpr const char* ChooseDirectoryTitle = "Wybierz katalog";

class FileDialogs {
public:
    virtual ~FileDialogs() = default;

    // A file to save the run configuration to (asking before an existing file
    // is replaced); empty when the operator cancelled.
    virtual std::string SaveConfigurationFile(QWidget* parent);
    // An existing run configuration file; empty when the operator cancelled.
    virtual std::string OpenConfigurationFile(QWidget* parent);
    // A folder, starting at `current`; empty when the operator cancelled.
    virtual std::string ChooseDirectory(QWidget* parent, const std::string& current);
};

} // namespace pelmora::gui
