#pragma once

#include <QString>

class TSyncPlan;

// Where the command line keeps an editable plan: a file, or "-" for stdout
// and stdin.
namespace SyncPlanFile {
// Writes the plan's text; a file is replaced in one step.
void Write(const TSyncPlan& plan, const QString& target);
// Reads and parses a plan; raises an error when it is unreadable or
// malformed, or when it was made for another archive than `archive`.
TSyncPlan Read(const QString& source, const QString& archive);
} // namespace SyncPlanFile
