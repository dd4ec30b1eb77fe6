#include "assistant/views/SearchHitDelegate.h"

#include "assistant/SearchHitListModel.h"
#include "assistant/TamsoAIText.h"
#include "ui-kit/QKBorderedButton.h"
#include "ui-kit/QKFileIcons.h"
#include "ui-kit/QKFont.h"
#include "ui-kit/QKForeground.h"
#include "ui-kit/QKLineLabel.h"

#include <QAbstractItemView>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {
constexpr int kIconSize = 24;
constexpr qsizetype kIconsKept = 256;
} // namespace

SearchHitDelegate::SearchHitDelegate(QAbstractItemView* view)
    : QKStampDelegate(view), m_stamp(new QWidget(view)) {
    m_stamp->setObjectName(QStringLiteral("hitStamp"));
    auto* layout = new QHBoxLayout(m_stamp);
    // 4 points above and below the row and 2 between rows.
    layout->setContentsMargins(0, 4, 0, 6);
    layout->setSpacing(8);
    m_icon = new QLabel(m_stamp);
    m_icon->setFixedSize(kIconSize, kIconSize);
    layout->addWidget(m_icon, 0, Qt::AlignVCenter);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(1);
    m_name = new QKLineLabel(QString(), m_stamp);
    m_name->setObjectName(QStringLiteral("hitName"));
    QKFont::apply(m_name, TextStyle::Body);
    texts->addWidget(m_name);
    m_folder = new QKLineLabel(QString(), m_stamp);
    m_folder->setObjectName(QStringLiteral("hitFolder"));
    QKFont::apply(m_folder, TextStyle::Caption2);
    QKForeground::apply(m_folder, QKForeground::Secondary);
    texts->addWidget(m_folder);
    layout->addLayout(texts, 1);

    auto* show = new QKBorderedButton(TamsoAIText::showButton(), m_stamp);
    show->setSmall(true);
    show->setObjectName(QStringLiteral("showHit"));
    layout->addWidget(show, 0, Qt::AlignVCenter);
    prepareStamp(m_stamp);
}

QString SearchHitDelegate::keyAction(const QModelIndex&) const {
    return QStringLiteral("showHit");
}

QPixmap SearchHitDelegate::iconFor(const QString& path) const {
    const auto known = m_icons.constFind(path);
    if (known != m_icons.constEnd())
        return *known;
    if (m_icons.size() >= kIconsKept)
        m_icons.clear();
    const QPixmap icon = QKFileIcons::shared().icon(QFileInfo(path)).pixmap(kIconSize, kIconSize);
    m_icons.insert(path, icon);
    return icon;
}

QWidget* SearchHitDelegate::stampFor(const QModelIndex& index) const {
    m_icon->setPixmap(iconFor(index.data(SearchHitListModel::PathRole).toString()));
    m_name->setText(index.data(Qt::DisplayRole).toString());
    m_folder->setText(index.data(SearchHitListModel::FolderRole).toString());
    return m_stamp;
}

QString SearchHitDelegate::sizeKey(const QModelIndex&) const {
    // Two single lines and a button: every row is as high as the next.
    return QStringLiteral("hit");
}
