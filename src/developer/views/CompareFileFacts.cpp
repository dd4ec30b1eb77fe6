#include "developer/views/CompareFileFacts.h"

#include "developer/FileCompareText.h"
#include "platform/SymbolName.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKCardSurface.h"
#include "ui-kit/QKFileIcons.h"
#include "ui-kit/QKIconLabel.h"
#include "ui-kit/QKLineLabel.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

CompareFileFacts::CompareFileFacts(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("compareFileFacts"));
    auto* column = QKBuild::insetColumn(this, {16, 16, 16, 16}, 12);
    m_tooBig = new QKIconLabel("info.circle"_sym, FileCompareText::tooBigNote(),
                               QKFont{.style = TextStyle::Caption}, QKForeground::Secondary, this);
    m_tooBig->setObjectName(QStringLiteral("tooBigNote"));
    column->addWidget(m_tooBig);
    m_row = new QHBoxLayout;
    m_row->setSpacing(16);
    column->addLayout(m_row);
    column->addStretch(1);
}

void CompareFileFacts::setFiles(const std::optional<QUrl>& left, const std::optional<QUrl>& right,
                                bool tooBig) {
    m_tooBig->setVisible(tooBig);
    for (QWidget* box : std::as_const(m_boxes))
        delete box;
    m_boxes.clear();
    for (const std::optional<QUrl>& file : {left, right}) {
        if (!file)
            continue;
        QWidget* box = makeBox(*file);
        m_row->addWidget(box, 1, Qt::AlignTop);
        m_boxes.append(box);
    }
}

QWidget* CompareFileFacts::makeBox(const QUrl& file) {
    const QString path = file.toLocalFile();
    // One look at the file: both facts or neither. A folder's own length is one block of its
    // listing, not what it holds, and measuring what it holds is a walk this screen does not
    // make: a folder has no size line.
    const QFileInfo info(path);
    std::optional<qint64> size;
    QDateTime modified;
    if (info.exists()) {
        size = info.size();
        modified = info.lastModified();
    }
    const bool folder = info.isDir();

    auto* card = new QKCardSurface(8, false, this);
    card->setObjectName(QStringLiteral("factsBox"));
    auto* column = QKBuild::insetColumn(card, {12, 12, 12, 12}, 6);

    auto* head = new QHBoxLayout;
    auto* icon = new QLabel(card);
    icon->setFixedSize(28, 28);
    const QIcon fileIcon = QKFileIcons::shared().icon(info);
    icon->setPixmap(fileIcon.pixmap(QSize(28, 28), devicePixelRatioF()));
    icon->setScaledContents(true);
    head->addWidget(icon);
    auto* name = new QKLineLabel(FileCompareText::zoneName(file, true), card);
    name->setObjectName(QStringLiteral("factsName"));
    QKFont::apply(name, TextStyle::Body, QFont::Medium);
    QKForeground::apply(name, QKForeground::Primary);
    head->addWidget(name, 1);
    column->addLayout(head);

    if (!folder) {
        QLabel* sizeLine = QKBuild::label(FileCompareText::sizeLine(size), TextStyle::Caption,
                                          QKForeground::Primary, card, std::nullopt, false);
        sizeLine->setObjectName(QStringLiteral("factsSize"));
        column->addWidget(sizeLine);
    }
    if (modified.isValid()) {
        QLabel* when = QKBuild::label(FileCompareText::modifiedLine(modified), TextStyle::Caption,
                                      QKForeground::Primary, card, std::nullopt, false);
        when->setObjectName(QStringLiteral("factsModified"));
        column->addWidget(when);
    }
    auto* full = new QKLineLabel(path, card);
    full->setObjectName(QStringLiteral("factsPath"));
    QKFont::apply(full, TextStyle::Caption2);
    QKForeground::apply(full, QKForeground::Secondary);
    column->addWidget(full);
    return card;
}
