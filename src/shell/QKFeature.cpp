#include "shell/QKFeature.h"

#include "platform/DisplayText.h"

#include <algorithm>
#include <QChar>

namespace {

// The characters that may make up a whole-word phrase.
bool isWordPhraseChar(char32_t c) {
    return QChar::isLetter(c) || QChar::isNumber(c) || c == U'\'';
}

// A word character for the boundary test, as a regular expression's Unicode "\b" sees it: a
// letter, a combining mark, a decimal digit or connecting punctuation (the underscore). The
// apostrophe, spaces and other punctuation are not.
bool isWordChar(char32_t c) {
    if (QChar::isLetter(c) || QChar::isMark(c))
        return true;
    const QChar::Category category = QChar::category(c);
    return category == QChar::Number_DecimalDigit || category == QChar::Punctuation_Connector;
}

// Whether position pos of text (0 to size) lies between a word and a non-word character, or
// between a word character and either end.
bool isBoundary(const QList<uint>& text, qsizetype pos) {
    const bool before = pos > 0 && isWordChar(text.at(pos - 1));
    const bool after = pos < text.size() && isWordChar(text.at(pos));
    return before != after;
}

// The equivalent of searching text for "\b" + phrase + "\b" with Unicode word boundaries: some
// occurrence of phrase must start and end on a boundary. Works on code points, so a character
// outside the Basic Multilingual Plane counts as one.
bool containsAsWords(const QList<uint>& text, const QList<uint>& phrase) {
    const qsizetype length = phrase.size();
    for (qsizetype start = 0; start + length <= text.size(); ++start) {
        if (std::equal(phrase.cbegin(), phrase.cend(), text.cbegin() + start) &&
            isBoundary(text, start) && isBoundary(text, start + length))
            return true;
    }
    return false;
}

} // namespace

bool QKFeature::takesPartInRouting() const {
    return !triggers.isEmpty() && (hasReply() || !blurb.isEmpty());
}

bool QKFeature::repliesTo(const QString& question) const {
    if (!hasReply())
        return false;
    return replyTriggers.isEmpty() ||
           std::any_of(replyTriggers.cbegin(), replyTriggers.cend(),
                       [&](const QString& phrase) { return matchesTrigger(question, phrase); });
}

const QKFeature* QKFeature::lookup(const QString& id) {
    for (const QKFeature& feature : all()) {
        if (feature.id == id)
            return &feature;
    }
    return nullptr;
}

const QKFeature* QKFeature::resolve(const QString& text) {
    for (const QKFeature& feature : all()) {
        if (feature.title == text || feature.legacyTitles.contains(text))
            return &feature;
    }
    return nullptr;
}

bool QKFeature::matchesTrigger(const QString& question, const QString& trigger) {
    const QString haystack = question.toLower();
    const QString phrase = trigger.toLower();
    const QList<uint> phraseChars = phrase.toUcs4();
    const bool wordPhrase = std::all_of(phraseChars.cbegin(), phraseChars.cend(),
                                        [](uint c) { return isWordPhraseChar(c); });
    if (wordPhrase)
        return containsAsWords(haystack.toUcs4(), phraseChars);
    return haystack.contains(phrase);
}

const QKFeature* QKFeature::bestMatch(const QString& question) {
    const QKFeature* best = nullptr;
    qsizetype bestLength = 0;
    for (const QKFeature& feature : all()) {
        if (!feature.takesPartInRouting())
            continue;
        for (const QString& trigger : feature.triggers) {
            const qsizetype length = DisplayText::perceivedLength(trigger);
            // Only a strictly longer phrase can win, so an equal one never displaces an earlier
            // record; testing the length first spares the match.
            if (length > bestLength && matchesTrigger(question, trigger)) {
                best = &feature;
                bestLength = length;
            }
        }
    }
    return best;
}

QList<const QKFeature*> QKFeature::features(QKCapabilityGroup group, const QStringList& order) {
    QList<const QKFeature*> result;
    for (const QString& id : order) {
        const QKFeature* feature = lookup(id);
        if (feature && feature->group == group)
            result.append(feature);
    }
    for (const QKFeature& feature : all()) {
        if (feature.group == group && !order.contains(feature.id))
            result.append(&feature);
    }
    return result;
}
