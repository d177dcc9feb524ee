// Message texts of the import and export commands.
#pragma once

inline constexpr wchar_t kImportSameFile[] = L"The file is already this page of the bookmark folder, not imported!";
inline constexpr wchar_t kImportInsideStore[] =
    L"The directory holds the bookmark folder or lies inside it, failed to import!";
inline constexpr wchar_t kImportNoTitle[] = L"Please select a file name!";
inline constexpr wchar_t kFormRecordsNotImported[] =
    L"Tarvelo BookMarks imported, but these form records could not be imported; the imported links that name them "
    L"fill no forms:";
inline constexpr wchar_t kUnknownFormat[] =
    L"Unknown format! Please save the file as Unicode or UTF-8 format in the IE browser, and try again.";
inline constexpr wchar_t kCannotCreateImport[] = L"Error! Cannot create file while import file.";
inline constexpr wchar_t kExportIntoStore[] = L"Export failed, the destination folder is inside the bookmark folder!";
inline constexpr wchar_t kImportNoLinks[] = L"The bookmark file holds no link, nothing imported!";
