#pragma once

#include <QWidget>

// Fixed words telling the user that the assistant and the file features work on this computer
// and send nothing anywhere. No background or border of its own: the host gives it one. The
// row symbols sit in a 22-point column at every text size, so the row titles line up.
class AIPrivacyCard : public QWidget {
    Q_OBJECT
public:
    explicit AIPrivacyCard(QWidget* parent = nullptr);

    static constexpr int kSymbolColumn = 22;
};
