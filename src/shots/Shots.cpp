#include "shots/Shots.h"

#include "platform/UserDefaults.h"
#include "ui-kit/ThemeSettings.h"

#include <cstdio>
#include <QApplication>
#include <QWidget>

void ShotContext::save(QWidget* widget, const QString& name) {
    widget->show();
    // Two turns: the first lays out, the second lets anything queued on show settle.
    QApplication::processEvents();
    QApplication::processEvents();
    const QString path = outDir + QLatin1Char('/') + name + QStringLiteral(".png");
    const bool ok = widget->grab().save(path);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
    if (!ok)
        ++failures;
}

void ShotContext::setLook(const QString& appearance, int step) {
    UserDefaults::standard().setValue(ThemeKeys::Appearance, appearance);
    setTextSize(step);
}

void ShotContext::setTextSize(int step) {
    UserDefaults::standard().setValue(ThemeKeys::FontSize, step);
    QApplication::processEvents();
}

void ShotContext::resetLook() {
    UserDefaults& d = UserDefaults::standard();
    d.remove(ThemeKeys::Appearance);
    d.remove(ThemeKeys::FontSize);
    QApplication::processEvents();
}
