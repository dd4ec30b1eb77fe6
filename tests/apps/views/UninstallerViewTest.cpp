#include "apps/views/UninstallerView.h"
#include "apps/AppsTestSupport.h"
#include "shell/ScreenState.h"
#include "support/AccessibleAudit.h"
#include "support/Find.h"
#include "support/KeyboardWindow.h"
#include "ui-kit/TamsoExplainRow.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QScrollArea>

using namespace appstest;

// The leftovers' scroll area as a keyboard and a screen-reader user meet it: named as the heading
// it stands under, and no stop of its own between the uninstall button and the first row's box.
TEST(UninstallerView, TheLeftoverListIsNamedAndTabPassesItForItsRows) {
    Machine m;
    const QString bundle =
        m.bundle(m.system, QStringLiteral("Editor"), QStringLiteral("com.example.editor"));
    write(m.caches() + "/com.example.editor/blob", QByteArray(9000, 'c'));
    write(m.preferences() + "/Editor.conf", QByteArray(100, 'p'));
    auto service = m.service();
    ScreenState screen;
    testsupport::KeyboardWindow window;
    auto* view = new UninstallerView(screen, *service, &window.widget);
    window.column->addWidget(view);
    window.widget.resize(900, 700);
    window.show();
    ASSERT_TRUE(testsupport::waitFor([&] { return !service->apps().isEmpty(); }));
    view->pick(bundle);
    ASSERT_TRUE(testsupport::waitFor([&] { return !service->leftoversLoading(); }));
    QApplication::processEvents();
    const QList<TamsoExplainRow*> rows = Find::parts<TamsoExplainRow>(*view, "leftoverRow");
    ASSERT_EQ(rows.size(), 2);

    auto* area = Find::part<QWidget>(*view, "leftoverList")->findChild<QScrollArea*>();
    ASSERT_TRUE(area);
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(area);
    ASSERT_TRUE(iface);
    EXPECT_EQ(iface->text(QAccessible::Name), "Leftover files found");
    const QStringList problems = testsupport::scrollAreaProblems(view);
    EXPECT_TRUE(problems.filter("leftoverList").isEmpty()) << problems.join('\n').toStdString();

    window.tabTo(Find::part<QPushButton>(*view, "uninstallButton"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), Find::part<QCheckBox>(rows.at(0), "explainRowCheck"));
}
