// The kit's push buttons side by side: a bordered secondary action and a filled main one line up
// at every text size, and a bordered button keeps its padding and its outline.
#include "platform/UserDefaults.h"
#include "ui-kit/QKBorderedButton.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKProminentButton.h"
#include "ui-kit/TextSize.h"
#include "ui-kit/Themed.h"
#include "ui-kit/ThemeSettings.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QImage>

TEST(BorderedButton, IsAsTallAsAProminentNeighbourAtEveryTextSize) {
    Themed::shared();
    for (int step = TextSize::Smallest; step <= TextSize::Largest; ++step) {
        UserDefaults::standard().setValue(ThemeKeys::FontSize, qint64(step));
        for (bool small : {false, true}) {
            QWidget row;
            auto* layout = new QHBoxLayout(&row);
            auto* secondary = QKBuild::button(QStringLiteral("Protect"), small, &row);
            auto* main = new QKProminentButton(QStringLiteral("Quit"), &row);
            main->setSmall(small);
            layout->addWidget(secondary, 0, Qt::AlignVCenter);
            layout->addWidget(main, 0, Qt::AlignVCenter);
            row.show();
            QApplication::processEvents();
            EXPECT_EQ(secondary->height(), main->height()) << "step " << step << " small " << small;
            EXPECT_EQ(secondary->y(), main->y()) << "step " << step << " small " << small;
            // The label never touches the outline.
            const int label = QFontMetrics(secondary->font()).horizontalAdvance("Protect");
            EXPECT_GE(secondary->width() - label, 2 * 10) << step;
        }
    }
    UserDefaults::standard().remove(ThemeKeys::FontSize);
}

TEST(BorderedButton, DrawsItsOutlineAndFadesWhenDisabled) {
    QKBorderedButton button(QStringLiteral("Check now"));
    button.show();
    QApplication::processEvents();
    const QImage enabled = button.grab().toImage();
    // The hairline at the middle of the left edge differs from the fill just inside it.
    const int mid = enabled.height() / 2;
    EXPECT_NE(enabled.pixel(0, mid), enabled.pixel(4, mid));

    button.setEnabled(false);
    const QImage disabled = button.grab().toImage();
    EXPECT_NE(enabled, disabled);
    EXPECT_EQ(button.sizeHint(), QKBorderedButton(QStringLiteral("Check now")).sizeHint())
        << "disabling changes the look, not the size";
}
