#include "developer/views/CompareFileFacts.h"

#include "developer/FileCompareText.h"
#include "platform/SymbolName.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKCardSurface.h"
#include "ui-kit/QKFileIcons.h"
#include "ui-kit/QKIconLabel.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKLineLabel.h"

#include <QBoxLayout>
#include <QFileInfo>
#include <QLabel>

CompareFileFacts::CompareFileFacts(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("compareFileFacts"));
    using namespace QKLayout;
    column({16, 16, 16, 16}, 12,
           {part(m_tooBig = new QKIconLabel("info.circle"_sym, FileCompareText::tooBigNote(),
                                            QKFont{.style = TextStyle::Caption},
                                            QKForeground::Secondary, this))
                .name(QStringLiteral("tooBigNote")),
            row(16, {}).keep(m_row), stretch(1)})
        .on(this);
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
        QKLayout::items({QKLayout::part(box).stretch(1).align(Qt::AlignTop)}).fill(m_row);
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
    using namespace QKLayout;
    const QIcon fileIcon = QKFileIcons::shared().icon(info);
    Box lines = QKLayout::column(
        {12, 12, 12, 12}, 6,
        {row({part(new QLabel(card)).with([&](QLabel* icon) {
                  icon->setFixedSize(28, 28);
                  icon->setPixmap(fileIcon.pixmap(QSize(28, 28), devicePixelRatioF()));
                  icon->setScaledContents(true);
              }),
              part(new QKLineLabel(FileCompareText::zoneName(file, true), card))
                  .name(QStringLiteral("factsName"))
                  .font(TextStyle::Body, QFont::Medium)
                  .ink(QKForeground::Primary)
                  .stretch(1)})});
    if (!folder)
        lines.add(part(QKBuild::label(FileCompareText::sizeLine(size), TextStyle::Caption,
                                      QKForeground::Primary, card, std::nullopt, false))
                      .name(QStringLiteral("factsSize")));
    if (modified.isValid())
        lines.add(part(QKBuild::label(FileCompareText::modifiedLine(modified), TextStyle::Caption,
                                      QKForeground::Primary, card, std::nullopt, false))
                      .name(QStringLiteral("factsModified")));
    lines.add(part(new QKLineLabel(path, card))
                  .name(QStringLiteral("factsPath"))
                  .font(TextStyle::Caption2)
                  .ink(QKForeground::Secondary));
    lines.on(card);
    return card;
}
