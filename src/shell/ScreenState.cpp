#include "shell/ScreenState.h"

namespace {

// Stores value and notifies only on a real change, so a two-way bound control that writes back
// what it just read does not loop.
template <typename T, typename Signal>
void assign(ScreenState* self, T& field, const T& value, Signal signal) {
    if (field == value)
        return;
    field = value;
    emit(self->*signal)(field);
}

} // namespace

ScreenState::ScreenState(QObject* parent) : QObject(parent) {}

void ScreenState::setDiskMode(DiskMode value) {
    assign(this, m_diskMode, value, &ScreenState::diskModeChanged);
}

void ScreenState::setDiskSelected(const QSet<QString>& value) {
    assign(this, m_diskSelected, value, &ScreenState::diskSelectedChanged);
}

void ScreenState::setDiskResult(const OptionalString& value) {
    assign(this, m_diskResult, value, &ScreenState::diskResultChanged);
}

void ScreenState::setMailSelected(const QSet<QString>& value) {
    assign(this, m_mailSelected, value, &ScreenState::mailSelectedChanged);
}

void ScreenState::setMailResult(const OptionalString& value) {
    assign(this, m_mailResult, value, &ScreenState::mailResultChanged);
}

void ScreenState::setScreenshotSelected(const QSet<QString>& value) {
    assign(this, m_screenshotSelected, value, &ScreenState::screenshotSelectedChanged);
}

void ScreenState::setScreenshotResult(const OptionalString& value) {
    assign(this, m_screenshotResult, value, &ScreenState::screenshotResultChanged);
}

void ScreenState::setDevPane(DevPane value) {
    assign(this, m_devPane, value, &ScreenState::devPaneChanged);
}

void ScreenState::setDevSelected(const QSet<QString>& value) {
    assign(this, m_devSelected, value, &ScreenState::devSelectedChanged);
}

void ScreenState::setDevResult(const OptionalString& value) {
    assign(this, m_devResult, value, &ScreenState::devResultChanged);
}

void ScreenState::setAppsPane(AppsPane value) {
    assign(this, m_appsPane, value, &ScreenState::appsPaneChanged);
}

void ScreenState::setFolderSidebarWidth(double value) {
    assign(this, m_folderSidebarWidth, value, &ScreenState::folderSidebarWidthChanged);
}

void ScreenState::setFolderSelection(const OptionalString& value) {
    assign(this, m_folderSelection, value, &ScreenState::folderSelectionChanged);
}

void ScreenState::setFolderMode(FoldersMode value) {
    assign(this, m_folderMode, value, &ScreenState::folderModeChanged);
}

void ScreenState::setBigOnlyOld(bool value) {
    assign(this, m_bigOnlyOld, value, &ScreenState::bigOnlyOldChanged);
}

void ScreenState::setBigSelection(const QSet<QUuid>& value) {
    assign(this, m_bigSelection, value, &ScreenState::bigSelectionChanged);
}

void ScreenState::setBigResult(const OptionalString& value) {
    assign(this, m_bigResult, value, &ScreenState::bigResultChanged);
}

void ScreenState::setDuplicateMode(DuplicatesMode value) {
    assign(this, m_duplicateMode, value, &ScreenState::duplicateModeChanged);
}

void ScreenState::setDuplicateThumbSize(double value) {
    assign(this, m_duplicateThumbSize, value, &ScreenState::duplicateThumbSizeChanged);
}

void ScreenState::setUninstallSearch(const QString& value) {
    assign(this, m_uninstallSearch, value, &ScreenState::uninstallSearchChanged);
}

void ScreenState::setUninstallResult(const OptionalString& value) {
    assign(this, m_uninstallResult, value, &ScreenState::uninstallResultChanged);
}

void ScreenState::setPerformanceMode(PerformanceMode value) {
    assign(this, m_performanceMode, value, &ScreenState::performanceModeChanged);
}

void ScreenState::setTamsoFindWidth(double value) {
    assign(this, m_tamsoFindWidth, value, &ScreenState::tamsoFindWidthChanged);
}

void ScreenState::setTamsoQuestion(const QString& value) {
    assign(this, m_tamsoQuestion, value, &ScreenState::tamsoQuestionChanged);
}

void ScreenState::setTamsoSearch(const QString& value) {
    assign(this, m_tamsoSearch, value, &ScreenState::tamsoSearchChanged);
}

void ScreenState::setCompareLeft(const OptionalUrl& value) {
    assign(this, m_compareLeft, value, &ScreenState::compareLeftChanged);
}

void ScreenState::setCompareRight(const OptionalUrl& value) {
    assign(this, m_compareRight, value, &ScreenState::compareRightChanged);
}

void ScreenState::setCompareMode(CompareMode value) {
    assign(this, m_compareMode, value, &ScreenState::compareModeChanged);
}

void ScreenState::setCompareRows(const QList<DiffRow>& value) {
    assign(this, m_compareRows, value, &ScreenState::compareRowsChanged);
}

void ScreenState::setCompareSummary(const DiffSummary& value) {
    assign(this, m_compareSummary, value, &ScreenState::compareSummaryChanged);
}

void ScreenState::setCompareIdenticalBytes(const OptionalBool& value) {
    assign(this, m_compareIdenticalBytes, value, &ScreenState::compareIdenticalBytesChanged);
}

void ScreenState::setCompareError(const OptionalString& value) {
    assign(this, m_compareError, value, &ScreenState::compareErrorChanged);
}

void ScreenState::setCompareUsedExtraction(bool value) {
    assign(this, m_compareUsedExtraction, value, &ScreenState::compareUsedExtractionChanged);
}

void ScreenState::setCompareBusy(bool value) {
    assign(this, m_compareBusy, value, &ScreenState::compareBusyChanged);
}

void ScreenState::setCompareAISummary(const OptionalString& value) {
    assign(this, m_compareAISummary, value, &ScreenState::compareAISummaryChanged);
}

void ScreenState::setCompareAIWorking(bool value) {
    assign(this, m_compareAIWorking, value, &ScreenState::compareAIWorkingChanged);
}

void ScreenState::setCompareAIUnavailable(bool value) {
    assign(this, m_compareAIUnavailable, value, &ScreenState::compareAIUnavailableChanged);
}

void ScreenState::setVaultSelection(const OptionalUuid& value) {
    assign(this, m_vaultSelection, value, &ScreenState::vaultSelectionChanged);
}

void ScreenState::setGuidedStep(int value) {
    assign(this, m_guidedStep, value, &ScreenState::guidedStepChanged);
}
