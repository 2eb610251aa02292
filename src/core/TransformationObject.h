#pragma once
// One XSLT step of an exchange: the source object's XML file in the work
// directory is transformed by a style sheet of the transformation directory
// into the file that the target object reads. Also the diagnostic listing of
// the program's version and of the version notes of the rules file and of
// every style sheet.
//
// The result file is an ISO-8859-2 document: the bytes of ResultHeader, then
// the text the style sheet produced, encoded in ISO-8859-2 (a character that
// code page lacks is written as a character reference &#N;), no line break
// after the header nor at the end.

#include "core/StylesheetCache.h"

#include <filesystem>
#include <string>

namespace pelmora::core {

class TLog;

// The header in front of every result file (NOTE: the serializer writes the
// same encoding, so readers treat both kinds of exchange file alike).
inline constexpr const char* ResultHeader = "<?xml version=\"1.0\" encoding=\"ISO-8859-2\"?>";

class TTransformationObject {
public:
    // The log, the run configuration's work directory, the settings' style-sheet
    // directory (TransforSubDir) and the run's style-sheet cache; the object
    // keeps references to the log and the cache, which must outlive it.
    TTransformationObject(TLog& log, std::filesystem::path workDirectory,
                          std::filesystem::path transformationDirectory,
                          TStylesheetCache& styleSheets);

    // Bare file names: the result and the source in the work directory, the
    // style sheet in the transformation directory. The caller sets all three.
    std::string TargetName;
    std::string SourceName;
    std::string StyleSheetName;

    // Transforms SourceName with StyleSheetName into TargetName; true when the
    // result file has been written. Every failure is logged; an existing target
    // file is never touched.
    bool Transform();

    // Logs the program's version and the version note of ObjectRules.xml in
    // `xmlDirectory` and of every *.xsl file in `transformationDirectory`.
    static void LogVersions(TLog& log, const std::filesystem::path& programFile,
                            const std::filesystem::path& xmlDirectory,
                            const std::filesystem::path& transformationDirectory);
    // The program's version as four numbers joined by "." when `path` is the
    // running program's file, otherwise "?" (no other file carries a version).
    static std::string FileVersionText(const std::filesystem::path& path);
    // Logs "Plik: <fileName>  <note>" when `fileText` (UTF-8) holds "<!-- " and
    // " -->"; the note is the text between the first of each.
    static void VersionComment(TLog& log, const std::string& fileName, const std::string& fileText);

private:
    TLog& log_;
    std::filesystem::path workDirectory_;
    std::filesystem::path transformationDirectory_;
    TStylesheetCache& styleSheets_;
};

} // namespace pelmora::core
