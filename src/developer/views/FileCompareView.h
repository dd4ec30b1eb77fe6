#pragma once

#include "developer/FileCompare.h"
#include "developer/FileCompareText.h"
#include "ui-kit/QKFocusHold.h"

#include <functional>
#include <optional>
#include <QUrl>
#include <QWidget>

class CompareDropZone;
class CompareExplainButton;
class CompareFileFacts;
class CompareImagePair;
class CompareVerdict;
class DiffRowModel;
class QKCardSurface;
class QKEmptyState;
class QKIconLabel;
class QLabel;
class QListView;
class QStackedWidget;
class ScreenState;

// The "compare" section: two drop zones, and the outcome of comparing their files, which starts
// by itself once both hold one: a side-by-side line diff for text and documents, the two
// pictures for images, the facts of both files and a byte verdict for anything else. For a
// line diff with changes it offers the language model's explanation.
//
// It computes nothing: it draws the compare fields of ScreenState, which FileCompare fills, so
// leaving the section and coming back shows the same files and result; while a run is busy it
// also shows the first rows the run hands over ahead of its result. Its only own state is
// the side the file picker is open for.
class FileCompareView : public QWidget {
    Q_OBJECT
public:
    using Side = FileCompare::Side;
    // Asks the user for one file of any kind; nothing when the picker was cancelled or failed.
    using FilePicker = std::function<std::optional<QUrl>(QWidget* parent)>;

    FileCompareView(ScreenState& screen, FileCompare& compare, QWidget* parent = nullptr);

    // The action of a drop zone: asks for a file with the picker and puts it on that side.
    void pickFile(Side side);
    // A drop on a zone: the first item, when it is a local file, replaces that side.
    void acceptDrop(const QList<QUrl>& urls, Side side);
    // Replaces the system file dialog (tests, scripted shots).
    void setFilePicker(FilePicker picker) { m_picker = std::move(picker); }

    FileCompareText::ResultPage resultPage() const;
    CompareImagePair* imagePair() const { return m_images; }
    // The line view (ui_bench reads it as a screen reader does).
    QListView* diffList() const { return m_list; }

private:
    QWidget* buildHeader();
    QStackedWidget* buildResults();
    QWidget* buildTextPage();
    void refreshZones();
    void refreshTitleRow();
    void refreshExplanation();
    void refreshResult();
    void showRows(const QList<DiffRow>& rows);

    ScreenState& m_screen;
    FileCompare& m_compare;
    FilePicker m_picker;
    Side m_pickTarget = Side::Left;

    CompareDropZone* m_leftZone = nullptr;
    CompareDropZone* m_rightZone = nullptr;
    CompareExplainButton* m_explain = nullptr;
    // "Explain changes" turns itself off while the assistant works: the focus waits on the screen
    QKFocusHold m_hold{this};
    CompareVerdict* m_verdict = nullptr;
    QKCardSurface* m_explanationBox = nullptr;
    QLabel* m_explanationText = nullptr;
    QKIconLabel* m_unavailable = nullptr;
    QStackedWidget* m_results = nullptr;
    QKEmptyState* m_error = nullptr;
    QKEmptyState* m_pick = nullptr;
    QWidget* m_textPage = nullptr;
    QWidget* m_banner = nullptr;
    QListView* m_list = nullptr;
    DiffRowModel* m_model = nullptr;
    CompareImagePair* m_images = nullptr;
    CompareFileFacts* m_facts = nullptr;
};
