#pragma once

#include "vitals/SystemSnapshot.h"

#include <QColor>
#include <QPointer>
#include <QStringList>
#include <QWidget>

class AppState;
class QKClampedText;
class QKStatusDot;
class QScrollArea;
class SidebarRow;
class UserDefaults;

// The main window's sidebar, 218 wide, always in the dark scheme over the window's backdrop:
// the app's header, every catalog section under its group (groups by rank, titles in capitals),
// a divider, and a footer with the live status line and the version with the text-size control.
//
// The section order is read from "sidebar.order" (sectionOrder) each time the sidebar is shown,
// and the rows are rebuilt when it differs. The status line follows every snapshot appState
// publishes (its dot has the level of the headline beside it). Clicking a row only reports it; the
// owner decides the selection.
class SidebarView : public QWidget {
    Q_OBJECT
public:
    SidebarView(AppState& appState, UserDefaults& defaults, QWidget* parent = nullptr);

    // Section ids in sidebar order, as last read.
    const QStringList& order() const { return m_order; }
    // Reads the stored order again; rebuilds the rows when it changed.
    void reloadOrder();

    // Marks the row whose id equals selection (none for an id no row has).
    void setSelection(const QString& selection, bool animated);

    // The group titles as shown, top to bottom.
    QStringList groupTitles() const;
    QColor statusDotColor() const;

    static constexpr int kWidth = 218;

signals:
    void rowClicked(const QString& featureId);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* makeHeader();
    QWidget* makeFooter();
    void rebuildRows();
    void showSnapshot(const SystemSnapshot& snapshot);
    // The rows top to bottom.
    QList<SidebarRow*> rows() const;

    UserDefaults& m_defaults;
    QStringList m_order;
    QString m_selection;
    QScrollArea* m_scroll = nullptr;
    QWidget* m_list = nullptr;
    QKStatusDot* m_dot = nullptr;
    QKClampedText* m_status = nullptr;
};
