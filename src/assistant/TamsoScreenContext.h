#pragma once

#include <optional>
#include <QString>

// The screen the user was on when a question reached the assistant: the section's id and title
// and, for sections with a sub-mode (the storage hub, the apps hub, the Developer Centre), that
// mode's title. The assistant names the section in its answer; it never navigates with it.
struct TamsoScreenContext {
    QString featureID;
    QString featureTitle;
    std::optional<QString> detail; // none for sections without a sub-mode

    friend bool operator==(const TamsoScreenContext&, const TamsoScreenContext&) = default;
};
