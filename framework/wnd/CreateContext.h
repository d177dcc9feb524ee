// What a frame needs to build its view when a document template creates it.
#pragma once

struct CRuntimeClass;
class CDocument;
class CDocTemplate;
class CFrameWnd;
class CView;

struct CCreateContext {
    const CRuntimeClass* m_pNewViewClass = nullptr;
    CDocument* m_pCurrentDoc = nullptr;
    CDocTemplate* m_pNewDocTemplate = nullptr;
    CView* m_pLastView = nullptr;
    CFrameWnd* m_pCurrentFrame = nullptr;
};
