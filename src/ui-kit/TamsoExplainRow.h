#pragma once

#include "platform/TamsoSafety.h"

#include <optional>
#include <QWidget>

class QCheckBox;
class QHBoxLayout;
class QLabel;
class QBoxLayout;
class QKLineLabel;
class QKSymbol;
class TamsoSafetyBadge;

// The list row that explains one cleanable item: a leading checkbox or lock, the title (one
// line, cut at the end) with the grade badge, the description (wrapped in full), an optional
// small third line, and the caller's size text with an optional control under it.
//
// The checkbox grows with the text size above normal, as the title beside it does, and keeps
// room around its indicator for the focus ring (QKFocusRing::kCheckRoom).
//
// The leading mark: a lock when locked (never a checkbox, even when selected is given), else a
// checkbox when selected is given, else nothing. The checkbox is the row's only interaction; it
// reports through selectedChanged. Everything else a row can do comes from the trailing widget.
class TamsoExplainRow : public QWidget {
    Q_OBJECT
public:
    TamsoExplainRow(const QString& title, const QString& sizeText, const QString& detail,
                    QWidget* parent = nullptr);

    QString title() const;
    void setTitle(const QString& title);
    QString sizeText() const;
    void setSizeText(const QString& sizeText);
    QString detail() const;

    // A third line; none or an empty text shows no line.
    std::optional<QString> meta() const { return m_meta; }
    void setMeta(std::optional<QString> meta);
    std::optional<TamsoSafety> safety() const { return m_safety; }
    void setSafety(std::optional<TamsoSafety> safety);
    // None: no checkbox. A value: a checkbox showing it (unless locked).
    std::optional<bool> selected() const { return m_selected; }
    void setSelected(std::optional<bool> selected);
    bool locked() const { return m_locked; }
    void setLocked(bool locked);
    // A control or note under the size; the row takes ownership. Null removes it.
    void setTrailing(QWidget* trailing);

signals:
    void selectedChanged(bool selected);

protected:
    void changeEvent(QEvent* event) override;

private:
    void updateLeading();
    // Above the normal text size the checkbox grows in step with the text beside it.
    void scaleCheckBox();

    std::optional<QString> m_meta;
    std::optional<TamsoSafety> m_safety;
    std::optional<bool> m_selected;
    bool m_locked = false;
    QWidget* m_trailing = nullptr;

    QBoxLayout* m_sizeColumn = nullptr;
    QCheckBox* m_checkBox;
    QKSymbol* m_lock;
    QKLineLabel* m_title;
    TamsoSafetyBadge* m_badge;
    QLabel* m_detail;
    QLabel* m_metaLabel;
    QKLineLabel* m_size;
};
