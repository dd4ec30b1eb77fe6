#include "ui-kit/QKModeHost.h"

#include <QHBoxLayout>
#include <QPointer>

QKModeHost::QKModeHost(SegmentedControl* picker, Builder build, Panes panes, QWidget* parent)
    : QStackedWidget(parent), m_picker(picker), m_build(std::move(build)), m_panes(panes),
      m_built(picker ? picker->count() : 0) {
    if (picker)
        connect(picker, &SegmentedControl::activated, this, [this](int index) {
            if (m_onPicked)
                m_onPicked(index);
        });
}

QWidget* QKModeHost::pane() const {
    return m_current;
}

QWidget* QKModeHost::paneAt(int index) {
    if (m_panes == Panes::Rebuilt)
        return index == m_shown ? m_current.data() : nullptr;
    if (index < 0 || index >= m_built.size())
        return nullptr;
    if (!m_built[index])
        m_built[index] = build(index);
    return m_built[index];
}

QWidget* QKModeHost::build(int index) {
    QWidget* pane = m_build ? m_build(index, this) : nullptr;
    if (!pane)
        pane = new QWidget(this);
    addWidget(pane);
    return pane;
}

void QKModeHost::showIndex(int index) {
    if (m_picker)
        m_picker->setCurrentIndex(index);
    if (m_panes == Panes::Rebuilt) {
        if (m_current && index == m_shown)
            return;
        m_shown = index;
        // The new pane comes up before the old one goes: the stack then hands the keyboard focus
        // from the pane going to the one coming, where hiding the old pane first would drop it
        // on whatever follows the host (the sidebar's footer).
        QPointer<QWidget> old = m_current;
        m_current = build(index);
        bringUp(m_current);
        if (old) {
            removeWidget(old);
            old->hide();
            old->deleteLater();
        }
        return;
    } else {
        m_shown = index;
        m_current = paneAt(index);
    }
    bringUp(m_current);
}

void QKModeHost::setCover(QWidget* cover) {
    if (cover == m_cover)
        return;
    m_cover = cover;
    if (cover && indexOf(cover) < 0)
        addWidget(cover);
    bringUp(m_current);
}

void QKModeHost::bringUp(QWidget* pane) {
    QWidget* target = m_cover ? m_cover.data() : pane;
    if (target)
        setCurrentWidget(target);
}

QWidget* QKModeHost::pickerStrip(SegmentedControl*& picker, const QStringList& segments,
                                 const QString& name, int maximumWidth, const QMargins& margins,
                                 bool centred, QWidget* parent) {
    auto* strip = new QWidget(parent);
    auto* row = new QHBoxLayout(strip);
    row->setContentsMargins(margins);
    picker = new SegmentedControl(segments, strip);
    picker->setObjectName(name);
    picker->setWidthLimit(maximumWidth);
    if (centred) {
        row->addStretch(1);
        row->addWidget(picker, 100);
    } else {
        row->addWidget(picker);
    }
    row->addStretch(1);
    return strip;
}
