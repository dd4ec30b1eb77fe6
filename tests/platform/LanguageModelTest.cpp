#include "platform/UnavailableLanguageModel.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <memory>

// The Linux backend never answers: callers see it as unavailable, and a caller that asks anyway
// gets a failure, later, on its own thread, and never after it has gone.
TEST(UnavailableLanguageModel, IsUnavailableAndFailsEveryExchangeLater) {
    UnavailableLanguageModel model;
    EXPECT_FALSE(model.isAvailable());
    QObject context;
    std::optional<LanguageModelResponse> got;
    model.respond("instructions", "prompt", {}, &context,
                  [&](const LanguageModelResponse& r) { got = r; });
    EXPECT_FALSE(got); // not inside respond()
    ASSERT_TRUE(testsupport::waitFor([&] { return got.has_value(); }));
    EXPECT_FALSE(got->ok());
    EXPECT_FALSE(got->error.isEmpty());

    bool called = false;
    auto gone = std::make_unique<QObject>();
    model.respond("i", "p", {}, gone.get(), [&](const LanguageModelResponse&) { called = true; });
    gone.reset();
    QCoreApplication::processEvents();
    EXPECT_FALSE(called);
}
