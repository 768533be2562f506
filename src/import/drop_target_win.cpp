// The OLE drop target of the image list view. The whole import runs inside Drop, pumping
// messages between files like Add Images.
#include "import/drop_target_win.h"

#include <shellapi.h>
#include <shlobj.h>

#include <new>

#include "ui/operation_win.h"
#include "ui/progress_win.h"
#include "platform/wide_text_win.h"
#include "import/import_batch_win.h"

// The one accepted form: a shell drop file list in global memory.
static FORMATETC FileListFormat()
{
    FORMATETC format = {CF_HDROP, NULL, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    return format;
}

CDropTarget::CDropTarget(HWND window) : refCount(1), targetWindow(window), allowDrop(FALSE) {}

STDMETHODIMP CDropTarget::QueryInterface(REFIID iid, void** object)
{
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IDropTarget) || IsEqualIID(iid, IID_IUnknown)) {
        AddRef();
        *object = static_cast<IDropTarget*>(this);
        return S_OK;
    }
    *object = NULL;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CDropTarget::AddRef()
{
    return (ULONG)InterlockedIncrement(&refCount);
}

STDMETHODIMP_(ULONG) CDropTarget::Release()
{
    LONG count = InterlockedDecrement(&refCount);
    if (count == 0) delete this;
    return (ULONG)count;
}

DWORD CDropTarget::DropEffectFor(DWORD allowed)
{
    return (allowed & DROPEFFECT_COPY) ? DROPEFFECT_COPY : DROPEFFECT_NONE;
}

DWORD CDropTarget::AnswerFor(DWORD allowed)
{
    // One long operation at a time, and a modal dialog expects the collection to stay as
    // it is until it closes.
    if (!allowDrop || !ProgramIdle()) return DROPEFFECT_NONE;
    return DropEffectFor(allowed);
}

BOOL CDropTarget::QueryDataObject(IDataObject* data)
{
    FORMATETC format = FileListFormat();
    return data && data->QueryGetData(&format) == S_OK;
}

STDMETHODIMP CDropTarget::DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect)
{
    if (!effect) return E_INVALIDARG;
    allowDrop = QueryDataObject(data);
    *effect = AnswerFor(*effect);
    if (*effect != DROPEFFECT_NONE) SetFocus(targetWindow);
    return S_OK;
}

STDMETHODIMP CDropTarget::DragOver(DWORD, POINTL, DWORD* effect)
{
    if (!effect) return E_INVALIDARG;
    *effect = AnswerFor(*effect);
    return S_OK;
}

STDMETHODIMP CDropTarget::DragLeave()
{
    return S_OK;
}

STDMETHODIMP CDropTarget::Drop(IDataObject* data, DWORD, POINTL, DWORD* effect)
{
    if (!effect) return E_INVALIDARG;
    DWORD answer = AnswerFor(*effect);
    if (answer != DROPEFFECT_NONE) DropFiles(data);
    *effect = answer;
    return S_OK;
}

// A DROPFILES block whose list starts and ends inside the block, so that reading the
// names never runs past it.
static BOOL FileListIsWhole(const BYTE* block, SIZE_T size)
{
    if (size < sizeof(DROPFILES)) return FALSE;
    const DROPFILES* header = (const DROPFILES*)block;
    if (header->pFiles < sizeof(DROPFILES) || header->pFiles >= size) return FALSE;
    SIZE_T unit = header->fWide ? 2 : 1;
    int zeros = 0;  // the list ends with an empty name: two terminators in a row
    for (SIZE_T at = header->pFiles; at + unit <= size; at += unit) {
        BOOL zero = unit == 2 ? (block[at] == 0 && block[at + 1] == 0) : block[at] == 0;
        zeros = zero ? zeros + 1 : 0;
        if (zeros == 2 || (zero && at == header->pFiles)) return TRUE;
    }
    return FALSE;
}

static BOOL DroppedPath(int index, char* path, size_t size, void* list)
{
    // The Unicode form: names outside the system code page arrive whole, not as '?'.
    WCHAR wide[MaxPathChars] = {0};
    UINT length = DragQueryFileW((HDROP)list, (UINT)index, NULL, 0);
    DragQueryFileW((HDROP)list, (UINT)index, wide, MaxPathChars);  // a longer one comes back cut
    if (length >= MaxPathChars && IS_HIGH_SURROGATE(wide[MaxPathChars - 2]))
        wide[MaxPathChars - 2] = 0;  // never half a character in the message
    WideToUtf8(wide, path, size);
    return length < MaxPathChars;
}

void CDropTarget::DropFiles(IDataObject* data)
{
    FORMATETC format = FileListFormat();
    STGMEDIUM medium;
    ZeroMemory(&medium, sizeof medium);
    if (!data || data->QueryGetData(&format) != S_OK || data->GetData(&format, &medium) != S_OK)
        return;

    HGLOBAL list = medium.tymed == TYMED_HGLOBAL ? medium.hGlobal : NULL;
    const BYTE* block = list ? (const BYTE*)GlobalLock(list) : NULL;
    UINT count = 0;
    if (block && FileListIsWhole(block, GlobalSize(list)))
        count = DragQueryFileW((HDROP)list, 0xFFFFFFFF, NULL, 0);

    int batch = OpenImportBatch(count > 0x7FFFFFFF ? 0x7FFFFFFF : (int)count);
    ImportFiles(batch, DroppedPath, list);
    if (block) GlobalUnlock(list);
    ReleaseStgMedium(&medium);
    CloseImportBatch(batch);
    // After a drop from another program's window, the program comes to the front.
    SetForegroundWindow(MainWindow);
}

void RegisterImageDropTarget(HWND window)
{
    ImageDropTarget = new (std::nothrow) CDropTarget(window);
    if (!ImageDropTarget) return;
    CoLockObjectExternal(ImageDropTarget, TRUE, FALSE);
    RegisterDragDrop(window, ImageDropTarget);
}

void RevokeImageDropTarget(HWND window)
{
    if (!ImageDropTarget) return;
    RevokeDragDrop(window);
    CoLockObjectExternal(ImageDropTarget, FALSE, TRUE);
    ImageDropTarget->Release();
    ImageDropTarget = NULL;
}
