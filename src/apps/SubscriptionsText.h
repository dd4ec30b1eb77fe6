#pragma once

#include <QList>
#include <QString>

// The words of the Subscriptions section: three fixed example insights, the same on every
// machine, and a note on how the feature works. Nothing here is measured or summed.
namespace SubscriptionsText {

struct Insight {
    QString name;
    bool saving; // true: the green "Potential saving" badge; false: the orange "Worth reviewing"
    QString detail;
    QString figure;
    QString advice;
};

QString title();
QString intro();
// The line above the cards: they are examples, not facts about this machine's software.
QString examplesLine();
// "Adobe Creative Cloud", "Dropbox", "Microsoft Office", in this order.
QList<Insight> insights();
QString badge(bool saving);
QString howTitle();
QString howText();
QString reviewButton();
// The section the button opens: the Apps section, in whichever pane it was left.
QString reviewSection();

} // namespace SubscriptionsText
