#pragma once

#include "shell/Services.h"

#include <functional>
#include <QString>

class QWidget;

// The screen half of the feature catalog (QKFeature holds the data half): for each section id,
// the function that makes that section's screen from the services bundle. The bundle must be
// complete, as the app makes it: a builder reads the members it needs without a check.
//
// Every call makes a new screen; whatever must outlive it belongs in ScreenState or a service.
// A section whose screen has not been built yet gets a placeholder that names the section.
namespace FeatureScreens {

using Builder = std::function<QWidget*(const Services& services, QWidget* parent)>;

// The builder for a catalog id; an empty function for an id the catalog does not have.
Builder builder(const QString& featureId);

// A new screen for the section, owned by parent (or by the caller when parent is null); null for
// an id the catalog does not have.
QWidget* build(const QString& featureId, const Services& services, QWidget* parent = nullptr);

} // namespace FeatureScreens
