#include "platform/UnavailableLanguageModel.h"

void UnavailableLanguageModel::respond(const QString&, const QString&, const LanguageModelOptions&,
                                       QObject* context, Completion done) {
    if (!context || !done)
        return;
    QMetaObject::invokeMethod(
        context,
        [done] {
            done(LanguageModelResponse::failure(
                QStringLiteral("No on-device language model on this system")));
        },
        Qt::QueuedConnection);
}
