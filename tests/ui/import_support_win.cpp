#include "ui/import_support_win.h"

#include "app/wide_text_win.h"

#include "import/import_batch_win.h"
#include "support/test_images.h"
#include "ui/ui_support_win.h"

std::string WritePicture(const std::string& folder, const char* name, int width, int height,
                         const char* format, BYTE r, BYTE g, BYTE b)
{
    std::vector<uint8_t> bytes = MakeTestImageBytes(width, height, format, r, g, b);
    std::string path = folder + "\\" + name;
    if (bytes.empty() || !WriteTestFile(path, bytes.data(), bytes.size())) return "";
    return path;
}

std::string WriteTextFile(const std::string& folder, const char* name, const char* text)
{
    std::string path = folder + "\\" + name;
    WriteTestFile(path, text, strlen(text));
    return path;
}

void TypeIntoOpenDialog(const std::string& typed, std::string* filter, DWORD timeoutMs)
{
    WhenDialogAppears([typed, filter](HWND dialog) {
        if (filter) *filter = WindowText(GetDlgItem(dialog, 0x470));  // the file-type box
        HWND box = GetDlgItem(dialog, 0x47C);
        HWND edit = FindWindowExA(box, NULL, "Edit", NULL);
        SetWindowTextUtf8(edit ? edit : box, typed.c_str());
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    }, timeoutMs);
}

std::vector<std::string> AddTestPictures(int count)
{
    std::string folder = MakeTestFolder("pictures");
    std::vector<std::string> paths;
    for (int i = 0; i < count; i++) {
        char name[32];
        snprintf(name, sizeof name, "picture%02d.png", i);
        paths.push_back(WritePicture(folder, name, 60 + 10 * i, 40 + 7 * (i % 4), "png",
                                     (BYTE)(30 * i), 120, (BYTE)(200 - 15 * i)));
        AddImageFile(paths.back().c_str());
    }
    return paths;
}

namespace {
ProgressRecorder* Recorder;
HHOOK RecorderHook;

LRESULT CALLBACK AfterMessage(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPRETSTRUCT* m = (const CWPRETSTRUCT*)lParam;
    if (code == HC_ACTION && Recorder && AddImagesProgressDialog &&
        GetParent(m->hwnd) == AddImagesProgressDialog) {
        int id = GetDlgCtrlID(m->hwnd);
        if (m->message == WM_SETTEXT && id == IDC_ADD_STATUS) {
            Recorder->statuses.push_back(WindowText(m->hwnd));  // set: read back as UTF-8
            if (Recorder->onStatus) Recorder->onStatus(Recorder->statuses.back());
        } else if (m->message == WM_SETTEXT && id == IDC_ADD_MESSAGE) {
            Recorder->messages.push_back(WindowText(m->hwnd));
            if (Recorder->onMessage) Recorder->onMessage(Recorder->messages.back());
        } else if (m->message == PBM_STEPIT && id == IDC_ADD_PROGRESS_BAR) {
            Recorder->steps++;
        } else if (m->message == PBM_SETRANGE && id == IDC_ADD_PROGRESS_BAR) {
            Recorder->range = m->lParam;
        }
    }
    return CallNextHookEx(RecorderHook, code, wParam, lParam);
}
}  // namespace

ProgressRecorder::ProgressRecorder()
{
    Recorder = this;
    RecorderHook = SetWindowsHookExA(WH_CALLWNDPROCRET, AfterMessage, NULL, GetCurrentThreadId());
}

ProgressRecorder::~ProgressRecorder()
{
    UnhookWindowsHookEx(RecorderHook);
    Recorder = nullptr;
}

void PressProgressCancel()
{
    PostMessageA(GetDlgItem(AddImagesProgressDialog, IDC_ADD_CANCEL), BM_CLICK, 0, 0);
}

COLORREF SlotPixel(int slot, int x, int y)
{
    HIMAGELIST list = (HIMAGELIST)SendMessageA(ImageListView, LVM_GETIMAGELIST, LVSIL_NORMAL, 0);
    HDC screen = GetDC(NULL);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP canvas = CreateCompatibleBitmap(screen, ThumbnailSize, ThumbnailSize);
    HGDIOBJ old = SelectObject(dc, canvas);
    RECT all = {0, 0, ThumbnailSize, ThumbnailSize};
    FillRect(dc, &all, (HBRUSH)GetStockObject(WHITE_BRUSH));
    ImageList_Draw(list, slot, dc, 0, 0, ILD_TRANSPARENT);
    COLORREF colour = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteObject(canvas);
    DeleteDC(dc);
    ReleaseDC(NULL, screen);
    return colour;
}
