#pragma once

#include "shell/DiffRow.h"
#include "shell/ScreenModes.h"

#include <optional>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QUrl>
#include <QUuid>

// What the screens must keep across navigation: modes and panes, ticked items, last result
// lines, half-typed text, splitter widths and the last file comparison. Screens are rebuilt each
// time their section is selected; they bind their controls to these fields instead of keeping
// their own.
//
// One instance per run, made by the app and handed to the screens. It holds no logic and nothing
// is saved: a fresh launch starts from the initial values below (every mode and pane at its
// first case, empty selections, absent results). A setter stores the value and emits the
// field's change signal only when the value differs. Main thread only.
//
// "Absent" and "empty" are kept apart: an optional field that is nullopt has no value yet (no
// result line, no file chosen, identity not known), which is not the same as an empty text or
// false. compareSummary is never absent: it starts as the zero summary.
class ScreenState : public QObject {
    Q_OBJECT
    Q_PROPERTY(DiskMode diskMode READ diskMode WRITE setDiskMode NOTIFY diskModeChanged)
    Q_PROPERTY(QSet<QString> diskSelected READ diskSelected WRITE setDiskSelected NOTIFY
                   diskSelectedChanged)
    Q_PROPERTY(
        OptionalString diskResult READ diskResult WRITE setDiskResult NOTIFY diskResultChanged)
    Q_PROPERTY(QSet<QString> mailSelected READ mailSelected WRITE setMailSelected NOTIFY
                   mailSelectedChanged)
    Q_PROPERTY(
        OptionalString mailResult READ mailResult WRITE setMailResult NOTIFY mailResultChanged)
    Q_PROPERTY(QSet<QString> screenshotSelected READ screenshotSelected WRITE setScreenshotSelected
                   NOTIFY screenshotSelectedChanged)
    Q_PROPERTY(OptionalString screenshotResult READ screenshotResult WRITE setScreenshotResult
                   NOTIFY screenshotResultChanged)
    Q_PROPERTY(DevPane devPane READ devPane WRITE setDevPane NOTIFY devPaneChanged)
    Q_PROPERTY(
        QSet<QString> devSelected READ devSelected WRITE setDevSelected NOTIFY devSelectedChanged)
    Q_PROPERTY(OptionalString devResult READ devResult WRITE setDevResult NOTIFY devResultChanged)
    Q_PROPERTY(AppsPane appsPane READ appsPane WRITE setAppsPane NOTIFY appsPaneChanged)
    Q_PROPERTY(double folderSidebarWidth READ folderSidebarWidth WRITE setFolderSidebarWidth NOTIFY
                   folderSidebarWidthChanged)
    Q_PROPERTY(OptionalString folderSelection READ folderSelection WRITE setFolderSelection NOTIFY
                   folderSelectionChanged)
    Q_PROPERTY(FoldersMode folderMode READ folderMode WRITE setFolderMode NOTIFY folderModeChanged)
    Q_PROPERTY(bool bigOnlyOld READ bigOnlyOld WRITE setBigOnlyOld NOTIFY bigOnlyOldChanged)
    Q_PROPERTY(
        QSet<QUuid> bigSelection READ bigSelection WRITE setBigSelection NOTIFY bigSelectionChanged)
    Q_PROPERTY(OptionalString bigResult READ bigResult WRITE setBigResult NOTIFY bigResultChanged)
    Q_PROPERTY(DuplicatesMode duplicateMode READ duplicateMode WRITE setDuplicateMode NOTIFY
                   duplicateModeChanged)
    Q_PROPERTY(double duplicateThumbSize READ duplicateThumbSize WRITE setDuplicateThumbSize NOTIFY
                   duplicateThumbSizeChanged)
    Q_PROPERTY(QString uninstallSearch READ uninstallSearch WRITE setUninstallSearch NOTIFY
                   uninstallSearchChanged)
    Q_PROPERTY(OptionalString uninstallResult READ uninstallResult WRITE setUninstallResult NOTIFY
                   uninstallResultChanged)
    Q_PROPERTY(PerformanceMode performanceMode READ performanceMode WRITE setPerformanceMode NOTIFY
                   performanceModeChanged)
    Q_PROPERTY(double tamsoFindWidth READ tamsoFindWidth WRITE setTamsoFindWidth NOTIFY
                   tamsoFindWidthChanged)
    Q_PROPERTY(
        QString tamsoQuestion READ tamsoQuestion WRITE setTamsoQuestion NOTIFY tamsoQuestionChanged)
    Q_PROPERTY(QString tamsoSearch READ tamsoSearch WRITE setTamsoSearch NOTIFY tamsoSearchChanged)
    Q_PROPERTY(
        OptionalUrl compareLeft READ compareLeft WRITE setCompareLeft NOTIFY compareLeftChanged)
    Q_PROPERTY(
        OptionalUrl compareRight READ compareRight WRITE setCompareRight NOTIFY compareRightChanged)
    Q_PROPERTY(
        CompareMode compareMode READ compareMode WRITE setCompareMode NOTIFY compareModeChanged)
    Q_PROPERTY(
        QList<DiffRow> compareRows READ compareRows WRITE setCompareRows NOTIFY compareRowsChanged)
    Q_PROPERTY(DiffSummary compareSummary READ compareSummary WRITE setCompareSummary NOTIFY
                   compareSummaryChanged)
    Q_PROPERTY(OptionalBool compareIdenticalBytes READ compareIdenticalBytes WRITE
                   setCompareIdenticalBytes NOTIFY compareIdenticalBytesChanged)
    Q_PROPERTY(OptionalString compareError READ compareError WRITE setCompareError NOTIFY
                   compareErrorChanged)
    Q_PROPERTY(bool compareUsedExtraction READ compareUsedExtraction WRITE setCompareUsedExtraction
                   NOTIFY compareUsedExtractionChanged)
    Q_PROPERTY(bool compareBusy READ compareBusy WRITE setCompareBusy NOTIFY compareBusyChanged)
    Q_PROPERTY(OptionalString compareAISummary READ compareAISummary WRITE setCompareAISummary
                   NOTIFY compareAISummaryChanged)
    Q_PROPERTY(bool compareAIWorking READ compareAIWorking WRITE setCompareAIWorking NOTIFY
                   compareAIWorkingChanged)
    Q_PROPERTY(bool compareAIUnavailable READ compareAIUnavailable WRITE setCompareAIUnavailable
                   NOTIFY compareAIUnavailableChanged)
    Q_PROPERTY(OptionalUuid vaultSelection READ vaultSelection WRITE setVaultSelection NOTIFY
                   vaultSelectionChanged)
    Q_PROPERTY(int guidedStep READ guidedStep WRITE setGuidedStep NOTIFY guidedStepChanged)

public:
    using OptionalString = std::optional<QString>;
    using OptionalUrl = std::optional<QUrl>;
    using OptionalBool = std::optional<bool>;
    using OptionalUuid = std::optional<QUuid>;

    explicit ScreenState(QObject* parent = nullptr);

    // The storage hub's mode.
    DiskMode diskMode() const { return m_diskMode; }
    void setDiskMode(DiskMode value);

    // Ids of the ticked categories of the general storage cleaner.
    const QSet<QString>& diskSelected() const { return m_diskSelected; }
    void setDiskSelected(const QSet<QString>& value);

    // Last result line of the general storage cleaner.
    const OptionalString& diskResult() const { return m_diskResult; }
    void setDiskResult(const OptionalString& value);

    // Ids of the ticked mail categories.
    const QSet<QString>& mailSelected() const { return m_mailSelected; }
    void setMailSelected(const QSet<QString>& value);

    // Last result line of the mail cleaner.
    const OptionalString& mailResult() const { return m_mailResult; }
    void setMailResult(const OptionalString& value);

    // Ids of the ticked screenshot categories.
    const QSet<QString>& screenshotSelected() const { return m_screenshotSelected; }
    void setScreenshotSelected(const QSet<QString>& value);

    // Last result line of the screenshot cleaner.
    const OptionalString& screenshotResult() const { return m_screenshotResult; }
    void setScreenshotResult(const OptionalString& value);

    // The Developer Centre's pane.
    DevPane devPane() const { return m_devPane; }
    void setDevPane(DevPane value);

    // Ids of the ticked developer-cache categories.
    const QSet<QString>& devSelected() const { return m_devSelected; }
    void setDevSelected(const QSet<QString>& value);

    // Last result line of the developer cleanup.
    const OptionalString& devResult() const { return m_devResult; }
    void setDevResult(const OptionalString& value);

    // The apps hub's pane.
    AppsPane appsPane() const { return m_appsPane; }
    void setAppsPane(AppsPane value);

    // Width in points of the folder browser's side column.
    double folderSidebarWidth() const { return m_folderSidebarWidth; }
    void setFolderSidebarWidth(double value);

    // Id of the selected folder entry.
    const OptionalString& folderSelection() const { return m_folderSelection; }
    void setFolderSelection(const OptionalString& value);

    // The folder browser's mode.
    FoldersMode folderMode() const { return m_folderMode; }
    void setFolderMode(FoldersMode value);

    // The biggest-files pane's only-old-files filter.
    bool bigOnlyOld() const { return m_bigOnlyOld; }
    void setBigOnlyOld(bool value);

    // Ids of the ticked large files.
    const QSet<QUuid>& bigSelection() const { return m_bigSelection; }
    void setBigSelection(const QSet<QUuid>& value);

    // Last result line of moving large files to the Trash.
    const OptionalString& bigResult() const { return m_bigResult; }
    void setBigResult(const OptionalString& value);

    // Exact duplicates or similar photos.
    DuplicatesMode duplicateMode() const { return m_duplicateMode; }
    void setDuplicateMode(DuplicatesMode value);

    // Thumbnail size in points on the duplicates screen.
    double duplicateThumbSize() const { return m_duplicateThumbSize; }
    void setDuplicateThumbSize(double value);

    // The uninstaller's application search text.
    const QString& uninstallSearch() const { return m_uninstallSearch; }
    void setUninstallSearch(const QString& value);

    // Last result line of an uninstall.
    const OptionalString& uninstallResult() const { return m_uninstallResult; }
    void setUninstallResult(const OptionalString& value);

    // The Performance screen's page.
    PerformanceMode performanceMode() const { return m_performanceMode; }
    void setPerformanceMode(PerformanceMode value);

    // Width in points of the assistant's find panel.
    double tamsoFindWidth() const { return m_tamsoFindWidth; }
    void setTamsoFindWidth(double value);

    // The question being typed to the assistant.
    const QString& tamsoQuestion() const { return m_tamsoQuestion; }
    void setTamsoQuestion(const QString& value);

    // The find panel's search text.
    const QString& tamsoSearch() const { return m_tamsoSearch; }
    void setTamsoSearch(const QString& value);

    // The left file of the file compare.
    const OptionalUrl& compareLeft() const { return m_compareLeft; }
    void setCompareLeft(const OptionalUrl& value);

    // The right file of the file compare.
    const OptionalUrl& compareRight() const { return m_compareRight; }
    void setCompareRight(const OptionalUrl& value);

    // How the chosen pair is compared.
    CompareMode compareMode() const { return m_compareMode; }
    void setCompareMode(CompareMode value);

    // The rows of the last line diff.
    const QList<DiffRow>& compareRows() const { return m_compareRows; }
    void setCompareRows(const QList<DiffRow>& value);

    // The counts of the last line diff; all zero at first, never absent.
    const DiffSummary& compareSummary() const { return m_compareSummary; }
    void setCompareSummary(const DiffSummary& value);

    // Whether the two files are byte-identical; absent until known.
    const OptionalBool& compareIdenticalBytes() const { return m_compareIdenticalBytes; }
    void setCompareIdenticalBytes(const OptionalBool& value);

    // The last comparison failure.
    const OptionalString& compareError() const { return m_compareError; }
    void setCompareError(const OptionalString& value);

    // The text was extracted from documents before diffing.
    bool compareUsedExtraction() const { return m_compareUsedExtraction; }
    void setCompareUsedExtraction(bool value);

    // A comparison is running.
    bool compareBusy() const { return m_compareBusy; }
    void setCompareBusy(bool value);

    // The model-written explanation of the changes.
    const OptionalString& compareAISummary() const { return m_compareAISummary; }
    void setCompareAISummary(const OptionalString& value);

    // The explanation is being written.
    bool compareAIWorking() const { return m_compareAIWorking; }
    void setCompareAIWorking(bool value);

    // The on-device model is not available.
    bool compareAIUnavailable() const { return m_compareAIUnavailable; }
    void setCompareAIUnavailable(bool value);

    // Id of the selected secure note.
    const OptionalUuid& vaultSelection() const { return m_vaultSelection; }
    void setVaultSelection(const OptionalUuid& value);

    // The card the home screen's guided review is at (it may equal the number of cards: the
    // review is finished), so a review left for another section continues where it stopped.
    int guidedStep() const { return m_guidedStep; }
    void setGuidedStep(int value);

signals:
    void diskModeChanged(DiskMode value);
    void diskSelectedChanged(const QSet<QString>& value);
    void diskResultChanged(const OptionalString& value);
    void mailSelectedChanged(const QSet<QString>& value);
    void mailResultChanged(const OptionalString& value);
    void screenshotSelectedChanged(const QSet<QString>& value);
    void screenshotResultChanged(const OptionalString& value);
    void devPaneChanged(DevPane value);
    void devSelectedChanged(const QSet<QString>& value);
    void devResultChanged(const OptionalString& value);
    void appsPaneChanged(AppsPane value);
    void folderSidebarWidthChanged(double value);
    void folderSelectionChanged(const OptionalString& value);
    void folderModeChanged(FoldersMode value);
    void bigOnlyOldChanged(bool value);
    void bigSelectionChanged(const QSet<QUuid>& value);
    void bigResultChanged(const OptionalString& value);
    void duplicateModeChanged(DuplicatesMode value);
    void duplicateThumbSizeChanged(double value);
    void uninstallSearchChanged(const QString& value);
    void uninstallResultChanged(const OptionalString& value);
    void performanceModeChanged(PerformanceMode value);
    void tamsoFindWidthChanged(double value);
    void tamsoQuestionChanged(const QString& value);
    void tamsoSearchChanged(const QString& value);
    void compareLeftChanged(const OptionalUrl& value);
    void compareRightChanged(const OptionalUrl& value);
    void compareModeChanged(CompareMode value);
    void compareRowsChanged(const QList<DiffRow>& value);
    void compareSummaryChanged(const DiffSummary& value);
    void compareIdenticalBytesChanged(const OptionalBool& value);
    void compareErrorChanged(const OptionalString& value);
    void compareUsedExtractionChanged(bool value);
    void compareBusyChanged(bool value);
    void compareAISummaryChanged(const OptionalString& value);
    void compareAIWorkingChanged(bool value);
    void compareAIUnavailableChanged(bool value);
    void vaultSelectionChanged(const OptionalUuid& value);
    void guidedStepChanged(int value);

private:
    DiskMode m_diskMode = DiskMode::Hub;
    QSet<QString> m_diskSelected;
    OptionalString m_diskResult;
    QSet<QString> m_mailSelected;
    OptionalString m_mailResult;
    QSet<QString> m_screenshotSelected;
    OptionalString m_screenshotResult;
    DevPane m_devPane = DevPane::Hub;
    QSet<QString> m_devSelected;
    OptionalString m_devResult;
    AppsPane m_appsPane = AppsPane::Hub;
    double m_folderSidebarWidth = 260.0;
    OptionalString m_folderSelection;
    FoldersMode m_folderMode = FoldersMode::Browse;
    bool m_bigOnlyOld = false;
    QSet<QUuid> m_bigSelection;
    OptionalString m_bigResult;
    DuplicatesMode m_duplicateMode = DuplicatesMode::Exact;
    double m_duplicateThumbSize = 130.0;
    QString m_uninstallSearch;
    OptionalString m_uninstallResult;
    PerformanceMode m_performanceMode = PerformanceMode::Overview;
    double m_tamsoFindWidth = 360.0;
    QString m_tamsoQuestion;
    QString m_tamsoSearch;
    OptionalUrl m_compareLeft;
    OptionalUrl m_compareRight;
    CompareMode m_compareMode = CompareMode::None;
    QList<DiffRow> m_compareRows;
    DiffSummary m_compareSummary;
    OptionalBool m_compareIdenticalBytes;
    OptionalString m_compareError;
    bool m_compareUsedExtraction = false;
    bool m_compareBusy = false;
    OptionalString m_compareAISummary;
    bool m_compareAIWorking = false;
    bool m_compareAIUnavailable = false;
    OptionalUuid m_vaultSelection;
    int m_guidedStep = 0;
};
