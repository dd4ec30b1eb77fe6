#pragma once

// The compare screen over a real compare, a fake model and a file picker that answers in turn,
// for the tests of its pages.
#include "developer/DiffRowModel.h"
#include "developer/FileCompare.h"
#include "developer/views/CompareDropZone.h"
#include "developer/views/CompareExplainButton.h"
#include "developer/views/CompareFileFacts.h"
#include "developer/views/CompareImagePair.h"
#include "developer/views/CompareVerdict.h"
#include "developer/views/DiffRowDelegate.h"
#include "developer/views/FileCompareView.h"
#include "fakes/FakeLanguageModel.h"
#include "platform/LinuxDocumentText.h"
#include "shell/ScreenState.h"
#include "support/AccessTime.h"
#include "support/Find.h"
#include "support/TestSupport.h"
#include "ui-kit/QKCardSurface.h"
#include "ui-kit/QKEmptyState.h"
#include "ui-kit/QKIconLabel.h"
#include "ui-kit/QKLineLabel.h"
#include "ui-kit/QKSymbol.h"

#include <gtest/gtest.h>
#include <QAccessible>
#include <QApplication>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QListView>
#include <QMimeData>
#include <QTest>
#include <QThreadPool>

namespace comparetest {

using Side = FileCompare::Side;
using Page = FileCompareText::ResultPage;

inline QString write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return path;
}

inline QByteArray numbered(int count) {
    QByteArray text;
    for (int k = 1; k <= count; ++k)
        text += "line " + QByteArray::number(k) + (k < count ? "\n" : "");
    return text;
}

struct Screen {
    ScreenState state;
    FakeLanguageModel model;
    FileCompare compare{state, model, std::make_shared<LinuxDocumentText>()};
    std::unique_ptr<FileCompareView> view = std::make_unique<FileCompareView>(state, compare);
    QList<QUrl> picks; // what the file picker answers, in turn

    Screen() {
        view->setFilePicker([this](QWidget*) -> std::optional<QUrl> {
            if (picks.isEmpty())
                return std::nullopt;
            return picks.takeFirst();
        });
        view->resize(900, 640);
        view->show();
    }
    void pair(const QString& left, const QString& right) {
        compare.setSide(QUrl::fromLocalFile(left), Side::Left);
        compare.setSide(QUrl::fromLocalFile(right), Side::Right);
        settle();
    }
    void settle() {
        ASSERT_TRUE(testsupport::waitFor([this] { return !state.compareBusy(); }, 10000));
    }
    bool visible(QWidget* w) const { return w->isVisibleTo(view.get()); }
    template <typename T> T* part(const char* name) const { return Find::part<T>(*view, name); }
    CompareDropZone* zone(Side side) const {
        return part<CompareDropZone>(side == Side::Left ? "compareLeftZone" : "compareRightZone");
    }
    CompareVerdict* verdict() const { return part<CompareVerdict>("compareVerdict"); }
    CompareFileFacts* facts() const { return part<CompareFileFacts>("compareFileFacts"); }
};

inline void drop(QWidget* target, const QList<QUrl>& urls) {
    QMimeData mime;
    mime.setUrls(urls);
    const QPointF at(target->width() / 2.0, target->height() / 2.0);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent event(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
    EXPECT_TRUE(event.isAccepted());
}

} // namespace comparetest
