#include "ui-kit/QKWrapLabel.h"

#include <QClipboard>
#include <QGuiApplication>

namespace {

constexpr QChar kBreak(0x200B);

} // namespace

QKWrapLabel::QKWrapLabel(const QString& text, QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    setText(text);
    QClipboard* clipboard = QGuiApplication::clipboard();
    connect(clipboard, &QClipboard::dataChanged, this,
            [this] { cleanClipboard(int(QClipboard::Clipboard)); });
    connect(clipboard, &QClipboard::selectionChanged, this,
            [this] { cleanClipboard(int(QClipboard::Selection)); });
}

void QKWrapLabel::setText(const QString& text) {
    m_text = text;
    QLabel::setText(breakable(text));
    setAccessibleName(text);
}

QString QKWrapLabel::breakable(const QString& text) {
    QString out;
    out.reserve(text.size());
    qsizetype runStart = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !text.at(i).isSpace())
            continue;
        const QStringView run = QStringView(text).mid(runStart, i - runStart);
        if (run.size() > kLongRun) {
            for (qsizetype k = 0; k < run.size(); ++k) {
                out.append(run.at(k));
                // Never between the halves of a surrogate pair.
                if (k + 1 < run.size() && !run.at(k).isHighSurrogate())
                    out.append(kBreak);
            }
        } else {
            out.append(run);
        }
        if (i < text.size())
            out.append(text.at(i));
        runStart = i + 1;
    }
    return out;
}

void QKWrapLabel::cleanClipboard(int mode) {
    // Only what this label just put there: its own selection, marks and all.
    if (!hasSelectedText())
        return;
    QClipboard* clipboard = QGuiApplication::clipboard();
    const auto which = QClipboard::Mode(mode);
    const QString held = clipboard->text(which);
    if (held.contains(kBreak) && held == selectedText())
        clipboard->setText(QString(held).remove(kBreak), which);
}
