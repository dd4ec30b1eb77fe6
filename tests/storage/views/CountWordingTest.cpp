// The counts the storage screens show read right for one and for many: never "1 items".
#include "storage/DiskMapText.h"
#include "storage/FolderBrowserText.h"
#include "storage/OrganizerText.h"

#include <gtest/gtest.h>
#include <QDateTime>
#include <QLocale>
#include <QTimeZone>

TEST(CountWording, OneAndManyOfEveryCount) {
    const QDateTime at(QDate(2026, 3, 8), QTime(15, 45), QTimeZone::utc());
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    struct Row {
        QString shown;
        const char* expected;
    };
    const Row rows[] = {
        {FolderBrowserText::itemCount(1), "1 item"},
        {FolderBrowserText::itemCount(2), "2 items"},
        {FolderBrowserText::measuringCount(1), "Measuring 1 folder…"},
        {FolderBrowserText::measuringCount(4), "Measuring 4 folders…"},
        {FolderBrowserText::filesInside(1), "1 file inside"},
        {FolderBrowserText::filesInside(0), "0 files inside"},
        {OrganizerText::stepperLabel(1), "Leave files changed in the last 1 day"},
        {OrganizerText::stepperLabel(7), "Leave files changed in the last 7 days"},
        {OrganizerText::status(FolderOrganizer::State::finished(1, 0), {}).text,
         "Done. Moved 1 item."},
        {OrganizerText::status(FolderOrganizer::State::finished(3, 0), {}).text,
         "Done. Moved 3 items."},
        {OrganizerText::runLine(1, at, us, QTimeZone::utc()), "1 move · Mar 8, 2026 at 3:45 PM"},
        {OrganizerText::runLine(2, at, us, QTimeZone::utc()), "2 moves · Mar 8, 2026 at 3:45 PM"},
        {OrganizerText::applyStopped(1, "disk full"),
         "Stopped after moving 1 item: the undo record could not be saved (disk full). "
         "Everything moved so far can be undone."},
        {OrganizerText::applyStopped(4, "disk full"),
         "Stopped after moving 4 items: the undo record could not be saved (disk full). "
         "Everything moved so far can be undone."},
        {OrganizerText::undoShortfall(0, 1), "Moved back 0 of 1 item. 1 could not be moved back."},
        {OrganizerText::undoShortfall(21, 2),
         "Moved back 21 of 23 items. 2 could not be moved back."},
        {OrganizerText::undoStopped(0, 1, "disk full"),
         "Stopped after moving back 0 of 1 item: the undo record could not be saved (disk full). "
         "The rest can be undone later."},
        {OrganizerText::undoStopped(1, 4, "disk full"),
         "Stopped after moving back 1 of 4 items: the undo record could not be saved (disk "
         "full). The rest can be undone later."},
        {DiskMapText::measuredLine(4096, 1, 0, 1, QString()),
         "Measured 4 KB across 1 file · 0 of 1 folder done"},
        {DiskMapText::measuredLine(8192, 2, 1, 3, "Music"),
         "Measured 8 KB across 2 files · 1 of 3 folders done · now in Music"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.shown, QString::fromUtf8(row.expected));
}
