// Writing the collection as one PDF: each picture decoded again, turned as its entry
// says, fitted into a cell, resampled by the quality setting, re-encoded as JPEG and
// drawn with a grey background, a black frame and its caption. The JPEGs wait in the
// spool and the file is written as it is made, so memory stays flat however many
// pictures there are.
#include "pdf/pdf_builder.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <deque>
#include <string>

#include "model/product.h"
#include "pdf/pdf_document.h"
#include "model/page_geometry.h"

namespace {

const double CellGrey = 0.5;
const double FrameWidth = 1.5;
const unsigned CaptionBoxHeight = 14;
const int PaperTextChars = 30;
const int MessageChars = 1024;

// Where the next picture goes: its cell on the current page, and that page.
struct PageState {
    int cellIndex;
    unsigned pageWidth, pageHeight, cellWidth, cellHeight;
};

// How placing the pictures, or one of them, ended.
enum RunEnd { RunGoesOn, RunCancelled, RunFailed };

// A picture handed to a worker ahead of its turn, with the plan it was given.
struct SentPicture {
    size_t index;  // in the collection
    int worker;
    bool started;
    PagePlan plan;
};

bool SamePlan(const PagePlan& a, const PagePlan& b)
{
    return a.flips == b.flips && a.rotation == b.rotation && a.cellsPerPage == b.cellsPerPage &&
           a.startsPage == b.startsPage && a.pageWidth == b.pageWidth &&
           a.pageHeight == b.pageHeight && a.margin == b.margin && a.gap == b.gap &&
           a.cellWidth == b.cellWidth && a.cellHeight == b.cellHeight && a.quality == b.quality;
}

class PdfRun {
public:
    PdfRun(const PdfSettingsRecord& settings, PdfFiles& files, PagePictures& pictures,
           BuildProgress& progress, PdfDocument& document)
        : settings_(settings), files_(files), pictures_(pictures), progress_(progress),
          document_(document), cellsPerPage_(ImagesPerPage(settings.layout))
    {
    }

    void SetInformation();
    void StartDocument();
    RunEnd AddAll(const ImageCollectionType& images);
    bool Write(const char* pdfPath);

private:
    RunEnd AddEntry(const ImageEntry& entry, const SentPicture& sent);
    void SetPaper(PaperTurn turn);
    void StartPage(unsigned w, unsigned h);
    RunEnd LeaveOut(const ImageEntry& entry, const char* format);
    PageState State() const;
    PagePlan Plan(const PageState& state, const ImageEntry& entry) const;
    PageState Guess(const PageState& state, const ImageEntry& entry) const;

    const PdfSettingsRecord& settings_;
    PdfFiles& files_;
    PagePictures& pictures_;
    BuildProgress& progress_;
    PdfDocument& document_;
    const int cellsPerPage_;
    char paperText_[PaperTextChars] = "";
    unsigned pageWidth_ = 0, pageHeight_ = 0;
    PageCells page_ = {};
    int cellIndex_ = 0;
    // No picture has been drawn on the current page yet: the next picture uses it rather
    // than adding a page, so a skipped file never leaves a blank page behind.
    bool pageFresh_ = true;
};

void PdfRun::SetInformation()
{
    char author[MessageChars];
    snprintf(author, sizeof author, "%s (%s)", ProductName, ProductWebAddress);
    document_.SetInfoEntry(PdfInfoAuthor, author);
    document_.SetInfoEntry(PdfInfoTitle, "Shared Images");
    document_.SetInfoEntry(PdfInfoSubject, "Images");
    document_.SetInfoEntry(PdfInfoCreator, ProductVersionText);
    document_.SetInfoEntry(PdfInfoProducer, CompanyName);
}

void PdfRun::StartDocument()
{
    SetPaper(PaperNameLandscape);  // a document starts out landscape
}

void PdfRun::SetPaper(PaperTurn turn)
{
    if (turn != PaperUnchanged) {  // cut to the paper text's size, like the settings
        std::string text = settings_.pageSizeName;
        if (turn == PaperNameLandscape) text += " Landscape";
        CopyText(paperText_, sizeof paperText_, text.c_str());
    }
    document_.SetPaper(paperText_);
    pageWidth_ = (unsigned)document_.PageWidth();
    pageHeight_ = (unsigned)document_.PageHeight();
}

// The first picture of a page sets its orientation and drawing state.
void PdfRun::StartPage(unsigned w, unsigned h)
{
    SetPaper(ChoosePaperTurn(cellsPerPage_, w, h, pageWidth_, pageHeight_));
    document_.SetFillRgb(CellGrey, CellGrey, CellGrey);
    document_.SetStrokeRgb(0, 0, 0);
    document_.SetStrokeWidth(FrameWidth);
    document_.CompressPage();
    pageWidth_ = (unsigned)document_.PageWidth();
    pageHeight_ = (unsigned)document_.PageHeight();
    page_ = ComputePageCells(cellsPerPage_, pageWidth_, pageHeight_, settings_.pageMargin,
                             settings_.cellGap);
}

// A file that cannot be read is left out, and the run goes on.
RunEnd PdfRun::LeaveOut(const ImageEntry& entry, const char* format)
{
    char message[MessageChars];
    snprintf(message, sizeof message, format, entry.path);
    progress_.SetMessageLine(message);
    return RunGoesOn;
}

PageState PdfRun::State() const
{
    return PageState{cellIndex_, pageWidth_, pageHeight_, page_.cellWidth, page_.cellHeight};
}

PagePlan PdfRun::Plan(const PageState& state, const ImageEntry& entry) const
{
    PagePlan plan;
    plan.flips = entry.flips;
    plan.rotation = entry.rotation;
    plan.cellsPerPage = cellsPerPage_;
    plan.startsPage = state.cellIndex == 0;
    plan.pageWidth = state.pageWidth;
    plan.pageHeight = state.pageHeight;
    plan.margin = settings_.pageMargin;
    plan.gap = settings_.cellGap;
    plan.cellWidth = state.cellWidth;
    plan.cellHeight = state.cellHeight;
    plan.quality = settings_.imageQuality;
    return plan;
}

// The page after the entry's picture is placed, guessed before it is decoded: the
// picture placed, turned as its thumbnail shows it.
PageState PdfRun::Guess(const PageState& state, const ImageEntry& entry) const
{
    const PictureRect& r = entry.pictureRect;
    const unsigned w = (unsigned)std::max(0, r.right - r.left);
    const unsigned h = (unsigned)std::max(0, r.bottom - r.top);
    const PlannedPage page = PlanPage(Plan(state, entry), w, h);
    return PageState{(state.cellIndex + 1) % cellsPerPage_, page.pageWidth, page.pageHeight,
                     page.cellWidth, page.cellHeight};
}

// Each picture goes to a worker as soon as one is free, planned for the page as it will
// be once the pictures still with workers are placed as guessed; the pictures are placed
// in order. With one worker nothing is guessed.
RunEnd PdfRun::AddAll(const ImageCollectionType& images)
{
    std::deque<SentPicture> sent;
    size_t next = 0;
    for (const ImageEntry& entry : images) {
        if (!progress_.PumpAndContinue()) {
            pictures_.DropPagePictures();
            return RunCancelled;
        }
        PageState ahead = State();
        for (const SentPicture& s : sent)
            ahead = Guess(ahead, images[s.index]);
        const int most = PagePictures::MaxPictureWorkers;
        const size_t workers = (size_t)std::max(1, std::min(pictures_.PictureWorkers(), most));
        for (; next < images.size() && sent.size() < workers; next++) {
            bool busy[most] = {};
            for (const SentPicture& s : sent) busy[s.worker] = true;
            SentPicture picture;
            picture.index = next;
            picture.worker = (int)(std::find(busy, busy + most, false) - busy);
            picture.plan = Plan(ahead, images[next]);
            picture.started = pictures_.StartPagePicture(picture.worker, images[next], picture.plan);
            ahead = Guess(ahead, images[next]);
            sent.push_back(picture);
        }
        const RunEnd end = AddEntry(entry, sent.front());
        sent.pop_front();
        if (end != RunGoesOn) {
            pictures_.DropPagePictures();
            return end;
        }
    }
    // A Cancel handled while the last picture was on its way.
    return progress_.PumpAndContinue() ? RunGoesOn : RunCancelled;
}

RunEnd PdfRun::AddEntry(const ImageEntry& entry, const SentPicture& sent)
{
    progress_.StepProgress();
    progress_.SetMessageLine(entry.path);

    PagePicture picture;
    const PagePlan plan = Plan(State(), entry);
    PictureOutcome made = sent.started ? pictures_.FinishPagePicture(sent.worker, &picture)
                                       : PictureFailed;
    // A wrong guess (a picture before was skipped, or turned its page otherwise than its
    // thumbnail showed) is made again for the page as it is.
    if (made == PictureMade && !SamePlan(plan, sent.plan))
        made = pictures_.StartPagePicture(sent.worker, entry, plan)
                   ? pictures_.FinishPagePicture(sent.worker, &picture)
                   : PictureFailed;
    switch (made) {
    case PictureMade: break;
    case PictureUnreadable: return LeaveOut(entry, "Error, could not open image file [%s].");
    case PictureTooSlow: return LeaveOut(entry, "Error, image file took too long to read [%s].");
    case PictureCancelled: return RunCancelled;
    case PictureFailed: return RunFailed;
    }
    const unsigned w = picture.width, h = picture.height;

    if (cellIndex_ == 0) {
        if (!pageFresh_ && !document_.AppendPage()) return RunFailed;
        pageFresh_ = true;
        StartPage(w, h);
    }
    const DrawnSize drawn = FitPicture(w, h, page_.cellWidth, page_.cellHeight);
    const int imageId =
        picture.spooledSize ? document_.AddSpooledJpeg(picture.jpeg.data(), picture.jpeg.size(),
                                                       picture.spooledAt, picture.spooledSize)
                            : document_.AddJpeg(picture.jpeg.data(), picture.jpeg.size());
    std::vector<uint8_t>().swap(picture.jpeg);  // the spool has it now
    if (imageId <= 0 && !document_.Damaged())  // a picture the library cannot embed
        return LeaveOut(entry, "Error, could not open image file [%s].");
    if (imageId <= 0) return RunFailed;  // the spool or the document could not take it
    document_.UseImage(imageId);

    const PageCell& cell = page_.cells[cellIndex_];
    const PageCell at = PicturePosition(page_, cellIndex_, drawn);
    document_.FillRect(cell.left, cell.top, page_.cellWidth, page_.cellHeight);
    document_.PlaceImage(at.left, at.top, drawn.width, drawn.height, picture.turn);
    document_.StrokeRect(cell.left, cell.top, page_.cellWidth, page_.cellHeight);
    if (!CaptionIsPlaceholder(entry.caption))
        document_.DrawTextInBox(cell.left, (double)cell.top - page_.cellHeight, page_.cellWidth,
                                CaptionBoxHeight, entry.caption);
    if (document_.Damaged()) return RunFailed;
    pageFresh_ = false;
    cellIndex_ = (cellIndex_ + 1) % cellsPerPage_;
    return RunGoesOn;
}

bool PdfRun::Write(const char* pdfPath)
{
    if (settings_.password[0]) {
        progress_.SetMessageLine("Password Encrypting the PDF...");
        document_.Encrypt(settings_.password, settings_.password,
                          PdfMakePermissions(1, 1, 1, 1, 1, 1, 1, 1));
    }
    progress_.SetMessageLine("Saving the PDF...");
    const bool existedBefore = files_.FileExists(pdfPath);  // pdfPath is never null here
    const bool written = document_.Write(pdfPath);
    // Only what this run wrote is removed: a file that was there before stays as it was.
    if (!written && !existedBefore && files_.FileExists(pdfPath)) files_.DeleteFileAt(pdfPath);
    return written;
}

int ReportFailure(BuildProgress& progress, const char* message)
{
    progress.SetMessageLine(message);
    progress.ShowFailure(message);
    return 0;
}

}  // namespace

int BuildPdfDocument(const ImageCollectionType& images, const PdfSettingsRecord& settings,
                     const char* pdfPath, PdfFiles& files, PagePictures& pictures,
                     BuildProgress& progress)
{
    char message[MessageChars];
    if (!pdfPath) pdfPath = "";
    if (images.size() > MaxPdfImages) {
        snprintf(message, sizeof message, "Only a maximum of %d images is supported.",
                 (int)MaxPdfImages);
        progress.ResetProgress();
        return ReportFailure(progress, message);
    }
    RunEnd end;
    bool written;
    {
        PdfDocument document(files, files);
        if (!document.Opened()) {
            progress.ResetProgress();
            return ReportFailure(progress, "PDF Open Failed.");
        }
        PdfRun run(settings, files, pictures, progress, document);
        run.SetInformation();
        progress.SetProgressRange((int)images.size());
        run.StartDocument();
        end = run.AddAll(images);
        written = end == RunGoesOn && run.Write(pdfPath);
    }  // the document is released before the outcome is reported
    if (end == RunCancelled) return 1;  // nothing written, nothing reported
    progress.ResetProgress();
    if (written) return 1;
    char reason[MessageChars / 2];
    files.DescribeFailure(reason, sizeof reason);
    snprintf(message, sizeof message, reason[0] ? "PDF Save Failed. %s" : "PDF Save Failed.",
             reason);
    return ReportFailure(progress, message);
}
