#include "apps/views/AppsHubView.h"

#include "apps/AppsHubText.h"
#include "apps/AppUninstaller.h"
#include "apps/views/UninstallerView.h"
#include "platform/NotificationCenter.h"
#include "shell/ScreenState.h"
#include "ui-kit/AskTamsoStrip.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKGridLayout.h"
#include "ui-kit/QKGroupBox.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKModeHost.h"
#include "ui-kit/QKProminentButton.h"
#include "ui-kit/SegmentedControl.h"

#include <QLabel>
#include <QScrollArea>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {

// The overview pane; each time it is shown it makes sure the applications are on their way.
class OverviewPane : public QWidget {
public:
    OverviewPane(AppUninstaller* uninstaller, QWidget* parent)
        : QWidget(parent), m_uninstaller(uninstaller) {}

protected:
    void showEvent(QShowEvent* event) override {
        QWidget::showEvent(event);
        // Only when nothing has asked yet: never while they load or once they are listed.
        if (!event->spontaneous() && m_uninstaller &&
            m_uninstaller->state().phase == ScanPhase::Idle)
            m_uninstaller->loadApps();
    }

private:
    QPointer<AppUninstaller> m_uninstaller;
};

QWidget* explainRow(const AppsHubText::ExplainRow& row, QWidget* parent) {
    auto* line = new QWidget(parent);
    using namespace QKLayout;
    QKLayout::row(
        {0, 0, 0, 0}, 8,
        {part(QKBuild::label(row.title, TextStyle::Callout, QKForeground::Primary, line,
                             QFont::DemiBold))
             .with([](QLabel* title) { title->setFixedWidth(140); })
             .align(Qt::AlignBaseline),
         part(QKBuild::label(row.detail, TextStyle::Caption, QKForeground::Secondary, line))
             .stretch(1)
             .align(Qt::AlignBaseline)})
        .on(line);
    return line;
}

} // namespace

AppsHubView::AppsHubView(ScreenState& screen, AppUninstaller& uninstaller, QWidget* parent)
    : QWidget(parent), m_screen(screen), m_uninstaller(&uninstaller) {
    setObjectName(QStringLiteral("appsHubView"));
    setWindowTitle(AppsHubText::title());
    using namespace QKLayout;
    flushColumn({QKModeHost::pickerStrip<AppsPane>(m_picker, QStringLiteral("appsPanePicker"), 280,
                                                   QMargins(16, 12, 16, 4), false, this),
                 part(m_host = new QKModeHost(
                          m_picker,
                          [this](int index, QWidget* parent) {
                              return buildPane(allCases<AppsPane>().value(index, AppsPane::Hub),
                                               parent);
                          },
                          QKModeHost::Panes::Rebuilt, this))
                     .name(QStringLiteral("appsPaneHost"))
                     .stretch(1)})
        .on(this);
    m_picker->setAccessibleName(AppsHubText::title());
    m_host->bind<AppsPane>(
        &screen, &ScreenState::appsPaneChanged, [this] { return m_screen.appsPane(); },
        [this](AppsPane pane) { m_screen.setAppsPane(pane); });
}

void AppsHubView::postOpenSection(const QString& id) {
    NotificationCenter::defaultCenter().post(Notifications::OpenSection, id);
}

QWidget* AppsHubView::buildPane(AppsPane pane, QWidget* parent) {
    if (pane == AppsPane::Uninstall && m_uninstaller)
        return new UninstallerView(m_screen, *m_uninstaller, parent);
    return buildOverview(parent);
}

QWidget* AppsHubView::buildOverview(QWidget* parent) {
    auto* pane = new OverviewPane(m_uninstaller, parent);
    pane->setObjectName(QStringLiteral("appsOverview"));
    QVBoxLayout* column = nullptr;
    QKBuild::page(column, pane);

    using namespace QKLayout;
    QWidget* grid = nullptr;
    QKGridLayout* gridLayout = nullptr;
    items(
        {new AskTamsoStrip(AppsHubText::askPrompt(), AppsHubText::askQuestion(), true, pane),
         part(QKBuild::label(AppsHubText::headline(), TextStyle::Title2, QKForeground::Primary,
                             pane, QFont::Bold))
             .name(QStringLiteral("appsHeadline")),
         QKBuild::label(AppsHubText::subtitle(), TextStyle::Callout, QKForeground::Secondary, pane),
         part(grid = new QWidget(pane))
             .name(QStringLiteral("appsCards"))
             .holding(tiles(220, 14).keep(gridLayout))})
        .fillPage(column);
    for (const AppsHubText::Card& card : AppsHubText::cards()) {
        QKProminentButton* button =
            QKBuild::addTile(gridLayout, card.icon, card.title, card.blurb, card.button, grid);
        button->setObjectName(QStringLiteral("card-") + card.title);
        const AppsHubText::CardAction action = card.action;
        connect(button, &QPushButton::clicked, this, [this, action] {
            if (action == AppsHubText::CardAction::ShowUninstallPane)
                m_screen.setAppsPane(AppsPane::Uninstall);
            else
                postOpenSection(AppsHubText::sectionFor(action));
        });
    }

    QKGroupBox* explain = nullptr;
    items({part(explain = new QKGroupBox(AppsHubText::explainTitle(), 8, pane))
               .name(QStringLiteral("appsExplain"))})
        .fillPage(column);
    Box rows = items({});
    for (const AppsHubText::ExplainRow& row : AppsHubText::explainRows())
        rows.add(explainRow(row, explain));
    rows.fill(explain->column());
    return pane;
}
