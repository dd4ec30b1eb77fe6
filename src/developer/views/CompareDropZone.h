#pragma once

#include <optional>
#include <QAbstractButton>
#include <QUrl>

class QKLineLabel;
class QKSymbol;

// One side of the file compare: a flat rounded field that names the file on that side (its
// name, and the folder holding it) or invites the user to choose one. Clicking it (or Space or
// Return while it has the focus) asks for a
// file (clicked()); dropping files on it offers the first local file among them (dropped());
// any further items are ignored, and the field does not light up while a drop hovers. Where the
// field is too narrow for its name or its folder, its tooltip shows them whole; assistive
// technology always reads them whole (the side and name as its name, the folder as its
// description).
class CompareDropZone : public QAbstractButton {
    Q_OBJECT
public:
    CompareDropZone(bool left, QWidget* parent = nullptr);

    void setFile(const std::optional<QUrl>& file);

    // The drop, as the zone handles it: the first URL when it names a local file.
    static std::optional<QUrl> firstLocalFile(const QList<QUrl>& urls);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void dropped(const QUrl& file);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    bool m_left;
    bool m_hasFile = false;
    QKSymbol* m_symbol;
    QKLineLabel* m_name;
    QKLineLabel* m_detail;
};
