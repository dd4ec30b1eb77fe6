#include "assistant/views/SearchHitDelegate.h"

#include "assistant/SearchHitListModel.h"
#include "assistant/TamsoAIText.h"
#include "ui-kit/QKBorderedButton.h"
#include "ui-kit/QKFileIcons.h"
#include "ui-kit/QKFont.h"
#include "ui-kit/QKForeground.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKLineLabel.h"

#include <QAbstractItemView>
#include <QFileInfo>
#include <QLabel>

namespace {
constexpr int kIconSize = 24;
constexpr qsizetype kIconsKept = 256;
} // namespace

SearchHitDelegate::SearchHitDelegate(QAbstractItemView* view)
    : QKStampDelegate(view), m_stamp(new QWidget(view)) {
    m_stamp->setObjectName(QStringLiteral("hitStamp"));
    using namespace QKLayout;
    // 4 points above and below the row and 2 between rows.
    row({0, 4, 0, 6}, 8,
        {part(m_icon = new QLabel(m_stamp))
             .with([](QLabel* icon) { icon->setFixedSize(kIconSize, kIconSize); })
             .align(Qt::AlignVCenter),
         column(1, {part(m_name = new QKLineLabel(QString(), m_stamp))
                        .name(QStringLiteral("hitName"))
                        .font(TextStyle::Body),
                    part(m_folder = new QKLineLabel(QString(), m_stamp))
                        .name(QStringLiteral("hitFolder"))
                        .font(TextStyle::Caption2)
                        .ink(QKForeground::Secondary)})
             .stretch(1),
         part(new QKBorderedButton(TamsoAIText::showButton(), m_stamp))
             .with([](QKBorderedButton* show) { show->setSmall(true); })
             .name(QStringLiteral("showHit"))
             .align(Qt::AlignVCenter)})
        .on(m_stamp);
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
