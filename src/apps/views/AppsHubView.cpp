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
#include "ui-kit/QKModeHost.h"
#include "ui-kit/QKProminentButton.h"
#include "ui-kit/SegmentedControl.h"

#include <QHBoxLayout>
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
            m_uninstaller->state().kind == AppUninstaller::State::Kind::Idle)
            m_uninstaller->loadApps();
    }

private:
    QPointer<AppUninstaller> m_uninstaller;
};

QWidget* explainRow(const AppsHubText::ExplainRow& row, QWidget* parent) {
    auto* line = new QWidget(parent);
    auto* layout = QKBuild::insetRow(line, {0, 0, 0, 0}, 8);
    QLabel* title =
        QKBuild::label(row.title, TextStyle::Callout, QKForeground::Primary, line, QFont::DemiBold);
    title->setFixedWidth(140);
    layout->addWidget(title, 0, Qt::AlignBaseline);
    QLabel* detail = QKBuild::label(row.detail, TextStyle::Caption, QKForeground::Secondary, line);
    layout->addWidget(detail, 1, Qt::AlignBaseline);
    return line;
}

} // namespace

AppsHubView::AppsHubView(ScreenState& screen, AppUninstaller& uninstaller, QWidget* parent)
    : QWidget(parent), m_screen(screen), m_uninstaller(&uninstaller) {
    setObjectName(QStringLiteral("appsHubView"));
    setWindowTitle(AppsHubText::title());
    auto* root = QKBuild::flushColumn(this);

    root->addWidget(QKModeHost::pickerStrip<AppsPane>(m_picker, QStringLiteral("appsPanePicker"),
                                                      280, QMargins(16, 12, 16, 4), false, this));

    m_host = new QKModeHost(
        m_picker,
        [this](int index, QWidget* parent) {
            return buildPane(allCases<AppsPane>().value(index, AppsPane::Hub), parent);
        },
        QKModeHost::Panes::Rebuilt, this);
    m_host->setObjectName(QStringLiteral("appsPaneHost"));
    root->addWidget(m_host, 1);
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

    QKBuild::addPart(column, new AskTamsoStrip(AppsHubText::askPrompt(), AppsHubText::askQuestion(),
                                               true, pane));
    QLabel* headline = QKBuild::label(AppsHubText::headline(), TextStyle::Title2,
                                      QKForeground::Primary, pane, QFont::Bold);
    headline->setObjectName(QStringLiteral("appsHeadline"));
    QKBuild::addPart(column, headline);
    QKBuild::addPart(column, QKBuild::label(AppsHubText::subtitle(), TextStyle::Callout,
                                            QKForeground::Secondary, pane));

    auto* grid = new QWidget(pane);
    grid->setObjectName(QStringLiteral("appsCards"));
    auto* gridLayout = new QKGridLayout(220, 14, 14, grid);
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
    QKBuild::addPart(column, grid);

    auto* explain = new QKGroupBox(AppsHubText::explainTitle(), 8, pane);
    explain->setObjectName(QStringLiteral("appsExplain"));
    for (const AppsHubText::ExplainRow& row : AppsHubText::explainRows())
        explain->column()->addWidget(explainRow(row, explain));
    QKBuild::addPart(column, explain);
    return pane;
}
