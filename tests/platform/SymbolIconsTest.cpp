#include "platform/SymbolIcons.h"

#include <gtest/gtest.h>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QSet>

// Every symbol name written anywhere in the sources as "name"_sym must have an icon.
TEST(SymbolIcons, EveryNameUsedInTheSourcesResolves) {
    static const QRegularExpression literal(QStringLiteral(R"re("([A-Za-z0-9.]+)"_sym)re"));
    QSet<QString> used;
    QDirIterator it(QStringLiteral(PENDREL_SOURCE_DIR "/src"), {"*.cpp", "*.h"}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        for (auto m = literal.globalMatch(text); m.hasNext();)
            used.insert(m.next().captured(1));
    }
    for (const QString& name : used)
        EXPECT_TRUE(SymbolIcons::resolves(name)) << name.toStdString();
}

TEST(SymbolIcons, EveryTableRowHasItsFileAndDrawsInTheAskedColour) {
    for (const QString& name : SymbolIcons::knownSymbols())
        EXPECT_TRUE(SymbolIcons::resolves(name)) << name.toStdString();
    const QImage img =
        SymbolIcons::pixmap("house", QSize(32, 32), QColor(255, 0, 0), 1.0).toImage();
    bool sawRed = false;
    for (int y = 0; y < img.height() && !sawRed; ++y)
        for (int x = 0; x < img.width() && !sawRed; ++x)
            sawRed = qAlpha(img.pixel(x, y)) > 200 && qRed(img.pixel(x, y)) > 200 &&
                     qGreen(img.pixel(x, y)) < 50;
    EXPECT_TRUE(sawRed);
    EXPECT_FALSE(SymbolIcons::resolves("no.such.symbol"));

    // Drawn again with the same size, colour and scale, it is the pixmap already drawn; any of
    // the three changed, it is drawn anew.
    const QPixmap once = SymbolIcons::pixmap("house", QSize(32, 32), QColor(255, 0, 0), 1.0);
    EXPECT_EQ(SymbolIcons::pixmap("house", QSize(32, 32), QColor(255, 0, 0), 1.0).cacheKey(),
              once.cacheKey());
    EXPECT_NE(SymbolIcons::pixmap("house", QSize(24, 24), QColor(255, 0, 0), 1.0).cacheKey(),
              once.cacheKey());
    EXPECT_NE(SymbolIcons::pixmap("house", QSize(32, 32), QColor(0, 0, 255), 1.0).cacheKey(),
              once.cacheKey());
    EXPECT_NE(SymbolIcons::pixmap("house", QSize(32, 32), QColor(255, 0, 0), 2.0).cacheKey(),
              once.cacheKey());
}
