// Files dropped on the image list by OLE drag and drop: each is imported as Add Images
// would, in the order of the dropped list.
#pragma once
#include "ui/globals_win.h"

#include <ole2.h>

class CDropTarget final : public IDropTarget {
public:
    explicit CDropTarget(HWND window);

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    STDMETHODIMP DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;
    STDMETHODIMP DragOver(DWORD keyState, POINTL point, DWORD* effect) override;
    STDMETHODIMP DragLeave() override;
    STDMETHODIMP Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;

    // True when the data offers a shell file list (CF_HDROP) in global memory.
    BOOL QueryDataObject(IDataObject* data);
    // The effect answered for a source allowing `allowed`: a copy when copying is allowed,
    // else nothing. Never a move: the files must stay where the entries point.
    DWORD DropEffectFor(DWORD allowed);
    // Imports every file of the data's file list through the import batch.
    void DropFiles(IDataObject* data);

private:
    ~CDropTarget() {}  // only Release destroys it
    // The effect for the drag in progress: none while an import or a PDF build runs or
    // the main window is disabled.
    DWORD AnswerFor(DWORD allowed);

    LONG refCount;
    HWND targetWindow;
    BOOL allowDrop;
};

// Makes the drop target for window (the image list view), locks it and registers it.
void RegisterImageDropTarget(HWND window);
// Revokes, unlocks and releases the target registered on window; the last release
// destroys it.
void RevokeImageDropTarget(HWND window);
