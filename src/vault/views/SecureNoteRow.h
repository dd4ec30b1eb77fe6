#pragma once

#include "vault/SecureNote.h"

#include <QAbstractButton>

// One note in the vault's list: its title on one line (elided) over its date, filling the row.
// The selected row sits on the accent colour in white; clicking any row asks to select it (the
// screen decides, through clicked()). Checked is the selection, for assistive tools; a click
// never changes it by itself.
class SecureNoteRow : public QAbstractButton {
    Q_OBJECT
public:
    explicit SecureNoteRow(const SecureNote& note, QWidget* parent = nullptr);

    const SecureNote& note() const { return m_note; }
    // The title and date change in place; the row keeps its note id.
    void setNote(const SecureNote& note);
    bool isSelected() const { return isChecked(); }
    void setSelected(bool selected);
    QString dateText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void nextCheckState() override {}

private:
    QFont dateFont() const;
    SecureNote m_note;
};
