#include "ui/globals_win.h"

HINSTANCE AppInstance;
char WindowTitle[100];
char MainClassName[100];
HWND MainWindow;
int OsVersionClass;
DWORD CommonControlsVersion;

int PreviewActive;
int DragActive;
int CaptionEditActive;
int ImportActive;
int PdfBuildActive;
int PaletteShown;

char PdfPath[MaxPathBytes];
char PdfSaveDirectory[MaxPathBytes];
char ImportDirectory[MaxPathBytes];
char HelpFilePath[MaxPathChars];
HMODULE MapiLibrary;

HDC InsertMarkDC;
HDC InsertEraserDC;

HWND ImageListView;
HWND PreviewListView;
HWND MainToolbar;
HWND MainToolbarTips;
HWND StatusBar;
HWND LayoutPalette;
HWND PaletteToolbar;
HWND PaletteToolbarTips;
HWND AddImagesProgressDialog;
HWND MakePdfProgressDialog;

HWND HelpWindow;
HMODULE HelpControlModule;
HtmlHelpEntryProc HtmlHelpEntry;
int HelpLoadFailed;

CDropTarget* ImageDropTarget;
POINT LastRightClickPoint;
