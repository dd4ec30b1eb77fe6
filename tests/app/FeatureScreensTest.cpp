#include "app/FeatureScreens.h"
#include "app/PendrelApp.h"
#include "shell/QKFeature.h"
#include "ui-kit/QKEmptyState.h"

#include <gtest/gtest.h>
#include <memory>
#include <QWidget>

TEST(FeatureScreens, EverySectionBuildsAFreshScreen) {
    // The bundle as the app makes it; the screens are never shown, so none starts its work.
    PendrelApp app(PendrelApp::Options{.useSystemTray = false});
    const Services& services = app.services();
    QWidget parent;
    for (const QKFeature& f : QKFeature::all()) {
        SCOPED_TRACE(f.id.toStdString());
        ASSERT_TRUE(FeatureScreens::builder(f.id));
        QWidget* first = FeatureScreens::build(f.id, services, &parent);
        QWidget* second = FeatureScreens::build(f.id, services, &parent);
        ASSERT_NE(first, nullptr);
        EXPECT_NE(first, second);
        EXPECT_EQ(first->parentWidget(), &parent);
        // Until its screen exists, a section still says which one it is.
        if (auto* placeholder = qobject_cast<QKEmptyState*>(first)) {
            EXPECT_EQ(placeholder->title(), f.title);
        }
    }
}

TEST(FeatureScreens, UnknownIdsBuildNothing) {
    const Services services;
    EXPECT_FALSE(FeatureScreens::builder("Storage"));
    EXPECT_EQ(FeatureScreens::build("no-such-section", services), nullptr);
    std::unique_ptr<QWidget> orphan(FeatureScreens::build("about", services));
    ASSERT_NE(orphan, nullptr);
    EXPECT_EQ(orphan->parentWidget(), nullptr);
}
