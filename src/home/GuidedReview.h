#pragma once

#include <QString>

// Where the guided review of today's recommendations stands: whether its sheet is shown and the
// index of the card it is at. The step may reach the number of cards, which means the review is
// finished. The card list is rebuilt from live data, so its length n can change between two
// steps; every question below takes the n of the moment and keeps the index inside the list.
//
// A plain value owned by the home screen. The step outlives the screen in ScreenState (home
// screens are rebuilt at every switch of section, and a review left to act on a card must
// continue at the next one); whether the sheet shows is the screen's own and starts false.
struct GuidedReview {
    bool showing = false;
    int step = 0;

    // Started and not finished: 1 ≤ step < n.
    static bool isUnderWay(int step, int n) { return step >= 1 && step < n; }
    // "Continue today's review" / "Continue" while under way; otherwise "Review today's
    // recommendations" / "Start guided review".
    static QString entryTitle(int step, int n);
    static QString entryButton(int step, int n);

    // Whether the sheet shows the finished view: no cards, or every card done.
    static bool isFinished(int step, int n) { return n < 1 || step >= n; }
    // The card the sheet shows: min(step, max(n − 1, 0)).
    static int shownIndex(int step, int n);
    // "Recommendation 2 of 3" for index 1 of 3.
    static QString stepHeader(int index, int n);

    // Start or continue: a finished review starts again from the first card; one left part-way
    // resumes where it stopped.
    void start(int n) {
        if (step >= n)
            step = 0;
        showing = true;
    }
    // To the next card (or the finished view); the sheet stays.
    void skip() { ++step; }
    // Acting moves past the card and closes the sheet; the caller then opens the card.
    void act() {
        ++step;
        showing = false;
    }
    // Closing (the close button, "Done", or dismissing the sheet) keeps the step.
    void close() { showing = false; }
};
