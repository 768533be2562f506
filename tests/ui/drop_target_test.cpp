// Dropping files on the image list, through the registered drop target and a real data
// object that offers a shell file list in global memory.
#include "ui/gtest_win.h"
#include "ui/import_support_win.h"
#include "ui/ui_support_win.h"

#include <shlobj.h>

#include <algorithm>
#include <vector>

#include "import/drop_target_win.h"
#include "support/test_images.h"

namespace {

// A data object as the shell offers it: CF_HDROP in an HGLOBAL (or, for the refusals,
// only text, or a file list that cannot be fetched, or a damaged list).
class TestData : public IDataObject {
public:
    enum Kind { FileList, WideFileList, TextOnly, GetDataFails, DamagedList };
    TestData(std::vector<std::string> paths, Kind kind = FileList) : paths_(paths), kind_(kind) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDataObject)) {
            *object = static_cast<IDataObject*>(this);
            AddRef();
            return S_OK;
        }
        *object = NULL;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    STDMETHODIMP_(ULONG) Release() override { return --refs_; }  // lives on the stack

    STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override
    {
        gets++;
        if (QueryGetData(format) != S_OK || kind_ == GetDataFails) return DV_E_FORMATETC;
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = MakeList();
        medium->pUnkForRelease = NULL;
        return medium->hGlobal ? S_OK : E_OUTOFMEMORY;
    }
    STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHODIMP QueryGetData(FORMATETC* format) override
    {
        CLIPFORMAT offered = kind_ == TextOnly ? CF_TEXT : CF_HDROP;
        if (format->cfFormat != offered || !(format->tymed & TYMED_HGLOBAL) ||
            format->dwAspect != DVASPECT_CONTENT)
            return DV_E_FORMATETC;
        return S_OK;
    }
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override
    {
        out->ptd = NULL;
        return E_NOTIMPL;
    }
    STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP DUnadvise(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }

    int gets = 0;

private:
    HGLOBAL MakeList()
    {
        std::string names;
        for (const std::string& p : paths_) names += p + '\0';
        names += '\0';
        if (kind_ == WideFileList) {  // the shell's form: UTF-16 names
            std::vector<WCHAR> wide(names.size());
            int chars = MultiByteToWideChar(CP_UTF8, 0, names.data(), (int)names.size(),
                                            wide.data(), (int)wide.size());
            names.assign((const char*)wide.data(), chars * sizeof(WCHAR));
        }
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + names.size());
        DROPFILES* header = (DROPFILES*)GlobalLock(block);
        header->pFiles = sizeof(DROPFILES);
        header->fWide = kind_ == WideFileList;
        memcpy((char*)header + sizeof(DROPFILES), names.data(), names.size());
        if (kind_ == DamagedList) {  // the list claims to start far past the block
            header->pFiles = 1 << 20;
        }
        GlobalUnlock(block);
        return block;
    }

    std::vector<std::string> paths_;
    Kind kind_;
    ULONG refs_ = 1;
};

// The drop as OLE delivers it: DragEnter, DragOver, Drop with the source's allowed effects.
struct DropResult {
    DWORD enter, over, drop;
};
DropResult DropOnList(IDataObject* data, DWORD allowed = DROPEFFECT_COPY | DROPEFFECT_MOVE,
                      DWORD keys = MK_LBUTTON)
{
    IDropTarget* target = ImageDropTarget;
    POINTL point = {100, 200};
    DropResult r;
    r.enter = allowed;
    target->DragEnter(data, keys, point, &r.enter);
    r.over = allowed;
    target->DragOver(keys, point, &r.over);
    r.drop = allowed;
    target->Drop(data, keys, point, &r.drop);
    return r;
}

std::vector<std::string> Paths()
{
    std::vector<std::string> paths;
    for (const ImageEntry& e : ImageCollection) paths.push_back(e.path);
    return paths;
}

}  // namespace

TEST(DropTarget, ThreeFilesAreAddedInDropOrder)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    ASSERT_TRUE(ImageDropTarget != NULL);
    std::string folder = MakeTestFolder("drop");
    std::vector<std::string> files = {WritePicture(folder, "c.png", 90, 60, "png"),
                                      WritePicture(folder, "a.jpg", 60, 90, "jpg"),
                                      WritePicture(folder, "b.gif", 70, 70, "gif")};
    TestData data(files);
    ProgressRecorder progress;
    DropResult r = DropOnList(&data);
    EXPECT_EQ((DWORD)DROPEFFECT_COPY, r.enter);
    EXPECT_EQ((DWORD)DROPEFFECT_COPY, r.over);
    EXPECT_EQ((DWORD)DROPEFFECT_COPY, r.drop);
    EXPECT_EQ(files, Paths());
    for (int i = 0; i < 3; i++) EXPECT_EQ(i, ImageCollection[i].slot) << "an empty list starts at slot 0";
    EXPECT_EQ((std::vector<std::string>{"Processing File 001 of 003", "Processing File 002 of 003",
                                        "Processing File 003 of 003"}),
              progress.statuses);
    EXPECT_EQ("Making Thumbnail for: " + files[2], progress.messages.back());
    EXPECT_EQ(3, progress.steps);
    EXPECT_EQ(MAKELPARAM(0, 3), progress.range);
    EXPECT_EQ(0, ImportActive);
    EXPECT_TRUE(IsWindowEnabled(MainWindow));
    EXPECT_FALSE(IsWindow(AddImagesProgressDialog));
    EXPECT_EQ(3, (int)SendMessageA(ImageListView, LVM_GETITEMCOUNT, 0, 0));
}

TEST(DropTarget, AFolderAndTwoPictures)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    std::string folder = MakeTestFolder("mixed");
    std::string inner = folder + "\\holiday";
    CreateDirectoryA(inner.c_str(), NULL);
    std::vector<std::string> files = {WritePicture(folder, "a.png", 90, 60, "png"), inner,
                                      WritePicture(folder, "b.png", 60, 90, "png")};
    TestData data(files);
    ProgressRecorder progress;
    DropResult r = DropOnList(&data);
    EXPECT_EQ((DWORD)DROPEFFECT_COPY, r.drop);
    EXPECT_EQ((std::vector<std::string>{files[0], files[2]}), Paths());
    EXPECT_EQ(1, std::count(progress.messages.begin(), progress.messages.end(),
                            "Unknown File Format: " + inner));
}

TEST(DropTarget, BadFilesAreReportedAndTheDropGoesOn)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    std::string folder = MakeTestFolder("badDrop");
    std::vector<uint8_t> png = MakeTestImageBytes(300, 200, "png");
    WriteTestFile(folder + "\\broken.png", png.data(), png.size() / 3);
    WriteTestFile(folder + "\\empty.jpg", "", 0);
    std::string text = WriteTextFile(folder, "notes.jpg", "not a picture");
    std::string longPath = folder + "\\" + std::string(280, 'x') + ".png";
    std::vector<std::string> files = {
        WritePicture(folder, "first.png", 80, 80, "png"), folder + "\\broken.png",
        folder + "\\empty.jpg", text, folder + "\\vanished.png", longPath,
        WritePicture(folder, "last.bmp", 80, 50, "bmp")};
    TestData data(files);
    ProgressRecorder progress;
    DropOnList(&data);

    EXPECT_EQ((std::vector<std::string>{files[0], files[6]}), Paths());
    std::string cutPath = longPath.substr(0, 259);  // as the drop list hands it over
    for (const std::string& bad : {files[1], files[2], files[3], files[4], cutPath})
        EXPECT_EQ(1, std::count(progress.messages.begin(), progress.messages.end(),
                                "Unknown File Format: " + bad))
            << bad;
    EXPECT_EQ(7u, progress.statuses.size());
    EXPECT_EQ("Processing File 007 of 007", progress.statuses.back());
}

TEST(DropTarget, DataWithoutAFileListIsRefused)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    TestData text({"C:\\windows\\win.ini"}, TestData::TextOnly);  // as selected text is
    ProgressRecorder progress;
    DropResult r = DropOnList(&text);
    EXPECT_EQ((DWORD)DROPEFFECT_NONE, r.enter);
    EXPECT_EQ((DWORD)DROPEFFECT_NONE, r.over);
    EXPECT_EQ((DWORD)DROPEFFECT_NONE, r.drop);
    EXPECT_EQ(0, text.gets);
    EXPECT_TRUE(progress.statuses.empty());
    EXPECT_TRUE(ImageCollection.empty());
    EXPECT_TRUE(IsWindowEnabled(MainWindow));
}

TEST(DropTarget, AListThatCannotBeReadImportsNothing)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    std::string folder = MakeTestFolder("unreadable");
    std::string picture = WritePicture(folder, "a.png", 50, 50, "png");
    for (TestData::Kind kind : {TestData::GetDataFails, TestData::DamagedList}) {
        TestData data({picture}, kind);
        ProgressRecorder progress;
        DropOnList(&data);
        EXPECT_EQ(1, data.gets);
        EXPECT_TRUE(progress.statuses.empty());
        EXPECT_TRUE(ImageCollection.empty());
        EXPECT_EQ(0, ImportActive);
        EXPECT_TRUE(IsWindowEnabled(MainWindow));
    }
}

TEST(DropTarget, AlwaysACopyNeverAMove)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    struct Case {
        DWORD allowed, keys, expected;
    } cases[] = {
        {DROPEFFECT_COPY | DROPEFFECT_MOVE, MK_LBUTTON, DROPEFFECT_COPY},
        {DROPEFFECT_COPY | DROPEFFECT_MOVE, MK_LBUTTON | MK_SHIFT, DROPEFFECT_COPY},
        {DROPEFFECT_COPY | DROPEFFECT_MOVE, MK_LBUTTON | MK_CONTROL, DROPEFFECT_COPY},
        {DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK, MK_LBUTTON | MK_SHIFT | MK_CONTROL,
         DROPEFFECT_COPY},
        {DROPEFFECT_COPY, MK_LBUTTON | MK_SHIFT, DROPEFFECT_COPY},
        {DROPEFFECT_MOVE, MK_LBUTTON, DROPEFFECT_NONE},  // a move-only source is refused
        {DROPEFFECT_LINK, MK_LBUTTON, DROPEFFECT_NONE},
        {DROPEFFECT_NONE, MK_LBUTTON, DROPEFFECT_NONE},
    };
    std::string folder = MakeTestFolder("effects");
    std::string picture = WritePicture(folder, "a.png", 50, 50, "png");
    size_t expectedEntries = 0;
    for (const Case& c : cases) {
        TestData data({picture});
        DropResult r = DropOnList(&data, c.allowed, c.keys);
        EXPECT_EQ(c.expected, r.enter) << c.allowed << "/" << c.keys;
        EXPECT_EQ(c.expected, r.over) << c.allowed << "/" << c.keys;
        EXPECT_EQ(c.expected, r.drop) << c.allowed << "/" << c.keys;
        if (c.expected != DROPEFFECT_NONE) expectedEntries++;
        EXPECT_EQ(expectedEntries, ImageCollection.size()) << "refused drops import nothing";
    }
}

TEST(DropTarget, DragEnterWithFilesFocusesTheList)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    SetForegroundWindow(MainWindow);
    SetFocus(MainWindow);
    TestData text({"x"}, TestData::TextOnly);
    DWORD effect = DROPEFFECT_COPY;
    POINTL point = {10, 10};
    ImageDropTarget->DragEnter(&text, MK_LBUTTON, point, &effect);
    EXPECT_EQ(MainWindow, GetFocus()) << "refused data leaves the focus alone";
    ImageDropTarget->DragLeave();

    TestData files({"C:\\a.png"});
    effect = DROPEFFECT_COPY;
    ImageDropTarget->DragEnter(&files, MK_LBUTTON, point, &effect);
    EXPECT_EQ(ImageListView, GetFocus());
    EXPECT_EQ(S_OK, ImageDropTarget->DragLeave());
    EXPECT_TRUE(ImageCollection.empty()) << "nothing is dropped by entering";
}

TEST(DropTarget, ADropDuringAnImportIsRefused)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    std::string folder = MakeTestFolder("during");
    std::vector<std::string> first, second;
    for (int i = 0; i < 4; i++) {
        char name[16];
        snprintf(name, sizeof name, "a%d.png", i);
        first.push_back(WritePicture(folder, name, 60, 60, "png"));
        snprintf(name, sizeof name, "b%d.png", i);
        second.push_back(WritePicture(folder, name, 60, 60, "png"));
    }
    TestData firstDrop(first), secondDrop(second);
    DropResult nested = {99, 99, 99};
    ProgressRecorder progress;
    progress.onStatus = [&](const std::string& status) {
        if (status == "Processing File 002 of 004") {
            nested = DropOnList(&secondDrop);
        }
    };
    DropResult r = DropOnList(&firstDrop);
    EXPECT_EQ((DWORD)DROPEFFECT_COPY, r.drop);
    EXPECT_EQ((DWORD)DROPEFFECT_NONE, nested.enter);
    EXPECT_EQ((DWORD)DROPEFFECT_NONE, nested.over);
    EXPECT_EQ((DWORD)DROPEFFECT_NONE, nested.drop);
    EXPECT_EQ(0, secondDrop.gets);
    EXPECT_EQ(first, Paths());
    EXPECT_EQ(4u, progress.statuses.size());
}

TEST(DropTarget, RefusedWhileThePdfIsMadeOrADialogIsOpen)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    std::string folder = MakeTestFolder("busy");
    TestData data({WritePicture(folder, "a.png", 50, 50, "png")});
    PdfBuildActive = 1;
    DropResult r = DropOnList(&data);
    EXPECT_EQ((DWORD)DROPEFFECT_NONE, r.enter);
    EXPECT_EQ((DWORD)DROPEFFECT_NONE, r.drop);
    PdfBuildActive = 0;
    EnableWindow(MainWindow, FALSE);  // as a modal dialog of the main window does
    r = DropOnList(&data);
    EXPECT_EQ((DWORD)DROPEFFECT_NONE, r.drop);
    EnableWindow(MainWindow, TRUE);
    EXPECT_EQ(0, data.gets);
    EXPECT_TRUE(ImageCollection.empty());
    r = DropOnList(&data);
    EXPECT_EQ((DWORD)DROPEFFECT_COPY, r.drop) << "accepted again once idle";
    EXPECT_EQ(1u, ImageCollection.size());
}

TEST(DropTarget, ReferencesAreGivenBackOnRevoke)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    CDropTarget* target = ImageDropTarget;
    ASSERT_TRUE(target != NULL);
    ULONG held = target->AddRef();  // our own reference keeps it alive past the revoke
    EXPECT_GE(held, 2u);
    EXPECT_EQ(held - 1, target->Release());
    EXPECT_EQ(held, target->AddRef());

    void* object = (void*)1;
    EXPECT_EQ(S_OK, target->QueryInterface(IID_IDropTarget, &object));
    EXPECT_EQ((void*)static_cast<IDropTarget*>(target), object);
    EXPECT_EQ(held, target->Release());
    EXPECT_EQ(S_OK, target->QueryInterface(IID_IUnknown, &object));
    EXPECT_EQ(held, target->Release());
    object = (void*)1;
    EXPECT_EQ(E_NOINTERFACE, target->QueryInterface(IID_IDataObject, &object));
    EXPECT_EQ(NULL, object);

    DestroyWindow(MainWindow);  // revokes, unlocks and releases
    FlushMessages();
    EXPECT_TRUE(ImageDropTarget == NULL);
    EXPECT_EQ(0u, target->Release()) << "ours was the last reference";
}

// What the shell drops: UTF-16 names, here Cyrillic, Japanese and Latin ones; each
// arrives whole (UTF-8 inside), none as '?'.
TEST(DropTarget, NamesOutsideTheCodePage)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    std::string folder = MakeTestFolder("\xe5\x86\x99\xe7\x9c\x9f");  // 写真
    std::vector<std::string> files = {
        WritePicture(folder, "\xd1\x84\xd0\xbe\xd1\x82\xd0\xbe.jpg", 60, 90, "jpg"),  // фото.jpg
        WritePicture(folder, "\xe5\x86\x99\xe7\x9c\x9f.png", 90, 60, "png"),          // 写真.png
        WritePicture(folder, "caf\xc3\xa9.gif", 70, 70, "gif")};                       // café.gif
    TestData data(files, TestData::WideFileList);
    ProgressRecorder progress;
    DropOnList(&data);
    EXPECT_EQ(files, Paths());
    EXPECT_EQ("Making Thumbnail for: " + files[1], progress.messages[1]);
}
