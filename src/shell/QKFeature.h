#pragma once

#include "shell/QKCapabilityGroup.h"

#include <functional>
#include <optional>
#include <QList>
#include <QString>
#include <QStringList>

struct SystemSnapshot;

// One section of the app, as the sidebar, navigation by id and the assistant's question routing
// know it. The catalog (all()) is a fixed list of 18 records, made once on first use (safe from
// any thread) and never changed; every pointer this type hands out points into it and stays
// valid for the whole run.
//
// This is the data half of a record. The screen a record opens is attached by the interface
// layer (app/FeatureScreens.h), so code that routes questions never depends on widgets.
struct QKFeature {
    // A live answer built from the latest sample; run on the main thread.
    using Reply = std::function<QString(const SystemSnapshot&)>;

    QString id;    // the section id: lower case, words joined by hyphens; unique
    QString title; // the sidebar's and the window's name for the section
    QString icon;  // a symbol name (SymbolIcons)
    QKCapabilityGroup group = QKCapabilityGroup::More;
    QStringList triggers; // lower-case phrases that route a question here; may be empty
    QString blurb;        // the fixed answer about the section; may be empty
    Reply reply;          // empty for most records
    // The phrases whose questions the reply answers; a question routed here by any other phrase
    // gets the blurb. Empty: the reply answers every question routed here.
    QStringList replyTriggers;
    std::optional<QString> actionLabel; // the assistant's button that opens the section
    QStringList legacyTitles;           // older names a stored sidebar order may still use

    bool hasReply() const { return static_cast<bool>(reply); }
    // Whether a question routed here is answered by the reply rather than the blurb: there is a
    // reply, and replyTriggers is empty or one of its phrases occurs in the question (as
    // matchesTrigger finds it).
    bool repliesTo(const QString& question) const;
    // Whether bestMatch() may route a question here: it needs phrases and something to answer
    // with (a reply or a non-empty blurb).
    bool takesPartInRouting() const;

    static const QList<QKFeature>& all();

    // The record whose id equals id exactly; null otherwise. Titles are not consulted.
    static const QKFeature* lookup(const QString& id);

    // The first record, in catalog order, whose title or one of whose legacy titles equals text
    // exactly (case and blanks count); null otherwise. Ids are not compared: callers that accept
    // ids try lookup() first.
    static const QKFeature* resolve(const QString& text);

    // Whether one trigger phrase occurs in a question, both lower-cased first. A phrase made only
    // of letters, numbers and apostrophes must stand as whole words: "slow" is found in "why so
    // slow?" but not in "slower" or "éslow", "npm" not inside "pnpm". Any other phrase (holding a
    // space, dot, underscore, hyphen, ...) is found anywhere, also inside longer words.
    static bool matchesTrigger(const QString& question, const QString& trigger);

    // The record a question is routed to: among the records that take part in routing, the one
    // with the longest matching phrase (counted in user-perceived characters); on equal lengths
    // the earlier record keeps it. Null when no phrase matches.
    static const QKFeature* bestMatch(const QString& question);

    // The records of one group for the sidebar: first those named in order (in that order; ids
    // no record has are skipped, an id listed twice gives its record twice), keeping only the
    // group's own; then every other record of the group in catalog order.
    static QList<const QKFeature*> features(QKCapabilityGroup group, const QStringList& order);
};
