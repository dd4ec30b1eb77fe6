#include "assistant/TamsoAssistant.h"

void TamsoAssistant::ask(const QString& question, const SystemSnapshot& snapshot,
                         std::optional<TamsoScreenContext> context) {
    m_lastAsk = AskCall{question, snapshot, std::move(context)};
    ++m_askCount;
    emit asked(question);
}
