// The document manager: owns the document templates and opens, saves and
// closes documents across all of them.
#pragma once
#include "core/String.h"

#include <windows.h>

#include <memory>
#include <vector>

class CDocTemplate;
class CDocument;

class CDocManager {
public:
    CDocManager();
    ~CDocManager();
    CDocManager(const CDocManager&) = delete;
    CDocManager& operator=(const CDocManager&) = delete;

    void AddDocTemplate(CDocTemplate* docTemplate);  // takes ownership
    const std::vector<std::unique_ptr<CDocTemplate>>& GetTemplates() const { return m_templates; }

    // Opens a file with the template that fits it best; a file already open
    // is brought to the front instead.
    CDocument* OpenDocumentFile(const wchar_t* path);
    // A new, untitled document of the first template.
    void OnFileNew();
    // Asks for a file with the system's open dialog and opens it.
    void OnFileOpen();
    BOOL SaveAllModified();
    void CloseAllDocuments(BOOL endSession);
    int GetOpenDocumentCount() const;

private:
    std::vector<std::unique_ptr<CDocTemplate>> m_templates;
};
