#include "developer/views/FileCompareView.h"

#include "developer/DiffRowModel.h"
#include "developer/views/CompareDropZone.h"
#include "developer/views/CompareExplainButton.h"
#include "developer/views/CompareFileFacts.h"
#include "developer/views/CompareImagePair.h"
#include "developer/views/CompareVerdict.h"
#include "developer/views/DiffListView.h"
#include "developer/views/DiffRowDelegate.h"
#include "platform/SymbolName.h"
#include "shell/ScreenState.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKCardSurface.h"
#include "ui-kit/QKEmptyState.h"
#include "ui-kit/QKHairline.h"
#include "ui-kit/QKIconLabel.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKPicker.h"
#include "ui-kit/QKSymbol.h"

#include <QLabel>
#include <QListView>
#include <QPainter>
#include <QStackedWidget>

namespace {

// A strip on the quaternary fill at 30 %, edge to edge.
class TintedStrip : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override {
        QColor fill = QKForeground::color(QKForeground::Quaternary, palette());
        fill.setAlphaF(fill.alphaF() * 0.3f);
        QPainter(this).fillRect(rect(), fill);
    }
};

std::optional<QUrl> systemPicker(QWidget* parent) {
    const std::optional<QString> path =
        QKPicker::shared().chooseFile(parent, FileCompareText::filePickerTitle());
    if (!path)
        return std::nullopt;
    return QUrl::fromLocalFile(*path);
}

} // namespace

FileCompareView::FileCompareView(ScreenState& screen, FileCompare& compare, QWidget* parent)
    : QWidget(parent), m_screen(screen), m_compare(compare), m_picker(systemPicker) {
    setObjectName(QStringLiteral("fileCompareView"));
    setWindowTitle(FileCompareText::windowTitle());
    setAccessibleName(windowTitle());

    QKLayout::flushColumn({QKLayout::part(buildHeader()), QKLayout::part(new QKHairline(this)),
                           QKLayout::part(buildResults()).stretch(1)})
        .on(this);

    connect(&screen, &ScreenState::compareLeftChanged, this, [this] {
        refreshZones();
        refreshResult();
    });
    connect(&screen, &ScreenState::compareRightChanged, this, [this] {
        refreshZones();
        refreshResult();
    });
    for (auto signal : {&ScreenState::compareBusyChanged, &ScreenState::compareAIWorkingChanged})
        connect(&screen, signal, this, &FileCompareView::refreshTitleRow);
    connect(&screen, &ScreenState::compareSummaryChanged, this, &FileCompareView::refreshTitleRow);
    connect(&screen, &ScreenState::compareIdenticalBytesChanged, this,
            &FileCompareView::refreshTitleRow);
    connect(&screen, &ScreenState::compareModeChanged, this, [this] {
        refreshTitleRow();
        refreshResult();
    });
    connect(&screen, &ScreenState::compareErrorChanged, this, &FileCompareView::refreshResult);
    connect(&screen, &ScreenState::compareUsedExtractionChanged, this,
            &FileCompareView::refreshResult);
    connect(&screen, &ScreenState::compareRowsChanged, this, [this] {
        showRows(m_screen.compareRows());
        refreshResult();
    });
    connect(&compare, &FileCompare::rowsAhead, this, [this](const QList<DiffRow>& rows) {
        showRows(rows);
        refreshResult();
    });
    connect(&screen, &ScreenState::compareAISummaryChanged, this,
            &FileCompareView::refreshExplanation);
    connect(&screen, &ScreenState::compareAIUnavailableChanged, this,
            &FileCompareView::refreshExplanation);

    connect(m_leftZone, &QAbstractButton::clicked, this, [this] { pickFile(Side::Left); });
    connect(m_rightZone, &QAbstractButton::clicked, this, [this] { pickFile(Side::Right); });
    connect(m_leftZone, &CompareDropZone::dropped, this,
            [this](const QUrl& url) { acceptDrop({url}, Side::Left); });
    connect(m_rightZone, &CompareDropZone::dropped, this,
            [this](const QUrl& url) { acceptDrop({url}, Side::Right); });
    connect(m_explain, &QPushButton::clicked, &compare, &FileCompare::explainChanges);

    m_model->setRows(screen.compareRows());
    refreshZones();
    refreshTitleRow();
    refreshExplanation();
    refreshResult();
}

QWidget* FileCompareView::buildHeader() {
    using namespace QKLayout;
    auto* header = new QWidget(this);
    Box lines = column(
        {16, 16, 16, 16}, 10,
        {row({titles(FileCompareText::title(), FileCompareText::subtitle(), header),
              part(m_explain = new CompareExplainButton(header)).align(Qt::AlignVCenter),
              part(m_verdict = new CompareVerdict(header)).align(Qt::AlignVCenter)}),
         part(m_explanationBox = new QKCardSurface(8, false, header))
             .name(QStringLiteral("explanationBox"))
             .holding(column(
                 {12, 10, 12, 10}, 6,
                 {part(new QKIconLabel(
                      "sparkles"_sym, FileCompareText::explanationHeading(),
                      QKFont{.style = TextStyle::Caption, .weight = QFont::DemiBold},
                      QKForeground::Tint, m_explanationBox)),
                  part(m_explanationText = QKBuild::label(QString(), TextStyle::Callout,
                                                          QKForeground::Primary, m_explanationBox))
                      .name(QStringLiteral("explanationText"))
                      .with([](QLabel* l) {
                          l->setTextInteractionFlags(Qt::TextSelectableByMouse |
                                                     Qt::TextSelectableByKeyboard);
                      }),
                  part(QKBuild::label(FileCompareText::explanationFootnote(), TextStyle::Caption2,
                                      QKForeground::Tertiary, m_explanationBox))})),
         part(m_unavailable = new QKIconLabel("info.circle"_sym, FileCompareText::unavailableNote(),
                                              QKFont{.style = TextStyle::Caption},
                                              QKForeground::Secondary, header))
             .name(QStringLiteral("unavailableNote"))});
    // Both zones come before the arrows between them in the focus chain.
    m_leftZone = new CompareDropZone(true, header);
    m_rightZone = new CompareDropZone(false, header);
    lines
        .add(row(12,
                 {part(m_leftZone).stretch(1),
                  part(new QKSymbol("arrow.left.arrow.right"_sym, QKFont{.style = TextStyle::Body},
                                    QKForeground::Secondary, header))
                      .align(Qt::AlignVCenter),
                  part(m_rightZone).stretch(1)}))
        .on(header);
    return header;
}

// The result pages, one for each kind of answer.
QStackedWidget* FileCompareView::buildResults() {
    m_results = new QStackedWidget(this);
    m_error = new QKEmptyState(FileCompareText::errorTitle(), "exclamationmark.triangle"_sym,
                               QString(), m_results);
    m_error->setObjectName(QStringLiteral("compareError"));
    m_pick = new QKEmptyState(FileCompareText::pickTitle(), "doc.on.doc"_sym,
                              FileCompareText::pickMessage(), m_results);
    m_pick->setObjectName(QStringLiteral("comparePick"));
    m_images = new CompareImagePair(m_results);
    m_facts = new CompareFileFacts(m_results);
    m_results->addWidget(m_error);
    m_results->addWidget(m_pick);
    m_results->addWidget(buildTextPage());
    m_results->addWidget(m_images);
    m_results->addWidget(m_facts);
    return m_results;
}

QWidget* FileCompareView::buildTextPage() {
    using namespace QKLayout;
    m_textPage = new QWidget(m_results);
    m_textPage->setObjectName(QStringLiteral("compareTextPage"));
    m_model = new DiffRowModel(this);
    flushColumn(
        {part(m_banner = new TintedStrip(m_textPage))
             .name(QStringLiteral("extractionBanner"))
             .holding(row({16, 6, 16, 6},
                          {new QKIconLabel("doc.plaintext"_sym, FileCompareText::extractionBanner(),
                                           QKFont{.style = TextStyle::Caption},
                                           QKForeground::Secondary, m_banner)})),
         part(m_list = new DiffListView(m_textPage))
             .name(QStringLiteral("diffList"))
             .font(QKFont{.style = TextStyle::Caption, .design = FontDesign::Monospaced})
             .stretch(1)})
        .on(m_textPage);
    m_list->setModel(m_model);
    m_list->setItemDelegate(new DiffRowDelegate(m_list));
    // Every row is one line high, so the view never measures rows it does not show.
    m_list->setUniformItemSizes(true);
    m_list->setLayoutMode(QListView::Batched);
    m_list->setBatchSize(500);
    m_list->setSelectionMode(QAbstractItemView::NoSelection);
    // A Tab stop, so the keys can walk a diff longer than the window.
    m_list->setFocusPolicy(Qt::StrongFocus);
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_list->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_list->viewport()->setAutoFillBackground(false);
    return m_textPage;
}

// The rows of a run's result start with the rows it showed ahead of it, so the user's place in
// them (the row at the top, the current row) stays where it was.
void FileCompareView::showRows(const QList<DiffRow>& rows) {
    const int shown = m_model->rowCount();
    const QModelIndex top = m_list->indexAt(QPoint(0, 0));
    const int topRow = top.isValid() ? top.row() : -1;
    const int current = m_list->currentIndex().row();
    m_model->setRows(rows);
    if (shown == 0 || rows.size() < shown)
        return;
    if (current >= 0)
        m_list->setCurrentIndex(m_model->index(current, 0));
    if (topRow > 0)
        m_list->scrollTo(m_model->index(topRow, 0), QAbstractItemView::PositionAtTop);
}

void FileCompareView::pickFile(Side side) {
    m_pickTarget = side;
    if (!m_picker)
        return;
    if (const std::optional<QUrl> file = m_picker(this))
        m_compare.setSide(*file, m_pickTarget);
}

void FileCompareView::acceptDrop(const QList<QUrl>& urls, Side side) {
    if (const std::optional<QUrl> file = CompareDropZone::firstLocalFile(urls))
        m_compare.setSide(*file, side);
}

FileCompareText::ResultPage FileCompareView::resultPage() const {
    // The rows a first run shows ahead of its result are a line diff before its mode is known.
    if (m_screen.compareBusy() && !m_screen.compareError() && m_model->rowCount() > 0)
        return FileCompareText::ResultPage::Text;
    return FileCompareText::resultPage(m_screen.compareError(), m_screen.compareMode());
}

void FileCompareView::refreshZones() {
    m_leftZone->setFile(m_screen.compareLeft());
    m_rightZone->setFile(m_screen.compareRight());
}

void FileCompareView::refreshTitleRow() {
    const CompareMode mode = m_screen.compareMode();
    const DiffSummary& summary = m_screen.compareSummary();
    m_explain->setVisible(FileCompareText::offersExplanation(mode, summary));
    const bool working = m_screen.compareAIWorking();
    if (working)
        m_hold.hold({m_explain});
    m_explain->setWorking(working);
    if (!working)
        m_hold.giveBack();
    m_verdict->setVerdict(FileCompareText::verdict(mode, m_screen.compareBusy(), summary,
                                                   m_screen.compareIdenticalBytes()),
                          summary);
}

void FileCompareView::refreshExplanation() {
    const std::optional<QString>& text = m_screen.compareAISummary();
    m_explanationBox->setVisible(text.has_value());
    m_explanationText->setText(text.value_or(QString()));
    m_unavailable->setVisible(m_screen.compareAIUnavailable());
}

void FileCompareView::refreshResult() {
    using Page = FileCompareText::ResultPage;
    switch (resultPage()) {
    case Page::Error:
        m_error->setMessage(m_screen.compareError());
        m_results->setCurrentWidget(m_error);
        break;
    case Page::Pick:
        m_results->setCurrentWidget(m_pick);
        break;
    case Page::Text:
        m_banner->setVisible(m_screen.compareUsedExtraction());
        m_results->setCurrentWidget(m_textPage);
        break;
    case Page::Image:
        m_images->setFiles(m_screen.compareLeft(), m_screen.compareRight());
        m_results->setCurrentWidget(m_images);
        break;
    case Page::Facts:
        m_facts->setFiles(m_screen.compareLeft(), m_screen.compareRight(),
                          m_screen.compareMode() == CompareMode::TooBig);
        m_results->setCurrentWidget(m_facts);
        break;
    }
}
