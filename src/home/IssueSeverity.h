#pragma once

#include <QtGlobal>

// How much a finding or a recommendation asks of the user, in rising order: all is well, worth
// keeping an eye on, worth acting on. The order is meaningful (a sort puts Act first).
enum class IssueSeverity : quint8 { Good, Watch, Act };
