// The program-lifetime globals of the Win32 layer, each defined once in globals_win.cpp.
// The image collection and the PDF settings live in the portable core.
#pragma once
#include "platform/win32.h"

#include "model/collection.h"
#include "model/types.h"
#include "model/pdf_settings.h"
#include "resources/resource.h"

// Private messages posted to the main window by the progress dialogs' Cancel.
#define APP_CLOSE_PDF_PROGRESS (WM_APP + 1)
#define APP_CLOSE_ADD_PROGRESS (WM_APP + 2)

extern HINSTANCE AppInstance;            // module of the program (resources)
extern char WindowTitle[100];            // "Tolvane"
extern char MainClassName[100];          // "QUORREL_TOLVANE"
extern HWND MainWindow;                  // set once CreateWindow returns
extern int OsVersionClass;               // 1..7, picks the toolbar bitmap
extern DWORD CommonControlsVersion;      // major << 16 | minor

// Modes and long operations (0 or 1).
extern int PreviewActive;
extern int DragActive;
extern int CaptionEditActive;
extern int ImportActive;
extern int PdfBuildActive;
extern int PaletteShown;

extern char PdfPath[MaxPathBytes];           // the PDF being made
extern char PdfSaveDirectory[MaxPathBytes];  // folder of the last PDF
extern char ImportDirectory[MaxPathBytes];   // folder of the last Add Images
extern char HelpFilePath[MaxPathChars];      // empty when no help file was found
extern HMODULE MapiLibrary;                  // null without Simple MAPI

// The insertion mark of a reorder drag and its eraser, selected for the whole run.
extern HDC InsertMarkDC;
extern HDC InsertEraserDC;

// Child windows and their helpers.
extern HWND ImageListView;
extern HWND PreviewListView;
extern HWND MainToolbar;
extern HWND MainToolbarTips;
extern HWND StatusBar;
extern HWND LayoutPalette;
extern HWND PaletteToolbar;
extern HWND PaletteToolbarTips;
extern HWND AddImagesProgressDialog;
extern HWND MakePdfProgressDialog;

// Help: the help window and the HTML Help control, loaded on the first help request.
typedef HWND(WINAPI* HtmlHelpEntryProc)(HWND caller, LPCSTR file, UINT command, DWORD_PTR data);
extern HWND HelpWindow;                  // the window of the last help request, or null
extern HMODULE HelpControlModule;        // hhctrl.ocx once loaded
extern HtmlHelpEntryProc HtmlHelpEntry;  // its HtmlHelpA (ordinal 14)
extern int HelpLoadFailed;               // 1 after a failed load; then never retried

// The image list's drop target, registered from the view's creation to its destruction.
class CDropTarget;
extern CDropTarget* ImageDropTarget;

// Client point of the last right click in the image list, on an item or not; "Change
// Caption" from the context menu edits the item under it.
extern POINT LastRightClickPoint;
